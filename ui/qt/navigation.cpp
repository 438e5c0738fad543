#include "ui/qt/navigation.h"

#include <QAction>
#include <QCursor>
#include <QKeySequence>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolBar>
#include <QTreeView>

#include "ui/nav_panes.h"
#include "ui/qt/entry_menu.h"
#include "ui/qt/find_bar.h"
#include "ui/qt/folder_results_panel.h"
#include "ui/qt/pane_state.h"
#include "ui/qt/path_bar.h"
#include "ui/qt/tree_model.h"

namespace {
QToolBar* BottomBar(QMainWindow* window, QWidget* content, const QString& name) {
    auto* bar = new QToolBar(name, window);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->addWidget(content);
    // Each bar takes a row of its own under the panes.
    window->addToolBarBreak(Qt::BottomToolBarArea);
    window->addToolBar(Qt::BottomToolBarArea, bar);
    bar->hide();
    return bar;
}
}  // namespace

Navigation::Navigation(QMainWindow* window, QTreeView* tree, QTreeView* list) : QObject(window), list_(list) {
    SetActiveNavigation(&controller_);
    SetActiveGameFolder(&folder_);
    controller_.historyChanged = [this] { UpdateActions(); };
    controller_.showReferences = [this](const MarshalNode* node) {
        ReferencesMenu(node, list_)->popup(QCursor::pos());
    };
    findBar_ = new FindBar(find_);
    findToolBar_ = BottomBar(window, findBar_, QStringLiteral("findBar"));
    connect(findBar_, &FindBar::CloseRequested, this, [this] {
        findBar_->Stop();
        findToolBar_->hide();
        list_->setFocus();
    });
    connect(findBar_, &FindBar::FindInFolderRequested, this, &Navigation::FindInFolder);
    pathBar_ = new PathBar(controller_);
    pathToolBar_ = BottomBar(window, pathBar_, QStringLiteral("pathBar"));
    connect(pathBar_, &PathBar::CloseRequested, this, [this] {
        pathToolBar_->hide();
        list_->setFocus();
    });
    results_ = new FolderResultsPanel(folder_);
    results_->hide();

    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& pos) {
        const QModelIndex index = list->indexAt(pos);
        RowMenu(index.isValid() ? index.row() : -1, list)->popup(list->viewport()->mapToGlobal(pos));
    });
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree, &QWidget::customContextMenuRequested, this, [this, tree](const QPoint& pos) {
        const QModelIndex index = tree->indexAt(pos);
        if (index.isValid()) TreeMenu(index, tree)->popup(tree->viewport()->mapToGlobal(pos));
    });
    for (QObject* watched : {static_cast<QObject*>(window), static_cast<QObject*>(tree->viewport()),
                             static_cast<QObject*>(list->viewport())})
        watched->installEventFilter(this);
}

Navigation::~Navigation() {
    // The bars and the results list show this object's controllers: they go
    // first, whatever order the window deletes its children in.
    delete results_.data();
    delete findToolBar_;
    delete pathToolBar_;
    find_.Stop();
    SetActiveGameFolder(nullptr);
    folder_.namesChanged = nullptr;
    SetActiveNavigation(nullptr);
    controller_.historyChanged = nullptr;
}

// MARK: menus

void Navigation::AddEditMenu(QMenuBar* bar) {
    QMenu* edit = bar->addMenu(QStringLiteral("编辑(&E)"));
    QAction* copy = edit->addAction(QStringLiteral("复制(&C)"), this, &Navigation::CopyRows);
    copy->setShortcut(QKeySequence::Copy);
    QAction* copyPath = edit->addAction(QStringLiteral("复制路径(&P)"), this, &Navigation::CopyPath);
    copyPath->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    edit->addSeparator();
    QAction* find = edit->addAction(QStringLiteral("查找(&F)..."), this, &Navigation::ShowFindBar);
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    QAction* next = edit->addAction(QStringLiteral("查找下一个(&N)"), this, [this] {
        ShowFindBar();
        findBar_->Next();
    });
    next->setShortcut(QKeySequence(Qt::Key_F3));
    QAction* previous = edit->addAction(QStringLiteral("查找上一个(&V)"), this, [this] {
        ShowFindBar();
        findBar_->Previous();
    });
    previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    edit->addSeparator();
    QAction* path = edit->addAction(QStringLiteral("转到路径(&G)..."), this, &Navigation::ShowPathBar);
    path->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    edit->addSeparator();
    findInFolder_ = edit->addAction(QStringLiteral("在文件夹中查找(&I)..."), this, &Navigation::FindInFolder);
    findInFolder_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    UpdateActions();
}

void Navigation::AddNavigateMenu(QMenuBar* bar) {
    QMenu* navigate = bar->addMenu(QStringLiteral("导航(&N)"));
    back_ = navigate->addAction(QStringLiteral("后退(&B)"), this, &Navigation::Back);
    back_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    forward_ = navigate->addAction(QStringLiteral("前进(&F)"), this, &Navigation::Forward);
    forward_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    UpdateActions();
}

void Navigation::ShowFindBar() {
    findToolBar_->show();
    findBar_->Field()->setFocus();
    findBar_->Field()->selectAll();
}

FolderResultsPanel* Navigation::Results() const { return results_; }

void Navigation::FindInFolder() {
    if (folder_.Folder().empty()) return;
    if (findBar_->Field()->text().isEmpty()) {
        ShowFindBar();
        return;
    }
    RunLogic([this] { folder_.FindInFolder(find_.Query()); });
}

void Navigation::ShowPathBar() {
    pathBar_->Prepare(QString::fromStdU16String(NavigationController::CurrentPathText()));
    pathToolBar_->show();
    pathBar_->Field()->setFocus();
}

// MARK: document, moves and history

void Navigation::DocumentShown() {
    controller_.DocumentShown();
    // The game folder learns of the document just after this: its actions
    // are enabled once it has.
    QMetaObject::invokeMethod(this, &Navigation::UpdateActions, Qt::QueuedConnection);
}

void Navigation::UpdateActions() {
    if (back_) back_->setEnabled(controller_.History().CanGoBack());
    if (forward_) forward_->setEnabled(controller_.History().CanGoForward());
    if (findInFolder_) findInFolder_->setEnabled(!folder_.Folder().empty());
}

bool Navigation::GoTo(const ViewPosition& position) {
    bool shown = false;
    RunLogic([&] { shown = controller_.GoTo(position); });
    return shown;
}

QString Navigation::GoToPath(const QString& text) {
    std::u16string error;
    RunLogic([&] { error = controller_.GoToPath(text.toStdU16String()); });
    return QString::fromStdU16String(error);
}

void Navigation::Back() { RunLogic([this] { controller_.Back(); }); }
void Navigation::Forward() { RunLogic([this] { controller_.Forward(); }); }

bool Navigation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::BackButton) {
            Back();
            return true;
        }
        if (mouse->button() == Qt::ForwardButton) {
            Forward();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

// MARK: copy and context menus

void Navigation::CopyRows() {
    FlushPanes();
    const std::u16string text = NavigationController::SelectedRowsText();
    if (!text.empty()) ClipboardSetText(text);
}

void Navigation::CopyPath() { ClipboardSetText(NavigationController::CurrentPathText()); }

QMenu* Navigation::RowMenu(int row, QWidget* parent) {
    FlushPanes();
    return EntryMenu(controller_.RowMenu(row), parent);
}

QMenu* Navigation::TreeMenu(const QModelIndex& index, QWidget* parent) {
    FlushPanes();
    const TreeStore::Id id = TreeModel::IdOf(index);
    return EntryMenu(controller_.TreeMenu(id ? ItemOf(id) : nullptr), parent);
}

QMenu* Navigation::ReferencesMenu(const MarshalNode* node, QWidget* parent) {
    QMenu* menu = EntryMenu(controller_.ReferencesMenu(node), parent);
    menu->setObjectName(QStringLiteral("references"));
    return menu;
}
