// Find, go to path, copy, back and forward and "referenced by" in the
// window, driven through its shortcuts, bars and menus.
//
// walk.rxdata (tests/qt/data/make_walk.rb):
//   data0    = [1, inner, "a", <link to "shared">, <link to inner>]
//   data0[1] = inner = [2, 3, "shared"]
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/qt/test_support.h"
#include "ui/qt/find_bar.h"
#include "ui/qt/main_window.h"
#include "ui/qt/navigation.h"
#include "ui/panes.h"
#include "ui/qt/path_bar.h"

namespace {

class NavigationBarsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        window.activateWindow();
    }
    void Open(const QString& path) {
        window.OpenFile(path);
        Settle();
    }
    // Lets queued work (history steps, search batches) run.
    void Settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    void WaitForSearch() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Find().Searching(); }, 10000));
        Settle();
    }
    FindBar& Find() { return *window.Nav().Find(); }
    QTreeView& List() { return *window.ListView(); }
    QStringList Names() { return ListColumn(List(), 0); }
    int RowNamed(const QString& name) { return static_cast<int>(Names().indexOf(name)); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key(key), modifiers);
        Settle();
    }
    void SelectRows(std::initializer_list<QString> names) {
        List().setFocus();
        List().selectionModel()->clearSelection();
        for (const QString& name : names)
            List().selectionModel()->setCurrentIndex(List().model()->index(RowNamed(name), 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
        Settle();
    }
    void SelectTreeItem(std::initializer_list<int> rows) {
        QModelIndex index = window.TreeView()->model()->index(0, 0);
        for (int row : rows) index = window.TreeView()->model()->index(row, 0, index);
        window.TreeView()->setCurrentIndex(index);
        Settle();
    }
    void Activate(const QString& name) {
        SelectRows({name});
        QTest::keyClick(&List(), Qt::Key_Return);
        Settle();
    }
    QString Status() { return StatusText(window); }

    MainWindow window;
};

QStringList Items(const QMenu* menu) {
    QStringList items;
    for (const QAction* action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-")
                                        : action->text() + (action->shortcut().isEmpty() ? QString() : "\t" + action->shortcut().toString()));
    return items;
}

}  // namespace

TEST_F(NavigationBarsTest, MenusHoldTheCommandsWithTheirShortcuts) {
    QStringList titles;
    const QList<QAction*> bar = window.menuBar()->actions();
    for (const QAction* menu : bar) titles << menu->text();
    const qsizetype edit = titles.indexOf("编辑(&E)"), navigate = titles.indexOf("导航(&N)");
    ASSERT_EQ(edit, 1);  // right after 文件
    ASSERT_GT(navigate, edit);
    ASSERT_EQ(titles.last(), "帮助(&H)");
    EXPECT_EQ(Items(bar.at(edit)->menu()), (QStringList{"复制(&C)\tCtrl+C", "复制路径(&P)\tCtrl+Shift+C", "-",
                                                        "查找(&F)...\tCtrl+F", "查找下一个(&N)\tF3", "查找上一个(&V)\tShift+F3",
                                                        "-", "转到路径(&G)...\tCtrl+L", "-",
                                                        "在文件夹中查找(&I)...\tCtrl+Shift+F"}));
    EXPECT_EQ(Items(bar.at(navigate)->menu()), (QStringList{"后退(&B)\tAlt+Left", "前进(&F)\tAlt+Right", "-",
                                                            "下一处差异(&D)\tF8", "上一处差异(&R)\tShift+F8"}));
}

TEST_F(NavigationBarsTest, FindSelectsAHitDeepInACollapsedTreeAndSteps) {
    Open(DataFile("Map001.rxdata"));
    List().setFocus();
    Key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(Find().Field()->hasFocus());
    Find().Field()->setText(QStringLiteral("欢迎光临"));
    Key(Qt::Key_Return);  // starts at once; the first hit is shown when found
    WaitForSearch();
    EXPECT_EQ(Find().StatusText(), "第 1 个，共 9 个");
    EXPECT_EQ(CurrentTreeText(window), "parameters");
    EXPECT_EQ(Status(), "路径: data0.events.values[0].pages[0].list[0].parameters[0]");
    EXPECT_EQ(List().selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(List().currentIndex().row(), RowNamed("0"));
    Key(Qt::Key_F3);
    EXPECT_EQ(Find().StatusText(), "第 2 个，共 9 个");
    EXPECT_EQ(Status(), "路径: data0.events.values[0].pages[1].list[11].parameters[0]");
    Key(Qt::Key_Return, Qt::ShiftModifier);
    Key(Qt::Key_F3, Qt::ShiftModifier);  // wraps round to the last hit
    EXPECT_EQ(Find().StatusText(), "第 9 个，共 9 个");

    // Columns and case: "RPG::MAP" is found only without match case, and
    // not at all when only names are matched.
    Find().Field()->setText(QStringLiteral("RPG::MAP"));
    Find().Start();
    WaitForSearch();
    EXPECT_EQ(Find().StatusText(), "第 1 个，共 1 个");
    Find().CaseBox()->setChecked(true);
    Find().Start();
    WaitForSearch();
    EXPECT_EQ(Find().StatusText(), "未找到");
    Find().CaseBox()->setChecked(false);
    Find().ColumnBox(2)->setChecked(false);
    Find().Start();
    WaitForSearch();
    EXPECT_EQ(Find().StatusText(), "未找到");

    Key(Qt::Key_Escape);
    EXPECT_FALSE(Find().isVisible());
}

// A search that built the document's index finishes, then another file is
// opened before the window hears of it: the index of the released document
// must not be taken up.
TEST_F(NavigationBarsTest, ASearchOfTheLastDocumentLeavesNothingBehind) {
    Open(DataFile("Map001.rxdata"));
    Find().Field()->setText(QStringLiteral("RPG"));
    Find().Start();
    std::this_thread::sleep_for(std::chrono::seconds(2));  // the worker is done; its news waits
    window.OpenFile(QtDataFile("walk.rxdata"));
    Settle();
    EXPECT_EQ(window.Nav().GoToPath(QStringLiteral("data0[1][2]")), "");
    EXPECT_EQ(Status(), "路径: data0[1][2]");
    EXPECT_EQ(Find().HitCount(), 0);
}

TEST_F(NavigationBarsTest, GoToPathSelectsTheRowOrSaysWhatIsMissing) {
    Open(QtDataFile("walk.rxdata"));
    Key(Qt::Key_L, Qt::ControlModifier);
    PathBar& bar = *window.Nav().Path();
    ASSERT_TRUE(bar.Field()->hasFocus());
    bar.Field()->setText(QStringLiteral("路径: data0[1][2]"));
    Key(Qt::Key_Return);
    EXPECT_EQ(CurrentTreeText(window), "1");
    EXPECT_EQ(Status(), "路径: data0[1][2]");
    EXPECT_FALSE(bar.isVisible());

    Key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(bar.Field()->text(), "data0[1][2]");  // where the user is
    bar.Field()->setText(QStringLiteral("data0[1][7]"));
    Key(Qt::Key_Return);
    EXPECT_EQ(bar.ErrorText(), "data0[1] 没有 [7]");
    EXPECT_EQ(Status(), "路径: data0[1][2]");  // nothing changed
    EXPECT_TRUE(bar.isVisible());
}

TEST_F(NavigationBarsTest, CopyPutsWholeRowsNamesValuesAndPathsOnTheClipboard) {
    Open(QtDataFile("walk.rxdata"));
    SelectTreeItem({0});
    SelectRows({"1", "3"});
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "1\t数组\t\n3\t链接\tdata0[1][2]\n");
    SelectRows({"2"});
    Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "data0[2]");

    QMenu* menu = window.Nav().RowMenu(RowNamed("3"), &List());
    QStringList texts;
    for (QAction* action : menu->actions()) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(texts, (QStringList{"复制名称", "复制值", "复制路径", "复制行", "-", "被引用 1 次"}));
    const char* expected[] = {"3", "data0[1][2]", "data0[3]", "3\t链接\tdata0[1][2]\n"};
    for (int i = 0; i < 4; ++i) {
        menu->actions().at(i)->trigger();
        EXPECT_EQ(QApplication::clipboard()->text(), expected[i]) << i;
    }
    delete menu;
    QMenu* treeMenu = window.Nav().TreeMenu(window.TreeView()->currentIndex(), window.TreeView());
    treeMenu->actions().at(0)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "data0");
    delete treeMenu;
}

TEST_F(NavigationBarsTest, BackAndForwardRetraceAFollowedLink) {
    Open(QtDataFile("walk.rxdata"));
    SelectTreeItem({0});
    Activate("4");  // the link to inner
    ASSERT_EQ(CurrentTreeText(window), "1");
    List().setFocus();
    Key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(CurrentTreeText(window), "0");
    EXPECT_EQ(Status(), "路径: data0[4]");  // the link row, as it was left
    Key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(CurrentTreeText(window), "walk.rxdata");
    Key(Qt::Key_Right, Qt::AltModifier);
    Key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(CurrentTreeText(window), "1");
    // The mouse's back button, then a new move drops what lay ahead.
    QTest::mouseClick(List().viewport(), Qt::BackButton);
    Settle();
    EXPECT_EQ(CurrentTreeText(window), "0");
    Activate("1");
    EXPECT_FALSE(window.Nav().History().CanGoForward());
    // A new document starts a new history.
    Open(QtDataFile("walk.rxdata"));
    EXPECT_FALSE(window.Nav().History().CanGoBack());
}

TEST_F(NavigationBarsTest, ReferencedByListsTheLinksAndGoesToOne) {
    Open(QtDataFile("walk.rxdata"));
    SelectTreeItem({0, 0});  // inner
    QMenu* treeMenu = window.Nav().TreeMenu(window.TreeView()->currentIndex(), window.TreeView());
    EXPECT_EQ(treeMenu->actions().last()->text(), "被引用 1 次");
    delete treeMenu;
    const int row = RowNamed("2");  // "shared"
    QMenu* menu = window.Nav().RowMenu(row, &List());
    EXPECT_EQ(menu->actions().last()->text(), "被引用 1 次");
    EXPECT_TRUE(menu->actions().last()->isEnabled());
    delete menu;
    QMenu* popup = window.Nav().ReferencesMenu(ListRowNode(row), &List());
    ASSERT_EQ(popup->actions().size(), 3);  // a title, a line, then the links
    EXPECT_EQ(popup->actions().at(0)->text(), "被引用 1 次");
    EXPECT_EQ(popup->actions().at(2)->text(), "data0[3]");
    popup->actions().at(2)->trigger();
    Settle();
    EXPECT_EQ(CurrentTreeText(window), "0");
    EXPECT_EQ(Status(), "路径: data0[3]");
    delete popup;
    Key(Qt::Key_Left, Qt::AltModifier);  // the jump was a step of its own
    EXPECT_EQ(CurrentTreeText(window), "1");
}
