// Inline bilinear samplers behind tlSampler (effects/core/sampling.h), so
// that the distortions' row loops can have them compiled in rather than called.
#pragma once

#include <cmath>

#include "effects/core/sampling.h"
#include "imaging/pixel_math.h"

namespace tlBilinear {

// The four corner positions of a fractional position and its weights.
struct tlCorners {
    int32_t x0, x1, y0, y1;
    double fx, fy;
};

// Clamped edge rule: x0 is x truncated toward zero, x1 = x0 + 1, both clamped
// into the picture, while fx is measured from floor(x); so for -1 < x < 0
// the pair is columns 0 and 1 with fx = x + 1. Positions outside
// -1 <= x < width, -1 <= y < height, and NaN, are refused.
inline bool clampedCorners(const tlPicture &p, double x, double y, tlCorners &c) {
    if (!(x >= -1.0 && x < p.width && y >= -1.0 && y < p.height)) return false;
    int32_t xt = static_cast<int32_t>(x);
    int32_t yt = static_cast<int32_t>(y);
    c.x0 = clampIndex(xt, p.width);
    c.x1 = clampIndex(static_cast<int64_t>(xt) + 1, p.width);
    c.y0 = clampIndex(yt, p.height);
    c.y1 = clampIndex(static_cast<int64_t>(yt) + 1, p.height);
    c.fx = x - std::floor(x);
    c.fy = y - std::floor(y);
    return true;
}

// Wrapped edge rule: x0 = floor(x) and x1 = x0 + 1 taken modulo the width (y
// likewise), so that the pair blended across the seam is the last column and
// the first, just as anywhere inside the picture. Only positions too far out
// to hold an integer exactly (and NaN) are refused; no effect produces them.
inline bool wrappedCorners(const tlPicture &p, double x, double y, tlCorners &c) {
    const double limit = 4503599627370496.0;  // 2^52
    if (!(std::fabs(x) < limit && std::fabs(y) < limit)) return false;
    double xf = std::floor(x);
    double yf = std::floor(y);
    int64_t xi = static_cast<int64_t>(xf);
    int64_t yi = static_cast<int64_t>(yf);
    c.x0 = wrapIndex(xi, p.width);
    c.x1 = wrapIndex(xi + 1, p.width);
    c.y0 = wrapIndex(yi, p.height);
    c.y1 = wrapIndex(yi + 1, p.height);
    c.fx = x - xf;
    c.fy = y - yf;
    return true;
}

// ((c00·(1 − fx) + c10·fx)·(1 − fy) + (c01·(1 − fx) + c11·fx)·fy)
inline double bilinear(double c00, double c10, double c01, double c11, double fx, double fy) {
    return (c00 * (1.0 - fx) + c10 * fx) * (1.0 - fy) + (c01 * (1.0 - fx) + c11 * fx) * fy;
}

// Writes the blend v truncated. v is a convex blend of samples, so at most
// the channel maximum; the cut only guards against the last bit of rounding.
template <int Bits>
inline void writeBlend(uint8_t *p, int32_t i, double v) {
    writeSample<Bits>(p, i, clampHigh(static_cast<uint64_t>(v), sampleMax<Bits>()));
}

// Per channel (without alpha): value = bilinear of the channel, truncated.
// With alpha (last channel): a = bilinear of the alphas; a > 0: colour =
// bilinear of (colour × that corner's alpha) / a, alpha = a, both truncated;
// a <= 0: every channel 0.
template <int Bits, int Channels>
inline void blendCorners(const tlPicture &p, const tlCorners &c, uint8_t *out) {
    const int32_t bpp = Bits / 8 * Channels;
    const uint8_t *r0 = p.row(c.y0);
    const uint8_t *r1 = p.row(c.y1);
    const uint8_t *p00 = r0 + c.x0 * bpp;
    const uint8_t *p10 = r0 + c.x1 * bpp;
    const uint8_t *p01 = r1 + c.x0 * bpp;
    const uint8_t *p11 = r1 + c.x1 * bpp;
    if ((Channels & 1) != 0) {
        for (int32_t i = 0; i < Channels; ++i) {
            double v = bilinear(readSample<Bits>(p00, i), readSample<Bits>(p10, i), readSample<Bits>(p01, i),
                                readSample<Bits>(p11, i), c.fx, c.fy);
            writeBlend<Bits>(out, i, v);
        }
        return;
    }
    const int32_t ai = Channels - 1;
    const uint32_t a00 = readSample<Bits>(p00, ai), a10 = readSample<Bits>(p10, ai);
    const uint32_t a01 = readSample<Bits>(p01, ai), a11 = readSample<Bits>(p11, ai);
    double a = bilinear(a00, a10, a01, a11, c.fx, c.fy);
    if (!(a > 0.0)) {
        for (int32_t i = 0; i < Channels; ++i) writeBlend<Bits>(out, i, 0.0);
        return;
    }
    for (int32_t i = 0; i < ai; ++i) {
        // Products below 2^32, so exact in a double.
        double v = bilinear(static_cast<double>(readSample<Bits>(p00, i) * a00),
                            static_cast<double>(readSample<Bits>(p10, i) * a10),
                            static_cast<double>(readSample<Bits>(p01, i) * a01),
                            static_cast<double>(readSample<Bits>(p11, i) * a11), c.fx, c.fy);
        writeBlend<Bits>(out, i, v / a);
    }
    writeBlend<Bits>(out, ai, a);
}

template <int Bits, int Channels>
inline bool sampleClamped(const tlPicture &p, double x, double y, uint8_t *out) {
    tlCorners c;
    if (!clampedCorners(p, x, y, c)) return false;
    blendCorners<Bits, Channels>(p, c, out);
    return true;
}

template <int Bits, int Channels>
inline bool sampleWrapped(const tlPicture &p, double x, double y, uint8_t *out) {
    tlCorners c;
    if (!wrappedCorners(p, x, y, c)) return false;
    blendCorners<Bits, Channels>(p, c, out);
    return true;
}

}  // namespace tlBilinear
