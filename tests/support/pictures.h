// Pictures in the tests: seeded pictures, comparisons, digests, sample access
// and the edge rules that reference code spells out.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/picture.h"
#include "imaging/pixel_math.h"
#include "tests/support/formats.h"

// ---- Seeded pictures

// Pseudo-random bytes in every sample (padding included), seeded.
inline void scribble(tlPicture &p, uint32_t seed) {
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t i = 0; i < p.stride; ++i) {
            seed = seed * 1664525u + 1013904223u;
            p.row(y)[i] = static_cast<uint8_t>(seed >> 24);
        }
}

// Creates p in the given format and scribbles it with seed.
inline bool makePicture(tlPicture &p, int32_t w, int32_t h, tlPixelFormat format, uint32_t seed) {
    if (!p.create(w, h, format)) return false;
    scribble(p, seed);
    return true;
}

// A picture whose pixel bytes (padding left as created) follow the 1103515245 generator from state.
inline tlPicture seededPicture(uint32_t state, int32_t w, int32_t h, tlPixelFormat format = kRGBA8) {
    tlPicture p;
    EXPECT_TRUE(p.create(w, h, format));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t i = 0; i < w * p.bytesPerPixel(); ++i) {
            state = state * 1103515245u + 12345u;
            p.row(y)[i] = static_cast<uint8_t>(state >> 16);
        }
    }
    return p;
}

// Next value of the 1664525 generator, top 24 bits.
inline uint32_t nextRandom(uint32_t &seed) {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
}

// Random samples (from few values with a palette, so that keys tie); every fourth alpha on average is 0.
inline bool randomPicture(tlPicture &p, int32_t w, int32_t h, tlPixelFormat format, uint32_t seed,
                          int32_t palette = 0) {
    if (!p.create(w, h, format)) return false;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            for (int32_t c = 0; c < format.channels; ++c) {
                uint32_t v = nextRandom(seed);
                if (palette > 0) v = (v % palette) * 0x3F3Fu;
                if (c == format.channels - 1 && p.hasAlpha()) v = (nextRandom(seed) & 3) == 0 ? 0 : v | 1;
                writeSample(p.pixelAddress(x, y), format.bits, c, v & 0xFFFF);
            }
    return true;
}

// A 2 × 2 tiling of p.
inline bool tiled(const tlPicture &p, tlPicture &out) {
    if (!out.create(p.width * 2, p.height * 2, p.format())) return false;
    for (int32_t ty = 0; ty < 2; ++ty)
        for (int32_t tx = 0; tx < 2; ++tx) out.copyFrom(tx * p.width, ty * p.height, p);
    return true;
}

// ---- Comparisons and digests

// Same height and stride and every stored byte equal, padding included.
inline bool sameBytes(const tlPicture &a, const tlPicture &b) {
    return a.height == b.height && a.stride == b.stride &&
           std::memcmp(a.store, b.store, static_cast<size_t>(a.stride) * a.height) == 0;
}

// Same width, height and stride and every stored byte equal, padding included.
inline bool sameSizeAndBytes(const tlPicture &a, const tlPicture &b) {
    if (a.width != b.width || a.height != b.height || a.stride != b.stride) return false;
    return std::memcmp(a.store, b.store, static_cast<size_t>(a.stride) * a.height) == 0;
}

// Same width and height and equal pixel bytes in every row (padding ignored).
inline bool samePixels(const tlPicture &a, const tlPicture &b) {
    if (a.width != b.width || a.height != b.height) return false;
    for (int32_t y = 0; y < a.height; ++y)
        if (std::memcmp(a.row(y), b.row(y), static_cast<size_t>(a.width) * a.bytesPerPixel()) != 0) return false;
    return true;
}

// As samePixels, and the bits per pixel must match too.
inline bool sameFormatAndPixels(const tlPicture &a, const tlPicture &b) {
    if (a.width != b.width || a.height != b.height || a.bitsPerPixel != b.bitsPerPixel) return false;
    for (int32_t y = 0; y < a.height; ++y) {
        if (std::memcmp(a.row(y), b.row(y), static_cast<size_t>(a.width) * a.bytesPerPixel()) != 0) return false;
    }
    return true;
}

// FNV-1a 64 of n bytes continuing from h; digests pinned in tests compare
// builds and platforms.
constexpr uint64_t kFnvBasis = 14695981039346656037ull;
inline uint64_t fnv1a(const void *bytes, size_t n, uint64_t h = kFnvBasis) {
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<const uint8_t *>(bytes)[i]) * 1099511628211ull;
    return h;
}

// FNV-1a over the pixel bytes (padding excluded) continuing from h.
inline uint64_t digest(const tlPicture &p, uint64_t h = kFnvBasis) {
    for (int32_t y = 0; y < p.height; ++y) h = fnv1a(p.row(y), static_cast<size_t>(p.width) * p.bytesPerPixel(), h);
    return h;
}

// ---- Pixels and samples

// Address of pixel (x, y).
inline const uint8_t *px(const tlPicture &p, int32_t x, int32_t y) { return p.pixelAddress(x, y); }

// Sample c of pixel (x, y), 8 or 16 bits.
inline int64_t sample(const tlPicture &p, int32_t x, int32_t y, int32_t c) {
    return readSample(p.pixelAddress(x, y), p.bits, c);
}

// Sets sample c of pixel (x, y) to the low 8 or 16 bits of v.
inline void setSample(tlPicture &p, int32_t x, int32_t y, int32_t c, int64_t v) {
    writeSample(p.pixelAddress(x, y), p.bits, c, static_cast<uint32_t>(v));
}

// R, G, B, A of pixel (x, y) of an RGB 8-bit 4-channel picture packed as 0xRRGGBBAA.
inline uint32_t rgbaAt(const tlPicture &p, int32_t x, int32_t y) {
    const uint8_t *q = p.pixelAddress(x, y);
    return (uint32_t(q[0]) << 24) | (uint32_t(q[1]) << 16) | (uint32_t(q[2]) << 8) | q[3];
}

// v wrapped into 0 .. n − 1.
inline int32_t wrapped(int64_t v, int32_t n) { return static_cast<int32_t>(((v % n) + n) % n); }

// v clamped to 0 .. n − 1.
inline int32_t clamped(int64_t v, int32_t n) { return static_cast<int32_t>(v < 0 ? 0 : (v >= n ? n - 1 : v)); }
