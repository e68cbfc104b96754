// Geometric distortion effects: cylinder, swirl and sine wave (coordinate
// mappings read through the bilinear samplers) and the kaleidoscope.
#include "effects/distortions/distortions.h"

#include <cmath>
#include <new>
#include <type_traits>

#include "effects/core/bilinear.h"
#include "effects/core/sampling.h"
#include "imaging/fpmath.h"
#include "imaging/row_pool.h"

namespace {

const double tlPi = 3.14159265358979323846;

// Progress protocol of the effects: begin(rows − 1) once, a step per row
// (forEachRow and the splits step after each row).
void beginRows(tlProgress *progress, const tlRect &area) {
    if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
}

// Runs run(tag) with the sampler of the source format as the compile-time
// constant decltype(tag)::value, so that the row loop has it inlined: the
// wrapping one for 8-bit RGB when wrap is asked, the clamping one otherwise.
// False without running when the format has none.
template <class Run>
bool withSampler(const tlPicture &p, bool wrap, Run run) {
    using namespace tlBilinear;
    const tlPixelFormat f = p.format();
    if (wrap && f.model == tlColourModel::RGB && f.bits == 8) {
        if (f.channels == 3) return run(std::integral_constant<tlSampler, sampleWrapped<8, 3>>());
        if (f.channels == 4) return run(std::integral_constant<tlSampler, sampleWrapped<8, 4>>());
        return false;
    }
    if (f == tlPixelFormat::rgb(8, 3)) return run(std::integral_constant<tlSampler, sampleClamped<8, 3>>());
    if (f == tlPixelFormat::rgb(8, 4)) return run(std::integral_constant<tlSampler, sampleClamped<8, 4>>());
    if (f == tlPixelFormat::rgb(16, 3)) return run(std::integral_constant<tlSampler, sampleClamped<16, 3>>());
    if (f == tlPixelFormat::rgb(16, 4)) return run(std::integral_constant<tlSampler, sampleClamped<16, 4>>());
    if (f == tlPixelFormat::gray(8, 1)) return run(std::integral_constant<tlSampler, sampleClamped<8, 1>>());
    if (f == tlPixelFormat::gray(8, 2)) return run(std::integral_constant<tlSampler, sampleClamped<8, 2>>());
    if (f == tlPixelFormat::gray(16, 1)) return run(std::integral_constant<tlSampler, sampleClamped<16, 1>>());
    if (f == tlPixelFormat::gray(16, 2)) return run(std::integral_constant<tlSampler, sampleClamped<16, 2>>());
    return false;
}

// Arc positions of a half cylinder seen from the front, for n destination
// positions: with h = n / 2, θ = atan(sqrt(i·n − i·i) / (h − i)) (π/2 at
// h = i; θ + π when negative), entry = θ · n · (1/π) + offset. i·n − i·i is
// formed in 64 bits: it passes 32 bits from n = 65536 on.
double *cylinderTable(int32_t n, int32_t offset) {
    double *table = new (std::nothrow) double[static_cast<size_t>(n)];
    if (table == nullptr) return nullptr;
    const double h = n / 2.0;
    const double invPi = 1.0 / tlPi;
    for (int32_t i = 0; i < n; ++i) {
        double theta;
        if (h - i == 0.0) {
            theta = tlPi / 2.0;
        } else {
            int64_t q = static_cast<int64_t>(i) * n - static_cast<int64_t>(i) * i;
            theta = fpm::atan(std::sqrt(static_cast<double>(q)) / (h - i));
            if (theta < 0.0) theta += tlPi;
        }
        table[i] = theta * n * invPi + offset;
    }
    return table;
}

// Shifts of a sine wave along one axis, for the absolute coordinates
// first .. first + n − 1: sin(c · 2π / wavelength) · amplitude + |amplitude|
// (the multiplication by 2π before the division), 0 everywhere for
// wavelength 0. Every shift lies in 0 .. 2·|amplitude|.
double *sineTable(int32_t first, int32_t n, int32_t amplitude, int32_t wavelength) {
    double *table = new (std::nothrow) double[static_cast<size_t>(n)];
    if (table == nullptr) return nullptr;
    const double twoPi = 2.0 * tlPi;
    const double a = amplitude;
    const double magnitude = std::fabs(a);
    for (int32_t i = 0; i < n; ++i) {
        if (wavelength == 0) {
            table[i] = 0.0;
        } else {
            double c = static_cast<double>(first) + i;
            table[i] = fpm::sin(c * twoPi / wavelength) * a + magnitude;
        }
    }
    return table;
}

}  // namespace

// Destination (x, y) reads the source at (entry[x − L], y), or at
// (x, entry[y − T]) when vertical; the clamping sampler of the format.
bool tlCylinderEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (clampingSampler(source) == nullptr) return false;
    const bool down = vertical != 0;
    double *table = down ? cylinderTable(area.bottom - area.top, area.top)
                         : cylinderTable(area.right - area.left, area.left);
    if (table == nullptr) return false;
    const int32_t bpp = destination.bytesPerPixel();
    beginRows(progress, area);
    bool done = withSampler(source, false, [&](auto tag) {
        constexpr tlSampler sample = decltype(tag)::value;
        return forEachRow(area.top, area.bottom, area.right - area.left, progress, [&](int32_t y) {
            uint8_t *out = destination.row(y);
            if (down) {
                const double sy = table[y - area.top];
                for (int32_t x = area.left; x < area.right; ++x) sample(source, x, sy, out + x * bpp);
            } else {
                for (int32_t x = area.left; x < area.right; ++x) sample(source, table[x - area.left], y, out + x * bpp);
            }
        });
    });
    delete[] table;
    return done;
}

namespace {

// The swirl's constants for one call: centre, radius, aspect scales, angle.
struct tlSwirlFrame {
    tlRect area;
    double cx, cy, r, r2, sx, sy, a;
};

// Scales a turned offset back: u / scale. Dividing by 1 changes nothing, so
// the division is skipped for the axis that is not stretched.
inline double unscale(double u, double scale) { return scale == 1.0 ? u : u / scale; }

// sin φ and cos φ of the pixels of one row that lie inside the disc, with
// d2 = dx² + dy² from the column offsets dx and squares dx2. The centre is a
// whole or half pixel, so x and L + R − 1 − x have exactly opposite dx (and y
// and T + B − 1 − y opposite dy): the same d2, the same φ. The row holds the
// left half of the columns; the right half reads the mirrored column.
void swirlTurns(const tlSwirlFrame &f, const double *dx2, int32_t half, double dy, double *turn) {
    const double dy2 = dy * dy;
    for (int32_t i = 0; i < half; ++i) {
        const double d2 = dx2[i] + dy2;
        if (!(f.r2 > d2)) continue;
        // t = 1 − sqrt(d2) / r; φ = a · t · t
        const double t = 1.0 - std::sqrt(d2) / f.r;
        const double phi = f.a * t * t;
        fpm::sinCos(phi, turn[2 * i], turn[2 * i + 1]);
    }
}

// The pixel loop with the format's sampler compiled in. turns holds the sin
// and cos of the upper half of the rows (left half of the columns); the lower
// rows reuse the rows mirrored across the centre. The upper rows' turns are
// all computed first, so that every row of the pixel loop depends on finished
// tables only and the rows can be split over the row pool.
template <int Bits, int Channels>
bool swirlRows(const tlPicture &source, tlPicture &destination, const tlSwirlFrame &f, const double *dx,
               const double *dx2, double *turns, tlProgress *progress) {
    const tlRect &area = f.area;
    const int32_t w = area.right - area.left, h = area.bottom - area.top;
    const int32_t half = (w + 1) / 2;
    const int32_t bpp = Bits / 8 * Channels;
    tlRowSplit split(h, area.pixelCount());
    split.run((h + 1) / 2, nullptr, [&](int32_t first, int32_t end, tlRowSteps &) {
        for (int32_t upper = first; upper < end; ++upper) {
            const double dy = (area.top + upper - f.cy) * f.sy;
            swirlTurns(f, dx2, half, dy, turns + 2 * static_cast<size_t>(half) * static_cast<size_t>(upper));
        }
        return true;
    });
    return split.run(progress, [&](int32_t first, int32_t end, tlRowSteps &steps) {
        for (int32_t y = area.top + first; y < area.top + end; ++y) {
            const int32_t mirrorY = area.top + area.bottom - 1 - y;
            const double dy = (y - f.cy) * f.sy;
            const int32_t upper = (mirrorY < y ? mirrorY : y) - area.top;
            const double *turn = turns + 2 * static_cast<size_t>(half) * static_cast<size_t>(upper);
            const double dy2 = dy * dy;
            uint8_t *out = destination.row(y);
            for (int32_t i = 0; i < w; ++i) {
                const double d2 = dx2[i] + dy2;
                if (!(f.r2 > d2)) continue;
                const double *sc = turn + 2 * static_cast<ptrdiff_t>(i < half ? i : w - 1 - i);
                const double s = sc[0], c = sc[1], u = dx[i];
                // source = ((c·dx − s·dy) / sx + cx, (s·dx + c·dy) / sy + cy)
                tlBilinear::sampleClamped<Bits, Channels>(source, unscale(c * u - s * dy, f.sx) + f.cx,
                                                          unscale(s * u + c * dy, f.sy) + f.cy,
                                                          out + (area.left + i) * bpp);
            }
            if (!steps.next()) return false;
        }
        return true;
    });
}

// swirlRows for the source format; false when it has no sampler.
bool swirlFormat(const tlPicture &src, tlPicture &dst, const tlSwirlFrame &f, const double *dx, const double *dx2,
                 double *turns, tlProgress *progress) {
    const tlPixelFormat format = src.format();
    if (format == tlPixelFormat::rgb(8, 3)) return swirlRows<8, 3>(src, dst, f, dx, dx2, turns, progress);
    if (format == tlPixelFormat::rgb(8, 4)) return swirlRows<8, 4>(src, dst, f, dx, dx2, turns, progress);
    if (format == tlPixelFormat::rgb(16, 3)) return swirlRows<16, 3>(src, dst, f, dx, dx2, turns, progress);
    if (format == tlPixelFormat::rgb(16, 4)) return swirlRows<16, 4>(src, dst, f, dx, dx2, turns, progress);
    if (format == tlPixelFormat::gray(8, 1)) return swirlRows<8, 1>(src, dst, f, dx, dx2, turns, progress);
    if (format == tlPixelFormat::gray(8, 2)) return swirlRows<8, 2>(src, dst, f, dx, dx2, turns, progress);
    if (format == tlPixelFormat::gray(16, 1)) return swirlRows<16, 1>(src, dst, f, dx, dx2, turns, progress);
    if (format == tlPixelFormat::gray(16, 2)) return swirlRows<16, 2>(src, dst, f, dx, dx2, turns, progress);
    return false;
}

}  // namespace

// Inside the disc r² > d2 (d measured in the aspect-scaled space):
// t = 1 − sqrt(d2) / r, φ = a · t · t, and the source position is (dx, dy)
// turned by φ and scaled back. Pixels on or outside the rim keep their value.
bool tlSwirlEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlSwirlFrame f;
    if (!effectArea(source, destination, f.area)) return false;
    const tlRect &area = f.area;
    const int32_t w = area.right - area.left, h = area.bottom - area.top;
    f.cx = (static_cast<double>(area.left) + area.right - 1) * 0.5;
    f.cy = (static_cast<double>(area.top) + area.bottom - 1) * 0.5;
    const double rx = (w - 1) * 0.5, ry = (h - 1) * 0.5;
    f.r = rx > ry ? rx : ry;
    f.r2 = f.r * f.r;
    f.sx = 1.0;
    f.sy = 1.0;
    if (h < w)
        f.sy = static_cast<double>(w) / h;
    else if (w < h)
        f.sx = static_cast<double>(h) / w;
    f.a = angle * tlPi * (1.0 / 180);
    if (clampingSampler(source) == nullptr) return false;
    // Column offsets dx = (x − cx) · sx with their squares, and sin φ, cos φ
    // for a quarter of the rectangle (half the columns of half the rows).
    const size_t quarter = static_cast<size_t>((w + 1) / 2) * static_cast<size_t>((h + 1) / 2);
    double *dx = new (std::nothrow) double[2 * static_cast<size_t>(w)];
    double *turns = new (std::nothrow) double[2 * quarter];
    bool done = false;
    if (dx != nullptr && turns != nullptr) {
        double *dx2 = dx + w;
        for (int32_t i = 0; i < w; ++i) {
            dx[i] = (area.left + i - f.cx) * f.sx;
            dx2[i] = dx[i] * dx[i];
        }
        beginRows(progress, area);
        done = swirlFormat(source, destination, f, dx, dx2, turns, progress);
    }
    delete[] dx;
    delete[] turns;
    return done;
}

// Destination (x, y) reads the source at (x − rowShift[y], y − columnShift[x]).
// Wrapped edge rule with wrap on 8-bit RGB, the clamping one otherwise
// (uncovered pixels keep their value). Other colour models: nothing is
// written and the answer is false, as for the other distortions.
bool tlSineWaveEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (source.model != tlColourModel::RGB && source.model != tlColourModel::Gray) return false;
    if (clampingSampler(source) == nullptr) return false;
    const int32_t w = area.right - area.left, h = area.bottom - area.top;
    double *columnShift = sineTable(area.left, w, amplitudeY, wavelengthY);
    double *rowShift = sineTable(area.top, h, amplitudeX, wavelengthX);
    bool done = false;
    if (columnShift != nullptr && rowShift != nullptr) {
        const int32_t bpp = destination.bytesPerPixel();
        beginRows(progress, area);
        done = withSampler(source, wrap, [&](auto tag) {
            constexpr tlSampler sample = decltype(tag)::value;
            return forEachRow(area.top, area.bottom, area.right - area.left, progress, [&](int32_t y) {
                uint8_t *out = destination.row(y);
                const double shift = rowShift[y - area.top];
                for (int32_t x = area.left; x < area.right; ++x)
                    sample(source, x - shift, y - columnShift[x - area.left], out + x * bpp);
            });
        });
    }
    delete[] columnShift;
    delete[] rowShift;
    return done;
}

namespace {

// Per channel without alpha: (sum over the k samples) >> log2(k). With alpha:
// A = sum of alphas; A = 0 gives 0 everywhere, otherwise colour = sum of
// colour × alpha / A and alpha = A >> log2(k). Sums in 64 bits.
template <int Bits>
void averagePixels(const uint8_t *const *samples, int32_t k, int32_t shift, int32_t channels, bool alpha,
                   uint8_t *out) {
    // 8 × 255 × 255 fits 32 bits; 16-bit products need 64.
    using Sum = typename std::conditional<Bits == 8, uint32_t, uint64_t>::type;
    auto read = [](const uint8_t *p, int32_t i) -> Sum { return readSample<Bits>(p, i); };
    auto write = [out](int32_t i, Sum v) { writeSample<Bits>(out, i, static_cast<uint32_t>(v)); };
    if (!alpha) {
        for (int32_t c = 0; c < channels; ++c) {
            Sum sum = 0;
            for (int32_t s = 0; s < k; ++s) sum += read(samples[s], c);
            write(c, sum >> shift);
        }
        return;
    }
    const int32_t ai = channels - 1;
    Sum total = 0;
    for (int32_t s = 0; s < k; ++s) total += read(samples[s], ai);
    for (int32_t c = 0; c < ai; ++c) {
        Sum sum = 0;
        for (int32_t s = 0; s < k; ++s) sum += read(samples[s], c) * read(samples[s], ai);
        write(c, total == 0 ? 0 : sum / total);
    }
    write(ai, total >> shift);
}

// One destination row i of the kaleidoscope: P1..P4 are the pixel and its
// mirror images across the centre lines; with mode ≠ 0, Q1..Q4 are the mirror
// images across the diagonals, scaled to the rectangle's aspect.
template <int Bits>
void kaleidoscopeRow(const tlPicture &src, tlPicture &dst, const tlRect &area, int32_t i, bool diagonals) {
    const int32_t w = area.right - area.left, h = area.bottom - area.top;
    const int32_t bpp = src.bytesPerPixel();
    const uint8_t *rowTop = src.row(area.top + i);
    const uint8_t *rowBottom = src.row(area.top + h - 1 - i);
    const int32_t l = static_cast<int32_t>(static_cast<int64_t>(i) * w / h);
    const int32_t k = diagonals ? 8 : 4;
    const int32_t shift = diagonals ? 3 : 2;
    uint8_t *out = dst.row(area.top + i);
    const uint8_t *samples[8];
    for (int32_t j = 0; j < w; ++j) {
        const int32_t xl = area.left + j, xr = area.left + w - 1 - j;
        samples[0] = rowTop + xl * bpp;
        samples[1] = rowTop + xr * bpp;
        samples[2] = rowBottom + xl * bpp;
        samples[3] = rowBottom + xr * bpp;
        if (diagonals) {
            const int32_t m = static_cast<int32_t>(static_cast<int64_t>(j) * h / w);
            const uint8_t *qTop = src.row(area.top + m), *qBottom = src.row(area.top + h - 1 - m);
            const int32_t ql = area.left + l, qr = area.left + w - 1 - l;
            samples[4] = qTop + ql * bpp;
            samples[5] = qTop + qr * bpp;
            samples[6] = qBottom + ql * bpp;
            samples[7] = qBottom + qr * bpp;
        }
        averagePixels<Bits>(samples, k, shift, src.channels, src.hasAlpha(), out + xl * bpp);
    }
}

}  // namespace

// Every pixel of the rectangle becomes the average of 4 (mode 0) or 8 mirror
// images; 8-bit pictures average bytes, every other depth 16-bit samples.
bool tlKaleidoscopeEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    const bool diagonals = mode != 0;
    beginRows(progress, area);
    return forEachRow(0, area.bottom - area.top, area.right - area.left, progress, [&](int32_t i) {
        if (source.bits == 8)
            kaleidoscopeRow<8>(source, destination, area, i, diagonals);
        else
            kaleidoscopeRow<16>(source, destination, area, i, diagonals);
    });
}
