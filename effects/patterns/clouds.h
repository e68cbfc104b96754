// Noise pattern effects: clouds and plasma.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"
#include "imaging/colour.h"

class tlCloudEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(138, 32)

    tlColour colour1 = tlColour::rgb(255, 255, 255);
    tlColour colour2 = tlColour::rgb(0, 0, 0);
    bool wrap = false;
    bool turbulence = false;
    int32_t detail = 4;
    int32_t scaleX = 20;
    int32_t scaleY = 20;
    int32_t seed = 0;  // neither stored nor compared; clone copies it
};

class tlPlasmaEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(139, 12)

    int32_t seed = 1;
    int32_t roughness = 10;
    bool grayscale = false;
    bool wrap = false;
};
