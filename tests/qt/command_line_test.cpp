// `quarnix FILE` and a file dropped on the window: both open the file once
// the event loop runs, as the Open command would after its dialog.
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/process_support.h"
#include "tests/project_version.h"
#include "tests/qt/test_support.h"
#include "ui/qt/application.h"
#include "ui/qt/main_window.h"

namespace {

TEST(CommandLine, TheFirstArgumentIsTheFile) {
    struct Case {
        QStringList arguments;
        QString file;
    } cases[] = {
        {{"quarnix"}, {}},
        {{"quarnix", "Map001.rxdata"}, "Map001.rxdata"},
        {{"quarnix", "/data/地图 1.rxdata", "ignored"}, "/data/地图 1.rxdata"},
    };
    for (const Case& c : cases) EXPECT_EQ(FileFromArguments(c.arguments), c.file) << c.arguments.join(' ').toStdString();
}

// --help and --version print and exit as command-line programs do, before
// any window: they work with no display to connect to.
TEST(CommandLine, HelpAndVersionPrintAndExitWithoutADisplay) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM"), display = qgetenv("DISPLAY");
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("DISPLAY");
    struct Case {
        std::vector<std::string> args;
        std::string start;
    } cases[] = {
        {{"--version"}, NameAndVersion("quarnix") + "\n"},
        {{"Map001.rxdata", "--version"}, NameAndVersion("quarnix") + "\n"},
        {{"--help"}, "usage: quarnix [FILE]\n"},
        {{"-h"}, "usage: quarnix [FILE]\n"},
    };
    for (const Case& c : cases) {
        ProgramRun run = RunProgram(QUARNIX_VIEWER_EXE, c.args);
        EXPECT_EQ(run.status, 0) << c.args.back();
        EXPECT_EQ(run.out.substr(0, c.start.size()), c.start) << c.args.back();
        EXPECT_EQ(run.err, "") << c.args.back();
    }
    // Without them the program wants its window, which it cannot have here.
    EXPECT_NE(RunProgram(QUARNIX_VIEWER_EXE, {"--", "--version"}).status, 0);
    qputenv("QT_QPA_PLATFORM", platform);
    if (!display.isEmpty()) qputenv("DISPLAY", display);
}

TEST(CommandLine, OpensTheFileOnceTheWindowIsShown) {
    MainWindow window;
    window.show();
    OpenWhenShown(window, DataFile("Map001.rxdata"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quarnix"));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Map001.rxdata - Quarnix"));
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("Map001.rxdata"));
}

TEST(CommandLine, AMissingFileShowsTheOpenFailure) {
    MainWindow window;
    window.show();
    DialogAnswers answers;
    answers.PressOk();
    OpenWhenShown(window, QtDataFile("no-such-file.rxdata"));
    QCoreApplication::processEvents();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen().at(0).text, QStringLiteral("打开文件失败"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quarnix"));
}

TEST(Drop, ALocalFileDroppedOnTheWindowOpens) {
    MainWindow window;
    window.show();
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.invalid/Map001.rxdata"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &remote, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&window, &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData local;
    local.setUrls({QUrl::fromLocalFile(QtDataFile("walk.rxdata"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &local, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &local, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&window, &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("walk.rxdata - Quarnix"));
}

}  // namespace
