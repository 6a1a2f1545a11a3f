#include <gtest/gtest.h>

#include <QBuffer>
#include <QDataStream>
#include <QImage>
#include <array>
#include <cstring>
#include <vector>

#include "browser/BmpImage.h"

namespace quillet::browser {
namespace {

QByteArray Encode(const QImage& image, const char* format = "BMP") {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

// A BMP file with bit-field compression, as the clipboard hands over bitmaps of 16- and 32-bit
// displays. `topDown` lists the pixel values row by row from the top; the file stores the rows
// bottom first.
QByteArray BitfieldsBmp(int width, int height, int bitsPerPixel, std::array<quint32, 3> masks,
                        const std::vector<quint32>& topDown) {
    const int bytesPerPixel = bitsPerPixel / 8;
    const int stride = (width * bytesPerPixel + 3) / 4 * 4;
    const quint32 headers = 14 + 40 + 12;
    const quint32 pixelBytes = static_cast<quint32>(stride * height);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8('B') << quint8('M') << headers + pixelBytes << quint16(0) << quint16(0)
        << headers;
    out << quint32(40) << qint32(width) << qint32(height) << quint16(1) << quint16(bitsPerPixel)
        << quint32(3) << pixelBytes << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
    out << masks[0] << masks[1] << masks[2];
    for (int row = height - 1; row >= 0; --row) {
        for (int column = 0; column < width; ++column) {
            const quint32 value = topDown[static_cast<size_t>(row * width + column)];
            for (int b = 0; b < bytesPerPixel; ++b) {
                out << quint8(value >> (8 * b));
            }
        }
        for (int pad = width * bytesPerPixel; pad < stride; ++pad) {
            out << quint8(0);
        }
    }
    return bytes;
}

// The 40-byte info header of `bmp` with the 32-bit field at `offset` replaced.
QByteArray WithField(QByteArray bmp, int offset, qint32 value) {
    for (int b = 0; b < 4; ++b) {
        bmp[offset + b] = static_cast<char>(value >> (8 * b));
    }
    return bmp;
}

QImage Pattern(QImage::Format format) {
    QImage image(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool on = (x + 2 * y) % 3 == 0;
            image.setPixel(x, y, on ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    image.setPixel(0, 0, qRgb(255, 255, 255));
    image.setPixel(6, 4, qRgb(0, 0, 0));
    return image.convertToFormat(format, Qt::ThresholdDither);
}

class BmpRoundTripTest : public ::testing::TestWithParam<QImage::Format> {};

TEST_P(BmpRoundTripTest, DecodesEveryPixelInItsRow) {
    const QImage original = Pattern(GetParam());
    const QImage decoded = DecodeBmp(Encode(original));
    ASSERT_EQ(decoded.size(), original.size());
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32),
              original.convertToFormat(QImage::Format_RGB32));
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpRoundTripTest,
                         ::testing::Values(QImage::Format_Mono, QImage::Format_Indexed8,
                                           QImage::Format_RGB888, QImage::Format_RGB32));

TEST(BmpBitfieldsTest, Decodes16BitRgb565TopRowFirst) {
    const QImage image = DecodeBmp(
        BitfieldsBmp(2, 2, 16, {0xF800, 0x07E0, 0x001F}, {0xF800, 0x07E0, 0x001F, 0x0000}));
    ASSERT_EQ(image.size(), QSize(2, 2));
    const auto dominant = [](QRgb pixel) {
        if (qRed(pixel) > 200 && qGreen(pixel) == 0 && qBlue(pixel) == 0)
            return 'r';
        if (qRed(pixel) == 0 && qGreen(pixel) > 200 && qBlue(pixel) == 0)
            return 'g';
        if (qRed(pixel) == 0 && qGreen(pixel) == 0 && qBlue(pixel) > 200)
            return 'b';
        if (qRed(pixel) == 0 && qGreen(pixel) == 0 && qBlue(pixel) == 0)
            return 'k';
        return '?';
    };
    EXPECT_EQ(dominant(image.pixel(0, 0)), 'r');
    EXPECT_EQ(dominant(image.pixel(1, 0)), 'g');
    EXPECT_EQ(dominant(image.pixel(0, 1)), 'b');
    EXPECT_EQ(dominant(image.pixel(1, 1)), 'k');
}

TEST(BmpBitfieldsTest, Decodes32BitWithMasksExactly) {
    const QImage image = DecodeBmp(BitfieldsBmp(3, 1, 32, {0x00FF0000, 0x0000FF00, 0x000000FF},
                                                {0x00123456, 0x00ABCDEF, 0x00FF0000}));
    ASSERT_EQ(image.size(), QSize(3, 1));
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0x123456u);
    EXPECT_EQ(image.pixel(1, 0) & 0xFFFFFF, 0xABCDEFu);
    EXPECT_EQ(image.pixel(2, 0) & 0xFFFFFF, 0xFF0000u);
}

struct MalformedCase {
    const char* name;
    QByteArray bytes;
};

class BmpMalformedTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(BmpMalformedTest, ThrowsImageDecodeErrorWithAMessage) {
    try {
        DecodeBmp(GetParam().bytes);
        FAIL() << "no ImageDecodeError";
    } catch (const ImageDecodeError& error) {
        EXPECT_GT(std::strlen(error.what()), 10u);
    }
}

QByteArray ValidBmp() {
    return Encode(Pattern(QImage::Format_RGB888));
}

// Offsets into a BMP file: the info header follows the 14-byte file header.
constexpr int kWidthField = 18;
constexpr int kHeightField = 22;

INSTANTIATE_TEST_SUITE_P(
    Blobs, BmpMalformedTest,
    ::testing::Values(
        MalformedCase{"Empty", {}}, MalformedCase{"SignatureOnly", QByteArray("BM")},
        MalformedCase{"TruncatedFileHeader", ValidBmp().left(10)},
        MalformedCase{"TruncatedInfoHeader", ValidBmp().left(30)},
        MalformedCase{"NotAnImage", QByteArray("This is a text clip, not a picture.")},
        MalformedCase{"PngFile", Encode(Pattern(QImage::Format_RGB32), "PNG")},
        MalformedCase{"ZeroWidth", WithField(ValidBmp(), kWidthField, 0)},
        MalformedCase{"HugeDimensions",
                      WithField(WithField(ValidBmp(), kWidthField, 60000), kHeightField, 60000)}),
    [](const ::testing::TestParamInfo<MalformedCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quillet::browser
