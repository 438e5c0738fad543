// The one top-level window: menu bar, the two panes with the splitter, the
// game folder's results list below them (hidden until a search), the status
// bar.  Creating it attaches the pane operations to its widgets and
// starts the viewer's logic; closing it (Exit or the close box) shuts the
// logic down.
#pragma once
#include <QMainWindow>

#include "ui/qt/list_model.h"
#include "ui/qt/pane_images.h"
#include "ui/qt/tree_model.h"

class LoadRunner;
class Navigation;
class PaneArea;
class PreviewPane;
class QSplitter;
class QTreeView;

class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    MainWindow();
    ~MainWindow() override;

    // Opens a file as the Open command does after its dialog: the load runs
    // in the background; StartOpen returns at once, OpenFile once the load
    // has ended (the window answers meanwhile, and the load can be cancelled).
    void StartOpen(const QString& path);
    void OpenFile(const QString& path);
    LoadRunner& Loads() { return *loads_; }

    PaneArea* Area() const { return area_; }
    QTreeView* TreeView() const { return tree_; }
    QTreeView* ListView() const { return list_; }
    // The list pane with the preview below it, in the list pane's place.
    QSplitter* ListColumn() const { return listColumn_; }
    PreviewPane* Preview() const { return preview_; }
    TreeModel& Tree() { return treeModel_; }
    ListModel& List() { return listModel_; }
    const PaneImages& Images() const { return images_; }
    Navigation& Nav() { return *navigation_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void Open();
    void Shutdown();
    void WaitForLoad();
    void LoadRunning(bool running);

    PaneImages images_;
    TreeModel treeModel_;
    ListModel listModel_;
    QTreeView* tree_ = nullptr;
    QTreeView* list_ = nullptr;
    PaneArea* area_ = nullptr;
    LoadRunner* loads_ = nullptr;
    Navigation* navigation_ = nullptr;
    QSplitter* listColumn_ = nullptr;
    QSplitter* body_ = nullptr;  // the panes above, the results list below
    PreviewPane* preview_ = nullptr;
    QList<QAction*> disabledForLoad_;
    bool shutDown_ = false;
};
