// Edge detection, emboss and neon: worked pixels, plain per-pixel references
// for the fast row code, odd parameters and pictures, and fixed digests that
// the Linux and Windows builds must both give.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "effects/filters/edges.h"
#include "effects/filters/edges_neon.h"
#include "imaging/picture.h"
#include "tests/effects/effect_test_util.h"

namespace {

// A scribbled picture; with alpha, every fifth pixel is made transparent
// and every third opaque so that both ends of the weighting are exercised.
tlPicture *noisy(int32_t w, int32_t h, tlPixelFormat format, uint32_t seed) {
    tlPicture *p = new tlPicture;
    if (!p->create(w, h, format)) return p;
    scribble(*p, seed);
    if (p->hasAlpha()) {
        const int32_t bytes = format.bits / 8;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                uint8_t *a = p->pixelAddress(x, y) + (format.channels - 1) * bytes;
                const int32_t n = y * w + x;
                if (n % 5 == 0) std::memset(a, 0, bytes);
                if (n % 3 == 0) std::memset(a, 0xFF, bytes);
            }
    }
    return p;
}

int32_t edgeIndex(int64_t v, int32_t n, bool wrap) { return wrap ? wrapped(v, n) : clamped(v, n); }

// ---- Edge detection reference: nine positions, the kernels as tables, one
// square root per channel.
void edgeReference(const tlPicture &src, tlPicture &dst, int32_t kernel, int32_t gain, bool wrap) {
    static const int32_t kx[2][9] = {{1, 0, -1, 2, 0, -2, 1, 0, -1}, {0, 0, 0, 0, 1, 0, 0, 0, -1}};
    static const int32_t ky[2][9] = {{1, 2, 1, 0, 0, 0, -1, -2, -1}, {0, 0, 0, 0, 0, 1, 0, -1, 0}};
    const int32_t colours = src.format().colourChannels();
    const double top = src.bits == 8 ? 255.0 : 65535.0;
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x)
            for (int32_t c = 0; c < colours; ++c) {
                int64_t gx = 0, gy = 0;
                for (int32_t i = 0; i < 9; ++i) {
                    const int32_t sx = edgeIndex(x + i % 3 - 1, src.width, wrap);
                    const int32_t sy = edgeIndex(y + i / 3 - 1, src.height, wrap);
                    if (src.hasAlpha() && sample(src, sx, sy, src.channels - 1) == 0) continue;
                    gx += kx[kernel][i] * sample(src, sx, sy, c);
                    gy += ky[kernel][i] * sample(src, sx, sy, c);
                }
                const double factor = gain * 0.01;
                const double v = std::sqrt(static_cast<double>(gx * gx + gy * gy)) * factor;
                setSample(dst, x, y, c, v >= top ? static_cast<int64_t>(top) : static_cast<int64_t>(v));
            }
}

// ---- Emboss reference: every arm summed pixel by pixel, 128-bit quotients.
struct EmbossCase {
    int32_t radius, strength, direction;
    bool inColour, wrap;
};

void embossReference(const tlPicture &src, tlPicture &dst, const EmbossCase &e) {
    const bool alpha = src.hasAlpha(), byDirection = src.model == tlColourModel::RGB && src.bits == 8;
    const int32_t colours = src.format().colourChannels(), ai = src.channels - 1;
    const int64_t top = src.bits == 8 ? 255 : 65535;
    const int32_t d = e.direction;
    const bool useV = !byDirection || (d != 3 && d != 4), useH = !byDirection || (d != 1 && d != 6);
    const int32_t vSign = byDirection && d < 5 ? 1 : -1;                        // below − above
    const int32_t hSign = !byDirection || d == 0 || d == 3 || d == 5 ? 1 : -1;  // right − left
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x) {
            __int128 arm[4][4] = {};  // above, below, left, right × (colours, alpha)
            for (int32_t j = 1; j <= e.radius; ++j) {
                const int32_t pos[4][2] = {{x, y - j}, {x, y + j}, {x - j, y}, {x + j, y}};
                for (int32_t a = 0; a < 4; ++a) {
                    const int32_t sx = edgeIndex(pos[a][0], src.width, e.wrap);
                    const int32_t sy = edgeIndex(pos[a][1], src.height, e.wrap);
                    const int64_t w = alpha ? sample(src, sx, sy, ai) : 1;
                    for (int32_t c = 0; c < colours; ++c) arm[a][c] += sample(src, sx, sy, c) * w;
                    arm[a][3] += w;
                }
            }
            const __int128 sumA = (useV ? arm[0][3] + arm[1][3] : 0) + (useH ? arm[2][3] + arm[3][3] : 0);
            if (alpha && sumA == 0) {
                for (int32_t c = 0; c < src.channels; ++c) setSample(dst, x, y, c, 0);
                continue;
            }
            int64_t out[3];
            for (int32_t c = 0; c < colours; ++c) {
                const __int128 v = useV ? vSign * (arm[1][c] - arm[0][c]) : 0;
                const __int128 h = useH ? hSign * (arm[3][c] - arm[2][c]) : 0;
                const __int128 q = static_cast<__int128>(e.strength) * (v + h) /
                                   ((alpha ? sumA : 1) * static_cast<__int128>(e.radius) * 100);
                const __int128 r = q + (top / 2 + 1);
                out[c] = static_cast<int64_t>(r < 0 ? 0 : (r > top ? top : r));
            }
            if (colours == 3 && !e.inColour) out[0] = out[1] = out[2] = (77 * out[0] + 151 * out[1] + 28 * out[2]) >> 8;
            for (int32_t c = 0; c < colours; ++c) setSample(dst, x, y, c, out[c]);
            if (alpha) setSample(dst, x, y, ai, static_cast<int64_t>(sumA / e.radius) & top);
        }
}

// ---- Neon reference: the line filter written straight from its rule,
// then the column pass, the row pass and the final square root per byte.
void neonLineReference(const tlNeonCoefficients &k, const uint8_t *src, int32_t n, int32_t ch, uint8_t *out) {
    const bool alpha = ch % 2 == 0;
    const int32_t colours = alpha ? ch - 1 : ch;
    std::vector<double> f(static_cast<size_t>(n) * ch, 0.0), b(f);
    for (int32_t t = 0; t < n; ++t) {
        const int32_t u = n - 1 - t, terms = t < 4 ? t : 4;
        for (int32_t c = 0; c < colours; ++c) {
            for (int32_t i = 0; i <= terms; ++i)
                f[t * ch + c] += k.np[i] * src[(t - i) * ch + c] - k.d[i] * f[(t - i) * ch + c];
            for (int32_t i = terms + 1; i <= 4; ++i) f[t * ch + c] += (k.np[i] - k.ep[i]) * src[c];
            for (int32_t i = 0; i <= terms; ++i)
                b[u * ch + c] += k.nm[i] * src[(u + i) * ch + c] - k.d[i] * b[(u + i) * ch + c];
            for (int32_t i = terms + 1; i <= 4; ++i) b[u * ch + c] += (k.nm[i] - k.em[i]) * src[(n - 1) * ch + c];
        }
        if (alpha) {
            f[t * ch + colours] = src[t * ch + colours];
            b[u * ch + colours] = src[u * ch + colours];
        }
    }
    for (int32_t j = 0; j < n * ch; ++j) {
        const double v = std::trunc(f[j] + b[j]);
        out[j] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

void neonReference(const tlPicture &src, tlPicture &dst, int32_t radius, int32_t strength) {
    tlNeonCoefficients k;
    neonCoefficients(radius, k);
    const int32_t ch = src.channels, w = src.width, h = src.height;
    std::vector<uint8_t> in(static_cast<size_t>(w > h ? w : h) * ch), out(in.size());
    for (int32_t x = 0; x < w; ++x) {
        for (int32_t y = 0; y < h; ++y) std::memcpy(&in[y * ch], src.pixelAddress(x, y), ch);
        neonLineReference(k, in.data(), h, ch, out.data());
        for (int32_t y = 0; y < h; ++y) std::memcpy(dst.pixelAddress(x, y), &out[y * ch], ch);
    }
    for (int32_t y = 0; y < h; ++y) {
        neonLineReference(k, src.row(y), w, ch, out.data());
        for (int32_t j = 0; j < w * ch; ++j) {
            const int32_t r = out[j], c = dst.row(y)[j];
            const double v = std::trunc((std::sqrt(static_cast<double>(r * r + c * c)) * strength) * 0.01);
            dst.row(y)[j] = static_cast<uint8_t>(v > 255 ? 255 : v);
        }
    }
}

const tlPixelFormat filterFormats[] = {kRGBA8, kRGB8, kRGBA16, kRGB16, kGray8, kGrayA8, kGray16, kGrayA16};

}  // namespace

// A vertical black-to-white step: gx = 4 × 255 = 1020 beside the edge, cut to
// 255 at gain 100; gain 20 gives 1020 × 0.2 = 204. Elsewhere 0.
TEST(EdgeDetection, SobelStepAndUniformPictures) {
    tlPicture step, out;
    ASSERT_TRUE(step.create(8, 5, kRGB8));
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 8; ++x) std::memset(step.pixelAddress(x, y), x < 4 ? 0 : 255, 3);
    tlEdgeDetectionEffect edge;
    ASSERT_TRUE(run(edge, step, out));
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(out.pixelAddress(x, 2)[1], x == 3 || x == 4 ? 255 : 0) << x;
    edge.gain = 20;
    ASSERT_TRUE(run(edge, step, out));
    EXPECT_EQ(out.pixelAddress(3, 1)[0], 204);
    EXPECT_EQ(out.pixelAddress(4, 4)[2], 204);
    EXPECT_EQ(out.pixelAddress(0, 0)[0], 0);  // clamped: the left edge repeats itself
    edge.wrap = true;                         // wrapped: column 0 meets column 7
    ASSERT_TRUE(run(edge, step, out));
    EXPECT_EQ(out.pixelAddress(0, 0)[0], 204);

    tlPicture flat;
    ASSERT_TRUE(flat.create(6, 4, kRGBA8));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x) {
            uint8_t *p = flat.pixelAddress(x, y);
            p[0] = 90, p[1] = 30, p[2] = 200, p[3] = 77;
        }
    edge.gain = 200;
    edge.invert = true;
    ASSERT_TRUE(run(edge, flat, out));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x) {
            const uint8_t *p = out.pixelAddress(x, y);
            EXPECT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 77);
        }
}

// Roberts cross reads the centre, right, lower and lower-right pixels only.
TEST(EdgeDetection, RobertsIgnoresUpperRowAndLeftColumn) {
    std::unique_ptr<tlPicture> a(noisy(5, 5, kRGB8, 11));
    tlPicture b(*a), outA, outB;
    for (int32_t i = 0; i < 5; ++i) {
        std::memset(b.pixelAddress(i, 1), 0, 3);  // the row above (2, 2)
        std::memset(b.pixelAddress(1, i), 0, 3);  // the column left of it
    }
    tlEdgeDetectionEffect edge;
    edge.kernel = 1;
    ASSERT_TRUE(run(edge, *a, outA));
    ASSERT_TRUE(run(edge, b, outB));
    EXPECT_EQ(std::memcmp(outA.pixelAddress(2, 2), outB.pixelAddress(2, 2), 3), 0);
}

// The row code (gain table, saturation cut, row pointers) against the plain
// reference, every filtered format, both kernels, both edge rules. 16-bit
// gradients reach 4 × 65535, whose squares need 64 bits.
TEST(EdgeDetection, MatchesPlainReference) {
    const int32_t gains[] = {1, 37, 100, 160, 200, 100000};
    int32_t n = 0;
    for (const tlPixelFormat &f : filterFormats)
        for (int32_t kernel = 0; kernel < 2; ++kernel)
            for (int32_t gain : gains) {
                std::unique_ptr<tlPicture> src(noisy(9 + n % 3, 7, f, 100 + n));
                const bool wrap = n % 2 == 1;
                tlEdgeDetectionEffect edge;
                edge.kernel = kernel, edge.gain = gain, edge.wrap = wrap;
                tlPicture out, want(*src);
                ASSERT_TRUE(run(edge, *src, out));
                edgeReference(*src, want, kernel, gain, wrap);
                EXPECT_TRUE(samePixels(out, want))
                    << f.model << "/" << f.bits << "/" << f.channels << " k" << kernel << " gain " << gain;
                ++n;
            }
}

// Transparent pixels count as colour 0: a white picture with one transparent
// pixel shows an edge around it.
TEST(EdgeDetection, TransparentPixelsCountAsBlack) {
    tlPicture src, out;
    ASSERT_TRUE(src.create(5, 5, kRGBA8));
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 5; ++x) std::memset(src.pixelAddress(x, y), 255, 4);
    src.pixelAddress(2, 2)[3] = 0;
    tlEdgeDetectionEffect edge;
    edge.gain = 10;
    ASSERT_TRUE(run(edge, src, out));
    EXPECT_EQ(out.pixelAddress(1, 2)[0], 51);  // gx = 2 × 255 = 510, × 0.1
    EXPECT_EQ(out.pixelAddress(2, 2)[0], 0);
    EXPECT_EQ(out.pixelAddress(2, 2)[3], 0);  // alpha is not written
}

TEST(EdgeDetection, OddParametersAndFormats) {
    std::unique_ptr<tlPicture> src(noisy(6, 5, kRGBA8, 3));
    tlPicture out;
    tlEdgeDetectionEffect edge;
    edge.invert = true;
    for (int32_t odd : {-1, INT_MIN}) {
        edge.gain = odd;
        ASSERT_TRUE(run(edge, *src, out));
        EXPECT_TRUE(samePixels(out, *src));
    }
    edge.gain = 100;
    for (int32_t kernel : {2, -1}) {
        edge.kernel = kernel;
        ASSERT_TRUE(run(edge, *src, out));
        EXPECT_TRUE(samePixels(out, *src));
    }
    edge.kernel = 0;
    edge.gain = INT_MAX;  // every gradient but 0 saturates
    ASSERT_TRUE(run(edge, *src, out));

    // Indexed pictures get no gradients, but the inversion still runs.
    tlPicture indexed;
    ASSERT_TRUE(indexed.create(4, 3, kIndexed8));
    scribble(indexed, 5);
    ASSERT_TRUE(run(edge, indexed, out));
    EXPECT_EQ(out.pixelAddress(1, 1)[0], static_cast<uint8_t>(~indexed.pixelAddress(1, 1)[0]));

    // One pixel and one row.
    for (int32_t w : {1, 7}) {
        std::unique_ptr<tlPicture> thin(noisy(w, 1, kRGB16, 9));
        ASSERT_TRUE(run(edge, *thin, out));
    }

    // A stop leaves the rows written so far and skips the inversion.
    CountingProgress stop(2);
    ASSERT_FALSE(run(edge, *src, out, &stop));
    EXPECT_EQ(stop.total, 4);
    EXPECT_TRUE(std::memcmp(out.row(4), src->row(4), 24) == 0);
}

// Direction 3 uses only right − left: a picture that changes only from top
// to bottom embosses to mid-grey 128.
TEST(Emboss, HorizontalTermIgnoresVerticalChange) {
    tlPicture src, out;
    ASSERT_TRUE(src.create(7, 6, kRGB8));
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 7; ++x) std::memset(src.pixelAddress(x, y), y * 40, 3);
    tlEmbossEffect emboss;
    emboss.direction = 3;
    emboss.radius = 2;
    ASSERT_TRUE(run(emboss, src, out));
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 7; ++x) EXPECT_EQ(out.pixelAddress(x, y)[1], 128);
}

// Opaque 4-channel 8-bit: weighted by alpha 255, N arm pixels in use:
// (strength × D × 255) / (255 N × radius × 100) + 128; alpha = 255 N / radius
// cut to 8 bits: 252 with both terms, 254 with one.
TEST(Emboss, OpaqueAlphaWeighting) {
    tlPicture src, out;
    ASSERT_TRUE(src.create(9, 9, kRGBA8));
    for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < 9; ++x) {
            uint8_t *p = src.pixelAddress(x, y);
            p[0] = p[1] = p[2] = static_cast<uint8_t>(20 * x + 3 * y);
            p[3] = 255;
        }
    tlEmbossEffect emboss;
    emboss.radius = 2;
    emboss.strength = 300;
    emboss.inColour = true;
    emboss.direction = 0;  // (below − above) + (right − left)
    ASSERT_TRUE(run(emboss, src, out));
    // At (4, 4): below − above = 3 × (1 + 2) × 2 = 18, right − left = 20 × 6 = 120, D = 138;
    // 300 × 138 / (8 × 2 × 100) = 25 (25.875 truncated) + 128.
    EXPECT_EQ(out.pixelAddress(4, 4)[0], 153);
    EXPECT_EQ(out.pixelAddress(4, 4)[3], 252);
    emboss.direction = 1;  // below − above only: 300 × 18 / (4 × 2 × 100) = 6
    ASSERT_TRUE(run(emboss, src, out));
    EXPECT_EQ(out.pixelAddress(4, 4)[0], 134);
    EXPECT_EQ(out.pixelAddress(4, 4)[3], 254);

    // Without alpha the divisor is radius × 100: 300 × 138 / 200 = 207 → 335 → 255.
    tlPicture rgb;
    ASSERT_TRUE(rgb.create(9, 9, kRGB8));
    for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < 9; ++x) std::memcpy(rgb.pixelAddress(x, y), src.pixelAddress(x, y), 3);
    emboss.direction = 0;
    ASSERT_TRUE(run(emboss, rgb, out));
    EXPECT_EQ(out.pixelAddress(4, 4)[0], 255);
}

// Running sums against arm-by-arm sums: every format, directions in and out
// of 0 .. 7, radii past the picture's size under both edge rules, strengths
// up to the largest (which needs 128-bit quotients on 16-bit alpha).
TEST(Emboss, MatchesPlainReference) {
    const EmbossCase cases[] = {{1, 100, 0, false, false},  {2, 290, 5, true, true},   {3, 170, 7, false, true},
                                {1, 120, 3, true, false},   {2, 100, 4, false, false}, {1, 250, 6, true, true},
                                {4, 100, 1, true, false},   {2, 130, 2, false, true},  {9, 500, -1, true, false},
                                {13, 77, 12, true, true},   {1, 0, 0, true, false},    {3, INT_MAX, 5, true, false},
                                {2, INT_MAX, 0, true, true}};
    int32_t n = 0;
    for (const tlPixelFormat &f : filterFormats)
        for (const EmbossCase &e : cases) {
            std::unique_ptr<tlPicture> src(noisy(5 + n % 4, 6, f, 500 + n));
            tlEmbossEffect emboss;
            emboss.radius = e.radius, emboss.strength = e.strength, emboss.direction = e.direction;
            emboss.inColour = e.inColour, emboss.wrap = e.wrap;
            tlPicture out, want(*src);
            ASSERT_TRUE(run(emboss, *src, out));
            embossReference(*src, want, e);
            EXPECT_TRUE(samePixels(out, want)) << f.model << "/" << f.bits << "/" << f.channels << " radius "
                                               << e.radius << " strength " << e.strength << " dir " << e.direction;
            ++n;
        }
}

// Grey output, transparent arms, odd parameters.
TEST(Emboss, GreyTransparencyAndOddParameters) {
    std::unique_ptr<tlPicture> src(noisy(8, 6, kRGBA8, 21));
    tlPicture out;
    tlEmbossEffect emboss;
    ASSERT_TRUE(run(emboss, *src, out));
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 8; ++x) {
            const uint8_t *p = out.pixelAddress(x, y);
            EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
        }

    tlPicture clear;
    ASSERT_TRUE(clear.create(4, 4, kRGBA8));
    scribble(clear, 4);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) clear.pixelAddress(x, y)[3] = 0;
    ASSERT_TRUE(run(emboss, clear, out));
    for (int32_t y = 0; y < 4; ++y) EXPECT_EQ(out.row(y)[5], 0);

    for (int32_t radius : {0, -4, INT_MIN}) {
        emboss.radius = radius;
        ASSERT_TRUE(run(emboss, *src, out));
        EXPECT_TRUE(samePixels(out, *src));
    }
    emboss.radius = 1;
    emboss.strength = -1;
    ASSERT_TRUE(run(emboss, *src, out));
    EXPECT_TRUE(samePixels(out, *src));

    // The largest radius costs no more than the picture (closed-form arm
    // sums); on a uniform picture D = 0, so every colour is mid-grey.
    tlPicture flat;
    ASSERT_TRUE(flat.create(5, 3, kRGBA16));
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x) std::memset(flat.pixelAddress(x, y), 0xFF, 8);
    emboss.radius = INT_MAX;
    emboss.strength = INT_MAX;
    for (bool wrap : {false, true}) {
        emboss.wrap = wrap;
        ASSERT_TRUE(run(emboss, flat, out));
        EXPECT_EQ(sample(out, 2, 1, 0), 32768);
        // S_A = 4 × radius × 65535, / radius = 262140, low 16 bits.
        EXPECT_EQ(sample(out, 2, 1, 3), 262140 & 0xFFFF);
    }

    tlPicture indexed;
    ASSERT_TRUE(indexed.create(3, 3, kIndexed8));
    scribble(indexed, 2);
    emboss.radius = 1;
    ASSERT_TRUE(run(emboss, indexed, out));
    EXPECT_TRUE(samePixels(out, indexed));

    CountingProgress stop(1);
    emboss.strength = 100;
    ASSERT_FALSE(run(emboss, *src, out, &stop));
    EXPECT_EQ(stop.total, 5);
}

// The line filter (written-out steady state) against the plain rule, every
// channel count, lines of 1 to 12 pixels.
TEST(Neon, LineFilterMatchesPlainRule) {
    for (int32_t radius : {1, 2, 5, 40}) {
        tlNeonCoefficients k;
        neonCoefficients(radius, k);
        EXPECT_NEAR(k.np[0], -0.0022, 1e-15);  // a0 + c0
        for (int32_t ch = 1; ch <= 4; ++ch)
            for (int32_t n = 1; n <= 12; ++n) {
                std::vector<uint8_t> src(static_cast<size_t>(n) * ch), want(src.size()), got(src.size());
                uint32_t s = static_cast<uint32_t>(radius * 1000 + ch * 100 + n);
                for (uint8_t &b : src) b = static_cast<uint8_t>((s = s * 1664525u + 1013904223u) >> 24);
                std::vector<double> scratch(3 * src.size());
                neonLineFor(ch)(k, src.data(), n, scratch.data(), got.data());
                neonLineReference(k, src.data(), n, ch, want.data());
                EXPECT_EQ(got, want) << "radius " << radius << " channels " << ch << " n " << n;
            }
    }
}

// Whole pictures against the reference, one-row and one-column pictures
// included; a uniform picture has no derivative, and alpha a becomes
// trunc(√2 × min(255, 2a) × strength / 100).
TEST(Neon, PicturesMatchReferenceAndUniformIsDark) {
    const tlPixelFormat formats[] = {kRGBA8, kRGB8, kGray8, kGrayA8, kIndexed8};
    const int32_t sizes[][2] = {{13, 9}, {1, 7}, {7, 1}, {1, 1}, {2, 3}, {5, 4}};
    int32_t n = 0;
    for (const tlPixelFormat &f : formats)
        for (const auto &size : sizes) {
            std::unique_ptr<tlPicture> src(noisy(size[0], size[1], f, 900 + n));
            tlNeonEffect neon;
            neon.radius = 1 + n % 5;
            neon.strength = 100 + 20 * (n % 6);
            tlPicture out, want(*src);
            ASSERT_TRUE(run(neon, *src, out));
            neonReference(*src, want, neon.radius, neon.strength);
            EXPECT_TRUE(samePixels(out, want)) << f.model << "/" << f.channels << " " << size[0] << "x" << size[1];
            ++n;
        }

    tlPicture flat, out;
    ASSERT_TRUE(flat.create(12, 10, kRGBA8));
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 12; ++x) {
            uint8_t *p = flat.pixelAddress(x, y);
            p[0] = 200, p[1] = 17, p[2] = 90, p[3] = 50;
        }
    tlNeonEffect neon;
    ASSERT_TRUE(run(neon, flat, out));
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 12; ++x) {
            const uint8_t *p = out.pixelAddress(x, y);
            EXPECT_TRUE(p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 141) << x << "," << y;
        }
}

TEST(Neon, OddParametersAndFormats) {
    std::unique_ptr<tlPicture> src(noisy(6, 5, kRGBA8, 31));
    tlPicture out;
    tlNeonEffect neon;
    // Only radius -1 has σ = 0: left alone. Every other radius is computed
    // as written, 0 (σ ≈ 0.30) and the negative ones included.
    neon.radius = -1;
    ASSERT_TRUE(run(neon, *src, out));
    EXPECT_TRUE(samePixels(out, *src));
    for (int32_t radius : {0, -2, INT_MIN}) {
        neon.radius = radius;
        tlPicture want(*src);
        ASSERT_TRUE(run(neon, *src, out));
        neonReference(*src, want, radius, neon.strength);
        EXPECT_TRUE(samePixels(out, want)) << radius;
        if (radius == 0) {
            EXPECT_FALSE(samePixels(out, *src));
        }
    }
    neon.radius = 5;
    neon.strength = -1;
    ASSERT_TRUE(run(neon, *src, out));
    EXPECT_TRUE(samePixels(out, *src));
    // Extreme radii and strengths: the recursion may lose all meaning, but
    // every byte stays defined and the run is repeatable.
    for (int32_t radius : {1000000, INT_MAX}) {
        neon.radius = radius;
        neon.strength = INT_MAX;
        tlPicture again;
        ASSERT_TRUE(run(neon, *src, out));
        ASSERT_TRUE(run(neon, *src, again));
        EXPECT_TRUE(samePixels(out, again));
    }
    std::unique_ptr<tlPicture> deep(noisy(4, 4, kRGBA16, 2));
    neon.radius = 3;
    ASSERT_TRUE(run(neon, *deep, out));
    EXPECT_TRUE(samePixels(out, *deep));
}

// Pinned digests: the Linux and the Windows build must both give these. The
// coefficients come from the project's own extended-precision functions
// (the two C libraries' expl and cosl differ in last bits), so the first
// digest, over radii 1 .. 2000, is the same on both.
TEST(EdgeFilters, CrossBuildDigests) {
    uint64_t h = kFnvBasis;
    for (int32_t radius = 1; radius <= 2000; ++radius) {
        tlNeonCoefficients k;
        neonCoefficients(radius, k);
        h = fnv1a(&k, sizeof k, h);
    }
    EXPECT_EQ(h, 0xea2f7af17c29bb1full) << std::hex << h;

    std::unique_ptr<tlPicture> rgba(noisy(61, 37, kRGBA8, 77)), deep(noisy(23, 19, kRGBA16, 78));
    tlPicture out;
    tlEdgeDetectionEffect edge;
    edge.gain = 160, edge.invert = true, edge.wrap = true;
    ASSERT_TRUE(run(edge, *rgba, out));
    EXPECT_EQ(digest(out), 0xa422b7c4bf7ae45bull) << std::hex << digest(out);
    edge.gain = 37, edge.kernel = 1;
    ASSERT_TRUE(run(edge, *deep, out));
    EXPECT_EQ(digest(out), 0xd71eb127509dd934ull) << std::hex << digest(out);
    tlEmbossEffect emboss;
    emboss.radius = 2, emboss.strength = 290, emboss.direction = 5, emboss.wrap = true;
    ASSERT_TRUE(run(emboss, *rgba, out));
    EXPECT_EQ(digest(out), 0x19374828b2720c0eull) << std::hex << digest(out);
    uint64_t glow = 0;
    for (int32_t radius = 2; radius <= 5; ++radius) {
        tlNeonEffect neon;
        neon.radius = radius, neon.strength = 100 + 20 * radius;
        ASSERT_TRUE(run(neon, *rgba, out));
        glow = (glow ^ digest(out)) * 1099511628211ull;
    }
    EXPECT_EQ(glow, 0x5fe6e1f7c113e621ull) << std::hex << glow;
}
