#include "capture/ClipboardFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"

namespace quillet::capture {
namespace {

struct NameCase {
    quint16 code;
    const char* name;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << "0x" << std::hex << c.code;
}

class FormatName : public testing::TestWithParam<NameCase> {};

TEST_P(FormatName, NamesTheCode) {
    EXPECT_EQ(ClipboardFormatName(GetParam().code), QString::fromUtf8(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatName,
    testing::Values(NameCase{0, "unknown format"}, NameCase{1, "CF_TEXT"}, NameCase{2, "CF_BITMAP"},
                    NameCase{7, "CF_OEMTEXT"}, NameCase{9, "CF_PALETTE"},
                    NameCase{13, "CF_UNICODETEXT"}, NameCase{15, "CF_HDROP (Win 95)"},
                    NameCase{16, "CF_LOCALE (Win 95)"}, NameCase{17, "CF_MAX (Win 95)"},
                    NameCase{18, "unknown format"}, NameCase{0x7F, "unknown format"},
                    NameCase{0x80, "CF_OWNERDISPLAY"}, NameCase{0x83, "CF_DSPMETAFILEPICT"},
                    NameCase{0x84, "unknown format"}, NameCase{0x8E, "CF_DSPENHMETAFILE"},
                    NameCase{0x1FF, "unknown format"}, NameCase{0x200, "private format"},
                    NameCase{0x2FF, "private format"}, NameCase{0x300, "GDI object"},
                    NameCase{0x3FF, "GDI object"}, NameCase{0x400, "unknown format"},
                    NameCase{0xC001, "unknown format"}, NameCase{0xFFFF, "unknown format"}));

// Every code from 1 to 17 has a name of its own.
TEST(FormatName, PredefinedCodesHaveDistinctNames) {
    std::vector<QString> names;
    for (quint16 code = 1; code <= 17; ++code) {
        const QString name = ClipboardFormatName(code);
        EXPECT_TRUE(name.startsWith(QStringLiteral("CF_"))) << code;
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 0) << code;
        names.push_back(name);
    }
}

struct ListCase {
    const char* label;
    std::vector<std::string> names;
    QString list;
};

void PrintTo(const ListCase& c, std::ostream* out) {
    *out << c.label;
}

class FormatList : public testing::TestWithParam<ListCase> {};

TEST_P(FormatList, JoinsTheNames) {
    EXPECT_EQ(FormatListText(GetParam().names), GetParam().list);
}

const std::string k80 = std::string(60, 'a') + std::string(20, 'b');
// 59 ASCII letters and a character outside the BMP: the cut at 60 would halve the pair.
const std::string kPairAt60 = std::string(59, 'x') + "\xF0\x9F\x98\x80" + "y";

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatList,
    testing::Values(
        ListCase{"none", {}, QString()},
        ListCase{"one", {"UTF8_STRING"}, QStringLiteral("UTF8_STRING,  ")},
        ListCase{"order kept",
                 {"TARGETS", "text/plain", "UTF8_STRING"},
                 QStringLiteral("TARGETS,  text/plain,  UTF8_STRING,  ")},
        ListCase{"empty name", {""}, QStringLiteral(",  ")},
        ListCase{"80 characters cut to 60", {k80}, QString(60, u'a') + QStringLiteral(",  ")},
        ListCase{"utf-8", {"Text \xED\x95\x9C"}, QStringLiteral(u"Text \uD55C,  ")},
        ListCase{"pair not halved", {kPairAt60}, QString(59, u'x') + QStringLiteral(",  ")}),
    [](const testing::TestParamInfo<ListCase>& info) {
        std::string name = info.param.label;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(LeftWhole, KeepsWholeCharacters) {
    const QString face = QStringLiteral(u"\U0001F600");
    EXPECT_EQ(LeftWhole(QStringLiteral("abc"), 5), QStringLiteral("abc"));
    EXPECT_EQ(LeftWhole(QStringLiteral("abcdef"), 3), QStringLiteral("abc"));
    EXPECT_EQ(LeftWhole(QStringLiteral("ab") + face, 3), QStringLiteral("ab"));
    EXPECT_EQ(LeftWhole(QStringLiteral("ab") + face, 4), QStringLiteral("ab") + face);
    EXPECT_EQ(LeftWhole(face, 1), QString());
    EXPECT_EQ(LeftWhole(QStringLiteral("abc"), 0), QString());
}

TEST(OwnerPath, IsTheReadersPathCutTo255) {
    platform::fake::FakeClipboardReader reader;
    EXPECT_EQ(ClipboardOwnerPath(reader), QString());
    reader.owner = "/usr/bin/gedit";
    EXPECT_EQ(ClipboardOwnerPath(reader), QStringLiteral("/usr/bin/gedit"));
    reader.owner = "/" + std::string(300, 'p');
    EXPECT_EQ(ClipboardOwnerPath(reader), QStringLiteral("/") + QString(254, u'p'));
}

}  // namespace
}  // namespace quillet::capture
