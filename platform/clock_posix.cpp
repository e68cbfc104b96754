// Tick count on POSIX systems: the monotonic clock in milliseconds, truncated to 32 bits.
#include "platform/clock.h"

#include <time.h>

namespace platform {

uint32_t tickCount() {
    struct timespec now;
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0;
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

}  // namespace platform
