// The pane operations of ui/panes.h over the Qt widgets: the item models
// under Qt's model tester, the cost in model signals of filling the panes,
// the caret and selection kept in step between stores and views.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "tests/qt/test_support.h"
#include "ui/panes.h"
#include "ui/qt/main_window.h"
#include "ui/qt/pane_state.h"
#include "ui/qt/qt_panes.h"

namespace {

// Stand-ins for nodes: the panes only carry them, never look inside.
const MarshalNode* FakeNode(std::uintptr_t n) { return reinterpret_cast<const MarshalNode*>(n * 64); }

// A file of one array of `count` empty arrays: that many tree items, and as
// many list rows when the array is selected.
QString WriteWideFile(const QTemporaryDir& dir, int count) {
    QByteArray bytes("\x04\x08[");
    // Packed integer for count (at most 0xffffff): 3 then three bytes.
    bytes += '\x03';
    for (int shift = 0; shift < 24; shift += 8) bytes += static_cast<char>((count >> shift) & 0xff);
    for (int i = 0; i < count; ++i) bytes.append("[\0", 2);
    const QString path = dir.filePath(QStringLiteral("wide.rxdata"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

class PanesTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    MainWindow window;
};

// Qt's tester checks every signal and answer of both models while the
// logic builds, fills, refills and empties them.
TEST_F(PanesTest, ModelsPassQtsModelTester) {
    QAbstractItemModelTester treeTester(&window.Tree(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester listTester(&window.List(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char* name : {"y_composites.bin", "Map001.rxdata", "n_empty.bin", "y_two_dumps.bin"}) {
        SCOPED_TRACE(name);
        DialogAnswers answers;
        if (QByteArray(name).startsWith("n_")) answers.PressOk();
        window.OpenFile(DataFile(name));
        // Into every container of the file and back, through the logic.
        for (TreeItem item = TreeRootItem(); item;) {
            TreeSelectItem(item);
            TreeItem next = TreeChildItem(item);
            while (!next && item) {
                next = TreeNextItem(item);
                if (!next) item = TreeParentItem(item);
            }
            item = next;
        }
        for (int row = 0; row < window.List().rowCount(); ++row) ListSetRowSelected(row, true);
    }
    // Rows inserted between others, cells changed afterwards.
    ListDeleteAllRows();
    ListInsertRow(0, u"a", kImageValue, 0, FakeNode(1));
    ListInsertRow(1, u"c", kImageValue, 0, FakeNode(3));
    FlushPanes();
    ListInsertRow(1, u"b", kImageNumber, kLinkOverlay, FakeNode(2));
    ListSetCell(1, 2, u"value");
    FlushPanes();
    EXPECT_EQ(ListColumn(*window.ListView(), 0), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(ListColumn(*window.ListView(), 2), (QStringList{"", "value", ""}));
    EXPECT_EQ(ListFindRow(FakeNode(3)), 2);
}

// Filling the panes costs one reset or one insertion per command, however
// many items: a signal per item would make a million rows take minutes.
TEST_F(PanesTest, FillingTakesOneSignalNotOnePerItem) {
    QTemporaryDir dir;
    const QString path = WriteWideFile(dir, 20000);
    QSignalSpy treeResets(&window.Tree(), &QAbstractItemModel::modelReset);
    QSignalSpy treeInserts(&window.Tree(), &QAbstractItemModel::rowsInserted);
    window.OpenFile(path);
    EXPECT_EQ(window.Tree().Store().Size(), 20002u);
    EXPECT_EQ(treeInserts.count(), 0);
    EXPECT_LE(treeResets.count(), 2);  // emptied, then shown

    QSignalSpy listResets(&window.List(), &QAbstractItemModel::modelReset);
    QSignalSpy listInserts(&window.List(), &QAbstractItemModel::rowsInserted);
    QSignalSpy listChanges(&window.List(), &QAbstractItemModel::dataChanged);
    TreeSelectItem(TreeChildItem(TreeRootItem()));
    EXPECT_EQ(window.List().rowCount(), 20001);
    EXPECT_EQ(listResets.count(), 1);
    EXPECT_EQ(listInserts.count(), 1);
    EXPECT_EQ(listChanges.count(), 0);
    EXPECT_EQ(ListColumn(*window.ListView(), 1).at(1), QStringLiteral("数组"));
}

// Selecting a tree item reports before the call returns: the list already
// shows the item's children, and every collapsed ancestor is expanded.
TEST_F(PanesTest, TreeSelectionExpandsAncestorsAndReportsAtOnce) {
    window.OpenFile(DataFile("y_composites.bin"));
    TreeItem deepest = TreeRootItem();
    int depth = 0;
    for (TreeItem child; (child = TreeChildItem(deepest)); ++depth) deepest = child;
    ASSERT_GE(depth, 3);
    TreeSelectItem(deepest);
    EXPECT_EQ(TreeCaretItem(), deepest);
    EXPECT_EQ(ListRowNode(0), nullptr);  // its ".." row: the list was refilled
    EXPECT_EQ(window.ListView()->model()->index(0, 0).data().toString(), QStringLiteral(".."));
    const QModelIndex current = window.TreeView()->currentIndex();
    EXPECT_EQ(TreeModel::IdOf(current), window.Tree().Store().Caret());
    for (QModelIndex up = current.parent(); up.isValid(); up = up.parent())
        EXPECT_TRUE(window.TreeView()->isExpanded(up));

    // Emptying the tree reports nothing: the list and status bar stay.
    const QStringList rows = ListColumn(*window.ListView(), 0);
    const QString status = StatusText(window);
    TreeDeleteAllItems();
    EXPECT_EQ(TreeCaretItem(), nullptr);
    EXPECT_EQ(ListColumn(*window.ListView(), 0), rows);
    EXPECT_EQ(StatusText(window), status);
}

// The list's selected rows live in the store and in the view's selection
// model alike, whichever side changed them, without moving the focus mark.
TEST_F(PanesTest, RowSelectionStaysInStepBetweenStoreAndView) {
    window.OpenFile(DataFile("y_scalars.bin"));
    TreeSelectItem(TreeChildItem(TreeRootItem()));
    QTreeView& list = *window.ListView();
    QItemSelectionModel& view = *list.selectionModel();
    const int rows = list.model()->rowCount();
    ASSERT_GT(rows, 10);
    list.setCurrentIndex(list.model()->index(5, 0));
    view.clearSelection();
    ASSERT_EQ(ListSelectedCount(), 0);

    struct Case {
        const char* name;
        std::function<void()> change;
        std::vector<int> selected;
    } cases[] = {
        {"the logic selects a row", [] { ListSetRowSelected(3, true); }, {3}},
        {"and another", [] { ListSetRowSelected(7, true); }, {3, 7}},
        {"and clears one", [] { ListSetRowSelected(3, false); }, {7}},
        {"the user clicks a row",
         [&] { view.select(list.model()->index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows); },
         {2}},
        {"the user adds a range",
         [&] {
             view.select(QItemSelection(list.model()->index(8, 0), list.model()->index(10, 0)),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
         },
         {2, 8, 9, 10}},
        {"the user deselects everything", [&] { view.clearSelection(); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        std::vector<int> inStore, inView;
        for (int row = ListNextSelectedRow(-1); row >= 0; row = ListNextSelectedRow(row)) inStore.push_back(row);
        for (int row = 0; row < rows; ++row)
            if (view.isRowSelected(row, {})) inView.push_back(row);
        EXPECT_EQ(inStore, c.selected);
        EXPECT_EQ(inView, c.selected);
        EXPECT_EQ(ListSelectedCount(), static_cast<int>(c.selected.size()));
        EXPECT_EQ(list.currentIndex().row(), 5);
    }

    // Select-all: one batch, counted in the status bar.
    list.selectAll();
    EXPECT_EQ(ListSelectedCount(), rows);
    EXPECT_EQ(StatusText(window), QStringLiteral("选中了%1个项目。").arg(rows));
}

// Adding items below a tree the view already shows hides it until the next
// flush, which brings back every expanded item and the caret.
TEST_F(PanesTest, AddingToAShownTreeKeepsExpansionAndCaret) {
    QAbstractItemModelTester tester(&window.Tree(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    window.OpenFile(QtDataFile("walk.rxdata"));
    TreeItem data0 = TreeChildItem(TreeRootItem());
    TreeItem inner = TreeChildItem(data0);
    TreeSelectItem(inner);  // expands data0
    TreeSelectItem(TreeRootItem());
    const QString status = StatusText(window);

    TreeItem added = TreeInsertItem(data0, u"added", kImageContainer, FakeNode(7));
    EXPECT_EQ(window.TreeView()->model()->rowCount(), 0);  // hidden until the flush
    FlushPanes();
    EXPECT_EQ(TreeParentItem(added), data0);
    EXPECT_EQ(TreeCaretItem(), TreeRootItem());
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("walk.rxdata"));
    const QModelIndex data0Index = window.Tree().IndexOf(IdOfItem(data0));
    EXPECT_TRUE(window.TreeView()->isExpanded(data0Index));
    EXPECT_EQ(window.Tree().rowCount(data0Index), 2);
    EXPECT_EQ(StatusText(window), status);  // putting the caret back is no change
}

TEST(FileDisplayInfo, NameIsCutToTheBufferAndTerminated) {
    QTemporaryDir dir;
    const QString chinese = dir.filePath(QStringLiteral("地图.rxdata"));
    QFile(chinese).open(QIODevice::WriteOnly);
    struct Case {
        QString path;
        int size;
        const char16_t* name;
    } cases[] = {
        {DataFile("Map001.rxdata"), 260, u"Map001.rxdata"},
        {DataFile("Map001.rxdata"), 7, u"Map001"},
        {DataFile("Map001.rxdata"), 1, u""},
        {chinese, 260, u"地图.rxdata"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char16_t name[261];
        std::fill(std::begin(name), std::end(name), u'#');
        FileIcon icon = nullptr;
        GetFileDisplayInfo(c.path.toStdU16String().c_str(), name, c.size, &icon);
        EXPECT_EQ(std::u16string(name), std::u16string(c.name));
        EXPECT_EQ(name[c.size], u'#');  // nothing written past the buffer
        EXPECT_NE(icon, nullptr);
        DestroyFileIcon(icon);
    }
}

TEST(OpenDialog, APathLongerThanTheBufferIsRefused) {
    const QString path = DataFile("Map001.rxdata");
    struct Case {
        int size;
        bool chosen;
    } cases[] = {{static_cast<int>(path.size()) + 1, true}, {static_cast<int>(path.size()), false}, {1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        DialogAnswers answers;
        answers.ChooseFile(path);
        std::vector<char16_t> buffer(static_cast<std::size_t>(c.size) + 1, u'#');
        EXPECT_EQ(ShowOpenDialog(buffer.data(), c.size), c.chosen);
        if (c.chosen) {
            EXPECT_EQ(QString::fromUtf16(buffer.data()), path);
        }
        EXPECT_EQ(buffer.back(), u'#');
    }
}

TEST(Busy, WaitCursorWhileBusyAndBalanced) {
    SetBusy(false);  // unbalanced: nothing to restore
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    SetBusy(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
