// quarnix: the desktop viewer.  `quarnix` starts with an empty window;
// `quarnix FILE` opens FILE once the window is shown, as the Open command
// would after its dialog; `quarnix --compare OLD NEW` opens NEW and
// compares OLD with it.  Dropping a file on the window opens it too.
#include <QApplication>
#include <QElapsedTimer>

#include "ui/qt/application.h"
#include "ui/qt/main_window.h"
#ifdef QUARNIX_TEST_SWITCHES
#include "app/qt_test_switches.h"
#endif

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
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
