#include "ui/history.h"

void NavigationHistory::Record(const ViewPosition& position) {
    if (!entries_.empty()) {
        if (entries_[current_] == position) return;
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(current_) + 1, entries_.end());
    }
    entries_.push_back(position);
    if (entries_.size() > kMaxEntries) entries_.pop_front();
    current_ = entries_.size() - 1;
}

void NavigationHistory::ReplaceCurrent(const ViewPosition& position) {
    if (entries_.empty()) Record(position);
    else entries_[current_] = position;
}

ViewPosition NavigationHistory::Back() { return entries_[--current_]; }

ViewPosition NavigationHistory::Forward() { return entries_[++current_]; }

void NavigationHistory::Clear() {
    entries_.clear();
    current_ = 0;
}
