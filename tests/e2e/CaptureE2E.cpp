// Capture of what other programs copy, with the real program under X and real owners.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>

#include "SelectionOwner.h"
#include "StoredClips.h"
#include "XSessionTools.h"

namespace quillet::e2e {
namespace {

// Another program copying: xclip keeps owning the clipboard (and its PID) until it is replaced.
std::unique_ptr<QProcess> Copy(const QByteArray& bytes, const QString& type = {}) {
    auto xclip = std::make_unique<QProcess>();
    QStringList args{QStringLiteral("-quiet"), QStringLiteral("-selection"),
                     QStringLiteral("clipboard")};
    if (!type.isEmpty())
        args << QStringLiteral("-t") << type;
    xclip->start(QStringLiteral("xclip"), args);
    xclip->waitForStarted();
    // No event loop runs here: the bytes must be flushed before the channel can close.
    xclip->write(bytes);
    xclip->waitForBytesWritten(5000);
    xclip->closeWriteChannel();
    return xclip;
}

using CaptureE2E = RunningQuillet;

TEST_F(CaptureE2E, CopiedTextsBecomeClipsOnceEach) {
    const QString longText =
        QStringLiteral("A text that runs on well past the forty characters of a title");
    auto owner = Copy(longText.toUtf8());
    auto clips = ClipsSoon(1);
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].dataFormat, 1);
    EXPECT_EQ(clips[0].title, longText.left(40));
    EXPECT_EQ(clips[0].size, longText.size());
    EXPECT_EQ(QString::fromUtf8(clips[0].content), longText);
    EXPECT_EQ(clips[0].contentType, QStringLiteral("text"));
    EXPECT_EQ(clips[0].source, QStringLiteral("/usr/bin/xclip"));
    EXPECT_TRUE(clips[0].formatList.contains(QStringLiteral("UTF8_STRING,  ")))
        << clips[0].formatList.toStdString();
    EXPECT_TRUE(clips[0].formatList.endsWith(QStringLiteral(",  ")));
    EXPECT_FALSE(clips[0].timeStamp.isEmpty());

    // The same text again is a duplicate; a character outside the BMP is two code units.
    owner = Copy(longText.toUtf8());
    EXPECT_EQ(ClipsAfterQuiet().size(), 1u);
    owner = Copy(QStringLiteral("\U0001F600").toUtf8());
    clips = ClipsSoon(2);
    ASSERT_EQ(clips.size(), 2u);
    EXPECT_EQ(clips[1].size, 2);
    EXPECT_EQ(clips[1].title, QStringLiteral("\U0001F600"));
}

TEST_F(CaptureE2E, CopiedPictureIsStoredAsBmp) {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(30, 120, 200));
    picture.setPixelColor(5, 7, QColor(255, 0, 0));
    const QString png = elsewhere.filePath(QStringLiteral("p.png"));
    ASSERT_TRUE(picture.save(png));
    QFile file(png);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    auto owner = Copy(file.readAll(), QStringLiteral("image/png"));

    const auto clips = ClipsSoon(1);
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].dataFormat, 2);
    EXPECT_EQ(clips[0].contentType, QStringLiteral("blob"));
    EXPECT_TRUE(clips[0].content.startsWith("BM"));
    EXPECT_EQ(clips[0].size, clips[0].content.size());
    EXPECT_TRUE(clips[0].title.startsWith(QStringLiteral("Graphic ")));
    const QImage stored = QImage::fromData(clips[0].content, "BMP");
    EXPECT_EQ(stored.convertToFormat(QImage::Format_RGB32), picture);
}

TEST_F(CaptureE2E, SecretIsNotStored) {
    SelectionOwner secret({{"UTF8_STRING", "hunter2"}, {"x-kde-passwordManagerHint", "secret"}});
    ASSERT_TRUE(secret.owns());
    EXPECT_TRUE(ClipsAfterQuiet().empty());
}

TEST_F(CaptureE2E, OwnerThatNeverAnswersLeavesQuilletWorking) {
    {
        SelectionOwner hung({{"UTF8_STRING", "never"}}, /*answer=*/false);
        ASSERT_TRUE(hung.owns());
        QThread::msleep(300);  // Quillet is now waiting on it
        // The window keeps answering the window manager meanwhile: its title can be read and
        // a new copy is taken as soon as the wait for the silent owner gives up.
        EXPECT_FALSE(WaitForWindow(kMainTitle, run->processId(), 3000).isEmpty());
        auto owner = Copy(QByteArrayLiteral("after the silent one"));
        const auto clips = ClipsSoon(1, 5000);
        ASSERT_EQ(clips.size(), 1u);
        EXPECT_EQ(QString::fromUtf8(clips[0].content), QStringLiteral("after the silent one"));
    }
    EXPECT_EQ(run->state(), QProcess::Running);
}

// At start the clipboard's content is taken like a new copy, and the newest clip that the first
// show puts on the clipboard is not taken again.
TEST(CaptureAtStart, TakesTheClipboardButNotItsOwnWrite) {
    ProgramFolder program;
    QTemporaryDir elsewhere;
    QImage red(20, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray bmp;
    {
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "BMP");
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(program.file(QStringLiteral("ClipsData.db")).toUtf8().constData(), &db),
              SQLITE_OK);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into ClipsData (DataFormat, Title, Source, Size, TimeStamp, "
                       "Content, FormatList) Values(2, 'Graphic', '', ?, 't', ?, '')",
                       -1, &insert, nullptr);
    sqlite3_bind_int(insert, 1, int(bmp.size()));
    sqlite3_bind_blob(insert, 2, bmp.constData(), int(bmp.size()), SQLITE_STATIC);
    ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_finalize(insert);
    sqlite3_close(db);
    QFile ini(program.file(QStringLiteral("options.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Others]\nSetMinimized=0\n[Sound]\nEnableSound=0\n");
    ini.close();

    auto owner = Copy(QByteArrayLiteral("copied before the start"));
    QThread::msleep(300);
    auto run = program.start(elsewhere.path());
    ASSERT_FALSE(WaitForWindow(kMainTitle, run->processId()).isEmpty());
    QThread::msleep(1500);
    const auto clips = ReadClips(program.file(QStringLiteral("ClipsData.db")));
    ASSERT_EQ(clips.size(), 2u);
    EXPECT_EQ(QString::fromUtf8(clips[1].content), QStringLiteral("copied before the start"));
}

}  // namespace
}  // namespace quillet::e2e
