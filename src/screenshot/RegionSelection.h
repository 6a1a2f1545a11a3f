#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>

#include <optional>

namespace quillet::screenshot {

// The rubber band of the region window, on a picture of the screen. Positions are picture
// pixels. The band is drawn into the picture itself by inverting the outline of the selected
// rectangle, so drawing the same outline a second time erases it without a trace; the picture
// holds no band when no drag is in progress.
//
// The selected rectangle runs from the smaller to the larger of the two corners, right and
// bottom excluded: corners (1, 2) and (4, 3) select columns 1..3 and row 2. Positions outside
// the picture count as its nearest edge, so a selection never leaves the picture.
//
// Each step returns the picture pixels it changed, for the window to repaint.
class RegionSelection {
  public:
    struct Release {
        // The picture pixels that changed: the band, erased.
        QRegion changed;
        // What the drag selected, to be stored; none when no drag was in progress. A selection
        // of zero width or height gives a null image.
        std::optional<QImage> region;
    };

    // Shows `picture` from now on, as an RGB32 copy. A drag in progress ends, storing nothing:
    // its band was drawn into the old picture.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

    bool dragging() const { return dragging_; }
    // Where the drag began, and where the pointer was last seen during it. Both are kept after
    // the drag ends.
    QPoint start() const { return start_; }
    QPoint current() const { return current_; }

    // A button went down at `position`: a drag begins there. Nothing while a drag is already
    // in progress.
    QRegion press(QPoint position);
    // The pointer moved to `position`: the band follows it. Nothing when no drag is in
    // progress.
    QRegion move(QPoint position);
    // A button came up: the drag ends at the last position seen by move(), the band is erased
    // and the selected part of the picture is handed back unscaled.
    Release release();
    // The drag, if any, ends without a selection and its band is erased.
    QRegion cancel();

    // The rectangle between two corners given in any order; right and bottom excluded.
    static QRect Span(QPoint a, QPoint b);
    // The outline of `rect`: its first and last row and column. Empty for a rectangle of zero
    // width or height. Every outline pixel lies in exactly one rectangle of the region.
    static QRegion Outline(const QRect& rect);

  private:
    QPoint clamped(QPoint position) const;
    // Inverts the outline of the rectangle between the two corners; returns the pixels changed.
    QRegion invertBand(QPoint a, QPoint b);

    QImage picture_;
    bool dragging_ = false;
    QPoint start_;
    QPoint current_;
};

}  // namespace quillet::screenshot
