// Small effects and helpers for the picture layer tests.
#pragma once

#include <new>

#include "effects/core/effect.h"
#include "imaging/colour.h"
#include "imaging/picture.h"
#include "tests/support/formats.h"

// Inverts R, G and B of an RGB 8-bit picture; alpha is copied.
class FakeInvert : public tlEffect {
public:
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *) override {
        if (source.model != tlColourModel::RGB || source.bits != 8 || destination.width != source.width ||
            destination.height != source.height || destination.channels != source.channels)
            return false;
        for (int32_t y = 0; y < source.height; ++y) {
            for (int32_t x = 0; x < source.width; ++x) {
                const uint8_t *in = source.pixelAddress(x, y);
                uint8_t *out = destination.pixelAddress(x, y);
                for (int32_t c = 0; c < source.channels; ++c) out[c] = c < 3 ? 255 - in[c] : in[c];
            }
        }
        return true;
    }
    tlEffect *clone() const override { return new (std::nothrow) FakeInvert(*this); }
};

// Fails without touching anything.
class FakeFailing : public tlEffect {
public:
    bool apply(const tlPicture &, tlPicture &, tlProgress *) override { return false; }
    tlEffect *clone() const override { return new (std::nothrow) FakeFailing(*this); }
};

// Produces a new 5 × 1 gray picture of value 77.
class FakeProducer : public tlEffect {
public:
    bool producesPicture() const override { return true; }
    bool producePicture(const tlPicture &, tlPicture *&out, tlProgress *) override {
        if (!succeed) return false;
        out = new (std::nothrow) tlPicture;
        if (!out || !out->create(5, 1, kGray8)) return false;
        out->store[0] = out->store[1] = out->store[2] = out->store[3] = out->store[4] = 77;
        return true;
    }
    tlEffect *clone() const override { return new (std::nothrow) FakeProducer(*this); }
    bool succeed = true;
};

// A new RGB 8-bit 3-channel picture of one colour; the caller owns it.
inline tlPicture *solidPicture(int32_t w, int32_t h, uint32_t r, uint32_t g, uint32_t b) {
    tlPicture *p = new tlPicture;
    if (p->create(w, h, kRGB8)) p->fill(tlColour::rgb(r, g, b));
    return p;
}
