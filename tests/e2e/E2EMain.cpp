// main() of the end-to-end test programs: they run inside a private X session, so the
// application object may use the display.
#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
