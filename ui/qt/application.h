// Process-wide set-up of the Qt front end, shared by the program and its
// tests.
#pragma once
#include <QStringList>

class QApplication;
class MainWindow;

// Names, icon and translations; and the guarantee that nothing is written:
// Qt's own widgets (the file dialog keeps a history) find no settings file
// they could write.
void PrepareApplication(QApplication& app);

// Where Qt would keep user settings from now on: a path below a file, which
// no one can create.
QString UnwritableSettingsPath();

// `quarnix FILE`: the file of the command line (the first argument after
// the program's name), or empty.
QString FileFromArguments(const QStringList& arguments);

// Opens `path` in the window once the event loop runs, as the Open command
// would after its dialog.
void OpenWhenShown(MainWindow& window, const QString& path);
// `quarnix --compare OLD NEW`: NEW opens, then OLD is compared with it;
// false for other arguments.
bool CompareFromArguments(MainWindow& window, const QStringList& arguments);
