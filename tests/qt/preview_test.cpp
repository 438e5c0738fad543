// The preview below the list, offscreen: what it shows for a script, a
// table, a colour and an event page, choosing a page line, and its menu.
// With QUARNIX_PREVIEW_SHOTS set to a folder, each view is saved there as
// a picture to look at.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QComboBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "tests/qt/test_support.h"
#include "ui/compare_controller.h"
#include "ui/qt/code_view.h"
#include "ui/qt/compare_preview_page.h"
#include "ui/qt/find_bar.h"
#include "ui/qt/navigation.h"
#include "ui/qt/main_window.h"
#include "ui/qt/preview_pane.h"
#include "ui/qt/table_preview.h"

namespace {
class PreviewPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(1000, 700);
        window.show();
    }
    void Open(const char* name) {
        window.OpenFile(DataFile(name));
        QCoreApplication::processEvents();
    }
    // A click on the row named so: the only selected row and the focus.
    void Click(const QString& name) {
        QTreeView& list = *window.ListView();
        const int row = static_cast<int>(ListColumn(list, 0).indexOf(name));
        ASSERT_GE(row, 0) << name.toStdString();
        list.selectionModel()->setCurrentIndex(list.model()->index(row, 0),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCoreApplication::processEvents();
    }
    void Activate(const QString& name) {
        Click(name);
        QTest::keyClick(window.ListView(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    void Shot(const char* name) {
        const QString folder = qEnvironmentVariable("QUARNIX_PREVIEW_SHOTS");
        if (!folder.isEmpty()) window.grab().save(folder + "/" + name + ".png");
    }
    PreviewPane& Preview() { return *window.Preview(); }

    MainWindow window;
};
}  // namespace

TEST_F(PreviewPaneTest, ScriptsShowAsColouredRubyWithLineNumbers) {
    Open("Scripts.rxdata");
    Activate("0");
    Activate("0");
    Click("2");
    ASSERT_EQ(Preview().CurrentPage(), Preview().Code());
    EXPECT_TRUE(Preview().Highlighted());
    EXPECT_EQ(Preview().Code()->blockCount(), 8);
    EXPECT_TRUE(Preview().Code()->toPlainText().startsWith(u"# 游戏开始时的处理\nclass Scene_Title\n"_qs));
    EXPECT_TRUE(Preview().Header().endsWith(u"data0[0][2]"_qs)) << Preview().Header().toStdString();
    EXPECT_GT(Preview().Code()->MarginWidth(), 0);
    EXPECT_EQ(Preview().Problem(), QString());
    Shot("script");
    // A name is a plain string: no colours.
    Click("1");
    EXPECT_FALSE(Preview().Highlighted());
    EXPECT_EQ(Preview().Code()->toPlainText(), u"Scene_Title 标题"_qs);
}

TEST_F(PreviewPaneTest, TheFindBarsTextIsMarkedInTheScript) {
    Open("Scripts.rxdata");
    Activate("0");
    Activate("0");
    Click("2");
    FindBar& find = *window.Nav().Find();
    find.Field()->setText(u"sprite"_qs);  // @sprite, Sprite, @sprite
    EXPECT_EQ(Preview().Code()->extraSelections().size(), 3);
    find.CaseBox()->setChecked(true);
    EXPECT_EQ(Preview().Code()->extraSelections().size(), 2);
    EXPECT_EQ(Preview().Code()->textCursor().blockNumber(), 4);  // the first, on line 5
    // Another script is marked as it comes.
    find.CaseBox()->setChecked(false);
    Activate("..");
    Activate("1");
    Click("2");
    EXPECT_EQ(Preview().Code()->extraSelections().size(), 0);
    find.Field()->setText(u"GOLD"_qs);  // :gold, gain_gold, @gold twice
    EXPECT_EQ(Preview().Code()->extraSelections().size(), 4);
    emit find.CloseRequested();
    EXPECT_EQ(Preview().Code()->extraSelections().size(), 0);
}

TEST_F(PreviewPaneTest, ABrokenStreamSaysSoAndShowsItsBytes) {
    Open("Scripts.rxdata");
    Activate("0");
    Activate("3");
    Click("2");
    EXPECT_EQ(Preview().Problem(), u"压缩数据已损坏，无法解压，下面显示原始字节"_qs);
    EXPECT_TRUE(Preview().Code()->toPlainText().startsWith(u"00000000  78 da"_qs));
}

TEST_F(PreviewPaneTest, TablesShowALayerAsAGridAndAHeatMap) {
    Open("y_lens_tables.bin");
    Activate("0");
    Click("2");  // 2 x 2 x 3: 1000z + 10y + x, layer 2 less 32768
    ASSERT_EQ(Preview().CurrentPage(), Preview().Table());
    QComboBox* layers = Preview().Table()->LayerSelector();
    EXPECT_EQ(layers->count(), 3);
    const QAbstractItemModel* grid = Preview().Table()->Grid()->model();
    EXPECT_EQ(grid->index(1, 0).data().toInt(), 10);
    layers->setCurrentIndex(2);
    EXPECT_EQ(grid->index(1, 1).data().toInt(), 2011 - 32768);
    EXPECT_FALSE(Preview().Table()->HeatMapLabel()->pixmap().isNull());
    Shot("table");
}

TEST_F(PreviewPaneTest, ColoursShowTheirTextAndASwatch) {
    Open("y_lens_colors.bin");
    Activate("0");
    Click("0");
    ASSERT_EQ(Preview().CurrentPage()->isAncestorOf(Preview().Swatch()), true);
    const QImage swatch = Preview().Swatch()->pixmap().toImage();
    EXPECT_EQ(swatch.pixelColor(swatch.width() / 2, swatch.height() / 2), QColor(255, 128, 0));
    EXPECT_TRUE(Preview().Header().startsWith(u"Color(255.0, 128.0, 0.0, 255.0)"_qs));
    Shot("color");
}

TEST_F(PreviewPaneTest, ChoosingAnEventLineSelectsItsCommandsRow) {
    Open("y_lens_events.rxdata");
    Activate("0");
    Activate("0");
    Click("list");
    QListWidget* events = Preview().Events();
    ASSERT_EQ(Preview().CurrentPage(), events);
    EXPECT_EQ(events->item(0)->text(), u"◆显示文章：你好，旅行者。"_qs);
    Shot("events");
    events->setCurrentRow(4);  // as a click does
    QCoreApplication::processEvents();
    EXPECT_EQ(CurrentTreeText(window), u"list"_qs);
    const QModelIndexList rows = window.ListView()->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].data().toString(), u"4"_qs);
    EXPECT_EQ(StatusText(window), u"路径: data0[0].list[4]"_qs);
    // The page stays, with the chosen line marked.
    EXPECT_EQ(Preview().CurrentPage(), events);
    EXPECT_EQ(events->currentRow(), 4);
    Click("9");
    EXPECT_EQ(events->currentRow(), 9);
}

TEST_F(PreviewPaneTest, F4HidesAndShowsThePreview) {
    QAction* toggle = window.findChild<QAction*>(u"previewAction"_qs);
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->shortcut(), QKeySequence(Qt::Key_F4));
    EXPECT_TRUE(Preview().isVisible());
    toggle->trigger();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(Preview().isVisible());
    EXPECT_EQ(window.ListView()->height(), window.ListColumn()->height());
    toggle->trigger();
    EXPECT_TRUE(Preview().isVisible());
}

// Long texts go in by parts of 1000 lines; every line arrives, in order.
// tests/data/diff/ruby18/map (make_diff_fixtures.rb): F8 first reaches the
// table @data, (1, 2, 1) 121 -> 777 and (3, 0, 1) 103 -> -1; the sixth
// difference is a command inserted at line 3 of event 1's page, whose line
// 1 changed too.
TEST_F(PreviewPaneTest, AComparisonShowsBothSidesOfTheDifferenceReached) {
    window.OpenFile(DataFile("diff/ruby18/map_new.rxdata"));
    QCoreApplication::processEvents();
    CompareController& compare = window.Nav().Compare();
    compare.Start(DataFile("diff/ruby18/map_old.rxdata").toStdU16String());
    while (compare.Running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ComparePreviewPage& page = *Preview().Compare();
    auto step = [this, &compare] {
        compare.Next();
        Preview().Refresh();
    };
    step();
    ASSERT_EQ(Preview().CurrentPage(), &page);
    ASSERT_EQ(page.CurrentPage(), page.Table());
    const QAbstractItemModel* grid = page.Table()->Grid()->model();
    EXPECT_EQ(page.Table()->LayerSelector()->currentIndex(), 1);
    struct Cell {
        int x, y, value;
        bool changed;
    };
    for (const Cell& c : {Cell{1, 2, 777, true}, Cell{3, 0, -1, true}, Cell{0, 0, 100, false}}) {
        EXPECT_EQ(grid->index(c.y, c.x).data().toInt(), c.value);
        EXPECT_EQ(grid->index(c.y, c.x).data(TableLayerModel::kChangedRole).toBool(), c.changed);
    }
    EXPECT_EQ(grid->index(2, 1).data(Qt::ToolTipRole).toString(), u"121 → 777"_qs);
    Shot("compare-table");
    for (int i = 0; i < 5; ++i) step();
    ASSERT_EQ(page.CurrentPage(), page.Lines());
    // The page's lines: line 1 removed and added again, line 3 added.
    const QStringList lines = page.Lines()->toPlainText().split(u'\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_TRUE(lines[3].contains(u"+ "_qs)) << lines[3].toStdString();
    const QList<QTextEdit::ExtraSelection> coloured = page.Lines()->extraSelections();
    struct Line {
        int block;
        QColor colour;
    };
    ASSERT_EQ(coloured.size(), 3);
    const Line expected[] = {{0, QColor(0xff, 0xd7, 0xd7)}, {1, QColor(0xd4, 0xf4, 0xd4)}, {3, QColor(0xd4, 0xf4, 0xd4)}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(coloured[i].cursor.blockNumber(), expected[i].block);
        EXPECT_EQ(coloured[i].format.background().color(), expected[i].colour);
    }
    Shot("compare-page");
    // Ended: the row's own preview again.
    compare.End();
    Preview().Refresh();
    EXPECT_NE(Preview().CurrentPage(), &page);
}

TEST(CodeViewTest, LongTextsArriveWhole) {
    for (int lines : {999, 1000, 1001, 2500}) {
        SCOPED_TRACE(lines);
        QStringList text;
        for (int i = 0; i < lines; ++i) text << QString::number(i);
        CodeView view;
        view.SetText(text.join(u'\n'));
        EXPECT_EQ(view.blockCount(), std::min(lines, 1000));
        while (view.Loading()) QCoreApplication::processEvents();
        EXPECT_EQ(view.toPlainText(), text.join(u'\n'));
        view.SetText({});
        EXPECT_EQ(view.toPlainText(), QString());
    }
}
