#include "capture/BmpEncoder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <cstdint>
#include <ostream>

namespace quillet::capture {
namespace {

quint32 U32(const QByteArray& file, qsizetype at) {
    return qFromLittleEndian<quint32>(file.constData() + at);
}
quint16 U16(const QByteArray& file, qsizetype at) {
    return qFromLittleEndian<quint16>(file.constData() + at);
}
std::uint8_t U8(const QByteArray& file, qsizetype at) {
    return static_cast<std::uint8_t>(file.at(at));
}

TEST(BmpEncoder, WritesHeadersAndBottomUpRowsOfATwoByTwoImage) {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0x10, 0x20, 0x30));  // top left
    image.setPixel(1, 0, qRgb(0x40, 0x50, 0x60));
    image.setPixel(0, 1, qRgb(0x70, 0x80, 0x90));  // bottom left
    image.setPixel(1, 1, qRgb(0xA0, 0xB0, 0xC0));

    const QByteArray file = EncodeBmp(image);

    ASSERT_EQ(file.size(), 54 + 2 * 2 * 4);
    // File header.
    EXPECT_EQ(U8(file, 0), 0x42);
    EXPECT_EQ(U8(file, 1), 0x4D);
    EXPECT_EQ(U32(file, 2), 70u);
    EXPECT_EQ(U16(file, 6), 0);
    EXPECT_EQ(U16(file, 8), 0);
    EXPECT_EQ(U32(file, 10), 54u);
    // Info header.
    EXPECT_EQ(U32(file, 14), 40u);
    EXPECT_EQ(static_cast<qint32>(U32(file, 18)), 2);
    EXPECT_EQ(static_cast<qint32>(U32(file, 22)), 2);  // positive: bottom row first
    EXPECT_EQ(U16(file, 26), 1);
    EXPECT_EQ(U16(file, 28), 32);
    EXPECT_EQ(U32(file, 30), 0u);  // BI_RGB
    EXPECT_EQ(U32(file, 34), 16u);
    EXPECT_EQ(U32(file, 46), 0u);  // no colour table
    EXPECT_EQ(U32(file, 50), 0u);
    // Pixels: the bottom row first, each as blue, green, red, 0; no padding.
    const std::uint8_t pixels[] = {0x90, 0x80, 0x70, 0, 0xC0, 0xB0, 0xA0, 0,
                                   0x30, 0x20, 0x10, 0, 0x60, 0x50, 0x40, 0};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(U8(file, 54 + i), pixels[i]) << "pixel byte " << i;
}

TEST(BmpEncoder, OddWidthNeedsNoPaddingAndSizeIsTheFileLength) {
    QImage image(3, 5, QImage::Format_RGB888);
    image.fill(Qt::red);
    const QByteArray file = EncodeBmp(image);
    EXPECT_EQ(file.size(), 54 + 3 * 5 * 4);
    EXPECT_EQ(U32(file, 2), static_cast<quint32>(file.size()));
    EXPECT_EQ(U32(file, 34), static_cast<quint32>(3 * 5 * 4));
}

TEST(BmpEncoder, NullImageGivesNothing) {
    EXPECT_TRUE(EncodeBmp(QImage()).isEmpty());
}

TEST(BmpEncoder, TranslucentPixelKeepsItsColourAndDropsAlpha) {
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(200, 100, 50, 128));
    const QByteArray file = EncodeBmp(image);
    ASSERT_EQ(file.size(), 58);
    EXPECT_EQ(U8(file, 54), 50);
    EXPECT_EQ(U8(file, 55), 100);
    EXPECT_EQ(U8(file, 56), 200);
    EXPECT_EQ(U8(file, 57), 0);
}

// --- Round trip through Qt's BMP reader, from several source formats ------------------------

struct FormatCase {
    const char* name;
    QImage::Format format;
};

void PrintTo(const FormatCase& c, std::ostream* out) {
    *out << c.name;
}

// A 7 x 3 picture with a different colour in every pixel, in the few colours that an indexed
// or 1-bit format can hold when it has to.
QImage Pattern(QImage::Format format) {
    QImage source(7, 3, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    if (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
        format == QImage::Format_RGBA64 || format == QImage::Format_ARGB32_Premultiplied ||
        format == QImage::Format_RGB888) {
        source.setPixel(3, 1, qRgb(12, 200, 77));
        source.setPixel(6, 2, qRgb(250, 3, 128));
    }
    return source.convertToFormat(format);
}

class BmpRoundTrip : public testing::TestWithParam<FormatCase> {};

TEST_P(BmpRoundTrip, ReadsBackTheSamePixels) {
    const QImage source = Pattern(GetParam().format);
    ASSERT_EQ(source.format(), GetParam().format);
    QByteArray file = EncodeBmp(source);
    QBuffer buffer(&file);
    QImageReader reader(&buffer, "bmp");
    const QImage back = reader.read();
    ASSERT_FALSE(back.isNull()) << reader.errorString().toStdString();
    ASSERT_EQ(back.size(), source.size());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            EXPECT_EQ(
                qRgb(qRed(back.pixel(x, y)), qGreen(back.pixel(x, y)), qBlue(back.pixel(x, y))),
                qRgb(qRed(source.pixel(x, y)), qGreen(source.pixel(x, y)),
                     qBlue(source.pixel(x, y))))
                << "at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BmpRoundTrip,
    testing::Values(
        FormatCase{"Mono", QImage::Format_Mono}, FormatCase{"Indexed8", QImage::Format_Indexed8},
        FormatCase{"RGB32", QImage::Format_RGB32}, FormatCase{"ARGB32", QImage::Format_ARGB32},
        FormatCase{"ARGB32Premultiplied", QImage::Format_ARGB32_Premultiplied},
        FormatCase{"RGB888", QImage::Format_RGB888}, FormatCase{"RGBA64", QImage::Format_RGBA64}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet::capture
