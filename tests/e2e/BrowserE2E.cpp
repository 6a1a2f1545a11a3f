// The clip grid as a picker under X: a clip selected in Quillet is what another program pastes.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "XSessionTools.h"

namespace quillet::e2e {
namespace {

const QString kMainTitle = QStringLiteral("Quillet V5.0.5");

void Exec(const QString& database, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

int RowCount(const QString& database) {
    sqlite3* db = nullptr;
    sqlite3_open(database.toUtf8().constData(), &db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "select count(*) from ClipsData", -1, &stmt, nullptr);
    const int count = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return count;
}

// What another program reads from the clipboard, once it equals `expected` or after a while.
QString ClipboardSoon(const QString& expected) {
    QString text;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        text = RunTool(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                                 QStringLiteral("clipboard")});
        if (text == expected)
            break;
        QThread::msleep(50);
    }
    return text;
}

TEST(BrowserE2E, SelectedClipIsWhatAnotherProgramPastes) {
    ProgramFolder program;
    const QString database = program.file(QStringLiteral("ClipsData.db"));
    Exec(database,
         "insert into ClipsData (DataFormat, Title, Source, Size, TimeStamp, Content, Modified, "
         "FormatList, Lock) Values"
         "(1, 'oldest', '', 6, 't1', 'oldest', 0, '', 0),"
         "(1, 'middle', '', 6, 't2', 'middle', 0, '', 0),"
         "(1, 'newest', '', 6, 't3', 'newest', 0, '', 0);");
    // Start visible, so that the window takes clicks and keys.
    QFile ini(program.file(QStringLiteral("options.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Others]\nSetMinimized=0\nFirstUse=0\n[Position]\nPositionX=40\nPositionY=40\n");
    ini.close();

    QTemporaryDir elsewhere;
    auto run = program.start(elsewhere.path());
    const QString window = WaitForWindow(kMainTitle, run->processId());
    ASSERT_FALSE(window.isEmpty());
    // The first show selects the newest clip and puts it on the clipboard.
    EXPECT_EQ(ClipboardSoon(QStringLiteral("newest")), QStringLiteral("newest"));

    // A click below the three rows gives the grid the focus; End selects the oldest clip.
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("120"),
             QStringLiteral("300"), QStringLiteral("click"), QStringLiteral("1")});
    TypeKeys(window, QStringLiteral("End"));
    EXPECT_EQ(ClipboardSoon(QStringLiteral("oldest")), QStringLiteral("oldest"));

    // An arrow key loads the clip after its wait.
    TypeKeys(window, QStringLiteral("Up"));
    EXPECT_EQ(ClipboardSoon(QStringLiteral("middle")), QStringLiteral("middle"));

    // Typing fast into the clip's text writes the clipboard at every key; none of those
    // writes is stored as a clip of its own.
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("120"),
             QStringLiteral("600"), QStringLiteral("click"), QStringLiteral("1")});
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                        QStringLiteral("1"), QStringLiteral("xyz")});
    EXPECT_EQ(ClipboardSoon(QStringLiteral("middlexyz")), QStringLiteral("middlexyz"));
    QThread::msleep(1000);

    // Selecting and editing store nothing new.
    EXPECT_EQ(RowCount(database), 3);
}

}  // namespace
}  // namespace quillet::e2e
