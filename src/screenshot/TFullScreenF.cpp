#include "TFullScreenF.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>

#include <cmath>
#include <utility>

#include "ScreenCapture.h"
#include "platform/ScreenGrabber.h"

namespace quillet::screenshot {
namespace {

// The keys that close the window without storing.
bool IsCloseKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_Escape || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace

TFullScreenF::TFullScreenF(platform::ScreenGrabber& grabber, StoreFunction store, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      grabber_(grabber),
      store_(std::move(store)) {
    setObjectName(QStringLiteral("FullScreenF"));
    setWindowTitle(QStringLiteral("Region"));
    setAccessibleName(QStringLiteral("Region"));
    setAccessibleDescription(
        QStringLiteral("Drag over the screen to capture a region; Esc cancels."));
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    // Moves are reported with no button down too; they change nothing then.
    setMouseTracking(true);
    // Every pixel is painted from the picture: no background to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);

    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setSingleShot(true);
    timer1_.setInterval(kGrabDelayMs);
    connect(&timer1_, &QTimer::timeout, this, &TFullScreenF::Timer1Timer);
}

void TFullScreenF::Region1Click() {
    // A second command would grab the screen with this window on it, and drop the band of a
    // drag in progress into the new picture.
    if (timer1_.isActive() || isVisible())
        return;
    timer1_.start();
}

void TFullScreenF::Timer1Timer() {
    timer1_.stop();
    const QImage picture = ToImage(grabber_.grabPrimaryScreen());
    if (picture.isNull())
        return;
    selection_.setPicture(picture);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    showFullScreen();
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    update();
}

bool TFullScreenF::event(QEvent* event) {
    // The window's keys come before any shortcut of the program's other windows.
    if (event->type() == QEvent::ShortcutOverride && IsCloseKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void TFullScreenF::keyPressEvent(QKeyEvent* event) {
    if (!IsCloseKey(*event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    hide();
}

void TFullScreenF::mousePressEvent(QMouseEvent* event) {
    updatePicture(selection_.press(picturePoint(event->position())));
}

void TFullScreenF::mouseMoveEvent(QMouseEvent* event) {
    updatePicture(selection_.move(picturePoint(event->position())));
}

void TFullScreenF::mouseReleaseEvent(QMouseEvent*) {
    // The release position is not used: the region ends where the last move left the band.
    RegionSelection::Release released = selection_.release();
    updatePicture(released.changed);
    // A release with no drag behind it (the button was already down when the window opened)
    // selects nothing; the window stays open for a drag of its own.
    if (!released.region)
        return;
    // Hidden also when the store fails, so that its error report is not covered by this window.
    const auto hideAfterwards = qScopeGuard([this] { hide(); });
    store_(*released.region);
}

void TFullScreenF::hideEvent(QHideEvent* event) {
    // The next opening starts without a drag, and without a band in the picture.
    updatePicture(selection_.cancel());
    QWidget::hideEvent(event);
}

void TFullScreenF::closeEvent(QCloseEvent* event) {
    // A close from the window manager counts as Esc; the window is kept for the next command.
    event->ignore();
    hide();
}

void TFullScreenF::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& picture = selection_.picture();
    const qreal ratio = devicePixelRatioF();
    const QRect shown =
        QRectF(0, 0, picture.width() / ratio, picture.height() / ratio).toAlignedRect();
    for (const QRect& part : event->region() - shown)
        painter.fillRect(part, Qt::black);
    // Only the parts asked for: a move repaints two thin outlines of a picture that may have
    // millions of pixels.
    for (const QRect& part : event->region() & shown) {
        const QRectF source = QRectF(QPointF(part.topLeft()) * ratio, QSizeF(part.size()) * ratio) &
                              QRectF(picture.rect());
        if (!source.isEmpty())
            painter.drawImage(QRectF(source.topLeft() / ratio, source.size() / ratio), picture,
                              source);
    }
}

QPoint TFullScreenF::picturePoint(const QPointF& position) const {
    // Window and screen share their top-left corner; the picture has one pixel per device pixel.
    const qreal ratio = devicePixelRatioF();
    return {int(std::floor(position.x() * ratio)), int(std::floor(position.y() * ratio))};
}

void TFullScreenF::updatePicture(const QRegion& pictureRegion) {
    if (pictureRegion.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    if (ratio == 1.0) {
        update(pictureRegion);
        return;
    }
    QRegion area;
    for (const QRect& part : pictureRegion)
        area +=
            QRectF(part.x() / ratio, part.y() / ratio, part.width() / ratio, part.height() / ratio)
                .toAlignedRect();
    update(area);
}

}  // namespace quillet::screenshot
