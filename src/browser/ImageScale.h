#pragma once

#include <QSize>

namespace quillet::browser {

// The size at which an image of w x h pixels is drawn to fit a box of outer size boxWidth x
// boxHeight, keeping its proportions and never enlarging it.
//
// The factor is s = max(w / boxWidth, h / boxHeight) in floating point, raised to 1 when smaller;
// the result is (w / s, h / s), each rounded to the nearest integer with halves going to the even
// neighbour. Two guards keep the result drawable: a box dimension below 1 counts as 1, and a
// dimension of a non-empty image never rounds down below 1. Returns an empty size when w or h is
// below 1.
QSize ScaledSize(int w, int h, int boxWidth, int boxHeight);

}  // namespace quillet::browser
