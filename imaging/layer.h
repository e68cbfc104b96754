// Layers of a layered image: tlLayer (a picture with a position, visibility,
// blend mode and opacity), tlPictureLayer (a layer driven by an effect list),
// tlLayerList and tlTextInfo.
#pragma once

#include <cstdint>

#include "generation/effect.h"
#include "imaging/picture.h"

// Owned key/value texts attached to images and layers (always empty in this
// program, but copied faithfully).
class tlTextInfo {
public:
    struct Entry {
        char *key = nullptr;    // owned, zero-terminated
        char *value = nullptr;  // owned, zero-terminated
    };

    tlTextInfo() = default;
    // Duplicates every text; the copy is empty when memory runs out.
    tlTextInfo(const tlTextInfo &other);
    tlTextInfo &operator=(const tlTextInfo &) = delete;
    ~tlTextInfo();

    // Appends a copy of the pair; false (unchanged) when memory runs out.
    bool add(const char *key, const char *value);
    // Replaces the contents with copies of other's; false (and empty) when
    // memory runs out.
    bool copyFrom(const tlTextInfo &other);
    void clear();

    int32_t count = 0;
    Entry *entries = nullptr;  // count entries, owned
};

class tlLayerList;

// A picture placed in an image. Abstract: the kinds of layer supply
// hasSubLayers, clone and update.
class tlLayer : public tlPicture {
public:
    tlLayer() = default;
    tlLayer(const tlLayer &other);  // copies the picture and the layer fields
    ~tlLayer() override;

    // Slots after tlPicture's destructor, create, release and convert.
    virtual bool hasSubLayers() const = 0;
    virtual tlLayer *clone() const = 0;  // a new layer, or null when out of memory
    virtual bool update() = 0;
    // The layers nested in this one, when hasSubLayers answers true.
    virtual const tlLayerList *subLayers() const { return nullptr; }

    int32_t x = 0;  // top-left pixel in image coordinates
    int32_t y = 0;
    bool visible = true;
    int32_t blendMode = 0;      // 0..17, 0 = normal
    uint32_t opacity = 65535;   // 0..65535, 65535 = fully opaque
    tlTextInfo textInfo;
};

// A layer whose pixels are its source picture (or nothing) run through its
// effect list.
class tlPictureLayer : public tlLayer {
public:
    tlPictureLayer() = default;
    // Copies everything, cloning each effect and duplicating the source.
    tlPictureLayer(const tlPictureLayer &other);
    ~tlPictureLayer() override;

    bool create(int32_t w, int32_t h, int32_t model, int32_t bits, int32_t channels) override;
    bool convert(int32_t model, int32_t bits, int32_t channels) override;
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

    int32_t layerWidth = 0;   // size that update renders at
    int32_t layerHeight = 0;
    tlEffectList effects;
    tlPicture *source = nullptr;  // owned, may be null
};

// Runs one effect on a picture, through blendFrom when the effect has a
// blend mode or an opacity below full.
bool applyEffect(tlPicture &picture, tlEffect &effect);

// The layers of an image, bottom first; owns them.
class tlLayerList {
public:
    tlLayerList() = default;
    tlLayerList(const tlLayerList &) = delete;
    tlLayerList &operator=(const tlLayerList &) = delete;
    ~tlLayerList() { clear(); }

    // Takes ownership when it returns true; false when layer is null or the
    // list cannot grow.
    bool append(tlLayer *layer);
    // Takes the layer at index out of the list; the caller owns it. Null when
    // out of range.
    tlLayer *removeAt(int32_t index);
    tlLayer *at(int32_t index) const { return static_cast<tlLayer *>(vector.at(index)); }
    int32_t count() const { return vector.count; }
    // With nested, a layer with sub-layers counts its own nested layers.
    int32_t count(bool nested) const;
    // Deletes every layer, the last first.
    void clear();

private:
    tlPointerVector vector;
};
