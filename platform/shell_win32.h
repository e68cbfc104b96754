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
    bool setTimer(uint32_t id, uint32_t ms) override;
    void killTimer(uint32_t id) override;
    bool postMessage(uint32_t message, uintptr_t param) override;
    bool deleteFile(const char *path) override;

private:
    void *window = nullptr;
};

// A thread started with the run-time's thread starter (_beginthreadex), so
// the run-time's per-thread data is set up for the task's code.
class Win32Worker : public Worker {
public:
    explicit Win32Worker(uint32_t doneMessage) : doneMessage(doneMessage) {}
    ~Win32Worker() override;
    void setWindow(void *window) { this->window = window; }
    uint32_t start(WorkerTask task, void *context) override;
    WorkerPoll poll() override;
    void join() override;

private:
    struct Launch;
    static unsigned __stdcall threadMain(void *argument);

    uint32_t doneMessage;
    void *window = nullptr;
    void *thread = nullptr;
    uint32_t lastNumber = 0;
};

// IsDBCSLeadByteEx in the ANSI code page: the lead-byte test for path
// scanning.
bool isAnsiLeadByte(uint8_t byte);
// lstrcmpiA: ANSI texts equal but for letter case, every case the user's
// locale knows (full-width, Greek and Cyrillic letters too).
bool sameTextIgnoringCase(const char *a, const char *b);

}  // namespace platform
