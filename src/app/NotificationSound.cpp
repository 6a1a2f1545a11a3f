#include "NotificationSound.h"

#include "Settings.h"
#include "platform/SoundPlayer.h"

namespace quillet::app {

NotificationSound::NotificationSound(platform::SoundPlayer& player, const Settings& settings)
    : player_(player), settings_(settings) {}

void NotificationSound::play(const QString& fileName) const {
    if (!settings_.EnableSound)
        return;
    player_.playAsync((QStringLiteral("sound/") + fileName).toStdString());
}

}  // namespace quillet::app
