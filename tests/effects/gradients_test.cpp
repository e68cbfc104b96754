// Gradient and gradient pattern effects: ramps, mirrored and radial shapes,
// bands and rings, translucent colours, progress and degenerate parameters.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "effects/patterns/gradients.h"
#include "imaging/colour.h"
#include "imaging/pixel_math.h"
#include "tests/effects/effect_test_util.h"

namespace {

// A picture whose bytes follow a fixed pseudo-random sequence.
tlPicture noisyPicture(int32_t w, int32_t h, tlPixelFormat format = kRGBA8) {
    return seededPicture(12345, w, h, format);
}

std::vector<uint8_t> pixel(const tlPicture &p, int32_t x, int32_t y) {
    const uint8_t *a = p.pixelAddress(x, y);
    return std::vector<uint8_t>(a, a + p.bytesPerPixel());
}

std::vector<uint8_t> rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { return {r, g, b, a}; }

tlGradientEffect gradient(int32_t shape, tlColour c1 = tlColour::rgb(0, 0, 0),
                          tlColour c2 = tlColour::rgb(255, 255, 255)) {
    tlGradientEffect e;
    e.shape = shape;
    e.colour1 = c1;
    e.colour2 = c2;
    return e;
}

tlGradientPatternEffect pattern(int32_t orientation, int32_t period, int32_t sawtooth) {
    tlGradientPatternEffect e;
    e.orientation = orientation;
    e.period = period;
    e.sawtooth = sawtooth;
    return e;
}

}  // namespace

TEST(GradientEffect, VerticalRampGivesEveryRowItsLevel) {
    tlGradientEffect e = gradient(0);
    tlPicture out = applied(e, noisyPicture(3, 256));
    for (int32_t y = 0; y < 256; ++y) {
        uint8_t v = static_cast<uint8_t>(y);
        EXPECT_EQ(pixel(out, 2, y), rgba(v, v, v, 255)) << y;
    }

    // Same ramp at 16 bits: the opacity is the alpha itself, no × 257.
    tlPicture deep = applied(e, noisyPicture(2, 3, kRGB16));
    EXPECT_EQ(load16(deep.pixelAddress(1, 0)), 0u);
    EXPECT_EQ(load16(deep.pixelAddress(1, 1)), 32767u);
    EXPECT_EQ(load16(deep.pixelAddress(1, 2)), 65535u);
}

TEST(GradientEffect, HorizontalRampCarriesAlphaPerColumn) {
    // Columns 0, 1, 2 of c1 = (0, 0, 0, 0) → c2 = (200, 100, 0, 255) over
    // (0, 0, 0, 255): column 1 has (100, 50, 0, 127): 100 × 127 / 255 = 49.
    tlGradientEffect e = gradient(1, tlColour::rgba(0, 0, 0, 0), tlColour::rgba(200, 100, 0, 255));
    tlPicture source;
    ASSERT_TRUE(source.create(3, 2, kRGBA8));
    source.fill(tlColour::rgba(0, 0, 0, 255));
    tlPicture out = applied(e, source);
    EXPECT_EQ(pixel(out, 0, 1), rgba(0, 0, 0, 255));
    EXPECT_EQ(pixel(out, 1, 1), rgba(49, 24, 0, 255));
    EXPECT_EQ(pixel(out, 2, 0), rgba(200, 100, 0, 255));
}

TEST(GradientEffect, SingleRowOrColumnTakesFirstColourOrMirroredSecond) {
    const tlColour c1 = tlColour::rgb(10, 20, 30), c2 = tlColour::rgb(200, 210, 220);
    for (int32_t shape : {0, 3}) {
        tlGradientEffect e = gradient(shape, c1, c2);
        tlPicture out = applied(e, noisyPicture(4, 1));
        EXPECT_EQ(pixel(out, 3, 0), shape == 0 ? rgba(10, 20, 30, 255) : rgba(200, 210, 220, 255));
    }
    for (int32_t shape : {1, 4}) {
        tlGradientEffect e = gradient(shape, c1, c2);
        tlPicture out = applied(e, noisyPicture(1, 4));
        EXPECT_EQ(pixel(out, 0, 3), shape == 1 ? rgba(10, 20, 30, 255) : rgba(200, 210, 220, 255));
    }
}

TEST(GradientEffect, MirroredShapesMeetAtTheEdgesAndPeakInTheMiddle) {
    tlGradientEffect rows = gradient(3);
    tlPicture odd = applied(rows, noisyPicture(2, 7));  // m = 6, row 3 has o = 0
    int32_t blackRows = 0;
    for (int32_t y = 0; y < 7; ++y) blackRows += pixel(odd, 0, y)[0] == 0;
    EXPECT_EQ(blackRows, 1);
    EXPECT_EQ(pixel(odd, 1, 3), rgba(0, 0, 0, 255));
    EXPECT_EQ(pixel(odd, 0, 0), rgba(255, 255, 255, 255));
    EXPECT_EQ(pixel(odd, 0, 6), pixel(odd, 0, 0));
    EXPECT_EQ(pixel(odd, 0, 1), rgba(170, 170, 170, 255));  // o = 4: 255 × 4 / 6

    tlPicture even = applied(rows, noisyPicture(2, 6));  // m = 5: rows 2 and 3 have o = 1
    EXPECT_EQ(pixel(even, 0, 2), rgba(51, 51, 51, 255));
    EXPECT_EQ(pixel(even, 0, 3), pixel(even, 0, 2));

    tlGradientEffect columns = gradient(4);
    tlPicture wide = applied(columns, noisyPicture(9, 2));
    for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(pixel(wide, x, 1), pixel(wide, 8 - x, 0)) << x;
    EXPECT_EQ(pixel(wide, 4, 0), rgba(0, 0, 0, 255));
}

TEST(GradientEffect, RadialRunsFromCentreToCorners) {
    tlGradientEffect e = gradient(2);
    tlPicture one = applied(e, noisyPicture(1, 1));
    EXPECT_EQ(pixel(one, 0, 0), rgba(0, 0, 0, 255));

    tlPicture out = applied(e, noisyPicture(5, 5));
    EXPECT_EQ(pixel(out, 2, 2), rgba(0, 0, 0, 255));
    for (int32_t corner : {0, 4}) EXPECT_EQ(pixel(out, corner, 4 - corner), rgba(255, 255, 255, 255));
    // d = 1, R = sqrt(8): t = trunc(256 / 2.828…) = 90, (255 × 90) >> 8 = 89.
    EXPECT_EQ(pixel(out, 1, 2), rgba(89, 89, 89, 255));

    // A gray 16-bit picture uses t out of 65536.
    tlPicture gray = applied(e, noisyPicture(5, 5, kGray16));
    uint32_t t = static_cast<uint32_t>(std::trunc(1.0 * 65536 / std::sqrt(8.0)));
    EXPECT_EQ(load16(gray.pixelAddress(1, 2)), (65535u * t) >> 16);
}

TEST(GradientEffect, TranslucentRowsFadeOverTheDestination) {
    // One row of c1 alpha 128 over a 3-channel picture: opacity 128 × 257,
    // d = 128, so 0 becomes (128 × 200) >> 8 = 100.
    tlGradientEffect e = gradient(0, tlColour::rgba(200, 0, 0, 128), tlColour::rgba(0, 0, 0, 0));
    tlPicture source;
    ASSERT_TRUE(source.create(3, 1, kRGB8));
    source.fill(tlColour::rgb(0, 0, 0));
    tlPicture out = applied(e, source);
    EXPECT_EQ(out.pixelAddress(2, 0)[0], 100);

    // Draw mode 4 (add) lays the ramp on top of what is there.
    tlGradientEffect add = gradient(0, tlColour::rgb(10, 10, 10), tlColour::rgb(10, 10, 10));
    add.drawMode = 4;
    source.fill(tlColour::rgb(50, 60, 250));
    tlPicture sum = applied(add, source);
    EXPECT_EQ(sum.pixelAddress(0, 0)[0], 60);
    EXPECT_EQ(sum.pixelAddress(0, 0)[2], 255);
}

TEST(GradientEffect, UnsupportedInputPaintsNothing) {
    tlPicture indexed;
    ASSERT_TRUE(indexed.create(4, 4, kIndexed8));
    tlGradientEffect e = gradient(0);
    EXPECT_TRUE(sameFormatAndPixels(applied(e, indexed), indexed));

    tlPicture source = noisyPicture(5, 3);
    for (int32_t shape : {-1, 5, INT_MAX, INT_MIN}) {
        tlGradientEffect bad = gradient(shape);
        EXPECT_TRUE(sameFormatAndPixels(applied(bad, source), source)) << shape;
    }
    // Every shape on every supported format and awkward sizes stays in bounds.
    for (int32_t shape = 0; shape <= 4; ++shape) {
        for (tlColourModel model : {tlColourModel::RGB, tlColourModel::Gray}) {
            for (int32_t bits : {8, 16}) {
                for (int32_t channels : {1, 2}) {
                    int32_t c = model == tlColourModel::RGB ? channels + 2 : channels;
                    tlGradientEffect g = gradient(shape, tlColour::rgba(1, 2, 3, 90), tlColour::rgba(250, 9, 7, 200));
                    tlPicture a = applied(g, noisyPicture(7, 3, tlPixelFormat{model, bits, c}));
                    tlPicture b = applied(g, noisyPicture(7, 3, tlPixelFormat{model, bits, c}));
                    EXPECT_TRUE(sameFormatAndPixels(a, b));
                    applied(g, noisyPicture(1, 1, tlPixelFormat{model, bits, c}));
                }
            }
        }
    }
}

TEST(GradientEffect, ObserverSeesEveryRowAndMayStop) {
    tlPicture source = noisyPicture(4, 6);
    tlPicture destination(source);
    tlGradientEffect e = gradient(1);
    CountingProgress stop(2);
    EXPECT_FALSE(e.apply(source, destination, &stop));
    EXPECT_EQ(stop.total, 5);
    EXPECT_EQ(stop.steps, 2);
    EXPECT_EQ(pixel(destination, 3, 1), rgba(255, 255, 255, 255));
    EXPECT_EQ(pixel(destination, 3, 2), pixel(source, 3, 2));

    CountingProgress all(100);
    tlPicture full(source);
    EXPECT_TRUE(e.apply(source, full, &all));
    EXPECT_EQ(all.steps, 6);
}

TEST(GradientPatternEffect, TriangleBandsRunBackInOddPeriods) {
    tlGradientPatternEffect e = pattern(0, 4, 0);
    tlPicture out = applied(e, noisyPicture(3, 8));
    const uint8_t levels[8] = {0, 85, 170, 255, 255, 170, 85, 0};  // t = 0 1 2 3 3 2 1 0
    for (int32_t y = 0; y < 8; ++y) EXPECT_EQ(pixel(out, 1, y), rgba(levels[y], levels[y], levels[y], 255)) << y;
}

TEST(GradientPatternEffect, SawtoothStripesRestartEveryPeriod) {
    tlGradientPatternEffect e = pattern(1, 4, 1);
    e.colour2 = tlColour::rgba(255, 255, 255, 255);
    tlPicture out = applied(e, noisyPicture(8, 2));
    const uint8_t levels[8] = {0, 85, 170, 255, 0, 85, 170, 255};
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(pixel(out, x, 1), rgba(levels[x], levels[x], levels[x], 255)) << x;
}

TEST(GradientPatternEffect, BandOpacityFadesOverTheWholeRectangle) {
    // c1.A = 255 at the top, c2.A = 0 at the bottom of 3 rows: the middle row
    // has opacity (0 + 255) × 257 / 2 = 32767, so d = 127; the bottom row 0.
    tlGradientPatternEffect e = pattern(0, 2, 1);
    e.colour1 = tlColour::rgba(200, 200, 200, 255);
    e.colour2 = tlColour::rgba(200, 200, 200, 0);
    tlPicture source;
    ASSERT_TRUE(source.create(2, 3, kRGB8));
    source.fill(tlColour::rgb(0, 0, 0));
    tlPicture out = applied(e, source);
    EXPECT_EQ(out.pixelAddress(0, 0)[0], 200);
    EXPECT_EQ(out.pixelAddress(0, 1)[0], (127 * 200) >> 8);
    EXPECT_EQ(out.pixelAddress(0, 2)[0], 0);
}

TEST(GradientPatternEffect, RingsFoldAroundTheCentre) {
    // Width 9, one row: d = 4 3 2 1 0 1 2 3 4; period 3 triangle folds
    // t = 3 → 2 and 4 → 1; lerp over n = 2 gives 0, 127, 255.
    tlGradientPatternEffect e = pattern(2, 3, 0);
    tlPicture out = applied(e, noisyPicture(9, 1));
    const uint8_t levels[9] = {127, 255, 255, 127, 0, 127, 255, 255, 127};
    for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(pixel(out, x, 0)[0], levels[x]) << x;

    // A plain reference on a 2-D picture, sawtooth and triangle.
    for (int32_t saw : {0, 1}) {
        tlGradientPatternEffect rings = pattern(2, 5, saw);
        tlPicture r = applied(rings, noisyPicture(11, 8));
        for (int32_t y = 0; y < 8; ++y) {
            for (int32_t x = 0; x < 11; ++x) {
                double d = std::sqrt((x - 5.0) * (x - 5.0) + (y - 3.5) * (y - 3.5));
                int64_t t = saw ? static_cast<int64_t>(std::fmod(d, 5.0)) : static_cast<int64_t>(std::fmod(d, 10.0));
                if (!saw && t >= 5) t = 10 - t - 1;
                uint8_t v = static_cast<uint8_t>(255 * t / 4);
                ASSERT_EQ(pixel(r, x, y), rgba(v, v, v, 255)) << x << "," << y << " saw " << saw;
            }
        }
    }
    // Ring positions beyond the first few thousand are computed the same way.
    tlGradientPatternEffect wide = pattern(2, 5000, 1);
    tlPicture line = applied(wide, noisyPicture(8201, 1));
    for (int32_t x = 0; x < 8201; ++x) {
        int64_t t = x < 4100 ? 4100 - x : x - 4100;
        ASSERT_EQ(pixel(line, x, 0)[0], 255 * t / 4999) << x;
    }
}

TEST(GradientPatternEffect, ShortPeriodsPaintTheFirstColour) {
    tlPicture source = noisyPicture(5, 4);
    for (int32_t period : {1, 0, -3, INT_MIN}) {
        for (int32_t orientation = 0; orientation <= 2; ++orientation) {
            for (int32_t saw : {0, 1}) {
                tlGradientPatternEffect e = pattern(orientation, period, saw);
                e.colour1 = tlColour::rgb(40, 50, 60);
                tlPicture out = applied(e, source);
                for (int32_t y = 0; y < 4; ++y) {
                    for (int32_t x = 0; x < 5; ++x) ASSERT_EQ(pixel(out, x, y), rgba(40, 50, 60, 255));
                }
            }
        }
    }
    // A single row of bands takes opacity c1.A × 257.
    tlGradientPatternEffect e = pattern(0, 1, 0);
    e.colour1 = tlColour::rgba(200, 0, 0, 128);
    tlPicture row;
    ASSERT_TRUE(row.create(2, 1, kRGB8));
    EXPECT_EQ(applied(e, row).pixelAddress(1, 0)[0], 100);
}

TEST(GradientPatternEffect, OnlyEightBitRgbIsPainted) {
    for (int32_t format : {0, 1, 2}) {
        tlPicture source = format == 0 ? noisyPicture(4, 3, kGrayA8)
                                       : (format == 1 ? noisyPicture(4, 3, kRGBA16) : noisyPicture(4, 3, kIndexed8));
        tlGradientPatternEffect e = pattern(1, 4, 0);
        EXPECT_TRUE(sameFormatAndPixels(applied(e, source), source));
    }
    tlPicture source = noisyPicture(4, 3);
    for (int32_t orientation : {-1, 3, INT_MAX}) {
        tlGradientPatternEffect e = pattern(orientation, 4, 0);
        EXPECT_TRUE(sameFormatAndPixels(applied(e, source), source));
    }
}

TEST(GradientPatternEffect, DivisorPeriodsTileSeamlessly) {
    // Width 24, period 4, triangle (quotient 6, even) and sawtooth: a picture
    // twice as wide or tall repeats the tile exactly.
    for (int32_t orientation : {0, 1}) {
        for (int32_t saw : {0, 1}) {
            tlGradientPatternEffect e = pattern(orientation, 4, saw);
            e.colour1 = tlColour::rgba(10, 200, 30, 255);
            e.colour2 = tlColour::rgba(250, 0, 90, 255);
            tlPicture tile = applied(e, noisyPicture(24, 24));
            tlPicture big = applied(e, noisyPicture(orientation == 1 ? 48 : 24, orientation == 0 ? 48 : 24));
            for (int32_t y = 0; y < big.height; ++y) {
                for (int32_t x = 0; x < big.width; ++x) ASSERT_EQ(pixel(big, x, y), pixel(tile, x % 24, y % 24));
            }
        }
    }
}

TEST(GradientPatternEffect, ExtremeParametersStayInBounds) {
    tlPicture source = noisyPicture(6, 5);
    for (int32_t period : {2, 3, INT_MAX, INT_MAX - 1}) {
        for (int32_t orientation = 0; orientation <= 2; ++orientation) {
            for (int32_t saw : {0, 1, -7}) {
                tlGradientPatternEffect e = pattern(orientation, period, saw);
                e.drawMode = saw == -7 ? 99 : 0;
                tlPicture a = applied(e, source);
                EXPECT_TRUE(sameFormatAndPixels(a, applied(e, source)));
                applied(e, noisyPicture(1, 1));
            }
        }
    }
    // With a huge period the ramp barely moves: the first colour throughout.
    tlGradientPatternEffect e = pattern(2, INT_MAX, 0);
    EXPECT_EQ(pixel(applied(e, source), 0, 0), rgba(0, 0, 0, 255));
}

namespace {

// FNV-1a over the visible bytes of every row, from the basis 1469598103934665603
// (one digit short of the usual one) that the pinned values below were taken with.
uint64_t gradientDigest(const tlPicture &p) { return digest(p, 1469598103934665603ull); }

}  // namespace

// Pinned digests of the real-valued shapes: the Linux and the Windows build
// must produce these same bytes.
TEST(GradientPatternEffect, RealValuedShapesGiveFixedBytes) {
    tlGradientEffect radial = gradient(2, tlColour::rgba(250, 10, 60, 200), tlColour::rgba(5, 240, 120, 90));
    tlGradientPatternEffect saw = pattern(2, 7, 1), triangle = pattern(2, 7, 0);
    saw.colour1 = triangle.colour1 = tlColour::rgba(30, 60, 90, 255);
    saw.colour2 = triangle.colour2 = tlColour::rgba(230, 160, 20, 120);
    EXPECT_EQ(gradientDigest(applied(radial, noisyPicture(37, 23))), 0xe91533c9f8781487ull);
    EXPECT_EQ(gradientDigest(applied(radial, noisyPicture(37, 23, kRGBA16))), 0xb1b6745dbc272454ull);
    EXPECT_EQ(gradientDigest(applied(saw, noisyPicture(41, 29))), 0x32fc8e91d12cfd70ull);
    EXPECT_EQ(gradientDigest(applied(triangle, noisyPicture(41, 29, kRGB8))), 0xf614f23a2e1a6454ull);
}
