// Noise filter effects: HSV noise, histogram noise and spread.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"

class tlHSVNoiseEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(1, 24)

    int32_t coverage = 100;
    int32_t seed = 1;
    int32_t hueNoise = 0;
    int32_t saturationNoise = 0;
    int32_t valueNoise = 0;
    int32_t alphaNoise = 0;
};

class tlHistogramNoiseEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(4, 8)

    int32_t seed = 1;
    int32_t amount = 20;
};

class tlSpreadEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(25, 16)

    int32_t spreadX = 3;
    int32_t spreadY = 3;
    int32_t seed = 1;
    bool wrap = false;
};
