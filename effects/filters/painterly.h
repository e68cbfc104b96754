// Painterly filter effects: oil paint and watercolor.
#pragma once

#include <cstdint>

#include "generation/effect.h"

class tlOilPaintEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 192;
    static constexpr uint32_t payloadLength = 8;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t radius = 2;
    bool wrap = false;
};

class tlWatercolorEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 193;
    static constexpr uint32_t payloadLength = 12;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t radius = 3;
    int32_t strength = 100;
    bool wrap = false;
};
