#include "browser/ImageScale.h"

#include <algorithm>
#include <cmath>

namespace quillet::browser {

namespace {

// Written out rather than left to std::nearbyint, whose result depends on the floating-point
// rounding mode of the whole process.
int RoundHalfToEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double rounded = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0)) {
        rounded = lower + 1.0;
    }
    return static_cast<int>(rounded);
}

}  // namespace

QSize ScaledSize(int w, int h, int boxWidth, int boxHeight) {
    if (w < 1 || h < 1) {
        return {};
    }
    // A box that has not been laid out yet, or was squeezed to nothing, would make the factor
    // infinite and the picture vanish; fitting into one pixel is the nearest meaningful answer.
    const double width = std::max(boxWidth, 1);
    const double height = std::max(boxHeight, 1);
    const double factor = std::max({w / width, h / height, 1.0});
    // A very thin image (2000 x 1 in a small box) would otherwise round to zero rows and show
    // nothing at all.
    return {std::max(RoundHalfToEven(w / factor), 1), std::max(RoundHalfToEven(h / factor), 1)};
}

}  // namespace quillet::browser
