#pragma once

#include <QByteArray>
#include <QString>

namespace quillet::store {

// The content of one clip as read from the database: text for a text clip, the bytes of a
// complete BMP file for an image clip. Only the member that matches the clip's kind is filled.
struct ClipContent {
    QString text;
    QByteArray bytes;
};

}  // namespace quillet::store
