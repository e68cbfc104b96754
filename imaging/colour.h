// tlColour: a small self-describing colour value that turns itself into one
// pixel of any picture format.
#pragma once

#include <cstdint>

#include "imaging/pixel_format.h"

class tlPicture;

class tlColour {
public:
    tlColour();  // RGB 8-bit 3-channel black

    static tlColour rgb(uint32_t r, uint32_t g, uint32_t b);
    static tlColour rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a);
    static tlColour rgba16(uint32_t r, uint32_t g, uint32_t b, uint32_t a);
    static tlColour fromBytes(const uint8_t bytes[4]);
    static tlColour fromStream(const uint8_t bytes[8]);

    // Writes one pixel of the target format into out (at least 8 bytes).
    bool toPixel(tlPixelFormat target, void *out) const;
    bool toRGBA8(uint8_t out[4]) const;
    bool toRGBA16(uint16_t out[4]) const;
    bool toGrayAlpha8(uint8_t out[2]) const;
    bool toGrayAlpha16(uint16_t out[2]) const;
    // The picture's model and depth with an alpha channel always present.
    bool toPicturePixel(const tlPicture &picture, void *out) const;
    bool equals(const tlColour &other) const;
    tlPixelFormat format() const { return tlPixelFormat{model, bits, channels}; }

    // The 8-byte stream form: R, G, B, A as 16-bit little-endian words.
    bool toStream(uint8_t out[8]) const;

    tlColourModel model = tlColourModel::RGB;
    int32_t bits = 8;
    int32_t channels = 3;
    uint8_t samples[8] = {};
};
