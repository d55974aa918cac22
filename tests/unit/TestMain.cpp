// One QApplication for every test: the control is a widget and measures with real fonts.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The machine's own printers never enter a test: the CUPS server is one that does not exist.
    qputenv("CUPS_SERVER", "/nonexistent/palvex-tests.sock");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
