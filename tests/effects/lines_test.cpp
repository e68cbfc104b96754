// Parallel lines, grid and checker effects: run positions, colour laid over
// the source, clipping, seamless tiles and degenerate parameters.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "effects/patterns/lines.h"
#include "imaging/blend.h"
#include "imaging/colour.h"
#include "tests/effects/effect_test_util.h"

namespace {

tlPicture whitePicture(int32_t w, int32_t h, int32_t channels = 4) {
    tlPicture p;
    EXPECT_TRUE(p.create(w, h, tlPixelFormat::rgb(8, channels)));
    p.fill(tlColour::rgba(255, 255, 255, 255));
    return p;
}

// A picture whose bytes follow a fixed pseudo-random sequence.
tlPicture noisyPicture(int32_t w, int32_t h, tlPixelFormat format = kRGBA8) { return seededPicture(777, w, h, format); }

// Row y of a picture painted black over white: 'X' painted, '.' untouched.
std::string mask(const tlPicture &p, int32_t y) {
    std::string s;
    for (int32_t x = 0; x < p.width; ++x) s += p.pixelAddress(x, y)[0] == 0 ? 'X' : '.';
    return s;
}

// Picture tiled 2 × 2 by itself is the same as the pattern painted on twice the size.
void expectSeamless(tlEffect &effect, int32_t w, int32_t h) {
    tlPicture tile = applied(effect, whitePicture(w, h));
    tlPicture big = applied(effect, whitePicture(2 * w, 2 * h));
    for (int32_t y = 0; y < 2 * h; ++y) {
        for (int32_t x = 0; x < 2 * w; ++x) {
            ASSERT_EQ(std::memcmp(big.pixelAddress(x, y), tile.pixelAddress(x % w, y % h), 4), 0) << x << "," << y;
        }
    }
}

tlParallelLinesEffect lines(int32_t vertical, int32_t lineWidth, int32_t gap, int32_t offset) {
    tlParallelLinesEffect e;
    e.vertical = vertical;
    e.lineWidth = lineWidth;
    e.gap = gap;
    e.offset = offset;
    return e;
}

tlGridEffect grid(int32_t lineWidth, int32_t gapX, int32_t gapY, int32_t offsetX, int32_t offsetY) {
    tlGridEffect e;
    e.lineWidth = lineWidth;
    e.gapX = gapX;
    e.gapY = gapY;
    e.offsetX = offsetX;
    e.offsetY = offsetY;
    return e;
}

tlCheckerEffect checker(int32_t w, int32_t h, tlColour c1 = tlColour::rgba(0, 0, 0, 255),
                        tlColour c2 = tlColour::rgba(255, 255, 255, 255)) {
    tlCheckerEffect e;
    e.cellWidth = w;
    e.cellHeight = h;
    e.colour1 = c1;
    e.colour2 = c2;
    return e;
}

}  // namespace

TEST(ParallelLinesEffect, HorizontalGroupsStartEveryStep) {
    tlParallelLinesEffect e = lines(0, 2, 3, 1);
    tlPicture out = applied(e, whitePicture(5, 10));
    std::string painted;
    for (int32_t y = 0; y < 10; ++y) painted += mask(out, y) == "XXXXX" ? 'X' : (mask(out, y) == "....." ? '.' : '?');
    EXPECT_EQ(painted, ".XX...XX..");

    tlPicture source = whitePicture(5, 10);
    tlPicture destination(source);
    CountingProgress progress(100);
    EXPECT_TRUE(e.apply(source, destination, &progress));
    EXPECT_EQ(progress.total, 1);  // (10 − 0 − 1 − 1) / 5
    EXPECT_EQ(progress.steps, 2);
}

TEST(ParallelLinesEffect, VerticalRunsAreCutAtTheEdge) {
    tlParallelLinesEffect e = lines(1, 3, 1, 0);
    tlPicture out = applied(e, whitePicture(10, 3));
    for (int32_t y = 0; y < 3; ++y) EXPECT_EQ(mask(out, y), "XXX.XXX.XX");

    tlPicture source = whitePicture(10, 3);
    tlPicture destination(source);
    CountingProgress stop(2);
    EXPECT_FALSE(e.apply(source, destination, &stop));
    EXPECT_EQ(stop.total, 2);
    EXPECT_EQ(mask(destination, 1), "XXX.XXX.XX");
    EXPECT_EQ(mask(destination, 2), "..........");
}

TEST(ParallelLinesEffect, NegativeOffsetsAndOverlapsAreClipped) {
    tlParallelLinesEffect v = lines(1, 3, 1, -2);
    EXPECT_EQ(mask(applied(v, whitePicture(10, 1)), 0), "X.XXX.XXX.");
    tlParallelLinesEffect far = lines(1, 3, 1, INT_MIN);  // −2^31 is a multiple of 4
    EXPECT_EQ(mask(applied(far, whitePicture(10, 1)), 0), "XXX.XXX.XX");

    tlParallelLinesEffect h = lines(0, 2, 3, -1);  // groups at −1, 4, 9
    tlPicture out = applied(h, whitePicture(1, 10));
    std::string painted;
    for (int32_t y = 0; y < 10; ++y) painted += mask(out, y);
    EXPECT_EQ(painted, "X...XX...X");

    // Lines wider than their step overlap; the rows still end at the bottom.
    tlParallelLinesEffect overlap = lines(0, 5, -3, 8);
    tlPicture overlapped = applied(overlap, whitePicture(1, 10));
    painted.clear();
    for (int32_t y = 0; y < 10; ++y) painted += mask(overlapped, y);
    EXPECT_EQ(painted, "........XX");
}

TEST(ParallelLinesEffect, ColourIsLaidOverTheSource) {
    // (200 × 128 + 127 × 100) / 255 = 150 on a 3-channel picture; with four
    // channels the source alpha 255 stays and the colour channel is the same.
    tlParallelLinesEffect e = lines(0, 1, 1, 0);
    e.colour = tlColour::rgba(200, 0, 0, 128);
    for (int32_t channels : {3, 4}) {
        tlPicture source;
        ASSERT_TRUE(source.create(2, 2, tlPixelFormat::rgb(8, channels)));
        source.fill(tlColour::rgba(100, 100, 100, 255));
        tlPicture out = applied(e, source);
        EXPECT_EQ(out.pixelAddress(1, 0)[0], 150);
        EXPECT_EQ(out.pixelAddress(1, 0)[1], 49);  // 127 × 100 / 255
        EXPECT_EQ(out.pixelAddress(1, 1)[0], 100);
        if (channels == 4) {
            EXPECT_EQ(out.pixelAddress(1, 0)[3], 255);
        }
    }
}

TEST(GridEffect, LineRowsAndSegmentsFollowGapsAndOffsets) {
    tlGridEffect e = grid(1, 4, 4, 0, 0);
    tlPicture out = applied(e, whitePicture(11, 11));
    for (int32_t y = 0; y < 11; ++y) {
        EXPECT_EQ(mask(out, y), y % 5 == 0 ? "XXXXXXXXXXX" : "X....X....X") << y;
    }

    tlGridEffect shifted = grid(2, 3, 2, 1, 2);
    tlPicture cells = applied(shifted, whitePicture(9, 8));
    const char *expected[8] = {".XX...XX.", ".XX...XX.", "XXXXXXXXX", "XXXXXXXXX",
                               ".XX...XX.", ".XX...XX.", "XXXXXXXXX", "XXXXXXXXX"};
    for (int32_t y = 0; y < 8; ++y) EXPECT_EQ(mask(cells, y), expected[y]) << y;

    // A negative offsetX clips the first segment; a negative offsetY means no
    // leading gap rows.
    tlGridEffect negative = grid(2, 3, 3, -1, -4);
    tlPicture clippedGrid = applied(negative, whitePicture(7, 6));
    const char *clipped[6] = {"XXXXXXX", "XXXXXXX", "X...XX.", "X...XX.", "X...XX.", "XXXXXXX"};
    for (int32_t y = 0; y < 6; ++y) EXPECT_EQ(mask(clippedGrid, y), clipped[y]) << y;
}

TEST(CheckerEffect, CellsAlternateAndTheLastOnesAreCut) {
    tlCheckerEffect e = checker(3, 3);
    tlPicture out = applied(e, noisyPicture(10, 10));
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            uint8_t expected = ((x / 3 + y / 3) % 2 == 0) ? 0 : 255;
            ASSERT_EQ(out.pixelAddress(x, y)[0], expected) << x << "," << y;
            ASSERT_EQ(out.pixelAddress(x, y)[3], 255);
        }
    }

    tlPicture source = noisyPicture(10, 10);
    tlPicture destination(source);
    CountingProgress stop(2);
    EXPECT_FALSE(e.apply(source, destination, &stop));
    EXPECT_EQ(stop.total, 3);                           // (10 − 1) / 3
    EXPECT_EQ(destination.pixelAddress(0, 5)[0], 255);  // band 1, column 0: colour2
    EXPECT_EQ(std::memcmp(destination.pixelAddress(0, 6), source.pixelAddress(0, 6), 4), 0);
}

TEST(CheckerEffect, TransparentColoursKeepOrPremultiplyTheSource) {
    tlCheckerEffect e = checker(2, 2, tlColour::rgba(9, 9, 9, 0), tlColour::rgba(250, 250, 250, 0));
    tlPicture flat = noisyPicture(5, 4, kRGB8);
    EXPECT_TRUE(sameFormatAndPixels(applied(e, flat), flat));

    tlPicture source = noisyPicture(5, 4);
    tlPicture out = applied(e, source);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            const uint8_t *s = source.pixelAddress(x, y), *d = out.pixelAddress(x, y);
            EXPECT_EQ(d[3], s[3]);
            for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(d[c], s[c] * s[3] / 255) << x << "," << y;
        }
    }
}

TEST(CheckerEffect, InlineCellsMatchTheSpanPainters) {
    const tlColour colours[2] = {tlColour::rgba(200, 13, 77, 140), tlColour::rgba16(1000, 65535, 30000, 51234)};
    for (tlColourModel model : {tlColourModel::RGB, tlColourModel::Gray}) {
        for (int32_t bits : {8, 16}) {
            for (int32_t alpha : {0, 1}) {
                int32_t channels = (model == tlColourModel::RGB ? 3 : 1) + alpha;
                tlCheckerEffect e = checker(4, 3, colours[0], colours[1]);
                tlPicture source = noisyPicture(13, 7, tlPixelFormat{model, bits, channels});
                tlPicture out = applied(e, source);
                tlPicture reference(source);
                tlSpanPainter painter = spanPainter(tlPixelFormat{model, bits, channels});
                uint8_t pixels[2][8];
                ASSERT_TRUE(colours[0].toPicturePixel(reference, pixels[0]));
                ASSERT_TRUE(colours[1].toPicturePixel(reference, pixels[1]));
                for (int32_t y = 0; y < 7; ++y) {
                    for (int32_t x = 0; x < 13; ++x) {
                        painter(reference.pixelAddress(x, y), source.pixelAddress(x, y), 1,
                                pixels[(x / 4 + y / 3) % 2]);
                    }
                }
                EXPECT_TRUE(sameFormatAndPixels(out, reference)) << model << " " << bits << " " << channels;
            }
        }
    }
}

TEST(LinePatterns, DivisorSizesContinueAcrossTheEdges) {
    tlCheckerEffect c = checker(6, 4);  // 24 / 6 = 4 and 16 / 4 = 4 cells: even counts
    expectSeamless(c, 24, 16);
    tlCheckerEffect left = checker(6, 4);
    tlPicture tile = applied(left, whitePicture(24, 16));
    EXPECT_NE(tile.pixelAddress(0, 0)[0], tile.pixelAddress(23, 0)[0]);
    EXPECT_NE(tile.pixelAddress(0, 0)[0], tile.pixelAddress(0, 15)[0]);

    tlParallelLinesEffect v = lines(1, 3, 5, 0);  // 3 + 5 divides 24
    expectSeamless(v, 24, 16);
    tlParallelLinesEffect h = lines(0, 1, 3, 0);  // 1 + 3 divides 16
    expectSeamless(h, 24, 16);
    tlGridEffect g = grid(2, 4, 2, 0, 0);  // 6 divides 24, 4 divides 16
    expectSeamless(g, 24, 16);
}

TEST(LinePatterns, SameParametersGiveTheSameBytes) {
    tlPicture source = noisyPicture(17, 9);
    tlParallelLinesEffect l = lines(1, 2, 3, 1);
    l.colour = tlColour::rgba(10, 20, 30, 99);
    EXPECT_TRUE(sameFormatAndPixels(applied(l, source), applied(l, source)));
    tlGridEffect g = grid(1, 2, 3, 1, 1);
    g.colour = tlColour::rgba(200, 20, 30, 160);
    EXPECT_TRUE(sameFormatAndPixels(applied(g, source), applied(g, source)));
    tlCheckerEffect c = checker(3, 2, tlColour::rgba(1, 2, 3, 64), tlColour::rgba(90, 80, 70, 184));
    EXPECT_TRUE(sameFormatAndPixels(applied(c, source), applied(c, source)));
}

TEST(LinePatterns, DegenerateParametersNeverPaintOutside) {
    tlPicture source = noisyPicture(7, 5);
    // Steps or sizes that are not positive paint nothing.
    for (auto wg : std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {0, 3}, {-2, 5}, {3, -3}, {2, -5}}) {
        for (int32_t vertical : {0, 1}) {
            tlParallelLinesEffect l = lines(vertical, wg.first, wg.second, 0);
            EXPECT_TRUE(sameFormatAndPixels(applied(l, source), source));
        }
        tlGridEffect gx = grid(wg.first, wg.second, 1, 0, 0);
        EXPECT_TRUE(sameFormatAndPixels(applied(gx, source), source));
        tlGridEffect gy = grid(wg.first, 1, wg.second, 0, 0);
        EXPECT_TRUE(sameFormatAndPixels(applied(gy, source), source));
    }
    for (int32_t size : {0, -1, INT_MIN}) {
        tlCheckerEffect a = checker(size, 3), b = checker(3, size);
        EXPECT_TRUE(sameFormatAndPixels(applied(a, source), source));
        EXPECT_TRUE(sameFormatAndPixels(applied(b, source), source));
    }

    // Huge values and 1-pixel pictures stay in bounds and end.
    const int32_t extremes[] = {1, INT_MAX, INT_MIN, INT_MAX - 1, 1000000};
    for (int32_t a : extremes) {
        for (int32_t b : extremes) {
            for (int32_t vertical : {0, 1}) {
                tlParallelLinesEffect l = lines(vertical, a, b, b);
                applied(l, source);
                applied(l, noisyPicture(1, 1));
            }
            tlGridEffect g = grid(a, b, a, b, a);
            applied(g, source);
            applied(g, noisyPicture(1, 1));
            tlCheckerEffect c = checker(a, b);
            applied(c, source);
            applied(c, noisyPicture(1, 1));
        }
    }
    tlCheckerEffect big = checker(INT_MAX, INT_MAX);
    EXPECT_EQ(applied(big, noisyPicture(1, 1)).pixelAddress(0, 0)[0], 0);
}

TEST(LinePatterns, IndexedAndMismatchedPictures) {
    tlPicture indexed;
    ASSERT_TRUE(indexed.create(4, 3, kIndexed8));
    tlParallelLinesEffect l;
    tlGridEffect g;
    tlCheckerEffect c;
    for (tlEffect *e : std::vector<tlEffect *>{&l, &g, &c}) {
        EXPECT_TRUE(sameFormatAndPixels(applied(*e, indexed), indexed));
        tlPicture other = noisyPicture(5, 3);
        tlPicture destination = noisyPicture(4, 3);
        EXPECT_FALSE(e->apply(other, destination, nullptr));
    }
}
