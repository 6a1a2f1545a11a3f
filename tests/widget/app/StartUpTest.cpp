#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include "app/QuilletApplication.h"
#include "app/StartUp.h"
#include "app/TAlreadyRun.h"
#include "app/TDatabaseNotHere.h"
#include "app/TQuilletMain.h"
#include "platform/fake/FakePlatform.h"
#include "store/StoreError.h"
#include "support/ModalWatcher.h"
#include "support/TestDatabase.h"

namespace quillet::app {
namespace {

using platform::fake::FakePlatform;
using test::ModalWatcher;

class ChooseRunTest : public ::testing::Test {
  protected:
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    QString databasePath() const { return folder() + QStringLiteral("ClipsData.db"); }

    QTemporaryDir dir;
    FakePlatform fakes;
};

TEST_F(ChooseRunTest, HeldLockMeansAlreadyRunningAndTouchesNothing) {
    // Two fakes that share one set of held names see each other, as two processes would.
    auto shared = std::make_shared<std::set<std::string>>();
    platform::fake::FakeInstanceLock a(shared), b(shared);
    ASSERT_TRUE(a.tryAcquire(kInstanceName));

    EXPECT_EQ(ChooseRun(b, folder()), RunKind::AlreadyRunning);
    EXPECT_FALSE(QFile::exists(databasePath()));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(ChooseRunTest, MissingDatabaseIsNotCreated) {
    EXPECT_EQ(ChooseRun(*fakes.instanceLock, folder()), RunKind::NoDatabase);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(ChooseRunTest, FolderInPlaceOfTheDatabaseCountsAsMissing) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ClipsData.db")));
    EXPECT_EQ(ChooseRun(*fakes.instanceLock, folder()), RunKind::NoDatabase);
}

TEST_F(ChooseRunTest, PresentDatabaseGivesTheNormalRunAndKeepsTheLock) {
    test::MakeClipDatabase(databasePath());
    EXPECT_EQ(ChooseRun(*fakes.instanceLock, folder()), RunKind::Normal);
    EXPECT_EQ(fakes.instanceLock->heldName(), kInstanceName);
}

TEST_F(ChooseRunTest, FileThatIsNoDatabasePassesTheCheck) {
    // The check only opens the file; reading it fails later, in the main window.
    QFile junk(databasePath());
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_EQ(ChooseRun(*fakes.instanceLock, folder()), RunKind::Normal);
}

// How each notice is ended; every way must end it.
struct Ending {
    const char* name;
    std::function<void(QDialog*)> act;
};

struct NoticeCase {
    const char* name;
    std::function<std::unique_ptr<NoticeDialog>(platform::WindowStyler&)> make;
    QStringList lines;
    QSize size;
};

void PrintTo(const Ending& e, std::ostream* os) {
    *os << e.name;
}
void PrintTo(const NoticeCase& c, std::ostream* os) {
    *os << c.name;
}

class NoticeTest : public ::testing::TestWithParam<std::tuple<NoticeCase, Ending>> {};

TEST_P(NoticeTest, ShowsItsTextAndEndsEveryWay) {
    const auto& [notice, ending] = GetParam();
    FakePlatform fakes;
    auto dialog = notice.make(*fakes.windowStyler);

    QStringList shownLines;
    QString buttonText;
    WId shownWindow = 0;
    ModalWatcher watcher([&](QWidget* modal) {
        shownWindow = modal->winId();
        for (const QLabel* label : modal->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                shownLines << label->text();
        const auto buttons = modal->findChildren<QPushButton*>();
        if (buttons.size() == 1)
            buttonText = buttons.front()->text();
        ending.act(static_cast<QDialog*>(modal));
    });
    QTimer::singleShot(5000, dialog.get(), [&] { dialog->done(99); });  // a hung test ends
    const int result = dialog->exec();

    EXPECT_TRUE(watcher.seen());
    EXPECT_NE(result, 99) << "the notice did not end by " << ending.name;
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("주의"));
    EXPECT_EQ(shownLines, notice.lines);
    EXPECT_EQ(buttonText, QStringLiteral("확인"));
    EXPECT_EQ(dialog->size(), notice.size);
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(fakes.windowStyler->toolWindows.count(shownWindow));
}

INSTANTIATE_TEST_SUITE_P(
    Notices, NoticeTest,
    ::testing::Combine(
        ::testing::Values(
            NoticeCase{"AlreadyRun",
                       [](platform::WindowStyler& s) -> std::unique_ptr<NoticeDialog> {
                           return std::make_unique<TAlreadyRun>(s);
                       },
                       {QStringLiteral("퀼리는 이미 실행 중입니다.")},
                       QSize(399, 114)},
            NoticeCase{"DatabaseNotHere",
                       [](platform::WindowStyler& s) -> std::unique_ptr<NoticeDialog> {
                           return std::make_unique<TDatabaseNotHere>(s);
                       },
                       {QStringLiteral("데이터베이스를 찾지 못했습니다."),
                        QStringLiteral("소프트웨어를 재설치 하거나 데이터베이스를 복구하십시오.")},
                       QSize(413, 144)}),
        ::testing::Values(
            Ending{"OkButton",
                   [](QDialog*
                          d) { QTest::mouseClick(d->findChild<QPushButton*>(), Qt::LeftButton); }},
            Ending{"Escape", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }},
            Ending{"Enter", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Return); }},
            Ending{"Close", [](QDialog* d) { d->close(); }})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

// An event handler that fails the way a store operation does.
class FailingObject : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw store::StoreError(SQLITE_BUSY, QStringLiteral("database is locked"));
        if (e->type() == QEvent::Type(QEvent::User + 1))
            ++laterEvents;
        return QObject::event(e);
    }
    int laterEvents = 0;
};

TEST(ErrorReport, EscapedErrorIsShownAndTheProgramGoesOn) {
    FailingObject object;
    QString shown;
    ModalWatcher watcher([&](QWidget* modal) {
        for (const QLabel* label : modal->findChildren<QLabel*>())
            shown += label->text();
        modal->close();
    });
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&object, new QEvent(QEvent::Type(QEvent::User + 1)));
    // QTest's own checks do not reach GoogleTest: wait, then check.
    EXPECT_TRUE(QTest::qWaitFor([&] { return object.laterEvents == 1; }, 5000));
    EXPECT_TRUE(watcher.seen());
    EXPECT_TRUE(shown.contains(QStringLiteral("database is locked"))) << shown.toStdString();
}

TEST(MainWindowCreation, UnreadableDatabaseIsReportedAndTheWindowStillMade) {
    QTemporaryDir dir;
    QFile junk(dir.filePath(QStringLiteral("ClipsData.db")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();

    FakePlatform fakes;
    auto platform = fakes.take();
    QString shown;
    ModalWatcher watcher([&](QWidget* modal) {
        for (const QLabel* label : modal->findChildren<QLabel*>())
            shown += label->text();
        modal->close();
    });
    TQuilletMain window(*platform, dir.path() + QLatin1Char('/'));

    EXPECT_TRUE(watcher.seen());
    EXPECT_TRUE(shown.contains(QStringLiteral("file is not a database"))) << shown.toStdString();
    EXPECT_TRUE(window.clips().isEmpty());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quillet V5.0.5"));
    // Settings were read before the failing step, and nothing was written.
    EXPECT_EQ(window.settings().TransparentValue, 240);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("options.ini"))));
}

}  // namespace
}  // namespace quillet::app
