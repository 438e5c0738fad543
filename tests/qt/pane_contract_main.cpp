// The pane contract suites over the Qt panes need a QApplication before the
// first window exists.
#include <QApplication>
#include <gtest/gtest.h>

#include "tests/qt/offscreen_notes.h"
#include "ui/qt/application.h"

int main(int argc, char** argv) {
    PrepareOffscreenTests();
    QApplication app(argc, argv);
    PrepareApplication(app);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
