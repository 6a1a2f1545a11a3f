#include "StoredClips.h"

#include <sqlite3.h>

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace quillet::e2e {

const QString kMainTitle = QStringLiteral("Quillet V5.0.5");

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

void RunningQuillet::SetUp() {
    QFile ini(program.file(QStringLiteral("options.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Others]\nSetMinimized=0\n[Sound]\nEnableSound=0\n");
    ini.close();
    run = program.start(elsewhere.path());
    window = WaitForWindow(kMainTitle, run->processId());
    ASSERT_FALSE(window.isEmpty());
}

std::vector<StoredClip> RunningQuillet::ClipsSoon(size_t count, int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    std::vector<StoredClip> clips = ReadClips(database());
    while (clips.size() < count && clock.elapsed() < timeoutMs) {
        QThread::msleep(50);
        clips = ReadClips(database());
    }
    return clips;
}

std::vector<StoredClip> RunningQuillet::ClipsAfterQuiet() const {
    QThread::msleep(1500);
    return ReadClips(database());
}

}  // namespace quillet::e2e
