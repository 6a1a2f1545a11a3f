#pragma once

#include <QString>

#include <memory>

namespace quillet::platform {
struct Platform;
}
namespace quillet::screenshot {
class TFullScreenF;
}

namespace quillet::app {

class TAbout;
class TExitProgram;
class TQuilletMain;

// Every window of the program, each made once, hidden, in a fixed order with the main window
// first: its creation steps run before any other window exists, and the later windows may use
// it as their owner. They live until the run ends.
struct AppWindows {
    AppWindows(platform::Platform& platform, const QString& appFolder);
    ~AppWindows();

    std::unique_ptr<TQuilletMain> main;
    std::unique_ptr<TExitProgram> exitProgram;
    std::unique_ptr<TAbout> about;
    std::unique_ptr<screenshot::TFullScreenF> fullScreen;
};

}  // namespace quillet::app
