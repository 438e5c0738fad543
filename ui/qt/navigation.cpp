#include "ui/qt/navigation.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolBar>
#include <QTreeView>
#include <cstdlib>

#include "marshal/load.h"
#include "present/access_path.h"
#include "present/path_parse.h"
#include "ui/copy_text.h"
#include "ui/navigate.h"
#include "ui/panes.h"
#include "ui/qt/find_bar.h"
#include "ui/qt/list_model.h"
#include "ui/qt/main_window.h"
#include "ui/qt/pane_state.h"
#include "ui/qt/path_bar.h"
#include "ui/qt/qt_panes.h"
#include "ui/qt/tree_model.h"

namespace {
constexpr int kMaxListedReferences = 500;

QString FromPath(char16_t* path) {
    QString text = path ? QString::fromUtf16(path) : QString();
    std::free(path);
    return text;
}

QToolBar* BottomBar(MainWindow& window, QWidget* content, const QString& name) {
    auto* bar = new QToolBar(name, &window);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->addWidget(content);
    // Each bar takes a row of its own under the panes.
    window.addToolBarBreak(Qt::BottomToolBarArea);
    window.addToolBar(Qt::BottomToolBarArea, bar);
    bar->hide();
    return bar;
}

std::vector<int> SelectedRows() {
    std::vector<int> rows;
    for (int r = ListNextSelectedRow(-1); r >= 0; r = ListNextSelectedRow(r)) rows.push_back(r);
    return rows;
}

void PutOnClipboard(const std::u16string& text) { QApplication::clipboard()->setText(QString::fromStdU16String(text)); }

// The path the status bar shows for the one selected row (".." stands for
// the parent), or for the current item.
QString CurrentPathText() {
    const int row = ListSelectedCount() == 1 ? ListNextSelectedRow(-1) : -1;
    const MarshalNode* node = row >= 0 ? ListRowNode(row) : nullptr;
    return FromPath(BuildAccessPath(TreeCaretItem(), node, row >= 0 && !node ? 1 : 0));
}
}  // namespace

Navigation::Navigation(MainWindow& window) : QObject(&window), window_(window) {
    findBar_ = new FindBar(*this);
    findToolBar_ = BottomBar(window, findBar_, QStringLiteral("findBar"));
    connect(findBar_, &FindBar::CloseRequested, this, [this] {
        findBar_->Stop();
        findToolBar_->hide();
        window_.ListView()->setFocus();
    });
    pathBar_ = new PathBar(*this);
    pathToolBar_ = BottomBar(window, pathBar_, QStringLiteral("pathBar"));
    connect(pathBar_, &PathBar::CloseRequested, this, [this] {
        pathToolBar_->hide();
        window_.ListView()->setFocus();
    });

    // Every move the user makes ends in a new current item or an activated
    // row; the place reached is recorded once things have settled.
    QTreeView* tree = window.TreeView();
    QTreeView* list = window.ListView();
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &Navigation::ScheduleRecord);
    connect(list, &QAbstractItemView::activated, this, &Navigation::ScheduleRecord);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &Navigation::ScheduleSettle);

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
    for (QObject* watched : {static_cast<QObject*>(&window), static_cast<QObject*>(tree->viewport()),
                             static_cast<QObject*>(list->viewport())})
        watched->installEventFilter(this);
}

Navigation::~Navigation() { findBar_->Stop(); }

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

void Navigation::ShowPathBar() {
    pathBar_->Prepare(CurrentPathText());
    pathToolBar_->show();
    pathBar_->Field()->setFocus();
}

// MARK: document and indexes

void Navigation::DocumentClosing() {
    if (holdersCancel_) holdersCancel_->store(true);
    findBar_->Stop();  // a search waiting for the index gets it empty, then stops
    if (holders_.valid()) holders_.wait();  // it reads the document about to go
    holders_ = {};
    holdersCancel_.reset();
    references_.reset();
    history_.Clear();
    settlePending_ = stepPending_ = false;
    UpdateActions();
}

void Navigation::DocumentShown() { HoldersFuture(); }

std::shared_future<std::shared_ptr<const HolderIndex>> Navigation::HoldersFuture() {
    if (!holders_.valid()) {
        holdersCancel_ = std::make_shared<std::atomic<bool>>(false);
        holders_ = std::async(std::launch::async, [cancel = holdersCancel_] {
            auto built = std::make_shared<HolderIndex>();
            built->Build(&DocumentRoot, cancel.get());  // empty when memory runs out: nothing is located
            return std::shared_ptr<const HolderIndex>(std::move(built));
        }).share();
    }
    return holders_;
}

const HolderIndex& Navigation::Holders() { return *HoldersFuture().get(); }

const ReferenceIndex& Navigation::References() {
    if (!references_) {
        references_ = std::make_unique<ReferenceIndex>();
        references_->Build(&DocumentRoot);
    }
    return *references_;
}

// MARK: moving and history

void Navigation::ScheduleRecord() {
    stepPending_ = true;
    ScheduleSettle();
}

// Runs once things have settled, after everything a move changed.
void Navigation::ScheduleSettle() {
    if (settlePending_) return;
    settlePending_ = true;
    QMetaObject::invokeMethod(this, [this] {
        if (!settlePending_) return;
        settlePending_ = false;
        const ViewPosition here = CurrentPosition();
        const ViewPosition* current = history_.Current();
        if (here.container) {
            if (stepPending_ || !current || current->container != here.container) history_.Record(here);
            else history_.ReplaceCurrent(here);
        }
        stepPending_ = false;
        UpdateActions();
    }, Qt::QueuedConnection);
}

void Navigation::UpdateActions() {
    if (back_) back_->setEnabled(history_.CanGoBack());
    if (forward_) forward_->setEnabled(history_.CanGoForward());
}

bool Navigation::GoTo(const ViewPosition& position) {
    bool shown = ShowPosition(Holders(), position);
    FlushPanes();
    if (shown) ScheduleRecord();
    return shown;
}

QString Navigation::GoToPath(const QString& text) {
    PathTarget target;
    if (!ResolveAccessPath(text.toStdU16String(), &DocumentRoot, target)) return QString::fromStdU16String(target.error);
    GoTo(target.holder ? ViewPosition{target.holder, target.node} : ViewPosition{target.node, nullptr});
    return {};
}

void Navigation::ShowRestored(const ViewPosition& position) {
    ShowPosition(Holders(), position);
    FlushPanes();
    settlePending_ = stepPending_ = false;  // a step through the history is no new step
    UpdateActions();
}

void Navigation::Back() {
    if (history_.CanGoBack()) ShowRestored(history_.Back());
}

void Navigation::Forward() {
    if (history_.CanGoForward()) ShowRestored(history_.Forward());
}

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
    std::vector<int> rows = SelectedRows();
    if (!rows.empty()) PutOnClipboard(RowsAsText(window_.List().Store(), rows));
}

void Navigation::CopyPath() { QApplication::clipboard()->setText(CurrentPathText()); }

QMenu* Navigation::RowMenu(int row, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const ListStore& store = window_.List().Store();
    const MarshalNode* node = row >= 0 ? store.At(row).node : nullptr;
    if (!node) {
        menu->addAction(QStringLiteral("复制路径"), this, &Navigation::CopyPath);
        return menu;
    }
    menu->addAction(QStringLiteral("复制名称"), this, [&store, row] { PutOnClipboard(CellText(store, row, 0)); });
    menu->addAction(QStringLiteral("复制值"), this, [&store, row] { PutOnClipboard(CellText(store, row, 2)); });
    menu->addAction(QStringLiteral("复制路径"), this, [node] {
        QApplication::clipboard()->setText(FromPath(BuildAccessPath(TreeCaretItem(), node, 0)));
    });
    menu->addAction(QStringLiteral("复制行"), this, [&store, row] {
        std::vector<int> rows = SelectedRows();
        if (std::find(rows.begin(), rows.end(), row) == rows.end()) rows = {row};
        PutOnClipboard(RowsAsText(store, rows));
    });
    menu->addSeparator();
    // A link row stands for what it points at.
    AddReferencesEntry(menu, node->type == '@' && node->data.target ? node->data.target : node);
    return menu;
}

QMenu* Navigation::TreeMenu(const QModelIndex& index, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const TreeStore::Id id = TreeModel::IdOf(index);
    const TreeStore& store = window_.Tree().Store();
    if (!store.Valid(id)) return menu;
    const MarshalNode* node = store.At(id).node;
    menu->addAction(QStringLiteral("复制路径"), this, [id] {
        QApplication::clipboard()->setText(FromPath(BuildAccessPath(ItemOf(id), nullptr, 0)));
    });
    if (node != &DocumentRoot) {
        menu->addSeparator();
        AddReferencesEntry(menu, node);
    }
    return menu;
}

void Navigation::AddReferencesEntry(QMenu* menu, const MarshalNode* node) {
    const std::size_t count = References().LinksTo(node).size();
    QAction* action = menu->addAction(QStringLiteral("被引用 %1 次").arg(count));
    action->setEnabled(count > 0);
    connect(action, &QAction::triggered, this, [this, node] {
        ReferencesMenu(node, window_.ListView())->popup(QCursor::pos());
    });
}

QMenu* Navigation::ReferencesMenu(const MarshalNode* node, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("references"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto links = References().LinksTo(node);
    const HolderIndex& holders = Holders();
    menu->addAction(QStringLiteral("被引用 %1 次").arg(links.size()))->setEnabled(false);
    menu->addSeparator();
    int listed = 0;
    for (const MarshalNode* link : links) {
        if (listed++ == kMaxListedReferences) {
            menu->addAction(QStringLiteral("…还有 %1 个").arg(links.size() - kMaxListedReferences))->setEnabled(false);
            break;
        }
        std::u16string path;
        holders.AppendPath(path, link);
        const MarshalNode* holder = holders.Holder(link);
        menu->addAction(QString::fromStdU16String(path), this, [this, holder, link] { GoTo({holder, link}); });
    }
    return menu;
}
