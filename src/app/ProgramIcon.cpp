#include "ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace quillet::app {

QPixmap ProgramPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // Board and paper.
    p.setPen(QPen(QColor(0x5a, 0x3e, 0x1b), 1.2));
    p.setBrush(QColor(0xb9, 0x85, 0x4a));
    p.drawRoundedRect(QRectF(4.5, 3.5, 23, 27), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xfb, 0xfb, 0xf6));
    p.drawRect(QRectF(7.5, 7.5, 17, 20));
    // Clip.
    p.setBrush(QColor(0x70, 0x78, 0x82));
    p.drawRoundedRect(QRectF(11, 1.5, 10, 5), 1.5, 1.5);
    // Lines of text.
    p.setPen(QPen(QColor(0x9a, 0xa4, 0xb0), 1.2));
    for (double y : {11.5, 15.0, 18.5})
        p.drawLine(QPointF(10, y), QPointF(22, y));
    // The quill.
    QPainterPath quill;
    quill.moveTo(27, 9);
    quill.cubicTo(22, 12, 17, 19, 14.5, 25.5);
    quill.cubicTo(19, 21, 25, 16, 27, 9);
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), 0.8));
    p.setBrush(QColor(0x3d, 0x7b, 0xd1));
    p.drawPath(quill);
    p.drawLine(QPointF(14.5, 25.5), QPointF(13, 28));
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(ProgramPixmap(size));
    return icon;
}

}  // namespace quillet::app
