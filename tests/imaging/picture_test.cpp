// Pictures: creation and its failures, conversion, copies and moves, fills
// with padding, block clipping, palettes and the pointer vector.
#include "imaging/colour.h"
#include "imaging/picture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "tests/support/formats.h"

namespace {

bool allZero(const uint8_t *p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i] != 0) return false;
    return true;
}

}  // namespace

TEST(Picture, StrideIsPaddedToFourBytes) {
    tlPicture p;
    ASSERT_TRUE(p.create(1, 1, kRGB8));
    EXPECT_EQ(p.stride, 4);
    ASSERT_TRUE(p.create(5, 1, kRGB8));
    EXPECT_EQ(p.stride, 16);
    EXPECT_EQ(p.bitsPerPixel, 24);
    EXPECT_EQ(strideFor(8, 3), 4);
    EXPECT_EQ(strideFor(64, 268435455), INT32_MAX - 7);
    EXPECT_EQ(strideFor(64, 268435456), -1);  // 2^31 bytes
    EXPECT_EQ(strideFor(64, INT32_MAX), -1);
}

TEST(Picture, CreateRejectsBadArguments) {
    tlPicture p;
    EXPECT_FALSE(p.create(0, 10, kRGBA8));
    EXPECT_FALSE(p.create(10, -1, kRGBA8));
    EXPECT_FALSE(p.create(10, 10, tlPixelFormat::rgb(8, 2)));
    EXPECT_FALSE(p.create(10, 10, tlPixelFormat{tlColourModel::Indexed, 16, 1}));
    EXPECT_FALSE(p.create(10, 10, tlPixelFormat::gray(8, 3)));
    EXPECT_FALSE(p.create(10, 10, tlPixelFormat{static_cast<tlColourModel>(3), 8, 1}));
    EXPECT_TRUE(p.isEmpty());
}

// Sizes whose store cannot exist fail cleanly and leave the picture as it was.
TEST(Picture, CreateFailsForUnallocatableSizes) {
    tlPicture p;
    ASSERT_TRUE(p.create(3, 2, kRGBA8));
    uint8_t *store = p.store;
    EXPECT_FALSE(p.create(3000000, 2000000, kRGBA8));      // 24 TB
    EXPECT_FALSE(p.create(INT32_MAX, INT32_MAX, kRGBA8));  // stride too wide
    EXPECT_FALSE(p.create(600000000, 1, kRGBA16));         // stride past 32 bits
    EXPECT_FALSE(p.create(100000, INT32_MAX, kGray8));
    EXPECT_FALSE(p.create(1 << 20, (1 << 18) + 1, kRGBA8));  // just above 1 TiB
    EXPECT_EQ(p.store, store);
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 2);
    EXPECT_EQ(p.channels, 4);
}

TEST(Picture, CreateZeroesStoreAndPalette) {
    for (const tlPixelFormat &f : kAllFormats) {
        tlPicture p;
        ASSERT_TRUE(p.create(7, 3, f));
        EXPECT_TRUE(allZero(p.store, static_cast<size_t>(p.stride) * 3));
        EXPECT_EQ(p.hasAlpha(), f.channels % 2 == 0);
        EXPECT_FALSE(p.selected);
        if (f.model == tlColourModel::Indexed) {
            ASSERT_NE(p.palette, nullptr);
            EXPECT_EQ(p.palette->count, 256);
            EXPECT_TRUE(allZero(p.palette->entries, 1024));
        } else {
            EXPECT_EQ(p.palette, nullptr);
        }
    }
}

TEST(Picture, ConvertKeepsPictureOnFailure) {
    tlPicture p;
    ASSERT_TRUE(p.create(3, 2, kRGBA8));
    const uint8_t px[4] = {10, 20, 30, 40};
    p.setPixel(2, 1, px);
    p.selected = true;
    p.selection = {1, 1, 2, 2};
    uint8_t *store = p.store;

    EXPECT_TRUE(p.convert(kRGBA8));
    EXPECT_EQ(p.store, store);
    EXPECT_FALSE(p.convert(kIndexed8));
    EXPECT_FALSE(p.convert(tlPixelFormat::rgb(8, 2)));
    EXPECT_FALSE(p.convert(tlPixelFormat::gray(16, 3)));
    EXPECT_EQ(p.store, store);
    EXPECT_EQ(p.model, tlColourModel::RGB);
    EXPECT_EQ(p.channels, 4);

    ASSERT_TRUE(p.convert(kGrayA8));
    EXPECT_EQ(p.bitsPerPixel, 16);
    EXPECT_EQ(p.stride, 8);
    uint8_t out[2];
    p.getPixel(2, 1, out);
    EXPECT_EQ(out[0], 18);
    EXPECT_EQ(out[1], 40);
    EXPECT_TRUE(p.selected);
    EXPECT_EQ(p.workRect().left, 1);

    ASSERT_TRUE(p.convert(kGray16));
    p.getPixel(2, 1, out);
    EXPECT_EQ(out[0] | out[1] << 8, 18 * 257);

    tlPicture empty;
    EXPECT_FALSE(empty.convert(kRGBA8));
}

TEST(Picture, CopyDuplicatesStorePaletteAndSelection) {
    tlPicture p;
    ASSERT_TRUE(p.create(5, 3, kIndexed8));
    p.palette->setEntry(3, 1, 2, 3);
    p.row(2)[4] = 3;
    p.selected = true;
    p.selection = {0, 1, 2, 3};
    tlPicture copy(p);
    ASSERT_FALSE(copy.isEmpty());
    EXPECT_NE(copy.store, p.store);
    EXPECT_EQ(std::memcmp(copy.store, p.store, static_cast<size_t>(p.stride) * 3), 0);
    ASSERT_NE(copy.palette, nullptr);
    EXPECT_NE(copy.palette, p.palette);
    EXPECT_EQ(copy.palette->entries[12], 1);
    EXPECT_TRUE(copy.selected);
    EXPECT_EQ(copy.selection.bottom, 3);

    tlPicture none;
    tlPicture noneCopy(none);
    EXPECT_TRUE(noneCopy.isEmpty());
}

TEST(Picture, MoveFromTransfersEverything) {
    tlPicture a, b;
    ASSERT_TRUE(a.create(2, 2, kIndexedA8));
    ASSERT_TRUE(b.create(9, 9, kRGB16));
    uint8_t *store = a.store;
    tlPalette *palette = a.palette;
    b.moveFrom(a);
    EXPECT_EQ(b.store, store);
    EXPECT_EQ(b.palette, palette);
    EXPECT_EQ(b.width, 2);
    EXPECT_EQ(b.model, tlColourModel::Indexed);
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(a.palette, nullptr);
    b.moveFrom(b);
    EXPECT_EQ(b.store, store);
}

// Odd widths leave padding at each row end, which fills never touch.
TEST(Picture, FillAndClearPerFormat) {
    const tlColour colour = tlColour::rgba(200, 100, 50, 128);
    for (const tlPixelFormat &f : kAllFormats) {
        SCOPED_TRACE(testing::Message() << f);
        tlPicture p;
        ASSERT_TRUE(p.create(3, 2, f));
        const int32_t bpp = p.bytesPerPixel();
        uint8_t want[8] = {};
        const bool defined = colour.toPixel(f, want);
        p.fill(colour);
        for (int32_t y = 0; y < 2; ++y) {
            for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(std::memcmp(p.pixelAddress(x, y), want, bpp), 0) << x << "," << y;
            EXPECT_TRUE(allZero(p.pixelAddress(3, y), static_cast<size_t>(p.stride - 3 * bpp)));
        }
        if (!defined) {
            EXPECT_TRUE(allZero(p.store, static_cast<size_t>(p.stride) * 2));
        }

        p.clear({-5, 1, 2, 9});  // clipped to (0, 1)-(2, 2)
        uint8_t none[8] = {};
        if (defined) {
            tlColour::rgba(0, 0, 0, 0).toPixel(f, none);
        }
        EXPECT_EQ(std::memcmp(p.pixelAddress(0, 1), defined ? none : want, bpp), 0);
        EXPECT_EQ(std::memcmp(p.pixelAddress(2, 1), want, bpp), 0);
        EXPECT_EQ(std::memcmp(p.pixelAddress(0, 0), want, bpp), 0);

        p.clear();
        EXPECT_TRUE(allZero(p.store, static_cast<size_t>(p.stride) * 2));
    }
}

TEST(Picture, FillWritesPixelBytesOfEachFormat) {
    tlPicture p;
    ASSERT_TRUE(p.create(3, 1, kGrayA16));
    p.fill(tlColour::rgba16(65535, 65535, 65535, 4660));
    const uint8_t want[4] = {0xFF, 0xFF, 0x34, 0x12};
    EXPECT_EQ(std::memcmp(p.pixelAddress(1, 0), want, 4), 0);
    ASSERT_TRUE(p.create(3, 1, kGray8));
    p.fill({3, 0, 9, 1}, tlColour::rgb(255, 255, 255));  // empty after clipping
    EXPECT_TRUE(allZero(p.store, 4));
    p.fill(tlColour::rgb(255, 255, 255));
    EXPECT_EQ(p.store[2], 255);
    EXPECT_EQ(p.store[3], 0);
}

TEST(Picture, ClipBlockOrder) {
    int32_t dx = -2, dy = 1, sx = 0, sy = -1, w = 10, h = 10;
    ASSERT_TRUE(clipBlock(dx, dy, sx, sy, w, h, 6, 5, 7, 7));
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(sx, 2);
    EXPECT_EQ(w, 5);  // 10 - 2, then cut to source width 7 - 2
    EXPECT_EQ(dy, 2);
    EXPECT_EQ(sy, 0);
    EXPECT_EQ(h, 3);  // 10 - 1, then cut to destination height 5 - 2

    dx = 6, dy = 0, sx = 0, sy = 0, w = 3, h = 3;
    EXPECT_FALSE(clipBlock(dx, dy, sx, sy, w, h, 6, 5, 7, 7));
    // Extreme offsets must not wrap into a valid block.
    dx = INT32_MIN, dy = 0, sx = INT32_MAX, sy = 0, w = INT32_MAX, h = 1;
    EXPECT_FALSE(clipBlock(dx, dy, sx, sy, w, h, 6, 5, 7, 7));
    dx = 0, dy = 0, sx = INT32_MIN, sy = 0, w = INT32_MAX, h = 1;
    EXPECT_FALSE(clipBlock(dx, dy, sx, sy, w, h, 6, 5, 7, 7));
}

TEST(Picture, CopyFromClipsAndConverts) {
    tlPicture src, dst;
    ASSERT_TRUE(src.create(4, 4, kGray8));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) src.row(y)[x] = static_cast<uint8_t>(10 * y + x);
    ASSERT_TRUE(dst.create(3, 3, kRGBA8));
    dst.copyFrom(-1, 1, src, 0, 0, 4, 4);  // source (1, 0) lands at (0, 1)
    uint8_t px[4];
    dst.getPixel(0, 1, px);
    EXPECT_EQ(px[0], 1);
    EXPECT_EQ(px[3], 255);
    dst.getPixel(2, 2, px);
    EXPECT_EQ(px[1], 13);
    dst.getPixel(2, 0, px);
    EXPECT_EQ(px[3], 0);  // outside the block: untouched

    // Within one picture, moving a block down must not copy copies.
    src.copyFrom(0, 1, src, 0, 0, 4, 3);
    EXPECT_EQ(src.row(3)[2], 22);
    EXPECT_EQ(src.row(1)[2], 2);
    src.copyFrom(1, 0, src, 0, 0, 3, 4);
    EXPECT_EQ(src.row(3)[3], 22);
}

TEST(Picture, IndexedCopiesThroughPalette) {
    tlPicture idx, rgb;
    ASSERT_TRUE(idx.create(2, 1, kIndexedA8));
    idx.palette->setEntry(7, 70, 80, 90);
    idx.row(0)[2] = 7;
    idx.row(0)[3] = 33;
    ASSERT_TRUE(rgb.create(2, 1, kRGBA16));
    rgb.copyFrom(0, 0, idx);
    const uint8_t want[8] = {70, 70, 80, 80, 90, 90, 33, 33};
    EXPECT_EQ(std::memcmp(rgb.pixelAddress(1, 0), want, 8), 0);
    EXPECT_TRUE(idx.convert(kRGB8));
    EXPECT_EQ(idx.palette, nullptr);
    EXPECT_EQ(idx.row(0)[3], 70);
}

TEST(Palette, ResizeEntriesAndCopy) {
    tlPalette p;
    EXPECT_FALSE(p.setEntry(0, 1, 2, 3));
    ASSERT_TRUE(p.resize(4));
    EXPECT_TRUE(p.setEntry(3, 1, 2, 3));
    EXPECT_FALSE(p.setEntry(4, 1, 2, 3));
    EXPECT_FALSE(p.setEntry(-1, 1, 2, 3));
    EXPECT_EQ(p.entries[13], 2);
    EXPECT_EQ(p.entries[15], 0);
    tlPalette copy(p);
    EXPECT_EQ(copy.count, 4);
    EXPECT_EQ(copy.entries[12], 1);
    ASSERT_TRUE(p.resize(2));
    EXPECT_TRUE(allZero(p.entries, 8));
    EXPECT_FALSE(p.resize(-1));
    EXPECT_EQ(p.count, 2);
}

TEST(PointerVector, GrowthInsertAndRemove) {
    tlPointerVector v;
    int items[40];
    EXPECT_FALSE(v.insert(1, &items[0]));
    ASSERT_TRUE(v.append(&items[1]));
    EXPECT_EQ(v.capacity, 16);
    ASSERT_TRUE(v.insert(0, &items[0]));
    for (int i = 2; i < 17; ++i) ASSERT_TRUE(v.append(&items[i]));
    EXPECT_EQ(v.capacity, 32);
    EXPECT_EQ(v.count, 17);
    EXPECT_EQ(v.at(0), &items[0]);
    EXPECT_EQ(v.at(16), &items[16]);
    EXPECT_EQ(v.at(17), nullptr);
    EXPECT_EQ(v.at(-1), nullptr);
    EXPECT_EQ(v.removeAt(1), &items[1]);
    EXPECT_EQ(v.at(1), &items[2]);
    EXPECT_EQ(v.removeAt(16), nullptr);
    v.clear();
    EXPECT_EQ(v.count, 0);
    EXPECT_EQ(v.items, nullptr);
}

TEST(PointerVector, RemovingTheOnlyItemFreesStorage) {
    tlPointerVector v;
    int item = 0;
    ASSERT_TRUE(v.reserve(5));
    EXPECT_EQ(v.capacity, 5);
    ASSERT_TRUE(v.append(&item));
    EXPECT_EQ(v.removeAt(0), &item);
    EXPECT_EQ(v.capacity, 0);
    EXPECT_EQ(v.items, nullptr);
    ASSERT_TRUE(v.append(&item));
    EXPECT_EQ(v.capacity, 16);
    ASSERT_TRUE(v.reserve(3));
    EXPECT_EQ(v.capacity, 16);
}
