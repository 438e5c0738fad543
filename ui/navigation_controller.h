// Find, go to path, copy, back and forward, and the links that refer to a
// value, decided once for every window: when the holder and reference
// indexes are built and dropped, which moves become a step of the history
// and which only update it, what the copy commands and the context menus
// offer.  A window puts it on screen: menus, bars, the clipboard.
#pragma once
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "present/holder_index.h"
#include "present/reference_index.h"
#include "present/tree_queries.h"
#include "ui/history.h"
#include "ui/window_providers.h"
#include "ui/worker.h"

class NavigationController {
public:
    // The most links a references menu lists; a line says how many more.
    static constexpr std::size_t kMaxListedReferences = 500;

    NavigationController();
    ~NavigationController();
    NavigationController(const NavigationController&) = delete;
    NavigationController& operator=(const NavigationController&) = delete;

    // The window's side: what changes when, and how a references menu shows.
    std::function<void()> historyChanged;
    std::function<void(const MarshalNode* node)> showReferences;
    // Stops the other workers over the document (the find's search).
    std::function<void()> stopWorkers;

    // Before the document is released (ReleaseDocument calls it for the
    // active controller): `stopWorkers` first, so nothing waits for an index
    // about to vanish, then the index's building stops, and the indexes and
    // the history go.
    void DocumentClosing();
    // Once the tree is shown: the holder index is built on a worker, so the
    // first search or path finds it ready.  While an open runs none is built
    // (HoldersFuture gives an empty one): the loader is writing the document.
    void DocumentShown();

    std::shared_future<std::shared_ptr<const HolderIndex>> HoldersFuture();
    // Waits for the index's building (or builds it).
    const HolderIndex& Holders();
    const ReferenceIndex& References();

    // The panes reported a move: a step of its own (a new container, an
    // activation), or only another row within the place shown.  The place
    // is recorded once things have settled, on a posted step.
    void NoteMove(bool step);
    // Shows the place and makes it a step of the history.
    bool GoTo(const ViewPosition& position);
    // Resolves and shows a typed path; the error text when it names nothing.
    std::u16string GoToPath(const std::u16string& text);
    void Back();
    void Forward();
    const NavigationHistory& History() const { return history_; }

    // The path the status bar shows for the one selected row, or for the
    // current item; what 复制路径 and the path bar start from.
    static std::u16string CurrentPathText();
    // The selected rows as 复制 puts them on the clipboard; empty for none.
    static std::u16string SelectedRowsText();

    // The list's context menu for row `row` (-1: none), the tree's for an
    // item, and the links that point at `node`.
    std::vector<MenuEntry> RowMenu(int row);
    std::vector<MenuEntry> TreeMenu(TreeItem item);
    std::vector<MenuEntry> ReferencesMenu(const MarshalNode* node);

private:
    void Settle();
    void DropHolders();
    void ShowRestored(const ViewPosition& position);
    void Changed();
    MenuEntry ReferencesEntry(const MarshalNode* node);

    std::shared_future<std::shared_ptr<const HolderIndex>> holders_;
    Worker holdersWorker_;
    std::unique_ptr<ReferenceIndex> references_;
    NavigationHistory history_;
    bool settlePending_ = false;
    bool stepPending_ = false;
    // Posted steps of a controller that went, or of a document that went,
    // are dropped.
    std::shared_ptr<unsigned> alive_;
};

// The controller the panes' notifications report moves to; none: no
// history is kept (quarnix-dump).
void SetActiveNavigation(NavigationController* controller);
NavigationController* ActiveNavigation();
