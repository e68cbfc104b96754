// Oil paint filter effect: the most frequent brightness level of a diamond
// neighbourhood. (Watercolor lives in painterly_watercolor.cpp.)
#include "effects/filters/painterly.h"

#include <cstring>
#include <new>

#include "effects/core/sampling.h"
#include "imaging/pixel_math.h"
#include "imaging/row_pool.h"

namespace {

// Diamonds of more positions than this are refused (apply answers false):
// the tables would not fit memory and the work per pixel would not end.
const int64_t kMaxDiamond = int64_t(1) << 22;

// Bin of an uncounted pixel (alpha 0): counted like the others but never
// able to win, so the histogram loop needs no test for it.
const uint32_t kNoBin = 256;

// Brightness level (bin) of a pixel:
//   RGB 8-bit   (19672 R + 38621 G + 7500 B) >> 16
//   RGB 16-bit  (77 R + 150 G + 29 B) >> 16
//   gray 8-bit  the value;  gray 16-bit  value >> 8
uint32_t binOf(const tlPicture &p, const uint8_t *q) {
    const bool rgb = p.model == tlColourModel::RGB;
    if (p.bits == 8) {
        if (p.hasAlpha() && q[rgb ? 3 : 1] == 0) return kNoBin;
        return rgb ? (19672u * q[0] + 38621u * q[1] + 7500u * q[2]) >> 16 : q[0];
    }
    if (p.hasAlpha() && load16(q + (rgb ? 6 : 2)) == 0) return kNoBin;
    return rgb ? (77u * load16(q) + 150u * load16(q + 2) + 29u * load16(q + 4)) >> 16 : narrow16To8(load16(q));
}

// The bin of every source pixel, computed once instead of once per visit.
uint16_t *binPlane(const tlPicture &source) {
    const size_t w = static_cast<size_t>(source.width);
    uint16_t *plane = new (std::nothrow) uint16_t[w * static_cast<size_t>(source.height)];
    if (plane == nullptr) return nullptr;
    const int32_t bpp = source.bytesPerPixel();
    forEachRow(0, source.height, source.width, nullptr, [&](int32_t y) {
        const uint8_t *in = source.row(y);
        uint16_t *out = plane + w * static_cast<size_t>(y);
        for (int32_t x = 0; x < source.width; ++x)
            out[x] = static_cast<uint16_t>(binOf(source, in + static_cast<ptrdiff_t>(x) * bpp));
    });
    return plane;
}

// Offsets of the diamond |dx| + |dy| ≤ r in visiting order: for k = 0 .. r − 1
// the row r − k above (columns −k .. k), then the row r − k below (same
// columns); last the centre row (columns −r .. r).
void diamondOrder(int32_t r, int32_t *dx, int32_t *dy) {
    int64_t i = 0;
    for (int32_t k = 0; k < r; ++k)
        for (int32_t side = -1; side <= 1; side += 2)
            for (int32_t c = -k; c <= k; ++c) dx[i] = c, dy[i] = side * (r - k), ++i;
    for (int32_t c = -r; c <= r; ++c) dx[i] = c, dy[i] = 0, ++i;
}

struct tlDiamond {
    int64_t count = 0;
    int32_t *dx = nullptr;
    int32_t *dy = nullptr;
    ptrdiff_t *binStep = nullptr;    // offset in the bin plane, for pixels away from the edges
    ptrdiff_t *pixelStep = nullptr;  // the same in source bytes
    ptrdiff_t *visit = nullptr;      // bin plane index of each visit, edge pixels: count per worker
    size_t visitStride = 0;          // from one worker's visits to the next's

    bool build(int32_t r, const tlPicture &source, int32_t workers) {
        count = 2 * static_cast<int64_t>(r) * r + 2 * static_cast<int64_t>(r) + 1;
        const size_t n = static_cast<size_t>(count);
        dx = new (std::nothrow) int32_t[n];
        dy = new (std::nothrow) int32_t[n];
        binStep = new (std::nothrow) ptrdiff_t[n];
        pixelStep = new (std::nothrow) ptrdiff_t[n];
        visitStride = tlWorkerStride<ptrdiff_t>(n);
        visit = new (std::nothrow) ptrdiff_t[visitStride * static_cast<size_t>(workers)];
        if (dx == nullptr || dy == nullptr || binStep == nullptr || pixelStep == nullptr || visit == nullptr)
            return false;
        diamondOrder(r, dx, dy);
        for (size_t i = 0; i < n; ++i) {
            binStep[i] = static_cast<ptrdiff_t>(dy[i]) * source.width + dx[i];
            pixelStep[i] = static_cast<ptrdiff_t>(dy[i]) * source.stride +
                           static_cast<ptrdiff_t>(dx[i]) * source.bytesPerPixel();
        }
        return true;
    }
    ~tlDiamond() {
        delete[] dx;
        delete[] dy;
        delete[] binStep;
        delete[] pixelStep;
        delete[] visit;
    }
};

// Histogram of one diamond: each counted visit adds one to its bin; a bin
// whose count becomes strictly greater than every count so far takes the
// lead with the pixel that brought it there. Returns the visit number of
// that pixel, or −1 when nothing counted. The bins are left cleared.
inline int64_t leadingVisit(const uint16_t *bins, const ptrdiff_t *at, int64_t count, uint32_t *histogram) {
    uint32_t most = 0;
    int64_t lead = -1;
    for (int64_t i = 0; i < count; ++i) {
        const uint32_t b = bins[at[i]];
        const uint32_t c = ++histogram[b];
        if (c > most && b != kNoBin) most = c, lead = i;
    }
    for (int64_t i = 0; i < count; ++i) histogram[bins[at[i]]] = 0;
    return lead;
}

}  // namespace

// Each pixel of the work rectangle takes the colour channels of the pixel
// that first brought the most frequent bin of its diamond to its final count.
// Diamond positions outside the picture wrap round it, or clamp to the edge
// pixel (which is then visited again). Alpha is never written.
bool tlOilPaintEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (source.model == tlColourModel::Indexed || radius < 1) return true;
    if (2 * static_cast<int64_t>(radius) * radius + 2 * static_cast<int64_t>(radius) + 1 > kMaxDiamond) return false;
    uint16_t *bins = binPlane(source);
    if (bins == nullptr) return false;
    tlRowSplit split(area.bottom - area.top, area.pixelCount());
    tlDiamond diamond;
    if (!diamond.build(radius, source, split.workers())) {
        delete[] bins;
        return false;
    }
    if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
    const size_t colourBytes = static_cast<size_t>(source.format().colourChannels() * (source.bits / 8));
    const int32_t w = source.width, h = source.height;
    const bool done = split.run(progress, [&](int32_t first, int32_t end, tlRowSteps &steps) {
        uint32_t histogram[257];
        std::memset(histogram, 0, sizeof(histogram));
        ptrdiff_t *edgeAt = diamond.visit + diamond.visitStride * static_cast<size_t>(steps.worker());
        for (int32_t y = area.top + first; y < area.top + end; ++y) {
            const bool innerRow = y >= radius && y < h - radius;
            for (int32_t x = area.left; x < area.right; ++x) {
                const ptrdiff_t centre = static_cast<ptrdiff_t>(y) * w + x;
                const uint8_t *chosen = nullptr;
                if (innerRow && x >= radius && x < w - radius) {
                    const int64_t i = leadingVisit(bins + centre, diamond.binStep, diamond.count, histogram);
                    if (i >= 0) chosen = source.pixelAddress(x, y) + diamond.pixelStep[i];
                } else {
                    for (int64_t i = 0; i < diamond.count; ++i) {
                        const int64_t u = static_cast<int64_t>(x) + diamond.dx[i];
                        const int64_t v = static_cast<int64_t>(y) + diamond.dy[i];
                        const int32_t cu = wrap ? wrapIndex(u, w) : clampIndex(u, w);
                        const int32_t cv = wrap ? wrapIndex(v, h) : clampIndex(v, h);
                        edgeAt[i] = static_cast<ptrdiff_t>(cv) * w + cu;
                    }
                    const int64_t i = leadingVisit(bins, edgeAt, diamond.count, histogram);
                    if (i >= 0)
                        chosen = source.pixelAddress(static_cast<int32_t>(edgeAt[i] % w),
                                                     static_cast<int32_t>(edgeAt[i] / w));
                }
                if (chosen != nullptr) std::memcpy(destination.pixelAddress(x, y), chosen, colourBytes);
            }
            if (!steps.next()) return false;
        }
        return true;
    });
    delete[] bins;
    return done;
}
