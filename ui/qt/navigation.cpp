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
    SetActiveCompare(&compare_);
    compare_.changed = [this] { UpdateActions(); };
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
    WindowCommandHooks hooks;
    hooks.find = &find_;
    hooks.showFindBar = hooks.revealFindBar = [this] { ShowFindBar(); };
    hooks.showPathBar = [this] { ShowPathBar(); };
    hooks.togglePreview = [this] {
        if (preview_) preview_->setVisible(preview_->isHidden());
    };
    hooks.previewShown = [this] { return preview_ && !preview_->isHidden(); };
    SetWindowCommandHooks(std::move(hooks));
}

Navigation::~Navigation() {
    // The bars and the results list show this object's controllers: they go
    // first, whatever order the window deletes its children in.
    delete results_.data();
    delete findToolBar_;
    delete pathToolBar_;
    find_.Stop();
    SetActiveGameFolder(nullptr);
    SetActiveCompare(nullptr);
    compare_.changed = nullptr;
    folder_.namesChanged = nullptr;
    SetActiveNavigation(nullptr);
    controller_.historyChanged = nullptr;
    SetWindowCommandHooks({});
}

// MARK: menus

void Navigation::AddMenu(QMenuBar* bar, WindowMenu which) {
    AddCommands(bar->addMenu(QString::fromStdU16String(WindowMenuTitle(which))), which);
}

void Navigation::AddCommands(QMenu* menu, WindowMenu which) {
    static const int kKeys[] = {Qt::Key_C,    Qt::Key_F,     Qt::Key_L, Qt::Key_F3, Qt::Key_F4,
                                Qt::Key_Left, Qt::Key_Right, Qt::Key_D, Qt::Key_F8};
    for (int i = 0; i < kWindowCommandCount; ++i) {
        const WindowCommand& command = kWindowCommands[i];
        if (command.menu != which) continue;
        if (command.separatorBefore) menu->addSeparator();
        QAction* action = actions_[i] = menu->addAction(QString::fromStdU16String(command.label));
        if (command.key != CommandKey::kNone) {
            int key = kKeys[static_cast<int>(command.key)];
            if (command.modifiers & kKeyCtrl) key |= Qt::CTRL;
            if (command.modifiers & kKeyShift) key |= Qt::SHIFT;
            if (command.modifiers & kKeyAlt) key |= Qt::ALT;
            action->setShortcut(QKeySequence(key));
        }
        if (command.checked) action->setCheckable(true);
        if (i == kPreviewCommand) action->setObjectName(QStringLiteral("previewAction"));
        connect(action, &QAction::triggered, this, [this, i] { Run(i); });
    }
    UpdateActions();
}

void Navigation::SetPreview(QWidget* preview) {
    preview_ = preview;
    UpdateActions();
}

void Navigation::Run(int command) {
    FlushPanes();
    RunLogic([command] { RunWindowCommand(command); });
    UpdateActions();
}

void Navigation::ShowFindBar() {
    findToolBar_->show();
    findBar_->Field()->setFocus();
    findBar_->Field()->selectAll();
}

FolderResultsPanel* Navigation::Results() const { return results_; }

void Navigation::FindInFolder() { Run(kFindInFolderCommand); }

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
    for (int i = 0; i < kWindowCommandCount; ++i) {
        if (!actions_[i]) continue;
        actions_[i]->setEnabled(WindowCommandEnabled(i));
        if (actions_[i]->isCheckable()) actions_[i]->setChecked(WindowCommandChecked(i));
    }
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

void Navigation::Back() { Run(kBackCommand); }
void Navigation::Forward() { Run(kForwardCommand); }

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
