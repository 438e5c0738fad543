// How the Qt front end backs the pane operations of ui/panes.h: which
// widgets they act on, and when what the logic added becomes visible.
#pragma once

class QStatusBar;
class QTreeView;
class QWidget;
class ListModel;
class PaneImages;
class TreeModel;

struct PaneWidgets {
    QWidget* window = nullptr;  // owner of dialogs and message boxes, titled
    QTreeView* tree = nullptr;
    TreeModel* treeModel = nullptr;
    QTreeView* list = nullptr;
    ListModel* listModel = nullptr;
    QStatusBar* status = nullptr;
    PaneImages* images = nullptr;
};

// Makes the panes.h operations act on these widgets and connects the views'
// signals to the notifications of ui/handlers.h.  One window at a time.
void AttachPanes(const PaneWidgets& widgets);
// The operations do nothing from here on.
void DetachPanes();

// Shows the views everything added to the panes since the last flush: one
// reset of the tree model and one insertion of rows into the list model.
// Runs before the operations that need the views, after every command and
// notification, and from the event loop as a safety net.
void FlushPanes();

// Every call into the viewer's logic goes through here, so the views are
// brought up to date once it returns, whatever the call added.
template <typename Call>
void RunLogic(Call&& call) {
    call();
    FlushPanes();
}
