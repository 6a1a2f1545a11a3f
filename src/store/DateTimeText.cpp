#include "store/DateTimeText.h"

#include <QTime>

namespace quillet::store {

namespace {

// Removes the time-zone field ("t", "tt", ... outside quoted literals) from a Qt time format,
// with the blanks that joined it to the rest and brackets that enclosed it alone. The time
// stamps copy a desktop convention whose long time carries no zone.
QString WithoutTimeZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            quoted = !quoted;
            result.append(c);
            continue;
        }
        if (quoted || c != u't') {
            result.append(c);
            continue;
        }
        while (i + 1 < format.size() && format.at(i + 1) == u't') {
            ++i;
        }
        // A zone in brackets, "(t)", loses its brackets too.
        if (result.endsWith(u'(') && i + 1 < format.size() && format.at(i + 1) == u')') {
            result.chop(1);
            ++i;
        }
        // Drop the blanks before the zone; a zone at the start takes the blanks after it.
        while (!result.isEmpty() && result.back().isSpace()) {
            result.chop(1);
        }
        if (result.isEmpty()) {
            while (i + 1 < format.size() && format.at(i + 1).isSpace()) {
                ++i;
            }
        }
    }
    return result.trimmed();
}

}  // namespace

QString DateTimeText(const QDateTime& local, const QLocale& locale) {
    const QDateTime moment = local.toLocalTime();
    const QString date = locale.toString(moment.date(), locale.dateFormat(QLocale::ShortFormat));
    if (moment.time() == QTime(0, 0)) {
        return date;
    }
    const QString timeFormat = WithoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return date + u' ' + locale.toString(moment.time(), timeFormat);
}

QString DateTimeText() {
    return DateTimeText(QDateTime::currentDateTime());
}

}  // namespace quillet::store
