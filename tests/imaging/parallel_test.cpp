// Compositing and rendering with their rows split over the row pool give,
// with 1, 2 and 7 threads, the bytes of the calling thread alone.
#include <gtest/gtest.h>

#include <new>

#include "imaging/blend.h"
#include "imaging/colour.h"
#include "imaging/image.h"
#include "tests/support/formats.h"
#include "tests/support/pictures.h"
#include "tests/support/row_pools.h"

namespace {

struct Size {
    int32_t w, h;
};
const Size kSizes[] = {{1, 1}, {1, 9}, {9, 1}, {5, 3}, {37, 23}};

// Destination and source formats of a direct kernel: alpha on either side,
// 16 bits, gray.
const tlPixelFormat kPairs[][2] = {
    {kRGBA8, kRGBA8}, {kRGBA8, kRGB8}, {kRGB8, kRGBA8}, {kRGBA16, kRGBA16}, {kGray8, kGrayA8}};

TEST(ParallelRows, BlendFromGivesTheBytesOfOneThread) {
    uint32_t seed = 3;
    for (const auto &pair : kPairs)
        for (const Size &size : kSizes)
            for (int32_t mode = 0; mode < tlBlendModeCount; ++mode)
                for (uint32_t opacity : {65535u, 32768u, 700u}) {
                    tlPicture destination, source;
                    ASSERT_TRUE(randomPicture(destination, size.w, size.h, pair[0], ++seed));
                    ASSERT_TRUE(randomPicture(source, size.w + 2, size.h + 1, pair[1], ++seed));
                    tlPicture alone(destination);
                    // Placed one column left and one row down: clipped on two sides.
                    ASSERT_TRUE(alone.blendFrom(-1, 1, source, 0, 0, source.width, source.height, mode, opacity));
                    for (int32_t threads : kThreadCounts) {
                        RowPoolScope scope(&testRowPool(threads));
                        tlPicture split(destination);
                        ASSERT_TRUE(split.blendFrom(-1, 1, source, 0, 0, source.width, source.height, mode, opacity));
                        EXPECT_TRUE(sameBytes(split, alone))
                            << pair[0] << " onto " << pair[1] << ", " << size.w << "x" << size.h << ", mode " << mode
                            << ", opacity " << opacity << ", " << threads << " threads";
                    }
                }
}

// Copies and fills write their rows over the row pool: every byte of the
// store, padding included, as on one thread.
TEST(ParallelRows, CopyAndFillGiveTheBytesOfOneThread) {
    uint32_t seed = 40;
    for (const tlPixelFormat &format : {kRGBA8, kRGB8, kRGBA16, kGray8})
        for (const Size &size : kSizes) {
            tlPicture source;
            ASSERT_TRUE(randomPicture(source, size.w, size.h, format, ++seed));
            const tlRect area = {1, 1, size.w + 5, size.h - 1};  // clipped on the right
            tlPicture alone(source);
            alone.fill(area, tlColour::rgba(10, 200, 30, 90));
            for (int32_t threads : kThreadCounts) {
                RowPoolScope scope(&testRowPool(threads));
                tlPicture split(source);
                EXPECT_TRUE(sameBytes(split, source)) << format << ", " << size.w << "x" << size.h;
                split.fill(area, tlColour::rgba(10, 200, 30, 90));
                EXPECT_TRUE(sameBytes(split, alone))
                    << format << ", " << size.w << "x" << size.h << ", " << threads << " threads";
            }
        }
}

// A layer that is nothing but its picture.
class PlainLayer : public tlLayer {
public:
    bool hasSubLayers() const override { return false; }
    tlLayer *clone() const override { return new (std::nothrow) PlainLayer(*this); }
    bool update() override { return true; }
};

// A background, a full layer and a smaller one overlapping an edge in
// another mode below full opacity.
void renderImage(tlImage &image, const Size &size, uint32_t seed) {
    ASSERT_TRUE(image.create(size.w, size.h, kRGBA8));
    image.background = tlColour::rgba(30, 60, 90, 200);
    PlainLayer *bottom = new PlainLayer, *top = new PlainLayer;
    ASSERT_TRUE(randomPicture(*bottom, size.w, size.h, kRGBA8, seed));
    ASSERT_TRUE(randomPicture(*top, size.w / 2 + 1, size.h + 3, kRGBA8, seed + 1));
    top->x = -1;
    top->y = size.h / 3;
    top->blendMode = 9;
    top->opacity = 40000;
    ASSERT_TRUE(image.addLayer(bottom));
    ASSERT_TRUE(image.addLayer(top));
    image.render();
}

TEST(ParallelRows, RenderGivesTheBytesOfOneThread) {
    for (const Size &size : kSizes) {
        tlImage alone;
        renderImage(alone, size, 17);
        for (int32_t threads : kThreadCounts) {
            RowPoolScope scope(&testRowPool(threads));
            tlImage split;
            renderImage(split, size, 17);
            EXPECT_TRUE(sameBytes(split.picture, alone.picture))
                << size.w << "x" << size.h << ", " << threads << " threads";
        }
    }
}

}  // namespace
