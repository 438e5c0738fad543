// The contract suites over the in-memory panes.
#include "tests/pane_adapter.h"
#include "ui/front_end.h"
#include "ui/handlers.h"
#include "ui/headless/headless.h"

namespace {
std::vector<SeenMessage> g_messages;
}

void PanesStart() {
    HeadlessReset();
    InitViewer();
}
void PanesStop() { ShutdownViewer(); }
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
void PanesClickRow(int row, bool additive) { HeadlessClickRow(row, additive); }
bool PanesFileImageIs(FileIcon icon) { return HeadlessFileImage() == icon; }
int PanesLiveIcons() { return HeadlessLiveIcons(); }
