// Edge filter effects: edge detection, neon glow and emboss.
#pragma once

#include <cstdint>

#include "generation/effect.h"

class tlEdgeDetectionEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 15;
    static constexpr uint32_t payloadLength = 16;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t kernel = 0;
    int32_t gain = 100;
    bool invert = false;
    bool wrap = false;
};

class tlNeonEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 16;
    static constexpr uint32_t payloadLength = 12;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t radius = 5;
    int32_t strength = 100;
    bool wrap = false;
};

class tlEmbossEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 17;
    static constexpr uint32_t payloadLength = 20;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t radius = 1;
    int32_t strength = 100;
    int32_t direction = 0;
    bool inColour = false;
    bool wrap = false;
};
