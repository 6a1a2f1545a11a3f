#pragma once

#include <string>

#include "platform/SoundPlayer.h"

struct ca_context;

namespace quillet::platform {

// Plays event sounds through libcanberra, with one context for the whole run. A new sound
// stops the one still playing. Without a sound device every call simply does nothing.
class CanberraSoundPlayer final : public SoundPlayer {
  public:
    CanberraSoundPlayer();
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    // Plays the file at `path` when it exists, otherwise (or when it cannot be played) the sound
    // theme's "message" event. Returns at once; errors are ignored.
    void playAsync(const std::string& path) override;

  private:
    ca_context* context_ = nullptr;
};

}  // namespace quillet::platform
