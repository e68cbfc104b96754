// Layers of a layered image: tlLayer (a picture with a position, visibility,
// blend mode and opacity, abstract), tlLayerList and tlTextInfo. The picture
// layer, which runs effects, belongs to the effect framework
// (effects/core/picture_layer.h).
#pragma once

#include <cstdint>

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
    int32_t blendMode = 0;     // 0..17, 0 = normal
    uint32_t opacity = 65535;  // 0..65535, 65535 = fully opaque
    tlTextInfo textInfo;
};

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
