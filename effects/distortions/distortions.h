// Geometric distortion effects: cylinder, swirl, sine wave and kaleidoscope.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"

class tlCylinderEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(528, 4)

    int32_t vertical = 0;  // used as a flag: load stores 0 or 1
};

class tlSwirlEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(530, 4)

    int32_t angle = 180;  // degrees
};

// Its parameters are not part of the record: equals, load and save are the base ones
// (always equal, empty record); clone copies all five.
class tlSineWaveEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 532;
    static constexpr uint32_t payloadLength = 0;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;

    int32_t amplitudeX = 10;
    int32_t wavelengthX = 10;
    int32_t amplitudeY = 10;
    int32_t wavelengthY = 10;
    bool wrap = false;
};

class tlKaleidoscopeEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(535, 4)

    int32_t mode = 0;
};
