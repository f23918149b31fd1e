// Widget tests need one application object for the whole run; offscreen unless told otherwise.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// The program whose widgets the tests drive; the application takes its name.
#ifndef TALLYRIG_TEST_PROGRAM
#define TALLYRIG_TEST_PROGRAM "Tallyrig"
#endif

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(TALLYRIG_TEST_PROGRAM));
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
