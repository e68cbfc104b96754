// Idle priority for the helper threads of the tray program's rendering.
#pragma once

namespace platform {

// Puts the calling thread at idle priority. In an IDLE_PRIORITY_CLASS
// process (the tray program lowers itself at start-up) every thread at the
// normal level runs at idle priority already, the worker among them, and the
// thread stays there: level with the worker, neither ahead of it nor behind
// it, where other background work could starve a helper while the worker
// waits for its rows. In a process of any other class the thread alone is
// lowered to THREAD_PRIORITY_IDLE.
void useIdlePriority();

}  // namespace platform
