// tlPicture and tlPalette: format checks, store allocation, conversion,
// copies, fills and the block clipping shared with compositing.
#include "imaging/picture.h"

#include "imaging/colour.h"
#include "imaging/picture_cache.h"
#include "imaging/row_pool.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

int32_t strideFor(int32_t bitsPerPixel, int32_t width) {
    if (bitsPerPixel <= 0 || width < 0) return -1;
    // 64-bit so that wide rows of deep formats cannot wrap around.
    int64_t stride = ((static_cast<int64_t>(bitsPerPixel) * width + 31) / 32) * 4;
    if (stride > INT32_MAX) return -1;
    return static_cast<int32_t>(stride);
}

bool clipBlock(int32_t &dx, int32_t &dy, int32_t &sx, int32_t &sy, int32_t &w, int32_t &h, int32_t dstW, int32_t dstH,
               int32_t srcW, int32_t srcH) {
    // Worked in 64 bits: extreme offsets must not wrap into a valid block.
    int64_t x = dx, y = dy, u = sx, v = sy, cw = w, ch = h;
    if (x < 0) {
        cw += x;
        u -= x;
        x = 0;
    }
    if (y < 0) {
        ch += y;
        v -= y;
        y = 0;
    }
    if (u < 0) {
        x -= u;
        cw += u;
        u = 0;
    }
    if (v < 0) {
        y -= v;
        ch += v;
        v = 0;
    }
    if (cw > dstW - x) cw = dstW - x;
    if (cw > srcW - u) cw = srcW - u;
    if (ch > dstH - y) ch = dstH - y;
    if (ch > srcH - v) ch = srcH - v;
    if (cw <= 0 || ch <= 0) return false;
    // A non-empty block lies inside both pictures, so every value fits again.
    dx = static_cast<int32_t>(x);
    dy = static_cast<int32_t>(y);
    sx = static_cast<int32_t>(u);
    sy = static_cast<int32_t>(v);
    w = static_cast<int32_t>(cw);
    h = static_cast<int32_t>(ch);
    return true;
}

// ---- tlPalette --------------------------------------------------------------

tlPalette::tlPalette(const tlPalette &other) {
    if (other.count <= 0 || other.entries == nullptr) return;
    size_t size = static_cast<size_t>(other.count) * 4;
    entries = static_cast<uint8_t *>(std::malloc(size));
    if (entries == nullptr) return;
    std::memcpy(entries, other.entries, size);
    count = other.count;
}

tlPalette::~tlPalette() { std::free(entries); }

bool tlPalette::resize(int32_t n) {
    if (n < 0) return false;
    uint8_t *fresh = nullptr;
    if (n > 0) {
        fresh = static_cast<uint8_t *>(std::calloc(static_cast<size_t>(n), 4));
        if (fresh == nullptr) return false;
    }
    std::free(entries);
    entries = fresh;
    count = n;
    return true;
}

bool tlPalette::setEntry(int32_t i, uint8_t r, uint8_t g, uint8_t b) {
    if (i < 0 || i >= count) return false;
    uint8_t *e = entries + static_cast<size_t>(i) * 4;
    e[0] = r;
    e[1] = g;
    e[2] = b;
    return true;
}

// ---- tlPicture lifetime -----------------------------------------------------

namespace {

// Stores above 1 TiB are refused before asking the allocator: no picture of
// this program comes near it, and some allocators take seconds to fail such
// a request instead of failing at once.
constexpr uint64_t kMaxStoreBytes = uint64_t(1) << 40;

// Size in bytes of a store, or 0 when it is too large to allocate.
size_t storeSize(int32_t stride, int32_t height) {
    if (stride <= 0 || height <= 0) return 0;
    uint64_t size = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
    if (size > kMaxStoreBytes || size > static_cast<uint64_t>(PTRDIFF_MAX)) return 0;
    return static_cast<size_t>(size);
}

// A fresh palette of 256 black entries, or null when out of memory.
tlPalette *newPalette() {
    tlPalette *palette = new (std::nothrow) tlPalette;
    if (palette != nullptr && !palette->resize(256)) {
        delete palette;
        palette = nullptr;
    }
    return palette;
}

// A store of size bytes: one the thread's cache kept, else one from the heap;
// zeroed when zero says so, so that no picture ever shows what the heap or an
// earlier picture held. A kept store is zeroed over the row pool: it is
// touched memory already, and clearing it is what reuse costs.
uint8_t *newStore(size_t size, int32_t rows, bool zero) {
    tlPictureCache *cache = tlPictureCache::current();
    uint8_t *store = cache != nullptr ? cache->take(size) : nullptr;
    if (store == nullptr) return static_cast<uint8_t *>(zero ? std::calloc(size, 1) : std::malloc(size));
    if (zero) {
        const size_t rowBytes = size / static_cast<size_t>(rows);
        forEachRow(0, rows, static_cast<int32_t>(rowBytes / 4), nullptr,
                   [&](int32_t y) { std::memset(store + rowBytes * static_cast<size_t>(y), 0, rowBytes); });
    }
    return store;
}

}  // namespace

tlPicture::tlPicture(const tlPicture &other)
    : width(other.width),
      height(other.height),
      model(other.model),
      bits(other.bits),
      channels(other.channels),
      bitsPerPixel(other.bitsPerPixel),
      stride(other.stride),
      selected(other.selected),
      selection(other.selection) {
    if (other.store == nullptr) return;
    size_t size = storeSize(other.stride, other.height);
    if (size == 0) return;
    store = newStore(size, height, false);
    if (store == nullptr) return;
    // Rows copied over the row pool: the first writes to fresh memory are
    // what a large copy costs, and they go faster on several threads.
    const size_t rowBytes = static_cast<size_t>(stride);
    forEachRow(0, height, width, nullptr, [&](int32_t y) {
        std::memcpy(store + rowBytes * static_cast<size_t>(y), other.store + rowBytes * static_cast<size_t>(y),
                    rowBytes);
    });
    if (other.palette != nullptr) {
        palette = new (std::nothrow) tlPalette(*other.palette);
        // An indexed copy without its palette would be unusable: stay empty.
        if (palette == nullptr || palette->count != other.palette->count) releaseBase();
    }
}

tlPicture::~tlPicture() { releaseBase(); }

bool tlPicture::create(int32_t w, int32_t h, tlPixelFormat newFormat) {
    if (w <= 0 || h <= 0 || !newFormat.isValid()) return false;
    int32_t newBitsPerPixel = newFormat.bits * newFormat.channels;
    int32_t newStride = strideFor(newBitsPerPixel, w);
    size_t size = storeSize(newStride, h);
    if (size == 0) return false;
    uint8_t *fresh = newStore(size, h, true);
    if (fresh == nullptr) return false;
    tlPalette *newPal = nullptr;
    if (newFormat.model == tlColourModel::Indexed) {
        newPal = newPalette();
        if (newPal == nullptr) {
            std::free(fresh);
            return false;
        }
    }
    release();
    width = w;
    height = h;
    model = newFormat.model;
    bits = newFormat.bits;
    channels = newFormat.channels;
    bitsPerPixel = newBitsPerPixel;
    stride = newStride;
    store = fresh;
    palette = newPal;
    selected = false;
    return true;
}

void tlPicture::release() { releaseBase(); }

void tlPicture::releaseBase() {
    tlPictureCache *cache = tlPictureCache::current();
    if (store != nullptr && (cache == nullptr || !cache->give(store, storeSize(stride, height)))) std::free(store);
    store = nullptr;
    delete palette;
    palette = nullptr;
}

bool tlPicture::convert(tlPixelFormat newFormat) {
    if (newFormat == format()) return true;
    if (newFormat.model == tlColourModel::Indexed || !newFormat.isValid() || store == nullptr) return false;
    tlPicture converted;
    if (!converted.create(width, height, newFormat)) return false;
    converted.copyFrom(0, 0, *this);
    // Swap format and buffers; the temporary frees the old ones.
    std::swap(model, converted.model);
    std::swap(bits, converted.bits);
    std::swap(channels, converted.channels);
    std::swap(bitsPerPixel, converted.bitsPerPixel);
    std::swap(stride, converted.stride);
    std::swap(store, converted.store);
    std::swap(palette, converted.palette);
    return true;
}

void tlPicture::moveFrom(tlPicture &other) {
    if (&other == this) return;
    release();
    width = other.width;
    height = other.height;
    model = other.model;
    bits = other.bits;
    channels = other.channels;
    bitsPerPixel = other.bitsPerPixel;
    stride = other.stride;
    store = other.store;
    palette = other.palette;
    selected = other.selected;
    selection = other.selection;
    other.store = nullptr;
    other.palette = nullptr;
}

// ---- pixels and areas -------------------------------------------------------

void tlPicture::getPixel(int32_t x, int32_t y, void *buffer) const {
    std::memcpy(buffer, pixelAddress(x, y), static_cast<size_t>(bytesPerPixel()));
}

void tlPicture::setPixel(int32_t x, int32_t y, const void *buffer) {
    std::memcpy(pixelAddress(x, y), buffer, static_cast<size_t>(bytesPerPixel()));
}

tlRect tlPicture::workRect() const {
    if (selected) return selection;
    tlRect all;
    all.right = width;
    all.bottom = height;
    return all;
}

tlRect tlPicture::clip(const tlRect &area) const {
    tlRect r = area;
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right > width) r.right = width;
    if (r.bottom > height) r.bottom = height;
    return r;
}

bool tlPicture::clippedWorkRect(tlRect &area) const {
    area = clip(workRect());
    return !area.isEmpty();
}

void tlPicture::fill(const tlColour &colour) {
    tlRect all;
    all.right = width;
    all.bottom = height;
    fill(all, colour);
}

void tlPicture::fill(const tlRect &area, const tlColour &colour) {
    if (store == nullptr) return;
    const tlRect r = clip(area);
    if (r.isEmpty()) return;
    uint8_t pixel[8] = {};
    if (!colour.toPixel(format(), pixel)) return;
    // Paint the first row pixel by pixel, then copy it down (over the row
    // pool: a fill is often the first write to fresh memory).
    const size_t bpp = static_cast<size_t>(bytesPerPixel());
    const size_t rowBytes = bpp * static_cast<size_t>(r.right - r.left);
    uint8_t *first = pixelAddress(r.left, r.top);
    for (size_t off = 0; off < rowBytes; off += bpp) std::memcpy(first + off, pixel, bpp);
    forEachRow(r.top + 1, r.bottom, r.right - r.left, nullptr,
               [&](int32_t y) { std::memcpy(pixelAddress(r.left, y), first, rowBytes); });
}

void tlPicture::clear() {
    if (store == nullptr) return;
    std::memset(store, 0, storeSize(stride, height));
}

void tlPicture::clear(const tlRect &area) { fill(area, tlColour::rgba(0, 0, 0, 0)); }

void tlPicture::copyFrom(int32_t dx, int32_t dy, const tlPicture &source, int32_t sx, int32_t sy, int32_t w,
                         int32_t h) {
    if (store == nullptr || source.store == nullptr) return;
    if (!clipBlock(dx, dy, sx, sy, w, h, width, height, source.width, source.height)) return;
    // Copying within one picture: walk rows bottom-up when the block moves
    // down so that no source row is overwritten before it is read.
    bool upward = &source == this && dy > sy;
    for (int32_t i = 0; i < h; ++i) {
        int32_t r = upward ? h - 1 - i : i;
        convertRow(pixelAddress(dx, dy + r), format(), source.pixelAddress(sx, sy + r), source.format(), source.palette,
                   w);
    }
}

void tlPicture::copyFrom(int32_t dx, int32_t dy, const tlPicture &source) {
    copyFrom(dx, dy, source, 0, 0, source.width, source.height);
}

bool repeatPicture(const tlPicture &tile, int32_t w, int32_t h, tlPicture &out) {
    if (tile.isEmpty() || tile.width < 1 || tile.height < 1 || !out.create(w, h, tile.format())) return false;
    for (int32_t y = 0; y < h; y += tile.height)
        for (int32_t x = 0; x < w; x += tile.width) out.copyFrom(x, y, tile);
    return true;
}
