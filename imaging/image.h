// tlImage: the layered image (background, layers, composite picture) and the
// conversion between resolution units.
#pragma once

#include <cstdint>

#include "imaging/colour.h"
#include "imaging/layer.h"
#include "imaging/picture.h"

class tlImage {
public:
    enum : int32_t { UnitNone = 0, UnitPerInch = 1, UnitPerCentimetre = 2, UnitPerMetre = 3 };

    tlImage();
    tlImage(const tlImage &) = delete;
    tlImage &operator=(const tlImage &) = delete;
    ~tlImage();

    // Creates the composite picture; on success the format is stored and
    // every layer is deleted. On failure nothing changes.
    bool create(int32_t w, int32_t h, tlPixelFormat newFormat);
    // Makes a created picture the composite as create would (its size and
    // format stored, every layer deleted); picture is left empty.
    void takePicture(tlPicture &created);
    void setResolution(int32_t unit, int32_t x, int32_t y);
    // Puts the layer on top of the stack and takes ownership when it
    // returns true (false: null layer or the list cannot grow).
    bool addLayer(tlLayer *layer);
    // Repaints the composite from the background up: the whole picture, or
    // the part of area inside it.
    void render();
    void render(const tlRect &area);

    tlPixelFormat format() const { return tlPixelFormat{model, bits, channels}; }

    int32_t width = 0;
    int32_t height = 0;
    tlColourModel model = tlColourModel::RGB;
    int32_t bits = 0;
    int32_t channels = 0;
    int32_t resolutionUnit = UnitNone;
    int32_t resolutionX = 0;
    int32_t resolutionY = 0;
    int32_t backgroundEnabled = 1;
    tlColour background;
    tlPicture picture;  // the composite
    tlLayerList layers;
    tlTextInfo textInfo;

private:
    void renderArea(const tlRect &area, bool whole);
};

// Converts x and y from one resolution unit (1 per inch, 2 per centimetre,
// 3 per metre) to another, truncating toward zero. Equal units: true,
// unchanged. Any other unit, or a result that does not fit 32 bits: false,
// unchanged.
bool convertResolution(int32_t fromUnit, int32_t toUnit, int32_t &x, int32_t &y);
