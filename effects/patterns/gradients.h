// Gradient pattern effects: a two-colour gradient and a repeating gradient band.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"
#include "imaging/colour.h"

class tlGradientEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(130, 24)

    tlColour colour1 = tlColour::rgb(0, 0, 0);
    tlColour colour2 = tlColour::rgb(255, 255, 255);
    int32_t shape = 0;
    int32_t drawMode = 0;
};

class tlGradientPatternEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(131, 32)

    tlColour colour1 = tlColour::rgb(0, 0, 0);
    tlColour colour2 = tlColour::rgb(255, 255, 255);
    int32_t orientation = 0;
    int32_t period = 10;
    int32_t sawtooth = 0;  // used as a flag
    int32_t drawMode = 0;
};
