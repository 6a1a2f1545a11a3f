#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "app/NotificationSound.h"
#include "app/Settings.h"
#include "platform/fake/FakePlatform.h"
#include "platform/x11/CanberraSoundPlayer.h"

namespace quillet::app {
namespace {

using platform::fake::FakeSoundPlayer;
using Paths = std::vector<std::string>;

TEST(NotificationSound, PlaysFromTheSoundFolderOnlyWhileSoundIsOn) {
    FakeSoundPlayer player;
    Settings settings;
    const NotificationSound sound(player, settings);

    settings.EnableSound = false;
    sound.play(QStringLiteral("ok.wav"));
    EXPECT_EQ(player.played, Paths{});

    // The setting is read at each play: the options dialog changes it while the program runs.
    settings.EnableSound = true;
    sound.play(QStringLiteral("ok.wav"));
    sound.play(QStringLiteral("clearall.wav"));
    EXPECT_EQ(player.played, (Paths{"sound/ok.wav", "sound/clearall.wav"}));

    settings.EnableSound = false;
    sound.play(QStringLiteral("fail.wav"));
    EXPECT_EQ(player.played.size(), 2u);
}

// There is no sound device on the test machines: every call must come back at once, quietly,
// whether the file is missing, unplayable or a folder.
TEST(CanberraSoundPlayer, ReturnsAtOnceWithoutADevice) {
    QTemporaryDir dir;
    QFile junk(dir.filePath(QStringLiteral("junk.wav")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a wave file");
    junk.close();

    platform::CanberraSoundPlayer player;
    QElapsedTimer clock;
    clock.start();
    for (const QString& path :
         {dir.filePath(QStringLiteral("missing.wav")), dir.filePath(QStringLiteral("junk.wav")),
          dir.path(), QStringLiteral("sound/ok.wav"), QString()})
        player.playAsync(path.toStdString());
    EXPECT_LT(clock.elapsed(), 2000);
}

}  // namespace
}  // namespace quillet::app
