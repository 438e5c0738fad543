// The find bar's logic for every window: the query, the search on a worker
// over the loaded document with hits arriving in batches (the first one as
// soon as it is found), stepping through them with wrap-around, and where
// the search stands ("第 3 个，共 1,234 个").  A window shows the fields and
// StatusText.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "present/find_rows.h"
#include "ui/worker.h"

class NavigationController;

class FindController {
public:
    // Typing restarts the search once the typist pauses.
    static constexpr int kRestartDelayMs = 250;

    explicit FindController(NavigationController& navigation);
    ~FindController();
    FindController(const FindController&) = delete;
    FindController& operator=(const FindController&) = delete;

    // Called whenever StatusText may have changed.
    std::function<void()> statusChanged;

    // The query changed: the search stops, and starts again after a pause.
    void SetQuery(FindQuery query);
    const FindQuery& Query() const { return query_; }
    // Starts the search for the query now, stopping any other.
    void Start();
    // Goes to the next or previous hit, wrapping around; starts the search
    // when the query has none running or done.
    void Next();
    void Previous();
    // Stops the search and forgets its hits (Esc, a new document).
    void Stop();

    std::u16string StatusText() const;
    bool Searching() const { return searching_; }
    int HitCount() const { return static_cast<int>(hits_.size()); }
    int CurrentHit() const { return current_; }

private:
    void Step(int direction);
    void Receive(std::vector<FindHit> batch, bool done);
    void ShowCurrent();
    void Changed();

    NavigationController& navigation_;
    FindQuery query_;
    // Batches and timers of a search that was stopped are dropped.
    Worker worker_;
    bool started_ = false;  // a search for the current query ran or runs
    bool searching_ = false;
    std::vector<FindHit> hits_;
    int current_ = -1;
};

// 1234567 as "1,234,567".
std::u16string GroupedDecimal(long long n);
