// The program writes nothing: no settings, no history, no cache.  The test
// runs this test program again as a child whose home and XDG folders are
// empty temporary folders; the child opens a file through the real Open
// dialog (answered in place of a user), shows the About box and exits
// through the menu.  Afterwards every one of those folders must be empty.
#include <QAction>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "ui/qt/load_runner.h"
#include "tests/qt/test_support.h"
#include "ui/qt/main_window.h"
#include "ui/qt/modal.h"

namespace {

const char* const kFolders[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                                "XDG_RUNTIME_DIR"};

QStringList FilesBelow(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) found << it.next();
    return found;
}

void Trigger(MainWindow& window, const QString& text) {
    for (QAction* menu : window.menuBar()->actions())
        for (QAction* action : menu->menu()->actions())
            if (action->text() == text) action->trigger();
}

TEST(NothingWritten, OpeningAFileThroughTheDialogLeavesNoFileBehind) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QStringList folders;
    for (const char* name : kFolders) {
        const QString folder = root.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment.insert(QString::fromLatin1(name), folder);
        folders << folder;
    }
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kNothingWrittenChild), DataFile("Map001.rxdata")});
    ASSERT_TRUE(child.waitForFinished(120000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();

    for (const QString& folder : folders) EXPECT_EQ(FilesBelow(folder), QStringList());
}

}  // namespace

int RunNothingWrittenChild(const QString& file) {
    MainWindow window;
    window.show();
    int failures = 0;
    SetModalAnswer([&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            // Shown for real, so the dialog reads its folder and builds its
            // views as for a user, and destroyed afterwards, when Qt would
            // save its state.
            files->show();
            QCoreApplication::processEvents();
            // Typed into the file name field, as a user would.
            files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
            static_cast<QDialog*>(files)->accept();
        } else if (dialog.windowTitle() == QStringLiteral("关于 Quarnix")) {
            dialog.show();
            QCoreApplication::processEvents();
            dialog.accept();
        } else {
            ++failures;  // a message box: the file did not open
            dialog.reject();
        }
        return dialog.result();
    });
    Trigger(window, QStringLiteral("打开(&O)..."));
    while (window.Loads().Running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    Trigger(window, QStringLiteral("关于(&A)..."));
    if (window.windowTitle() != QStringLiteral("Map001.rxdata - Quarnix")) ++failures;
    Trigger(window, QStringLiteral("退出(&E)"));
    QCoreApplication::processEvents();
    SetModalAnswer({});
    std::printf("%s\n", failures ? "the file did not open" : "opened and closed");
    return failures ? 1 : 0;
}
