#pragma once

#include <QImage>

namespace quillet::platform {
class ScreenGrabber;
struct ScreenPicture;
}  // namespace quillet::platform
namespace quillet::store {
class ClipDatabase;
}
namespace quillet::capture {
class CaptureSink;
class ClipCapture;
class ClipboardWriter;
}  // namespace quillet::capture

namespace quillet::screenshot {

// The two ways a screenshot is taken; each stores with an insert of its own.
enum class ScreenshotKind { FullScreen, Region };

// `picture` as an image of its own (a copy).
QImage ToImage(const platform::ScreenPicture& picture);

// Screenshots as image clips: the full-screen command, and the store that both kinds of
// screenshot end in.
class ScreenCapture {
  public:
    ScreenCapture(platform::ScreenGrabber& grabber, capture::ClipboardWriter& clipboard,
                  capture::CaptureSink& sink, capture::ClipCapture& capture);

    // The connection screenshots are stored in; without one nothing is stored.
    void setDatabase(store::ClipDatabase* database) { database_ = database; }

    // Takes the whole primary screen and stores it. A screen that cannot be read stores
    // nothing.
    void FullScreen1Click();

    // Stores `image` as a new image clip, puts it on the clipboard as the program's own write,
    // and selects it. A null image (a region of zero width or height) is stored all the same,
    // with no content and Size 0, and leaves the clipboard empty. Throws StoreError when the
    // insert fails; nothing is added then.
    void StoreScreenshotClip(const QImage& image, ScreenshotKind kind);

  private:
    platform::ScreenGrabber& grabber_;
    capture::ClipboardWriter& clipboard_;
    capture::CaptureSink& sink_;
    capture::ClipCapture& capture_;
    store::ClipDatabase* database_ = nullptr;
};

}  // namespace quillet::screenshot
