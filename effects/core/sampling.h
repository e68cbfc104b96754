// Edge rules shared by the effects that read outside a pixel's own position:
// wrapped and clamped coordinates, the area an effect may write, and the
// bilinear samplers of the distortions.
#pragma once

#include <cstdint>

#include "imaging/picture.h"

// Wrapped edge rule (what keeps tiles seamless): v modulo n, never negative,
// so -1 becomes n - 1 and n becomes 0. n must be positive.
inline int32_t wrapIndex(int64_t v, int32_t n) {
    if (static_cast<uint64_t>(v) < static_cast<uint64_t>(n)) return static_cast<int32_t>(v);
    int64_t r = v % n;
    return static_cast<int32_t>(r < 0 ? r + n : r);
}

// Clamped edge rule: v cut to 0 .. n - 1 (the edge pixel repeats). n must be positive.
inline int32_t clampIndex(int64_t v, int32_t n) {
    if (v < 0) return 0;
    if (v >= n) return n - 1;
    return static_cast<int32_t>(v);
}

// The part of the source's work rectangle that an effect may write: cut to the
// picture, so that a selection reaching outside it never addresses memory
// beyond the store. False when the destination does not match the source in
// size and format, or when nothing is left.
inline bool effectArea(const tlPicture &source, const tlPicture &destination, tlRect &area) {
    if (source.isEmpty() || destination.isEmpty()) return false;
    if (source.width != destination.width || source.height != destination.height ||
        source.format() != destination.format())
        return false;
    return source.clippedWorkRect(area);
}

// Writes one pixel of the source's format at pixel from the source at the
// fractional position (x, y), integer coordinates being pixel centres.
// False when nothing was written.
typedef bool (*tlSampler)(const tlPicture &source, double x, double y, uint8_t *pixel);

// Clamping bilinear sampler (RGB and gray, 8 and 16 bits, with or without
// alpha): positions outside -1 <= x < width, -1 <= y < height (and NaN) are
// rejected; the corners are clamped to the picture. Null for other formats.
tlSampler clampingSampler(const tlPicture &source);

// Wrapping bilinear sampler (RGB 8-bit, 3 or 4 channels): every position is
// read, the corners wrapped around the picture. Null for other formats.
tlSampler wrappingSampler(const tlPicture &source);
