// What the wallpaper cycle needs of the main window's platform: the tick
// count, the window's timers, posting to the window's queue, deleting a file,
// and the one worker thread.
#pragma once

#include <cstdint>

namespace platform {

// The longest period a timer takes (USER_TIMER_MAXIMUM, held equal in
// app/win32/sdk_values.cpp); setTimer shortens longer ones to it, and the
// settings refuse intervals beyond it.
const uint32_t kLongestTimerPeriod = 0x7FFFFFFF;

class ShellPlatform {
public:
    virtual ~ShellPlatform() {}
    // Milliseconds since some start, wrapping at 2^32 (GetTickCount): the
    // program's one clock, which tests move by hand.
    virtual uint32_t tickCount() = 0;
    // Seconds since 1970-01-01 UTC by the system clock (which the user may
    // set): when a wallpaper was shown, for the history.
    virtual uint64_t currentTime() = 0;
    // Arms (or re-arms) timer id on the main window; it fires every ms
    // milliseconds (at most kLongestTimerPeriod) until killed.
    virtual bool setTimer(uint32_t id, uint32_t ms) = 0;
    virtual void killTimer(uint32_t id) = 0;
    // PostMessageA to the main window.
    virtual bool postMessage(uint32_t message, uintptr_t param) = 0;
    virtual bool deleteFile(const char *path) = 0;
};

enum class WorkerPoll {
    finished,  // the task has returned
    running,   // the task still runs
    failed     // the wait itself failed
};

// What a worker runs on its thread: task(context). The program's task
// renders a generation job; the platform knows nothing of it.
typedef void (*WorkerTask)(void *context);

// The worker thread. It runs the task it is given and, once the task
// returned, posts the completion message to the main window with the job
// number that start() returned as parameter, so that a notice of an earlier
// job can be told apart from the current one's. "A worker exists" while a
// task was given and not joined; the thread itself may outlive the task.
class Worker {
public:
    virtual ~Worker() {}
    // Runs task(context) on the worker thread (started when there is none);
    // 0 when the task could not be given, else the job number (never 0).
    // Only called when no worker exists. What context points to must
    // outlive the task.
    virtual uint32_t start(WorkerTask task, void *context) = 0;
    virtual WorkerPoll poll() = 0;
    // Waits for the task to return; afterwards no worker exists.
    virtual void join() = 0;
};

}  // namespace platform
