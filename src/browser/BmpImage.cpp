#include "browser/BmpImage.h"

#include <QBuffer>
#include <QImageReader>

namespace quillet::browser {

ImageDecodeError::ImageDecodeError(const QString& message)
    : std::runtime_error(message.toStdString()) {}

QImage DecodeBmp(const QByteArray& bmp) {
    if (bmp.isEmpty()) {
        throw ImageDecodeError(QStringLiteral("The image clip is empty."));
    }
    QBuffer buffer;
    buffer.setData(bmp);
    buffer.open(QIODevice::ReadOnly);
    // The format is fixed and probing turned off, so that a blob holding some other picture
    // format is refused rather than shown as if it were a clip of this program.
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull()) {
        throw ImageDecodeError(
            QStringLiteral("The image clip is not a valid BMP file: %1").arg(reader.errorString()));
    }
    return image;
}

}  // namespace quillet::browser
