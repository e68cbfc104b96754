// The program's start: each step that can fail, and what its failure shows.
#include "app/startup.h"

#include "app/resources/resource.h"

int32_t runProgram(StartupSteps &steps) {
    switch (steps.takeMutex()) {
    case MutexResult::failed: steps.showMessage(IDS_NO_MUTEX); return 0;
    case MutexResult::heldByAnotherCopy: return 0;  // silently
    case MutexResult::taken: break;
    }
    steps.prepare();
    if (!steps.registerMainClass()) {
        steps.showMessage(IDS_NO_WINDOW_CLASS);
        return 0;
    }
    if (!steps.createMainWindow()) {
        steps.showMessage(IDS_NO_WINDOW);
        return 0;
    }
    return steps.run();
}
