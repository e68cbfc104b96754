// Timers, posted messages and the worker thread on a real (message-only)
// window.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/shell_win32.h"

namespace {

const UINT doneMessage = 1025;

// The task multiplies the two numbers its context holds, into the third.
void multiply(void *context) {
    uint32_t *numbers = static_cast<uint32_t *>(context);
    numbers[2] = numbers[0] * numbers[1];
}

// Waits (bounded) for a message of the given number on the window.
bool waitFor(HWND window, UINT message, MSG *out) {
    for (int i = 0; i < 500; ++i) {
        while (PeekMessageA(out, window, 0, 0, PM_REMOVE)) {
            if (out->message == message) return true;
        }
        Sleep(10);
    }
    return false;
}

class MessageWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
        ASSERT_TRUE(window);
    }
    void TearDown() override { DestroyWindow(window); }
    HWND window = nullptr;
};

TEST_F(MessageWindow, WorkerRunsTheTaskThenPostsItsNumber) {
    platform::Win32Worker worker(doneMessage);
    worker.setWindow(window);
    uint32_t numbers[3] = {6, 7, 0};
    uint32_t first = worker.start(multiply, numbers);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(worker.start(multiply, numbers), 0u);  // one worker at a time
    MSG message;
    ASSERT_TRUE(waitFor(window, doneMessage, &message));
    EXPECT_EQ(message.wParam, first);
    EXPECT_EQ(numbers[2], 42u);
    worker.join();
    EXPECT_EQ(worker.poll(), platform::WorkerPoll::failed);  // no task now
    uint32_t second = worker.start(multiply, numbers);
    EXPECT_EQ(second, first + 1);
    worker.join();
    ASSERT_TRUE(waitFor(window, doneMessage, &message));
    EXPECT_EQ(message.wParam, second);
}

// What the hooks and tasks saw: the threads they ran on and their counts.
struct HookLog {
    DWORD started = 0, finished = 0, task[2] = {0, 0};
    LONG starts = 0, finishes = 0, idles = 0;
};

// The thread is started once, runs every task and the hooks, calls idle
// while it has nothing to do, and ends with the worker.
TEST_F(MessageWindow, WorkerKeepsOneThreadForEveryTask) {
    static HookLog log;
    log = HookLog();
    platform::WorkerHooks hooks;
    hooks.started = [](void *) { log.started = GetCurrentThreadId(), ++log.starts; };
    hooks.finished = [](void *) { log.finished = GetCurrentThreadId(), ++log.finishes; };
    hooks.idle = [](void *) { InterlockedIncrement(&log.idles); };
    hooks.idlePeriod = 5;
    {
        platform::Win32Worker worker(doneMessage);
        worker.setWindow(window);
        worker.setHooks(hooks);
        for (int i = 0; i < 2; ++i) {
            ASSERT_NE(
                worker.start([](void *slot) { *static_cast<DWORD *>(slot) = GetCurrentThreadId(); }, &log.task[i]), 0u);
            worker.join();
            EXPECT_EQ(log.finishes, i + 1);  // before the task counts as done
        }
        for (int i = 0; i < 500 && log.idles == 0; ++i) Sleep(10);
    }
    EXPECT_GT(log.idles, 0);
    EXPECT_EQ(log.starts, 1);
    EXPECT_NE(log.task[0], GetCurrentThreadId());
    EXPECT_EQ(log.task[1], log.task[0]);
    EXPECT_EQ(log.started, log.task[0]);
    EXPECT_EQ(log.finished, log.task[0]);
}

TEST_F(MessageWindow, TimersAndPostedMessages) {
    platform::Win32ShellPlatform shell;
    shell.setWindow(window);
    ASSERT_TRUE(shell.setTimer(2, 10));
    MSG message;
    ASSERT_TRUE(waitFor(window, WM_TIMER, &message));
    EXPECT_EQ(message.wParam, 2u);
    shell.killTimer(2);
    EXPECT_TRUE(shell.postMessage(1026, 0));
    ASSERT_TRUE(waitFor(window, 1026, &message));
    // Longer than SetTimer takes: shortened, not refused.
    EXPECT_TRUE(shell.setTimer(1, 0xFFFFFFFFu));
    shell.killTimer(1);
    uint32_t before = shell.tickCount();
    Sleep(20);
    EXPECT_NE(shell.tickCount(), before);
}

TEST(AnsiLeadBytes, AsciiIsNeverALeadByte) {
    for (int b = 0; b < 0x80; ++b) EXPECT_FALSE(platform::isAnsiLeadByte(uint8_t(b)));
}

}  // namespace

// The folder comparison folds every letter case the ANSI code page knows,
// not only ASCII's: full-width, Greek and Cyrillic letters in Shift-JIS.
TEST(FolderTexts, CaseIsFoldedAsTheSystemDoes) {
    EXPECT_TRUE(platform::sameTextIgnoringCase("C:\\Wall\\Pics", "c:\\wALL\\pics"));
    EXPECT_FALSE(platform::sameTextIgnoringCase("C:\\wall", "C:\\wal"));
    EXPECT_FALSE(platform::sameTextIgnoringCase("C:\\wall", "C:\\walk"));
    struct Pair {
        const char *upper, *lower;
    };
    if (GetACP() == 932) {
        const Pair pairs[] = {
            {"C:\\\x82\x60", "C:\\\x82\x81"},  // full-width A, a
            {"C:\\\x83\x9F", "C:\\\x83\xBF"},  // Greek Alpha, alpha
            {"C:\\\x84\x40", "C:\\\x84\x70"},  // Cyrillic A, a
        };
        for (const Pair &p : pairs) EXPECT_TRUE(platform::sameTextIgnoringCase(p.upper, p.lower)) << p.upper;
        // A full-width letter is not its ASCII one.
        EXPECT_FALSE(platform::sameTextIgnoringCase("C:\\\x82\x60", "C:\\A"));
    } else if (GetACP() == 1252) {
        EXPECT_TRUE(platform::sameTextIgnoringCase("C:\\\xC0\xC9", "C:\\\xE0\xE9"));  // À É, à é
    }
}
