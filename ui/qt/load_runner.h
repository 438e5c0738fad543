// The Qt window's side of the open sequence (ui/open_sequence.h): the
// front-end operations over Qt's event loop, and what a running open shows:
// after a moment the status bar tells how much of the file has been read,
// with a 取消 button beside it; Esc cancels too.
#pragma once
#include <QObject>

class QMainWindow;
class QProgressBar;
class QPushButton;
class QShortcut;
class TreeModel;

class LoadRunner final : public QObject {
    Q_OBJECT

public:
    LoadRunner(QMainWindow* window, TreeModel* tree);
    ~LoadRunner() override;

    // Starts opening the path; a running open is cancelled and ended first.
    void Start(const char16_t* path);
    void Cancel();
    bool Running() const;
    // Cancels a running open and ends it at once (the window goes).
    void Stop();

    QProgressBar* ProgressBar() const { return bar_; }
    QPushButton* CancelButton() const { return cancel_; }

Q_SIGNALS:
    // An open began (true) or ended (false).
    void RunningChanged(bool running);
    // The new document's tree is on screen.
    void DocumentShown();

private:
    QProgressBar* bar_;
    QPushButton* cancel_;
    QShortcut* escape_;
};

// Makes the portable sequences run over Qt's event loop: threads, queued
// calls and single-shot timers, the views brought up to date after each.
void AttachQtFrontEnd();
