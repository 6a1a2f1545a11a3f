#pragma once

#include <QImage>
#include <QString>

namespace quillet::capture {

// Every write of the program's own to the system clipboard goes through here, so that the
// change it causes is recognised and not stored as a new clip: each write sets
// IgnoreNextClipboardChange just before it, and the clipboard watcher takes the flag when the
// change arrives.
class ClipboardWriter {
  public:
    virtual ~ClipboardWriter() = default;

    // Replaces the clipboard's content with `text`.
    void writeText(const QString& text);
    // Replaces the clipboard's content with `image`; a null image leaves the clipboard empty.
    void writeImage(const QImage& image);

    // Whether the next clipboard change is the program's own.
    bool IgnoreNextClipboardChange() const { return ignoreNext_; }
    // Returns the flag and clears it: the watcher's one look at it per change.
    bool takeIgnoreNextClipboardChange();

  protected:
    // The actual writes; the default ones go to the application's clipboard.
    virtual void setClipboardText(const QString& text);
    virtual void setClipboardImage(const QImage& image);

  private:
    bool ignoreNext_ = false;
};

}  // namespace quillet::capture
