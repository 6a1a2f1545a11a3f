#include "BenchSupport.h"

#include <QCoreApplication>

#include <algorithm>

#include "app/TQuilletMain.h"

namespace quillet::bench {

Timing UntilClips(app::TQuilletMain& main, qsizetype count, const QElapsedTimer& since) {
    Timing timing;
    const qint64 deadline = since.elapsed() + 10000;
    const auto connection = QObject::connect(&main, &app::TQuilletMain::clipAppended, [&] {
        timing.committed = since.nsecsElapsed() / 1e6;
    });
    while (main.clips().count() < count && since.elapsed() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    if (main.clips().count() >= count)
        timing.shown = since.nsecsElapsed() / 1e6;
    QObject::disconnect(connection);
    return timing;
}

void Settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values.empty()
               ? 0
               : values[std::min(values.size() - 1, size_t(p * (values.size() - 1) + 0.5))];
}

}  // namespace quillet::bench
