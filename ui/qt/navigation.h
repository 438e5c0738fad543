// Find, go to path, copy, back and forward, and the links that refer to a
// value, in the Qt window: the 编辑 and 导航 menus, the find and path bars
// under the panes, the context menus of both panes and the mouse's back and
// forward buttons.  The logic lives in present/ and ui/; this puts it on
// screen.
#pragma once
#include <QObject>
#include <atomic>
#include <future>
#include <memory>

#include "present/holder_index.h"
#include "present/reference_index.h"
#include "ui/history.h"

class FindBar;
class MainWindow;
class PathBar;
class QAction;
class QMenu;
class QMenuBar;
class QPoint;
class QToolBar;

class Navigation final : public QObject {
    Q_OBJECT

public:
    explicit Navigation(MainWindow& window);
    ~Navigation() override;

    // "编辑(&E)" and "导航(&N)", appended to the menu bar where called.
    void AddEditMenu(QMenuBar* bar);
    void AddNavigateMenu(QMenuBar* bar);
    // Before the document is released: the search and the index's building
    // stop, the indexes and the history go.
    void DocumentClosing();
    // Once the tree is shown: the holder index is built on a worker, so the
    // first search or path finds it ready.
    void DocumentShown();

    // The document's holder index; waits for its building (or builds it).
    const HolderIndex& Holders();
    // The same for a worker thread to wait on, without holding the window.
    std::shared_future<std::shared_ptr<const HolderIndex>> HoldersFuture();
    const ReferenceIndex& References();

    // Shows the place and makes it a step of the history.
    bool GoTo(const ViewPosition& position);
    // Resolves and shows a typed path; the error text when it names nothing.
    QString GoToPath(const QString& text);
    void Back();
    void Forward();
    const NavigationHistory& History() const { return history_; }

    void CopyRows();
    void CopyPath();
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
    // A move that is a step of its own (a new container, an activation, a
    // find hit, a path); ScheduleSettle alone only notes a new row.
    void ScheduleRecord();
    void ScheduleSettle();
    void UpdateActions();
    void ShowRestored(const ViewPosition& position);
    void AddReferencesEntry(QMenu* menu, const MarshalNode* node);

    MainWindow& window_;
    std::shared_future<std::shared_ptr<const HolderIndex>> holders_;
    std::shared_ptr<std::atomic<bool>> holdersCancel_;
    std::unique_ptr<ReferenceIndex> references_;
    NavigationHistory history_;
    bool settlePending_ = false;
    bool stepPending_ = false;
    FindBar* findBar_ = nullptr;
    PathBar* pathBar_ = nullptr;
    QToolBar* findToolBar_ = nullptr;
    QToolBar* pathToolBar_ = nullptr;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
};
