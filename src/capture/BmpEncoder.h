#pragma once

#include <QByteArray>
#include <QImage>

namespace quillet::capture {

// The content of an image clip taken from the clipboard: `image` as a complete BMP file at the
// depth of a 24- or 32-bit X display, 32 bits per pixel. A 14-byte file header (pixel data at
// offset 54) and a 40-byte BITMAPINFOHEADER (positive height, one plane, no compression, no
// colour table) are followed by the rows bottom row first, each pixel as blue, green, red and a
// zero byte. Any QImage format is accepted; alpha is dropped, the colour channels are kept as
// they are (premultiplied formats are unpremultiplied first). The result's length is the whole
// file.
//
// Returns an empty array for a null image and for one whose file would not fit a 32-bit
// length: such a picture cannot be stored.
QByteArray EncodeBmp(const QImage& image);

}  // namespace quillet::capture
