#include "app/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <limits>
#include <ostream>

namespace quillet::app {

void PrintTo(const Settings& s, std::ostream* out) {
    *out << "{PositionX=" << s.PositionX << " PositionY=" << s.PositionY
         << " FirstUse=" << s.FirstUse << " AutoHide(T,L,R,B)=" << s.AutoHideTop << s.AutoHideLeft
         << s.AutoHideRight << s.AutoHideBottom << " EnableText=" << s.EnableText
         << " EnableImage=" << s.EnableImage << " EnableSound=" << s.EnableSound
         << " TransparentValue=" << s.TransparentValue
         << " RunAtWindowsStart=" << s.RunAtWindowsStart << " SetMinimized=" << s.SetMinimized
         << "}";
}

namespace {

using namespace Qt::StringLiterals;

// A record that differs from the defaults wherever a default could hide a fault.
constexpr Settings kRecord{.PositionX = -5,
                           .PositionY = 30,
                           .FirstUse = true,
                           .AutoHideTop = true,
                           .AutoHideLeft = false,
                           .AutoHideRight = true,
                           .AutoHideBottom = false,
                           .EnableText = true,
                           .EnableImage = false,
                           .EnableSound = false,
                           .TransparentValue = 300,
                           .RunAtWindowsStart = false,
                           .SetMinimized = true};

class SettingsFile : public testing::Test {
  protected:
    QString iniPath() const { return dir_.filePath(u"options.ini"_s); }

    static void WriteBytes(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    static QByteArray ReadBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList folderEntries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsFile, MissingFileGivesTheDefaults) {
    const Settings s = ReadSettings(iniPath());
    EXPECT_EQ(s.PositionX, 1);
    EXPECT_EQ(s.PositionY, 1);
    EXPECT_TRUE(s.FirstUse);
    EXPECT_TRUE(s.AutoHideTop);
    EXPECT_TRUE(s.AutoHideLeft);
    EXPECT_TRUE(s.AutoHideRight);
    EXPECT_TRUE(s.AutoHideBottom);
    EXPECT_TRUE(s.EnableText);
    EXPECT_TRUE(s.EnableImage);
    EXPECT_TRUE(s.EnableSound);
    EXPECT_EQ(s.TransparentValue, 240);
    EXPECT_TRUE(s.RunAtWindowsStart);
    EXPECT_TRUE(s.SetMinimized);
    EXPECT_EQ(s, Settings{});
    EXPECT_TRUE(folderEntries().isEmpty()) << "reading must not create the file";
}

TEST_F(SettingsFile, UnreadableFileGivesTheDefaults) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir(u"options.ini"_s));
    EXPECT_EQ(ReadSettings(iniPath()), Settings{});
}

TEST_F(SettingsFile, FileWrittenFromScratchHoldsTheKeysInWriteOrder) {
    ASSERT_TRUE(WriteSettings(iniPath(), kRecord));
    EXPECT_EQ(ReadBytes(iniPath()),
              "[Position]\n"
              "PositionX=-5\n"
              "PositionY=30\n"
              "\n"
              "[Others]\n"
              "FirstUse=0\n"
              "TransparentValue=300\n"
              "RunAtWindowsStart=0\n"
              "SetMinimized=1\n"
              "\n"
              "[Capture]\n"
              "EnableText=1\n"
              "EnableImage=0\n"
              "\n"
              "[Auto-Hide]\n"
              "Auto-Hide Left=0\n"
              "Auto-Hide Right=1\n"
              "Auto-Hide Top=1\n"
              "Auto-Hide Bottom=0\n"
              "\n"
              "[Sound]\n"
              "EnableSound=0\n");
}

TEST_F(SettingsFile, WhatIsWrittenReadsBackWithFirstUseOff) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    Settings inverted{.PositionX = kMin, .PositionY = kMax, .TransparentValue = -1};
    inverted.AutoHideTop = !kRecord.AutoHideTop;
    inverted.AutoHideLeft = !kRecord.AutoHideLeft;
    inverted.AutoHideRight = !kRecord.AutoHideRight;
    inverted.AutoHideBottom = !kRecord.AutoHideBottom;
    inverted.EnableText = !kRecord.EnableText;
    inverted.EnableImage = !kRecord.EnableImage;
    inverted.EnableSound = !kRecord.EnableSound;
    inverted.RunAtWindowsStart = !kRecord.RunAtWindowsStart;
    inverted.SetMinimized = !kRecord.SetMinimized;
    for (const Settings& written : {kRecord, inverted}) {
        ASSERT_TRUE(WriteSettings(iniPath(), written));
        Settings expected = written;
        expected.FirstUse = false;
        EXPECT_EQ(ReadSettings(iniPath()), expected);
    }
}

// ---- Updating a file that exists ------------------------------------------------------------

struct UpdateCase {
    const char* name;
    QByteArray before;
    QByteArray after;  // after writing kRecord
};

class SettingsUpdate : public SettingsFile, public testing::WithParamInterface<UpdateCase> {};

TEST_P(SettingsUpdate, ChangesOnlyTheKnownKeys) {
    WriteBytes(iniPath(), GetParam().before);
    ASSERT_TRUE(WriteSettings(iniPath(), kRecord));
    EXPECT_EQ(ReadBytes(iniPath()), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsUpdate,
    testing::Values(
        UpdateCase{"UnknownLinesKeptNamesInAnyCaseMissingKeysAddedInTheirSections",
                   "; Quillet options\n"
                   "[POSITION]\n"
                   "positionx=100\n"
                   "  PositionY = 200\n"
                   "\n"
                   "[auto-hide]\n"
                   "AUTO-HIDE TOP=0\n"
                   "Auto-Hide Left=1\n"
                   "Auto-Hide Right=1\n"
                   "auto-hide bottom=1\n"
                   "Extra=keep me\n"
                   "\n"
                   "[Others]\n"
                   "FirstUse=1\n"
                   "; transparency\n"
                   "TransparentValue=12\n"
                   "\n"
                   "[Custom]\n"
                   "Anything=else\n",
                   "; Quillet options\n"
                   "[POSITION]\n"
                   "positionx=-5\n"
                   "PositionY=30\n"
                   "\n"
                   "[auto-hide]\n"
                   "AUTO-HIDE TOP=1\n"
                   "Auto-Hide Left=0\n"
                   "Auto-Hide Right=1\n"
                   "auto-hide bottom=0\n"
                   "Extra=keep me\n"
                   "\n"
                   "[Others]\n"
                   "FirstUse=0\n"
                   "; transparency\n"
                   "TransparentValue=300\n"
                   "RunAtWindowsStart=0\n"
                   "SetMinimized=1\n"
                   "\n"
                   "[Custom]\n"
                   "Anything=else\n"
                   "\n"
                   "[Capture]\n"
                   "EnableText=1\n"
                   "EnableImage=0\n"
                   "\n"
                   "[Sound]\n"
                   "EnableSound=0\n"},
        UpdateCase{"CrLfFileWithAllKeysUpdatedInPlace",
                   "[Sound]\r\nEnableSound=yes\r\n"
                   "[Capture]\r\nEnableImage=$1\r\nEnableText=0x0\r\n"
                   "[Others]\r\nSetMinimized=0\r\nRunAtWindowsStart=1\r\nTransparentValue=0xF0\r\n"
                   "FirstUse=1\r\n"
                   "[Auto-Hide]\r\nAuto-Hide Bottom=1\r\nAuto-Hide Top=0\r\nAuto-Hide Right=0\r\n"
                   "Auto-Hide Left=1\r\n"
                   "[Position]\r\nPositionY=2\r\nPositionX=1",
                   "[Sound]\r\nEnableSound=0\r\n"
                   "[Capture]\r\nEnableImage=0\r\nEnableText=1\r\n"
                   "[Others]\r\nSetMinimized=1\r\nRunAtWindowsStart=0\r\nTransparentValue=300\r\n"
                   "FirstUse=0\r\n"
                   "[Auto-Hide]\r\nAuto-Hide Bottom=0\r\nAuto-Hide Top=1\r\nAuto-Hide Right=1\r\n"
                   "Auto-Hide Left=0\r\n"
                   "[Position]\r\nPositionY=30\r\nPositionX=-5"},
        UpdateCase{"FirstOfDuplicateKeysAndSectionsUpdated",
                   "[Position]\nPositionX=7\nPositionX=8\n[position]\nPositionY=9\n",
                   "[Position]\nPositionX=-5\nPositionX=8\nPositionY=30\n[position]\nPositionY=9\n"
                   "\n"
                   "[Others]\nFirstUse=0\nTransparentValue=300\nRunAtWindowsStart=0\n"
                   "SetMinimized=1\n"
                   "\n"
                   "[Capture]\nEnableText=1\nEnableImage=0\n"
                   "\n"
                   "[Auto-Hide]\nAuto-Hide Left=0\nAuto-Hide Right=1\nAuto-Hide Top=1\n"
                   "Auto-Hide Bottom=0\n"
                   "\n"
                   "[Sound]\nEnableSound=0\n"}),
    [](const testing::TestParamInfo<UpdateCase>& info) { return std::string(info.param.name); });

// ---- Reading values ------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    QByteArray text;
    Settings expected;
};

class SettingsRead : public SettingsFile, public testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsRead, GivesTheValueOrTheKeysDefault) {
    WriteBytes(iniPath(), GetParam().text);
    EXPECT_EQ(ReadSettings(iniPath()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsRead,
    testing::Values(
        ReadCase{"WordReadsDefault", "[Sound]\nEnableSound=word\n", Settings{}},
        ReadCase{"HexZeroReadsFalse", "[Sound]\nEnableSound=0x0\n", Settings{.EnableSound = false}},
        ReadCase{"ZeroFalseOtherNumbersTrue",
                 "[Others]\nFirstUse=0\nRunAtWindowsStart=-7\nSetMinimized=$10\n"
                 "[Capture]\nEnableText=+0\nEnableImage=2\n",
                 Settings{.FirstUse = false, .EnableText = false}},
        ReadCase{"IntegersInEveryForm",
                 "[Position]\nPositionX=-20\nPositionY=0X10\n[Others]\nTransparentValue=$1f\n",
                 Settings{.PositionX = -20, .PositionY = 16, .TransparentValue = 31}},
        ReadCase{"NotANumberReadsDefault",
                 "[Position]\nPositionX=12abc\nPositionY=\n"
                 "[Others]\nTransparentValue=99999999999\n[Auto-Hide]\nAuto-Hide Top=no\n",
                 Settings{}},
        ReadCase{"NamesInAnyCaseWithBlanks",
                 "[ auto-HIDE ]\n  auto-hide top = 0\nAUTO-HIDE LEFT=0\nAuto-Hide Right=0\n"
                 "Auto-Hide Bottom\t=\t0\n[capture]\nenableimage=0\n",
                 Settings{.AutoHideTop = false,
                          .AutoHideLeft = false,
                          .AutoHideRight = false,
                          .AutoHideBottom = false,
                          .EnableImage = false}},
        ReadCase{"KeysInTheWrongSectionIgnored",
                 "[Others]\nPositionX=50\nEnableSound=0\n[Sound]\nAuto-Hide Top=0\n", Settings{}},
        ReadCase{"CommentedKeyIgnored", "[Sound]\n;EnableSound=0\n", Settings{}},
        ReadCase{"OpacityAboveByteKeptWhole", "[Others]\nTransparentValue=300\n",
                 Settings{.TransparentValue = 300}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(OpacityOf, TakesTheLowEightBits) {
    EXPECT_EQ(OpacityOf(0), 0);
    EXPECT_EQ(OpacityOf(240), 240);
    EXPECT_EQ(OpacityOf(255), 255);
    EXPECT_EQ(OpacityOf(256), 0);
    EXPECT_EQ(OpacityOf(300), 44);
    EXPECT_EQ(OpacityOf(-1), 255);
}

// ---- Writes the system refuses ---------------------------------------------------------------

TEST_F(SettingsFile, PathBelowARegularFileFails) {
    WriteBytes(dir_.filePath(u"plain"_s), "not a folder");
    EXPECT_FALSE(WriteSettings(dir_.filePath(u"plain/options.ini"_s), kRecord));
    EXPECT_EQ(ReadBytes(dir_.filePath(u"plain"_s)), "not a folder");
}

TEST_F(SettingsFile, FolderInPlaceOfTheFileFailsAndStays) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir(u"options.ini"_s));
    EXPECT_FALSE(WriteSettings(iniPath(), kRecord));
    EXPECT_TRUE(QFileInfo(iniPath()).isDir());
    EXPECT_EQ(folderEntries(), QStringList{u"options.ini"_s});
}

// The disk fills up (here: a file size limit) while the new text is written. The old file must
// come through unchanged and no temporary file may stay behind.
TEST_F(SettingsFile, DiskRefusingTheWriteLeavesTheOldFileIntact) {
    const QByteArray old = "; mine\n[Position]\nPositionX=77\n";
    WriteBytes(iniPath(), old);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(2);
        _exit(WriteSettings(iniPath(), kRecord) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "WriteSettings must report the refused write";
    EXPECT_EQ(ReadBytes(iniPath()), old);
    EXPECT_EQ(folderEntries(), QStringList{u"options.ini"_s});
}

TEST_F(SettingsFile, ReadOnlyFolderFailsAndLeavesTheOldFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    const QByteArray old = "[Position]\nPositionX=77\n";
    WriteBytes(iniPath(), old);
    ASSERT_EQ(chmod(QFile::encodeName(dir_.path()).constData(), 0555), 0);
    const bool written = WriteSettings(iniPath(), kRecord);
    chmod(QFile::encodeName(dir_.path()).constData(), 0755);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(iniPath()), old);
}

}  // namespace
}  // namespace quillet::app
