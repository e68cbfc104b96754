// Tests of the composer's helpers: divisor lists, random divisors with their
// draws counted against a second generator, complexity levels, styles, the
// local contrast measure and when stage 2 can still add a filter.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "compose/composer.h"
#include "effects/core/picture_layer.h"
#include "imaging/picture.h"
#include "tests/support/formats.h"
#include "tests/support/pictures.h"
#include "tests/support/row_pools.h"

namespace {

std::vector<int32_t> divisors(int32_t n, bool even) {
    tlDivisorList list;
    WallpaperComposer::listDivisors(n, even, list);
    return std::vector<int32_t>(list.values, list.values + list.count);
}

// Both generators seeded alike: equal states mean equal numbers of draws.
bool sameState(const tlRandom &a, const tlRandom &b) {
    return a.index == b.index && std::memcmp(a.state, b.state, sizeof a.state) == 0;
}

TEST(Divisors, ListsProperDivisorsInIncreasingOrder) {
    EXPECT_EQ(divisors(12, false), (std::vector<int32_t>{2, 3, 4, 6}));
    EXPECT_EQ(divisors(12, true), (std::vector<int32_t>{2, 3, 6}));
    EXPECT_EQ(divisors(4, false), (std::vector<int32_t>{2}));
    EXPECT_TRUE(divisors(9, true).empty());
    EXPECT_EQ(divisors(9, false), (std::vector<int32_t>{3}));
    EXPECT_EQ(divisors(36, false), (std::vector<int32_t>{2, 3, 4, 6, 9, 12, 18}));
    for (int32_t n : {-12, 0, 1, 2, 3, 5, 97, 65521}) EXPECT_TRUE(divisors(n, false).empty()) << n;
}

TEST(Divisors, MatchTrialDivisionAndStayWithinTheList) {
    for (int32_t n = 0; n <= 2000; ++n)
        for (bool even : {false, true}) {
            std::vector<int32_t> expected;
            for (int32_t d = 2; d <= n / 2; ++d)
                if (n % d == 0 && (!even || (n / d) % 2 == 0)) expected.push_back(d);
            ASSERT_EQ(divisors(n, even), expected) << n << " " << even;
        }
    // The most divisors any 32-bit number has: 1600, so 1598 proper ones.
    std::vector<int32_t> many = divisors(2095133040, false);
    ASSERT_EQ(many.size(), 1598u);
    EXPECT_EQ(many.front(), 2);
    EXPECT_EQ(many.back(), 2095133040 / 2);
    for (size_t i = 1; i < many.size(); ++i) ASSERT_LT(many[i - 1], many[i]);
    EXPECT_EQ(divisors(2147483647, false).size(), 0u);  // a prime
}

TEST(RandomDivisor, DrawsOnceAmongTwoOrMoreCandidates) {
    for (uint32_t seed : {1u, 2u, 77u, 5489u}) {
        WallpaperComposer composer;
        tlRandom reference;
        composer.random.seed(seed);
        reference.seed(seed);
        const int32_t all[4] = {2, 3, 4, 6};
        EXPECT_EQ(composer.randomDivisor(12, false), all[reference.below(4)]);
        EXPECT_TRUE(sameState(composer.random, reference));
        const int32_t even[3] = {2, 3, 6};
        EXPECT_EQ(composer.randomDivisor(12, true), even[reference.below(3)]);
        EXPECT_TRUE(sameState(composer.random, reference));
    }
}

TEST(RandomDivisor, NoDrawForOneCandidateOrNone) {
    WallpaperComposer composer;
    composer.random.seed(3);
    EXPECT_EQ(composer.randomDivisor(4, false), 2);
    EXPECT_EQ(composer.randomDivisor(9, true), 0);
    EXPECT_EQ(composer.randomDivisor(97, false), 0);
    EXPECT_EQ(composer.randomDivisor(3, false), 0);
    EXPECT_EQ(composer.randomDivisor(0, false), 0);
    EXPECT_EQ(composer.randomDivisor(-8, false), 0);
    EXPECT_EQ(composer.random.index, 624);  // still untouched since the seed
}

TEST(Composer, StartsAtLevelOneWithWrapAndKeepsUnknownLevels) {
    WallpaperComposer composer;
    EXPECT_EQ(composer.complexity, 1);
    EXPECT_EQ(composer.maxPatterns, 3);
    EXPECT_EQ(composer.maxFilters, 2);
    EXPECT_TRUE(composer.wrap);
    composer.setComplexity(0);
    EXPECT_EQ(composer.maxPatterns, 2);
    EXPECT_EQ(composer.maxFilters, 0);
    composer.setComplexity(2);
    EXPECT_EQ(composer.maxPatterns, 3);
    EXPECT_EQ(composer.maxFilters, 3);
    composer.setComplexity(3);
    composer.setComplexity(-1);
    EXPECT_EQ(composer.complexity, 2);
    EXPECT_EQ(composer.maxFilters, 3);
}

// A style needs a known level, known families and a family that can paint
// the first layer; a refused style composes nothing and draws nothing.
TEST(ComposeStyle, RefusedWithoutAFirstLayerFamily) {
    const uint32_t firstLayer = 0x7, all = 0x3FF;
    const struct {
        int32_t complexity;
        uint32_t excluded;
        bool valid;
    } cases[] = {{2, 0, true},     {0, all & ~1u, true},       {1, all & ~4u, true}, {2, firstLayer, false},
                 {2, all, false},  {2, 0x400, false},          {3, 0, false},        {-1, 0, false},
                 {2, 0x3F8, true}, {2, firstLayer & ~2u, true}};
    for (const auto &c : cases) {
        const tlComposeStyle style = {c.complexity, c.excluded};
        EXPECT_EQ(style.isValid(), c.valid) << c.complexity << " " << c.excluded;
        WallpaperComposer composer;
        composer.random.seed(9);
        tlPictureLayer layer;
        ASSERT_TRUE(layer.create(8, 8, kRGBA8));
        EXPECT_EQ(composer.compose(layer, style), c.valid);
        if (!c.valid) {
            EXPECT_EQ(composer.random.index, 624);  // untouched since the seed
            EXPECT_EQ(layer.effects.count(), 0);
        }
    }
}

// For every small size, the rule stage 2 ends by agrees with what the sine
// wave (choice 2) and glass tile (12) rows can draw: a sine wave needs a
// divisor dx of W and either dx dividing H or a divisor of H; a glass tile
// a divisor of each. Edges or neon (6) need a contrasted picture; the swirl
// (1) adds one time in four, on any picture.
TEST(FiltersCanAdd, OnlyWhenARowCanCreateAnEffect) {
    for (int32_t w = 1; w <= 40; ++w)
        for (int32_t h = 1; h <= 40; ++h) {
            tlPicture p;
            ASSERT_TRUE(p.create(w, h, kRGBA8));
            const std::vector<int32_t> dw = divisors(w, false), dh = divisors(h, false);
            bool sine = false;
            for (int32_t d : dw) sine = sine || h % d == 0 || !dh.empty();
            EXPECT_EQ(WallpaperComposer::filtersCanAdd(1u << 2, p), sine) << w << "x" << h;
            EXPECT_EQ(WallpaperComposer::filtersCanAdd(1u << 12, p), !dw.empty() && !dh.empty()) << w << "x" << h;
            EXPECT_EQ(WallpaperComposer::filtersCanAdd(1u << 2 | 1u << 12, p), sine) << w << "x" << h;
        }
    tlPicture flat, checkered;
    ASSERT_TRUE(flat.create(7, 5, kRGBA8));
    ASSERT_TRUE(checkered.create(7, 5, kRGBA8));
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t i = 0; i < 28; ++i) checkered.row(y)[i] = (i % 4 == 3 || (i / 4 + y) % 2) ? 255 : 0;
    EXPECT_FALSE(WallpaperComposer::filtersCanAdd(1u << 6, flat));
    EXPECT_TRUE(WallpaperComposer::filtersCanAdd(1u << 6, checkered));
    EXPECT_TRUE(WallpaperComposer::filtersCanAdd(1u << 1, flat));
    EXPECT_FALSE(WallpaperComposer::filtersCanAdd(0, checkered));
    EXPECT_FALSE(WallpaperComposer::filtersCanAdd(1u << 2 | 1u << 6 | 1u << 12, flat));
}

void put(tlPicture &p, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    uint8_t *q = p.pixelAddress(x, y);
    q[0] = r;
    q[1] = g;
    q[2] = b;
    if (p.channels == 4) q[3] = a;
}

TEST(LocalContrast, SinglePeakWithClippedNeighbourhoods) {
    // Centre R 90 in a black 3x3 picture: the centre differs from its mean
    // 10 by 80, corners (4 neighbours) from 22 by 22, edges (6) from 15 by
    // 15: (4 * 22 + 4 * 15 + 80) / 9 = 25.
    tlPicture p;
    ASSERT_TRUE(p.create(3, 3, kRGB8));
    put(p, 1, 1, 90, 0, 0);
    EXPECT_EQ(WallpaperComposer::localContrast(p), 25);
    // Spread over three channels the sum triples.
    put(p, 1, 1, 90, 90, 90);
    EXPECT_EQ(WallpaperComposer::localContrast(p), 76);  // (4*66 + 4*45 + 240) / 9
}

TEST(LocalContrast, TransparentPixelsAreLeftOut) {
    tlPicture p;
    ASSERT_TRUE(p.create(2, 1, kRGBA8));
    put(p, 0, 0, 200, 0, 0, 255);
    put(p, 1, 0, 0, 0, 0, 0);  // transparent: neither counted nor a neighbour
    EXPECT_EQ(WallpaperComposer::localContrast(p), 0);
    put(p, 1, 0, 0, 0, 0, 1);
    EXPECT_EQ(WallpaperComposer::localContrast(p), 100);  // both differ from 100 by 100
    put(p, 0, 0, 0, 0, 0, 0);
    put(p, 1, 0, 0, 0, 0, 0);
    EXPECT_EQ(WallpaperComposer::localContrast(p), 0);  // nothing counted
}

TEST(LocalContrast, OnlyRgbEightBitPictures) {
    tlPicture flat, gray, deep, empty;
    ASSERT_TRUE(flat.create(5, 4, kRGBA8));
    EXPECT_EQ(WallpaperComposer::localContrast(flat), 0);
    ASSERT_TRUE(gray.create(4, 4, kGray8));
    ASSERT_TRUE(deep.create(4, 4, kRGBA16));
    for (tlPicture *p : {&gray, &deep})
        for (int32_t y = 0; y < 4; ++y)
            for (int32_t i = 0; i < p->stride; ++i) p->row(y)[i] = static_cast<uint8_t>((i + y) % 2 ? 255 : 0);
    EXPECT_EQ(WallpaperComposer::localContrast(gray), 0);
    EXPECT_EQ(WallpaperComposer::localContrast(deep), 0);
    EXPECT_EQ(WallpaperComposer::localContrast(empty), 0);
}

// Rows split over the row pool, each worker summing its own totals: the
// same measure on any number of threads.
TEST(LocalContrast, SameOnEveryThreadCount) {
    uint32_t seed = 5;
    const int32_t sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {5, 3}, {61, 47}};
    for (const tlPixelFormat &format : {kRGB8, kRGBA8})
        for (const auto &size : sizes) {
            tlPicture p;
            ASSERT_TRUE(randomPicture(p, size[0], size[1], format, ++seed));
            const int32_t alone = WallpaperComposer::localContrast(p);
            for (int32_t threads : kThreadCounts) {
                RowPoolScope scope(&testRowPool(threads));
                EXPECT_EQ(WallpaperComposer::localContrast(p), alone) << size[0] << "x" << size[1];
            }
        }
}

TEST(LocalContrast, LargePictureSumsDoNotOverflow) {
    // A 1-pixel black and white checkerboard: an inner white pixel differs
    // from its mean 141 by 114 per channel, a black one from 113 by 113, so
    // 9 million pixels sum to about 3 * 10^9, beyond 32 bits.
    tlPicture p;
    ASSERT_TRUE(p.create(3000, 3000, kRGBA8));
    for (int32_t y = 0; y < p.height; ++y) {
        uint8_t *row = p.row(y);
        for (int32_t x = 0; x < p.width; ++x) {
            const uint8_t v = (x + y) % 2 ? 255 : 0;
            row[4 * x] = row[4 * x + 1] = row[4 * x + 2] = v;
            row[4 * x + 3] = 255;
        }
    }
    const int32_t contrast = WallpaperComposer::localContrast(p);
    EXPECT_GE(contrast, 339);
    EXPECT_LE(contrast, 342);
}

}  // namespace
