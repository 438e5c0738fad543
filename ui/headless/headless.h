// The in-memory panes: what the logic put into the controls, readable by
// tests and by quarnix-dump, and the answers modal dialogs will give.
#pragma once
#include <string>
#include <vector>

#include "ui/item_store.h"
#include "ui/panes.h"

struct HeadlessColumn {
    std::u16string header;
    int width;
};

struct HeadlessMessage {
    std::u16string text;
    MessageIcon icon;
};

TreeStore& HeadlessTree();
ListStore& HeadlessList();
const std::vector<HeadlessColumn>& HeadlessColumns();
const std::u16string& HeadlessStatus();
const std::u16string& HeadlessTitle();
const std::vector<HeadlessMessage>& HeadlessMessages();
// The icon image 0 shows (none before the first load), and how many file
// icons exist that were not destroyed.
FileIcon HeadlessFileImage();
int HeadlessLiveIcons();

// The next Open dialog returns this path; with none queued it is cancelled.
void HeadlessQueueOpenAnswer(const std::u16string& path);
// Empties every pane and record, as a freshly created window.
void HeadlessReset();

TreeItem HeadlessItem(TreeStore::Id id);
TreeStore::Id HeadlessItemId(TreeItem item);

// A user's click on a row: every other row loses its selection, then the
// row is selected; with `additive` (control-click) only the row toggles.
void HeadlessClickRow(int row, bool additive = false);
