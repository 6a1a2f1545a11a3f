#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "RegionSelection.h"

namespace quillet::platform {
class ScreenGrabber;
}

namespace quillet::screenshot {

// The region capture window: a borderless window that stays on top of the primary screen and
// shows a still picture of it, pixel for pixel, under a crosshair pointer. A drag with any mouse
// button draws a band; releasing the button stores the part of the picture inside the band at
// its own size and hides the window. Esc or Enter hides it and stores nothing.
//
// Made once at start-up and hidden until Region1Click opens it. The selection state lives as
// long as the window; every way of hiding the window ends a drag in progress.
class TFullScreenF final : public QWidget {
    Q_OBJECT
  public:
    // Stores the selected part of the screen. A selection of zero width or height is handed
    // over as a null image.
    using StoreFunction = std::function<void(const QImage&)>;

    // The wait between the command and the grab, in milliseconds.
    static constexpr int kGrabDelayMs = 200;

    // `grabber` must outlive the window.
    TFullScreenF(platform::ScreenGrabber& grabber, StoreFunction store, QWidget* parent = nullptr);

    // The region command: kGrabDelayMs later the screen is grabbed and the window opens on it.
    // Returns at once. A command while that wait runs, or while the window is open, does
    // nothing.
    void Region1Click();

    // The single-shot wait that Region1Click starts.
    const QTimer& timer() const { return timer1_; }
    const RegionSelection& selection() const { return selection_; }

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The end of the wait: grabs the screen and opens the window on the picture. A screen that
    // cannot be read leaves the window hidden.
    void Timer1Timer();
    // The picture pixel under a position in window coordinates.
    QPoint picturePoint(const QPointF& position) const;
    // Schedules a repaint of the window area showing `pictureRegion`, and of nothing else.
    void updatePicture(const QRegion& pictureRegion);

    platform::ScreenGrabber& grabber_;
    StoreFunction store_;
    QTimer timer1_;
    RegionSelection selection_;
};

}  // namespace quillet::screenshot
