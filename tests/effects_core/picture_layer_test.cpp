// Picture layers, their effect lists and applyEffect.
#include <gtest/gtest.h>

#include "effects/core/picture_layer.h"
#include "imaging/colour.h"
#include "imaging/image.h"
#include "tests/effects_core/effect_fakes.h"
#include "tests/support/formats.h"
#include "tests/support/pictures.h"

namespace {

uint8_t channelAt(const tlPicture &p, int32_t x, int32_t y, int32_t c) { return p.pixelAddress(x, y)[c]; }

}  // namespace

TEST(PictureLayer, CreateResetsEffectsAndSource) {
    tlPictureLayer layer;
    ASSERT_TRUE(layer.create(6, 4, kRGBA8));
    EXPECT_EQ(layer.layerWidth, 6);
    EXPECT_EQ(layer.layerHeight, 4);
    EXPECT_EQ(layer.x, 0);
    EXPECT_TRUE(layer.visible);
    EXPECT_EQ(layer.opacity, 65535u);
    ASSERT_TRUE(layer.addEffect(new FakeInvert, true));
    layer.setSource(solidPicture(6, 4, 1, 2, 3));
    ASSERT_TRUE(layer.create(3, 2, kRGBA8));
    EXPECT_EQ(layer.effects.count(), 0);
    EXPECT_EQ(layer.source, nullptr);
    EXPECT_EQ(layer.layerWidth, 3);
    EXPECT_FALSE(layer.create(0, 2, kRGBA8));
    EXPECT_EQ(layer.layerWidth, 3);
}

TEST(PictureLayer, AddEffectRunsAtOnceOrLeavesTheListAgain) {
    tlPictureLayer layer;
    ASSERT_TRUE(layer.create(3, 2, kRGBA8));
    layer.clear();
    ASSERT_TRUE(layer.addEffect(new FakeInvert, true));
    EXPECT_EQ(channelAt(layer, 2, 1, 0), 255);
    EXPECT_EQ(channelAt(layer, 2, 1, 3), 0);  // alpha untouched by the fake

    FakeFailing failing;
    EXPECT_FALSE(layer.addEffect(&failing, true));
    EXPECT_EQ(layer.effects.count(), 1);  // not deleted: it lives on the stack
    EXPECT_FALSE(layer.addEffect(nullptr, false));

    // Added without running: the pixels stay until the next update.
    ASSERT_TRUE(layer.addEffect(new FakeInvert, false));
    EXPECT_EQ(channelAt(layer, 0, 0, 0), 255);
    ASSERT_TRUE(layer.update());
    EXPECT_EQ(channelAt(layer, 0, 0, 0), 0);  // cleared, inverted twice
}

TEST(PictureLayer, UpdateStartsFromTheSourceAndRemoveEffectRerenders) {
    tlPictureLayer layer;
    ASSERT_TRUE(layer.create(4, 3, kRGBA8));
    layer.setSource(solidPicture(4, 3, 10, 20, 30));
    ASSERT_TRUE(layer.update());
    EXPECT_EQ(channelAt(layer, 3, 2, 1), 20);
    EXPECT_EQ(channelAt(layer, 3, 2, 3), 255);  // 3-channel source: alpha made opaque

    FakeInvert *invert = new FakeInvert;
    ASSERT_TRUE(layer.addEffect(invert, true));
    EXPECT_EQ(channelAt(layer, 0, 0, 0), 245);
    ASSERT_TRUE(layer.removeEffect(0, true));
    EXPECT_EQ(channelAt(layer, 0, 0, 0), 10);
    delete invert;  // removal hands the effect back
    EXPECT_FALSE(layer.removeEffect(0, true));

    // A size change is rendered at the layer size again.
    layer.layerWidth = 7;
    ASSERT_TRUE(layer.update());
    EXPECT_EQ(layer.width, 7);
    EXPECT_EQ(channelAt(layer, 5, 0, 0), 0);  // beyond the source: cleared
}

TEST(PictureLayer, ConvertNarrowsTheSourceOnlyWhenInformationIsLost) {
    tlPictureLayer layer;
    ASSERT_TRUE(layer.create(2, 2, kRGBA8));
    layer.setSource(solidPicture(2, 2, 10, 20, 30));
    ASSERT_TRUE(layer.convert(kRGBA8));  // same format: nothing to do
    ASSERT_TRUE(layer.convert(kGray8));
    EXPECT_EQ(layer.source->model, tlColourModel::Gray);
    EXPECT_EQ(layer.model, tlColourModel::Gray);
    EXPECT_EQ(channelAt(layer, 1, 1, 0), (77 * 10 + 151 * 20 + 28 * 30) >> 8);

    ASSERT_TRUE(layer.convert(kRGB8));  // gray to RGB keeps the source
    EXPECT_EQ(layer.source->model, tlColourModel::Gray);
    EXPECT_EQ(layer.channels, 3);
    EXPECT_EQ(channelAt(layer, 0, 0, 2), 18);
    EXPECT_FALSE(layer.convert(kIndexed8));  // indexed is never a conversion target for the source
}

TEST(PictureLayer, CloneDuplicatesEverything) {
    tlPictureLayer layer;
    ASSERT_TRUE(layer.create(3, 3, kRGBA8));
    layer.setSource(solidPicture(3, 3, 1, 2, 3));
    ASSERT_TRUE(layer.update());
    ASSERT_TRUE(layer.addEffect(new FakeInvert, true));
    layer.x = -4;
    layer.y = 9;
    layer.visible = false;
    layer.blendMode = 3;
    layer.opacity = 100;
    ASSERT_TRUE(layer.textInfo.add("k", "v"));

    tlLayer *copy = layer.clone();
    ASSERT_NE(copy, nullptr);
    tlPictureLayer *pictureCopy = dynamic_cast<tlPictureLayer *>(copy);
    ASSERT_NE(pictureCopy, nullptr);
    EXPECT_FALSE(copy->hasSubLayers());
    EXPECT_EQ(copy->x, -4);
    EXPECT_EQ(copy->y, 9);
    EXPECT_FALSE(copy->visible);
    EXPECT_EQ(copy->blendMode, 3);
    EXPECT_EQ(copy->opacity, 100u);
    EXPECT_EQ(copy->textInfo.count, 1);
    ASSERT_EQ(pictureCopy->effects.count(), 1);
    EXPECT_NE(pictureCopy->effects.at(0), layer.effects.at(0));
    ASSERT_NE(pictureCopy->source, nullptr);
    EXPECT_NE(pictureCopy->source, layer.source);
    EXPECT_NE(copy->store, layer.store);
    EXPECT_EQ(channelAt(*copy, 2, 2, 2), 252);
    ASSERT_TRUE(pictureCopy->update());
    EXPECT_EQ(channelAt(*copy, 2, 2, 0), 254);
    delete copy;
}

TEST(ApplyEffect, FullOpacityWritesStraightAndPartialOpacityBlends) {
    tlPicture picture;
    ASSERT_TRUE(picture.create(3, 1, kRGBA8));
    picture.fill(tlColour::rgba(0, 0, 0, 255));
    FakeInvert invert;
    invert.opacity = 32768;
    ASSERT_TRUE(applyEffect(picture, invert));
    // d = 32768·257 / 65535 = 128 with an alpha source; w = 128·255 >> 8 = 127.
    EXPECT_EQ(channelAt(picture, 1, 0, 0), 127);
    EXPECT_EQ(channelAt(picture, 1, 0, 3), 255);

    invert.opacity = 65535;
    ASSERT_TRUE(applyEffect(picture, invert));
    EXPECT_EQ(channelAt(picture, 0, 0, 2), 128);

    FakeFailing failing;
    failing.opacity = 1000;
    EXPECT_FALSE(applyEffect(picture, failing));
    EXPECT_EQ(channelAt(picture, 0, 0, 2), 128);
}

TEST(ApplyEffect, AProducedPictureReplacesTheLayerPicture) {
    tlPictureLayer layer;
    ASSERT_TRUE(layer.create(2, 2, kRGBA8));
    FakeProducer producer;
    ASSERT_TRUE(applyEffect(layer, producer));
    EXPECT_EQ(layer.width, 5);
    EXPECT_EQ(layer.model, tlColourModel::Gray);
    EXPECT_EQ(channelAt(layer, 4, 0, 0), 77);
    producer.succeed = false;
    EXPECT_FALSE(applyEffect(layer, producer));
    EXPECT_EQ(layer.width, 5);
}

TEST(Image, LayerEffectWithHalfOpacityFlattens) {
    // The way a wallpaper is built: an effect added to a picture layer, the
    // layer added to an image, rendered.
    tlPictureLayer *layer = new tlPictureLayer;
    ASSERT_TRUE(layer->create(3, 2, kRGBA8));
    layer->fill(tlColour::rgba(0, 0, 0, 255));
    FakeInvert *invert = new FakeInvert;
    invert->opacity = 32768;
    ASSERT_TRUE(layer->addEffect(invert, true));
    tlImage image;
    ASSERT_TRUE(image.create(3, 2, kRGBA8));
    ASSERT_TRUE(image.addLayer(layer));
    image.render();
    EXPECT_EQ(rgbaAt(image.picture, 2, 1), 0x7F7F7FFFu);
}
