// Pixelize, glass tile and negative: cell means, tile mappings and edge
// rules, seamless wrapped tiles, complements, progress and odd parameters.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "effects/filters/tiles.h"
#include "imaging/picture.h"
#include "tests/effects/effect_test_util.h"

namespace {

void setRgba(tlPicture &p, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    uint8_t *q = p.pixelAddress(x, y);
    q[0] = r, q[1] = g, q[2] = b, q[3] = a;
}

// Source column of glass-tile destination column x by tile extents: the tile
// of centre c = left + n × size covers c − half − odd .. c + half − 1.
int64_t glassByExtent(int32_t x, int32_t left, int32_t size) {
    const int32_t half = size / 2, odd = size % 2;
    const int64_t n = (static_cast<int64_t>(x) - left + half + odd) / size;
    const int64_t c = left + n * size;
    return c + 2 * (x - c);
}

}  // namespace

TEST(Pixelize, CellsCutAtTheEdgeAndProgressCountsCellRows) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 25, 25, kRGB8, 7));
    tlPicture dst(src);
    tlPixelizeEffect e;
    CountingProgress progress;
    ASSERT_TRUE(e.apply(src, dst, &progress));
    EXPECT_EQ(progress.total, 2);
    EXPECT_EQ(progress.steps, 3);
    // The bottom-right cell is 5 × 5 pixels from (20, 20).
    for (int32_t c = 0; c < 3; ++c) {
        uint32_t sum = 0;
        for (int32_t y = 20; y < 25; ++y)
            for (int32_t x = 20; x < 25; ++x) sum += px(src, x, y)[c];
        EXPECT_EQ(px(dst, 24, 24)[c], sum / 25);
        EXPECT_EQ(px(dst, 20, 20)[c], sum / 25);
    }
    // Cells of 10, 10 and 5 columns: a change of colour at 10 and 20 only.
    EXPECT_EQ(0, std::memcmp(px(dst, 0, 0), px(dst, 9, 9), 3));
    EXPECT_EQ(0, std::memcmp(px(dst, 10, 0), px(dst, 19, 9), 3));
    EXPECT_EQ(0, std::memcmp(px(dst, 20, 10), px(dst, 24, 19), 3));
}

TEST(Pixelize, CellLargerThanPictureTakesTheMeanOfEverything) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 3, 2, kGray16, 3));
    tlPicture dst(src);
    tlPixelizeEffect e;
    e.cellWidth = 1000;
    e.cellHeight = INT_MAX;
    ASSERT_TRUE(e.apply(src, dst, nullptr));
    uint64_t sum = 0;
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x) sum += px(src, x, y)[0] | (px(src, x, y)[1] << 8);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(px(dst, x, y)[0] | (px(dst, x, y)[1] << 8), sum / 6);
}

TEST(Pixelize, AlphaWeightsTheColoursAndTransparentCellsBecomeBlack) {
    tlPicture src;
    ASSERT_TRUE(src.create(4, 1, kRGBA8));
    setRgba(src, 0, 0, 200, 10, 0, 255);
    setRgba(src, 1, 0, 0, 250, 90, 0);  // invisible: adds nothing to the colour
    setRgba(src, 2, 0, 77, 77, 77, 0);
    setRgba(src, 3, 0, 99, 99, 99, 0);
    tlPicture dst(src);
    tlPixelizeEffect e;
    e.cellWidth = 2;
    e.cellHeight = 1;
    ASSERT_TRUE(e.apply(src, dst, nullptr));
    const uint8_t first[4] = {200, 10, 0, 127};
    const uint8_t second[4] = {0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(px(dst, 0, 0), first, 4));
    EXPECT_EQ(0, std::memcmp(px(dst, 1, 0), first, 4));
    EXPECT_EQ(0, std::memcmp(px(dst, 2, 0), second, 4));
    EXPECT_EQ(0, std::memcmp(px(dst, 3, 0), second, 4));
}

TEST(Pixelize, HugeOpaqueWhiteCellStaysWhite) {
    // 300 × 300 × 255 × 255 passes 32 bits.
    tlPicture src;
    ASSERT_TRUE(src.create(300, 300, kRGBA8));
    std::memset(src.store, 255, static_cast<size_t>(src.stride) * src.height);
    tlPicture dst(src);
    std::memset(dst.store, 0, static_cast<size_t>(dst.stride) * dst.height);
    tlPixelizeEffect e;
    e.cellWidth = 300;
    e.cellHeight = 300;
    ASSERT_TRUE(e.apply(src, dst, nullptr));
    EXPECT_TRUE(sameBytes(src, dst));
}

TEST(Pixelize, IndexedPicturesAndSizesBelowOnePaintNothing) {
    tlPicture indexed;
    ASSERT_TRUE(makePicture(indexed, 5, 5, kIndexed8, 1));
    tlPicture dst(indexed);
    tlPixelizeEffect e;
    EXPECT_TRUE(e.apply(indexed, dst, nullptr));
    EXPECT_TRUE(sameBytes(indexed, dst));

    tlPicture src;
    ASSERT_TRUE(makePicture(src, 5, 5, kRGBA8, 2));
    for (int32_t size : {0, -1, INT_MIN}) {
        tlPicture out(src);
        e.cellWidth = size;
        e.cellHeight = 3;
        EXPECT_TRUE(e.apply(src, out, nullptr));
        e.cellWidth = 3;
        e.cellHeight = size;
        EXPECT_TRUE(e.apply(src, out, nullptr));
        EXPECT_TRUE(sameBytes(src, out));
    }
}

TEST(Pixelize, OnlyTheSelectionIsWrittenAndAStopKeepsFinishedRows) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 9, 9, kRGB8, 5));
    src.selected = true;
    src.selection = {2, 3, 7, 20};  // reaches below the picture: cut at its edge
    tlPicture dst(src);
    tlPixelizeEffect e;
    e.cellWidth = 2;
    e.cellHeight = 2;
    CountingProgress progress;
    progress.stopAt = 1;
    EXPECT_FALSE(e.apply(src, dst, &progress));
    EXPECT_EQ(progress.steps, 1);
    for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < 9; ++x) {
            const bool written = x >= 2 && x < 7 && y >= 3 && y < 5;
            if (!written) {
                EXPECT_EQ(0, std::memcmp(px(src, x, y), px(dst, x, y), 3)) << x << "," << y;
            }
        }
    // The cut cell at column 6 is one pixel wide: its own colour.
    EXPECT_EQ(px(dst, 6, 3)[0], (px(src, 6, 3)[0] + px(src, 6, 4)[0]) / 2);
}

TEST(GlassTile, TwoByTwoTilesDoubleEverySecondPixel) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 6, 4, kRGBA16, 11));
    tlPicture dst(src);
    tlGlassTileEffect e;
    e.tileWidth = 2;
    e.tileHeight = 2;
    ASSERT_TRUE(e.apply(src, dst, nullptr));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(0, std::memcmp(px(dst, x, y), px(src, x & ~1, y & ~1), 8));
}

TEST(GlassTile, UnitTilesShrinkToHalfAndRepeatWithWrap) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 6, 4, kRGB8, 12));
    tlPicture dst(src);
    tlGlassTileEffect e;
    e.tileWidth = 1;
    e.tileHeight = 1;
    e.wrap = true;
    ASSERT_TRUE(e.apply(src, dst, nullptr));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(0, std::memcmp(px(dst, x, y), px(src, (2 * x) % 6, (2 * y) % 4), 3)) << x << "," << y;
    // Without wrap the far half repeats the last column and row.
    e.wrap = false;
    tlPicture clamped(src);
    ASSERT_TRUE(e.apply(src, clamped, nullptr));
    EXPECT_EQ(0, std::memcmp(px(clamped, 5, 3), px(src, 5, 3), 3));
    EXPECT_EQ(0, std::memcmp(px(clamped, 3, 0), px(src, 5, 0), 3));
    EXPECT_EQ(0, std::memcmp(px(clamped, 1, 2), px(src, 2, 3), 3));
}

TEST(GlassTile, IncrementalWalkMatchesTileExtents) {
    for (int32_t size = 2; size <= 9; ++size)
        for (int32_t left : {0, 3}) {
            tlPicture src;
            ASSERT_TRUE(makePicture(src, 23, 1, kGray8, size));
            src.selected = true;
            src.selection = {left, 0, 23, 1};
            tlPicture dst(src);
            tlGlassTileEffect e;
            e.tileWidth = size;
            e.tileHeight = 5;
            ASSERT_TRUE(e.apply(src, dst, nullptr));
            for (int32_t x = left; x < 23; ++x) {
                int64_t sx = glassByExtent(x, left, size);
                sx = sx < 0 ? 0 : (sx > 22 ? 22 : sx);
                EXPECT_EQ(px(dst, x, 0)[0], px(src, static_cast<int32_t>(sx), 0)[0]) << size << " " << x;
            }
        }
}

TEST(GlassTile, WrappedDivisorTilesAreSeamless) {
    const int32_t sizes[][2] = {{4, 3}, {3, 6}, {6, 2}, {12, 1}, {5, 3}};
    for (const auto &s : sizes) {
        tlPicture src;
        ASSERT_TRUE(makePicture(src, s[0] == 5 ? 15 : 12, 6, kRGBA8, 21));
        tlGlassTileEffect e;
        e.tileWidth = s[0];
        e.tileHeight = s[1];
        e.wrap = true;
        tlPicture dst(src), big, bigDst, expected;
        ASSERT_TRUE(e.apply(src, dst, nullptr));
        ASSERT_TRUE(tiled(src, big));
        tlPicture bigOut(big);
        ASSERT_TRUE(e.apply(big, bigOut, nullptr));
        ASSERT_TRUE(tiled(dst, expected));
        EXPECT_TRUE(sameBytes(bigOut, expected)) << s[0] << "x" << s[1];
    }
}

TEST(GlassTile, OddParametersNeverWriteOutsideOrHang) {
    const int32_t sizes[] = {0, -1, -7, 1, 3, 1000, INT_MAX, INT_MIN};
    for (int32_t w : {1, 7})
        for (int32_t tw : sizes)
            for (int32_t th : sizes)
                for (bool wrap : {false, true}) {
                    tlPicture src;
                    ASSERT_TRUE(makePicture(src, w, 1, kRGB8, 4));
                    tlPicture dst(src);
                    tlGlassTileEffect e;
                    e.tileWidth = tw;
                    e.tileHeight = th;
                    e.wrap = wrap;
                    EXPECT_TRUE(e.apply(src, dst, nullptr));
                    if (tw <= 0 || th <= 0) {
                        EXPECT_TRUE(sameBytes(src, dst));
                    }
                }
}

TEST(Negative, TwiceRestoresAndAlphaIsKept) {
    const tlPixelFormat formats[] = {kRGB8, kRGBA8, kRGB16, kRGBA16, kGray8, kGrayA8, kGray16, kGrayA16, kIndexed8};
    for (const auto &f : formats) {
        tlPicture src;
        ASSERT_TRUE(makePicture(src, 5, 3, f, 9));
        tlPicture once(src);
        tlNegativeEffect e;
        CountingProgress progress;
        ASSERT_TRUE(e.apply(src, once, &progress));
        EXPECT_EQ(progress.total, 2);
        EXPECT_EQ(progress.steps, 3);
        const int32_t bpp = src.bytesPerPixel(), alphaBytes = src.hasAlpha() ? f.bits / 8 : 0;
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t i = 0; i < 5 * bpp; ++i) {
                const bool isAlpha = i % bpp >= bpp - alphaBytes;
                const uint8_t want = isAlpha ? src.row(y)[i] : static_cast<uint8_t>(~src.row(y)[i]);
                EXPECT_EQ(once.row(y)[i], want);
            }
        // In place, as the edge filter runs it on its own result.
        ASSERT_TRUE(e.apply(once, once, nullptr));
        for (int32_t y = 0; y < 3; ++y) EXPECT_EQ(0, std::memcmp(src.row(y), once.row(y), 5 * bpp));
    }
    // 16-bit samples: 65535 − v.
    tlPicture deep;
    ASSERT_TRUE(deep.create(1, 1, kGray16));
    deep.store[0] = 0x34, deep.store[1] = 0x12;
    tlNegativeEffect e;
    ASSERT_TRUE(e.apply(deep, deep, nullptr));
    EXPECT_EQ(deep.store[0] | (deep.store[1] << 8), 65535 - 0x1234);
}

TEST(Negative, IndexedWithAlphaIsLeftAloneAndMismatchedPicturesRefused) {
    tlPicture src;
    ASSERT_TRUE(makePicture(src, 4, 4, kIndexedA8, 3));
    tlPicture dst(src);
    tlNegativeEffect e;
    EXPECT_TRUE(e.apply(src, dst, nullptr));
    EXPECT_TRUE(sameBytes(src, dst));
    tlPicture other;
    ASSERT_TRUE(makePicture(other, 3, 4, kIndexedA8, 3));
    EXPECT_FALSE(e.apply(src, other, nullptr));
}
