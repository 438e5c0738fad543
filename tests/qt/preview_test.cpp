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
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "tests/qt/test_support.h"
#include "ui/qt/code_view.h"
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
