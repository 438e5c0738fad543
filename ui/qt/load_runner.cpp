#include "ui/qt/load_runner.h"

#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>

#include "marshal/load.h"
#include "ui/qt/pane_state.h"
#include "ui/qt/tree_model.h"

namespace {
// A quick load shows no progress at all; a slow one within a blink.
constexpr int kProgressDelayMs = 150;
constexpr int kProgressTickMs = 50;
constexpr int kProgressSteps = 1000;
}  // namespace

LoadRunner::LoadRunner(QMainWindow* window, TreeModel* tree)
    : QObject(window), tree_(tree), bar_(new QProgressBar), cancel_(new QPushButton(QStringLiteral("取消"))),
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
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(kProgressDelayMs);
    connect(&showTimer_, &QTimer::timeout, this, &LoadRunner::ShowProgress);
    tickTimer_.setInterval(kProgressTickMs);
    connect(&tickTimer_, &QTimer::timeout, this, &LoadRunner::UpdateProgress);
}

LoadRunner::~LoadRunner() { Stop(); }

void LoadRunner::Start(const char16_t* path) {
    Stop();
    RunLogic([&] { OpenStepBegin(&job_, path); });
    stage_ = Stage::Loading;
    emit RunningChanged(true);
    const unsigned generation = ++generation_;
    escape_->setEnabled(true);
    showTimer_.start();
    worker_ = std::thread([this, generation] {
        OpenStepLoad(&job_, job_.pathFits ? OpenDocumentFile(job_.path) : nullptr);
        Post(&LoadRunner::Loaded, generation);
    });
}

void LoadRunner::Cancel() {
    if (Running()) CancelOpen();
}

void LoadRunner::Post(void (LoadRunner::*step)(unsigned), unsigned generation) {
    QMetaObject::invokeMethod(this, [this, step, generation] { (this->*step)(generation); }, Qt::QueuedConnection);
}

void LoadRunner::Join() {
    if (worker_.joinable()) worker_.join();
}

void LoadRunner::Loaded(unsigned generation) {
    if (generation != generation_ || stage_ != Stage::Loading) return;
    Join();
    bool build = false;
    RunLogic([&] { build = OpenStepLoaded(&job_); });
    if (!build) {
        stage_ = Stage::Idle;
        HideProgress();
        return;
    }
    stage_ = Stage::Building;
    tree_->BeginBuild();
    worker_ = std::thread([this, generation] {
        OpenStepBuildTree(&job_);
        Post(&LoadRunner::Built, generation);
    });
}

void LoadRunner::Built(unsigned generation) {
    if (generation != generation_ || stage_ != Stage::Building) return;
    Join();
    tree_->EndBuild();
    stage_ = Stage::Idle;
    HideProgress();
    RunLogic([&] { OpenStepShowTree(&job_); });
    if (job_.built) emit DocumentShown();
}

void LoadRunner::Stop() {
    if (!Running()) return;
    CancelOpen();
    Join();
    // The steps the worker would have posted run here; what it posted is dropped.
    ++generation_;
    if (stage_ == Stage::Loading) {
        stage_ = Stage::Idle;
        HideProgress();
        job_.result = kLoadCancelled;  // ended as cancelled, whatever the load came to
        RunLogic([&] { OpenStepLoaded(&job_); });
        return;
    }
    tree_->EndBuild();
    stage_ = Stage::Idle;
    HideProgress();
    job_.built = false;  // ended as cancelled, even when the build got to the end
    RunLogic([&] { OpenStepShowTree(&job_); });
}

void LoadRunner::ShowProgress() {
    UpdateProgress();
    bar_->show();
    cancel_->show();
    tickTimer_.start();
}

void LoadRunner::UpdateProgress() {
    std::uint64_t read, total;
    OpenProgress(&read, &total);
    if (total == 0) {
        bar_->setRange(0, 0);  // a pipe tells no size: a bar that only moves
        return;
    }
    bar_->setRange(0, kProgressSteps);
    bar_->setValue(static_cast<int>(read >= total ? kProgressSteps : read * kProgressSteps / total));
}

void LoadRunner::HideProgress() {
    if (stage_ == Stage::Idle) emit RunningChanged(false);
    showTimer_.stop();
    tickTimer_.stop();
    escape_->setEnabled(false);
    bar_->hide();
    cancel_->hide();
}
