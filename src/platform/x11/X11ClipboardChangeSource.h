#pragma once

#include <QObject>

#include <cstdint>
#include <memory>

#include "X11ClipboardConnection.h"
#include "platform/ClipboardChangeSource.h"

namespace quillet::platform {

// Clipboard changes as the XFixes extension reports them: a new owner of the CLIPBOARD
// selection, or the end of the owner's window or connection (the clipboard is then empty). The
// PRIMARY selection, which changes with every text the user marks, is not watched. Without a
// display, or on a server without XFixes, only the change that joining delivers ever comes.
class X11ClipboardChangeSource final : public ClipboardChangeSource {
  public:
    explicit X11ClipboardChangeSource(std::shared_ptr<X11ClipboardConnection> connection);
    ~X11ClipboardChangeSource() override;

    void join(ChangeHandler onChange) override;
    void leave() override;

  private:
    void selectEvents(bool on);
    void post();

    std::shared_ptr<X11ClipboardConnection> connection_;
    std::uint32_t clipboard_ = 0;
    int listener_ = 0;
    ChangeHandler onChange_;
    bool joined_ = false;
    // Raised by every join and leave: a change posted before carries an older value and is
    // dropped when it comes due.
    std::uint64_t generation_ = 0;
    // Receiver of the posted changes: they die with this object.
    QObject context_;
};

}  // namespace quillet::platform
