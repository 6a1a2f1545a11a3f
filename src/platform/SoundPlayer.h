#pragma once

#include <string>

namespace quillet::platform {

// Short event sounds.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;

    // Starts playing the wave file at `path` (UTF-8, relative paths to the current directory)
    // and returns at once without waiting for it. When the file is missing or cannot be played,
    // the desktop's default event sound plays instead. Nothing is reported.
    virtual void playAsync(const std::string& path) = 0;
};

}  // namespace quillet::platform
