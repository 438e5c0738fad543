// The main window as a user meets it: start-up, menus, the Open command
// with its dialog, titles and messages, the About box, Exit.
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "present/viewer_document.h"
#include "ui/qt/load_runner.h"
#include "marshal/load.h"
#include "tests/project_version.h"
#include "tests/qt/test_support.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/main_window.h"

namespace {

const QString kProduct = QStringLiteral("Quarnix");

// Items of a menu as "text" or "-" for a separator.
QStringList MenuItems(const QMenu* menu) {
    QStringList items;
    for (const QAction* action : menu->actions()) items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return items;
}

QAction* FindAction(const MainWindow& window, const QString& text) {
    for (QAction* menu : window.menuBar()->actions())
        for (QAction* action : menu->menu()->actions())
            if (action->text() == text) return action;
    return nullptr;
}

// The menu's handler returns once the dialog is answered; the open then
// runs in the background until its end.
void TriggerOpen(MainWindow& window) {
    FindAction(window, QStringLiteral("打开(&O)..."))->trigger();
    while (window.Loads().Running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    MainWindow window;
};

TEST_F(WindowTest, StartsEmptyWithTitleMenusAndColumns) {
    EXPECT_EQ(window.windowTitle(), kProduct);
    QStringList menus;
    for (const QAction* menu : window.menuBar()->actions()) menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"文件(&F)", "编辑(&E)", "查看(&V)", "导航(&N)", "帮助(&H)"}));
    const QList<QAction*> bar = window.menuBar()->actions();
    EXPECT_EQ(MenuItems(bar.at(0)->menu()), (QStringList{"打开(&O)...", "-", "与其他版本比较(&D)...", "结束比较(&X)", "-", "退出(&E)"}));
    EXPECT_EQ(MenuItems(bar.at(2)->menu()), (QStringList{"预览"}));
    EXPECT_EQ(MenuItems(bar.last()->menu()), (QStringList{"关于(&A)..."}));

    const QTreeView& list = *window.ListView();
    ASSERT_EQ(list.model()->columnCount(), 3);
    const int widths[] = {300, 100, 200};
    const char* headers[] = {"名称", "类型", "值"};
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(list.model()->headerData(column, Qt::Horizontal).toString(), QString::fromUtf8(headers[column]));
        EXPECT_EQ(list.header()->sectionSize(column), widths[column]);
    }
    EXPECT_EQ(window.TreeView()->model()->rowCount(), 0);
    EXPECT_EQ(list.model()->rowCount(), 0);
    EXPECT_EQ(StatusText(window), QString());
}

// Every failure of the Open command, and what it leaves behind: the message
// (caption, text, icon, one OK button) and the title of the last success.
TEST_F(WindowTest, OpenFailuresShowTheirMessageAndKeepTheTitle) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    // Deeper than the loader allows: the catch-all message with the error icon.
    QByteArray deep("\x04\x08");
    for (int i = 0; i <= kMaxNestingDepth; ++i) deep += "[\x06";
    deep += '0';
    const QString deepPath = temp.filePath(QStringLiteral("deep.rxdata"));
    {
        QFile file(deepPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(deep);
    }

    struct Case {
        QString path;
        QString text;
        QMessageBox::Icon icon;
    } cases[] = {
        {temp.filePath(QStringLiteral("missing.rxdata")), "打开文件失败", QMessageBox::Warning},
        {DataFile("n_empty.bin"), "无法识别该文件的格式", QMessageBox::Warning},
        {DataFile("n_truncated_string.bin"), "文件数据有误或不完整", QMessageBox::Warning},
        {DataFile("n_bad_object_link.bin"), "文件中有未正确链接的对象", QMessageBox::Warning},
        {DataFile("n_bad_symbol_link.bin"), "文件中有未正确链接的符号", QMessageBox::Warning},
        {DataFile("n_unknown_type.bin"), "文件中有未知类型的数据", QMessageBox::Warning},
        {deepPath, "文件数据嵌套层次过深", QMessageBox::Critical},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        DialogAnswers answers;
        answers.ChooseFile(QtDataFile("walk.rxdata"));
        TriggerOpen(window);
        ASSERT_EQ(window.windowTitle(), QStringLiteral("walk.rxdata - Quarnix"));

        answers.ChooseFile(c.path);
        answers.PressOk();
        TriggerOpen(window);
        ASSERT_EQ(answers.Seen().size(), 3u);
        const SeenDialog& box = answers.Seen().back();
        EXPECT_EQ(box.className, QStringLiteral("QMessageBox"));
        EXPECT_EQ(box.title, QStringLiteral("错误"));
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.icon, c.icon);
        EXPECT_EQ(box.buttons, QStringList{"确定"});
        EXPECT_TRUE(answers.AllUsed());
        // Only a success changes the title; the panes no longer show the
        // released document.
        EXPECT_EQ(window.windowTitle(), QStringLiteral("walk.rxdata - Quarnix"));
        EXPECT_EQ(window.TreeView()->model()->rowCount(), 0);
        EXPECT_EQ(window.ListView()->model()->rowCount(), 0);
    }
}

TEST_F(WindowTest, TitleNamesTheFileLoadedLast) {
    DialogAnswers answers;
    answers.ChooseFile(DataFile("Map001.rxdata"));
    TriggerOpen(window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Map001.rxdata - Quarnix"));
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("Map001.rxdata"));

    answers.ChooseFile(DataFile("Actors.rxdata"));
    TriggerOpen(window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Actors.rxdata - Quarnix"));
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("Actors.rxdata"));
    EXPECT_TRUE(answers.AllUsed());
}

TEST_F(WindowTest, CancellingTheDialogKeepsTheDocument) {
    DialogAnswers answers;
    answers.ChooseFile(QtDataFile("walk.rxdata"));
    TriggerOpen(window);
    const QStringList rows = ListColumn(*window.ListView(), 0);
    ASSERT_FALSE(rows.isEmpty());

    answers.CancelFile();
    TriggerOpen(window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("walk.rxdata - Quarnix"));
    EXPECT_EQ(ListColumn(*window.ListView(), 0), rows);
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("walk.rxdata"));
}

TEST_F(WindowTest, OpenDialogOffersBothFiltersAndAcceptsNewNames) {
    DialogAnswers answers;
    answers.Then([](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        EXPECT_EQ(files.nameFilters(), (QStringList{"RPG Maker XP 数据文件(*.rxdata)", "所有文件 (*)"}));
        EXPECT_EQ(files.selectedNameFilter(), QStringLiteral("RPG Maker XP 数据文件(*.rxdata)"));
        EXPECT_EQ(files.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_TRUE(files.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_TRUE(files.isModal());
        // A name for a file that does not exist, in a folder that does,
        // passes the dialog.
        files.setDirectory(QStringLiteral(QUARNIX_QT_TEST_DATA));
        files.selectFile(QStringLiteral("no-such-file.rxdata"));
        static_cast<QDialog&>(files).accept();
        EXPECT_EQ(files.result(), int(QDialog::Accepted));
        return files.result();
    });
    answers.PressOk();
    TriggerOpen(window);
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen().at(1).text, QStringLiteral("打开文件失败"));
}

// OK, Esc and the close box all close the About box; the window is as
// before.
TEST_F(WindowTest, AboutBoxClosesThreeWays) {
    struct Case {
        const char* way;
        std::function<void(QDialog&)> close;
        int result;
    } cases[] = {
        {"OK button", [](QDialog& d) { d.findChild<QPushButton*>(QStringLiteral("ok"))->click(); }, QDialog::Accepted},
        {"Esc", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, QDialog::Rejected},
        {"close box", [](QDialog& d) { d.close(); }, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        DialogAnswers answers;
        answers.Then([&c](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("关于 Quarnix"));
            EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("product"))->text(),
                      QString::fromStdString(NameAndVersion("Quarnix")));
            EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("ok"))->text(), QStringLiteral("确定"));
            EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("icon"))->pixmap().isNull());
            EXPECT_TRUE(dialog.isModal());
            dialog.show();
            c.close(dialog);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), c.result);
            return dialog.result();
        });
        FindAction(window, QStringLiteral("关于(&A)..."))->trigger();
        EXPECT_TRUE(answers.AllUsed());
        EXPECT_EQ(window.windowTitle(), kProduct);
    }
}

// Exit and the close box both end the viewer: the document is released.
TEST(WindowClose, ExitAndCloseBoxReleaseTheDocument) {
    struct Case {
        const char* way;
        std::function<void(MainWindow&)> close;
    } cases[] = {
        {"Exit", [](MainWindow& w) { FindAction(w, QStringLiteral("退出(&E)"))->trigger(); }},
        {"close box", [](MainWindow& w) { w.close(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        MainWindow window;
        window.show();
        window.OpenFile(QtDataFile("walk.rxdata"));
        ASSERT_GT(DocumentRoot.count, 0);
        c.close(window);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(DocumentRoot.count, 0);
        EXPECT_EQ(DocumentRoot.data.nodes, nullptr);
    }
}

}  // namespace
