#include "BmpEncoder.h"

#include <QtEndian>
#include <limits>

namespace quillet::capture {
namespace {

constexpr qint64 kFileHeaderSize = 14;
constexpr qint64 kInfoHeaderSize = 40;
constexpr qint64 kPixelOffset = kFileHeaderSize + kInfoHeaderSize;
constexpr qint64 kBytesPerPixel = 4;
// 72 dots per inch, as pixels per metre; readers ignore it, but 0 makes some of them guess.
constexpr quint32 kPixelsPerMetre = 2835;

void Put16(char*& at, quint16 value) {
    qToLittleEndian(value, at);
    at += 2;
}

void Put32(char*& at, quint32 value) {
    qToLittleEndian(value, at);
    at += 4;
}

}  // namespace

QByteArray EncodeBmp(const QImage& image) {
    if (image.isNull())
        return {};
    const qint64 width = image.width();
    const qint64 height = image.height();
    const qint64 pixelBytes = width * height * kBytesPerPixel;
    const qint64 fileSize = kPixelOffset + pixelBytes;
    // The headers hold 32-bit lengths and the clip's Size is a 32-bit signed number.
    if (fileSize > std::numeric_limits<qint32>::max())
        return {};

    // Opaque pixels as they are; translucent ones non-premultiplied, since converting to
    // RGB32 would composite them over black and change their colour.
    const QImage pixels = image.format() == QImage::Format_RGB32
                              ? image
                              : image.convertToFormat(QImage::Format_ARGB32);
    if (pixels.isNull())
        return {};

    QByteArray file(fileSize, Qt::Uninitialized);
    char* at = file.data();
    Put16(at, 0x4D42);  // "BM"
    Put32(at, static_cast<quint32>(fileSize));
    Put16(at, 0);
    Put16(at, 0);
    Put32(at, static_cast<quint32>(kPixelOffset));

    Put32(at, static_cast<quint32>(kInfoHeaderSize));
    Put32(at, static_cast<quint32>(width));
    Put32(at, static_cast<quint32>(height));  // positive: bottom row first
    Put16(at, 1);                             // planes
    Put16(at, 32);                            // bits per pixel
    Put32(at, 0);                             // BI_RGB
    Put32(at, static_cast<quint32>(pixelBytes));
    Put32(at, kPixelsPerMetre);
    Put32(at, kPixelsPerMetre);
    Put32(at, 0);  // colours used
    Put32(at, 0);  // important colours

    // Rows of 4-byte pixels are always a multiple of 4 bytes long: no padding. A QRgb in
    // memory is already blue, green, red, alpha on a little-endian machine; only the alpha
    // byte is cleared, a whole pixel at a time.
    char* out = at;
    for (qint64 y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(static_cast<int>(y)));
        for (qint64 x = 0; x < width; ++x) {
            qToLittleEndian<quint32>(line[x] & 0x00FFFFFFu, out);
            out += kBytesPerPixel;
        }
    }
    return file;
}

}  // namespace quillet::capture
