#include "ui/qt/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHeaderView>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeView>
#include <QUrl>

#include "ui/handlers.h"
#include "ui/panes.h"
#include "ui/viewer.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/folder_results_panel.h"
#include "ui/qt/load_runner.h"
#include "ui/qt/navigation.h"
#include "ui/qt/pane_area.h"
#include "ui/qt/preview_pane.h"
#include "ui/qt/qt_panes.h"

namespace {

constexpr QSize kPaneIconSize(16, 16);

// Both panes are tree views: with uniform row heights a view lays out a
// million rows without asking each one for its size.
void SetUpTreePane(QTreeView* tree) {
    tree->setHeaderHidden(true);
    tree->setUniformRowHeights(true);
    tree->setIconSize(kPaneIconSize);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Long labels scroll sideways rather than being cut short.
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void SetUpListPane(QTreeView* list) {
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setIconSize(kPaneIconSize);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
}

QString LocalFileOf(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

}  // namespace

MainWindow::MainWindow() : treeModel_(images_), listModel_(images_) {
    setWindowTitle(QStringLiteral("Quarnix"));
    setWindowIcon(PaneImages::AppIcon());
    setAcceptDrops(true);
    resize(960, 640);

    tree_ = new QTreeView;
    tree_->setObjectName(QStringLiteral("tree"));
    tree_->setModel(&treeModel_);
    SetUpTreePane(tree_);
    list_ = new QTreeView;
    list_->setObjectName(QStringLiteral("list"));
    list_->setModel(&listModel_);
    SetUpListPane(list_);
    preview_ = new PreviewPane(tree_, &treeModel_, list_, &listModel_);
    listColumn_ = new QSplitter(Qt::Vertical);
    listColumn_->addWidget(list_);
    listColumn_->addWidget(preview_);
    listColumn_->setChildrenCollapsible(false);
    listColumn_->setSizes({380, 220});
    area_ = new PaneArea(tree_, listColumn_, this);
    body_ = new QSplitter(Qt::Vertical);
    body_->setObjectName(QStringLiteral("body"));
    body_->addWidget(area_);
    body_->setChildrenCollapsible(false);
    setCentralWidget(body_);
    statusBar();
    navigation_ = new Navigation(this, tree_, list_);
    body_->addWidget(navigation_->Results());
    body_->setStretchFactor(0, 3);
    body_->setStretchFactor(1, 1);
    // The list first takes a third of the height; later it keeps the
    // height the user gave it.
    connect(navigation_->Results(), &FolderResultsPanel::Opened, this, [this, first = true]() mutable {
        if (!first) return;
        first = false;
        const int height = body_->height() - body_->handleWidth();
        body_->setSizes({height - height / 3, height / 3});
    });
    preview_->FollowFind(navigation_->Find());
    // Names that arrive show in the preview at once.
    navigation_->Folder().namesChanged = [this] {
        if (preview_->isVisible()) preview_->Refresh();
    };
    BuildMenus();

    AttachPanes({this, tree_, &treeModel_, list_, &listModel_, statusBar(), &images_});
    RunLogic(InitViewer);
    loads_ = new LoadRunner(this, &treeModel_);
    connect(loads_, &LoadRunner::RunningChanged, this, &MainWindow::LoadRunning);
    connect(loads_, &LoadRunner::DocumentShown, navigation_, &Navigation::DocumentShown);
}

MainWindow::~MainWindow() {
    Shutdown();
    DetachPanes();
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(QStringLiteral("打开(&O)..."), this, &MainWindow::Open);
    navigation_->AddCommands(file, WindowMenu::kFile);
    file->addSeparator();
    file->addAction(QStringLiteral("退出(&E)"), this, &QWidget::close);
    navigation_->SetPreview(preview_);
    // A comparison shown or ended changes what the preview shows of the same row.
    navigation_->Compare().changed = [this, shown = std::move(navigation_->Compare().changed)] {
        if (shown) shown();
        preview_->ScheduleRefresh();
    };
    for (WindowMenu menu : {WindowMenu::kEdit, WindowMenu::kView, WindowMenu::kNavigate}) navigation_->AddMenu(menuBar(), menu);
    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->addAction(QStringLiteral("关于(&A)..."), this, [this] { ShowAboutDialog(this); });
}

// The dialog, then the open runs in the background: the menu's handler
// returns at once and the event loop goes on.
void MainWindow::Open() {
    if (!shutDown_) RunLogic(OpenCommand);
}

void MainWindow::StartOpen(const QString& path) {
    if (shutDown_) return;
    const std::u16string units = path.toStdU16String();
    loads_->Start(units.c_str());
}

void MainWindow::OpenFile(const QString& path) {
    StartOpen(path);
    WaitForLoad();
}

void MainWindow::WaitForLoad() {
    while (loads_->Running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void MainWindow::LoadRunning(bool running) {
    // While the document is being built nothing may read it: the panes and
    // every command but the 文件 menu's wait.  Actions get back the state
    // they had.
    centralWidget()->setEnabled(!running);
    if (running) {
        disabledForLoad_.clear();
        for (QAction* menu : menuBar()->actions()) {
            if (menu == menuBar()->actions().first()) continue;
            for (QAction* action : menu->menu()->actions()) {
                if (!action->isEnabled()) continue;
                action->setEnabled(false);
                disabledForLoad_.push_back(action);
            }
        }
        return;
    }
    for (QAction* action : disabledForLoad_) action->setEnabled(true);
    disabledForLoad_.clear();
    navigation_->UpdateActions();
}

void MainWindow::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    loads_->Stop();
    ShutdownViewer();
    // No item may outlive the released document it points into (the logic
    // empties the panes itself; emptying them again costs nothing).
    EmptyTreePane();
    ListDeleteAllRows();
}

bool MainWindow::event(QEvent* event) {
    // Hovering a menu sends status tips that would wipe the status bar's
    // path; the program has no status tips, so the path stays.
    if (event->type() == QEvent::StatusTip) return true;
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Shutdown();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFileOf(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = LocalFileOf(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    // Open once the drop is over, so the program the file came from is not
    // kept waiting during the load.
    QMetaObject::invokeMethod(this, [this, path] { OpenFile(path); }, Qt::QueuedConnection);
}
