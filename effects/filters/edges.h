// Edge filter effects: edge detection, neon glow and emboss.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"

class tlEdgeDetectionEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(15, 16)

    int32_t kernel = 0;
    int32_t gain = 100;
    bool invert = false;
    bool wrap = false;
};

class tlNeonEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(16, 12)

    int32_t radius = 5;
    int32_t strength = 100;
    bool wrap = false;
};

class tlEmbossEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(17, 20)

    int32_t radius = 1;
    int32_t strength = 100;
    int32_t direction = 0;
    bool inColour = false;
    bool wrap = false;
};
