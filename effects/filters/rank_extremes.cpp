// Minimum and maximum filter effects: the darkest or brightest pixel of a
// square window, separably for RGB 8-bit pictures and directly otherwise.
#include "effects/filters/rank.h"

#include <cstring>
#include <new>

#include "effects/core/sampling.h"
#include "imaging/pixel_math.h"
#include "imaging/row_pool.h"

namespace {

// Both filters look for the smallest ranking value: the maximum ranks keys
// in reverse. kNever is above every ranking value, so it never wins: it marks
// empty slots and the start of every search.
const uint32_t kNever = 0xFFFFFFFFu;

// Radius with the same result as r along an axis of n pixels. Both filters
// take the first pixel of the best key in visiting order, and a position n
// places further on is the same pixel again, so a wrapped window longer than
// the axis only matters through where it starts (v − r modulo n); a clipped
// window stops growing at the whole line.
int64_t axisRadius(int64_t r, int32_t n, bool wrap) {
    if (!wrap) return r < n ? r : n;
    if (2 * r + 1 <= n) return r;
    const int64_t shortest = n / 2;  // the smallest radius whose window covers the axis
    return shortest + (r - shortest) % n;
}

// ---- Separable path: RGB 8-bit, 3 or 4 channels ----

// Key (19672 R + 38621 G + 7500 B) >> 8, reversed (65535 − key) for the maximum.
template <bool Max>
inline uint32_t rankKey8(const uint8_t *p) {
    const uint32_t k = (19672u * p[0] + 38621u * p[1] + 7500u * p[2]) >> 8;
    return Max ? 65535u - k : k;
}

// A slot takes a counted pixel's ranking value and R, G, B; an uncounted
// pixel (alpha 0, its own alpha) leaves it empty.
template <bool Max, bool Alpha>
inline void fillSlot(const uint8_t *p, uint32_t &key, uint32_t &rgb) {
    if (Alpha && p[3] == 0) {
        key = kNever;
        return;
    }
    key = rankKey8<Max>(p);
    rgb = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16);
}

// One row or column (elements step bytes apart, n of them) through a ring of
// w = 2r + 1 slots: output element x receives the best of elements
// x − r .. x + r, the oldest of equal keys (the first in visiting order).
// Wrapped elements are taken modulo n; clipped ones are left out on the left
// and repeat element n − 1 on the right, which cannot change the result.
// The input and output lines must not overlap.
template <bool Max, bool Alpha>
void ringLine(const uint8_t *in, uint8_t *out, ptrdiff_t step, int32_t n, int32_t first, int32_t last, int64_t r,
              bool wrap, uint32_t *key, uint32_t *rgb) {
    const int64_t w = 2 * r + 1;
    for (int64_t i = 0; i < w; ++i) key[i] = kNever;
    int64_t best = -1;
    uint32_t bestKey = kNever;
    // Slots 1 .. w − 1 take elements first − r .. first + r − 1.
    const int64_t from = wrap ? first - r : (first - r < 0 ? 0 : first - r);
    const int64_t to = wrap ? first + r - 1 : (first + r - 1 > n - 1 ? n - 1 : first + r - 1);
    for (int64_t c = from; c <= to; ++c) {
        const int64_t s = 1 + c - (first - r);
        fillSlot<Max, Alpha>(in + static_cast<ptrdiff_t>(wrap ? wrapIndex(c, n) : c) * step, key[s], rgb[s]);
        if (key[s] < bestKey) best = s, bestKey = key[s];
    }
    int64_t s = 0;
    for (int32_t x = first; x < last; ++x) {
        if (s == best) {
            // The best entry leaves: look at the others from the oldest on.
            best = -1;
            bestKey = kNever;
            for (int64_t q = s + 1 == w ? 0 : s + 1; q != s; q = q + 1 == w ? 0 : q + 1)
                if (key[q] < bestKey) best = q, bestKey = key[q];
        }
        const int64_t c = static_cast<int64_t>(x) + r;
        const int64_t e = wrap ? wrapIndex(c, n) : (c > n - 1 ? n - 1 : c);
        fillSlot<Max, Alpha>(in + static_cast<ptrdiff_t>(e) * step, key[s], rgb[s]);
        if (key[s] < bestKey) best = s, bestKey = key[s];
        if (best >= 0) {
            uint8_t *o = out + static_cast<ptrdiff_t>(x) * step;
            o[0] = static_cast<uint8_t>(rgb[best]);
            o[1] = static_cast<uint8_t>(rgb[best] >> 8);
            o[2] = static_cast<uint8_t>(rgb[best] >> 16);
        }
        if (++s == w) s = 0;
    }
}

// Rows first (source → destination), then columns. The column pass reads a
// copy of the row pass's result: reading the destination in place would let
// wrapped windows near the bottom see top rows already rewritten, which
// leaves a seam where the tile repeats. Rows, then columns, are split over
// the row pool; each worker keeps its own ring.
template <bool Max, bool Alpha>
bool separableExtreme(const tlPicture &source, tlPicture &destination, const tlRect &area, int64_t r, bool wrap,
                      tlProgress *progress) {
    const int64_t rx = axisRadius(r, source.width, wrap), ry = axisRadius(r, source.height, wrap);
    const size_t slots = static_cast<size_t>(2 * (rx > ry ? rx : ry) + 1);
    const int32_t w = area.right - area.left, h = area.bottom - area.top;
    tlRowSplit split(w > h ? w : h, static_cast<int64_t>(w) * h);
    const size_t ringStride = tlWorkerStride<uint32_t>(slots);
    const size_t ringSlots = ringStride * static_cast<size_t>(split.workers());
    uint32_t *keys = new (std::nothrow) uint32_t[ringSlots];
    uint32_t *rgbs = new (std::nothrow) uint32_t[ringSlots];
    bool done = keys != nullptr && rgbs != nullptr;
    const ptrdiff_t bpp = source.bytesPerPixel();
    done = done && split.run(h, progress, [&](int32_t first, int32_t end, tlRowSteps &steps) {
        uint32_t *key = keys + ringStride * static_cast<size_t>(steps.worker());
        uint32_t *rgb = rgbs + ringStride * static_cast<size_t>(steps.worker());
        for (int32_t y = area.top + first; y < area.top + end; ++y) {
            ringLine<Max, Alpha>(source.row(y), destination.row(y), bpp, source.width, area.left, area.right, rx, wrap,
                                 key, rgb);
            if (!steps.next()) return false;
        }
        return true;
    });
    // The copy is made in the split too (a copy constructed here would find
    // the pool taken by this operation and run alone).
    tlPicture rows;
    done = done && rows.create(destination.width, destination.height, destination.format()) &&
           split.run(destination.height, nullptr, [&](int32_t first, int32_t end, tlRowSteps &) {
               const size_t bytes = static_cast<size_t>(destination.stride) * static_cast<size_t>(end - first);
               std::memcpy(rows.row(first), destination.row(first), bytes);
               return true;
           });
    if (done) {
        done = split.run(w, progress, [&](int32_t first, int32_t end, tlRowSteps &steps) {
            uint32_t *key = keys + ringStride * static_cast<size_t>(steps.worker());
            uint32_t *rgb = rgbs + ringStride * static_cast<size_t>(steps.worker());
            for (int32_t x = area.left + first; x < area.left + end; ++x) {
                ringLine<Max, Alpha>(rows.store + x * bpp, destination.store + x * bpp, destination.stride,
                                     source.height, area.top, area.bottom, ry, wrap, key, rgb);
                if (!steps.next()) return false;
            }
            return true;
        });
    }
    delete[] keys;
    delete[] rgbs;
    return done;
}

// ---- Direct path: RGB 16-bit, gray 8-bit and gray 16-bit ----

// Ranking value of a counted pixel, kNever for an uncounted one. The RGB
// 16-bit key 19596 R + 38470 G + 7471 B uses all 32 bits, so white (for the
// minimum) and black (for the maximum) rank as kNever: they never beat the
// starting bound and never become the candidate.
template <int Bits, bool Rgb, bool Max, bool Alpha>
inline uint32_t directRank(const uint8_t *p) {
    const int32_t alphaAt = (Rgb ? 3 : 1) * (Bits / 8);
    if (Alpha && (Bits == 8 ? p[alphaAt] == 0 : load16(p + alphaAt) == 0)) return kNever;
    if (Rgb) {
        const uint32_t k = 19596u * load16(p) + 38470u * load16(p + 2) + 7471u * load16(p + 4);
        return Max ? kNever - k : k;
    }
    const uint32_t v = Bits == 8 ? p[0] : load16(p);
    return Max ? 65535u - v : v;
}

// Every window pixel in visiting order (rows from the top, each from the
// left); the first with the best key wins. A wrapped window is walked from
// v − r for at most one turn round the picture, since a longer walk only
// meets the same pixels again.
template <int Bits, bool Rgb, bool Max, bool Alpha>
bool directExtreme(const tlPicture &source, tlPicture &destination, const tlRect &area, int64_t r, bool wrap,
                   tlProgress *progress) {
    const int32_t bpp = source.bytesPerPixel();
    const size_t colourBytes = (Rgb ? 3 : 1) * (Bits / 8);
    return forEachRow(area.top, area.bottom, area.right - area.left, progress, [&](int32_t y) {
        const int64_t y0 = wrap ? y - r : (y - r < 0 ? 0 : y - r);
        const int64_t y1 = wrap ? y0 + (2 * r + 1 < source.height ? 2 * r : source.height - 1)
                                : (y + r > source.height - 1 ? source.height - 1 : y + r);
        for (int32_t x = area.left; x < area.right; ++x) {
            const int64_t x0 = wrap ? x - r : (x - r < 0 ? 0 : x - r);
            const int64_t x1 = wrap ? x0 + (2 * r + 1 < source.width ? 2 * r : source.width - 1)
                                    : (x + r > source.width - 1 ? source.width - 1 : x + r);
            uint32_t best = kNever;
            const uint8_t *chosen = nullptr;
            for (int64_t v = y0; v <= y1; ++v) {
                const uint8_t *line = source.row(wrap ? wrapIndex(v, source.height) : static_cast<int32_t>(v));
                for (int64_t u = x0; u <= x1; ++u) {
                    const uint8_t *p = line + static_cast<ptrdiff_t>(wrap ? wrapIndex(u, source.width) : u) * bpp;
                    const uint32_t k = directRank<Bits, Rgb, Max, Alpha>(p);
                    if (k < best) best = k, chosen = p;
                }
            }
            if (chosen != nullptr) std::memcpy(destination.pixelAddress(x, y), chosen, colourBytes);
        }
    });
}

template <bool Max, bool Alpha>
bool extremeFor(const tlPicture &source, tlPicture &destination, const tlRect &area, int64_t r, bool wrap,
                tlProgress *progress) {
    if (source.model == tlColourModel::RGB && source.bits == 8)
        return separableExtreme<Max, Alpha>(source, destination, area, r, wrap, progress);
    if (source.model == tlColourModel::RGB)
        return directExtreme<16, true, Max, Alpha>(source, destination, area, r, wrap, progress);
    if (source.bits == 8) return directExtreme<8, false, Max, Alpha>(source, destination, area, r, wrap, progress);
    return directExtreme<16, false, Max, Alpha>(source, destination, area, r, wrap, progress);
}

// Shared by both filters: checks, then the path for the format. Windows
// larger than the picture are cut to an equivalent radius per axis, so no
// radius costs more than a few turns round the picture.
template <bool Max>
bool applyExtreme(const tlPicture &source, tlPicture &destination, int32_t radius, bool wrap, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (source.model == tlColourModel::Indexed || radius < 1) return true;
    if (progress != nullptr) progress->begin((area.bottom - area.top) + (area.right - area.left) - 1);
    const int64_t r = radius;
    return source.hasAlpha() ? extremeFor<Max, true>(source, destination, area, r, wrap, progress)
                             : extremeFor<Max, false>(source, destination, area, r, wrap, progress);
}

}  // namespace

// Each pixel of the work rectangle takes R, G, B (or the gray value) of the
// counted pixel of smallest key in its window; the first of equal keys wins.
bool tlMinimumEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    return applyExtreme<false>(source, destination, radius, wrap, progress);
}

// As the minimum, with the largest key.
bool tlMaximumEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    return applyExtreme<true>(source, destination, radius, wrap, progress);
}
