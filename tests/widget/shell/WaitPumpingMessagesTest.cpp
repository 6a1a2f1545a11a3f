#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/WaitPumpingMessages.h"
#include "support/ModalWatcher.h"

namespace quillet::app {
namespace {

using test::ModalWatcher;

qint64 MillisecondsSince(const QElapsedTimer& clock) {
    return clock.nsecsElapsed() / 1'000'000;
}

class WaitDurationTest : public ::testing::TestWithParam<int> {};

TEST_P(WaitDurationTest, LastsTheFullTimeAsleep) {
    const int ms = GetParam();
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpuBefore = std::clock();
    WaitPumpingMessages(ms);
    const double cpuMs = 1000.0 * double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    const qint64 wallNs = clock.nsecsElapsed();

    EXPECT_GE(wallNs, qint64(ms) * 1'000'000);
    // A loop that polls for events instead of sleeping would burn the whole wait on the CPU.
    EXPECT_LT(cpuMs, 0.5 * ms + 5) << "the wait used " << cpuMs << " ms of CPU time";
}

INSTANTIATE_TEST_SUITE_P(Durations, WaitDurationTest, ::testing::Values(1, 37, 200));

TEST(WaitPumpingMessages, NothingToWaitForReturnsAtOnce) {
    for (const int ms : {0, -1, -1000}) {
        QElapsedTimer clock;
        clock.start();
        WaitPumpingMessages(ms);
        EXPECT_LT(clock.elapsed(), 50) << ms;
    }
}

TEST(WaitPumpingMessages, DispatchesTimersAndPostedEventsMeanwhile) {
    // Nothing runs the event loop after the wait returns, so whatever ran was run by the wait.
    QObject context;
    QElapsedTimer clock;
    clock.start();
    qint64 timerAt = -1;
    bool posted = false;
    QTimer::singleShot(30, &context, [&] { timerAt = MillisecondsSince(clock); });
    QMetaObject::invokeMethod(
        &context, [&] { posted = true; }, Qt::QueuedConnection);

    WaitPumpingMessages(120);

    EXPECT_GE(MillisecondsSince(clock), 120);
    EXPECT_TRUE(posted) << "the posted event was not handled within the wait";
    EXPECT_GE(timerAt, 30) << "the timer did not fire within the wait";
}

// The caller is re-entered from inside its own wait, as a capture is when a second clipboard
// change arrives during the first capture's wait.
TEST(WaitPumpingMessages, WaitsNestInsideEachOther) {
    struct Case {
        int outerMs, innerStartMs, innerMs;
    };
    // The inner wait ending inside the outer one, and ending after it.
    for (const Case c : {Case{200, 20, 60}, Case{60, 20, 150}}) {
        QObject context;
        QElapsedTimer clock;
        clock.start();
        std::vector<std::string> order;
        qint64 innerFrom = -1, innerTo = -1, tickAt = -1;
        QTimer::singleShot(c.innerStartMs, &context, [&] {
            order.push_back("inner start");
            innerFrom = MillisecondsSince(clock);
            WaitPumpingMessages(c.innerMs);
            innerTo = MillisecondsSince(clock);
            order.push_back("inner end");
        });
        QTimer::singleShot(c.innerStartMs + 10, &context, [&] {
            order.push_back("tick");
            tickAt = MillisecondsSince(clock);
        });

        WaitPumpingMessages(c.outerMs);
        order.push_back("outer end");
        const qint64 outerTo = MillisecondsSince(clock);

        EXPECT_EQ(order,
                  (std::vector<std::string>{"inner start", "tick", "inner end", "outer end"}));
        EXPECT_GE(innerTo - innerFrom, c.innerMs);
        EXPECT_GE(outerTo, c.outerMs);
        EXPECT_GE(outerTo, innerTo);
        EXPECT_GE(tickAt, c.innerStartMs + 10);
    }
}

TEST(WaitPumpingMessages, ApplicationQuitDuringTheWaitNeitherEndsItNorSpins) {
    QObject context;
    bool laterTimer = false;
    // exit(), which quit() calls while the application's loop runs.
    QTimer::singleShot(20, &context, [] { QCoreApplication::exit(0); });
    QTimer::singleShot(60, &context, [&] { laterTimer = true; });
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpuBefore = std::clock();

    WaitPumpingMessages(150);

    const double cpuMs = 1000.0 * double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    EXPECT_GE(MillisecondsSince(clock), 150);
    EXPECT_TRUE(laterTimer);
    EXPECT_LT(cpuMs, 80.0) << "the wait used " << cpuMs << " ms of CPU time";

    // exit() leaves the thread refusing new event loops until the application's loop has run;
    // run it once so that the following tests can open dialogs again.
    QTimer::singleShot(0, &context, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

// In this program an error that escapes a handler is reported by the application object in a
// message box, which runs its own loop inside the wait; the wait must go on to its end.
TEST(WaitPumpingMessages, HandlerErrorDuringTheWaitLeavesItWhole) {
    struct Failing : QObject {
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User)
                throw std::runtime_error("handler failed");
            return QObject::event(e);
        }
    } failing;
    QString shown;
    ModalWatcher watcher([&](QWidget* modal) {
        for (const QLabel* label : modal->findChildren<QLabel*>())
            shown += label->text();
        modal->close();
    });
    QElapsedTimer clock;
    clock.start();
    bool laterTimer = false;
    QTimer::singleShot(150, &failing, [&] { laterTimer = true; });
    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));

    WaitPumpingMessages(300);

    EXPECT_GE(MillisecondsSince(clock), 300);
    EXPECT_TRUE(watcher.seen());
    EXPECT_TRUE(shown.contains(QStringLiteral("handler failed"))) << shown.toStdString();
    EXPECT_TRUE(laterTimer);

    // And the next wait works as ever.
    clock.restart();
    WaitPumpingMessages(40);
    EXPECT_GE(MillisecondsSince(clock), 40);
}

}  // namespace
}  // namespace quillet::app
