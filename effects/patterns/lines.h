// Line pattern effects: parallel lines, grids and checkers.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"
#include "imaging/colour.h"

class tlParallelLinesEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(135, 24)

    tlColour colour = tlColour::rgb(0, 0, 0);
    int32_t vertical = 0;  // used as a flag
    int32_t lineWidth = 1;
    int32_t gap = 1;
    int32_t offset = 0;
};

class tlGridEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(136, 28)

    tlColour colour = tlColour::rgb(0, 0, 0);
    int32_t lineWidth = 1;
    int32_t gapX = 1;
    int32_t gapY = 1;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
};

class tlCheckerEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(137, 24)

    tlColour colour1 = tlColour::rgba(0, 0, 0, 255);
    tlColour colour2 = tlColour::rgba(255, 255, 255, 255);
    int32_t cellWidth = 10;
    int32_t cellHeight = 10;
};
