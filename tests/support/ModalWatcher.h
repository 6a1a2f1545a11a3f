#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace quillet::test {

// Runs `act` on the next modal window that opens (polling from the event loop), once. Keep it
// alive around the code that opens the window; `seen()` tells whether one opened at all.
class ModalWatcher {
  public:
    explicit ModalWatcher(std::function<void(QWidget*)> act) : act_(std::move(act)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
                timer_.stop();
                seen_ = true;
                act_(modal);
            }
        });
        timer_.start(10);
    }

    bool seen() const { return seen_; }

  private:
    std::function<void(QWidget*)> act_;
    QTimer timer_;
    bool seen_ = false;
};

}  // namespace quillet::test
