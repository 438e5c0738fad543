#include "ui/qt/find_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <chrono>

#include "marshal/load.h"
#include "ui/qt/navigation.h"

namespace {
// Typing restarts the search once the typist pauses.
constexpr int kRestartDelayMs = 250;
// Hits reach the window in batches at most this far apart.
constexpr auto kBatchInterval = std::chrono::milliseconds(50);

// 1234567 as "1,234,567".
QString Grouped(long long n) {
    QString digits = QString::number(n);
    for (int at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QLatin1Char(','));
    return digits;
}
}  // namespace

FindBar::FindBar(Navigation& navigation, QWidget* parent) : QWidget(parent), navigation_(navigation) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("查找:")));
    field_ = new QLineEdit;
    field_->setObjectName(QStringLiteral("findText"));
    field_->setMinimumWidth(240);
    field_->installEventFilter(this);
    layout->addWidget(field_, 1);
    const QString names[] = {QStringLiteral("名称"), QStringLiteral("类型"), QStringLiteral("值")};
    for (int c = 0; c < 3; ++c) {
        columns_[c] = new QCheckBox(names[c]);
        columns_[c]->setChecked(true);
        connect(columns_[c], &QCheckBox::toggled, this, &FindBar::QueryChanged);
        layout->addWidget(columns_[c]);
    }
    matchCase_ = new QCheckBox(QStringLiteral("区分大小写"));
    connect(matchCase_, &QCheckBox::toggled, this, &FindBar::QueryChanged);
    layout->addWidget(matchCase_);
    auto* previous = new QPushButton(QStringLiteral("上一个"));
    auto* next = new QPushButton(QStringLiteral("下一个"));
    connect(previous, &QPushButton::clicked, this, &FindBar::Previous);
    connect(next, &QPushButton::clicked, this, &FindBar::Next);
    layout->addWidget(previous);
    layout->addWidget(next);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("findStatus"));
    status_->setMinimumWidth(160);
    layout->addWidget(status_);
    auto* close = new QPushButton(QStringLiteral("关闭"));
    connect(close, &QPushButton::clicked, this, &FindBar::CloseRequested);
    layout->addWidget(close);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::CloseRequested);

    restart_ = new QTimer(this);
    restart_->setSingleShot(true);
    restart_->setInterval(kRestartDelayMs);
    connect(restart_, &QTimer::timeout, this, &FindBar::Start);
    connect(field_, &QLineEdit::textChanged, this, &FindBar::QueryChanged);
}

FindBar::~FindBar() { Stop(); }

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier) Previous();
            else Next();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

FindQuery FindBar::Query() const {
    FindQuery query;
    query.text = field_->text().toStdU16String();
    const unsigned bits[] = {kFindName, kFindType, kFindValue};
    query.columns = 0;
    for (int c = 0; c < 3; ++c)
        if (columns_[c]->isChecked()) query.columns |= bits[c];
    query.matchCase = matchCase_->isChecked();
    return query;
}

void FindBar::QueryChanged() {
    Stop();
    UpdateStatus();
    restart_->start();
}

void FindBar::Stop() {
    restart_->stop();
    if (cancel_) cancel_->store(true);
    if (worker_.joinable()) worker_.join();
    cancel_.reset();
    ++generation_;  // batches still on their way are dropped
    started_ = searching_ = false;
    hits_.clear();
    current_ = -1;
    UpdateStatus();
}

void FindBar::Start() {
    Stop();
    FindQuery query = Query();
    started_ = true;
    if (query.text.empty() || !query.columns) {
        UpdateStatus();
        return;
    }
    searching_ = true;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    const unsigned generation = generation_;
    auto holdersFuture = navigation_.HoldersFuture();
    worker_ = std::thread([this, query = std::move(query), holdersFuture, cancel = cancel_, generation]() mutable {
        // Built since the tree was shown; a search started at once waits here.
        std::shared_ptr<const HolderIndex> holders = holdersFuture.get();
        if (cancel->load()) return;
        std::vector<FindHit> batch;
        auto sent = std::chrono::steady_clock::now();
        bool first = true;
        auto send = [&](bool done) {
            QMetaObject::invokeMethod(this, [this, generation, b = std::move(batch), done]() mutable {
                Receive(generation, std::move(b), done);
            }, Qt::QueuedConnection);
            batch.clear();
            sent = std::chrono::steady_clock::now();
        };
        FindRows(&DocumentRoot, *holders, query, [&](const FindHit& hit) {
            batch.push_back(hit);
            if (first || std::chrono::steady_clock::now() - sent >= kBatchInterval) send(false);
            first = false;
            return true;
        }, cancel.get(), [&](const FindProgress&) {
            if (!batch.empty() && std::chrono::steady_clock::now() - sent >= kBatchInterval) send(false);
        });
        if (!cancel->load()) send(true);
    });
    UpdateStatus();
}

void FindBar::Receive(unsigned generation, std::vector<FindHit> batch, bool done) {
    if (generation != generation_) return;
    const bool firstHits = hits_.empty() && !batch.empty();
    hits_.insert(hits_.end(), batch.begin(), batch.end());
    if (done) {
        searching_ = false;
        if (worker_.joinable()) worker_.join();
    }
    if (firstHits) {
        current_ = 0;
        ShowCurrent();
    }
    UpdateStatus();
}

void FindBar::Next() { Step(1); }
void FindBar::Previous() { Step(-1); }

void FindBar::Step(int direction) {
    if (!started_) {
        Start();  // the first hit is shown when it arrives
        return;
    }
    if (hits_.empty()) return;
    const int n = static_cast<int>(hits_.size());
    current_ = ((current_ < 0 ? (direction > 0 ? -1 : 0) : current_) + direction + n) % n;
    ShowCurrent();
    UpdateStatus();
}

void FindBar::ShowCurrent() {
    const FindHit& hit = hits_[static_cast<std::size_t>(current_)];
    navigation_.GoTo({hit.container, hit.child});
}

QString FindBar::StatusText() const { return status_->text(); }

void FindBar::UpdateStatus() {
    QString text;
    if (!hits_.empty()) {
        text = searching_ ? QStringLiteral("第 %1 个，已找到 %2 个…").arg(Grouped(current_ + 1), Grouped(static_cast<long long>(hits_.size())))
                          : QStringLiteral("第 %1 个，共 %2 个").arg(Grouped(current_ + 1), Grouped(static_cast<long long>(hits_.size())));
    } else if (searching_) {
        text = QStringLiteral("正在查找…");
    } else if (started_ && !field_->text().isEmpty()) {
        text = QStringLiteral("未找到");
    }
    status_->setText(text);
}
