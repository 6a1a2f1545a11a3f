#include "ScreenCapture.h"

#include "capture/BmpEncoder.h"
#include "capture/ClipCapture.h"
#include "capture/ClipboardWriter.h"
#include "platform/ScreenGrabber.h"
#include "store/ClipDatabase.h"
#include "store/DateTimeText.h"

namespace quillet::screenshot {

QImage ToImage(const platform::ScreenPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() < size_t(picture.width) * size_t(picture.height) * 4)
        return {};
    // Blue, green, red, unused: the memory layout of an RGB32 pixel on a little-endian machine.
    const QImage view(picture.pixels.data(), picture.width, picture.height, picture.width * 4,
                      QImage::Format_RGB32);
    return view.copy();
}

ScreenCapture::ScreenCapture(platform::ScreenGrabber& grabber, capture::ClipboardWriter& clipboard,
                             capture::CaptureSink& sink, capture::ClipCapture& capture)
    : grabber_(grabber), clipboard_(clipboard), sink_(sink), capture_(capture) {}

void ScreenCapture::FullScreen1Click() {
    const QImage image = ToImage(grabber_.grabPrimaryScreen());
    if (image.isNull())
        return;
    StoreScreenshotClip(image, ScreenshotKind::FullScreen);
}

void ScreenCapture::StoreScreenshotClip(const QImage& image, ScreenshotKind kind) {
    if (!database_)
        return;
    capture_.setLastClipText(QString());
    sink_.ClearPreviewReadOnly();
    const QByteArray bmp = capture::EncodeBmp(image);

    store::ClipRow row;
    row.DataFormat = store::kImageClip;
    row.Title = QStringLiteral("Graphic: ") + store::DateTimeText();
    row.Source = QStringLiteral("Created by Quillet");
    row.Size = qint32(bmp.size());
    row.TimeStamp = store::DateTimeText();
    row.FormatList = QStringLiteral("Image by Quillet");
    // Stored first and listed after, so that a failed insert leaves no entry without a row.
    row.ID = kind == ScreenshotKind::FullScreen ? database_->InsertFullScreenShot(row, bmp)
                                                : database_->InsertRegionShot(row, bmp);
    sink_.AppendClip(std::move(row));
    clipboard_.writeImage(image);
    sink_.Repaint();
    sink_.PlayNotificationSound(QStringLiteral("ok.wav"));
    sink_.ShowStatusMessage(QStringLiteral("Clip Captured"));
    sink_.SelectNewestClip();
}

}  // namespace quillet::screenshot
