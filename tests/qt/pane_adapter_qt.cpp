// The contract suites over the Qt panes: a real main window, offscreen, in
// this process.  Everything is read back from the views and their models as
// a user would see it; clicks are mouse clicks on the list's rows, and the
// Open dialog and message boxes are the real ones, answered in place of
// their modal loops.
#include <QApplication>
#include <QAbstractButton>
#include <QClipboard>
#include <QColor>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>

#include "game/names_read.h"
#include "tests/pane_adapter.h"
#include "ui/game_folder_controller.h"
#include "ui/open_sequence.h"
#include "ui/qt/find_bar.h"
#include "ui/qt/folder_results_panel.h"
#include "ui/qt/navigation.h"
#include "ui/qt/main_window.h"
#include "ui/qt/modal.h"
#include "ui/qt/qt_panes.h"

namespace {

struct Session {
    std::unique_ptr<MainWindow> window;
    std::vector<SeenMessage> messages;
    std::vector<std::u16string> openAnswers;
};
Session g_session;

MainWindow& Window() { return *g_session.window; }

// The tests call the viewer's logic directly, where the window would go
// through RunLogic: show the views what the logic added before reading them.
void Flush() {
    FlushPanes();
    QCoreApplication::processEvents();
}

// The Open dialog gets the queued path as if typed and accepts it through
// its own accept().  That one does not return a folder (it goes into it):
// a queued folder is returned all the same, as the other front ends' dialogs
// return whatever they are told to.
int AnswerOpen(QFileDialog& dialog) {
    if (g_session.openAnswers.empty()) {
        dialog.reject();
        return dialog.result();
    }
    const QString path = QString::fromStdU16String(g_session.openAnswers.front());
    g_session.openAnswers.erase(g_session.openAnswers.begin());
    dialog.selectFile(path);
    static_cast<QDialog&>(dialog).accept();
    if (dialog.result() != QDialog::Accepted) {
        dialog.selectFile(path);
        dialog.QDialog::done(QDialog::Accepted);
    }
    return dialog.result();
}

int AnswerMessage(QMessageBox& box) {
    // Message boxes are warnings or errors (ui/panes.h); anything else shows
    // as a warning the tests do not expect.
    g_session.messages.push_back(
        {box.text().toStdU16String(), box.icon() == QMessageBox::Critical ? MessageIcon::Error : MessageIcon::Warning});
    EXPECT_TRUE(box.icon() == QMessageBox::Critical || box.icon() == QMessageBox::Warning);
    box.button(QMessageBox::Ok)->click();
    return box.result();
}

int AnswerDialog(QDialog& dialog) {
    if (auto* files = qobject_cast<QFileDialog*>(&dialog)) return AnswerOpen(*files);
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) return AnswerMessage(*box);
    ADD_FAILURE() << "unexpected dialog " << dialog.metaObject()->className();
    return QDialog::Rejected;
}

// What an icon shows at the panes' size, for comparing two pictures.
QImage Pixels(const QIcon& icon) {
    return icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The image-list entry (image, overlay) that shows this picture; {-1, -1}
// when none does.
std::pair<int, int> ImageOf(const QVariant& decoration) {
    const QImage shown = Pixels(decoration.value<QIcon>());
    for (int overlay : {0, kLinkOverlay})
        for (int image = 0; image < PaneImages::Count(); ++image)
            if (Pixels(Window().Images().Icon(image, overlay)) == shown) return {image, overlay};
    return {-1, -1};
}

QModelIndex TreeIndex(TreeItem item) {
    Flush();
    return Window().Tree().IndexOf(static_cast<TreeStore::Id>(reinterpret_cast<std::uintptr_t>(item)));
}

std::size_t CountItems(const QAbstractItemModel& model, const QModelIndex& parent) {
    std::size_t count = 0;
    for (int row = 0; row < model.rowCount(parent); ++row) count += 1 + CountItems(model, model.index(row, 0, parent));
    return count;
}

QModelIndex ListIndex(int row, int column = 0) {
    Flush();
    return Window().ListView()->model()->index(row, column);
}

}  // namespace

void PanesStart() {
    g_session = Session{};
    SetModalAnswer(AnswerDialog);
    g_session.window = std::make_unique<MainWindow>();
    Window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
}

void PanesStop() {
    g_session.window.reset();
    SetModalAnswer({});
    g_session = Session{};
}

// The game folder's names and searches come from workers of their own:
// while one may still post, the window waits for it a little.
bool FolderWorkPending() {
    GameFolderController& folder = Window().Nav().Folder();
    return folder.Running() || (!folder.Folder().empty() && !folder.Names() && FolderHasDatabase(folder.Folder()));
}

void PanesRunEvents() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    if (FolderWorkPending()) QTest::qWait(5);
    Flush();
}
NavigationController& PanesNavigation() { return Window().Nav().Controller(); }
FindController& PanesFind() { return Window().Nav().FindLogic(); }
GameFolderController& PanesGameFolder() { return Window().Nav().Folder(); }

bool PanesResultsShown() {
    Flush();
    return Window().Nav().Results()->isVisible();
}

std::u16string PanesResultsHeading() {
    Flush();
    return Window().Nav().Results()->HeadingText().toStdU16String();
}

std::vector<std::u16string> PanesResultLines() {
    Flush();
    const QAbstractItemModel& model = *Window().Nav().Results()->Lines()->model();
    std::vector<std::u16string> lines;
    for (int row = 0; row < model.rowCount(); ++row)
        lines.push_back(model.index(row, 0).data(Qt::DisplayRole).toString().toStdU16String());
    return lines;
}

void PanesChooseResult(int line) {
    QListView* lines = Window().Nav().Results()->Lines();
    Flush();
    const QModelIndex index = lines->model()->index(line, 0);
    lines->scrollTo(index);
    const QRect cell = lines->visualRect(index);
    ASSERT_TRUE(cell.isValid()) << "line " << line << " is not shown";
    // What the mouse sends: press, release, double-click, release (QTest's
    // double-click alone has no press, and a view acts on no unpressed line).
    QTest::mouseClick(lines->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(lines->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseRelease(lines->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

void PanesFindInFolder(const std::u16string& text) {
    Window().Nav().Find()->Field()->setText(QString::fromStdU16String(text));
    Window().Nav().FindInFolderAction()->trigger();
    Flush();
}

std::u16string PanesClipboard() { return QApplication::clipboard()->text().toStdU16String(); }
void PanesWaitForOpen() {
    while (OpenSequenceRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    Flush();
}
void PanesQueueOpenAnswer(const std::u16string& path) { g_session.openAnswers.push_back(path); }
const std::vector<SeenMessage>& PanesMessages() { return g_session.messages; }

std::u16string PanesTitle() { return Window().windowTitle().toStdU16String(); }
std::u16string PanesStatus() {
    Flush();
    return Window().statusBar()->currentMessage().toStdU16String();
}

std::u16string PanesItemText(TreeItem item) {
    return TreeIndex(item).data(Qt::DisplayRole).toString().toStdU16String();
}

bool PanesItemExpanded(TreeItem item) {
    const QModelIndex index = TreeIndex(item);
    return index.isValid() && Window().TreeView()->isExpanded(index);
}

std::size_t PanesItemCount() {
    Flush();
    return CountItems(*Window().TreeView()->model(), {});
}

int PanesRowCount() {
    Flush();
    return Window().ListView()->model()->rowCount();
}

std::u16string PanesCell(int row, int column) {
    return ListIndex(row, column).data(Qt::DisplayRole).toString().toStdU16String();
}
int PanesRowImage(int row) { return ImageOf(ListIndex(row).data(Qt::DecorationRole)).first; }
int PanesRowOverlay(int row) { return ImageOf(ListIndex(row).data(Qt::DecorationRole)).second; }

namespace {
// The mark a cell is painted with, read back from its colours.
int MarkOf(const QModelIndex& index) {
    const QVariant text = index.data(Qt::ForegroundRole), back = index.data(Qt::BackgroundRole);
    if (text.isValid() && text.value<QColor>().rgb() == QColor::fromRgb(kMarkGreyText).rgb()) return kMarkRemoved;
    for (int mark : {kMarkChanged, kMarkAdded})
        if (back.isValid() && back.value<QColor>().rgb() == QColor::fromRgb(kMarkBackground[mark]).rgb()) return mark;
    return kMarkNone;
}
}  // namespace

int PanesItemMark(TreeItem item) { return MarkOf(TreeIndex(item)); }
int PanesRowMark(int row) { return MarkOf(ListIndex(row)); }

int PanesFocusedRow() {
    Flush();
    const QModelIndex current = Window().ListView()->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void PanesClickRow(int row, bool additive) {
    QTreeView* list = Window().ListView();
    const QModelIndex index = ListIndex(row);
    list->scrollTo(index);
    const QRect cell = list->visualRect(index);
    ASSERT_TRUE(cell.isValid()) << "row " << row << " is not shown";
    QTest::mouseClick(list->viewport(), Qt::LeftButton, additive ? Qt::ControlModifier : Qt::NoModifier,
                      cell.center());
}

bool PanesFileImageIs(FileIcon icon) {
    return icon && Pixels(Window().Images().Icon(kImageFile)) == Pixels(*static_cast<const QIcon*>(icon));
}

int PanesLiveIcons() { return -1; }
