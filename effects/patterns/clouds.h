// Noise pattern effects: clouds and plasma.
#pragma once

#include <cstdint>

#include "generation/effect.h"
#include "imaging/colour.h"

class tlCloudEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 138;
    static constexpr uint32_t payloadLength = 32;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

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
    static constexpr int32_t classTypeId = 139;
    static constexpr uint32_t payloadLength = 12;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t seed = 1;
    int32_t roughness = 10;
    bool grayscale = false;
    bool wrap = false;
};
