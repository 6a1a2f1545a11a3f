#pragma once

#include <QString>

#include <memory>

namespace quillet::platform {
struct Platform;
}

namespace quillet::app {

class TQuilletMain;

// Every window of the program, each made once, hidden, in a fixed order with the main window
// first: its creation steps run before any other window exists. They live until the run ends.
struct AppWindows {
    AppWindows(platform::Platform& platform, const QString& appFolder);
    ~AppWindows();

    std::unique_ptr<TQuilletMain> main;
};

}  // namespace quillet::app
