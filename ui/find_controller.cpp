#include "ui/find_controller.h"

#include <chrono>

#include "marshal/load.h"
#include "present/viewer_document.h"
#include "ui/front_end.h"
#include "ui/navigation_controller.h"
#include "ui/open_sequence.h"
#include "ui/worker.h"

namespace {
// Hits reach the window in batches at most this far apart.
constexpr auto kBatchInterval = std::chrono::milliseconds(50);
}  // namespace

std::u16string GroupedDecimal(long long n) {
    const bool negative = n < 0;
    unsigned long long v = negative ? 0ull - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    std::u16string digits;
    int written = 0;
    do {
        if (written && written % 3 == 0) digits.insert(digits.begin(), u',');
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
        ++written;
    } while (v);
    if (negative) digits.insert(digits.begin(), u'-');
    return digits;
}

FindController::FindController(NavigationController& navigation) : navigation_(navigation) {
    navigation_.stopWorkers = [this] { Stop(); };
}

FindController::~FindController() {
    navigation_.stopWorkers = nullptr;
    statusChanged = nullptr;
    Stop();
}

void FindController::Changed() {
    if (statusChanged) statusChanged();
}

void FindController::SetQuery(FindQuery query) {
    query_ = std::move(query);
    Stop();
    // A stop or a start since drops it, as it does the search's batches.
    StartTimer(kRestartDelayMs, [this, alive = worker_.generation, generation = *worker_.generation] {
        if (*alive == generation) Start();
    });
}

void FindController::Stop() {
    StopWork(worker_);  // batches still on their way are dropped
    started_ = searching_ = false;
    hits_.clear();
    current_ = -1;
    Changed();
}

void FindController::Start() {
    // While a file loads the document is the loader's: the search waits for
    // the user's next step once the tree shows.
    if (OpenSequenceRunning()) return;
    Stop();
    started_ = true;
    if (query_.text.empty() || !query_.columns) {
        Changed();
        return;
    }
    searching_ = true;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    StartWork(worker_, [cancel] { cancel->store(true); },
              [this, query = query_, holdersFuture = navigation_.HoldersFuture(), cancel](const WindowPost& toWindow) {
        auto post = [this, &toWindow](std::vector<FindHit> batch, bool done) {
            toWindow([this, b = std::move(batch), done]() mutable { Receive(std::move(b), done); });
        };
        // Built since the tree was shown; a search started at once waits here.
        std::shared_ptr<const HolderIndex> holders = holdersFuture.get();
        if (cancel->load()) return;
        std::vector<FindHit> batch;
        auto sent = std::chrono::steady_clock::now();
        bool first = true;
        auto send = [&](bool done) {
            post(std::move(batch), done);
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
    Changed();
}

void FindController::Receive(std::vector<FindHit> batch, bool done) {
    const bool firstHits = hits_.empty() && !batch.empty();
    hits_.insert(hits_.end(), batch.begin(), batch.end());
    if (done) {
        searching_ = false;
        JoinWork(worker_);
    }
    if (firstHits) {
        current_ = 0;
        ShowCurrent();
    }
    Changed();
}

void FindController::Next() { Step(1); }
void FindController::Previous() { Step(-1); }

void FindController::Step(int direction) {
    if (!started_) {
        Start();  // the first hit is shown when it arrives
        return;
    }
    if (hits_.empty()) return;
    const int n = static_cast<int>(hits_.size());
    current_ = ((current_ < 0 ? (direction > 0 ? -1 : 0) : current_) + direction + n) % n;
    ShowCurrent();
    Changed();
}

void FindController::ShowCurrent() {
    const FindHit& hit = hits_[static_cast<std::size_t>(current_)];
    navigation_.GoTo({hit.container, hit.child});
}

std::u16string FindController::StatusText() const {
    if (!hits_.empty()) {
        const std::u16string at = GroupedDecimal(current_ + 1), all = GroupedDecimal(static_cast<long long>(hits_.size()));
        return searching_ ? u"第 " + at + u" 个，已找到 " + all + u" 个…" : u"第 " + at + u" 个，共 " + all + u" 个";
    }
    if (searching_) return u"正在查找…";
    if (started_ && !query_.text.empty()) return u"未找到";
    return {};
}
