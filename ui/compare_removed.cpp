#include "ui/compare_removed.h"

#include <algorithm>
#include <map>

#include "marshal/load.h"
#include "present/labels.h"
#include "present/node_location.h"
#include "present/viewer_document.h"
#include "ui/viewer.h"

namespace {
// One new container's removed values (old side) and added positions.
struct Holder {
    const MarshalNode* oldContainer = nullptr;
    std::vector<std::int64_t> removed, added;
};

// A hash's entry is its key and its value: a difference names the value.
void AddPosition(std::vector<std::int64_t>& positions, const MarshalNode* container, std::int64_t position) {
    if (container->type == '{' || container->type == '}') positions.push_back(position - 1);
    positions.push_back(position);
}

// The removed and added values of the new containers holding removed ones.
template <typename Differences, typename Deref>
std::map<const MarshalNode*, Holder> Holders(const Differences& differences, Deref deref) {
    std::map<const MarshalNode*, Holder> holders;
    for (const auto& entry : differences) {
        if (const StoredDifference& d = deref(entry); d.op == DiffOp::kRemoved) {
            Holder& h = holders[d.newHolder];
            h.oldContainer = d.oldSide.container;
            AddPosition(h.removed, h.oldContainer, d.oldSide.position);
        }
    }
    for (const auto& entry : differences) {
        const StoredDifference& d = deref(entry);
        auto found = d.op == DiffOp::kAdded ? holders.find(d.newSide.container) : holders.end();
        if (found != holders.end()) AddPosition(found->second.added, d.newSide.container, d.newSide.position);
    }
    for (auto& [node, h] : holders) {
        std::sort(h.removed.begin(), h.removed.end());
        std::sort(h.added.begin(), h.added.end());
    }
    return holders;
}

bool IsContainerChild(const MarshalNode* container, std::int64_t index) {
    return IsContainerType(ChildAt(container, index)->type);
}

std::u16string Label(const MarshalNode* container, std::int64_t index) {
    LabelBuffer buf;
    Text label = ChildLabel(container, index, buf);
    std::u16string text = label.text ? label.text : u"";
    FreeText(label);
    return text;
}

// Every item of the subtree grey, as its root.
void MarkSubtree(TreeItem root) {
    std::vector<TreeItem> pending{root};
    while (!pending.empty()) {
        TreeItem item = pending.back();
        pending.pop_back();
        TreeMarkItem(item, TreeItemText(item).c_str(), kMarkRemoved);
        for (TreeItem child = TreeChildItem(item); child; child = TreeNextItem(child)) pending.push_back(child);
    }
}
}  // namespace

std::vector<std::int64_t> RemovedSlots(const std::vector<std::int64_t>& removed, const std::vector<std::int64_t>& added,
                                       std::int64_t newCount) {
    std::vector<std::int64_t> slots;
    slots.reserve(removed.size());
    // Old position i and new position j advance together over matched
    // pairs; a removed i stands before j; an added j has no old partner.
    std::int64_t i = 0, j = 0;
    std::size_t r = 0, a = 0;
    while (r < removed.size()) {
        if (i == removed[r]) {
            slots.push_back(std::min(j, newCount));
            ++r;
            ++i;
        } else if (a < added.size() && j == added[a]) {
            ++a;
            ++j;
        } else {
            ++i;
            ++j;
        }
    }
    return slots;
}

std::vector<TreeItem> InsertRemovedItems(const std::vector<StoredDifference>& differences,
                                         const std::unordered_map<const MarshalNode*, TreeItem>& holderItems) {
    std::vector<TreeItem> inserted;
    for (const auto& [newContainer, h] : Holders(differences, [](const StoredDifference& d) -> const StoredDifference& { return d; })) {
        auto parent = holderItems.find(newContainer);
        if (parent == holderItems.end()) continue;
        // The parent's items stand for its container children, in order.
        std::vector<std::pair<std::int64_t, TreeItem>> items;
        TreeItem item = TreeChildItem(parent->second);
        const std::int64_t count = ChildCount(newContainer);
        for (std::int64_t k = 0; k < count && item; ++k) {
            if (!IsContainerChild(newContainer, k) || TreeItemNode(item) != ChildAt(newContainer, k)) continue;
            items.emplace_back(k, item);
            item = TreeNextItem(item);
        }
        const std::vector<std::int64_t> slots = RemovedSlots(h.removed, h.added, count);
        for (std::size_t r = 0; r < h.removed.size(); ++r) {
            if (!IsContainerChild(h.oldContainer, h.removed[r])) continue;
            auto before = std::find_if(items.begin(), items.end(), [&](const auto& p) { return p.first >= slots[r]; });
            const MarshalNode* old = ChildAt(h.oldContainer, h.removed[r]);
            TreeItem grey = TreeInsertItemBefore(parent->second, before == items.end() ? nullptr : before->second,
                                                 Label(h.oldContainer, h.removed[r]).c_str(), kImageContainer, old);
            if (!grey) continue;
            InsertContainerItems(grey, old);
            MarkSubtree(grey);
            inserted.push_back(grey);
        }
    }
    if (!inserted.empty()) InvalidateNodeLocation();
    return inserted;
}

int InsertRemovedRows(const std::vector<const StoredDifference*>& listed, const MarshalNode* container) {
    const auto holders = Holders(listed, [](const StoredDifference* d) -> const StoredDifference& { return *d; });
    if (holders.empty()) return 0;
    const Holder& h = holders.begin()->second;
    const std::int64_t count = ChildCount(container);
    // The list has ".." (but at the root), the containers, then the values.
    const int first = container == &DocumentRoot ? 0 : 1;
    std::vector<std::int64_t> containersBefore(static_cast<std::size_t>(count) + 1, 0);
    for (std::int64_t k = 0; k < count; ++k)
        containersBefore[static_cast<std::size_t>(k) + 1] = containersBefore[static_cast<std::size_t>(k)] + IsContainerChild(container, k);
    const std::int64_t containers = containersBefore.back();
    const std::vector<std::int64_t> slots = RemovedSlots(h.removed, h.added, count);
    // Ascending rows; each insertion moves the later ones down by one.
    std::vector<std::pair<std::int64_t, std::size_t>> rows;
    for (std::size_t r = 0; r < h.removed.size(); ++r) {
        const std::int64_t before = containersBefore[static_cast<std::size_t>(slots[r])];
        const std::int64_t row = IsContainerChild(h.oldContainer, h.removed[r]) ? before
                                                                               : containers + (slots[r] - before);
        rows.emplace_back(row, r);
    }
    std::stable_sort(rows.begin(), rows.end());
    int inserted = 0;
    for (const auto& [row, r] : rows) {
        const std::int64_t position = h.removed[r];
        const MarshalNode* old = ChildAt(h.oldContainer, position);
        const int at = first + static_cast<int>(row) + inserted;
        const bool link = old->type == '@' || old->type == ';';
        ListInsertRow(at, ChildRowCell(h.oldContainer, position, 0).c_str(),
                      IsContainerType(old->type) ? kImageContainer : kImageValue, link ? kLinkOverlay : 0, old);
        for (int column = 1; column < 3; ++column)
            ListSetCell(at, column, ChildRowCell(h.oldContainer, position, column).c_str());
        ListMarkRow(at, kMarkRemoved);
        ++inserted;
    }
    return inserted;
}
