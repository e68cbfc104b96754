// Neon filter: the magnitude of a smoothed first derivative, found with
// recursive (infinite impulse response) filters along columns and rows.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

#include "effects/core/sampling.h"
#include "effects/filters/edges.h"
#include "effects/filters/edges_neon.h"
#include "imaging/fpmath.h"
#include "imaging/row_pool.h"

// σ = √(−(radius + 1)² / (2 × ln(1/255))). The causal and anti-causal
// numerators, the shared denominator and the boundary terms of the
// derivative-of-Gaussian recursion, each formed in extended precision from
// the stored doubles and kept as a double. The transcendental functions are
// the project's own, so the coefficients carry the same bits on Linux and
// Windows (the two C libraries' long double functions differ in last bits). The calling thread must keep 64
// bits of x87 precision (the generation job sets it; Windows starts threads
// at 53).
void neonCoefficients(int32_t radius, tlNeonCoefficients &k) {
    typedef long double real;
    const double a0 = 0.6472, a1 = 4.531, b0 = 1.527, b1 = 1.516;
    const double c0 = -0.6494, c1 = -0.9557, w0 = 0.6719, w1 = 2.072;
    const real r1 = static_cast<real>(radius) + 1;
    const real sigma = std::sqrt(-(r1 * r1) / (2 * fpm::logl(1.0L / 255)));
    const real cos0 = fpm::cosl(w0 / sigma), sin0 = fpm::sinl(w0 / sigma);
    const real cos1 = fpm::cosl(w1 / sigma), sin1 = fpm::sinl(w1 / sigma);
    const real beta0 = b0 / sigma, beta1 = b1 / sigma;

    k.np[0] = static_cast<double>(static_cast<real>(a0) + c0);
    k.np[1] = static_cast<double>(fpm::expl(-beta0) * (a1 * sin0 - (2 * static_cast<real>(c0) + a0) * cos0) +
                                  fpm::expl(-beta1) * (c1 * sin1 - (2 * static_cast<real>(a0) + c0) * cos1));
    k.np[2] = static_cast<double>(
        a0 * fpm::expl(-2 * beta1) + c0 * fpm::expl(-2 * beta0) +
        2 * fpm::expl(-beta0 - beta1) *
            ((static_cast<real>(a0) + c0) * cos1 * cos0 - a1 * cos1 * sin0 - c1 * cos0 * sin1));
    k.np[3] = static_cast<double>(fpm::expl(-beta0 - 2 * beta1) * (a1 * sin0 - a0 * cos0) +
                                  fpm::expl(-beta1 - 2 * beta0) * (c1 * sin1 - c0 * cos1));
    k.np[4] = 0.0;

    k.d[0] = 0.0;
    k.d[1] = static_cast<double>(-2 * cos1 * fpm::expl(-beta1) - 2 * cos0 * fpm::expl(-beta0));
    k.d[2] = static_cast<double>(fpm::expl(-2 * beta0) + fpm::expl(-2 * beta1) +
                                 4 * cos1 * cos0 * fpm::expl(-beta0 - beta1));
    k.d[3] = static_cast<double>(-2 * cos0 * fpm::expl(-beta0 - 2 * beta1) - 2 * cos1 * fpm::expl(-beta1 - 2 * beta0));
    k.d[4] = static_cast<double>(fpm::expl(-2 * beta0 - 2 * beta1));

    // The anti-causal numerators are the negated form, so the filter is odd.
    k.nm[0] = 0.0;
    for (int i = 1; i <= 4; ++i) k.nm[i] = static_cast<double>(static_cast<real>(k.d[i]) * k.np[0] - k.np[i]);

    real sumP = 0, sumM = 0, sumD = 0;
    for (int i = 0; i <= 4; ++i) {
        sumP += k.np[i];
        sumM += k.nm[i];
        sumD += k.d[i];
    }
    // 1 + Σd tends to 0 as σ grows; it never is 0 for a radius the picture
    // could use, but a zero would make the boundary terms infinite.
    const real denominator = 1 + sumD;
    const real boundaryP = denominator != 0 ? sumP / denominator : 0;
    const real boundaryM = denominator != 0 ? sumM / denominator : 0;
    for (int i = 0; i <= 4; ++i) {
        k.ep[i] = static_cast<double>(k.d[i] * boundaryP);
        k.em[i] = static_cast<double>(k.d[i] * boundaryM);
    }
}

namespace {

// trunc(x) cut to 0 .. 255; NaN gives 0.
inline uint8_t truncateByte(double x) {
    if (!(x > 0.0)) return 0;
    return x >= 255.0 ? 255 : static_cast<uint8_t>(x);
}

}  // namespace

// One line of n pixels of Channels bytes (the last an alpha when Alpha).
// Forward, with terms = min(t, 4) and P⁺ the first pixel:
//   F[t] += Σ_{i ≤ terms} (n⁺[i] × src[t − i] − d[i] × F[t − i]),
//   F[t] += Σ_{terms < i ≤ 4} (n⁺[i] − e⁺[i]) × P⁺;
// backward, from u = n − 1 − t with P⁻ the last pixel, the same with n⁻, e⁻
// and u + i. Each term is added to F (B) in turn, in increasing i, F (B)
// starting from 0. Alpha is not filtered: F = B = the source alpha.
// out = trunc(F + B) cut to 0 .. 255.
// The first four positions of each direction take the general form; from
// the fifth on the five terms are written out, the same operations in the
// same order.
template <int Channels, bool Alpha>
void neonLine(const tlNeonCoefficients &k, const uint8_t *src, int32_t n, double *scratch, uint8_t *out) {
    constexpr int Colours = Alpha ? Channels - 1 : Channels;
    constexpr ptrdiff_t C = Channels;
    const ptrdiff_t bytes = static_cast<ptrdiff_t>(n) * C;
    double *f = scratch, *b = scratch + bytes, *s = scratch + 2 * bytes;
    for (ptrdiff_t j = 0; j < bytes; ++j) s[j] = src[j];
    double boundaryP[5], boundaryM[5];
    for (int i = 0; i <= 4; ++i) {
        boundaryP[i] = k.np[i] - k.ep[i];
        boundaryM[i] = k.nm[i] - k.em[i];
    }
    const double *firstPixel = s, *lastPixel = s + (n - 1) * C;
    const int32_t head = n < 4 ? n : 4;
    for (int32_t t = 0; t < head; ++t) {
        const ptrdiff_t u = n - 1 - t;
        for (int c = 0; c < Colours; ++c) {
            double *ft = f + t * C + c, *bu = b + u * C + c;
            const double *st = s + t * C + c, *su = s + u * C + c;
            *ft = 0.0;
            for (int i = 0; i <= t; ++i) *ft += k.np[i] * st[-i * C] - k.d[i] * ft[-i * C];
            for (int i = t + 1; i <= 4; ++i) *ft += boundaryP[i] * firstPixel[c];
            *bu = 0.0;
            for (int i = 0; i <= t; ++i) *bu += k.nm[i] * su[i * C] - k.d[i] * bu[i * C];
            for (int i = t + 1; i <= 4; ++i) *bu += boundaryM[i] * lastPixel[c];
        }
    }
    const double np0 = k.np[0], np1 = k.np[1], np2 = k.np[2], np3 = k.np[3], np4 = k.np[4];
    const double nm0 = k.nm[0], nm1 = k.nm[1], nm2 = k.nm[2], nm3 = k.nm[3], nm4 = k.nm[4];
    const double d0 = k.d[0], d1 = k.d[1], d2 = k.d[2], d3 = k.d[3], d4 = k.d[4];
    for (ptrdiff_t t = 4; t < n; ++t) {
        const ptrdiff_t u = n - 1 - t;
        for (int c = 0; c < Colours; ++c) {
            double *ft = f + t * C + c;
            const double *st = s + t * C + c;
            double x = 0.0;
            x += np0 * st[0] - d0 * x;
            x += np1 * st[-C] - d1 * ft[-C];
            x += np2 * st[-2 * C] - d2 * ft[-2 * C];
            x += np3 * st[-3 * C] - d3 * ft[-3 * C];
            x += np4 * st[-4 * C] - d4 * ft[-4 * C];
            *ft = x;
            double *bu = b + u * C + c;
            const double *su = s + u * C + c;
            double y = 0.0;
            y += nm0 * su[0] - d0 * y;
            y += nm1 * su[C] - d1 * bu[C];
            y += nm2 * su[2 * C] - d2 * bu[2 * C];
            y += nm3 * su[3 * C] - d3 * bu[3 * C];
            y += nm4 * su[4 * C] - d4 * bu[4 * C];
            *bu = y;
        }
    }
    if (Alpha)
        for (ptrdiff_t j = Colours; j < bytes; j += C) f[j] = b[j] = s[j];
    for (ptrdiff_t j = 0; j < bytes; ++j) out[j] = truncateByte(f[j] + b[j]);
}

tlNeonLineFunction neonLineFor(int32_t channels) {
    switch (channels) {
    case 1: return neonLine<1, false>;
    case 2: return neonLine<2, true>;
    case 3: return neonLine<3, false>;
    case 4: return neonLine<4, true>;
    default: return nullptr;
    }
}

namespace {

// Scratch of one worker: the double lines (forward, backward and the source
// as doubles) and two byte lines, each long enough for the longer side of
// the rectangle.
struct tlNeonScratch {
    double *lines = nullptr;
    uint8_t *in = nullptr, *out = nullptr;

    bool allocate(size_t entries) {
        if (entries > SIZE_MAX / sizeof(double) / 3) return false;
        lines = new (std::nothrow) double[3 * entries];
        in = new (std::nothrow) uint8_t[entries];
        out = new (std::nothrow) uint8_t[entries];
        return lines != nullptr && in != nullptr && out != nullptr;
    }
    ~tlNeonScratch() {
        delete[] lines;
        delete[] in;
        delete[] out;
    }
};

// One scratch per worker of a split; ready() is false when memory is short.
class tlNeonScratches {
public:
    tlNeonScratches(int32_t workers, size_t entries) {
        scratch = new (std::nothrow) tlNeonScratch[static_cast<size_t>(workers)];
        good = scratch != nullptr;
        for (int32_t i = 0; good && i < workers; ++i) good = scratch[i].allocate(entries);
    }
    ~tlNeonScratches() { delete[] scratch; }
    tlNeonScratches(const tlNeonScratches &) = delete;
    tlNeonScratches &operator=(const tlNeonScratches &) = delete;
    bool ready() const { return good; }
    tlNeonScratch &of(const tlRowSteps &steps) { return scratch[steps.worker()]; }

private:
    tlNeonScratch *scratch = nullptr;
    bool good = false;
};

// The final byte of every (r, c) pair: trunc((√(r² + c²) × strength) × 0.01),
// cut to 0 .. 255. 65536 square roots instead of one per byte.
void buildGlowTable(int32_t strength, uint8_t *table) {
    for (int32_t r = 0; r < 256; ++r)
        for (int32_t c = 0; c < 256; ++c)
            table[r * 256 + c] = truncateByte(std::sqrt(static_cast<double>(r * r + c * c)) * strength * 0.01);
}

}  // namespace

// 8-bit pictures of every colour model, byte by byte (indices of indexed
// pictures are filtered like gray values); 16-bit pictures, radius -1 (the
// one radius whose σ is 0, which would divide by zero) and a negative
// strength leave the picture alone. Columns first, each
// written into the destination; then every row, combined with what the
// column pass left there. The filters see the rectangle's own lines only.
bool tlNeonEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (source.bits != 8 || radius == -1 || strength < 0) return true;
    const int32_t k = source.channels;
    const tlNeonLineFunction line = neonLineFor(k);
    if (line == nullptr) return false;
    const int32_t w = area.right - area.left, h = area.bottom - area.top;
    const size_t entries = static_cast<size_t>(w > h ? w : h) * k;
    uint8_t *glow = new (std::nothrow) uint8_t[65536];
    if (glow == nullptr) return false;
    buildGlowTable(strength, glow);
    tlNeonCoefficients coefficients;
    neonCoefficients(radius, coefficients);

    // Each column reads only the source and writes only its own bytes; so
    // does each row, which then reads back only its own row of the
    // destination.
    tlRowSplit split(w > h ? w : h, static_cast<int64_t>(w) * h);
    tlNeonScratches scratches(split.workers(), entries);
    if (!scratches.ready()) {
        delete[] glow;
        return false;
    }
    bool done = split.run(w, nullptr, [&](int32_t first, int32_t end, tlRowSteps &steps) {
        tlNeonScratch &scratch = scratches.of(steps);
        for (int32_t x = area.left + first; x < area.left + end; ++x) {
            const ptrdiff_t offset = static_cast<ptrdiff_t>(x) * k;
            uint8_t *in = scratch.in;
            for (int32_t y = area.top; y < area.bottom; ++y, in += k)
                for (int32_t j = 0; j < k; ++j) in[j] = source.row(y)[offset + j];
            line(coefficients, scratch.in, h, scratch.lines, scratch.out);
            const uint8_t *out = scratch.out;
            for (int32_t y = area.top; y < area.bottom; ++y, out += k)
                for (int32_t j = 0; j < k; ++j) destination.row(y)[offset + j] = out[j];
        }
        return true;
    });
    if (done) {
        const size_t rowBytes = static_cast<size_t>(w) * k;
        done = split.run(h, nullptr, [&](int32_t first, int32_t end, tlRowSteps &steps) {
            tlNeonScratch &scratch = scratches.of(steps);
            for (int32_t y = area.top + first; y < area.top + end; ++y) {
                const ptrdiff_t offset = static_cast<ptrdiff_t>(area.left) * k;
                line(coefficients, source.row(y) + offset, w, scratch.lines, scratch.out);
                uint8_t *q = destination.row(y) + offset;
                for (size_t j = 0; j < rowBytes; ++j) q[j] = glow[scratch.out[j] * 256 + q[j]];
            }
            return true;
        });
    }
    delete[] glow;
    return done;
}
