#pragma once

#include <QPixmap>

namespace quillet::browser {

// The grid's 16 × 16 pictures: a note pad for text clips, a painter's palette for image clips,
// and the padlock of locked clips. Drawn once and shared.
const QPixmap& TextClipIcon();
const QPixmap& ImageClipIcon();
const QPixmap& PadlockIcon();

}  // namespace quillet::browser
