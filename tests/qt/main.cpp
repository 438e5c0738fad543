// The test program needs a QApplication before any widget exists, so it
// has its own main.  With --nothing-written-child it is instead the child
// process of the nothing-written test (see nothing_written_test.cpp).
#include <QApplication>
#include <gtest/gtest.h>

#include "tests/qt/offscreen_notes.h"
#include "tests/qt/test_support.h"
#include "ui/qt/application.h"

int main(int argc, char** argv) {
    PrepareOffscreenTests();
    QApplication app(argc, argv);
    PrepareApplication(app);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String(kNothingWrittenChild))
        return RunNothingWrittenChild(arguments.at(2));
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
