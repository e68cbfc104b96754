// tlPicture: the one pixel buffer of the system, with its palette, the row
// converter between pixel formats and the pointer vector under the typed lists.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/pixel_format.h"

class tlColour;

// Rectangle with right and bottom exclusive.
struct tlRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool isEmpty() const { return left >= right || top >= bottom; }
    // Pixels inside (a non-empty rectangle).
    int64_t pixelCount() const { return (static_cast<int64_t>(right) - left) * (static_cast<int64_t>(bottom) - top); }
};

// 256-entry palette of indexed pictures: R, G, B and a zero byte per entry.
class tlPalette {
public:
    tlPalette() = default;
    tlPalette(const tlPalette &other);  // duplicates; empty when out of memory
    tlPalette &operator=(const tlPalette &) = delete;
    ~tlPalette();

    bool resize(int32_t n);
    bool setEntry(int32_t i, uint8_t r, uint8_t g, uint8_t b);

    int32_t count = 0;
    uint8_t *entries = nullptr;  // count x 4 bytes, owned
};

// Growable vector of pointers; does not own what it points to.
class tlPointerVector {
public:
    tlPointerVector() = default;
    tlPointerVector(const tlPointerVector &) = delete;
    tlPointerVector &operator=(const tlPointerVector &) = delete;
    ~tlPointerVector();

    bool insert(int32_t index, void *item);
    bool append(void *item) { return insert(count, item); }
    void *removeAt(int32_t index);
    void *at(int32_t index) const;
    bool reserve(int32_t n);
    void clear();           // when count > 0: frees the storage, count and capacity 0
    void releaseStorage();  // frees the storage whatever the count

    int32_t count = 0;
    int32_t capacity = 0;
    void **items = nullptr;  // owned storage of capacity slots
};

class tlPicture {
public:
    tlPicture() = default;
    // Duplicates store and palette; the copy is empty (null store) when the
    // store cannot be duplicated.
    tlPicture(const tlPicture &other);
    tlPicture &operator=(const tlPicture &) = delete;
    virtual ~tlPicture();

    // Virtual operations in slot order.
    virtual bool create(int32_t w, int32_t h, tlPixelFormat newFormat);
    virtual void release();
    virtual bool convert(tlPixelFormat newFormat);

    void moveFrom(tlPicture &other);

    uint8_t *pixelAddress(int32_t x, int32_t y) const {
        return store + static_cast<ptrdiff_t>(y) * stride + static_cast<ptrdiff_t>(x) * (bitsPerPixel / 8);
    }
    uint8_t *row(int32_t y) const { return store + static_cast<ptrdiff_t>(y) * stride; }
    void getPixel(int32_t x, int32_t y, void *buffer) const;
    void setPixel(int32_t x, int32_t y, const void *buffer);
    int32_t bytesPerPixel() const { return bitsPerPixel / 8; }
    tlPixelFormat format() const { return tlPixelFormat{model, bits, channels}; }

    tlRect workRect() const;
    // area cut to the picture: left and top at least 0, right and bottom at
    // most the width and height (empty when nothing is left).
    tlRect clip(const tlRect &area) const;
    // The work rectangle cut to the picture, the pixels an effect may touch;
    // false when nothing is left.
    bool clippedWorkRect(tlRect &area) const;
    bool hasAlpha() const { return (channels & 1) == 0; }
    bool isEmpty() const { return store == nullptr; }

    void fill(const tlColour &colour);
    void fill(const tlRect &area, const tlColour &colour);
    void clear();
    void clear(const tlRect &area);

    void copyFrom(int32_t dx, int32_t dy, const tlPicture &source, int32_t sx, int32_t sy, int32_t w, int32_t h);
    void copyFrom(int32_t dx, int32_t dy, const tlPicture &source);
    // Compositing counterpart of copyFrom (blend mode 0..17, opacity 0..65535).
    bool blendFrom(int32_t dx, int32_t dy, const tlPicture &source, int32_t sx, int32_t sy, int32_t w, int32_t h,
                   int32_t mode, uint32_t opacity);

    int32_t width = 0;
    int32_t height = 0;
    tlColourModel model = tlColourModel::RGB;
    int32_t bits = 0;      // bits per channel: 8 or 16
    int32_t channels = 0;  // 1..4, alpha when even
    int32_t bitsPerPixel = 0;
    int32_t stride = 0;            // bytes per row, a multiple of 4
    uint8_t *store = nullptr;      // height x stride bytes, owned (malloc/calloc, freed with free)
    tlPalette *palette = nullptr;  // owned, indexed pictures only
    bool selected = false;
    tlRect selection;

protected:
    void releaseBase();
};

// Row stride for a format and width, or -1 when it does not fit 32 bits.
int32_t strideFor(int32_t bitsPerPixel, int32_t width);

// out = a new picture of w x h in tile's format with tile laid from the
// top-left corner across it, the last ones cut (a seamless tile makes a
// seamless picture of any size). False when out cannot be created.
bool repeatPicture(const tlPicture &tile, int32_t w, int32_t h, tlPicture &out);

// Clips a copy/blend block against source and destination; false when
// nothing is left.
bool clipBlock(int32_t &dx, int32_t &dy, int32_t &sx, int32_t &sy, int32_t &w, int32_t &h, int32_t dstW, int32_t dstH,
               int32_t srcW, int32_t srcH);

// Converts n pixels from the source format to the destination format.
void convertRow(uint8_t *dst, tlPixelFormat dstFormat, const uint8_t *src, tlPixelFormat srcFormat,
                const tlPalette *srcPalette, int32_t n);
