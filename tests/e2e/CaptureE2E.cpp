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
#include "XSessionTools.h"

namespace quillet::e2e {
namespace {

const QString kMainTitle = QStringLiteral("Quillet V5.0.5");

struct StoredClip {
    qint64 id = 0;
    int dataFormat = 0;
    QString title, source, timeStamp, formatList;
    int size = 0;
    QByteArray content;
    QString contentType;
};

std::vector<StoredClip> ReadClips(const QString& database) {
    std::vector<StoredClip> clips;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return clips;
    }
    sqlite3_busy_timeout(db, 1000);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "select ID, DataFormat, Title, Source, Size, TimeStamp, FormatList, "
                       "Content, typeof(Content) from ClipsData order by ID",
                       -1, &s, nullptr);
    const auto text = [&](int column) {
        const void* data = sqlite3_column_text16(s, column);
        return data
                   ? QString(static_cast<const QChar*>(data), sqlite3_column_bytes16(s, column) / 2)
                   : QString();
    };
    while (sqlite3_step(s) == SQLITE_ROW) {
        StoredClip c;
        c.id = sqlite3_column_int64(s, 0);
        c.dataFormat = sqlite3_column_int(s, 1);
        c.title = text(2);
        c.source = text(3);
        c.size = sqlite3_column_int(s, 4);
        c.timeStamp = text(5);
        c.formatList = text(6);
        c.contentType = text(8);
        if (c.contentType == QStringLiteral("blob"))
            c.content = QByteArray(static_cast<const char*>(sqlite3_column_blob(s, 7)),
                                   sqlite3_column_bytes(s, 7));
        else
            c.content = text(7).toUtf8();
        clips.push_back(c);
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return clips;
}

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

class CaptureE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        QFile ini(program.file(QStringLiteral("options.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Others]\nSetMinimized=0\n[Sound]\nEnableSound=0\n");
        ini.close();
        run = program.start(elsewhere.path());
        window = WaitForWindow(kMainTitle, run->processId());
        ASSERT_FALSE(window.isEmpty());
    }

    QString database() const { return program.file(QStringLiteral("ClipsData.db")); }

    // The stored clips once there are `count` of them, or as they are after a while.
    std::vector<StoredClip> ClipsSoon(size_t count, int timeoutMs = 5000) {
        QElapsedTimer clock;
        clock.start();
        std::vector<StoredClip> clips = ReadClips(database());
        while (clips.size() < count && clock.elapsed() < timeoutMs) {
            QThread::msleep(50);
            clips = ReadClips(database());
        }
        return clips;
    }

    // Lets a change settle that must store nothing.
    std::vector<StoredClip> ClipsAfterQuiet() {
        QThread::msleep(1500);
        return ReadClips(database());
    }

    QTemporaryDir elsewhere;
    ProgramFolder program;
    std::unique_ptr<QProcess> run;
    QString window;
};

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
