// Noise filter effects: HSV noise, histogram noise and spread.
#pragma once

#include <cstdint>

#include "generation/effect.h"

class tlHSVNoiseEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 1;
    static constexpr uint32_t payloadLength = 24;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t coverage = 100;
    int32_t seed = 1;
    int32_t hueNoise = 0;
    int32_t saturationNoise = 0;
    int32_t valueNoise = 0;
    int32_t alphaNoise = 0;
};

class tlHistogramNoiseEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 4;
    static constexpr uint32_t payloadLength = 8;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t seed = 1;
    int32_t amount = 20;
};

class tlSpreadEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 25;
    static constexpr uint32_t payloadLength = 16;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t spreadX = 3;
    int32_t spreadY = 3;
    int32_t seed = 1;
    bool wrap = false;
};
