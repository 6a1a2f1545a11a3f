#include "app/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

// Failure messages show texts rather than bytes.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillet::app {
namespace {

using namespace Qt::StringLiterals;

template <typename Row>
std::string RowName(const testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

// ---- Reading -------------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    QByteArray text;
    const char* section;
    const char* key;
    std::optional<QString> expected;
};

class IniFileRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniFileRead, FindsTheValueAsWindowsProfilesDo) {
    const ReadCase& c = GetParam();
    const IniFile file = IniFile::parse(c.text);
    EXPECT_EQ(file.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniFileRead,
    testing::Values(
        ReadCase{"Plain", "[Position]\nPositionX=5\n", "Position", "PositionX", u"5"_s},
        ReadCase{"NamesIgnoreCase", "[POSITION]\npositionx=5\n", "Position", "PositionX", u"5"_s},
        ReadCase{"BlanksAroundNamesAndValue", "  [ Position ]\t\n \tPositionX \t=  5 a \t\n",
                 "Position", "PositionX", u"5 a"_s},
        ReadCase{"FirstKeyWins", "[A]\nk=1\nK=2\n", "A", "k", u"1"_s},
        ReadCase{"FirstSectionWins", "[A]\nk=1\n[a]\nk=2\n", "a", "K", u"1"_s},
        ReadCase{"KeyOfAnotherSection", "[A]\nk=1\n[B]\nm=2\n", "B", "k", std::nullopt},
        ReadCase{"KeyBeforeAnySection", "k=1\n[A]\nm=2\n", "A", "k", std::nullopt},
        ReadCase{"MissingSection", "[A]\nk=1\n", "B", "k", std::nullopt},
        ReadCase{"CommentIsNoKey", "[A]\n;k=1\n", "A", ";k", std::nullopt},
        ReadCase{"LineWithoutEqualsIsNoKey", "[A]\nk\n", "A", "k", std::nullopt},
        ReadCase{"EmptyValue", "[A]\nk=\n", "A", "k", u""_s},
        ReadCase{"EqualsInValue", "[A]\nk=a=b\n", "A", "k", u"a=b"_s},
        ReadCase{"UnclosedBracketEndsNoSection", "[A]\n[oops\nk=1\n", "A", "k", u"1"_s},
        ReadCase{"CrLf", "[A]\r\nk=1\r\n", "A", "k", u"1"_s},
        ReadCase{"NoFinalLineEnding", "[A]\nk=1", "A", "k", u"1"_s},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", u"1"_s},
        ReadCase{"Utf8Value", "[A]\nk=\xED\x81\xB4\xEB\xA6\xBD\n", "A", "k", u"\uD074\uB9BD"_s},
        ReadCase{"FoldsAsciiLettersOnly", "[A]\n\xC3\x84=1\n", "A", "\xC3\xA4", std::nullopt},
        ReadCase{"NonAsciiNamesMatchExactly",
                 "[A]\nStra\xC3\x9F"
                 "e=1\n",
                 "a",
                 "STRA\xC3\x9F"
                 "E",
                 u"1"_s}),
    RowName<ReadCase>);

TEST(IniFile, IntValueTrimsBlanksAndRejectsWhatIsNoNumber) {
    const IniFile file = IniFile::parse("[A]\nn = 0x1F \nw=ten\n");
    EXPECT_EQ(file.intValue(u"A"_s, u"n"_s), 31);
    EXPECT_EQ(file.intValue(u"A"_s, u"w"_s), std::nullopt);
    EXPECT_EQ(file.intValue(u"A"_s, u"missing"_s), std::nullopt);
}

// ---- Writing -------------------------------------------------------------------------------

struct WriteCase {
    const char* name;
    QByteArray before;
    const char* section;
    const char* key;
    const char* value;
    QByteArray after;
};

class IniFileWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(IniFileWrite, ChangesOnlyWhatItMustAndReadsBack) {
    const WriteCase& c = GetParam();
    IniFile file = IniFile::parse(c.before);
    const QString section = QString::fromUtf8(c.section);
    const QString key = QString::fromUtf8(c.key);
    const QString value = QString::fromUtf8(c.value);
    ASSERT_TRUE(file.setValue(section, key, value));
    EXPECT_EQ(file.text(), c.after);
    EXPECT_EQ(file.value(section, key), value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniFileWrite,
    testing::Values(
        WriteCase{"EmptyFile", "", "A", "k", "1", "[A]\nk=1\n"},
        WriteCase{"UpdateInPlaceKeepsFileSpellingAndOtherLines",
                  "; top\n[POSITION]\n  positionx = 5 ; note\nother=1\n\n[X]\nPositionX=9\n",
                  "Position", "PositionX", "7",
                  "; top\n[POSITION]\npositionx=7\nother=1\n\n[X]\nPositionX=9\n"},
        WriteCase{"KeyAddedBeforeBlankLinesOfNextSection", "[A]\nk=1\n\n\n[B]\nm=2\n", "a", "n",
                  "3", "[A]\nk=1\nn=3\n\n\n[B]\nm=2\n"},
        WriteCase{"KeyAddedAfterTrailingComment", "[A]\nk=1\n; end of A\n\n[B]\n", "A", "n", "3",
                  "[A]\nk=1\n; end of A\nn=3\n\n[B]\n"},
        WriteCase{"KeyAddedToEmptySection", "[A]\n\n[B]\nm=2\n", "A", "k", "1",
                  "[A]\nk=1\n\n[B]\nm=2\n"},
        WriteCase{"KeyAddedToLastLineWithoutEnding", "[A]\nk=1", "A", "m", "2", "[A]\nk=1\nm=2\n"},
        WriteCase{"SectionAddedAfterLineWithoutEnding", "[A]\nk=1", "B", "m", "2",
                  "[A]\nk=1\n\n[B]\nm=2\n"},
        WriteCase{"SectionAddedAfterExistingBlankLine", "[A]\nk=1\n\n", "B", "m", "2",
                  "[A]\nk=1\n\n[B]\nm=2\n"},
        WriteCase{"CrLfKeptForUpdatedAndNewKeys", "[A]\r\nk=1\r\n\r\n[B]\r\n", "A", "m", "2",
                  "[A]\r\nk=1\r\nm=2\r\n\r\n[B]\r\n"},
        WriteCase{"CrLfKeptForNewSection", "[A]\r\nk=1\r\n", "B", "m", "2",
                  "[A]\r\nk=1\r\n\r\n[B]\r\nm=2\r\n"},
        WriteCase{"MixedEndingsKeptByteForByte", "[A]\r\nk=1\nx=0\r\n", "A", "k", "2",
                  "[A]\r\nk=2\nx=0\r\n"},
        WriteCase{"ByteOrderMarkKept", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "2",
                  "\xEF\xBB\xBF[A]\nk=2\n"},
        WriteCase{"InvalidUtf8LinesKept", "[A]\n\xFF\xFE odd\nk=1\n", "A", "k", "2",
                  "[A]\n\xFF\xFE odd\nk=2\n"},
        WriteCase{"FirstOfDuplicateSectionsUpdated", "[A]\nk=1\n[a]\nk=2\n", "A", "k", "3",
                  "[A]\nk=3\n[a]\nk=2\n"},
        WriteCase{"KeyBeforeAnySectionUntouched", "k=1\n[A]\n", "A", "k", "2", "k=1\n[A]\nk=2\n"},
        WriteCase{"Utf8Value", "[A]\n", "A", "k", "\xED\x81\xB4", "[A]\nk=\xED\x81\xB4\n"}),
    RowName<WriteCase>);

struct RefusedCase {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
};

class IniFileRefusedWrite : public testing::TestWithParam<RefusedCase> {};

TEST_P(IniFileRefusedWrite, ChangesNothing) {
    const RefusedCase& c = GetParam();
    const QByteArray before = "; keep\n[A]\nk=1\n";
    IniFile file = IniFile::parse(before);
    EXPECT_FALSE(file.setValue(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                               QString::fromUtf8(c.value)));
    EXPECT_EQ(file.text(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniFileRefusedWrite,
                         testing::Values(RefusedCase{"ValueWithLf", "A", "k", "1\n[Evil]"},
                                         RefusedCase{"ValueWithCr", "A", "k", "1\rx=2"},
                                         RefusedCase{"KeyWithEquals", "A", "a=b", "1"},
                                         RefusedCase{"KeyWithLineBreak", "A", "a\nb", "1"},
                                         RefusedCase{"EmptyKey", "A", "", "1"},
                                         RefusedCase{"KeyLikeSection", "A", "[B]", "1"},
                                         RefusedCase{"KeyLikeComment", "A", ";k", "1"},
                                         RefusedCase{"KeyWithBlanksAround", "A", " k", "1"},
                                         RefusedCase{"SectionWithBracket", "A]", "k", "1"},
                                         RefusedCase{"SectionWithLineBreak", "A\nB", "k", "1"},
                                         RefusedCase{"EmptySection", "", "k", "1"}),
                         RowName<RefusedCase>);

// ---- Integers ------------------------------------------------------------------------------

struct IntegerCase {
    const char* name;
    QString text;
    std::optional<qint32> expected;
};

class IniFileInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(IniFileInteger, Parses) {
    EXPECT_EQ(IniFile::parseInteger(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniFileInteger,
    testing::Values(
        IntegerCase{"Zero", u"0"_s, 0}, IntegerCase{"Decimal", u"240"_s, 240},
        IntegerCase{"LeadingZeros", u"007"_s, 7}, IntegerCase{"Negative", u"-42"_s, -42},
        IntegerCase{"Plus", u"+42"_s, 42}, IntegerCase{"Max", u"2147483647"_s, 2147483647},
        IntegerCase{"Min", u"-2147483648"_s, -2147483647 - 1},
        IntegerCase{"AboveMax", u"2147483648"_s, std::nullopt},
        IntegerCase{"BelowMin", u"-2147483649"_s, std::nullopt},
        IntegerCase{"Huge", u"99999999999999999999999"_s, std::nullopt},
        IntegerCase{"HexLower0x", u"0x1f"_s, 31}, IntegerCase{"HexUpper0X", u"0X1F"_s, 31},
        IntegerCase{"HexDollar", u"$Ff"_s, 255}, IntegerCase{"HexZero", u"0x0"_s, 0},
        IntegerCase{"HexMax", u"$7FFFFFFF"_s, 2147483647},
        IntegerCase{"HexAboveMax", u"0x80000000"_s, std::nullopt},
        IntegerCase{"Empty", u""_s, std::nullopt}, IntegerCase{"Word", u"true"_s, std::nullopt},
        IntegerCase{"TrailingGarbage", u"12abc"_s, std::nullopt},
        IntegerCase{"InnerBlank", u"1 2"_s, std::nullopt},
        IntegerCase{"LeadingBlank", u" 5"_s, std::nullopt},
        IntegerCase{"Fraction", u"1.5"_s, std::nullopt},
        IntegerCase{"Exponent", u"1e3"_s, std::nullopt},
        IntegerCase{"SignOnly", u"-"_s, std::nullopt},
        IntegerCase{"DoubleSign", u"--1"_s, std::nullopt},
        IntegerCase{"PrefixOnly0x", u"0x"_s, std::nullopt},
        IntegerCase{"PrefixOnlyDollar", u"$"_s, std::nullopt},
        IntegerCase{"SignedHex", u"-0x10"_s, std::nullopt},
        IntegerCase{"SignAfterPrefix", u"0x-1"_s, std::nullopt},
        IntegerCase{"HexDigitsWithoutPrefix", u"ff"_s, std::nullopt},
        IntegerCase{"NonAsciiDigits", u"\u0663\uFF15"_s, std::nullopt}),
    RowName<IntegerCase>);

// ---- Files ---------------------------------------------------------------------------------

class IniFileOnDisk : public testing::Test {
  protected:
    QString path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};

TEST_F(IniFileOnDisk, SaveThenLoadKeepsEveryByte) {
    const QByteArray text = "\xEF\xBB\xBF; c\r\n[A]\r\nk = 1\r\n\r\n[B]\nodd\n\xFF";
    ASSERT_TRUE(IniFile::parse(text).save(path(u"a.ini"_s)));
    QFile written(path(u"a.ini"_s));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), text);
    const std::optional<IniFile> loaded = IniFile::load(path(u"a.ini"_s));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->text(), text);
}

TEST_F(IniFileOnDisk, MissingFileLoadsEmpty) {
    const std::optional<IniFile> missing = IniFile::load(path(u"none.ini"_s));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->text(), QByteArray());
}

TEST_F(IniFileOnDisk, FolderInPlaceOfTheFileIsUnreadableNotEmpty) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir(u"x.ini"_s));
    EXPECT_FALSE(IniFile::load(path(u"x.ini"_s)));
    EXPECT_FALSE(IniFile::parse("[A]\nk=1\n").save(path(u"x.ini"_s)));
}

TEST_F(IniFileOnDisk, SaveBelowARegularFileFails) {
    QFile plain(path(u"plain"_s));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString below = path(u"plain/a.ini"_s);
    const std::optional<IniFile> loaded = IniFile::load(below);
    ASSERT_TRUE(loaded);  // nothing there to lose
    EXPECT_FALSE(IniFile::parse("[A]\nk=1\n").save(below));
}

}  // namespace
}  // namespace quillet::app
