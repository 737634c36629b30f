// Runs the GUI tests inside one QApplication (offscreen in ctest).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // The tests need no screen; listing them happens outside ctest's
    // per-test environment too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
