// Idle priority for helper threads on Windows.
#include "platform/thread_priority_win32.h"

#include <windows.h>

namespace platform {

void useIdlePriority() {
    if (GetPriorityClass(GetCurrentProcess()) == IDLE_PRIORITY_CLASS) return;
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
}

}  // namespace platform
