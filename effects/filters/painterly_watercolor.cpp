// Watercolor filter effect: every colour channel darkened by its distance
// from the mean of a square box, the box sums kept as running sums.
#include "effects/filters/painterly.h"

#include <cstring>
#include <new>

#include "effects/core/sampling.h"
#include "imaging/pixel_math.h"
#include "imaging/row_pool.h"

namespace {

// Running sums per box, all 64-bit (32 bits overflow for large boxes):
// without alpha  sum C for each colour channel, and the pixel count;
// with alpha     sum C × A for each colour channel, S_A = sum A, and the
//                number of counted pixels (alpha not 0).
template <int Bits, int Colours, bool Alpha>
struct tlBoxPixel {
    static const int32_t sums = Colours + 2;

    static uint32_t sample(const uint8_t *p, int32_t i) { return readSample<Bits>(p, i); }

    // Adds times × the pixel's share to acc.
    static void add(int64_t *acc, const uint8_t *p, int64_t times) {
        if (!Alpha) {
            for (int32_t c = 0; c < Colours; ++c) acc[c] += times * sample(p, c);
            acc[Colours + 1] += times;
            return;
        }
        const uint32_t a = sample(p, Colours);
        if (a == 0) return;
        for (int32_t c = 0; c < Colours; ++c) acc[c] += times * static_cast<int64_t>(sample(p, c) * a);
        acc[Colours] += times * a;
        acc[Colours + 1] += times;
    }
};

// Unsigned division, in 32 bits when both fit (the same quotient, faster).
inline uint64_t quotient(uint64_t a, uint64_t b) {
    if (((a | b) >> 32) == 0) return static_cast<uint32_t>(a) / static_cast<uint32_t>(b);
    return a / b;
}

// Output of one pixel from its box sums:
//   mean = sum C / count (no alpha), or sum C × A / S_A (0 when S_A is 0);
//   out  = C − (|C − mean| × strength) / 100, truncated toward zero, then
//          held to 0 .. the channel maximum (a negative strength brightens);
//   alpha (when present) = S_A / counted pixels, 0 when S_A is 0.
template <int Bits, int Colours, bool Alpha>
void boxOutput(const int64_t *acc, const uint8_t *in, uint8_t *out, int64_t strength) {
    typedef tlBoxPixel<Bits, Colours, Alpha> Pixel;
    const int64_t top = Bits == 8 ? 255 : 65535;
    const uint64_t divisor = static_cast<uint64_t>(Alpha ? acc[Colours] : acc[Colours + 1]);
    for (int32_t c = 0; c < Colours; ++c) {
        const int64_t mean = divisor == 0 ? 0 : static_cast<int64_t>(quotient(static_cast<uint64_t>(acc[c]), divisor));
        const int64_t v = Pixel::sample(in, c);
        const int64_t d = v > mean ? v - mean : mean - v;
        const int64_t o = clampRange(v - d * strength / 100, 0, top);
        if (Bits == 8)
            out[c] = static_cast<uint8_t>(o);
        else
            store16(out + 2 * c, static_cast<uint32_t>(o));
    }
    if (!Alpha) return;
    const uint64_t a = divisor == 0 ? 0 : quotient(divisor, static_cast<uint64_t>(acc[Colours + 1]));
    if (Bits == 8)
        out[Colours] = static_cast<uint8_t>(a);
    else
        store16(out + 2 * Colours, static_cast<uint32_t>(a));
}

// Adds times × line(i) for the box positions first .. first + count − 1
// along an axis of n elements: wrapped, each whole turn adds every element
// once (so a box of any size costs at most one turn); clipped, only the
// positions inside count. line(i, times) adds element i.
template <typename Line>
void addSpan(int64_t first, int64_t count, int32_t n, bool wrap, Line line) {
    if (!wrap) {
        const int64_t a = first < 0 ? 0 : first;
        const int64_t b = first + count - 1 > n - 1 ? n - 1 : first + count - 1;
        for (int64_t i = a; i <= b; ++i) line(static_cast<int32_t>(i), 1);
        return;
    }
    const int64_t turns = count / n, rest = count % n;
    if (turns > 0)
        for (int32_t i = 0; i < n; ++i) line(i, turns);
    for (int64_t i = 0; i < rest; ++i) line(wrapIndex(first + i, n), 1);
}

// Rows are split into bands over the row pool. Each band builds its first
// row's column sums afresh and slides them down from there, in its worker's
// own columns: the sums are exact integers, so they are those that sliding
// from the top would reach.
template <int Bits, int Colours, bool Alpha>
bool watercolor(const tlPicture &source, tlPicture &destination, const tlRect &area, int64_t r, int64_t strength,
                bool wrap, tlProgress *progress) {
    typedef tlBoxPixel<Bits, Colours, Alpha> Pixel;
    const int32_t K = Pixel::sums, w = source.width, h = source.height, bpp = source.bytesPerPixel();
    const size_t columnSums = static_cast<size_t>(w) * K;
    tlRowSplit split(area.bottom - area.top, area.pixelCount());
    // Column sums over the box rows of the current output row, every column.
    int64_t *allColumns = new (std::nothrow) int64_t[columnSums * static_cast<size_t>(split.workers())];
    if (allColumns == nullptr) return false;
    const bool done = split.run(progress, [&](int32_t first, int32_t end, tlRowSteps &steps) {
        int64_t *columns = allColumns + columnSums * static_cast<size_t>(steps.worker());
        std::memset(columns, 0, sizeof(int64_t) * columnSums);
        auto addRow = [&](int32_t v, int64_t times) {
            const uint8_t *in = source.row(v);
            for (int32_t x = 0; x < w; ++x)
                Pixel::add(columns + static_cast<size_t>(x) * K, in + static_cast<ptrdiff_t>(x) * bpp, times);
        };
        const int32_t y0 = area.top + first, y1 = area.top + end;
        addSpan(y0 - r, 2 * r + 1, h, wrap, addRow);
        for (int32_t y = y0;;) {
            int64_t box[Colours + 2];
            std::memset(box, 0, sizeof(box));
            auto addColumn = [&](int32_t c, int64_t times) {
                for (int32_t k = 0; k < K; ++k) box[k] += times * columns[static_cast<size_t>(c) * K + k];
            };
            addSpan(area.left - r, 2 * r + 1, w, wrap, addColumn);
            const uint8_t *in = source.row(y);
            uint8_t *out = destination.row(y);
            for (int32_t x = area.left;;) {
                boxOutput<Bits, Colours, Alpha>(box, in + static_cast<ptrdiff_t>(x) * bpp,
                                                out + static_cast<ptrdiff_t>(x) * bpp, strength);
                if (++x == area.right) break;
                // Slide right: column x − r − 1 leaves, column x + r enters.
                const int64_t leaving = static_cast<int64_t>(x) - r - 1, entering = static_cast<int64_t>(x) + r;
                if (wrap || leaving >= 0) addColumn(wrap ? wrapIndex(leaving, w) : static_cast<int32_t>(leaving), -1);
                if (wrap || entering < w) addColumn(wrap ? wrapIndex(entering, w) : static_cast<int32_t>(entering), 1);
            }
            if (!steps.next()) return false;
            if (++y == y1) return true;
            // Slide down: row y − r − 1 leaves, row y + r enters.
            const int64_t leaving = static_cast<int64_t>(y) - r - 1, entering = static_cast<int64_t>(y) + r;
            if (wrap || leaving >= 0) addRow(wrap ? wrapIndex(leaving, h) : static_cast<int32_t>(leaving), -1);
            if (wrap || entering < h) addRow(wrap ? wrapIndex(entering, h) : static_cast<int32_t>(entering), 1);
        }
    });
    delete[] allColumns;
    return done;
}

template <int Bits>
bool watercolorFor(const tlPicture &source, tlPicture &destination, const tlRect &area, int64_t r, int64_t strength,
                   bool wrap, tlProgress *progress) {
    const bool alpha = source.hasAlpha();
    if (source.model == tlColourModel::RGB)
        return alpha ? watercolor<Bits, 3, true>(source, destination, area, r, strength, wrap, progress)
                     : watercolor<Bits, 3, false>(source, destination, area, r, strength, wrap, progress);
    return alpha ? watercolor<Bits, 1, true>(source, destination, area, r, strength, wrap, progress)
                 : watercolor<Bits, 1, false>(source, destination, area, r, strength, wrap, progress);
}

// False when the box sums could pass 62 bits: the box count times the
// largest share of one pixel (C × A with alpha, C without).
bool sumsFit(const tlPicture &p, int64_t r, bool wrap) {
    const int64_t across = wrap || 2 * r + 1 < p.width ? 2 * r + 1 : p.width;
    const int64_t down = wrap || 2 * r + 1 < p.height ? 2 * r + 1 : p.height;
    const int64_t top = p.bits == 8 ? 255 : 65535;
    const int64_t share = p.hasAlpha() ? top * top : top;
    const int64_t limit = (int64_t(1) << 62) / share;
    return across <= limit / down;
}

}  // namespace

// Box (2 × radius + 1) pixels square, wrapped round the picture or clipped
// at its edges; see boxOutput for the per-pixel step. Indexed pictures and
// radii below 1 are left as they are; boxes too large for 64-bit sums are
// refused (false).
bool tlWatercolorEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (source.model == tlColourModel::Indexed || radius < 1) return true;
    const int64_t r = radius;
    if (!sumsFit(source, r, wrap)) return false;
    if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
    return source.bits == 8 ? watercolorFor<8>(source, destination, area, r, strength, wrap, progress)
                            : watercolorFor<16>(source, destination, area, r, strength, wrap, progress);
}
