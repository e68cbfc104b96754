// Dot pattern effects: a regular dot lattice and randomly scattered dots.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"
#include "imaging/colour.h"

class tlDotsEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(133, 36)

    tlColour colour = tlColour::rgba(0, 0, 0, 255);
    int32_t shape = 0;
    int32_t dotSize = 5;
    int32_t gap = 5;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    int32_t staggered = 0;  // used as a flag
    bool antialias = false;
};

class tlRandomDotsEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(134, 36)

    int32_t shape = 0;
    tlColour colour = tlColour::rgb(0, 0, 0);
    int32_t alphaJitter = 0;
    int32_t dotSize = 10;
    int32_t sizeJitter = 0;
    int32_t density = 50;
    int32_t seed = 0;
    bool wrap = false;
    bool spareFlag = false;  // stored, compared and copied; drawing does not read it
};
