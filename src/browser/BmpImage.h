#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <stdexcept>

namespace quillet::browser {

// An image clip's content could not be decoded as a BMP file. what() names the reason in plain
// English, suitable for the default error message box.
class ImageDecodeError : public std::runtime_error {
  public:
    explicit ImageDecodeError(const QString& message);
};

// Decodes the bytes of a complete BMP file (signature "BM", file header, info header, optional
// masks and colour table, pixel rows) into an image of the file's width and height. Throws
// ImageDecodeError when the bytes are empty, are not a BMP file, or are truncated or malformed so
// that no image can be read; never returns a null image.
QImage DecodeBmp(const QByteArray& bmp);

}  // namespace quillet::browser
