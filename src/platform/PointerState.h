#pragma once

#include "PlatformTypes.h"

namespace quillet::platform {

// Where the mouse pointer is and whether its left button is down, read on demand (the edge
// docking polls it from a timer, whatever window the pointer is over).
class PointerState {
  public:
    virtual ~PointerState() = default;

    // The pointer's position in screen pixels. Never blocks long.
    virtual ScreenPoint position() = 0;

    // True while the left mouse button is held down.
    virtual bool leftButtonDown() = 0;
};

}  // namespace quillet::platform
