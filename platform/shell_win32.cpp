// Timers, posted messages, file deletion and the worker thread on Windows.
#include "platform/shell_win32.h"

#include <windows.h>
#include <process.h>

#include <new>

namespace platform {

bool isAnsiLeadByte(uint8_t byte) { return IsDBCSLeadByteEx(CP_ACP, byte) != 0; }

bool sameTextIgnoringCase(const char *a, const char *b) { return lstrcmpiA(a, b) == 0; }

uint32_t Win32ShellPlatform::tickCount() { return GetTickCount(); }

uint64_t Win32ShellPlatform::currentTime() {
    // FILETIME counts 100 ns from 1601-01-01 UTC; 1970 is 11644473600 s later.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t ticks = uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    const uint64_t kUnixEpoch = 116444736000000000ull;
    return ticks < kUnixEpoch ? 0 : (ticks - kUnixEpoch) / 10000000ull;
}

bool Win32ShellPlatform::setTimer(uint32_t id, uint32_t ms) {
    UINT period = ms > kLongestTimerPeriod ? kLongestTimerPeriod : ms;
    return SetTimer(static_cast<HWND>(window), id, period, nullptr) != 0;
}

void Win32ShellPlatform::killTimer(uint32_t id) { KillTimer(static_cast<HWND>(window), id); }

bool Win32ShellPlatform::postMessage(uint32_t message, uintptr_t param) {
    return PostMessageA(static_cast<HWND>(window), message, param, 0) != 0;
}

bool Win32ShellPlatform::deleteFile(const char *path) { return DeleteFileA(path) != 0; }

unsigned __stdcall Win32Worker::threadMain(void *argument) {
    static_cast<Win32Worker *>(argument)->runTasks();
    return 0;
}

void Win32Worker::runTasks() {
    if (hooks.started) hooks.started(hooks.context);
    const DWORD wait = hooks.idle && hooks.idlePeriod ? hooks.idlePeriod : INFINITE;
    for (;;) {
        const DWORD woken = WaitForSingleObject(static_cast<HANDLE>(wake), wait);
        if (woken == WAIT_TIMEOUT) {
            hooks.idle(hooks.context);
            continue;
        }
        if (woken != WAIT_OBJECT_0 || ending) return;
        task(context);
        if (hooks.finished) hooks.finished(hooks.context);
        // The task's result is stored before the notice goes out; the main
        // thread reads it only after the notice or after seeing done set.
        PostMessageA(static_cast<HWND>(window), doneMessage, number, 0);
        SetEvent(static_cast<HANDLE>(done));
    }
}

Win32Worker::~Win32Worker() {
    join();
    if (thread) {
        ending = true;
        SetEvent(static_cast<HANDLE>(wake));
        WaitForSingleObject(static_cast<HANDLE>(thread), INFINITE);
        CloseHandle(static_cast<HANDLE>(thread));
    }
    if (wake) CloseHandle(static_cast<HANDLE>(wake));
    if (done) CloseHandle(static_cast<HANDLE>(done));
}

bool Win32Worker::startThread() {
    if (!wake) wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!done) done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!wake || !done) return false;
    uintptr_t handle = _beginthreadex(nullptr, 0, threadMain, this, 0, nullptr);
    if (!handle) return false;
    thread = reinterpret_cast<void *>(handle);
    return true;
}

uint32_t Win32Worker::start(WorkerTask newTask, void *newContext) {
    if (busy || (!thread && !startThread())) return 0;
    uint32_t next = lastNumber + 1;
    if (next == 0) next = 1;
    task = newTask;
    context = newContext;
    number = next;
    ResetEvent(static_cast<HANDLE>(done));
    if (!SetEvent(static_cast<HANDLE>(wake))) return 0;
    busy = true;
    lastNumber = next;
    return next;
}

WorkerPoll Win32Worker::poll() {
    if (!busy) return WorkerPoll::failed;
    switch (WaitForSingleObject(static_cast<HANDLE>(done), 0)) {
    case WAIT_OBJECT_0: return WorkerPoll::finished;
    case WAIT_TIMEOUT: return WorkerPoll::running;
    default: return WorkerPoll::failed;
    }
}

void Win32Worker::join() {
    if (!busy) return;
    WaitForSingleObject(static_cast<HANDLE>(done), INFINITE);
    busy = false;
}

}  // namespace platform
