// One walk through a small file the way a user takes it: selecting rows,
// activating them with Enter, following links, going up through "..",
// selecting everything, clicking and collapsing tree items.  Rows are
// selected through the view's selection model and keys are sent straight
// to the list, so nothing depends on focus or on where rows are drawn.
//
// tests/qt/data/walk.rxdata (make_walk.rb):
//   data0    = [1, inner, "a", <link to "shared">, <link to inner>]
//   data0[1] = inner = [2, 3, "shared"]
#include <QCoreApplication>
#include <QIcon>
#include <QStatusTipEvent>
#include <QItemSelectionModel>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "tests/qt/test_support.h"
#include "ui/qt/main_window.h"

namespace {

class WalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        window.OpenFile(QtDataFile("walk.rxdata"));
    }

    QTreeView& List() { return *window.ListView(); }
    QTreeView& Tree() { return *window.TreeView(); }
    QStringList Names() { return ListColumn(List(), 0); }
    int RowNamed(const QString& name) { return static_cast<int>(Names().indexOf(name)); }

    // A click on the row: it becomes the only selected row and the focus.
    void Click(const QString& name) {
        const int row = RowNamed(name);
        ASSERT_GE(row, 0) << name.toStdString();
        List().selectionModel()->setCurrentIndex(List().model()->index(row, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    void PressEnter() { QTest::keyClick(&List(), Qt::Key_Return); }
    void Activate(const QString& name) {
        Click(name);
        PressEnter();
    }
    QStringList SelectedNames() {
        QStringList names;
        for (const QModelIndex& index : List().selectionModel()->selectedRows()) names << index.data().toString();
        names.sort();
        return names;
    }
    qint64 RowIcon(const QString& name) {
        return List().model()->index(RowNamed(name), 0).data(Qt::DecorationRole).value<QIcon>().cacheKey();
    }
    QModelIndex TreeIndex(std::initializer_list<int> rows) {
        QModelIndex index = Tree().model()->index(0, 0);
        for (int row : rows) index = Tree().model()->index(row, 0, index);
        return index;
    }

    MainWindow window;
};

TEST_F(WalkTest, OpensOnTheRootWithTheFilesValues) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("walk.rxdata - Quarnix"));
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("walk.rxdata"));
    EXPECT_TRUE(Tree().isExpanded(TreeIndex({})));
    EXPECT_EQ(Tree().model()->rowCount(TreeIndex({})), 1);
    EXPECT_FALSE(Tree().isExpanded(TreeIndex({0})));
    EXPECT_EQ(Names(), QStringList{"0"});
    EXPECT_EQ(StatusText(window), QString());
}

TEST_F(WalkTest, DescendsFollowsLinksAndGoesBackUp) {
    Activate("0");
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("0"));
    EXPECT_TRUE(Tree().isExpanded(TreeIndex({0})));
    EXPECT_EQ(Names(), (QStringList{"..", "1", "0", "2", "3", "4"}));
    EXPECT_EQ(ListColumn(List(), 2).at(RowNamed("3")), QStringLiteral("data0[1][2]"));
    EXPECT_EQ(ListColumn(List(), 2).at(RowNamed("4")), QStringLiteral("data0[1]"));
    EXPECT_EQ(StatusText(window), QStringLiteral("路径: data0"));
    // Link rows carry the overlay over the image of what they point to.
    EXPECT_EQ(RowIcon("3"), window.Images().Icon(kImageValue, kLinkOverlay).cacheKey());
    EXPECT_EQ(RowIcon("4"), window.Images().Icon(kImageContainer, kLinkOverlay).cacheKey());
    EXPECT_EQ(RowIcon("0"), window.Images().Icon(kImageNumber).cacheKey());

    Click("0");
    EXPECT_EQ(StatusText(window), QStringLiteral("路径: data0[0]"));

    // A link to a string in another array: that array, the string selected.
    Activate("3");
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("1"));
    EXPECT_EQ(Names(), (QStringList{"..", "0", "1", "2"}));
    EXPECT_EQ(SelectedNames(), QStringList{"2"});
    EXPECT_EQ(StatusText(window), QStringLiteral("路径: data0[1][2]"));

    // "..": the parent, with the row of the array just left selected.
    Click("..");
    EXPECT_EQ(StatusText(window), QStringLiteral("路径: data0"));
    PressEnter();
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("0"));
    EXPECT_EQ(SelectedNames(), QStringList{"1"});
    EXPECT_EQ(StatusText(window), QStringLiteral("路径: data0[1]"));

    // A link to an array: the array itself, its ".." row selected.
    Activate("4");
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("1"));
    EXPECT_EQ(SelectedNames(), QStringList{".."});
    EXPECT_EQ(StatusText(window), QStringLiteral("路径: data0"));
}

// Hovering the menus sends status tips; the path stays in the status bar.
TEST_F(WalkTest, StatusTipsLeaveThePath) {
    Activate("0");
    Click("2");
    ASSERT_EQ(StatusText(window), QStringLiteral("路径: data0[2]"));
    QStatusTipEvent tip(QString{});
    QCoreApplication::sendEvent(&window, &tip);
    EXPECT_EQ(StatusText(window), QStringLiteral("路径: data0[2]"));
}

TEST_F(WalkTest, SelectAllCountsRowsAndBlocksActivation) {
    Activate("0");
    QTest::keyClick(&List(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(SelectedNames().size(), 6);
    EXPECT_EQ(StatusText(window), QStringLiteral("选中了6个项目。"));
    PressEnter();
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("0"));

    // Taking one row out of two leaves the current container's path.
    Click("0");
    List().selectionModel()->select(List().model()->index(RowNamed("2"), 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(StatusText(window), QStringLiteral("选中了2个项目。"));
    List().selectionModel()->select(List().model()->index(RowNamed("2"), 0),
                                    QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    EXPECT_EQ(StatusText(window), QStringLiteral("路径: data0"));
}

TEST_F(WalkTest, TreeClicksAndCollapsesMoveTheList) {
    Activate("0");
    Activate("1");
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("1"));
    EXPECT_EQ(StatusText(window), QStringLiteral("路径: data0[1]"));

    Tree().setCurrentIndex(TreeIndex({}));
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("walk.rxdata"));
    EXPECT_EQ(Names(), QStringList{"0"});
    EXPECT_EQ(StatusText(window), QString());

    // Collapsing the parent of the current item makes the parent current.
    Tree().setCurrentIndex(TreeIndex({0, 0}));
    EXPECT_EQ(Names(), (QStringList{"..", "0", "1", "2"}));
    Tree().collapse(TreeIndex({0}));
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("0"));
    EXPECT_EQ(Names(), (QStringList{"..", "1", "0", "2", "3", "4"}));
}

}  // namespace
