#include "store/DateTimeText.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <ostream>

namespace quillet::store {
namespace {

struct DateTimeCase {
    const char* name;
    const char* locale;
    QTime time;
    const char* expected;
};

void PrintTo(const DateTimeCase& c, std::ostream* os) {
    *os << c.name;
}

class DateTimeTextTest : public ::testing::TestWithParam<DateTimeCase> {};

// Short date, one blank, long time without the zone; a zone written first or in brackets goes
// with its blanks and brackets.
TEST_P(DateTimeTextTest, FollowsTheLocale) {
    const DateTimeCase& c = GetParam();
    const QDateTime local(QDate(2024, 3, 5), c.time);

    EXPECT_EQ(DateTimeText(local, QLocale(QString::fromLatin1(c.locale))),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, DateTimeTextTest,
    ::testing::Values(DateTimeCase{"English", "en_US", QTime(14, 7, 9, 250), "3/5/24 2:07:09 PM"},
                      DateTimeCase{"Korean", "ko_KR", QTime(14, 7, 9),
                                   "24. 3. 5. 오후 2시 7분 9초"},
                      DateTimeCase{"German", "de_DE", QTime(14, 7, 9), "05.03.24 14:07:09"},
                      DateTimeCase{"ZoneFirst", "zh_CN", QTime(14, 7, 9), "2024/3/5 14:07:09"},
                      DateTimeCase{"ZoneInBrackets", "fa_IR", QTime(14, 7, 9), "۲۰۲۴/۳/۵ ۱۴:۰۷:۰۹"},
                      DateTimeCase{"MidnightEnglish", "en_US", QTime(0, 0), "3/5/24"},
                      DateTimeCase{"MidnightKorean", "ko_KR", QTime(0, 0), "24. 3. 5."},
                      DateTimeCase{"OneMillisecondPastMidnight", "de_DE", QTime(0, 0, 0, 1),
                                   "05.03.24 00:00:00"}),
    [](const ::testing::TestParamInfo<DateTimeCase>& info) {
        return std::string(info.param.name);
    });

TEST(DateTimeTextNowTest, IsTheCurrentLocalTimeInTheSystemLocale) {
    const QDateTime before = QDateTime::currentDateTime();
    const QString now = DateTimeText();
    const QDateTime after = QDateTime::currentDateTime();

    EXPECT_TRUE(now == DateTimeText(before, QLocale::system()) ||
                now == DateTimeText(after, QLocale::system()))
        << now.toStdString();
}

}  // namespace
}  // namespace quillet::store
