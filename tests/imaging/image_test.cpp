// The layered image: creating, rendering layers with offsets, visibility and
// opacity, and resolution units.
#include <gtest/gtest.h>

#include <new>

#include "imaging/colour.h"
#include "imaging/image.h"
#include "tests/support/formats.h"
#include "tests/support/pictures.h"

namespace {

// A layer that is nothing but its picture.
class PlainLayer : public tlLayer {
public:
    bool hasSubLayers() const override { return false; }
    tlLayer *clone() const override { return new (std::nothrow) PlainLayer(*this); }
    bool update() override { return true; }
};

// A layer of one opaque colour.
PlainLayer *solidLayer(int32_t w, int32_t h, uint32_t r, uint32_t g, uint32_t b) {
    PlainLayer *layer = new PlainLayer;
    if (layer->create(w, h, kRGBA8)) layer->fill(tlColour::rgba(r, g, b, 255));
    return layer;
}

}  // namespace

TEST(Image, WithoutLayersRendersWhite) {
    tlImage image;
    EXPECT_EQ(image.resolutionUnit, 0);
    EXPECT_TRUE(image.backgroundEnabled);
    ASSERT_TRUE(image.create(5, 3, kRGBA8));
    image.render();
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x) ASSERT_EQ(rgbaAt(image.picture, x, y), 0xFFFFFFFFu);
    image.backgroundEnabled = 0;
    image.render();
    EXPECT_EQ(rgbaAt(image.picture, 4, 2), 0u);
}

TEST(Image, CreateDiscardsLayersAndFailureChangesNothing) {
    tlImage image;
    ASSERT_TRUE(image.create(4, 4, kRGBA8));
    ASSERT_TRUE(image.addLayer(solidLayer(2, 2, 1, 2, 3)));
    EXPECT_FALSE(image.addLayer(nullptr));
    EXPECT_FALSE(image.create(4, 4, tlPixelFormat::gray(8, 3)));
    EXPECT_EQ(image.layers.count(), 1);
    EXPECT_EQ(image.model, tlColourModel::RGB);
    ASSERT_TRUE(image.create(6, 2, kGray8));
    EXPECT_EQ(image.layers.count(), 0);
    EXPECT_EQ(image.width, 6);
    EXPECT_EQ(image.model, tlColourModel::Gray);
}

TEST(Image, LayerAtNegativeOffsetContributesItsInnerColumns) {
    tlImage image;
    ASSERT_TRUE(image.create(100, 2, kRGBA8));
    PlainLayer *layer = new PlainLayer;
    ASSERT_TRUE(layer->create(30, 2, kRGBA8));
    for (int32_t x = 0; x < 30; ++x) {
        uint8_t pixel[4] = {static_cast<uint8_t>(x), 0, 0, 255};
        layer->setPixel(x, 0, pixel);
        layer->setPixel(x, 1, pixel);
    }
    layer->x = -10;
    ASSERT_TRUE(image.addLayer(layer));
    image.render();
    EXPECT_EQ(rgbaAt(image.picture, 0, 0), 0x0A0000FFu);
    EXPECT_EQ(rgbaAt(image.picture, 19, 1), 0x1D0000FFu);
    EXPECT_EQ(rgbaAt(image.picture, 20, 0), 0xFFFFFFFFu);
}

TEST(Image, HiddenTransparentAndOutsideLayersLeaveTheBackground) {
    tlImage image;
    ASSERT_TRUE(image.create(8, 8, kRGBA8));
    PlainLayer *hidden = solidLayer(8, 8, 10, 0, 0);
    hidden->visible = false;
    PlainLayer *clear = solidLayer(8, 8, 20, 0, 0);
    clear->opacity = 0;
    PlainLayer *outside = solidLayer(4, 4, 30, 0, 0);
    outside->x = 8;
    PlainLayer *farAway = solidLayer(4, 4, 40, 0, 0);
    farAway->x = INT32_MAX - 1;  // its right edge must not wrap around
    farAway->y = -INT32_MAX;
    for (tlLayer *layer : {static_cast<tlLayer *>(hidden), static_cast<tlLayer *>(clear),
                           static_cast<tlLayer *>(outside), static_cast<tlLayer *>(farAway)})
        ASSERT_TRUE(image.addLayer(layer));
    image.render();
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x) ASSERT_EQ(rgbaAt(image.picture, x, y), 0xFFFFFFFFu) << x << "," << y;
}

TEST(Image, LayersStackBottomToTopWithTheirModes) {
    tlImage image;
    ASSERT_TRUE(image.create(4, 4, kRGBA8));
    ASSERT_TRUE(image.addLayer(solidLayer(4, 4, 200, 100, 50)));
    PlainLayer *top = solidLayer(2, 2, 255, 255, 255);
    top->x = 1;
    top->y = 2;
    top->blendMode = 3;  // difference
    ASSERT_TRUE(image.addLayer(top));
    image.render();
    EXPECT_EQ(rgbaAt(image.picture, 0, 0), 0xC86432FFu);
    EXPECT_EQ(rgbaAt(image.picture, 1, 2), 0x379BCDFFu);
    EXPECT_EQ(rgbaAt(image.picture, 2, 3), 0x379BCDFFu);
    EXPECT_EQ(rgbaAt(image.picture, 3, 3), 0xC86432FFu);
}

TEST(Image, RenderWithAnAreaRepaintsOnlyItsClippedPart) {
    tlImage image;
    ASSERT_TRUE(image.create(20, 20, kRGBA8));
    image.picture.fill(tlColour::rgba(1, 2, 3, 4));
    ASSERT_TRUE(image.addLayer(solidLayer(20, 20, 9, 9, 9)));
    image.render(tlRect{-5, -5, 10, 10});
    EXPECT_EQ(rgbaAt(image.picture, 0, 0), 0x090909FFu);
    EXPECT_EQ(rgbaAt(image.picture, 9, 9), 0x090909FFu);
    EXPECT_EQ(rgbaAt(image.picture, 10, 9), 0x01020304u);
    EXPECT_EQ(rgbaAt(image.picture, 9, 10), 0x01020304u);
    image.render(tlRect{30, 0, 40, 5});  // nothing inside
    EXPECT_EQ(rgbaAt(image.picture, 19, 0), 0x01020304u);
    image.backgroundEnabled = 0;
    image.layers.at(0)->visible = false;
    image.render(tlRect{12, 12, 14, 14});
    EXPECT_EQ(rgbaAt(image.picture, 13, 13), 0u);
    EXPECT_EQ(rgbaAt(image.picture, 14, 13), 0x01020304u);
}

TEST(Resolution, ConvertsBetweenUnitsTruncating) {
    struct Case {
        int32_t from, to, in, out;
    };
    const Case cases[] = {
        {1, 3, 72, 2834}, {1, 2, 72, 28},   {2, 1, 28, 71},     {2, 3, 28, 2800},
        {3, 1, 2834, 71}, {3, 2, 2834, 28}, {3, 3, 2834, 2834}, {1, 3, -72, -2834},
    };
    for (const Case &c : cases) {
        int32_t x = c.in, y = c.in + 1;
        ASSERT_TRUE(convertResolution(c.from, c.to, x, y)) << c.from << "->" << c.to;
        EXPECT_EQ(x, c.out) << c.from << "->" << c.to;
    }
    int32_t x = 72, y = 96;
    EXPECT_FALSE(convertResolution(0, 3, x, y));
    EXPECT_FALSE(convertResolution(1, 4, x, y));
    EXPECT_TRUE(convertResolution(0, 0, x, y));
    EXPECT_EQ(x, 72);
    x = INT32_MAX;  // would not fit after × 10000 / 254
    EXPECT_FALSE(convertResolution(1, 3, x, y));
    EXPECT_EQ(x, INT32_MAX);
    EXPECT_EQ(y, 96);
}
