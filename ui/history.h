// Back and forward through the places the user went, as in a file browser:
// each place is a container shown in the list and the row selected in it.
#pragma once
#include <cstddef>
#include <deque>

#include "marshal/node.h"

struct ViewPosition {
    const MarshalNode* container = nullptr;  // the tree item's node
    const MarshalNode* row = nullptr;        // the selected row's node; none for no row (or "..")
    bool operator==(const ViewPosition&) const = default;
};

class NavigationHistory {
public:
    static constexpr std::size_t kMaxEntries = 1000;

    // A move to `position`: places ahead of the current one are dropped, and
    // a move to where the user already is adds nothing.  The oldest places
    // go once kMaxEntries are kept.
    void Record(const ViewPosition& position);
    // The user moved within the place shown (another row selected): the
    // current step remembers it instead of becoming a new one.  With no
    // steps yet it is recorded.
    void ReplaceCurrent(const ViewPosition& position);
    const ViewPosition* Current() const { return entries_.empty() ? nullptr : &entries_[current_]; }
    bool CanGoBack() const { return current_ > 0; }
    bool CanGoForward() const { return current_ + 1 < entries_.size(); }
    // The place to show; the caller shows it without recording it.  Only
    // called when the direction is possible.
    ViewPosition Back();
    ViewPosition Forward();
    // A new document: nothing of the old one may be shown again.
    void Clear();
    std::size_t Size() const { return entries_.size(); }

private:
    std::deque<ViewPosition> entries_;
    std::size_t current_ = 0;  // index of the place shown, when any
};
