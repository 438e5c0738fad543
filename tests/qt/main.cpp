// The test program needs a QApplication before any widget exists, so it
// has its own main.  With --nothing-written-child it is instead the child
// process of the nothing-written test (see nothing_written_test.cpp).
#include <QApplication>
#include <gtest/gtest.h>

#include "tests/qt/test_support.h"
#include "ui/qt/application.h"

namespace {

// The offscreen platform says so whenever a window is sized or the splitter
// grabs the mouse; nothing a test needs to see.
QtMessageHandler nextHandler = nullptr;

void QuietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    if (nextHandler) nextHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    // Listing the tests at build time runs this too, without CTest's
    // environment: never look for a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    nextHandler = qInstallMessageHandler(QuietOffscreenNotes);
    QApplication app(argc, argv);
    PrepareApplication(app);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String(kNothingWrittenChild))
        return RunNothingWrittenChild(arguments.at(2));
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
