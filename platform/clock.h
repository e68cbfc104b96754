// Millisecond tick count of the system, the seed source of the generators.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start; wraps around after about 49.7 days.
uint32_t tickCount();

}  // namespace platform
