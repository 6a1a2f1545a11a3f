// main() of the widget tests: the program's own application object, headless.
#include <gtest/gtest.h>

#include "app/QuilletApplication.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    quillet::app::QuilletApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
