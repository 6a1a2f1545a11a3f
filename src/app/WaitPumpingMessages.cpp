#include "WaitPumpingMessages.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <chrono>

namespace quillet::app {

void WaitPumpingMessages(int ms) {
    if (ms <= 0)
        return;

    // An event loop cannot run without the application object; there is nothing to dispatch
    // then, so the time is simply slept away.
    if (!QCoreApplication::instance()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }

    // Loop and timer live on the stack, so an escaping error leaves nothing behind.
    const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    bool ownLoop = true;
    while (!deadline.hasExpired()) {
        // Rounded up: a timer due in 0 ms would fire at once and spin until the deadline.
        if (!timer.isActive())
            timer.start(
                std::chrono::ceil<std::chrono::milliseconds>(deadline.remainingTimeAsDuration()));
        if (ownLoop) {
            loop.exec();
            // A loop that ends before its timer was ended from outside: QCoreApplication::exit()
            // ends every running loop and makes new ones return at once until the application's
            // loop starts again. Restarting ours would then spin, so the rest of the wait
            // dispatches events without a loop of its own, still sleeping between them.
            if (timer.isActive())
                ownLoop = false;
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
    }
}

}  // namespace quillet::app
