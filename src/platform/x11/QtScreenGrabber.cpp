#include "QtScreenGrabber.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstring>

namespace quillet::platform {

ScreenRect QtScreenGrabber::primaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    // Device pixels: one picture pixel per screen pixel, whatever the desktop's scaling.
    const QRect area = screen->geometry();
    const qreal ratio = screen->devicePixelRatio();
    return {int(area.x() * ratio), int(area.y() * ratio), int((area.x() + area.width()) * ratio),
            int((area.y() + area.height()) * ratio)};
}

ScreenPicture QtScreenGrabber::grabPrimaryScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    // Window 0 is the whole desktop; grabWindow(0) of a screen covers just that screen.
    const QImage image = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return {};
    ScreenPicture picture;
    picture.width = image.width();
    picture.height = image.height();
    picture.pixels.resize(size_t(picture.width) * size_t(picture.height) * 4);
    // An RGB32 pixel in memory is blue, green, red, 0xff on a little-endian machine.
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(picture.pixels.data() + size_t(y) * size_t(picture.width) * 4,
                    image.constScanLine(y), size_t(picture.width) * 4);
    return picture;
}

}  // namespace quillet::platform
