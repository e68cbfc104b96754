// What the wallpaper cycle needs of the main window's platform: the tick
// count, the window's timers, posting to the window's queue, deleting a file,
// and the one worker thread.
#pragma once

#include <cstdint>

struct GenerationJob;

namespace platform {

class ShellPlatform {
public:
    virtual ~ShellPlatform() {}
    // Milliseconds since some start, wrapping at 2^32 (GetTickCount).
    virtual uint32_t tickCount() = 0;
    // Seconds since 1970-01-01 UTC by the system clock (which the user may
    // set): when a wallpaper was shown, for the history.
    virtual uint64_t currentTime() = 0;
    // Arms (or re-arms) timer id on the main window; it fires every ms
    // milliseconds until killed.
    virtual bool setTimer(uint32_t id, uint32_t ms) = 0;
    virtual void killTimer(uint32_t id) = 0;
    // PostMessageA to the main window.
    virtual bool postMessage(uint32_t message, uintptr_t param) = 0;
    virtual bool deleteFile(const char *path) = 0;
};

enum class WorkerPoll {
    finished,  // the thread has ended (wait with time-out 0 returned 0)
    running,   // still rendering
    failed     // the wait itself failed
};

// The worker thread. It runs the job it is given and, once the job returned,
// posts the completion message to the main window with the job number that
// start() returned as parameter, so that a notice of an earlier worker can be
// told apart from the current one's.
class Worker {
public:
    virtual ~Worker() {}
    // Starts a new thread for the job; 0 when no thread could be started,
    // else the job number (never 0). Only called when no worker exists.
    virtual uint32_t start(GenerationJob *job) = 0;
    virtual WorkerPoll poll() = 0;
    // Waits for the thread to end and releases it; afterwards no worker
    // exists.
    virtual void join() = 0;
};

// The entry a worker runs on its thread (runGenerationJob in the program).
typedef void (*JobEntry)(GenerationJob *job);

}  // namespace platform
