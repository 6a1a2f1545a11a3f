#pragma once

#include <QElapsedTimer>

#include <vector>

namespace quillet::app {
class TQuilletMain;
}

// Helpers shared by the benchmarks that run the program's windows in their own process.
namespace quillet::bench {

// The times of one capture, in milliseconds: until its row was committed and in the list, and
// until the capture had also finished and the program was idle again. -1 when it never came.
struct Timing {
    double committed = -1;
    double shown = -1;
};

// Waits, with events flowing, until the list holds `count` clips (10 s at most). The times are
// taken on `since`.
Timing UntilClips(app::TQuilletMain& main, qsizetype count, const QElapsedTimer& since);

// Lets events flow for `ms` milliseconds.
void Settle(int ms);

// The value below which the fraction `p` of `values` lies; 0 for none.
double Percentile(std::vector<double> values, double p);

}  // namespace quillet::bench
