#pragma once

#include <cstdint>

#include "platform/WindowStyler.h"

struct xcb_connection_t;

namespace quillet::platform {

// Window marks through EWMH properties, sent on a connection of its own to the display named by
// $DISPLAY. Each call waits for the server to have applied the change, so that a map request
// the toolkit sends afterwards on its own connection finds the marks in place.
class X11WindowStyler final : public WindowStyler {
  public:
    X11WindowStyler();
    ~X11WindowStyler() override;

    void makeToolWindow(NativeWindow window) override;
    void setOpacity(NativeWindow window, std::uint8_t alpha) override;

  private:
    std::uint32_t atom(const char* name);
    bool connected();

    xcb_connection_t* connection_ = nullptr;
};

}  // namespace quillet::platform
