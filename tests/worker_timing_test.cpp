// The orders a quick and a slow open, a search and a cancel can take when
// the work runs on threads of its own, as in the windows: a progress timer
// that fires after the open ended, a tree being built while the next open
// starts, batches a search posted before the user pressed Esc.  What the
// user sees is the expectation: no progress for a quick open, only the
// second file's tree, no hit after Esc.
#include <atomic>
#include <filesystem>
#include <chrono>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "tests/marshal_bytes.h"
#include "tests/viewer_fixture.h"
#include "ui/compare_controller.h"
#include "ui/find_controller.h"
#include "ui/front_end.h"
#include "ui/game_folder_controller.h"
#include "ui/navigation_controller.h"
#include "ui/open_sequence.h"

using namespace mb;

namespace {
// data0 = [1, [2, 3, "shared"], "a"]: three items in the tree.
std::string Small() { return Dump(Arr({Int(1), Arr({Int(2), Int(3), Str("shared")}), Str("a")})); }
// data0 = five arrays: seven items.
std::string Larger() { return Dump(Arr({Arr({Int(1)}), Arr({Int(2)}), Arr({Int(3)}), Arr({Int(4)}), Arr({Int(5)})})); }

class WorkerTiming : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        FrontEndOps ops;
        ops.startWorker = [](std::function<void()> work) { return std::thread(std::move(work)); };
        ops.startTimer = [this](int, std::function<void()> fire) { timers_.push_back(std::move(fire)); };
        SetFrontEndOps(ops);
        OpenSequenceView view;
        view.documentShown = [] { PanesNavigation().DocumentShown(); };
        view.showProgress = [this] { ++shown_; };
        view.updateProgress = [this](std::uint64_t read, std::uint64_t total) {
            ++updates_;
            read_ = read, total_ = total;
        };
        view.hideProgress = [this] { ++hidden_; };
        view.treeBuildWorkerEnter = [this] {
            building_ = true;
            for (int i = 0; i < 2000 && hold_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        SetOpenSequenceView(std::move(view));
    }
    void TearDown() override {
        ViewerTest::TearDown();
        SetFrontEndOps({});
    }
    // Runs the window's posted steps until `done` (10 s at most).
    template <typename Done>
    bool Until(Done done) {
        for (int i = 0; i < 2000; ++i) {
            RunPostedSteps();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    void FireTimers() {
        auto due = std::move(timers_);
        timers_.clear();
        for (auto& fire : due) fire();
    }
    std::string Path(const std::string& name, const std::string& bytes) {
        WriteFileBytes(ScratchDir() + name, bytes);
        return ScratchDir() + name;
    }
    void OpenAndWait(const std::string& path) {
        StartOpenSequence(U16(path).c_str());
        ASSERT_TRUE(Until([] { return !OpenSequenceRunning(); }));
    }

    std::vector<std::function<void()>> timers_;
    int shown_ = 0, updates_ = 0, hidden_ = 0;
    std::uint64_t read_ = 0, total_ = 0;  // the last update's
    std::atomic<bool> building_{false}, hold_{false};
};
}  // namespace

TEST_F(WorkerTiming, AQuickOpenShowsNoProgressWhenItsTimerFiresAfterTheEnd) {
    OpenAndWait(Path("small.rxdata", Small()));
    FireTimers();
    EXPECT_EQ(shown_ + updates_ + hidden_, 0);
    EXPECT_EQ(U8(PanesTitle()), "small.rxdata - Quarnix");
}

#ifndef _WIN32
TEST_F(WorkerTiming, ASlowOpenShowsProgressUntilItEndsAndNotAfter) {
    const std::string fifo = ScratchDir() + "slow.rxdata";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    StartOpenSequence(U16(fifo).c_str());  // the loader waits for the bytes
    FireTimers();
    EXPECT_EQ(shown_, 1);
    EXPECT_EQ(hidden_, 0);
    const std::string bytes = Small();
    const int fd = open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    ASSERT_TRUE(Until([] { return !OpenSequenceRunning(); }));
    const int updates = updates_;
    FireTimers();  // the next tick, due after the end
    EXPECT_EQ(hidden_, 1);
    EXPECT_EQ(updates_, updates);
    EXPECT_EQ(CaretText(), "slow.rxdata");
}

// F3 while the loader writes the document reads none of it (under
// ThreadSanitizer a read would be reported); the next F3 finds the hit.
TEST_F(WorkerTiming, AFindDuringASlowLoadWaitsForTheTree) {
    const std::string fifo = ScratchDir() + "slow.rxdata";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    FindQuery query;
    query.text = u"shared";
    query.columns = kFindValue;
    PanesFind().SetQuery(query);
    StartOpenSequence(U16(fifo).c_str());
    const int fd = open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const std::string bytes = Small();
    EXPECT_EQ(write(fd, bytes.data(), bytes.size() / 2), static_cast<ssize_t>(bytes.size() / 2));
    PanesFind().Next();
    FireTimers();  // the find bar's restart, the progress
    EXPECT_EQ(write(fd, bytes.data() + bytes.size() / 2, bytes.size() - bytes.size() / 2),
              static_cast<ssize_t>(bytes.size() - bytes.size() / 2));
    close(fd);
    ASSERT_TRUE(Until([] { return !OpenSequenceRunning(); }));
    PanesFind().Next();
    ASSERT_TRUE(Until([] { return !PanesFind().Searching(); }));
    EXPECT_EQ(U8(PanesFind().StatusText()), "第 1 个，共 1 个");
    EXPECT_EQ(Status(), "路径: data0[1][2]");
}
#endif

TEST_F(WorkerTiming, AnOpenDuringTheTreeBuildLeavesOnlyTheSecondTree) {
    const std::string first = Path("first.rxdata", Larger()), second = Path("second.rxdata", Small());
    hold_ = true;
    StartOpenSequence(U16(first).c_str());
    ASSERT_TRUE(Until([this] { return building_.load(); }));
    std::thread release([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        hold_ = false;
    });
    StartOpenSequence(U16(second).c_str());  // stops the building of the first tree
    release.join();
    ASSERT_TRUE(Until([] { return !OpenSequenceRunning(); }));
    EXPECT_TRUE(PanesMessages().empty());
    EXPECT_EQ(U8(PanesTitle()), "second.rxdata - Quarnix");
    EXPECT_EQ(CaretText(), "second.rxdata");
    EXPECT_EQ(PanesItemCount(), 3u);
}

TEST_F(WorkerTiming, BatchesPostedBeforeACancelShowNothing) {
    OpenAndWait(Path("small.rxdata", Small()));
    const std::string before = Status();
    FindQuery query;
    query.text = u"2";
    PanesFind().SetQuery(query);
    PanesFind().Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // its hits wait for the window
    PanesFind().Stop();  // Esc
    PanesRunEvents();
    EXPECT_EQ(U8(PanesFind().StatusText()), "");
    EXPECT_EQ(Status(), before);

    PanesGameFolder().FindInFolder(query);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    PanesGameFolder().Cancel();
    PanesRunEvents();
    EXPECT_EQ(U8(PanesResultsHeading()), "在文件夹中查找 “2”　已取消，已列出 0 个");
    EXPECT_TRUE(PanesResultLines().empty());
}

#ifndef _WIN32
// `--compare OLD NEW`: the old file loads after the new one's tree shows,
// under the same bar at once; Esc while it loads, or either file failing,
// leaves the new document alone (a failing file named in its message) and
// nothing that waits to compare a later open.
TEST_F(WorkerTiming, BothLoadsOfACompareShowOneProgressAndEndAsTheUserExpects) {
    const std::string pair = std::string(QUARNIX_TEST_DATA) + "/diff/ruby18/items_";
    const std::string good = pair + "new.rxdata", broken = Path("broken.rxdata", std::string("\x04\x08[\x07", 4));
    const std::string fifo = ScratchDir() + "old.rxdata";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        const char* what;
        std::string old, now;
        const char* message;  // "" for none
    };
    const Case cases[] = {
        {"Esc during the old load", fifo, good, ""},
        {"the old file fails", broken, good, "broken.rxdata：文件数据有误或不完整"},
        {"the new file fails", pair + "old.rxdata", broken, "broken.rxdata：文件数据有误或不完整"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CompareController& compare = *ActiveCompare();
        const std::size_t messages = PanesMessages().size();
        shown_ = hidden_ = 0;
        compare.CompareAfterOpen(U16(c.old), U16(c.now));
        OpenAndWait(c.now);
        if (c.old == fifo) {
            // Loading: the bar shown at once, the new file's bytes read of both.
            ASSERT_TRUE(compare.Running());
            EXPECT_EQ(shown_, 1);
            EXPECT_EQ(read_, std::filesystem::file_size(good));
            EXPECT_EQ(Status(), "正在比较…");
            // The load fails as the user presses Esc: its message, posted
            // before, is not shown.
            const int fd = open(fifo.c_str(), O_WRONLY);
            ASSERT_GE(fd, 0);
            close(fd);
            CancelOpenSequence();
            PanesRunEvents();
        } else {
            ASSERT_TRUE(Until([&compare] { return !compare.Running(); }));
        }
        EXPECT_EQ(shown_, hidden_);
        EXPECT_FALSE(compare.Active());
        EXPECT_FALSE(compare.Running());
        ASSERT_EQ(PanesMessages().size(), messages + (*c.message ? 1 : 0));
        if (*c.message) {
            EXPECT_EQ(U8(PanesMessages().back().text), c.message);
        }
        if (c.now == good) {
            EXPECT_EQ(U8(PanesTitle()), "items_new.rxdata - Quarnix");
        }
        // Nothing waits: the same file opened again (mended) is shown alone.
        if (c.now != good) std::filesystem::copy_file(good, c.now, std::filesystem::copy_options::overwrite_existing);
        OpenAndWait(c.now);
        PanesRunEvents();
        EXPECT_FALSE(compare.Running() || compare.Active());
    }
}
#endif
