#include "ui/qt/load_runner.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

#include "ui/front_end.h"
#include "ui/open_sequence.h"
#include "ui/qt/pane_state.h"
#include "ui/qt/tree_model.h"

namespace {
constexpr int kProgressSteps = 1000;
}  // namespace

void AttachQtFrontEnd() {
    SetFrontEndOps({
        [](std::function<void()> work) { return std::thread(std::move(work)); },
        [](std::function<void()> step) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), [step = std::move(step)] { RunLogic(step); },
                                      Qt::QueuedConnection);
        },
        [](int ms, std::function<void()> fire) {
            QTimer::singleShot(ms, QCoreApplication::instance(), [fire = std::move(fire)] { RunLogic(fire); });
        },
    });
}

LoadRunner::LoadRunner(QMainWindow* window, TreeModel* tree)
    : QObject(window), bar_(new QProgressBar), cancel_(new QPushButton(QStringLiteral("取消"))),
      escape_(new QShortcut(QKeySequence(Qt::Key_Escape), window)) {
    bar_->setObjectName(QStringLiteral("loadProgress"));
    bar_->setMaximumWidth(200);
    bar_->setTextVisible(false);
    cancel_->setObjectName(QStringLiteral("cancelLoad"));
    window->statusBar()->addPermanentWidget(bar_);
    window->statusBar()->addPermanentWidget(cancel_);
    bar_->hide();
    cancel_->hide();
    escape_->setEnabled(false);
    connect(cancel_, &QPushButton::clicked, this, &LoadRunner::Cancel);
    connect(escape_, &QShortcut::activated, this, &LoadRunner::Cancel);

    AttachQtFrontEnd();
    OpenSequenceView view;
    view.runningChanged = [this](bool running) {
        escape_->setEnabled(running);
        emit RunningChanged(running);
    };
    view.documentShown = [this] { emit DocumentShown(); };
    // A comparison's load shows the same bar, and Esc cancels it too.
    view.showProgress = [this] {
        bar_->show();
        cancel_->show();
        escape_->setEnabled(true);
    };
    view.updateProgress = [this](std::uint64_t read, std::uint64_t total) {
        if (total == 0) {
            bar_->setRange(0, 0);  // a pipe tells no size: a bar that only moves
            return;
        }
        bar_->setRange(0, kProgressSteps);
        bar_->setValue(static_cast<int>(read >= total ? kProgressSteps : read * kProgressSteps / total));
    };
    view.hideProgress = [this] {
        bar_->hide();
        cancel_->hide();
        escape_->setEnabled(OpenSequenceRunning());
    };
    view.treeBuildStarting = [tree] { tree->BeginBuild(); };
    view.treeBuildEnded = [tree](bool) { tree->EndBuild(); };
    SetOpenSequenceView(std::move(view));
}

LoadRunner::~LoadRunner() {
    Stop();
    SetOpenSequenceView({});
}

void LoadRunner::Start(const char16_t* path) { RunLogic([path] { StartOpenSequence(path); }); }
void LoadRunner::Cancel() { CancelOpenSequence(); }
bool LoadRunner::Running() const { return OpenSequenceRunning(); }
void LoadRunner::Stop() { RunLogic(StopOpenSequence); }
