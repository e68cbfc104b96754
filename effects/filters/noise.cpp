// Noise and scatter filters: HSV noise, histogram noise and spread. Each
// reseeds the shared generator with its seed and draws only from it, pixel by
// pixel in row order, so equal parameters give equal pictures.
#include "effects/filters/noise.h"

#include <cmath>
#include <cstring>
#include <new>

#include "effects/core/random.h"
#include "effects/core/sampling.h"
#include "imaging/colourspace.h"
#include "imaging/pixel_math.h"
#include "imaging/row_pool.h"

namespace {

// A noise amount a draws below(2a + 1) and shifts by a − d, so the shift lies
// in −a .. a. A negative amount counts as 0 (no draw, no change); the largest
// one gives 2^32 − 1, which still fits the draw.
inline int64_t noiseAmount(int32_t amount) { return amount > 0 ? amount : 0; }

inline int64_t drawShift(tlRandom &random, int64_t amount) {
    return amount - static_cast<int64_t>(random.below(static_cast<uint32_t>(2 * amount + 1)));
}

// Steps H by the draw's shift in degrees: H + (hueNoise − d) × (1/360), the
// constant, product and sum in extended precision, stored back once. A hue
// below 0 gains one turn, above 1 loses one; a hue still outside after that
// (only amounts above 180 reach it) keeps its fraction of a turn. Needs the
// thread's x87 precision at 64 bits, as the generation job sets it.
inline double shiftHue(double h, int64_t shift) {
    const long double turn = 1.0L / 360;
    h = static_cast<double>(h + static_cast<long double>(shift) * turn);
    if (h < 0.0) {
        h = h + 1.0;
        if (h < 0.0) h = h - std::floor(h);
    } else if (h > 1.0) {
        h = h - 1.0;
        if (h > 1.0) h = h - std::floor(h);
    }
    return h;
}

// S or V plus shift × 0.01, cut to 0 .. 1.
inline double shiftUnit(double x, int64_t shift) {
    x = x + static_cast<double>(shift) * 0.01;
    return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
}

struct tlHSVNoise {
    int32_t coverage;
    int64_t hue, saturation, value, alpha;  // amounts, negative ones as 0
};

// Alpha of an affected pixel: a + alphaNoise − d cut to the channel, drawn
// only when the amount is not 0 and the pixel is not fully transparent.
template <int Bits>
inline uint32_t noisyAlpha(tlRandom &random, const tlHSVNoise &n, uint32_t a) {
    if (n.alpha == 0 || a == 0) return a;
    return static_cast<uint32_t>(clampRange(a + drawShift(random, n.alpha), 0, Bits == 8 ? 255 : 65535));
}

// One row. A pixel is affected without a draw at coverage 100, else when
// below(100) < coverage; unaffected pixels keep the source and draw nothing
// more. RGB: (H, S, V) from the pixel, hue, saturation and value shifted in
// that order (each drawing only when its amount is not 0), back to RGB.
// Gray: v + ((valueNoise − d) × full) / 100, truncated, cut to the channel.
template <int Bits, int Colours, bool Alpha>
void hsvNoiseRow(tlRandom &random, const tlHSVNoise &n, const uint8_t *in, uint8_t *out, int32_t left, int32_t right) {
    constexpr int32_t bpp = (Colours + (Alpha ? 1 : 0)) * Bits / 8;
    constexpr int64_t full = Bits == 8 ? 255 : 65535;
    for (int32_t x = left; x < right; ++x) {
        if (n.coverage != 100 && !(static_cast<int64_t>(random.below(100)) < n.coverage)) continue;
        const uint8_t *p = in + static_cast<ptrdiff_t>(x) * bpp;
        uint8_t *q = out + static_cast<ptrdiff_t>(x) * bpp;
        if (Colours == 3) {
            double h, s, v;
            if (Bits == 8)
                rgbToHsv(p[0], p[1], p[2], h, s, v);
            else
                rgbToHsv16(static_cast<uint16_t>(load16(p)), static_cast<uint16_t>(load16(p + 2)),
                           static_cast<uint16_t>(load16(p + 4)), h, s, v);
            if (n.hue != 0) h = shiftHue(h, drawShift(random, n.hue));
            if (n.saturation != 0) s = shiftUnit(s, drawShift(random, n.saturation));
            if (n.value != 0) v = shiftUnit(v, drawShift(random, n.value));
            if (Bits == 8) {
                hsvToRgb(h, s, v, q[0], q[1], q[2]);
            } else {
                uint16_t r, g, b;
                hsvToRgb16(h, s, v, r, g, b);
                store16(q, r), store16(q + 2, g), store16(q + 4, b);
            }
        } else {
            int64_t v = readSample<Bits>(p, 0);
            if (n.value != 0) v = clampRange(v + drawShift(random, n.value) * full / 100, 0, full);
            writeSample<Bits>(q, 0, static_cast<uint32_t>(v));
        }
        if (Alpha) writeSample<Bits>(q, Colours, noisyAlpha<Bits>(random, n, readSample<Bits>(p, Colours)));
    }
}

typedef void (*tlHSVNoiseRow)(tlRandom &, const tlHSVNoise &, const uint8_t *, uint8_t *, int32_t, int32_t);

template <int Bits>
tlHSVNoiseRow hsvNoiseRowFor(const tlPicture &p) {
    if (p.model == tlColourModel::RGB) return p.hasAlpha() ? hsvNoiseRow<Bits, 3, true> : hsvNoiseRow<Bits, 3, false>;
    return p.hasAlpha() ? hsvNoiseRow<Bits, 1, true> : hsvNoiseRow<Bits, 1, false>;
}

}  // namespace

// Indexed pictures: nothing written, nothing drawn.
bool tlHSVNoiseEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRandom &random = sharedRandom();
    random.seed(static_cast<uint32_t>(seed));
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (source.model == tlColourModel::Indexed) return true;
    const tlHSVNoise noise = {coverage, noiseAmount(hueNoise), noiseAmount(saturationNoise), noiseAmount(valueNoise),
                              noiseAmount(alphaNoise)};
    const tlHSVNoiseRow row = source.bits == 8 ? hsvNoiseRowFor<8>(source) : hsvNoiseRowFor<16>(source);
    if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        row(random, noise, source.row(y), destination.row(y), area.left, area.right);
        if (progress != nullptr && !progress->step()) return false;
    }
    return true;
}

namespace {

// Level table: k = (amount × full) / 100; t[i] = i + below(2k + 1) − k cut to
// 0 .. full, drawn in increasing i. k is capped at 2^31 − 1 so that 2k + 1
// fits the draw (from there on every level is already spread over the whole
// range); a negative amount counts as 0.
template <class Level>
void buildLevels(tlRandom &random, int32_t amount, int64_t full, Level *t) {
    int64_t k = noiseAmount(amount) * full / 100;
    if (k > 0x7FFFFFFF) k = 0x7FFFFFFF;
    for (int64_t i = 0; i <= full; ++i)
        t[i] = static_cast<Level>(
            clampRange(i + static_cast<int64_t>(random.below(static_cast<uint32_t>(2 * k + 1))) - k, 0, full));
}

// RGB: Y of (Y, Cb, Cr) goes through the table, Cb and Cr stay. Gray: the
// value goes through the table. Alpha is copied.
template <int Bits, int Colours, bool Alpha, class Level>
void levelRow(const Level *t, const uint8_t *in, uint8_t *out, int32_t left, int32_t right) {
    constexpr int32_t bpp = (Colours + (Alpha ? 1 : 0)) * Bits / 8;
    for (int32_t x = left; x < right; ++x) {
        const uint8_t *p = in + static_cast<ptrdiff_t>(x) * bpp;
        uint8_t *q = out + static_cast<ptrdiff_t>(x) * bpp;
        if (Colours == 3 && Bits == 8) {
            uint8_t y;
            int8_t cb, cr;
            rgbToYCbCr(p[0], p[1], p[2], y, cb, cr);
            yCbCrToRgb(t[y], cb, cr, q[0], q[1], q[2]);
        } else if (Colours == 3) {
            uint16_t y, r, g, b;
            int16_t cb, cr;
            rgbToYCbCr16(static_cast<uint16_t>(load16(p)), static_cast<uint16_t>(load16(p + 2)),
                         static_cast<uint16_t>(load16(p + 4)), y, cb, cr);
            yCbCrToRgb16(t[y], cb, cr, r, g, b);
            store16(q, r), store16(q + 2, g), store16(q + 4, b);
        } else {
            writeSample<Bits>(q, 0, t[readSample<Bits>(p, 0)]);
        }
        if (Alpha) writeSample<Bits>(q, Colours, readSample<Bits>(p, Colours));
    }
}

template <int Bits, class Level>
void mapLevels(const Level *t, const tlPicture &src, tlPicture &dst, const tlRect &area, int32_t y) {
    const bool alpha = src.hasAlpha();
    void (*row)(const Level *, const uint8_t *, uint8_t *, int32_t, int32_t);
    if (src.model == tlColourModel::RGB)
        row = alpha ? levelRow<Bits, 3, true, Level> : levelRow<Bits, 3, false, Level>;
    else
        row = alpha ? levelRow<Bits, 1, true, Level> : levelRow<Bits, 1, false, Level>;
    row(t, src.row(y), dst.row(y), area.left, area.right);
}

}  // namespace

// Indexed pictures: no table, nothing written.
bool tlHistogramNoiseEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRandom &random = sharedRandom();
    random.seed(static_cast<uint32_t>(seed));
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (source.model == tlColourModel::Indexed) return true;
    uint8_t levels8[256];
    uint16_t *levels16 = nullptr;
    if (source.bits == 8) {
        buildLevels(random, amount, 255, levels8);
    } else {
        levels16 = new (std::nothrow) uint16_t[65536];
        if (levels16 == nullptr) return false;
        buildLevels(random, amount, 65535, levels16);
    }
    if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
    // The table is drawn; every row now depends on it and its own pixels only.
    const bool done = forEachRow(area.top, area.bottom, area.right - area.left, progress, [&](int32_t y) {
        if (levels16 == nullptr)
            mapLevels<8>(levels8, source, destination, area, y);
        else
            mapLevels<16>(levels16, source, destination, area, y);
    });
    delete[] levels16;
    return done;
}

namespace {

// One row of spread: per pixel dx = below(2 spreadX + 1) − spreadX, then
// dy likewise, always both draws; the pixel at (x + dx, y + dy), wrapped
// around the picture (seamless tiles) or clamped to its edge, is copied
// from the source, so moved pixels never move again.
template <int Bytes, bool Wrap>
void spreadRow(tlRandom &random, const tlPicture &src, uint8_t *out, int32_t y, int32_t left, int32_t right,
               int64_t spreadX, int64_t spreadY) {
    const uint32_t rangeX = static_cast<uint32_t>(2 * spreadX + 1), rangeY = static_cast<uint32_t>(2 * spreadY + 1);
    for (int32_t x = left; x < right; ++x) {
        const int64_t dx = static_cast<int64_t>(random.below(rangeX)) - spreadX;
        const int64_t dy = static_cast<int64_t>(random.below(rangeY)) - spreadY;
        const int32_t sx = Wrap ? wrapIndex(x + dx, src.width) : clampIndex(x + dx, src.width);
        const int32_t sy = Wrap ? wrapIndex(y + dy, src.height) : clampIndex(y + dy, src.height);
        std::memcpy(out + static_cast<ptrdiff_t>(x) * Bytes, src.row(sy) + static_cast<ptrdiff_t>(sx) * Bytes, Bytes);
    }
}

typedef void (*tlSpreadRow)(tlRandom &, const tlPicture &, uint8_t *, int32_t, int32_t, int32_t, int64_t, int64_t);

template <bool Wrap>
tlSpreadRow spreadRowFor(int32_t bytesPerPixel) {
    switch (bytesPerPixel) {
    case 1: return spreadRow<1, Wrap>;
    case 2: return spreadRow<2, Wrap>;
    case 3: return spreadRow<3, Wrap>;
    case 4: return spreadRow<4, Wrap>;
    case 6: return spreadRow<6, Wrap>;
    case 8: return spreadRow<8, Wrap>;
    default: return nullptr;
    }
}

}  // namespace

// Every colour model and depth, pixels copied byte for byte. A negative
// spread counts as 0 (that axis does not move; its draw is still made).
bool tlSpreadEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRandom &random = sharedRandom();
    random.seed(static_cast<uint32_t>(seed));
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    const tlSpreadRow row = wrap ? spreadRowFor<true>(source.bytesPerPixel())
                                 : spreadRowFor<false>(source.bytesPerPixel());
    if (row == nullptr) return false;
    if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        row(random, source, destination.row(y), y, area.left, area.right, noiseAmount(spreadX), noiseAmount(spreadY));
        if (progress != nullptr && !progress->step()) return false;
    }
    return true;
}
