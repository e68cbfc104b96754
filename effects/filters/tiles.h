// Tile filter effects: pixelize, glass tiles and the negative.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"

class tlPixelizeEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(18, 8)

    int32_t cellWidth = 10;
    int32_t cellHeight = 10;
};

class tlGlassTileEffect : public tlEffect {
public:
    TL_EFFECT_RECORD_OPERATIONS(29, 12)

    int32_t tileWidth = 20;
    int32_t tileHeight = 20;
    bool wrap = false;
};

// No parameters: equals, load and save are the base ones (empty record).
class tlNegativeEffect : public tlEffect {
public:
    static constexpr int32_t classTypeId = 261;
    static constexpr uint32_t payloadLength = 0;

    int32_t typeId() const override { return classTypeId; }
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override;
    tlEffect *clone() const override;
};
