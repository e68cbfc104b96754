// The program's start as a sequence of steps over an injected platform: the
// single-instance mutex, the window class and the main window. A step that
// fails ends the program with exit code 0, with the message it calls for.
#pragma once

#include <cstdint>

enum class MutexResult {
    taken,              // this copy holds the mutex
    heldByAnotherCopy,  // another copy runs
    failed              // the mutex could not be created
};

// The steps in their order; the program makes the Windows calls.
class StartupSteps {
public:
    virtual ~StartupSteps() {}
    virtual MutexResult takeMutex() = 0;
    // Documents folder, COM, the Active Desktop test and the settings.
    virtual void prepare() = 0;
    virtual bool registerMainClass() = 0;
    // The common controls, then the hidden main window (and its tray icon).
    virtual bool createMainWindow() = 0;
    // Seeds, the first change or the first-run dialog, idle priority, the
    // message loop and the shut-down; the WM_QUIT wParam.
    virtual int32_t run() = 0;
    // A message box with no owner and the default caption.
    virtual void showMessage(uint32_t textId) = 0;
};

// Runs the steps; the exit code of the program.
int32_t runProgram(StartupSteps &steps);
