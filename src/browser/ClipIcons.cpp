#include "ClipIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace quillet::browser {

namespace {

QPixmap Draw(void (*paint)(QPainter&)) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return pixmap;
}

void PaintNotePad(QPainter& p) {
    p.setPen(QPen(QColor(0x55, 0x60, 0x6e), 1));
    p.setBrush(QColor(0xff, 0xfd, 0xe7));
    p.drawRect(QRectF(2.5, 2.5, 11, 12));
    p.setPen(QPen(QColor(0x4a, 0x7b, 0xc4), 1));
    for (double y : {6.5, 9.0, 11.5})
        p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
    p.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 1.5));
    p.drawLine(QPointF(2.5, 2.5), QPointF(13.5, 2.5));
}

void PaintPalette(QPainter& p) {
    QPainterPath board;
    board.addEllipse(QRectF(1.5, 2.5, 13, 11));
    QPainterPath thumb;
    thumb.addEllipse(QRectF(8, 8.5, 3.5, 3));
    p.setPen(QPen(QColor(0x7a, 0x55, 0x2e), 1));
    p.setBrush(QColor(0xde, 0xb8, 0x87));
    p.drawPath(board.subtracted(thumb));
    p.setPen(Qt::NoPen);
    const QColor paints[] = {QColor(0xe7, 0x4c, 0x3c), QColor(0x27, 0xae, 0x60),
                             QColor(0x29, 0x80, 0xb9), QColor(0xf1, 0xc4, 0x0f)};
    const QPointF spots[] = {{4.5, 6.5}, {7.5, 4.8}, {10.8, 5.5}, {4.8, 10}};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(paints[i]);
        p.drawEllipse(spots[i], 1.5, 1.5);
    }
}

void PaintPadlock(QPainter& p) {
    p.setPen(QPen(QColor(0x6b, 0x6b, 0x6b), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.5, 1.5, 7, 8), 0, 180 * 16);
    p.drawLine(QPointF(4.5, 5.5), QPointF(4.5, 7.5));
    p.drawLine(QPointF(11.5, 5.5), QPointF(11.5, 7.5));
    p.setPen(QPen(QColor(0x9a, 0x6b, 0x00), 1));
    p.setBrush(QColor(0xf5, 0xb8, 0x1b));
    p.drawRoundedRect(QRectF(2.5, 7.5, 11, 7), 1, 1);
    p.setBrush(QColor(0x5a, 0x40, 0x00));
    p.drawEllipse(QPointF(8, 10.5), 1, 1);
}

}  // namespace

const QPixmap& TextClipIcon() {
    static const QPixmap icon = Draw(PaintNotePad);
    return icon;
}

const QPixmap& ImageClipIcon() {
    static const QPixmap icon = Draw(PaintPalette);
    return icon;
}

const QPixmap& PadlockIcon() {
    static const QPixmap icon = Draw(PaintPadlock);
    return icon;
}

}  // namespace quillet::browser
