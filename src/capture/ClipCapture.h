#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "store/ClipRow.h"

namespace quillet::platform {
class ClipboardReader;
}
namespace quillet::store {
class ClipDatabase;
}

namespace quillet::capture {

class ClipboardWriter;

// What capturing needs of the clip browser and the main window, which implement it. Every call
// is made on the user-interface thread.
class CaptureSink {
  public:
    virtual ~CaptureSink() = default;

    // Lets `ms` milliseconds pass while events keep being dispatched; the capture that waits
    // may be re-entered from inside. An error raised by an event handled meanwhile leaves the
    // wait and reaches the caller.
    virtual void WaitPumpingMessages(int ms) = 0;
    // Makes the preview memo editable again.
    virtual void ClearPreviewReadOnly() = 0;
    // Appends `row` to the clip list as the newest clip; `row` carries the ID the store gave it.
    virtual void AppendClip(store::ClipRow row) = 0;
    // Brings the grid up to date with the clip list.
    virtual void Repaint() = 0;
    // Selects the newest clip and shows it without putting it on the clipboard.
    virtual void SelectNewestClip() = 0;
    // Plays the event sound `fileName` ("ok.wav", "fail.wav") from the program's sound folder;
    // a sound that cannot be played is passed over silently.
    virtual void PlayNotificationSound(const QString& fileName) = 0;
    // Replaces the status bar's message with `text`.
    virtual void ShowStatusMessage(const QString& text) = 0;
    // Clears the mark that lets the next selection show a clip without copying it.
    virtual void ClearShowWithoutCopy() = 0;
};

// Turns what another program has just put on the clipboard into a stored clip: a content that
// can be read as text becomes a text clip, one that offers only a picture an image clip; the
// filters switch either kind off, and a text equal to LastClipText is not stored again.
class ClipCapture {
  public:
    // The time that all clipboard reads of one capture may take together.
    static constexpr std::chrono::milliseconds kDefaultReadBudget{1000};
    // The wait before the clipboard is read, so that the owner has finished writing it.
    static constexpr int kSettleMilliseconds = 100;

    // `writer` is the program's own clipboard writer, whose pending write a capture never
    // stores. `enableText` and `enableImage` are the capture filters, read at every capture.
    // Every argument must outlive this object.
    ClipCapture(platform::ClipboardReader& reader, const ClipboardWriter& writer, CaptureSink& sink,
                const bool& enableText, const bool& enableImage,
                std::chrono::milliseconds readBudget = kDefaultReadBudget);

    // The connection new clips are inserted into; nullptr while none is open, and then nothing
    // is captured.
    void setDatabase(store::ClipDatabase* database) { database_ = database; }

    // Waits kSettleMilliseconds, then reads the clipboard and stores what it holds:
    // - Nothing happens (no clip, no sound, no status message) when the clipboard has no owner,
    //   its owner does not answer within the read budget, marks the content secret, offers
    //   neither text nor a picture, offers a kind whose filter is off (a content that offers
    //   text is never taken as a picture), or hands over no text or no decodable picture.
    // - Nothing happens either when ClipboardChanged() was called during this capture (the
    //   newer change's own run handles what the clipboard holds now), or when the program has
    //   written the clipboard itself and the writer's IgnoreNextClipboardChange is still set
    //   (the clipboard then holds the program's own write).
    // - A text equal to LastClipText (same UTF-16 code units) plays "fail.wav", shows "Duplicate
    //   Clip Ignored" and selects the newest clip.
    // - Otherwise the clip is inserted, appended to the list, announced with "ok.wav" and "Clip
    //   Captured", the grid is repainted and the newest clip selected. A text clip sets
    //   LastClipText to its text, an image clip empties it.
    // A StoreError from the insert leaves the capture with nothing appended and LastClipText
    // unchanged; an error from the sink leaves it as raised.
    void CaptureClipboard();

    // Tells a capture that may be running that the clipboard changed again. The watcher calls
    // it for every change notification, also for those it does not capture.
    void ClipboardChanged() { ++changeCount_; }

    // The reference of the duplicate rule: the newest captured text, empty at start. Start-up,
    // clear-all, the empty-clip command and the screenshots set it too.
    const QString& LastClipText() const { return lastClipText_; }
    void setLastClipText(const QString& text) { lastClipText_ = text; }

  private:
    using Deadline = std::chrono::steady_clock::time_point;

    void CaptureText(const std::vector<std::string>& formats, Deadline deadline,
                     std::uint64_t change);
    void CaptureImage(const std::vector<std::string>& formats, Deadline deadline,
                      std::uint64_t change);
    // Appends the inserted `row` and announces it.
    void Announce(store::ClipRow row);
    // Whether the clipboard may no longer hold the content of the change that the capture that
    // saw `change` handles: a newer change arrived, or the program wrote the clipboard itself.
    bool Outdated(std::uint64_t change) const;

    platform::ClipboardReader& reader_;
    const ClipboardWriter& writer_;
    CaptureSink& sink_;
    const bool& enableText_;
    const bool& enableImage_;
    std::chrono::milliseconds readBudget_;
    store::ClipDatabase* database_ = nullptr;
    QString lastClipText_;
    std::uint64_t changeCount_ = 0;
};

}  // namespace quillet::capture
