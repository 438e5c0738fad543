// Find, go to path, copy, back and forward, the links that refer to a
// value and the game's folder, in the Qt window: the 编辑 and 导航 menus,
// the find and path bars under the panes, the folder's results list, the
// context menus of both panes and the mouse's back and forward buttons.
// The decisions are NavigationController's, FindController's and
// GameFolderController's; this puts them on screen.
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

#include "ui/compare_controller.h"
#include "ui/find_controller.h"
#include "ui/game_folder_controller.h"
#include "ui/navigation_controller.h"
#include "ui/window_commands.h"

class FindBar;
class FolderResultsPanel;
class PathBar;
class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QModelIndex;
class QToolBar;
class QTreeView;
class QWidget;

class Navigation final : public QObject {
    Q_OBJECT

public:
    Navigation(QMainWindow* window, QTreeView* tree, QTreeView* list);
    ~Navigation() override;

    // One menu of ui/window_commands.h's table, appended to the menu bar
    // where called.
    void AddMenu(QMenuBar* bar, WindowMenu menu);
    // The table's rows of `which` appended to a menu the window made (文件).
    void AddCommands(QMenu* menu, WindowMenu which);
    // The widget 查看 → 预览 shows and hides.
    void SetPreview(QWidget* preview);
    // Once the document's tree is shown.
    void DocumentShown();

    NavigationController& Controller() { return controller_; }
    FindController& FindLogic() { return find_; }
    GameFolderController& Folder() { return folder_; }
    CompareController& Compare() { return compare_; }
    // The results list, for the window to place below the panes.
    FolderResultsPanel* Results() const;
    // 在文件夹中查找: the find bar's query over the folder's files; with
    // no text, the find bar opens to take one.
    void FindInFolder();
    QAction* FindInFolderAction() const { return actions_[kFindInFolderCommand]; }
    // The actions that depend on the history or on an open document.
    void UpdateActions();
    // Shows the place and makes it a step of the history.
    bool GoTo(const ViewPosition& position);
    // Resolves and shows a typed path; the error text when it names nothing.
    QString GoToPath(const QString& text);
    void Back();
    void Forward();
    const NavigationHistory& History() const { return controller_.History(); }

    // The row's context menu, for the row at `row` (-1: none) of the list.
    QMenu* RowMenu(int row, QWidget* parent);
    QMenu* TreeMenu(const QModelIndex& index, QWidget* parent);
    // The links that point at `node`, one entry per link with its path.
    QMenu* ReferencesMenu(const MarshalNode* node, QWidget* parent);

    FindBar* Find() const { return findBar_; }
    PathBar* Path() const { return pathBar_; }
    void ShowFindBar();
    void ShowPathBar();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Run(int command);

    QTreeView* list_;
    NavigationController controller_;
    FindController find_{controller_};
    GameFolderController folder_{controller_};
    CompareController compare_{controller_};
    QPointer<FolderResultsPanel> results_;
    FindBar* findBar_ = nullptr;
    PathBar* pathBar_ = nullptr;
    QToolBar* findToolBar_ = nullptr;
    QToolBar* pathToolBar_ = nullptr;
    QPointer<QWidget> preview_;
    QAction* actions_[kWindowCommandCount] = {};
};
