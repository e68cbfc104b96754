// Edge detection filter: the gradient magnitude of each colour channel over a
// 3 × 3 neighbourhood (Sobel or Roberts cross), optionally inverted.
#include "effects/filters/edges.h"

#include <cmath>
#include <new>

#include "effects/core/sampling.h"
#include "effects/filters/tiles.h"
#include "imaging/pixel_math.h"
#include "imaging/row_pool.h"

namespace {

// trunc(√s × factor) with the factor formed beforehand, cut to top; s is the
// exact integer gx² + gy², below 2^53 so the conversion to double is exact.
inline uint32_t gradientMagnitude(int64_t s, double factor, uint32_t top) {
    const double v = std::sqrt(static_cast<double>(s)) * factor;
    return v >= static_cast<double>(top) ? top : static_cast<uint32_t>(v);
}

// Kernel pairs, row-major from the top row; the first is Gx, the second Gy.
constexpr int32_t sobelX[9] = {1, 0, -1, 2, 0, -2, 1, 0, -1};
constexpr int32_t sobelY[9] = {1, 2, 1, 0, 0, 0, -1, -2, -1};
constexpr int32_t robertsX[9] = {0, 0, 0, 0, 1, 0, 0, 0, -1};
constexpr int32_t robertsY[9] = {0, 0, 0, 0, 0, 1, 0, -1, 0};

template <int Kernel>
constexpr int32_t weightX(int i) {
    return Kernel == 0 ? sobelX[i] : robertsX[i];
}
template <int Kernel>
constexpr int32_t weightY(int i) {
    return Kernel == 0 ? sobelY[i] : robertsY[i];
}

// Magnitudes of 8-bit gradients, gx² + gy² at most 2 × 1020². The result is
// non-decreasing in the sum (square root, product with a non-negative factor
// and truncation all are), so every sum from the first saturating one on is
// 255 and the sums below it are looked up in a table of the same expression.
class tlMagnitudeTable {
public:
    explicit tlMagnitudeTable(double factor) : factor(factor) {
        int64_t lo = 0, hi = maximumSum + 1;  // first saturating sum lies in lo .. hi
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (gradientMagnitude(mid, factor, 255) >= 255)
                hi = mid;
            else
                lo = mid + 1;
        }
        saturated = lo;
        tableSize = saturated < tableLimit ? static_cast<int32_t>(saturated) : tableLimit;
        table = new (std::nothrow) uint8_t[tableSize];
        if (table == nullptr) tableSize = 0;
        for (int32_t s = 0; s < tableSize; ++s) table[s] = static_cast<uint8_t>(gradientMagnitude(s, factor, 255));
    }
    ~tlMagnitudeTable() { delete[] table; }
    tlMagnitudeTable(const tlMagnitudeTable &) = delete;
    tlMagnitudeTable &operator=(const tlMagnitudeTable &) = delete;

    uint32_t operator()(int64_t s) const {
        if (s >= saturated) return 255;
        if (s < tableSize) return table[s];
        return gradientMagnitude(s, factor, 255);
    }

private:
    static constexpr int64_t maximumSum = 2 * 1020 * 1020;
    static constexpr int32_t tableLimit = 1 << 18;
    double factor;
    int64_t saturated = 0;
    int32_t tableSize = 0;
    uint8_t *table = nullptr;
};

struct tlEdgeJob {
    const tlPicture *source;
    tlPicture *destination;
    tlRect area;
    bool wrap;
    double factor;                  // gain × 0.01
    const tlMagnitudeTable *table;  // 8-bit pictures only
};

// One row of gradients. Neighbour rows and columns outside the picture are
// wrapped (seamless tiles) or clamped to the edge; with alpha a pixel of
// alpha 0 adds nothing, as if its colour were 0. Per colour channel:
//   gx = Σ Gx[i] × C[i], gy = Σ Gy[i] × C[i] over the nine positions,
//   v = trunc(√(gx² + gy²) × (gain × 0.01)), 255 (65535) or more saturating.
// The destination alpha is not written.
template <int Bits, int Colours, bool Alpha, int Kernel>
void edgeRow(const tlEdgeJob &job, int32_t y) {
    constexpr int32_t channels = Colours + (Alpha ? 1 : 0);
    constexpr int32_t bpp = channels * Bits / 8;
    const tlPicture &src = *job.source;
    const int32_t w = src.width, h = src.height;
    const int32_t rowAbove = job.wrap ? wrapIndex(int64_t(y) - 1, h) : clampIndex(int64_t(y) - 1, h);
    const int32_t rowBelow = job.wrap ? wrapIndex(int64_t(y) + 1, h) : clampIndex(int64_t(y) + 1, h);
    const uint8_t *rows[3] = {src.row(rowAbove), src.row(y), src.row(rowBelow)};
    const int32_t beforeFirst = job.wrap ? wrapIndex(-1, w) : 0;
    const int32_t afterLast = job.wrap ? wrapIndex(w, w) : w - 1;
    uint8_t *out = job.destination->row(y);
    for (int32_t x = job.area.left; x < job.area.right; ++x) {
        const int32_t cols[3] = {x > 0 ? x - 1 : beforeFirst, x, x + 1 < w ? x + 1 : afterLast};
        int32_t gx[Colours] = {}, gy[Colours] = {};
        for (int i = 0; i < 9; ++i) {
            if (weightX<Kernel>(i) == 0 && weightY<Kernel>(i) == 0) continue;
            const uint8_t *p = rows[i / 3] + static_cast<ptrdiff_t>(cols[i % 3]) * bpp;
            if (Alpha && readSample<Bits>(p, Colours) == 0) continue;
            for (int c = 0; c < Colours; ++c) {
                const int32_t v = static_cast<int32_t>(readSample<Bits>(p, c));
                gx[c] += weightX<Kernel>(i) * v;
                gy[c] += weightY<Kernel>(i) * v;
            }
        }
        uint8_t *q = out + static_cast<ptrdiff_t>(x) * bpp;
        for (int c = 0; c < Colours; ++c) {
            const int64_t s = int64_t(gx[c]) * gx[c] + int64_t(gy[c]) * gy[c];
            const uint32_t v = Bits == 8 ? (*job.table)(s) : gradientMagnitude(s, job.factor, 65535);
            writeSample<Bits>(q, c, v);
        }
    }
}

typedef void (*tlEdgeRowFunction)(const tlEdgeJob &, int32_t);

template <int Bits, int Kernel>
tlEdgeRowFunction edgeRowFor(const tlPicture &p) {
    if (p.model == tlColourModel::RGB)
        return p.channels == 4 ? edgeRow<Bits, 3, true, Kernel> : edgeRow<Bits, 3, false, Kernel>;
    return p.channels == 2 ? edgeRow<Bits, 1, true, Kernel> : edgeRow<Bits, 1, false, Kernel>;
}

tlEdgeRowFunction edgeRowFor(const tlPicture &p, int32_t kernel) {
    if (p.bits == 8) return kernel == 0 ? edgeRowFor<8, 0>(p) : edgeRowFor<8, 1>(p);
    return kernel == 0 ? edgeRowFor<16, 0>(p) : edgeRowFor<16, 1>(p);
}

}  // namespace

// Gradient magnitudes of RGB and gray pictures, then the negative effect on
// the result when invert is set. Indexed pictures get no gradients (only the
// inversion). A negative gain or an unknown kernel leaves the picture alone.
bool tlEdgeDetectionEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (gain < 0 || (kernel != 0 && kernel != 1)) return true;
    if (source.model != tlColourModel::Indexed) {
        const double factor = gain * 0.01;
        tlMagnitudeTable *table = nullptr;
        if (source.bits == 8 && (table = new (std::nothrow) tlMagnitudeTable(factor)) == nullptr) return false;
        const tlEdgeJob job = {&source, &destination, area, wrap, factor, table};
        const tlEdgeRowFunction rowFunction = edgeRowFor(source, kernel);
        if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
        const bool done = forEachRow(area.top, area.bottom, area.right - area.left, progress,
                                     [&](int32_t y) { rowFunction(job, y); });
        delete table;
        if (!done) return false;
    }
    if (!invert) return true;
    tlNegativeEffect negative;
    return negative.apply(destination, destination, nullptr);
}
