// The contract suites over the in-memory panes.
#include "tests/pane_adapter.h"
#include "ui/compare_controller.h"
#include "ui/front_end.h"
#include "ui/handlers.h"
#include "ui/find_controller.h"
#include "ui/game_folder_controller.h"
#include "ui/headless/headless.h"
#include "ui/headless/headless_nav.h"
#include "ui/navigation_controller.h"
#include "ui/open_sequence.h"

namespace {
std::vector<SeenMessage> g_messages;
NavigationController g_navigation;
FindController g_find{g_navigation};
GameFolderController g_folder{g_navigation};
CompareController g_compare{g_navigation};
bool g_resultsShown = false;
}  // namespace

void PanesStart() {
    HeadlessReset();
    InitViewer();
    SetActiveNavigation(&g_navigation);
    SetActiveGameFolder(&g_folder);
    SetActiveCompare(&g_compare);
    g_folder.showResults = [] { g_resultsShown = true; };
    OpenSequenceView view;
    view.documentShown = [] { g_navigation.DocumentShown(); };
    SetOpenSequenceView(std::move(view));
}
void PanesStop() {
    StopOpenSequence();
    ShutdownViewer();
    SetOpenSequenceView({});
    g_folder.Clear();
    g_resultsShown = false;
    SetActiveGameFolder(nullptr);
    SetActiveCompare(nullptr);
    SetActiveNavigation(nullptr);
    RunPostedSteps();
}
void PanesRunEvents() { RunPostedSteps(); }
NavigationController& PanesNavigation() { return g_navigation; }
FindController& PanesFind() { return g_find; }
GameFolderController& PanesGameFolder() { return g_folder; }
bool PanesResultsShown() { return g_resultsShown; }
std::u16string PanesResultsHeading() { return g_folder.Title() + u"　" + g_folder.Status(); }
std::vector<std::u16string> PanesResultLines() {
    std::vector<std::u16string> lines;
    for (const FolderResult& r : g_folder.Results()) lines.push_back(r.text);
    return lines;
}
void PanesChooseResult(int line) { g_folder.Choose(line); }
void PanesFindInFolder(const std::u16string& text) {
    FindQuery query = g_find.Query();
    query.text = text;
    g_find.SetQuery(query);
    g_folder.FindInFolder(query);
}
std::u16string PanesClipboard() { return HeadlessClipboard(); }
void PanesWaitForOpen() { RunPostedSteps(); }
void PanesQueueOpenAnswer(const std::u16string& path) { HeadlessQueueOpenAnswer(path); }
const std::vector<SeenMessage>& PanesMessages() {
    g_messages.clear();
    for (const HeadlessMessage& m : HeadlessMessages()) g_messages.push_back({m.text, m.icon});
    return g_messages;
}
std::u16string PanesTitle() { return HeadlessTitle(); }
std::u16string PanesStatus() { return HeadlessStatus(); }
std::u16string PanesItemText(TreeItem item) { return std::u16string(HeadlessTree().Text(HeadlessItemId(item))); }
bool PanesItemExpanded(TreeItem item) { return HeadlessTree().At(HeadlessItemId(item)).expanded; }
std::size_t PanesItemCount() { return HeadlessTree().Size(); }
int PanesRowCount() { return HeadlessList().Size(); }
std::u16string PanesCell(int row, int column) { return std::u16string(HeadlessList().Cell(row, column)); }
int PanesRowImage(int row) { return HeadlessList().At(row).image; }
int PanesRowOverlay(int row) { return HeadlessList().At(row).overlay; }
int PanesItemMark(TreeItem item) { return HeadlessTree().At(HeadlessItemId(item)).mark; }
int PanesRowMark(int row) { return HeadlessList().Valid(row) ? HeadlessList().At(row).mark : -1; }
void PanesClickRow(int row, bool additive) { HeadlessClickRow(row, additive); }
int PanesFocusedRow() { return HeadlessShownRow(); }
bool PanesFileImageIs(FileIcon icon) { return HeadlessFileImage() == icon; }
int PanesLiveIcons() { return HeadlessLiveIcons(); }
