// tlRandom: MT19937 with the reference seeding, unbiased bounded draws, and
// the process-wide shared instance that random effects reseed.
#pragma once

#include <cstdint>

class tlRandom {
public:
    void seed(uint32_t value);
    void seedFromClock();
    uint32_t next();
    uint32_t below(uint32_t n);
    double unit();

    uint32_t state[624];
    int32_t index = 624;
};

tlRandom &sharedRandom();
