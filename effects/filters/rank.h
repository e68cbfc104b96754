// Rank filter effects: median, minimum and maximum over a square neighbourhood.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"

class tlMedianEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(22, 8)

    int32_t radius = 1;
    bool wrap = false;
};

class tlMinimumEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(23, 8)

    int32_t radius = 1;
    bool wrap = false;
};

class tlMaximumEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(24, 8)

    int32_t radius = 1;
    bool wrap = false;
};
