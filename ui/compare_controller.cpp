#include "ui/compare_controller.h"

#include <filesystem>
#include <unordered_set>

#include "compare/diff_reading.h"
#include "compare/value_hash.h"
#include "game/game_folder.h"
#include "game/names_read.h"
#include "marshal/load.h"
#include "present/access_path.h"
#include "present/find_rows.h"
#include "present/node_location.h"
#include "present/viewer_document.h"
#include "ui/compare_lines.h"
#include "ui/compare_progress.h"
#include "ui/compare_removed.h"
#include "ui/find_controller.h"
#include "ui/game_folder_controller.h"
#include "ui/handlers.h"
#include "ui/navigation_controller.h"
#include "ui/viewer.h"

namespace {
CompareController* g_activeCompare = nullptr;

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

std::uint64_t FileBytes(const std::u16string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), error);
    return error ? 0 : static_cast<std::uint64_t>(size);
}

// The title names both files; by their paths when their names are equal.
std::u16string CompareTitle(const std::u16string& oldPath) {
    std::u16string newName = DocumentFileInfo.displayName, oldName = FileDisplayName(oldPath);
    if (newName == oldName) newName = DocumentPath, oldName = oldPath;
    return newName + u" (旧: " + oldName + u") - Quarnix";
}

// The names of a game's folder, read into `scratch`; none when it has no
// database or the reading was cancelled.
std::shared_ptr<const GameNames> ReadNames(const std::filesystem::path& folder, MarshalDocument& scratch) {
    if (!FolderHasDatabase(folder)) return nullptr;
    auto names = std::make_shared<GameNames>();
    if (!ReadGameNames(folder, scratch, *names) || names->Empty()) return nullptr;
    return names;
}

std::filesystem::path FolderOf(const std::u16string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
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

std::u16string DifferenceReadingLine(const Difference& d, std::u16string_view change, const GameNames* beforeNames,
                                     const GameNames* afterNames) {
    const std::u16string place = DifferencePlace(d);
    std::u16string line = place.empty() ? std::u16string(d.path) : place;
    bool first = true, placeSeen = place.empty();
    ForEachDifferenceReading(d, beforeNames, afterNames, [&](std::u16string_view text) {
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
        // Without a place the line starts with the path: it is not said twice.
        if (place.empty()) line.clear();
        else line += u"：";
        line += static_cast<char16_t>(d.op);
        line += u' ';
        line += d.path;
        if (!change.empty()) line += u"：" + std::u16string(change);
    }
    if (line.size() > kReadingUnits) line.replace(kReadingUnits, std::u16string::npos, u"……");
    return line;
}

void CompareResult::IndexRows() {
    rowsOf.clear();
    for (const StoredDifference& d : differences)
        rowsOf[d.op == DiffOp::kRemoved ? d.newHolder : d.newSide.container].push_back(&d);
}

CompareController::CompareController(NavigationController& navigation) : navigation_(navigation) {}

CompareController::~CompareController() {
    if (g_activeCompare == this) SetActiveCompare(nullptr);
    changed = nullptr;
    Stop();
}

void CompareController::Changed() {
    if (changed) changed();
}

void CompareController::Stop() {
    StopWork(worker_);  // a result still on its way is dropped
    EndCompareProgress();
    loading_.reset();
    cancel_.reset();
    running_ = false;
}

void CompareController::Start(const std::u16string& oldPath) {
    if (!TreeRootItem()) return;  // no document open
    EndFile();  // the folders compared stay
    oldPath_ = oldPath;
    running_ = true;
    loading_ = NewOldDocument();
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    newBytes_ = 0;
    oldBytes_ = FileBytes(oldPath);
    StatusSetText(u"正在比较…");
    StartCompareProgress([this](std::uint64_t* read, std::uint64_t* total) { Progress(read, total); }, false);
    Changed();
    auto doc = loading_;
    auto cancel = cancel_;
    // The readings name ids as the game folder does: the open file's names
    // when they have arrived, else read here; the old file's from its own
    // folder when that is another.
    GameFolderController* folder = ActiveGameFolder();
    std::shared_ptr<const GameNames> afterNames = folder ? folder->SharedNames() : nullptr;
    const std::filesystem::path newFolder = FolderOf(std::u16string(DocumentPath)), oldFolder = FolderOf(oldPath);
    auto scratch = NewOldDocument();
    StartWork(worker_, [doc, cancel, scratch] {
        doc->cancel.store(true);
        scratch->cancel.store(true);
        cancel->store(true);
    }, [this, doc, cancel, scratch, afterNames, newFolder, oldFolder, path = oldPath](const WindowPost& post) mutable {
        if (!afterNames) afterNames = ReadNames(newFolder, *scratch);
        std::error_code ec;
        const auto beforeNames = std::filesystem::equivalent(oldFolder, newFolder, ec) ? afterNames
                                                                                      : ReadNames(oldFolder, *scratch);
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
                StoredDifference s{d.op, d.oldSide, d.newSide, d.levels.back().newNode, std::u16string(d.path), {}, {}, {}};
                if (d.op == DiffOp::kChanged)
                    s.valueChange = SideValue(d.oldSide, hasher) + u" → " + SideValue(d.newSide, hasher);
                s.reading = DifferenceReadingLine(d, s.valueChange, beforeNames.get(), afterNames.get());
                s.page = DifferencePage(d);
                for (const DiffLevel& level : d.levels) ++result->counts[level.newNode];
                result->differences.push_back(std::move(s));
                return true;
            }, options);
        } catch (const std::bad_alloc&) {
            status = CompareStatus::kNoMemory;
        }
        if (status == CompareStatus::kDone) result->IndexRows();
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
    pendingBytes_ = FileBytes(oldPath);
}

std::uint64_t CompareController::WaitingBytes(const char16_t* path) const {
    return !pendingOld_.empty() && pendingNew_ == path ? pendingBytes_ : 0;
}

bool CompareController::ForgetOpen(const char16_t* path) {
    const bool waiting = !pendingOld_.empty() && pendingNew_ == path;
    if (waiting) pendingOld_.clear(), pendingNew_.clear();
    return waiting;
}

void CompareController::DocumentShown() {
    std::u16string oldPath = std::move(pendingOld_), newPath = std::move(pendingNew_);
    pendingOld_.clear();
    pendingNew_.clear();
    if (oldPath.empty() || newPath != DocumentPath) return;
    Start(oldPath);
    // The open's bar goes on: the new file's bytes are read.
    newBytes_ = FileBytes(newPath);
    if (running_) StartCompareProgress([this](std::uint64_t* read, std::uint64_t* total) { Progress(read, total); }, true);
}

void CompareController::Arrive(std::shared_ptr<CompareResult> result, int loadResult, bool cancelled) {
    JoinWork(worker_);
    EndCompareProgress();
    loading_.reset();
    cancel_.reset();
    running_ = false;
    if (cancelled || loadResult == kLoadCancelled || !result) {
        StatusSetText(u"");
        if (!cancelled && loadResult != kLoadCancelled) {
            // The old file's usual message, naming it: the window shows
            // the new document alone, as before.
            MessageIcon icon;
            const std::u16string text = NamedLoadMessage(oldPath_, loadResult, &icon);  // sets the icon
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
    ShowLines();
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
    std::unordered_map<const MarshalNode*, TreeItem> counted;
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
            counted.emplace(node, item);
            for (TreeItem child = TreeChildItem(item); child; child = TreeNextItem(child)) pending.push_back(child);
        }
        marked_.emplace_back(item, std::move(text));
    }
    // A removed container's holder holds a difference: it was counted.
    greyItems_ = InsertRemovedItems(result_->differences, counted);
}

void CompareController::RemoveGreyItems() {
    if (greyItems_.empty()) return;
    // The caret leaves the old document's items first: they go.
    TreeItem caret = TreeCaretItem();
    TreeItem up = caret;
    while (up && DocumentOf(TreeItemNode(up)) == result_->old.get()) up = TreeParentItem(up);
    if (up && up != caret) TreeSelectItem(up);
    for (TreeItem item : greyItems_) TreeDeleteItem(item);
    greyItems_.clear();
    InvalidateNodeLocation();
}

void CompareController::UnmarkTree() {
    for (const auto& [item, text] : marked_) TreeMarkItem(item, text.c_str(), kMarkNone);
    marked_.clear();
}

void CompareController::MarkList(const MarshalNode* container) const {
    removedRows_ = 0;
    if (!result_ || !container) return;
    // A grey item's container: the old document's, every row removed.
    if (DocumentOf(container) == result_->old.get()) {
        for (const auto& [node, row] : RowsOf(container)) ListMarkRow(row, kMarkRemoved);
        return;
    }
    // A container no difference lies below lists as the open showed it.
    if (!result_->counts.count(container)) return;
    const auto rows = RowsOf(container);
    // Rows of containers holding differences, then the changed and added values.
    for (const auto& [node, row] : rows)
        if (result_->counts.count(node)) ListMarkRow(row, kMarkChanged);
    const auto listed = result_->rowsOf.find(container);
    if (listed == result_->rowsOf.end()) return;
    for (const StoredDifference* d : listed->second) {
        if (d->op == DiffOp::kRemoved) continue;
        const auto row = rows.find(d->newSide.Node());
        if (row == rows.end()) continue;
        ListMarkRow(row->second, d->op == DiffOp::kAdded ? kMarkAdded : kMarkChanged);
        if (d->op == DiffOp::kChanged) ListSetCell(row->second, kValueColumn, d->valueChange.c_str());
    }
    removedRows_ = InsertRemovedRows(listed->second, container);
}

std::u16string CompareController::OldPath(TreeItem item, const MarshalNode* child, int levelsUp) const {
    if (!result_) return {};
    if (!child)
        for (int k = 0; k <= levelsUp && item; ++k) child = TreeItemNode(item), item = TreeParentItem(item);
    const MarshalDocument* old = result_->old.get();
    if (!child || DocumentOf(child) != old) return {};
    // The levels inside the grey subtree, innermost first, up to the
    // removed value itself, which stands in a container of the new document.
    std::vector<std::u16string> labels;
    const MarshalNode* container = TreeItemNode(item);
    for (; container && DocumentOf(container) == old; container = TreeItemNode(item)) {
        labels.emplace_back();
        AppendPathLabel(labels.back(), container, ChildIndexOf(container, child));
        child = container;
        item = TreeParentItem(item);
    }
    const auto listed = result_->rowsOf.find(container);
    if (listed == result_->rowsOf.end()) return {};
    for (const StoredDifference* d : listed->second) {
        if (d->op != DiffOp::kRemoved) continue;
        // A removed hash entry's key row names the entry too.
        const MarshalNode* holder = d->oldSide.container;
        const bool key = (holder->type == '{' || holder->type == '}') && d->oldSide.position > 0 &&
                         ChildAt(holder, d->oldSide.position - 1) == child;
        if (d->oldSide.Node() != child && !key) continue;
        std::u16string path = d->path;
        if (key) {  // the entry's path with the key's label for the value's
            std::u16string value;
            AppendPathLabel(value, holder, d->oldSide.position);
            if (path.ends_with(value)) path.resize(path.size() - value.size());
            AppendPathLabel(path, holder, d->oldSide.position - 1);
        }
        for (auto label = labels.rbegin(); label != labels.rend(); ++label) path += *label;
        return path;
    }
    return {};
}

void CompareController::Cancel() {
    pendingOld_.clear();  // nor does one wait for an open
    pendingNew_.clear();
    if (!running_) return;
    Stop();
    StatusSetText(u"");
    Changed();
}

void CompareController::End() {
    if (GameFolderController* folder = ActiveGameFolder(); folder && (!oldDir_.empty() || result_))
        folder->ClearLines(this);
    oldDir_.clear();
    files_.clear();
    EndFile();
}

void CompareController::EndFile() {
    Cancel();  // one still loading or comparing ends with nothing shown
    if (!result_) return;
    RemoveGreyItems();
    UnmarkTree();
    retired_.push_back(result_->old);
    const MarshalNode* listed = TreeItemNode(TreeCaretItem());
    if (listed && removedRows_) {
        // The removed rows go: the list is made again, its selection kept.
        std::vector<const MarshalNode*> selected;
        for (int row = ListNextSelectedRow(-1); row >= 0; row = ListNextSelectedRow(row))
            if (const MarshalNode* node = ListRowNode(row); node && DocumentOf(node) != result_->old.get())
                selected.push_back(node);
        result_.reset();
        FillListPane(listed);
        removedRows_ = 0;
        for (const MarshalNode* node : selected)
            if (const int row = ListFindRow(node); row >= 0) ListSetRowSelected(row, true);
    } else if (const MarshalNode* container = listed; container && result_->counts.count(container)) {
        // The listed rows again as the open showed them: unmarked, and the
        // changed values' cells their new value alone.
        const auto rows = RowsOf(container);
        for (const auto& [node, row] : rows) ListMarkRow(row, kMarkNone);
        if (const auto found = result_->rowsOf.find(container); found != result_->rowsOf.end())
            for (const StoredDifference* d : found->second)
                if (const auto row = rows.find(d->newSide.Node()); d->op == DiffOp::kChanged && row != rows.end())
                    ListSetCell(row->second, kValueColumn,
                                ChildRowCell(container, d->newSide.position, kValueColumn).c_str());
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
    greyItems_.clear();
    removedRows_ = 0;
    retired_.clear();
    result_.reset();
    current_ = -1;
    if (shown) WindowSetTitle(WindowTitle);
    // The folders' files stay listed; the differences go.
    if (GameFolderController* folder = ActiveGameFolder(); folder && shown && oldDir_.empty()) folder->ClearLines(this);
    else if (shown) ShowLines();
    Changed();
}

void CompareController::Progress(std::uint64_t* read, std::uint64_t* total) const {
    const std::uint64_t loaded = loading_ ? loading_->bytesRead.load(std::memory_order_relaxed) : 0;
    const std::uint64_t size = loading_ ? loading_->bytesTotal.load(std::memory_order_relaxed) : 0;
    // Before the load has the size, the one the file had when it began; a
    // pipe's is not known, nor then the whole (a bar that only moves).
    const std::uint64_t old = size ? size : oldBytes_;
    *read = newBytes_ + std::min(loaded, old);
    *total = old ? newBytes_ + old : 0;
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
    GoTo(((current_ < 0 ? (direction > 0 ? -1 : 0) : current_) + direction + n) % n);
}

void CompareController::GoTo(int index) {
    if (index < 0 || index >= Count()) return;
    current_ = index;
    const StoredDifference& d = result_->differences[static_cast<std::size_t>(current_)];
    // A removed value's grey row, in the container that held it.
    if (d.op == DiffOp::kRemoved) navigation_.GoTo({d.newHolder, d.oldSide.Node()});
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
    g_activeCompare = controller;
    if (!controller) return ClearWindowProvider(ProviderSlot::kCompare);
    WindowProvider provider;
    provider.documentShown = [controller] { controller->DocumentShown(); };
    provider.documentClosing = [controller] { controller->DocumentClosing(); };
    provider.openFailed = [controller](const char16_t* path) { return controller->ForgetOpen(path); };
    provider.bytesAfterOpen = [controller](const char16_t* path) { return controller->WaitingBytes(path); };
    provider.cancel = [controller] { controller->Cancel(); };
    SetWindowProvider(ProviderSlot::kCompare, std::move(provider));
}
CompareController* ActiveCompare() { return g_activeCompare; }

void MarkComparedRows(const MarshalNode* container) {
    if (g_activeCompare) g_activeCompare->MarkList(container);
}

// MARK: the results list and the folders

void CompareController::ShowLines() {
    GameFolderController* folder = ActiveGameFolder();
    if (!folder) return;
    const bool folders = !oldDir_.empty();
    const std::u16string oldName = folders ? oldDir_ : FileDisplayName(oldPath_);
    folder->ShowLines(this, CompareLinesTitle(oldName, folders),
                      CompareLinesStatus(files_.size(), folders, result_ ? &result_->differences : nullptr),
                      CompareLines(files_, Differences(), std::filesystem::path(std::u16string(DocumentPath))),
                      [this](int line) { return ChooseLine(line); });
}

bool CompareController::CompareFromCommandLine(const std::u16string& oldPath, const std::u16string& newPath) {
    std::error_code ec;
    const bool oldFolder = std::filesystem::is_directory(oldPath, ec), newFolder = std::filesystem::is_directory(newPath, ec);
    if (oldFolder && newFolder) {
        CompareFolders(oldPath, newPath);
        return false;
    }
    if (oldFolder || newFolder) {
        ShowMessage(u"比较需要两个文件或两个文件夹", MessageIcon::Warning);
        return false;
    }
    CompareAfterOpen(oldPath, newPath);
    return true;
}

void CompareController::CompareFolders(const std::u16string& oldDir, const std::u16string& newDir) {
    End();
    oldDir_ = oldDir;
    running_ = true;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    StatusSetText(u"正在比较…");
    Changed();
    auto cancel = cancel_;
    StartWork(worker_, [cancel] { cancel->store(true); }, [this, cancel, oldDir, newDir](const WindowPost& post) {
        // Files of equal bytes hold equal values: only the others are listed.
        std::vector<FilePair> differing;
        for (FilePair& pair : PairFolderFiles(oldDir, newDir)) {
            if (cancel->load()) return;
            if (pair.before.empty() || pair.after.empty() || !SameFileBytes(pair.before, pair.after))
                differing.push_back(std::move(pair));
        }
        post([this, differing = std::move(differing)]() mutable {
            JoinWork(worker_);
            cancel_.reset();
            running_ = false;
            files_ = std::move(differing);
            StatusSetText(u"");
            ShowLines();
            Changed();
        });
    });
}

bool CompareController::ChooseLine(int line) {
    if (line < 0) return false;
    if (static_cast<std::size_t>(line) < files_.size()) {
        const FilePair& pair = files_[static_cast<std::size_t>(line)];
        // A file only one folder has opens alone.
        const std::u16string open = (pair.after.empty() ? pair.before : pair.after).u16string();
        if (!pair.before.empty() && !pair.after.empty()) CompareAfterOpen(pair.before.u16string(), open);
        OpenDocumentPath(open.c_str());
        return true;
    }
    line -= static_cast<int>(files_.size());
    if (line >= Count()) return false;
    GoTo(line);
    return true;
}
