// The Open command's steps with the load and the building of the tree on a
// worker thread, so the window stays responsive: after a moment the status
// bar shows how much of the file has been read, with a 取消 button beside
// it, and Esc cancels too.  A new open cancels the running one first.
#pragma once
#include <QObject>
#include <QTimer>
#include <thread>

#include "ui/viewer.h"

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
    bool Running() const { return stage_ != Stage::Idle; }
    // Cancels a running open and ends it at once (before another starts, or
    // when the window goes).
    void Stop();

    QProgressBar* ProgressBar() const { return bar_; }
    QPushButton* CancelButton() const { return cancel_; }

signals:
    // An open began (true) or ended (false).
    void RunningChanged(bool running);
    // The new document's tree is on screen.
    void DocumentShown();

private:
    enum class Stage { Idle, Loading, Building };

    void Post(void (LoadRunner::*step)(unsigned), unsigned generation);
    void Loaded(unsigned generation);
    void Built(unsigned generation);
    void Join();
    void ShowProgress();
    void UpdateProgress();
    void HideProgress();

    TreeModel* tree_;
    OpenJob job_{};
    std::thread worker_;
    Stage stage_ = Stage::Idle;
    unsigned generation_ = 0;  // steps posted by an open that was ended are dropped
    QProgressBar* bar_;
    QPushButton* cancel_;
    QShortcut* escape_;
    QTimer showTimer_;
    QTimer tickTimer_;
};
