// Tick count on Windows: GetTickCount.
#include "platform/clock.h"

#include <windows.h>

namespace platform {

uint32_t tickCount() { return static_cast<uint32_t>(GetTickCount()); }

}  // namespace platform
