// Gradient pattern effects: a two-colour gradient and a repeating gradient band.
#pragma once

#include <cstdint>

#include "generation/effect.h"
#include "imaging/colour.h"

class tlGradientEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 130;
    static constexpr uint32_t payloadLength = 24;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    tlColour colour1 = tlColour::rgb(0, 0, 0);
    tlColour colour2 = tlColour::rgb(255, 255, 255);
    int32_t shape = 0;
    int32_t drawMode = 0;
};

class tlGradientPatternEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 131;
    static constexpr uint32_t payloadLength = 32;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    tlColour colour1 = tlColour::rgb(0, 0, 0);
    tlColour colour2 = tlColour::rgb(255, 255, 255);
    int32_t orientation = 0;
    int32_t period = 10;
    int32_t sawtooth = 0;  // used as a flag
    int32_t drawMode = 0;
};
