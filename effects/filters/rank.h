// Rank filter effects: median, minimum and maximum over a square neighbourhood.
#pragma once

#include <cstdint>

#include "generation/effect.h"

class tlMedianEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 22;
    static constexpr uint32_t payloadLength = 8;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t radius = 1;
    bool wrap = false;
};

class tlMinimumEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 23;
    static constexpr uint32_t payloadLength = 8;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t radius = 1;
    bool wrap = false;
};

class tlMaximumEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 24;
    static constexpr uint32_t payloadLength = 8;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
    bool equals(const tlEffect &other) const override;
    bool load(tlStream &stream) override;
    bool save(tlStream &stream) const override;

    int32_t radius = 1;
    bool wrap = false;
};
