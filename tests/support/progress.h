// A progress observer for the tests: it counts and can ask to stop.
#pragma once

#include <climits>
#include <cstdint>

#include "imaging/progress.h"

// Records the total begin was given (-1 until then) and counts steps;
// answers false from step number stopAt on.
struct CountingProgress : tlProgress {
    CountingProgress() = default;
    explicit CountingProgress(int32_t stopAt) : stopAt(stopAt) {}
    void begin(int32_t t) override { total = t; }
    bool step() override { return ++steps < stopAt; }

    int32_t total = -1;
    int32_t steps = 0;
    int32_t stopAt = INT_MAX;
};
