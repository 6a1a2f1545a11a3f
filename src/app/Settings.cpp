#include "Settings.h"

#include <array>
#include <optional>
#include <string_view>
#include <variant>

#include "IniFile.h"

namespace quillet::app {

namespace {

// One key of the file: where it lives, its field in the record and its default.
template <typename T>
struct SettingKey {
    std::string_view section;
    std::string_view name;
    T Settings::*field;
    T defaultValue;
};

using AnyKey = std::variant<SettingKey<int>, SettingKey<bool>>;

constexpr SettingKey<int> kPositionX{"Position", "PositionX", &Settings::PositionX, 1};
constexpr SettingKey<int> kPositionY{"Position", "PositionY", &Settings::PositionY, 1};
constexpr SettingKey<bool> kFirstUse{"Others", "FirstUse", &Settings::FirstUse, true};
constexpr SettingKey<bool> kAutoHideTop{"Auto-Hide", "Auto-Hide Top", &Settings::AutoHideTop, true};
constexpr SettingKey<bool> kAutoHideLeft{"Auto-Hide", "Auto-Hide Left", &Settings::AutoHideLeft,
                                         true};
constexpr SettingKey<bool> kAutoHideRight{"Auto-Hide", "Auto-Hide Right", &Settings::AutoHideRight,
                                          true};
constexpr SettingKey<bool> kAutoHideBottom{"Auto-Hide", "Auto-Hide Bottom",
                                           &Settings::AutoHideBottom, true};
constexpr SettingKey<bool> kEnableText{"Capture", "EnableText", &Settings::EnableText, true};
constexpr SettingKey<bool> kEnableImage{"Capture", "EnableImage", &Settings::EnableImage, true};
constexpr SettingKey<bool> kEnableSound{"Sound", "EnableSound", &Settings::EnableSound, true};
constexpr SettingKey<int> kTransparentValue{"Others", "TransparentValue",
                                            &Settings::TransparentValue, 240};
constexpr SettingKey<bool> kRunAtWindowsStart{"Others", "RunAtWindowsStart",
                                              &Settings::RunAtWindowsStart, true};
constexpr SettingKey<bool> kSetMinimized{"Others", "SetMinimized", &Settings::SetMinimized, true};

constexpr std::array<AnyKey, 13> kReadOrder{
    kPositionX,        kPositionY,         kFirstUse,    kAutoHideTop, kAutoHideLeft,
    kAutoHideRight,    kAutoHideBottom,    kEnableText,  kEnableImage, kEnableSound,
    kTransparentValue, kRunAtWindowsStart, kSetMinimized};

// Keys are added at the end of their section in this order, which fixes the layout of a file
// written from scratch.
constexpr std::array<AnyKey, 13> kWriteOrder{
    kPositionX,        kPositionY,         kFirstUse,     kEnableText,   kEnableImage,
    kTransparentValue, kRunAtWindowsStart, kSetMinimized, kAutoHideLeft, kAutoHideRight,
    kAutoHideTop,      kAutoHideBottom,    kEnableSound};

constexpr std::string_view NameOf(const AnyKey& key) {
    return std::visit([](const auto& k) { return k.name; }, key);
}

// The record's own defaults and the table's must agree, and both orders must hold every key
// once, or a key would be skipped or written twice.
constexpr bool TableIsConsistent() {
    const Settings defaults;
    for (const AnyKey& key : kReadOrder) {
        if (!std::visit([&](const auto& k) { return defaults.*k.field == k.defaultValue; }, key))
            return false;
        int inWriteOrder = 0;
        int inReadOrder = 0;
        for (const AnyKey& other : kWriteOrder)
            inWriteOrder += NameOf(other) == NameOf(key) ? 1 : 0;
        for (const AnyKey& other : kReadOrder)
            inReadOrder += NameOf(other) == NameOf(key) ? 1 : 0;
        if (inWriteOrder != 1 || inReadOrder != 1)
            return false;
    }
    return true;
}
static_assert(TableIsConsistent(), "the settings table disagrees with the Settings record");

QString ToQString(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

int ReadKey(const IniFile& file, const SettingKey<int>& key) {
    return file.intValue(ToQString(key.section), ToQString(key.name)).value_or(key.defaultValue);
}

bool ReadKey(const IniFile& file, const SettingKey<bool>& key) {
    const qint32 fallback = key.defaultValue ? 1 : 0;
    return file.intValue(ToQString(key.section), ToQString(key.name)).value_or(fallback) != 0;
}

QString ValueText(int value) {
    return QString::number(value);
}

QString ValueText(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

Settings ReadSettings(const QString& iniPath) {
    const IniFile file = IniFile::load(iniPath).value_or(IniFile{});
    Settings settings;
    for (const AnyKey& key : kReadOrder)
        std::visit([&](const auto& k) { settings.*k.field = ReadKey(file, k); }, key);
    return settings;
}

bool WriteSettings(const QString& iniPath, const Settings& settings) {
    std::optional<IniFile> file = IniFile::load(iniPath);
    if (!file)
        return false;
    Settings stored = settings;
    // After one confirmed exit the stored position is the one to use.
    stored.FirstUse = false;
    bool complete = true;
    for (const AnyKey& key : kWriteOrder) {
        std::visit(
            [&](const auto& k) {
                complete &= file->setValue(ToQString(k.section), ToQString(k.name),
                                           ValueText(stored.*k.field));
            },
            key);
    }
    return complete && file->save(iniPath);
}

quint8 OpacityOf(int transparentValue) {
    return quint8(transparentValue & 0xFF);
}

}  // namespace quillet::app
