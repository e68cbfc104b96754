// The main window's platform services and the worker thread on Windows.
// Window handles are passed as void * so that this header needs no Windows
// headers.
#pragma once

#include "platform/shell.h"

namespace platform {

// Timers and posted messages go to one window, set once it exists.
class Win32ShellPlatform : public ShellPlatform {
public:
    void setWindow(void *window) { this->window = window; }
    uint32_t tickCount() override;
    uint64_t currentTime() override;
    bool setTimer(uint32_t id, uint32_t ms) override;
    void killTimer(uint32_t id) override;
    bool postMessage(uint32_t message, uintptr_t param) override;
    bool deleteFile(const char *path) override;

private:
    void *window = nullptr;
};

// What the worker thread runs besides its tasks, each with context: started
// before its first task, finished after each task (before the notice), idle
// every idlePeriod ms without a task (0: never).
struct WorkerHooks {
    WorkerTask started = nullptr;
    WorkerTask finished = nullptr;
    WorkerTask idle = nullptr;
    void *context = nullptr;
    uint32_t idlePeriod = 0;
};

// One thread, started with the run-time's thread starter (_beginthreadex,
// so that the run-time's per-thread data is set up for the tasks' code) at
// the first start and kept until the worker is destroyed: what a task
// leaves on the thread (its caches, its floating-point set-up) is there for
// the next one. join waits for the task, not for the thread.
class Win32Worker : public Worker {
public:
    explicit Win32Worker(uint32_t doneMessage) : doneMessage(doneMessage) {}
    // Waits for the task, then ends the thread.
    ~Win32Worker() override;
    void setWindow(void *window) { this->window = window; }
    // Before the first start.
    void setHooks(const WorkerHooks &hooks) { this->hooks = hooks; }
    uint32_t start(WorkerTask task, void *context) override;
    WorkerPoll poll() override;
    void join() override;

private:
    static unsigned __stdcall threadMain(void *argument);
    bool startThread();
    void runTasks();

    uint32_t doneMessage;
    void *window = nullptr;
    WorkerHooks hooks;
    void *thread = nullptr;
    void *wake = nullptr;  // auto-reset: a task is given, or the thread is to end
    void *done = nullptr;  // manual-reset: the given task has returned
    bool busy = false;     // a task was given and not joined (main thread)
    // The given task, written before wake is set and read after it.
    WorkerTask task = nullptr;
    void *context = nullptr;
    uint32_t number = 0;
    bool ending = false;
    uint32_t lastNumber = 0;
};

// IsDBCSLeadByteEx in the ANSI code page: the lead-byte test for path
// scanning.
bool isAnsiLeadByte(uint8_t byte);
// lstrcmpiA: ANSI texts equal but for letter case, every case the user's
// locale knows (full-width, Greek and Cyrillic letters too).
bool sameTextIgnoringCase(const char *a, const char *b);

}  // namespace platform
