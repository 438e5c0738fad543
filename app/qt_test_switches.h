// The developers' switches of the Qt program's test build (quarnix-test).
#pragma once
#include <QElapsedTimer>
#include <QStringList>

class MainWindow;

// Runs the switch's job on the shown window and returns the exit code;
// -1 when no switch was given (the switches are taken out of `arguments`).
int RunTestSwitches(MainWindow& window, QStringList& arguments, const QElapsedTimer& sinceStart);
