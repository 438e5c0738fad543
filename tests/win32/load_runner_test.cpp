// Opening files in the background on the native window: a running open
// can be cancelled from every place that has the keyboard, or by the next
// open, and ends silently with empty panes; the next open works.  A source
// that holds its bytes back shows the progress bar.
#include "marshal/alloc.h"
#include "present/viewer_document.h"
#include "tests/marshal_bytes.h"
#include "tests/viewer_fixture.h"
#include "ui/open_sequence.h"
#include "ui/win32/win32_front_end.h"

using namespace mb;

namespace {
std::string Document() { return Dump(Arr({Arr({Int(1)}), Hash({{Sym("k"), Arr({})}}), Str("值")})); }

bool ShowsWaitCursor() {
    SendMessageW(ListPane, WM_SETCURSOR, reinterpret_cast<WPARAM>(ListPane), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
}

// Takes the window's messages for a while, as its message loop would.
void RunMessagesFor(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
}

class LoadRunnerTest : public ViewerTest {
protected:
    std::u16string Write(const std::string& bytes, const std::string& name) {
        WriteFileBytes(ScratchDir() + name, bytes);
        return U16(ScratchDir() + name);
    }
    // A first document is shown, the second starts loading.
    void OpenFirstAndStartSecond() {
        ASSERT_EQ(Open(Document(), "first.rxdata"), 0);
        StartOpenSequence(Write(Document(), "second.rxdata").c_str());
        ASSERT_TRUE(OpenSequenceRunning());
        EXPECT_TRUE(ShowsWaitCursor());
    }
    // Cancelled: no message, no document, empty panes, the title of before;
    // then the next open works.
    void ExpectEndedSilentlyAndNextOpens(std::size_t messages) {
        EXPECT_FALSE(OpenSequenceRunning());
        EXPECT_EQ(PanesMessages().size(), messages);
        EXPECT_EQ(PanesItemCount(), 0u);
        EXPECT_EQ(PanesRowCount(), 0);
        EXPECT_EQ(DocumentRoot.data.ptr, nullptr);
        EXPECT_EQ(LiveAllocationCount(), 0);
        EXPECT_EQ(U8(PanesTitle()), "first.rxdata - Quarnix");
        EXPECT_FALSE(ShowsWaitCursor());
        StartOpenSequence(Write(Document(), "next.rxdata").c_str());
        WaitForLoad();
        EXPECT_EQ(U8(PanesTitle()), "next.rxdata - Quarnix");
        EXPECT_EQ(CaretText(), "next.rxdata");
        EXPECT_EQ(ChildTexts(Child(TreeRootItem(), "0")), (std::vector<std::string>{"0", "1"}));
        EXPECT_EQ(RowNames(), std::vector<std::string>{"0"});
    }
};

TEST_F(LoadRunnerTest, EscWhereverTheFocusIsCancelsAndTheNextOpenWorks) {
    struct Case {
        const char* where;
        HWND* window;
    } cases[] = {{"tree pane", &TreePane}, {"list pane", &ListPane}, {"main window", &MainWindowHandle}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        OpenFirstAndStartSecond();
        std::size_t messages = PanesMessages().size();
        SendMessageW(*c.window, WM_KEYDOWN, VK_ESCAPE, 0);
        WaitForLoad();
        ExpectEndedSilentlyAndNextOpens(messages);
    }
}

TEST_F(LoadRunnerTest, AnotherOpenCancelsTheRunningOneAndTheWindowGoingEndsIt) {
    OpenFirstAndStartSecond();
    std::size_t messages = PanesMessages().size();
    StartOpenSequence(Write(Document(), "third.rxdata").c_str());
    WaitForLoad();
    EXPECT_EQ(PanesMessages().size(), messages);
    EXPECT_EQ(U8(PanesTitle()), "third.rxdata - Quarnix");
    EXPECT_EQ(ChildTexts(TreeRootItem()), std::vector<std::string>{"0"});

    // Exit while loading: everything released, nothing posted comes back.
    StartOpenSequence(Write(Document(), "fourth.rxdata").c_str());
    DestroyWindow(MainWindowHandle);
    EXPECT_FALSE(OpenSequenceRunning());
    EXPECT_EQ(LiveAllocationCount(), 0);
    RunMessagesFor(50);
    EXPECT_EQ(PanesMessages().size(), messages);
}

TEST_F(LoadRunnerTest, FailedLoadsShowTheirMessageAfterTheLoad) {
    struct Case {
        std::string bytes, message;
    } cases[] = {
        {"", "无法识别该文件的格式"},
        {Document().substr(0, 8), "文件数据有误或不完整"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ASSERT_EQ(Open(Document(), "first.rxdata"), 0);
        std::size_t messages = PanesMessages().size();
        StartOpenSequence(Write(c.bytes, "bad.rxdata").c_str());
        EXPECT_EQ(PanesMessages().size(), messages);  // not before the load has run
        WaitForLoad();
        ASSERT_EQ(PanesMessages().size(), messages + 1);
        EXPECT_EQ(U8(PanesMessages().back().text), c.message);
        EXPECT_EQ(PanesItemCount(), 0u);
        EXPECT_EQ(U8(PanesTitle()), "first.rxdata - Quarnix");
    }
}

// A named pipe that sends nothing until told: the load waits for it.
TEST_F(LoadRunnerTest, ASlowSourceShowsTheProgressBarAndCancelsWhenItsBytesCome) {
    const wchar_t* name = L"\\\\.\\pipe\\quarnix-load-runner-test";
    HANDLE pipe = CreateNamedPipeW(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 1 << 16, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    ASSERT_EQ(Open(Document(), "first.rxdata"), 0);
    std::size_t messages = PanesMessages().size();
    StartOpenSequence(reinterpret_cast<const char16_t*>(name));
    ConnectNamedPipe(pipe, nullptr);  // the worker opens it
    EXPECT_FALSE(LoadProgressBar());
    RunMessagesFor(400);
    HWND bar = LoadProgressBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(GetParent(bar), StatusBar);
    EXPECT_TRUE(GetWindowLongPtrW(bar, GWL_STYLE) & PBS_MARQUEE);  // a pipe tells no size
    RECT inBar{}, status{};
    GetWindowRect(bar, &inBar);
    GetWindowRect(StatusBar, &status);
    EXPECT_TRUE(inBar.left > status.left && inBar.right <= status.right && inBar.bottom <= status.bottom);

    SendMessageW(ListPane, WM_KEYDOWN, VK_ESCAPE, 0);
    // Then bytes that fail at once (a negative count), with no further read
    // that would see the cancel: a cancelled load stays silent however its
    // bytes end.
    const char bad[] = "\x04\x08\x5b\xfa";
    DWORD written = 0;
    WriteFile(pipe, bad, 4, &written, nullptr);
    CloseHandle(pipe);
    WaitForLoad();
    EXPECT_FALSE(LoadProgressBar());
    ExpectEndedSilentlyAndNextOpens(messages);
}
}  // namespace
