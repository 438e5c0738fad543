// The game folder's results list in the Qt window, beyond the contract
// suite: hidden at start, 在文件夹中查找 from the menu, its shortcut and the
// find bar's button, lines added as they arrive, write lines marked, Enter
// on a line, 关闭.  Expectations from tests/data/make_game_fixtures.rb:
// switch 1 is read by Map001's event 1 (its page's condition) and written
// there and by troop 1; "火山" names an event of Map003 and a map in
// MapInfos.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include "tests/qt/test_support.h"
#include "ui/game_folder_controller.h"
#include "ui/qt/find_bar.h"
#include "ui/qt/folder_results_panel.h"
#include "ui/qt/main_window.h"
#include "ui/qt/navigation.h"
#include "ui/qt/pane_area.h"
#include "ui/qt/qt_panes.h"

namespace {

class FolderResultsTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    void Settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    void OpenGame(const char* file) {
        window.OpenFile(DataFile(file));
        Settle();
    }
    void WaitForResults() {
        Settle();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Folder().Running(); }, 10000));
        Settle();
    }
    void FindSwitch1Uses() {
        RunLogic([this] { Folder().FindUses(RefKind::kSwitch, 1); });
        WaitForResults();
    }
    GameFolderController& Folder() { return window.Nav().Folder(); }
    FolderResultsPanel& Panel() { return *window.Nav().Results(); }
    QAbstractItemModel& Lines() { return *Panel().Lines()->model(); }
    QStringList LineTexts() {
        QStringList texts;
        for (int row = 0; row < Lines().rowCount(); ++row) texts << Lines().index(row, 0).data().toString();
        return texts;
    }

    MainWindow window;
};

TEST_F(FolderResultsTest, HiddenAtStartAndOnlyWithADocumentToSearchFrom) {
    Settle();
    EXPECT_FALSE(Panel().isVisible());
    // The panes take the whole area, as they did before the list existed.
    EXPECT_EQ(window.Area()->size(), window.centralWidget()->size());
    QAction* inFolder = window.Nav().FindInFolderAction();
    EXPECT_FALSE(inFolder->isEnabled());
    OpenGame("game/ruby18/Map001.rxdata");
    EXPECT_TRUE(inFolder->isEnabled());
    // A failed open leaves no document behind.
    DialogAnswers answers;
    answers.PressOk();
    window.OpenFile(DataFile("game/ruby18/no_such_file.rxdata"));
    Settle();
    EXPECT_FALSE(inFolder->isEnabled());
}

TEST_F(FolderResultsTest, TheShortcutTakesATextFirstThenTheButtonSearches) {
    OpenGame("game/ruby18/Map001.rxdata");
    FindBar& find = *window.Nav().Find();
    // With nothing to find, Ctrl+Shift+F opens the find bar for the text.
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    Settle();
    EXPECT_TRUE(find.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), find.Field());
    // With its new button the bar still fits the window as it starts.
    EXPECT_LE(find.minimumSizeHint().width(), window.width());
    EXPECT_FALSE(Panel().isVisible());

    const QStringList hits{"Map003.rxdata　data0.events.values[0].name　name　字符串　火山口",
                           "MapInfos.rxdata　data0.values[2].name　name　字符串　火山星"};
    struct Way {
        const char* name;
        std::function<void()> run;
    };
    const Way ways[] = {
        {"button", [&] { find.findChild<QPushButton*>(QStringLiteral("findInFolder"))->click(); }},
        {"shortcut", [&] { QTest::keyClick(find.Field(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier); }},
    };
    find.Field()->insert(QStringLiteral("火山"));  // as an input method commits it
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        RunLogic([this] { Folder().Clear(); });
        Panel().hide();
        way.run();
        WaitForResults();
        EXPECT_TRUE(Panel().isVisible());
        EXPECT_EQ(Panel().HeadingText(), QStringLiteral("在文件夹中查找 “火山”　共 2 个"));
        EXPECT_EQ(LineTexts(), hits);
        EXPECT_FALSE(Panel().CancelButton()->isVisible());
    }
}

TEST_F(FolderResultsTest, LinesAreAddedNotResetAndWritesStandOut) {
    OpenGame("game/ruby18/Map001.rxdata");
    for (int search = 0; search < 2; ++search) {  // the index built, then reused
        SCOPED_TRACE(search);
        QSignalSpy resets(&Lines(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&Lines(), &QAbstractItemModel::rowsInserted);
        FindSwitch1Uses();
        // One reset as the search begins; its lines only ever inserted.
        EXPECT_EQ(resets.count(), 1);
        int inserted = 0;
        for (const QList<QVariant>& insert : inserts) inserted += insert.at(2).toInt() - insert.at(1).toInt() + 1;
        EXPECT_EQ(inserted, 3);
        ASSERT_EQ(Lines().rowCount(), 3);
        const bool writes[] = {false, true, true};
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(Lines().index(row, 0).data(Qt::ForegroundRole).isValid(), writes[row]) << row;
    }
}

TEST_F(FolderResultsTest, EnterGoesToTheLinesRowAndCloseEmptiesTheList) {
    OpenGame("game/ruby18/Map001.rxdata");
    FindSwitch1Uses();
    QListView& lines = *Panel().Lines();
    lines.setFocus();
    lines.setCurrentIndex(Lines().index(0, 0));
    QTest::keyClick(&lines, Qt::Key_Return);
    Settle();
    EXPECT_EQ(StatusText(window), QStringLiteral("路径: data0.events.values[0].pages[0].condition"));

    Panel().CloseButton()->click();
    Settle();
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_TRUE(Folder().Results().empty());
    EXPECT_EQ(Lines().rowCount(), 0);
}

}  // namespace
