#include <QApplication>

#include <gtest/gtest.h>

// GoogleTest's main with the widget application the windows need (offscreen unless the
// environment names a platform).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
