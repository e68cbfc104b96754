// tlPictureLayer, a layer whose pixels come from a source picture run through
// an effect list, and applyEffect, which runs one effect on a picture.
#pragma once

#include <cstdint>

#include "effects/core/effect.h"
#include "imaging/layer.h"

// A layer whose pixels are its source picture (or nothing) run through its
// effect list.
class tlPictureLayer : public tlLayer {
public:
    tlPictureLayer() = default;
    // Copies everything, cloning each effect and duplicating the source.
    tlPictureLayer(const tlPictureLayer &other);
    ~tlPictureLayer() override;

    bool create(int32_t w, int32_t h, tlPixelFormat newFormat) override;
    bool convert(tlPixelFormat newFormat) override;
    bool hasSubLayers() const override { return false; }
    // Null when any part (pixels, an effect, the source) cannot be duplicated.
    tlLayer *clone() const override;
    bool update() override;

    // Takes ownership of the effect when it returns true. With applyNow the
    // effect runs on the layer at once; when it fails the effect leaves the
    // list again and stays the caller's.
    bool addEffect(tlEffect *effect, bool applyNow);
    // Takes the effect at index out of the list without deleting it; the
    // caller owns it afterwards.
    bool removeEffect(int32_t index, bool updateAfter);
    // Takes ownership of source (may be null); the previous one is deleted.
    void setSource(tlPicture *newSource);

    int32_t layerWidth = 0;  // size that update renders at
    int32_t layerHeight = 0;
    tlEffectList effects;
    tlPicture *source = nullptr;  // owned, may be null
};

// Runs one effect on a picture, through blendFrom when the effect has a
// blend mode or an opacity below full.
bool applyEffect(tlPicture &picture, tlEffect &effect);
