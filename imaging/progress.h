// tlProgress: optional observer of long operations; every caller in the
// program passes none.
#pragma once

#include <cstdint>

class tlProgress {
public:
    virtual ~tlProgress() = default;
    virtual void begin(int32_t total) = 0;
    // Advances by one unit; false asks the operation to stop.
    virtual bool step() = 0;
};
