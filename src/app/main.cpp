#include "QuilletApplication.h"
#include "StartUp.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
    quillet::app::QuilletApplication application(argc, argv);
    const auto platform = quillet::platform::CreatePlatform();
    return quillet::app::RunQuillet(*platform, quillet::app::AppFolder());
}
