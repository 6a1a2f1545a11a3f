#pragma once

#include <QString>

namespace quillet::platform {
class SoundPlayer;
}

namespace quillet::app {

struct Settings;

// The program's notification sounds: short wave files in the folder "sound" under the current
// directory, played only while the user's settings allow sounds.
class NotificationSound {
  public:
    // Both are borrowed for the object's life; `settings` is read at every play, so a change
    // of EnableSound takes effect at the next sound.
    NotificationSound(platform::SoundPlayer& player, const Settings& settings);

    // Does nothing when EnableSound is false. Otherwise starts playing "sound/" + `fileName`
    // (relative to the current directory) and returns at once; when that file cannot be
    // played the desktop's default event sound plays. Nothing is reported.
    void play(const QString& fileName) const;

  private:
    platform::SoundPlayer& player_;
    const Settings& settings_;
};

}  // namespace quillet::app
