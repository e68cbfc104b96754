// Bilinear samplers and the geometric distortions: edge rules, cylinder
// positions, the swirl's disc, sine shifts and wrapping, kaleidoscope
// averages, odd parameters, and fixed digests that the Linux and Windows
// builds must both reproduce.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "effects/core/sampling.h"
#include "effects/distortions/distortions.h"
#include "imaging/fpmath.h"
#include "imaging/picture.h"
#include "tests/effects/effect_test_util.h"

namespace {

// Gray 8-bit picture of one row with the given values.
bool grayRow(tlPicture &p, std::initializer_list<uint8_t> values) {
    if (!p.create(static_cast<int32_t>(values.size()), 1, kGray8)) return false;
    int32_t x = 0;
    for (uint8_t v : values) p.row(0)[x++] = v;
    return true;
}

// Samples at (x, y) into a pixel that starts as 0xEE bytes; returns its first
// channel, or -1 when the sampler refused (and must not have written).
int32_t sampleAt(tlSampler s, const tlPicture &p, double x, double y) {
    uint8_t out[8];
    std::memset(out, 0xEE, sizeof out);
    if (!s(p, x, y, out)) {
        for (uint8_t b : out) EXPECT_EQ(b, 0xEE);
        return -1;
    }
    return out[0];
}

}  // namespace

TEST(Sampler, ClampingReadsPixelCentresAndRefusesOutside) {
    tlPicture p;
    ASSERT_TRUE(grayRow(p, {0, 100, 0, 200}));
    tlSampler s = clampingSampler(p);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(sampleAt(s, p, 0.5, 0), 50);
    EXPECT_EQ(sampleAt(s, p, 1.25, 0.75), 75);
    EXPECT_EQ(sampleAt(s, p, 3, 0), 200);  // last column unblended
    EXPECT_EQ(sampleAt(s, p, 3.5, 0), 200);
    EXPECT_EQ(sampleAt(s, p, -1, 0), 0);        // x0 = x1 = 0, weight 1
    EXPECT_EQ(sampleAt(s, p, -0.5, -0.5), 50);  // truncation: columns 0 and 1, fx = 0.5
    EXPECT_EQ(sampleAt(s, p, 4, 0), -1);
    EXPECT_EQ(sampleAt(s, p, -1.001, 0), -1);
    EXPECT_EQ(sampleAt(s, p, 0, 1), -1);
    EXPECT_EQ(sampleAt(s, p, std::nan(""), 0), -1);
    EXPECT_EQ(sampleAt(s, p, 0, std::numeric_limits<double>::infinity()), -1);
    EXPECT_EQ(wrappingSampler(p), nullptr);
}

TEST(Sampler, WrappingBlendsAcrossTheSeamAtNegativePositions) {
    tlPicture p;
    ASSERT_TRUE(p.create(4, 2, kRGB8));
    const uint8_t top[4] = {0, 100, 0, 200}, bottom[4] = {40, 40, 40, 40};
    for (int32_t x = 0; x < 4; ++x) {
        std::memset(p.pixelAddress(x, 0), top[x], 3);
        std::memset(p.pixelAddress(x, 1), bottom[x], 3);
    }
    tlSampler s = wrappingSampler(p);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(sampleAt(s, p, -0.25, 0), 50);  // 200 · 0.25 + 0 · 0.75
    EXPECT_EQ(sampleAt(s, p, -1, 0), 200);
    EXPECT_EQ(sampleAt(s, p, 3.5, 0), 100);
    EXPECT_EQ(sampleAt(s, p, -4.5, 0), 100);
    EXPECT_EQ(sampleAt(s, p, -3.75, 0), 25);  // columns 0 and 1
    EXPECT_EQ(sampleAt(s, p, 1, -0.5), 70);   // rows 1 and 0
    EXPECT_EQ(sampleAt(s, p, 1e9 + 1, 2e9), 100);
    EXPECT_EQ(sampleAt(s, p, std::nan(""), 0), -1);
}

TEST(Sampler, AlphaWeightsColourAndTransparentGivesZeros) {
    tlPicture p;
    ASSERT_TRUE(p.create(2, 1, kRGBA8));
    const uint8_t left[4] = {255, 0, 0, 255}, right[4] = {0, 0, 255, 0};
    std::memcpy(p.pixelAddress(0, 0), left, 4);
    std::memcpy(p.pixelAddress(1, 0), right, 4);
    for (tlSampler s : {clampingSampler(p), wrappingSampler(p)}) {
        uint8_t out[4];
        ASSERT_TRUE(s(p, 0.5, 0, out));
        const uint8_t want[4] = {255, 0, 0, 127};
        EXPECT_EQ(0, std::memcmp(out, want, 4));
        ASSERT_TRUE(s(p, 1, 0, out));
        EXPECT_EQ(0, std::memcmp(out, "\0\0\0\0", 4));
    }
    tlPicture deep;
    ASSERT_TRUE(deep.create(2, 1, kGray16));
    deep.store[2] = deep.store[3] = 0xFF;
    uint8_t out[2];
    ASSERT_TRUE(clampingSampler(deep)(deep, 0.25, 0, out));
    EXPECT_EQ(out[0] | (out[1] << 8), 16383);
    tlPicture indexed;
    ASSERT_TRUE(indexed.create(2, 1, kIndexed8));
    EXPECT_EQ(clampingSampler(indexed), nullptr);
}

TEST(Cylinder, ColumnsFollowTheArcFromTheRectanglesLeftEdge) {
    tlPicture src;
    ASSERT_TRUE(grayRow(src, {9, 9, 0, 100, 200, 250, 9, 9}));
    src.selected = true;
    src.selection = {2, 0, 6, 1};
    tlPicture dst(src);
    tlCylinderEffect e;
    CountingProgress progress;
    ASSERT_TRUE(e.apply(src, dst, &progress));
    EXPECT_EQ(progress.total, 0);
    EXPECT_EQ(progress.steps, 1);
    // Positions 2, 3.333, 4, 4.667.
    const uint8_t want[8] = {9, 9, 0, 133, 200, 233, 9, 9};
    EXPECT_EQ(0, std::memcmp(dst.row(0), want, 8));

    tlPicture column;
    ASSERT_TRUE(column.create(1, 4, kGray8));
    const uint8_t values[4] = {0, 100, 200, 250};
    for (int32_t y = 0; y < 4; ++y) column.row(y)[0] = values[y];
    tlPicture down(column);
    e.vertical = 1;
    ASSERT_TRUE(e.apply(column, down, nullptr));
    const uint8_t wantDown[4] = {0, 133, 200, 233};
    for (int32_t y = 0; y < 4; ++y) EXPECT_EQ(down.row(y)[0], wantDown[y]);
    // Along the other axis the mapping is the identity for a 1-pixel extent.
    e.vertical = 0;
    tlPicture same(column);
    ASSERT_TRUE(e.apply(column, same, nullptr));
    EXPECT_TRUE(sameBytes(column, same));
}

TEST(Cylinder, UnsupportedFormatsAndAStopAreReported) {
    tlPicture indexed;
    ASSERT_TRUE(makePicture(indexed, 5, 5, kIndexed8, 3));
    tlPicture dst(indexed);
    tlCylinderEffect e;
    EXPECT_FALSE(e.apply(indexed, dst, nullptr));
    EXPECT_TRUE(sameBytes(indexed, dst));

    tlPicture src;
    ASSERT_TRUE(makePicture(src, 7, 5, kRGBA16, 3));
    tlPicture out(src), full(src);
    CountingProgress progress;
    progress.stopAt = 2;
    EXPECT_FALSE(e.apply(src, out, &progress));
    ASSERT_TRUE(e.apply(src, full, nullptr));
    EXPECT_EQ(0, std::memcmp(out.store, full.store, 2 * static_cast<size_t>(out.stride)));
    EXPECT_EQ(0, std::memcmp(out.row(2), src.row(2), 3 * static_cast<size_t>(out.stride)));
}

TEST(Swirl, AngleZeroLeavesTheDiscAloneButClearsTransparentPixels) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 9, 5, kRGBA8, 17));
    for (int32_t x = 0; x < 9; x += 2) src.pixelAddress(x, 2)[3] = 0;
    tlPicture dst(src);
    tlSwirlEffect e;
    e.angle = 0;
    ASSERT_TRUE(e.apply(src, dst, nullptr));
    const double sy = 9.0 / 5.0;
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 9; ++x) {
            const double dx = x - 4.0, dy = (y - 2.0) * sy;
            const bool inside = 16.0 > dx * dx + dy * dy;
            const bool cleared = inside && px(src, x, y)[3] == 0;
            if (cleared)
                EXPECT_EQ(0, std::memcmp(px(dst, x, y), "\0\0\0\0", 4)) << x << "," << y;
            else
                EXPECT_EQ(0, std::memcmp(px(dst, x, y), px(src, x, y), 4)) << x << "," << y;
        }
}

TEST(Swirl, TwistsExactlyTheEllipseFillingTheRectangle) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 100, 50, kRGBA8, 5));
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 100; ++x) src.pixelAddress(x, y)[3] = 255;
    tlPicture dst(src);
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 100; ++x) dst.pixelAddress(x, y)[3] = 0;  // marks unwritten pixels
    tlSwirlEffect e;
    e.angle = -540;
    ASSERT_TRUE(e.apply(src, dst, nullptr));
    int32_t moved = 0;
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 100; ++x) {
            const double dx = x - 49.5, dy = (y - 24.5) * 2.0;
            const bool inside = 49.5 * 49.5 > dx * dx + dy * dy;
            EXPECT_EQ(px(dst, x, y)[3] != 0, inside) << x << "," << y;
            if (inside && std::memcmp(px(dst, x, y), px(src, x, y), 3) != 0) ++moved;
        }
    EXPECT_GT(moved, 2000);
}

// The swirl reuses sin and cos of mirrored columns; this is the plain rule.
TEST(Swirl, MatchesThePlainRuleInsideASelection) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 47, 33, kRGBA8, 77));
    src.selected = true;
    src.selection = {3, 2, 40, 30};
    tlPicture dst(src), want(src);
    tlSwirlEffect e;
    e.angle = 675;
    ASSERT_TRUE(e.apply(src, dst, nullptr));
    const double pi = 3.14159265358979323846;
    const double cx = (3.0 + 40 - 1) * 0.5, cy = (2.0 + 30 - 1) * 0.5, r = (37 - 1) * 0.5;
    const double sx = 1.0, sy = 37.0 / 28, a = 675 * pi * (1.0 / 180);
    tlSampler sample = clampingSampler(src);
    for (int32_t y = 2; y < 30; ++y)
        for (int32_t x = 3; x < 40; ++x) {
            const double dx = (x - cx) * sx, dy = (y - cy) * sy, d2 = dx * dx + dy * dy;
            if (!(r * r > d2)) continue;
            const double t = 1.0 - std::sqrt(d2) / r, phi = a * t * t;
            const double s = fpm::sin(phi), c = fpm::cos(phi);
            sample(src, (c * dx - s * dy) / sx + cx, (s * dx + c * dy) / sy + cy, want.pixelAddress(x, y));
        }
    EXPECT_TRUE(sameBytes(dst, want));
}

// The swirl rule computed pixel by pixel with nothing shared, into want.
void plainSwirl(const tlPicture &src, int32_t angle, tlPicture &want) {
    const tlRect a = src.workRect();
    const int32_t w = a.right - a.left, h = a.bottom - a.top;
    const double pi = 3.14159265358979323846;
    const double cx = (static_cast<double>(a.left) + a.right - 1) * 0.5;
    const double cy = (static_cast<double>(a.top) + a.bottom - 1) * 0.5;
    const double r = std::max((w - 1) * 0.5, (h - 1) * 0.5);
    const double sx = w < h ? static_cast<double>(h) / w : 1.0, sy = h < w ? static_cast<double>(w) / h : 1.0;
    const double turn = angle * pi * (1.0 / 180);
    tlSampler sample = clampingSampler(src);
    for (int32_t y = a.top; y < a.bottom; ++y)
        for (int32_t x = a.left; x < a.right; ++x) {
            const double dx = (x - cx) * sx, dy = (y - cy) * sy, d2 = dx * dx + dy * dy;
            if (!(r * r > d2)) continue;
            const double t = 1.0 - std::sqrt(d2) / r, phi = turn * t * t;
            const double s = fpm::sin(phi), c = fpm::cos(phi);
            sample(src, (c * dx - s * dy) / sx + cx, (s * dx + c * dy) / sy + cy, want.pixelAddress(x, y));
        }
}

// The swirl shares sin and cos between mirrored rows and columns and skips
// dividing by a scale of 1; random sizes (odd and even, wide, tall, square),
// selections, formats and angles must give the bytes of the plain rule.
TEST(Swirl, MatchesThePlainRuleOnRandomPicturesAndAngles) {
    const tlPixelFormat formats[] = {kRGBA8, kRGB8, kRGBA16, kRGB16, kGray8, kGrayA8, kGray16, kGrayA16};
    uint32_t seed = 4711;
    for (int32_t n = 0; n < 60; ++n) {
        const tlPixelFormat &f = formats[n % 8];
        const int32_t w = 1 + static_cast<int32_t>(nextRandom(seed) % 40);
        const int32_t h = n % 5 == 0 ? w : 1 + static_cast<int32_t>(nextRandom(seed) % 40);
        tlPicture src;
        ASSERT_TRUE(randomPicture(src, w, h, f, seed));
        if (n % 3 == 1 && w > 2 && h > 2) {
            src.selected = true;
            src.selection = {1, static_cast<int32_t>(nextRandom(seed) % 2), w - 1, h};
        }
        const int32_t angle = static_cast<int32_t>(nextRandom(seed) % 4001) - 2000;
        tlPicture dst(src), want(src);
        tlSwirlEffect e;
        e.angle = angle;
        ASSERT_TRUE(e.apply(src, dst, nullptr));
        plainSwirl(src, angle, want);
        EXPECT_TRUE(sameBytes(dst, want)) << w << "x" << h << " format " << n % 8 << " angle " << angle;
    }
}

// Rows are finished top to bottom even though the lower half reuses the
// upper half's turns: a stop leaves exactly the finished rows written.
TEST(Swirl, AStopLeavesOnlyTheFinishedRowsWritten) {
    tlPicture src;
    ASSERT_TRUE(randomPicture(src, 23, 17, kRGBA8, 99));
    tlPicture out(src), full(src);
    tlSwirlEffect e;
    e.angle = 300;
    CountingProgress progress;
    progress.stopAt = 11;
    EXPECT_FALSE(e.apply(src, out, &progress));
    EXPECT_EQ(progress.total, 16);
    ASSERT_TRUE(e.apply(src, full, nullptr));
    const size_t stride = static_cast<size_t>(out.stride);
    EXPECT_EQ(0, std::memcmp(out.store, full.store, 11 * stride));
    EXPECT_EQ(0, std::memcmp(out.row(11), src.row(11), 6 * stride));
}

TEST(SineWave, ZeroWavelengthsResampleInPlace) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 6, 4, kGrayA16, 8));
    src.pixelAddress(1, 1)[2] = src.pixelAddress(1, 1)[3] = 0;
    tlPicture dst(src);
    tlSineWaveEffect e;
    e.wavelengthX = e.wavelengthY = 0;
    e.amplitudeX = INT_MIN;
    ASSERT_TRUE(e.apply(src, dst, nullptr));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x) {
            if (x == 1 && y == 1)
                EXPECT_EQ(0, std::memcmp(px(dst, x, y), "\0\0\0\0", 4));
            else
                EXPECT_EQ(0, std::memcmp(px(dst, x, y), px(src, x, y), 4));
        }
}

TEST(SineWave, NegativeAmplitudeInvertsTheWaveAndWrapFillsTheGap) {
    tlPicture src;
    ASSERT_TRUE(src.create(40, 40, kRGB8));
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 40; ++x) std::memset(src.pixelAddress(x, y), x * 6 + 1, 3);
    tlSineWaveEffect e;
    e.wavelengthX = 40;
    e.wavelengthY = 0;
    // Row shifts: rows 0, 10, 30 have sin 0, 1, −1.
    const int32_t rows[3] = {0, 10, 30};
    const int32_t shiftsPlus[3] = {10, 20, 0}, shiftsMinus[3] = {10, 0, 20};
    for (int32_t amplitude : {10, -10})
        for (bool wrap : {false, true}) {
            e.amplitudeX = amplitude;
            e.wrap = wrap;
            tlPicture dst(src);
            ASSERT_TRUE(e.apply(src, dst, nullptr));
            for (int32_t k = 0; k < 3; ++k) {
                const int32_t shift = amplitude > 0 ? shiftsPlus[k] : shiftsMinus[k];
                for (int32_t x = 0; x < 40; ++x) {
                    int32_t from = x - shift;
                    if (from == -1)
                        from = wrap ? 39 : 0;
                    else if (from < 0)
                        from = wrap ? from + 40 : x;  // clamped: left alone
                    EXPECT_EQ(px(dst, x, rows[k])[0], from * 6 + 1) << amplitude << " " << rows[k] << " " << x;
                }
            }
        }
}

TEST(SineWave, WrapOnlyAffectsEightBitRgbAndOtherModelsAreRefused) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 13, 11, kRGBA16, 2));
    tlSineWaveEffect e;
    e.amplitudeY = 7;
    tlPicture plain(src), wrapped(src);
    ASSERT_TRUE(e.apply(src, plain, nullptr));
    e.wrap = true;
    ASSERT_TRUE(e.apply(src, wrapped, nullptr));
    EXPECT_TRUE(sameBytes(plain, wrapped));
    EXPECT_FALSE(sameBytes(plain, src));

    tlPicture indexed;
    ASSERT_TRUE(makePicture(indexed, 5, 5, kIndexed8, 3));
    tlPicture dst(indexed);
    EXPECT_FALSE(e.apply(indexed, dst, nullptr));
    EXPECT_TRUE(sameBytes(indexed, dst));
}

// The shifts repeat with the wavelength only up to the last bit of sin (at
// x = 0 the shift is exactly an integer, at x = wavelength nearly so), and
// truncation turns that bit into at most one level; a pixel whose alpha is
// 0 either way may differ in its invisible colour.
static bool nearlySeamless(const tlPicture &a, const tlPicture &b) {
    const int32_t ch = a.channels;
    for (int32_t y = 0; y < a.height; ++y)
        for (int32_t x = 0; x < a.width; ++x) {
            const uint8_t *p = px(a, x, y), *q = px(b, x, y);
            const bool invisible = a.hasAlpha() && p[ch - 1] == 0 && q[ch - 1] == 0;
            for (int32_t c = 0; c < ch; ++c)
                if (!invisible && std::abs(p[c] - q[c]) > 1) return false;
        }
    return true;
}

TEST(SineWave, WrappedDivisorWavelengthsAreSeamless) {
    const int32_t waves[][4] = {{3, 6, 5, 8}, {10, 12, 2, 24}, {1, 4, 9, 3}};
    for (const auto &w : waves)
        for (int32_t channels : {3, 4}) {
            tlPicture src;
            ASSERT_TRUE(makePicture(src, 24, 12, tlPixelFormat::rgb(8, channels), 31));
            tlSineWaveEffect e;
            e.amplitudeX = w[0];
            e.wavelengthX = w[1];
            e.amplitudeY = w[2];
            e.wavelengthY = w[3];
            e.wrap = true;
            tlPicture dst(src), big, expected;
            ASSERT_TRUE(e.apply(src, dst, nullptr));
            ASSERT_TRUE(tiled(src, big));
            tlPicture bigOut(big);
            ASSERT_TRUE(e.apply(big, bigOut, nullptr));
            ASSERT_TRUE(tiled(dst, expected));
            EXPECT_TRUE(nearlySeamless(bigOut, expected)) << w[1] << " " << w[3] << " " << channels;
        }
}

TEST(Kaleidoscope, AveragesMirrorImages) {
    tlPicture square;
    ASSERT_TRUE(square.create(2, 2, kRGB8));
    const uint8_t values[4] = {10, 21, 32, 43};
    for (int32_t i = 0; i < 4; ++i) std::memset(square.pixelAddress(i % 2, i / 2), values[i], 3);
    tlPicture dst(square);
    tlKaleidoscopeEffect e;
    ASSERT_TRUE(e.apply(square, dst, nullptr));
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(px(dst, i % 2, i / 2)[2], (10 + 21 + 32 + 43) >> 2);

    tlPicture wide;
    ASSERT_TRUE(wide.create(4, 2, kGray8));
    const uint8_t grays[8] = {1, 20, 40, 80, 100, 120, 140, 250};
    for (int32_t i = 0; i < 8; ++i) wide.row(i / 4)[i % 4] = grays[i];
    tlPicture eight(wide);
    e.mode = -3;
    ASSERT_TRUE(e.apply(wide, eight, nullptr));
    // (0, 0): the corners twice; (3, 1): every pixel once.
    EXPECT_EQ(eight.row(0)[0], (2 * (1 + 80 + 100 + 250)) >> 3);
    EXPECT_EQ(eight.row(1)[3], (1 + 20 + 40 + 80 + 100 + 120 + 140 + 250) >> 3);
}

TEST(Kaleidoscope, AlphaWeightsColoursInSixteenBitsAndTransparencyGivesZeros) {
    tlPicture src;
    ASSERT_TRUE(src.create(2, 1, kRGBA16));
    uint8_t *a = src.pixelAddress(0, 0), *b = src.pixelAddress(1, 0);
    a[0] = 0xE8, a[1] = 0x03, a[6] = a[7] = 0xFF;  // red 1000, opaque
    b[0] = 0x60, b[1] = 0xEA;                      // red 60000, transparent
    tlPicture dst(src);
    tlKaleidoscopeEffect e;
    ASSERT_TRUE(e.apply(src, dst, nullptr));
    EXPECT_EQ(px(dst, 1, 0)[0] | (px(dst, 1, 0)[1] << 8), 1000);
    EXPECT_EQ(px(dst, 1, 0)[6] | (px(dst, 1, 0)[7] << 8), 32767);

    tlPicture clear;
    ASSERT_TRUE(makePicture(clear, 5, 3, kRGBA8, 6));
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x) clear.pixelAddress(x, y)[3] = 0;
    for (int32_t mode : {0, 1}) {
        tlPicture out(clear);
        e.mode = mode;
        ASSERT_TRUE(e.apply(clear, out, nullptr));
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(0, std::memcmp(px(out, x, y), "\0\0\0\0", 4));
    }
}

TEST(Distortions, OddParametersAndTinyPicturesNeverCrash) {
    const int32_t values[] = {0, 1, -1, 2, 1000000, INT_MAX, INT_MIN};
    for (int32_t size : {1, 2})
        for (int32_t v : values) {
            tlPicture src;
            ASSERT_TRUE(makePicture(src, size, 1, kRGBA8, 9));
            tlPicture dst(src);
            tlCylinderEffect c;
            c.vertical = v;
            EXPECT_TRUE(c.apply(src, dst, nullptr));
            tlSwirlEffect s;
            s.angle = v;
            EXPECT_TRUE(s.apply(src, dst, nullptr));
            tlKaleidoscopeEffect k;
            k.mode = v;
            EXPECT_TRUE(k.apply(src, dst, nullptr));
            for (int32_t w : values)
                for (bool wrap : {false, true}) {
                    tlSineWaveEffect e;
                    e.amplitudeX = v, e.amplitudeY = w, e.wavelengthX = w, e.wavelengthY = v, e.wrap = wrap;
                    EXPECT_TRUE(e.apply(src, dst, nullptr));
                }
        }
}

// Fixed results of every distortion on one seeded picture; the Windows build
// must reproduce these bytes exactly.
TEST(Distortions, SameInputGivesTheseExactBytes) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 61, 47, kRGBA8, 2024));
    for (int32_t y = 0; y < 47; ++y)
        for (int32_t x = 0; x < 61; ++x) src.pixelAddress(x, y)[3] |= 0x80;
    tlCylinderEffect cylinder, cylinderDown;
    cylinderDown.vertical = 1;
    tlSwirlEffect swirl, swirlBack;
    swirl.angle = 405;
    swirlBack.angle = -720;
    tlSineWaveEffect sine, sineWrap;
    sine.amplitudeX = 7, sine.wavelengthX = 13, sine.amplitudeY = 3, sine.wavelengthY = 29;
    sineWrap = sine;
    sineWrap.wrap = true;
    tlKaleidoscopeEffect kaleidoscope;
    kaleidoscope.mode = 1;
    struct Case {
        tlEffect *effect;
        uint64_t want;
    } cases[] = {{&cylinder, 0x9a63a96ab8ae76ull},      {&cylinderDown, 0x1c157222a6564156ull},
                 {&swirl, 0xb01841390e4a8eull},         {&swirlBack, 0x978e6919aa37f5d1ull},
                 {&sine, 0xce531f8df8ca8043ull},        {&sineWrap, 0x7a9db076c5a004a3ull},
                 {&kaleidoscope, 0x53704c2a814a5f62ull}};
    int32_t n = 0;
    for (const Case &c : cases) {
        tlPicture first(src), second(src);
        ASSERT_TRUE(c.effect->apply(src, first, nullptr));
        ASSERT_TRUE(c.effect->apply(src, second, nullptr));
        EXPECT_TRUE(sameBytes(first, second));
        EXPECT_EQ(digest(first), c.want) << "case " << n << ": 0x" << std::hex << digest(first);
        ++n;
    }
}
