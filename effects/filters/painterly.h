// Painterly filter effects: oil paint and watercolor.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"

class tlOilPaintEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(192, 8)

    int32_t radius = 2;
    bool wrap = false;
};

class tlWatercolorEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(193, 12)

    int32_t radius = 3;
    int32_t strength = 100;
    bool wrap = false;
};
