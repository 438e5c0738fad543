#include "ui/navigation_controller.h"

#include <algorithm>
#include <cstdlib>

#include "marshal/load.h"
#include "present/access_path.h"
#include "present/path_parse.h"
#include "present/viewer_document.h"
#include "ui/copy_text.h"
#include "ui/front_end.h"
#include "ui/nav_panes.h"
#include "ui/navigate.h"
#include "ui/open_sequence.h"
#include "ui/worker.h"
#include "ui/panes.h"

namespace {
NavigationController* g_activeNavigation = nullptr;

std::u16string TakePath(char16_t* path) {
    std::u16string text = path ? path : u"";
    std::free(path);
    return text;
}

std::vector<int> SelectedRows() {
    std::vector<int> rows;
    for (int r = ListNextSelectedRow(-1); r >= 0; r = ListNextSelectedRow(r)) rows.push_back(r);
    return rows;
}

// 1234 as "1234": the count in the menu's words.
std::u16string Decimal(std::size_t n) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n);
    return digits;
}

// The menus' "复制路径" entry (rows, "..", tree items: one label) and the
// title of a value's references.
MenuEntry CopyPathEntry(std::function<std::u16string()> path) {
    return {u"复制路径", true, [path = std::move(path)] { ClipboardSetText(path()); }};
}

std::u16string ReferencedText(std::size_t count) { return u"被引用 " + Decimal(count) + u" 次"; }
}  // namespace

void SetActiveNavigation(NavigationController* controller) {
    g_activeNavigation = controller;
    if (!controller) return ClearWindowProvider(ProviderSlot::kNavigation);
    WindowProvider provider;
    provider.documentClosing = [controller] { controller->DocumentClosing(); };
    SetWindowProvider(ProviderSlot::kNavigation, std::move(provider));
}
NavigationController* ActiveNavigation() { return g_activeNavigation; }

NavigationController::NavigationController() : alive_(std::make_shared<unsigned>(0)) {}

NavigationController::~NavigationController() {
    if (g_activeNavigation == this) SetActiveNavigation(nullptr);
    StopWork(holdersWorker_);
}

void NavigationController::Changed() {
    if (historyChanged) historyChanged();
}

// MARK: document and indexes

void NavigationController::DocumentClosing() {
    if (stopWorkers) stopWorkers();
    DropHolders();  // it reads the document about to go
    references_.reset();
    history_.Clear();
    settlePending_ = stepPending_ = false;
    ++*alive_;
    Changed();
}

void NavigationController::DocumentShown() {
    // An index from before the tree showed is never kept: it may have read
    // the document while the loader wrote it.
    DropHolders();
    HoldersFuture();
}

void NavigationController::DropHolders() {
    StopWork(holdersWorker_);
    holders_ = {};
}

std::shared_future<std::shared_ptr<const HolderIndex>> NavigationController::HoldersFuture() {
    if (OpenSequenceRunning()) {
        // The document is being written: an empty index, located nowhere.
        std::promise<std::shared_ptr<const HolderIndex>> none;
        none.set_value(std::make_shared<HolderIndex>());
        return none.get_future().share();
    }
    if (!holders_.valid()) {
        auto cancel = std::make_shared<std::atomic<bool>>(false);
        auto built = std::make_shared<std::promise<std::shared_ptr<const HolderIndex>>>();
        holders_ = built->get_future().share();
        StartWork(holdersWorker_, [cancel] { cancel->store(true); }, [cancel, built](const WindowPost&) {
            auto holders = std::make_shared<HolderIndex>();
            holders->Build(&DocumentRoot, cancel.get());  // empty when memory runs out: nothing is located
            built->set_value(std::move(holders));
        });
    }
    return holders_;
}

const HolderIndex& NavigationController::Holders() { return *HoldersFuture().get(); }

const ReferenceIndex& NavigationController::References() {
    if (!references_) {
        references_ = std::make_unique<ReferenceIndex>();
        references_->Build(&DocumentRoot);
    }
    return *references_;
}

// MARK: moving and history

void NavigationController::NoteMove(bool step) {
    stepPending_ = stepPending_ || step;
    if (settlePending_) return;
    settlePending_ = true;
    PostToWindow([this, alive = alive_, generation = *alive_] {
        if (*alive != generation) return;
        Settle();
    });
}

// Runs once things have settled, after everything a move changed.
void NavigationController::Settle() {
    if (!settlePending_) return;
    settlePending_ = false;
    const ViewPosition here = CurrentPosition();
    const ViewPosition* current = history_.Current();
    if (here.container) {
        if (stepPending_ || !current || current->container != here.container) history_.Record(here);
        else history_.ReplaceCurrent(here);
    }
    stepPending_ = false;
    Changed();
}

bool NavigationController::GoTo(const ViewPosition& position) {
    const bool shown = ShowPosition(Holders(), position);
    if (shown) NoteMove(true);
    return shown;
}

std::u16string NavigationController::GoToPath(const std::u16string& text) {
    PathTarget target;
    if (!ResolveAccessPath(text, &DocumentRoot, target)) return target.error;
    GoTo(target.holder ? ViewPosition{target.holder, target.node} : ViewPosition{target.node, nullptr});
    return {};
}

void NavigationController::ShowRestored(const ViewPosition& position) {
    ShowPosition(Holders(), position);
    settlePending_ = stepPending_ = false;  // a step through the history is no new step
    ++*alive_;
    Changed();
}

void NavigationController::Back() {
    if (history_.CanGoBack()) ShowRestored(history_.Back());
}

void NavigationController::Forward() {
    if (history_.CanGoForward()) ShowRestored(history_.Forward());
}

// MARK: copy and context menus

std::u16string NavigationController::CurrentPathText() {
    const int row = ListSelectedCount() == 1 ? ListNextSelectedRow(-1) : -1;
    const MarshalNode* node = row >= 0 ? ListRowNode(row) : nullptr;
    return TakePath(BuildAccessPath(TreeCaretItem(), node, row >= 0 && !node ? 1 : 0));
}

std::u16string NavigationController::SelectedRowsText() {
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? std::u16string() : RowsAsText(ListPaneStore(), rows);
}

std::vector<MenuEntry> NavigationController::RowMenu(int row) {
    const MarshalNode* node = row >= 0 ? ListRowNode(row) : nullptr;
    if (!node) return {CopyPathEntry(CurrentPathText)};
    std::vector<MenuEntry> menu;
    menu.push_back({u"复制名称", true, [row] { ClipboardSetText(CellText(ListPaneStore(), row, 0)); }});
    menu.push_back({u"复制值", true, [row] { ClipboardSetText(CellText(ListPaneStore(), row, 2)); }});
    menu.push_back(CopyPathEntry([node] { return TakePath(BuildAccessPath(TreeCaretItem(), node, 0)); }));
    menu.push_back({u"复制行", true, [row] {
        std::vector<int> rows = SelectedRows();
        if (std::find(rows.begin(), rows.end(), row) == rows.end()) rows = {row};
        ClipboardSetText(RowsAsText(ListPaneStore(), rows));
    }});
    menu.push_back({});
    // A link row stands for what it points at.
    menu.push_back(ReferencesEntry(node->type == '@' && node->data.target ? node->data.target : node));
    AppendProvidedEntries(MenuPlace::kListRow, row, node, menu);
    return menu;
}

std::vector<MenuEntry> NavigationController::TreeMenu(TreeItem item) {
    const MarshalNode* node = item ? TreeItemNode(item) : nullptr;
    if (!node) return {};
    std::vector<MenuEntry> menu;
    menu.push_back(CopyPathEntry([item] { return TakePath(BuildAccessPath(item, nullptr, 0)); }));
    if (node != &DocumentRoot) {
        menu.push_back({});
        menu.push_back(ReferencesEntry(node));
    }
    return menu;
}

MenuEntry NavigationController::ReferencesEntry(const MarshalNode* node) {
    const std::size_t count = References().LinksTo(node).size();
    return {ReferencedText(count), count > 0, [this, node] {
        if (showReferences) showReferences(node);
    }};
}

std::vector<MenuEntry> NavigationController::ReferencesMenu(const MarshalNode* node) {
    auto links = References().LinksTo(node);
    const HolderIndex& holders = Holders();
    std::vector<MenuEntry> menu;
    menu.push_back({ReferencedText(links.size()), false, {}});
    menu.push_back({});
    std::size_t listed = 0;
    for (const MarshalNode* link : links) {
        if (listed++ == kMaxListedReferences) {
            menu.push_back({u"…还有 " + Decimal(links.size() - kMaxListedReferences) + u" 个", false, {}});
            break;
        }
        std::u16string path;
        holders.AppendPath(path, link);
        const MarshalNode* holder = holders.Holder(link);
        menu.push_back({path, true, [this, holder, link] { GoTo({holder, link}); }});
    }
    return menu;
}
