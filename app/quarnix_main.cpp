// quarnix: the desktop viewer.  `quarnix` starts with an empty window;
// `quarnix FILE` opens FILE once the window is shown, as the Open command
// would after its dialog; `quarnix --compare OLD NEW` opens NEW and
// compares OLD with it.  Dropping a file on the window opens it too.
// `quarnix --help` and `quarnix --version` print and exit, with no display.
#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

#include "app/viewer_command_line.h"

#include "ui/qt/application.h"
#include "ui/qt/main_window.h"
#ifdef QUARNIX_TEST_SWITCHES
#include "app/qt_test_switches.h"
#endif

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (const ViewerRequest request = ViewerRequestOf(argc, argv); request != ViewerRequest::kRun) {
        const std::string text = request == ViewerRequest::kHelp ? ViewerHelpText() : ViewerVersionText();
        return std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0 ? 1 : 0;
    }
    QApplication app(argc, argv);
    PrepareApplication(app);

    QStringList arguments = QCoreApplication::arguments();
    MainWindow window;
    window.show();
#ifdef QUARNIX_TEST_SWITCHES
    if (const int status = RunTestSwitches(window, arguments, sinceStart); status >= 0) return status;
#endif
    if (!CompareFromArguments(window, arguments)) OpenWhenShown(window, FileFromArguments(arguments));
    return QApplication::exec();
}
