#include "ui/compare_controller.h"

#include <filesystem>
#include <unordered_set>

#include "compare/diff_reading.h"
#include "compare/value_hash.h"
#include "game/game_folder.h"
#include "marshal/load.h"
#include "present/find_rows.h"
#include "present/viewer_document.h"
#include "ui/find_controller.h"
#include "ui/navigation_controller.h"
#include "ui/viewer.h"

namespace {
CompareController* g_active = nullptr;

// A reading line longer than this (a script's many lines) ends in "……".
constexpr std::size_t kReadingUnits = 300;
constexpr int kValueColumn = 2;

std::shared_ptr<MarshalDocument> NewOldDocument() {
    return std::shared_ptr<MarshalDocument>(new MarshalDocument{}, [](MarshalDocument* doc) {
        DropDocument(*doc);
        delete doc;
    });
}

// The value cell of a side's row; a string wrapped for its encoding reads
// as the string it wraps, as its row's one child does.
std::u16string SideValue(const DiffSide& side, ValueHasher& hasher) {
    const MarshalNode* container = side.container;
    std::int64_t position = side.position;
    if (const MarshalNode* n = side.Node(); n->type == 'I' && IsStringLike(n)) container = n, position = 0;
    RowTexts texts;
    GetRowTexts(container, position, hasher.Holders(side.container), texts, kFindValue);
    return texts.value;
}

std::u16string FileName(const std::u16string& path) {
    char16_t name[kDisplayNameUnits];
    FileIcon icon = nullptr;
    GetFileDisplayInfo(path.c_str(), name, kDisplayNameUnits, &icon);
    if (icon) DestroyFileIcon(icon);
    return name;
}

// The title names both files; by their paths when their names are equal.
std::u16string CompareTitle(const std::u16string& oldPath) {
    std::u16string newName = DocumentFileInfo.displayName, oldName = FileName(oldPath);
    if (newName == oldName) newName = DocumentPath, oldName = oldPath;
    return newName + u" (旧: " + oldName + u") - Quarnix";
}

// The rows of the listed container: ".." first unless it is the root.
std::unordered_map<const MarshalNode*, int> RowsOf(const MarshalNode* container) {
    std::unordered_map<const MarshalNode*, int> rows;
    const int count = static_cast<int>(ChildCount(container)) + (container == &DocumentRoot ? 0 : 1);
    for (int row = 0; row < count; ++row)
        if (const MarshalNode* node = ListRowNode(row)) rows.emplace(node, row);
    return rows;
}
}  // namespace

std::u16string DifferenceReadingLine(const Difference& d, std::u16string_view change) {
    const std::u16string place = DifferencePlace(d);
    std::u16string line = place.empty() ? std::u16string(d.path) : place;
    bool first = true, placeSeen = place.empty();
    ForEachDifferenceReading(d, nullptr, nullptr, [&](std::u16string_view text) {
        if (!placeSeen) {  // the reading begins with the place
            placeSeen = true;
            return;
        }
        if (line.size() > kReadingUnits) return;
        line += first ? u"：" : u"  ";
        line += text;
        first = false;
    });
    // A value the reading does not tell (a number, a whole event): its
    // path and, when changed, old → new.
    if (first) {
        line += u"：";
        line += static_cast<char16_t>(d.op);
        line += u' ';
        line += d.path;
        if (!change.empty()) line += u"：" + std::u16string(change);
    }
    if (line.size() > kReadingUnits) line.replace(kReadingUnits, std::u16string::npos, u"……");
    return line;
}

CompareController::CompareController(NavigationController& navigation) : navigation_(navigation) {}

CompareController::~CompareController() {
    if (g_active == this) SetActiveCompare(nullptr);
    changed = nullptr;
    Stop();
}

void CompareController::Changed() {
    if (changed) changed();
}

void CompareController::Stop() {
    StopWork(worker_);  // a result still on its way is dropped
    loading_.reset();
    cancel_.reset();
    running_ = false;
}

void CompareController::Start(const std::u16string& oldPath) {
    if (!TreeRootItem()) return;  // no document open
    End();
    oldPath_ = oldPath;
    running_ = true;
    loading_ = NewOldDocument();
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    StatusSetText(u"正在比较…");
    Changed();
    auto doc = loading_;
    auto cancel = cancel_;
    StartWork(worker_, [doc, cancel] {
        doc->cancel.store(true);
        cancel->store(true);
    }, [this, doc, cancel, path = oldPath](const WindowPost& post) {
        std::FILE* file = OpenDocumentFile(path.c_str());
        const int loaded = file ? LoadIntoDocument(doc.get(), file) : kLoadCannotOpen;
        if (loaded != kLoadOk) {
            post([this, loaded, cancelled = cancel->load()] { Arrive(nullptr, loaded, cancelled); });
            return;
        }
        auto result = std::make_shared<CompareResult>();
        result->old = doc;
        std::unordered_set<const MarshalNode*> added;
        ValueHasher hasher;
        CompareOptions options = DefaultCompareOptions();
        options.cancel = cancel.get();
        CompareStatus status;
        try {
            status = CompareDocuments(*doc, ViewerDocument, hasher, [&](const Difference& d) {
                if (d.op == DiffOp::kByPosition || d.levels.empty()) return true;
                StoredDifference s{d.op, d.oldSide, d.newSide, d.levels.back().newNode, std::u16string(d.path), {}, {}};
                if (d.op == DiffOp::kChanged)
                    s.valueChange = SideValue(d.oldSide, hasher) + u" → " + SideValue(d.newSide, hasher);
                s.reading = DifferenceReadingLine(d, s.valueChange);
                for (const DiffLevel& level : d.levels) ++result->counts[level.newNode];
                result->differences.push_back(std::move(s));
                return true;
            }, options);
        } catch (const std::bad_alloc&) {
            status = CompareStatus::kNoMemory;
        }
        const int outcome = status == CompareStatus::kDone ? kLoadOk
                            : status == CompareStatus::kNoMemory ? kLoadNoMemory : kLoadCancelled;
        if (outcome != kLoadOk) result.reset();
        post([this, result = std::move(result), outcome, cancelled = cancel->load()] {
            Arrive(result, outcome, cancelled);
        });
    });
}

void CompareController::CompareAfterOpen(const std::u16string& oldPath, const std::u16string& newPath) {
    pendingOld_ = oldPath;
    pendingNew_ = newPath;
}

void CompareController::DocumentShown() {
    std::u16string oldPath = std::move(pendingOld_), newPath = std::move(pendingNew_);
    pendingOld_.clear();
    pendingNew_.clear();
    if (!oldPath.empty() && newPath == DocumentPath) Start(oldPath);
}

void CompareController::Arrive(std::shared_ptr<CompareResult> result, int loadResult, bool cancelled) {
    JoinWork(worker_);
    loading_.reset();
    cancel_.reset();
    running_ = false;
    if (cancelled || loadResult == kLoadCancelled || !result) {
        StatusSetText(u"");
        if (!cancelled && loadResult != kLoadCancelled) {
            // The old file's usual message, naming it: the window shows
            // the new document alone, as before.
            MessageIcon icon;
            const std::u16string text = FileName(oldPath_) + u"：" + LoadResultMessage(loadResult, &icon);
            ShowMessage(text.c_str(), icon);
        }
        Changed();
        return;
    }
    result_ = std::move(result);
    current_ = -1;
    WindowSetTitle(CompareTitle(oldPath_).c_str());
    MarkTree();
    MarkList(TreeItemNode(TreeCaretItem()));
    StatusSetText(StatusText().c_str());
    Changed();
}

void CompareController::MarkTree() {
    std::unordered_set<const MarshalNode*> added;
    for (const StoredDifference& d : result_->differences)
        if (d.op == DiffOp::kAdded) added.insert(d.newSide.Node());
    // Containers are counted with every difference below them, so a
    // subtree without a count holds none and is not walked; an added
    // container is a child of a counted one.
    std::vector<TreeItem> pending{TreeRootItem()};
    while (!pending.empty()) {
        TreeItem item = pending.back();
        pending.pop_back();
        const MarshalNode* node = TreeItemNode(item);
        auto found = result_->counts.find(node);
        if (found == result_->counts.end() && !added.count(node)) continue;
        std::u16string text = TreeItemText(item);
        if (found == result_->counts.end()) {
            TreeMarkItem(item, text.c_str(), kMarkAdded);
        } else {
            const std::u16string marked = text + u" (" + GroupedDecimal(found->second) + u")";
            TreeMarkItem(item, marked.c_str(), kMarkChanged);
            for (TreeItem child = TreeChildItem(item); child; child = TreeNextItem(child)) pending.push_back(child);
        }
        marked_.emplace_back(item, std::move(text));
    }
}

void CompareController::UnmarkTree() {
    for (const auto& [item, text] : marked_) TreeMarkItem(item, text.c_str(), kMarkNone);
    marked_.clear();
}

void CompareController::MarkList(const MarshalNode* container) const {
    if (!result_ || !container) return;
    const auto rows = RowsOf(container);
    auto rowOf = [&rows](const MarshalNode* node) {
        auto found = rows.find(node);
        return found == rows.end() ? -1 : found->second;
    };
    // Rows of containers holding differences, then the changed and added values.
    for (const auto& [node, row] : rows)
        if (result_->counts.count(node)) ListMarkRow(row, kMarkChanged);
    for (const StoredDifference& d : result_->differences) {
        if (d.newSide.container != container || d.op == DiffOp::kRemoved) continue;
        const int row = rowOf(d.newSide.Node());
        if (row < 0) continue;
        ListMarkRow(row, d.op == DiffOp::kAdded ? kMarkAdded : kMarkChanged);
        if (d.op == DiffOp::kChanged) ListSetCell(row, kValueColumn, d.valueChange.c_str());
    }
}

void CompareController::Cancel() {
    if (!running_) return;
    Stop();
    StatusSetText(u"");
    Changed();
}

void CompareController::End() {
    Cancel();  // one still loading or comparing ends with nothing shown
    if (!result_) return;
    UnmarkTree();
    // The listed rows again as the open showed them.
    if (const MarshalNode* container = TreeItemNode(TreeCaretItem())) {
        for (const auto& [node, row] : RowsOf(container)) {
            ListMarkRow(row, kMarkNone);
            if (result_->counts.count(node)) continue;
            for (const StoredDifference& d : result_->differences)
                if (d.op == DiffOp::kChanged && d.newSide.container == container && d.newSide.Node() == node) {
                    ListSetCell(row, kValueColumn, ChildRowCell(container, d.newSide.position, kValueColumn).c_str());
                    break;
                }
        }
    }
    result_.reset();
    current_ = -1;
    WindowSetTitle(WindowTitle);
    ShowSelectionStatus(ListSelectedCount() == 1 ? ListNextSelectedRow(-1) : -1);
    Changed();
}

void CompareController::DocumentClosing() {
    const bool shown = result_ != nullptr;
    Stop();
    // The panes are emptied next: nothing to unmark.
    marked_.clear();
    result_.reset();
    current_ = -1;
    if (shown) WindowSetTitle(WindowTitle);
    Changed();
}

void CompareController::Progress(std::uint64_t* read, std::uint64_t* total) const {
    *read = loading_ ? loading_->bytesRead.load(std::memory_order_relaxed) : 0;
    *total = loading_ ? loading_->bytesTotal.load(std::memory_order_relaxed) : 0;
}

const std::vector<StoredDifference>& CompareController::Differences() const {
    static const std::vector<StoredDifference> kNone;
    return result_ ? result_->differences : kNone;
}

void CompareController::Next() { Step(1); }
void CompareController::Previous() { Step(-1); }

void CompareController::Step(int direction) {
    const int n = Count();
    if (n == 0) return;
    // The find bar's rule: the first step goes to the first (or the last).
    current_ = ((current_ < 0 ? (direction > 0 ? -1 : 0) : current_) + direction + n) % n;
    const StoredDifference& d = result_->differences[static_cast<std::size_t>(current_)];
    // A removed value has no row: its container is shown.
    if (d.op == DiffOp::kRemoved) navigation_.GoTo({d.newHolder, nullptr});
    else navigation_.GoTo({d.newSide.container, d.newSide.Node()});
    StatusSetText(StatusText().c_str());
    Changed();
}

std::u16string CompareController::StatusText() const {
    if (running_) return u"正在比较…";
    if (!result_) return {};
    if (result_->differences.empty()) return u"差异：无";
    const std::u16string all = GroupedDecimal(Count());
    if (current_ < 0) return u"差异：共 " + all + u" 处";
    return u"差异：第 " + GroupedDecimal(current_ + 1) + u" 处，共 " + all + u" 处";
}

void SetActiveCompare(CompareController* controller) {
    g_active = controller;
    if (!controller) return ClearWindowProvider(ProviderSlot::kCompare);
    WindowProvider provider;
    provider.documentShown = [controller] { controller->DocumentShown(); };
    provider.documentClosing = [controller] { controller->DocumentClosing(); };
    SetWindowProvider(ProviderSlot::kCompare, std::move(provider));
}
CompareController* ActiveCompare() { return g_active; }

void MarkComparedRows(const MarshalNode* container) {
    if (g_active) g_active->MarkList(container);
}
