// The offscreen platform says so whenever a window is sized or the splitter
// grabs the mouse; nothing a test needs to see.  Both Qt test programs
// install this before their QApplication exists.
#pragma once
#include <QtGlobal>

inline QtMessageHandler& NextMessageHandler() {
    static QtMessageHandler next = nullptr;
    return next;
}

inline void QuietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    if (NextMessageHandler()) NextMessageHandler()(type, context, message);
}

// Listing the tests at build time runs the program without CTest's
// environment: never look for a display.
inline void PrepareOffscreenTests() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    NextMessageHandler() = qInstallMessageHandler(QuietOffscreenNotes);
}
