// Timers, posted messages, file deletion and the worker thread on Windows.
#include "platform/shell_win32.h"

#include <windows.h>
#include <process.h>

#include <new>

namespace platform {

bool isAnsiLeadByte(uint8_t byte) { return IsDBCSLeadByteEx(CP_ACP, byte) != 0; }

bool sameTextIgnoringCase(const char *a, const char *b) { return lstrcmpiA(a, b) == 0; }

uint32_t Win32ShellPlatform::tickCount() { return GetTickCount(); }

bool Win32ShellPlatform::setTimer(uint32_t id, uint32_t ms) {
    UINT period = ms > kLongestTimerPeriod ? kLongestTimerPeriod : ms;
    return SetTimer(static_cast<HWND>(window), id, period, nullptr) != 0;
}

void Win32ShellPlatform::killTimer(uint32_t id) { KillTimer(static_cast<HWND>(window), id); }

bool Win32ShellPlatform::postMessage(uint32_t message, uintptr_t param) {
    return PostMessageA(static_cast<HWND>(window), message, param, 0) != 0;
}

bool Win32ShellPlatform::deleteFile(const char *path) { return DeleteFileA(path) != 0; }

// What the new thread needs; owned by the thread from its start.
struct Win32Worker::Launch {
    WorkerTask task;
    void *context;
    HWND window;
    UINT message;
    uint32_t number;
};

unsigned __stdcall Win32Worker::threadMain(void *argument) {
    Launch *launch = static_cast<Launch *>(argument);
    launch->task(launch->context);
    // The task's result is stored before the notice goes out; the main
    // thread reads it only after the notice or after seeing the thread end.
    PostMessageA(launch->window, launch->message, launch->number, 0);
    delete launch;
    return 0;
}

Win32Worker::~Win32Worker() { join(); }

uint32_t Win32Worker::start(WorkerTask task, void *context) {
    if (thread) return 0;
    uint32_t number = lastNumber + 1;
    if (number == 0) number = 1;
    Launch *launch = new (std::nothrow)
        Launch{task, context, static_cast<HWND>(window), doneMessage, number};
    if (!launch) return 0;
    uintptr_t handle = _beginthreadex(nullptr, 0, threadMain, launch, 0, nullptr);
    if (!handle) {
        delete launch;
        return 0;
    }
    thread = reinterpret_cast<void *>(handle);
    lastNumber = number;
    return number;
}

WorkerPoll Win32Worker::poll() {
    if (!thread) return WorkerPoll::failed;
    switch (WaitForSingleObject(static_cast<HANDLE>(thread), 0)) {
    case WAIT_OBJECT_0: return WorkerPoll::finished;
    case WAIT_TIMEOUT: return WorkerPoll::running;
    default: return WorkerPoll::failed;
    }
}

void Win32Worker::join() {
    if (!thread) return;
    WaitForSingleObject(static_cast<HANDLE>(thread), INFINITE);
    CloseHandle(static_cast<HANDLE>(thread));
    thread = nullptr;
}

}  // namespace platform
