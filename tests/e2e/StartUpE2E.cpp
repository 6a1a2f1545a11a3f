// Start-up of the real program under X: one instance, the two notices, a killed instance.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>

#include "XSessionTools.h"

namespace quillet::e2e {
namespace {

const QString kMainTitle = QStringLiteral("Quillet V5.0.5");
const QString kNoticeTitle = QStringLiteral("주의");

class StartUpE2E : public ::testing::Test {
  protected:
    // The program starts from a folder of its own, so the database must be found through the
    // executable's path.
    QTemporaryDir elsewhere;
    ProgramFolder program;
};

void ExpectEndsWithZero(QProcess& process) {
    ASSERT_TRUE(process.waitForFinished(10000)) << "the process did not end";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

TEST_F(StartUpE2E, SecondStartShowsOnlyTheAlreadyRunningNotice) {
    auto first = program.start(elsewhere.path());
    ASSERT_FALSE(WaitForWindow(kMainTitle, first->processId()).isEmpty());
    const QByteArray databaseBefore = [&] {
        QFile f(program.file(QStringLiteral("ClipsData.db")));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    auto second = program.start(elsewhere.path());
    const QString notice = WaitForWindow(kNoticeTitle, second->processId());
    ASSERT_FALSE(notice.isEmpty());
    EXPECT_TRUE(FindWindows(kMainTitle, second->processId()).isEmpty());
    const QString state = WindowProperty(notice, QStringLiteral("_NET_WM_STATE"));
    EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")))
        << state.toStdString();
    EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_ABOVE"))) << state.toStdString();

    TypeKeys(notice, QStringLiteral("Escape"));
    ExpectEndsWithZero(*second);

    // The first instance runs on, with its files untouched.
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_FALSE(WaitForWindow(kMainTitle, first->processId(), 3000).isEmpty());
    QFile after(program.file(QStringLiteral("ClipsData.db")));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), databaseBefore);
    EXPECT_FALSE(QFile::exists(program.file(QStringLiteral("options.ini"))));
}

TEST_F(StartUpE2E, MissingDatabaseShowsOnlyItsNoticeAndCreatesNothing) {
    ASSERT_TRUE(QFile::remove(program.file(QStringLiteral("ClipsData.db"))));
    auto run = program.start(elsewhere.path());
    const QString notice = WaitForWindow(kNoticeTitle, run->processId());
    ASSERT_FALSE(notice.isEmpty());
    EXPECT_TRUE(FindWindows(kMainTitle, run->processId()).isEmpty());

    TypeKeys(notice, QStringLiteral("Return"));
    ExpectEndsWithZero(*run);
    EXPECT_FALSE(QFile::exists(program.file(QStringLiteral("ClipsData.db"))));
    EXPECT_FALSE(QFile::exists(program.file(QStringLiteral("options.ini"))));
    EXPECT_FALSE(QFile::exists(QDir(elsewhere.path()).filePath(QStringLiteral("ClipsData.db"))));
}

TEST_F(StartUpE2E, KilledInstanceDoesNotBlockTheNextStart) {
    auto first = program.start(elsewhere.path());
    ASSERT_FALSE(WaitForWindow(kMainTitle, first->processId()).isEmpty());
    ::kill(pid_t(first->processId()), SIGKILL);
    first->waitForFinished(5000);

    auto next = program.start(elsewhere.path());
    EXPECT_FALSE(WaitForWindow(kMainTitle, next->processId()).isEmpty());
    EXPECT_TRUE(FindWindows(kNoticeTitle, next->processId()).isEmpty());
}

TEST_F(StartUpE2E, MainWindowHasNoTaskbarEntryAndStaysOnTop) {
    auto run = program.start(elsewhere.path());
    const QString window = WaitForWindow(kMainTitle, run->processId());
    ASSERT_FALSE(window.isEmpty());
    const QString state = WindowProperty(window, QStringLiteral("_NET_WM_STATE"));
    for (const char* mark :
         {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_ABOVE"})
        EXPECT_TRUE(state.contains(QLatin1String(mark))) << mark << ": " << state.toStdString();
}

}  // namespace
}  // namespace quillet::e2e
