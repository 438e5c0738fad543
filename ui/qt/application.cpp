#include "ui/qt/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

#include "ui/compare_controller.h"
#include "ui/qt/main_window.h"
#include "ui/qt/pane_images.h"
#include "quarnix_version.h"

QString UnwritableSettingsPath() { return QStringLiteral("/dev/null/quarnix"); }

void PrepareApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Quarnix"));
    QApplication::setApplicationVersion(QStringLiteral(QUARNIX_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("quarnix"));
    app.setWindowIcon(PaneImages::AppIcon());

    // Qt's file dialog saves its history and layout through QSettings when
    // it is destroyed.  Every settings file of the user scope now lies below
    // /dev/null, a file and never a folder, so neither the folder nor the
    // lock file can be made and nothing is written.
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, UnwritableSettingsPath());

    // Qt's own texts (file dialog tooltips, context menus) in Chinese, like
    // the rest of the program, when the system has the translation.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

QString FileFromArguments(const QStringList& arguments) {
    return arguments.size() > 1 ? arguments.at(1) : QString();
}

bool CompareFromArguments(MainWindow& window, const QStringList& arguments) {
    if (arguments.size() != 4 || arguments.at(1) != QStringLiteral("--compare")) return false;
    // Two folders list their differing files instead of opening one.
    CompareController* compare = ActiveCompare();
    if (!compare || compare->CompareFromCommandLine(arguments.at(2).toStdU16String(), arguments.at(3).toStdU16String()))
        OpenWhenShown(window, arguments.at(3));
    return true;
}

void OpenWhenShown(MainWindow& window, const QString& path) {
    if (path.isEmpty()) return;
    QMetaObject::invokeMethod(&window, [&window, path] { window.OpenFile(path); }, Qt::QueuedConnection);
}
