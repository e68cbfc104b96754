// Emboss filter: the difference of the pixels on either side of each pixel,
// along arms of `radius` pixels, offset to mid-grey.
#include <new>

#include "effects/core/sampling.h"
#include "effects/filters/edges.h"
#include "imaging/pixel_math.h"
#include "imaging/row_pool.h"

namespace {

// The values one pixel adds to an arm: its colours, and with alpha its
// colours times its alpha followed by the alpha itself (a transparent pixel
// adds nothing). Every sum fits 64 bits: an arm holds at most 2^31 pixels of
// at most 65535² each.
template <int Bits, int Colours, bool Alpha>
struct tlArmValues {
    static constexpr int32_t count = Colours + (Alpha ? 1 : 0);
    static constexpr int32_t bytesPerPixel = count * Bits / 8;
    int64_t v[count];

    void clear() {
        for (int32_t k = 0; k < count; ++k) v[k] = 0;
    }
    void add(const uint8_t *p, int64_t times = 1) {
        const int64_t a = Alpha ? readSample<Bits>(p, Colours) : 1;
        for (int32_t c = 0; c < Colours; ++c) v[c] += readSample<Bits>(p, c) * a * times;
        if (Alpha) v[Colours] += a * times;
    }
    void subtract(const uint8_t *p) {
        const int64_t a = Alpha ? readSample<Bits>(p, Colours) : 1;
        for (int32_t c = 0; c < Colours; ++c) v[c] -= readSample<Bits>(p, c) * a;
        if (Alpha) v[Colours] -= a;
    }
};

// One line of the picture (a row, or a column read with a byte step) under
// the edge rule: positions outside 0 .. n − 1 wrap around (seamless tiles)
// or clamp to the end pixel.
struct tlEmbossLine {
    const uint8_t *first;
    ptrdiff_t step;
    int32_t n;
    bool wrap;

    const uint8_t *at(int64_t i) const {
        return first + static_cast<ptrdiff_t>(wrap ? wrapIndex(i, n) : clampIndex(i, n)) * step;
    }

    // Sum of the positions a .. a + length − 1. Lengths beyond the line are
    // summed in closed form (whole turns of the line, or the end pixels
    // repeated), so a huge radius costs no more than the line itself.
    template <class Values>
    void sum(int64_t a, int64_t length, Values &out) const {
        out.clear();
        if (length <= n) {
            for (int64_t i = a; i < a + length; ++i) out.add(at(i));
            return;
        }
        if (wrap) {
            for (int32_t i = 0; i < n; ++i) out.add(first + i * step, length / n);
            for (int64_t i = a; i < a + length % n; ++i) out.add(at(i));
            return;
        }
        const int64_t b = a + length - 1;
        const int64_t low = a < 0 ? (b < 0 ? b : -1) - a + 1 : 0;
        const int64_t high = b >= n ? b - (a >= n ? a : n) + 1 : 0;
        if (low > 0) out.add(first, low);
        if (high > 0) out.add(first + static_cast<ptrdiff_t>(n - 1) * step, high);
        for (int64_t i = a < 0 ? 0 : a; i <= b && i < n; ++i) out.add(first + static_cast<ptrdiff_t>(i) * step);
    }
};

// The rule for one picture: which arms enter the difference and with which
// sign, and the constants of the division.
struct tlEmbossRule {
    int64_t radius;
    int64_t strength;
    bool useV, useH;
    bool belowMinusAbove;  // else above − below
    bool rightMinusLeft;   // else left − right
    bool inColour;
    bool narrow;  // quotients that fit 32 bits (every picture the system makes)
    bool wide;    // quotients that may pass 64 bits
};

// Vertical arms keep one running sum per column, horizontal arms one per row;
// each slides by one pixel per step (add the pixel that enters, subtract the
// one that leaves). Rows are split into bands over the row pool; each band
// sums its first row's column arms afresh (the sums are exact integers, so
// this is what sliding down to it would give) and slides from there, in
// column arms of its worker's own.
template <int Bits, int Colours, bool Alpha>
class tlEmbosser {
public:
    typedef tlArmValues<Bits, Colours, Alpha> Values;

    tlEmbosser(const tlPicture &src, tlPicture &dst, const tlRect &area, const tlEmbossRule &rule, bool wrap,
               int32_t workers)
        : src(src), dst(dst), area(area), rule(rule), wrap(wrap) {
        const size_t arms = static_cast<size_t>(area.right - area.left) * static_cast<size_t>(workers);
        above = new (std::nothrow) Values[arms];
        below = new (std::nothrow) Values[arms];
    }
    ~tlEmbosser() {
        delete[] above;
        delete[] below;
    }
    tlEmbosser(const tlEmbosser &) = delete;
    tlEmbosser &operator=(const tlEmbosser &) = delete;

    bool ready() const { return above != nullptr && below != nullptr; }

    bool run(tlRowSplit &split, tlProgress *progress) {
        if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
        return split.run(progress, [&](int32_t first, int32_t end, tlRowSteps &steps) {
            const size_t w = static_cast<size_t>(area.right - area.left);
            tlArms arms = {above + w * static_cast<size_t>(steps.worker()),
                           below + w * static_cast<size_t>(steps.worker())};
            const int32_t y0 = area.top + first, y1 = area.top + end;
            primeColumns(y0, arms);
            for (int32_t y = y0; y < y1; ++y) {
                embossRow(y, arms);
                if (y + 1 < y1) slideColumns(y, arms);
                if (!steps.next()) return false;
            }
            return true;
        });
    }

private:
    tlEmbossLine column(int32_t x) const {
        return {src.store + static_cast<ptrdiff_t>(x) * Values::bytesPerPixel, src.stride, src.height, wrap};
    }
    tlEmbossLine row(int32_t y) const { return {src.row(y), Values::bytesPerPixel, src.width, wrap}; }

    // The column arms of one worker, one entry per column of the area.
    struct tlArms {
        Values *above;
        Values *below;
    };

    // The arms of row y: above = rows y − radius .. y − 1, below = rows
    // y + 1 .. y + radius of each column.
    void primeColumns(int32_t y, const tlArms &arms) const {
        for (int32_t x = area.left; x < area.right; ++x) {
            const tlEmbossLine column = this->column(x);
            column.sum(int64_t(y) - rule.radius, rule.radius, arms.above[x - area.left]);
            column.sum(int64_t(y) + 1, rule.radius, arms.below[x - area.left]);
        }
    }

    // Moves every column's arms from row y to row y + 1: above gains row y and
    // loses row y − radius; below loses row y + 1 and gains row y + radius + 1.
    void slideColumns(int32_t y, const tlArms &arms) const {
        const tlEmbossLine rows = {src.store, src.stride, src.height, wrap};
        const uint8_t *enterAbove = rows.at(y), *leaveAbove = rows.at(int64_t(y) - rule.radius);
        const uint8_t *leaveBelow = rows.at(int64_t(y) + 1), *enterBelow = rows.at(int64_t(y) + rule.radius + 1);
        for (int32_t x = area.left; x < area.right; ++x) {
            const ptrdiff_t o = static_cast<ptrdiff_t>(x) * Values::bytesPerPixel;
            arms.above[x - area.left].add(enterAbove + o);
            arms.above[x - area.left].subtract(leaveAbove + o);
            arms.below[x - area.left].subtract(leaveBelow + o);
            arms.below[x - area.left].add(enterBelow + o);
        }
    }

    void embossRow(int32_t y, const tlArms &arms) const {
        const tlEmbossLine line = row(y);
        Values left, right;
        line.sum(int64_t(area.left) - rule.radius, rule.radius, left);
        line.sum(int64_t(area.left) + 1, rule.radius, right);
        uint8_t *out = dst.row(y);
        for (int32_t x = area.left; x < area.right; ++x) {
            writePixel(arms.above[x - area.left], arms.below[x - area.left], left, right,
                       out + static_cast<ptrdiff_t>(x) * Values::bytesPerPixel);
            left.add(line.at(x));
            left.subtract(line.at(int64_t(x) - rule.radius));
            right.subtract(line.at(int64_t(x) + 1));
            right.add(line.at(int64_t(x) + rule.radius + 1));
        }
    }

    // D = V + H per channel, V and H as the rule says (a term not in use is 0).
    // Without alpha: out = (strength × D) / (radius × 100) + M.
    // With alpha: S_A = the alpha of the arms in use; S_A = 0 writes 0 into
    // every channel; else out = (strength × D) / (S_A × radius × 100) + M and
    // alpha = S_A / radius, cut to the channel's width (252 on an opaque 8-bit
    // picture with both terms, 254 with one). M = 128 (32768); the quotient
    // truncates toward zero and the result is clamped to the channel range.
    // RGB without inColour writes the grey (77 R′ + 151 G′ + 28 B′) >> 8.
    void writePixel(const Values &up, const Values &down, const Values &left, const Values &right, uint8_t *q) const {
        constexpr uint32_t top = Bits == 8 ? 255 : 65535;
        int64_t sumA = 0;
        if (Alpha) {
            if (rule.useV) sumA += up.v[Colours] + down.v[Colours];
            if (rule.useH) sumA += left.v[Colours] + right.v[Colours];
            if (sumA == 0) {
                for (int32_t k = 0; k < Values::count; ++k) writeSample<Bits>(q, k, 0);
                return;
            }
        }
        const int64_t weight = Alpha ? sumA : 1;
        uint32_t out[Colours];
        for (int32_t c = 0; c < Colours; ++c) {
            const int64_t v = rule.useV ? (rule.belowMinusAbove ? down.v[c] - up.v[c] : up.v[c] - down.v[c]) : 0;
            const int64_t h = rule.useH ? (rule.rightMinusLeft ? right.v[c] - left.v[c] : left.v[c] - right.v[c]) : 0;
            const int64_t m = top / 2 + 1;
            out[c] = static_cast<uint32_t>(clampRange(quotient(v, h, weight) + m, 0, top));
        }
        if (Colours == 3 && !rule.inColour) {
            const uint32_t grey = (77 * out[0] + 151 * out[1] + 28 * out[2]) >> 8;
            out[0] = out[1] = out[2] = grey;
        }
        for (int32_t c = 0; c < Colours; ++c) writeSample<Bits>(q, c, out[c]);
        if (Alpha) writeSample<Bits>(q, Colours, static_cast<uint32_t>(sumA / rule.radius) & top);
    }

    // trunc(strength × (v + h) / (weight × radius × 100)), cut to ±2^40 (far
    // beyond any channel) so that the caller's addition cannot overflow.
    int64_t quotient(int64_t v, int64_t h, int64_t weight) const {
        if (rule.narrow)
            return static_cast<int32_t>(rule.strength * (v + h)) / static_cast<int32_t>(weight * rule.radius * 100);
        if (!rule.wide) return rule.strength * (v + h) / (weight * rule.radius * 100);
        const __int128 divisor = static_cast<__int128>(weight) * rule.radius * 100;
        const __int128 q = static_cast<__int128>(rule.strength) * (static_cast<__int128>(v) + h) / divisor;
        const __int128 limit = static_cast<__int128>(1) << 40;
        return static_cast<int64_t>(q > limit ? limit : (q < -limit ? -limit : q));
    }

    const tlPicture &src;
    tlPicture &dst;
    tlRect area;
    tlEmbossRule rule;
    bool wrap;
    Values *above = nullptr;
    Values *below = nullptr;
};

template <int Bits, int Colours, bool Alpha>
bool embossWith(const tlPicture &src, tlPicture &dst, const tlRect &area, const tlEmbossRule &rule, bool wrap,
                tlProgress *progress) {
    tlRowSplit split(area.bottom - area.top, area.pixelCount());
    tlEmbosser<Bits, Colours, Alpha> embosser(src, dst, area, rule, wrap, split.workers());
    return embosser.ready() && embosser.run(split, progress);
}

// The arms and signs: RGB 8-bit pictures follow the direction (vertical term
// none for 3 and 4, below − above under 5, else above − below; horizontal
// term none for 1 and 6, right − left for 0, 3 and 5, else left − right);
// RGB 16-bit and gray pictures always use (above − below) + (right − left).
tlEmbossRule embossRule(const tlPicture &p, int32_t radius, int32_t strength, int32_t direction, bool inColour) {
    tlEmbossRule rule = {radius, strength, true, true, false, true, inColour, false, false};
    if (p.model == tlColourModel::RGB && p.bits == 8) {
        rule.useV = direction != 3 && direction != 4;
        rule.belowMinusAbove = direction < 5;
        rule.useH = direction != 1 && direction != 6;
        rule.rightMinusLeft = direction == 0 || direction == 3 || direction == 5;
    }
    // Bounds of |strength × D| and of the divisor: 32-bit quotients when both
    // stay below 2^31, 64-bit ones when both stay below 2^62.
    typedef unsigned __int128 wide;
    const wide top = p.bits == 8 ? 255 : 65535;
    const wide arm = static_cast<wide>(radius) * top * (p.hasAlpha() ? top : 1);
    const wide numerator = static_cast<wide>(strength > 1 ? strength : 1) * 2 * arm;
    const wide divisor = (p.hasAlpha() ? 4 * static_cast<wide>(radius) * top : 1) * static_cast<wide>(radius) * 100;
    const unsigned __int128 limit = static_cast<unsigned __int128>(1) << 62;
    rule.wide = numerator >= limit || divisor >= limit;
    rule.narrow = numerator < (static_cast<wide>(1) << 31) && divisor < (static_cast<wide>(1) << 31);
    return rule;
}

}  // namespace

// Emboss of RGB and gray pictures, 8 and 16 bits. Indexed pictures, a radius
// below 1 and a negative strength leave the picture alone.
bool tlEmbossEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (source.model == tlColourModel::Indexed || radius < 1 || strength < 0) return true;
    const tlEmbossRule rule = embossRule(source, radius, strength, direction, inColour);
    const bool rgb = source.model == tlColourModel::RGB, alpha = source.hasAlpha();
    if (source.bits == 8) {
        if (rgb)
            return alpha ? embossWith<8, 3, true>(source, destination, area, rule, wrap, progress)
                         : embossWith<8, 3, false>(source, destination, area, rule, wrap, progress);
        return alpha ? embossWith<8, 1, true>(source, destination, area, rule, wrap, progress)
                     : embossWith<8, 1, false>(source, destination, area, rule, wrap, progress);
    }
    if (rgb)
        return alpha ? embossWith<16, 3, true>(source, destination, area, rule, wrap, progress)
                     : embossWith<16, 3, false>(source, destination, area, rule, wrap, progress);
    return alpha ? embossWith<16, 1, true>(source, destination, area, rule, wrap, progress)
                 : embossWith<16, 1, false>(source, destination, area, rule, wrap, progress);
}
