// Dot lattices and random dots: lattice positions, dot shapes, soft edges,
// clipping, wrapped random dots and degenerate parameters.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <set>
#include <utility>

#include "effects/core/random.h"
#include "effects/patterns/dots.h"
#include "imaging/colour.h"
#include "imaging/picture.h"
#include "tests/effects/effect_test_util.h"

namespace {

// White opaque RGBA picture of w × h (or another format when given).
void whitePicture(tlPicture &p, int32_t w, int32_t h, tlPixelFormat format = kRGBA8) {
    ASSERT_TRUE(p.create(w, h, format));
    p.fill(tlColour::rgba(255, 255, 255, 255));
}

bool painted(const tlPicture &p, int32_t x, int32_t y) { return p.pixelAddress(x, y)[0] != 255; }

std::set<std::pair<int32_t, int32_t>> paintedSet(const tlPicture &p) {
    std::set<std::pair<int32_t, int32_t>> out;
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x)
            if (painted(p, x, y)) out.insert({x, y});
    return out;
}

// Square cells of size s at the given top-left corners, clipped to w × h.
std::set<std::pair<int32_t, int32_t>> squares(std::initializer_list<std::pair<int32_t, int32_t>> corners, int32_t s,
                                              int32_t w, int32_t h) {
    std::set<std::pair<int32_t, int32_t>> out;
    for (auto c : corners)
        for (int32_t y = c.second; y < c.second + s; ++y)
            for (int32_t x = c.first; x < c.first + s; ++x)
                if (x >= 0 && y >= 0 && x < w && y < h) out.insert({x, y});
    return out;
}

}  // namespace

TEST(DotsEffect, LatticeOfSquaresOnTwentyByTen) {
    tlPicture source, destination;
    whitePicture(source, 20, 10);
    tlDotsEffect dots;
    dots.shape = 1;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_EQ(paintedSet(destination), squares({{0, 0}, {10, 0}}, 5, 20, 10));
    // Opaque black over white: black, alpha kept opaque.
    const uint8_t *p = destination.pixelAddress(2, 2);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[3], 255);
}

TEST(DotsEffect, ShapesBySize) {
    tlPicture source, destination;
    whitePicture(source, 6, 6);
    tlDotsEffect dots;
    dots.dotSize = 2;  // round needs at least 3
    dots.gap = 10;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_EQ(paintedSet(destination), squares({{0, 0}}, 2, 6, 6));

    dots.dotSize = 3;  // r = 1: dx² + dy² < 1.5 keeps the plus, not the corners
    EXPECT_TRUE(run(dots, source, destination));
    std::set<std::pair<int32_t, int32_t>> plus = {{1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}};
    EXPECT_EQ(paintedSet(destination), plus);
}

// The row runs of round dots agree with the pixel rule dx² + dy² < r² + 0.5.
TEST(DotsEffect, RoundRunsMatchThePixelRule) {
    for (int32_t s = 3; s <= 41; ++s) {
        tlPicture source, destination;
        whitePicture(source, s + 3, s + 3);
        tlDotsEffect dots;
        dots.dotSize = s;
        dots.gap = 50;
        dots.offsetX = 1;
        dots.offsetY = 2;
        ASSERT_TRUE(run(dots, source, destination));
        double r = (s - 1) / 2.0;
        for (int32_t y = 0; y < s + 3; ++y)
            for (int32_t x = 0; x < s + 3; ++x) {
                double dx = (x - 1) - r, dy = (y - 2) - r;
                bool inside = x >= 1 && y >= 2 && x < 1 + s && y < 2 + s && dx * dx + dy * dy < r * r + 0.5;
                ASSERT_EQ(painted(destination, x, y), inside) << "size " << s << " at " << x << "," << y;
            }
    }
}

TEST(DotsEffect, StaggeredRowsAndShift) {
    tlPicture source, destination;
    whitePicture(source, 30, 20);
    tlDotsEffect dots;
    dots.shape = 1;
    dots.dotSize = 4;
    dots.gap = 8;
    dots.staggered = 1;
    EXPECT_TRUE(run(dots, source, destination));
    // Rows at y = 0, 6, 12, 18; odd rows start 6 to the right; pitch 12.
    EXPECT_EQ(paintedSet(destination),
              squares({{0, 0}, {12, 0}, {24, 0}, {6, 6}, {18, 6}, {0, 12}, {12, 12}, {24, 12}, {6, 18}, {18, 18}}, 4,
                      30, 20));
}

TEST(DotsEffect, SoftEdge) {
    tlPicture source, destination;
    whitePicture(source, 7, 7);
    tlDotsEffect dots;
    dots.dotSize = 7;  // r = 3
    dots.antialias = true;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_EQ(destination.pixelAddress(3, 3)[0], 0);  // d = 0: full colour
    EXPECT_EQ(destination.pixelAddress(3, 1)[0], 0);  // d = 2 <= 2.5
    // d = 3: alpha trunc(255 × 0.5) = 127; (0 + (128 × 255 × 255) / 255) / 255 = 128.
    EXPECT_EQ(destination.pixelAddress(0, 3)[0], 128);
    EXPECT_EQ(destination.pixelAddress(0, 3)[3], 255);
    // d = sqrt(13) ≈ 3.606 is beyond r + 0.5: untouched.
    EXPECT_FALSE(painted(destination, 0, 1));

    // Squares and 16-bit pictures stay hard-edged.
    dots.shape = 1;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_EQ(paintedSet(destination), squares({{0, 0}}, 7, 7, 7));
    dots.shape = 0;
    tlPicture wide;
    whitePicture(wide, 7, 7, kRGB16);
    EXPECT_TRUE(run(dots, wide, destination));
    EXPECT_EQ(destination.pixelAddress(0, 3)[0], 0);
    EXPECT_EQ(destination.pixelAddress(0, 3)[1], 0);
    EXPECT_EQ(destination.pixelAddress(0, 1)[0], 255);  // corner region stays white
}

// A pitch dividing the picture tiles it: shifting by one pitch (with wrap
// around) gives the same picture.
TEST(DotsEffect, DivisorPitchTilesSeamlessly) {
    tlPicture source, destination;
    whitePicture(source, 24, 18);
    tlDotsEffect dots;
    dots.colour = tlColour::rgba(200, 10, 40, 180);
    dots.dotSize = 4;
    dots.gap = 2;
    dots.antialias = true;
    EXPECT_TRUE(run(dots, source, destination));
    for (int32_t y = 0; y < 18; ++y)
        for (int32_t x = 0; x < 24; ++x)
            ASSERT_EQ(
                std::memcmp(destination.pixelAddress(x, y), destination.pixelAddress((x + 6) % 24, (y + 6) % 18), 4),
                0);
}

TEST(DotsEffect, OffsetsAreClipped) {
    tlPicture source, destination;
    whitePicture(source, 20, 10);
    tlDotsEffect dots;
    dots.shape = 1;
    dots.offsetX = -3;
    dots.offsetY = -2;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_EQ(paintedSet(destination), squares({{-3, -2}, {7, -2}, {17, -2}, {-3, 8}, {7, 8}, {17, 8}}, 5, 20, 10));

    // Far-away starts are stepped over, not walked.
    dots.offsetX = INT_MIN;
    dots.offsetY = INT_MIN;
    EXPECT_TRUE(run(dots, source, destination));
    dots.staggered = 1;
    EXPECT_TRUE(run(dots, source, destination));
    dots.offsetX = INT_MAX;
    dots.offsetY = INT_MAX;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_TRUE(paintedSet(destination).empty());
}

TEST(DotsEffect, DegenerateParameters) {
    tlPicture source, destination;
    whitePicture(source, 9, 7);
    tlDotsEffect dots;
    dots.gap = -5;  // pitch 0
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_TRUE(paintedSet(destination).empty());
    dots.gap = -8;  // pitch −3
    dots.staggered = 1;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_TRUE(paintedSet(destination).empty());
    dots.dotSize = 0;
    dots.gap = 4;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_TRUE(paintedSet(destination).empty());
    dots.dotSize = -4;
    dots.gap = 10;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_TRUE(paintedSet(destination).empty());

    // A square larger than the picture covers all of it; pitch beyond 32 bits.
    dots.staggered = 0;
    dots.shape = 1;
    dots.dotSize = INT_MAX;
    dots.gap = INT_MAX;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_EQ(paintedSet(destination).size(), 63u);
    // A soft dot much larger than the picture, centred on its corner, covers
    // it in full colour.
    dots.shape = 0;
    dots.antialias = true;
    dots.offsetX = -1000;
    dots.offsetY = -1000;
    dots.dotSize = 2001;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_EQ(paintedSet(destination).size(), 63u);
    EXPECT_EQ(destination.pixelAddress(8, 6)[0], 0);
    dots.staggered = 1;
    dots.gap = 1 - 301;  // pitch 1, heavy overlap
    dots.dotSize = 301;
    dots.offsetX = 0;
    dots.offsetY = 0;
    tlPicture one;
    whitePicture(one, 1, 1);
    EXPECT_TRUE(run(dots, one, destination));

    // Gray pictures are left as they are.
    tlPicture gray;
    whitePicture(gray, 5, 5, kGray8);
    tlDotsEffect plain;
    EXPECT_TRUE(run(plain, gray, destination));
    EXPECT_TRUE(sameSizeAndBytes(gray, destination));
}

namespace {

// Candidate positions that get a dot, replaying the density test on a
// reference generator (fixed size, no jitter).
std::set<std::pair<int32_t, int32_t>> replayDots(uint32_t seed, int32_t w, int32_t h, int32_t size, int32_t density,
                                                 bool wrap) {
    tlRandom reference;
    reference.seed(seed);
    std::set<std::pair<int32_t, int32_t>> corners;
    int32_t start = wrap ? 0 : 1 - size;
    for (int32_t y = wrap ? 0 : 1 - size; y < h; ++y)
        for (int32_t x = start; x < w; ++x)
            if (static_cast<int32_t>(reference.below(static_cast<uint32_t>(size * size * 100))) < density)
                corners.insert({x, y});
    return corners;
}

}  // namespace

// Opaque square dots: the painted pixels are the union of the replayed
// dots, wrapped around the edges or clipped.
TEST(RandomDotsEffect, DotsLandWhereTheDensityTestSays) {
    const int32_t w = 20, h = 14, size = 5;
    bool crossed = false;
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        for (int32_t wrap = 0; wrap < 2; ++wrap) {
            tlPicture source, destination;
            whitePicture(source, w, h);
            tlRandomDotsEffect dots;
            dots.colour = tlColour::rgba(0, 0, 0, 255);
            dots.shape = 1;
            dots.dotSize = size;
            dots.density = 30;
            dots.seed = static_cast<int32_t>(seed);
            dots.wrap = wrap != 0;
            ASSERT_TRUE(run(dots, source, destination));
            std::set<std::pair<int32_t, int32_t>> expected;
            for (auto c : replayDots(seed, w, h, size, 30, wrap != 0)) {
                for (int32_t y = c.second; y < c.second + size; ++y)
                    for (int32_t x = c.first; x < c.first + size; ++x) {
                        if (wrap)
                            expected.insert({x % w, y % h});
                        else if (x >= 0 && y >= 0 && x < w && y < h)
                            expected.insert({x, y});
                    }
                if (wrap && (c.first + size > w || c.second + size > h)) crossed = true;
            }
            ASSERT_EQ(paintedSet(destination), expected) << "seed " << seed << " wrap " << wrap;
        }
    }
    EXPECT_TRUE(crossed);
}

TEST(RandomDotsEffect, WrappedDotContinuesOnTheOppositeEdge) {
    // Density above dotSize² × 100 puts a dot at every candidate; on a
    // 7-pixel-wide strip each 5-wide dot reaches around the right edge.
    tlPicture source, destination;
    whitePicture(source, 7, 1);
    tlRandomDotsEffect dots;
    dots.colour = tlColour::rgba(0, 0, 0, 1);  // nearly clear, so overlaps count
    dots.shape = 1;
    dots.dotSize = 5;
    dots.density = 2500;
    dots.wrap = true;
    ASSERT_TRUE(run(dots, source, destination));
    // Every column is covered by exactly 5 of the 7 dots, as (wrapping) a row
    // of 5 consecutive columns per dot.
    for (int32_t x = 1; x < 7; ++x) EXPECT_EQ(destination.pixelAddress(x, 0)[0], destination.pixelAddress(0, 0)[0]);
    EXPECT_LT(destination.pixelAddress(0, 0)[0], 255);
}

TEST(RandomDotsEffect, SameSeedSamePicture) {
    tlPicture source, a, b;
    whitePicture(source, 41, 29);
    tlRandomDotsEffect dots;
    dots.colour = tlColour::rgba(30, 60, 90, 160);
    dots.alphaJitter = 60;
    dots.sizeJitter = 20;
    dots.dotSize = 6;
    dots.density = 120;
    dots.seed = 77;
    for (int32_t wrap = 0; wrap < 2; ++wrap) {
        dots.wrap = wrap != 0;
        ASSERT_TRUE(run(dots, source, a));
        ASSERT_TRUE(run(dots, source, b));
        EXPECT_TRUE(sameSizeAndBytes(a, b));
        dots.seed = 78;
        ASSERT_TRUE(run(dots, source, b));
        EXPECT_FALSE(sameSizeAndBytes(a, b));
        dots.seed = 77;
    }
}

// Density 0 paints nothing and still draws one number per candidate.
TEST(RandomDotsEffect, DensityZeroDrawsPerCandidate) {
    tlPicture source, destination;
    whitePicture(source, 13, 9);
    tlRandomDotsEffect dots;
    dots.density = 0;
    dots.dotSize = 4;
    dots.seed = 5;
    ASSERT_TRUE(run(dots, source, destination));
    EXPECT_TRUE(sameSizeAndBytes(source, destination));
    tlRandom reference;
    reference.seed(5);
    for (int32_t i = 0; i < (13 + 3) * (9 + 3); ++i) reference.below(1600);
    EXPECT_EQ(sharedRandom().next(), reference.next());
}

TEST(RandomDotsEffect, DegenerateParameters) {
    tlPicture source, destination;
    whitePicture(source, 11, 6);
    tlRandomDotsEffect dots;
    dots.density = INT_MAX;  // a dot at every candidate
    dots.dotSize = 0;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_TRUE(sameSizeAndBytes(source, destination));
    dots.dotSize = -7;
    EXPECT_TRUE(run(dots, source, destination));
    dots.dotSize = 3;
    dots.sizeJitter = INT_MIN;
    dots.alphaJitter = INT_MIN;
    for (int32_t wrap = 0; wrap < 2; ++wrap) {
        dots.wrap = wrap != 0;
        EXPECT_TRUE(run(dots, source, destination));
    }
    dots.sizeJitter = 0;
    dots.alphaJitter = INT_MAX;
    dots.density = -1;
    EXPECT_TRUE(run(dots, source, destination));
    EXPECT_TRUE(sameSizeAndBytes(source, destination));

    // Sizes far beyond the picture, on a 1-pixel picture.
    tlPicture one;
    whitePicture(one, 1, 1);
    dots.density = 50;
    dots.dotSize = INT_MAX;
    dots.wrap = false;
    EXPECT_TRUE(run(dots, one, destination));
    dots.wrap = true;
    dots.dotSize = 300;
    dots.density = INT_MAX;
    EXPECT_TRUE(run(dots, one, destination));
    EXPECT_EQ(destination.pixelAddress(0, 0)[0], 0);

    // Only RGB 8-bit pictures are painted.
    tlPicture wide;
    whitePicture(wide, 4, 4, kRGBA16);
    dots.dotSize = 2;
    EXPECT_TRUE(run(dots, wide, destination));
    EXPECT_TRUE(sameSizeAndBytes(wide, destination));
}
