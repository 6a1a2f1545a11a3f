#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quillet::store {

// The text of every TimeStamp and of image-clip titles: `local` in the short date format of
// `locale`, one blank, and the long time format of `locale` without its time-zone field. When
// the time of day is exactly 00:00:00.000 the text is the date alone.
QString DateTimeText(const QDateTime& local, const QLocale& locale = QLocale::system());

// DateTimeText of the current local time, to the millisecond, in the system locale.
QString DateTimeText();

}  // namespace quillet::store
