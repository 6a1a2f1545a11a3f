#include "ClipboardWatcher.h"

#include <QAction>
#include <QString>

#include "ClipCapture.h"
#include "ClipboardWriter.h"
#include "platform/ClipboardChangeSource.h"

namespace quillet::capture {

ClipboardWatcher::ClipboardWatcher(platform::ClipboardChangeSource& changes,
                                   ClipboardWriter& writer, ClipCapture& capture, CaptureSink& sink,
                                   bool& enableText, bool& enableImage)
    : changes_(changes),
      writer_(writer),
      capture_(capture),
      sink_(sink),
      enableText_(enableText),
      enableImage_(enableImage) {}

void ClipboardWatcher::JoinViewerChain() {
    changes_.join([this] { WMDrawClipboard(); });
    captureOn_ = true;
}

void ClipboardWatcher::LeaveViewerChain() {
    changes_.leave();
}

void ClipboardWatcher::WMDrawClipboard() {
    capture_.ClipboardChanged();
    // The flag is taken (read and cleared) here rather than cleared once the capture is over:
    // the capture waits with events flowing, and a program write made meanwhile sets the flag
    // for its own notification, which may only come after this capture has ended. Clearing the
    // flag at the end would let that notification store the program's own write.
    if (!writer_.takeIgnoreNextClipboardChange()) {
        try {
            capture_.CaptureClipboard();
        } catch (...) {
            sink_.ClearShowWithoutCopy();
            throw;
        }
    }
    sink_.ClearShowWithoutCopy();
}

void ClipboardWatcher::StopCapturing1Click(QAction& item) {
    if (captureOn_) {
        item.setText(QStringLiteral("Start Capturing"));
        sink_.ShowStatusMessage(QStringLiteral("Capture Stopped!"));
        LeaveViewerChain();
        captureOn_ = false;
    } else {
        item.setText(QStringLiteral("Stop Capturing"));
        sink_.ShowStatusMessage(QStringLiteral("Capture Working!"));
        JoinViewerChain();
    }
}

void ClipboardWatcher::Text1Click(QAction& item, bool hadCheckMark) {
    enableText_ = !hadCheckMark;
    item.setChecked(enableText_);
}

void ClipboardWatcher::Image1Click(QAction& item, bool hadCheckMark) {
    enableImage_ = !hadCheckMark;
    item.setChecked(enableImage_);
}

}  // namespace quillet::capture
