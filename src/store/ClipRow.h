#pragma once

#include <QString>
#include <QtGlobal>

namespace quillet::store {

// DataFormat values: the kind of a clip. No other value is ever written.
inline constexpr qint32 kTextClip = 1;
inline constexpr qint32 kImageClip = 2;

// A rectangle carried in every record; no operation sets or reads it.
struct ClipRect {
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Right = 0;
    qint32 Bottom = 0;
};

// The in-memory record of one clip, one row of ClipsData without its content (the content stays
// in the database and is read by ID when needed). A new record has every number zero and every
// text empty; its maker fills in what it knows.
struct ClipRow {
    qint64 ID = 0;          // the row ID the database assigned
    qint32 DataFormat = 0;  // kTextClip or kImageClip
    QString FType;          // column Type; set only when rows are loaded
    QString Title;
    QString Source;
    qint32 Size = 0;      // UTF-16 code units of a text, bytes of an image
    QString TimeStamp;    // DateTimeText of the moment the clip was made
    qint32 Modified = 0;  // 1 once the text was edited, else 0
    ClipRect Rect;
    QString FormatList;
    qint32 Lock = 0;  // 1 locked, 0 not locked
};

}  // namespace quillet::store
