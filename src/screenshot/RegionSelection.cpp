#include "RegionSelection.h"

#include <algorithm>
#include <cstdlib>

namespace quillet::screenshot {

void RegionSelection::setPicture(const QImage& picture) {
    // Shared with the caller's image until the first band is drawn, which detaches it.
    picture_ = picture.convertToFormat(QImage::Format_RGB32);
    dragging_ = false;
}

QRegion RegionSelection::press(QPoint position) {
    if (dragging_)
        return {};
    dragging_ = true;
    start_ = current_ = clamped(position);
    return {};
}

QRegion RegionSelection::move(QPoint position) {
    if (!dragging_)
        return {};
    const QPoint next = clamped(position);
    QRegion changed = invertBand(start_, current_);
    changed += invertBand(start_, next);
    current_ = next;
    return changed;
}

RegionSelection::Release RegionSelection::release() {
    Release result;
    // A release with no press before it (the press went to another window) selects nothing.
    if (!dragging_)
        return result;
    dragging_ = false;
    result.changed = invertBand(start_, current_);
    const QRect span = Span(start_, current_);
    // QImage::copy() of a null rectangle would copy the whole picture.
    result.region = span.isEmpty() ? QImage() : picture_.copy(span);
    return result;
}

QRegion RegionSelection::cancel() {
    if (!dragging_)
        return {};
    dragging_ = false;
    return invertBand(start_, current_);
}

QRect RegionSelection::Span(QPoint a, QPoint b) {
    const int left = std::min(a.x(), b.x());
    const int top = std::min(a.y(), b.y());
    return QRect(left, top, std::abs(a.x() - b.x()), std::abs(a.y() - b.y()));
}

QRegion RegionSelection::Outline(const QRect& rect) {
    if (rect.isEmpty())
        return {};
    // Four disjoint pieces: the corners belong to the top and bottom rows only, so no pixel is
    // inverted twice by one outline (which would leave it unchanged).
    const int x1 = rect.left();
    const int y1 = rect.top();
    const int w = rect.width();
    const int h = rect.height();
    QRegion outline(x1, y1, w, 1);
    if (h > 1)
        outline += QRect(x1, y1 + h - 1, w, 1);
    if (h > 2) {
        outline += QRect(x1, y1 + 1, 1, h - 2);
        if (w > 1)
            outline += QRect(x1 + w - 1, y1 + 1, 1, h - 2);
    }
    return outline;
}

QPoint RegionSelection::clamped(QPoint position) const {
    // A corner may lie on the picture's right or bottom edge: that edge is excluded.
    return {std::clamp(position.x(), 0, picture_.width()),
            std::clamp(position.y(), 0, picture_.height())};
}

QRegion RegionSelection::invertBand(QPoint a, QPoint b) {
    const QRegion outline = Outline(Span(a, b)) & picture_.rect();
    // The region's rectangles never overlap, so every outline pixel is inverted exactly once.
    for (const QRect& piece : outline) {
        for (int y = piece.top(); y <= piece.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture_.scanLine(y));
            for (int x = piece.left(); x <= piece.right(); ++x)
                line[x] ^= 0x00FFFFFFu;
        }
    }
    return outline;
}

}  // namespace quillet::screenshot
