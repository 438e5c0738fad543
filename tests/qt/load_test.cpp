// Loads in the background: the progress bar and its 取消 button, Esc, a new
// open cancelling the running one, and pipes, each ending with nothing of
// the cancelled load left and the next open working.
#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include "marshal/alloc.h"
#include "tests/qt/test_support.h"
#include "ui/qt/load_runner.h"
#include "ui/qt/main_window.h"
#include "ui/viewer.h"

namespace {

// Runs the event loop until the condition holds (or five seconds pass).
template <typename Condition>
bool ProcessUntil(Condition condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

// A FIFO that stays silent until the test writes to it.
class Fifo {
public:
    explicit Fifo(const QTemporaryDir& dir) : path_(dir.filePath(QStringLiteral("pipe.rxdata"))) {
        mkfifo(QFile::encodeName(path_).constData(), 0600);
    }
    ~Fifo() {
        if (writer_.joinable()) writer_.join();
    }
    const QString& Path() const { return path_; }
    // Writes the bytes from a thread of its own; `close` ends the pipe after.
    void Write(QByteArray bytes, bool close) {
        writer_ = std::thread([this, bytes, close] {
            int fd = open(QFile::encodeName(path_).constData(), O_WRONLY);
            if (fd < 0) return;
            for (qsizetype at = 0; at < bytes.size();) {
                ssize_t n = write(fd, bytes.constData() + at, static_cast<size_t>(bytes.size() - at));
                if (n <= 0) break;
                at += n;
            }
            if (close) ::close(fd);
            else keep_ = fd;
        });
    }
    void CloseWriter() {
        if (writer_.joinable()) writer_.join();
        if (keep_ >= 0) ::close(keep_);
        keep_ = -1;
    }

private:
    QString path_;
    std::thread writer_;
    int keep_ = -1;
};

QByteArray Map001() {
    QFile file(DataFile("Map001.rxdata"));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

class LoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        QApplication::setActiveWindow(&window);
        window.OpenFile(DataFile("y_scalars.bin"));
        ASSERT_EQ(window.windowTitle(), QStringLiteral("y_scalars.bin - Quarnix"));
    }
    // What a cancelled load leaves: no document, empty panes, the title of
    // before, no wait cursor; then the next open works.
    void ExpectCancelledAndReopen(const QString& title) {
        ASSERT_TRUE(ProcessUntil([&] { return !window.Loads().Running(); }));
        EXPECT_EQ(window.TreeView()->model()->rowCount(), 0);
        EXPECT_EQ(window.ListView()->model()->rowCount(), 0);
        EXPECT_EQ(window.windowTitle(), title);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(window.Loads().ProgressBar()->isVisible());
        EXPECT_EQ(LiveAllocationCount(), 0);
        window.OpenFile(DataFile("Map001.rxdata"));
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Map001.rxdata - Quarnix"));
        EXPECT_EQ(CurrentTreeText(window), QStringLiteral("Map001.rxdata"));
    }

    QTemporaryDir dir;
    DialogAnswers answers;  // a message box would fail the test: none is queued
    MainWindow window;
};

TEST_F(LoadTest, ProgressShowsAfterAMomentAndItsButtonCancels) {
    // Cancelled before any byte came, and after part of the file came.
    for (int part : {0, 1000}) {
        SCOPED_TRACE(part);
        Fifo fifo(dir);
        if (part) fifo.Write(Map001().left(part), false);
        const QString title = window.windowTitle();
        window.StartOpen(fifo.Path());
        ASSERT_TRUE(window.Loads().Running());
        EXPECT_EQ(window.TreeView()->model()->rowCount(), 0);  // the previous document is gone at once
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ASSERT_TRUE(ProcessUntil([&] { return window.Loads().ProgressBar()->isVisible(); }));
        std::uint64_t read, total;
        ASSERT_TRUE(ProcessUntil([&] {
            OpenProgress(&read, &total);
            return read == static_cast<std::uint64_t>(part);
        }));
        EXPECT_EQ(window.Loads().CancelButton()->text(), QStringLiteral("取消"));
        EXPECT_TRUE(window.Loads().CancelButton()->isVisible());
        QTest::mouseClick(window.Loads().CancelButton(), Qt::LeftButton);
        ExpectCancelledAndReopen(title);
        fifo.CloseWriter();
    }
}

TEST_F(LoadTest, EscapeCancels) {
    Fifo fifo(dir);
    window.StartOpen(fifo.Path());
    QTest::keyClick(&window, Qt::Key_Escape);
    ExpectCancelledAndReopen(QStringLiteral("y_scalars.bin - Quarnix"));
}

TEST_F(LoadTest, OpeningAnotherFileCancelsTheRunningLoad) {
    Fifo fifo(dir);
    window.StartOpen(fifo.Path());
    window.OpenFile(DataFile("Map001.rxdata"));  // while the pipe still waits
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Map001.rxdata - Quarnix"));
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("Map001.rxdata"));
    EXPECT_TRUE(answers.Seen().empty());
}

TEST_F(LoadTest, AFifoLoadsAsItsBytesArrive) {
    Fifo fifo(dir);
    fifo.Write(Map001(), true);
    window.OpenFile(fifo.Path());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("pipe.rxdata - Quarnix"));
    EXPECT_EQ(CurrentTreeText(window), QStringLiteral("pipe.rxdata"));
    EXPECT_GT(window.ListView()->model()->rowCount(), 0);
}

}  // namespace
