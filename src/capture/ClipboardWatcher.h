#pragma once

class QAction;

namespace quillet::platform {
class ClipboardChangeSource;
}

namespace quillet::capture {

class CaptureSink;
class ClipCapture;
class ClipboardWriter;

// Decides for each clipboard change whether it is captured, and owns the commands that stop
// and start capturing and switch the capture filters. Everything runs on the user-interface
// thread.
class ClipboardWatcher {
  public:
    // `enableText` and `enableImage` are the capture filters of the settings record, which the
    // filter commands change. Every argument must outlive this object.
    ClipboardWatcher(platform::ClipboardChangeSource& changes, ClipboardWriter& writer,
                     ClipCapture& capture, CaptureSink& sink, bool& enableText, bool& enableImage);

    // Starts the change notifications; the first one comes at once, so that what the clipboard
    // holds now is handled as a new change. Sets CaptureOn.
    void JoinViewerChain();
    // Stops the change notifications; CaptureOn keeps its value. Harmless when not joined.
    void LeaveViewerChain();

    // True while changes are being notified.
    bool CaptureOn() const { return captureOn_; }

    // Handles one clipboard change. A change that the program made itself (the writer's
    // IgnoreNextClipboardChange is set) is not captured and clears the flag; any other runs
    // CaptureClipboard. In every case ShowWithoutCopy is cleared afterwards, also when the
    // capture raised an error, which then leaves as raised.
    //
    // A program write made while a capture waits sets the flag again: that write's own
    // notification is the one that clears it, whether it arrives inside the wait or after the
    // capture has ended.
    void WMDrawClipboard();

    // The stop/start command of the menu item `item` (the main menu's or the tray menu's): when
    // capturing, captions the item "Start Capturing", shows "Capture Stopped!" and leaves;
    // otherwise captions it "Stop Capturing", shows "Capture Working!" and joins. Only `item`'s
    // caption changes.
    void StopCapturing1Click(QAction& item);

    // The filter toggles: the filter and `item`'s check mark both become the opposite of
    // `hadCheckMark`, the check mark the item had before it was clicked (for a checkable
    // QAction, which toggles itself first: the opposite of triggered's argument).
    void Text1Click(QAction& item, bool hadCheckMark);
    void Image1Click(QAction& item, bool hadCheckMark);

  private:
    platform::ClipboardChangeSource& changes_;
    ClipboardWriter& writer_;
    ClipCapture& capture_;
    CaptureSink& sink_;
    bool& enableText_;
    bool& enableImage_;
    bool captureOn_ = false;
};

}  // namespace quillet::capture
