// Colour values: constructors, conversion into pixels, equality and the
// stream form.
#include "imaging/colour.h"
#include "imaging/picture.h"
#include "tests/support/formats.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Colour, ConstructorsSetFormatAndSamples) {
    tlColour black;
    EXPECT_EQ(black.model, tlColourModel::RGB);
    EXPECT_EQ(black.bits, 8);
    EXPECT_EQ(black.channels, 3);

    tlColour c = tlColour::rgb(0x1FF, 2, 3);  // low bytes only
    EXPECT_EQ(c.samples[0], 0xFF);
    EXPECT_EQ(c.channels, 3);

    const uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_TRUE(tlColour::fromBytes(bytes).equals(tlColour::rgba(1, 2, 3, 4)));

    tlColour wide = tlColour::rgba16(0x12345, 1, 2, 3);  // low 16 bits only
    EXPECT_EQ(wide.bits, 16);
    EXPECT_EQ(wide.channels, 4);
    EXPECT_EQ(wide.samples[0], 0x45);
    EXPECT_EQ(wide.samples[1], 0x23);
}

TEST(Colour, ShortcutsWidenAndNarrow) {
    uint8_t b[4];
    uint16_t w[4];
    ASSERT_TRUE(tlColour::rgb(255, 128, 0).toRGBA8(b));
    EXPECT_EQ(b[0], 255);
    EXPECT_EQ(b[1], 128);
    EXPECT_EQ(b[2], 0);
    EXPECT_EQ(b[3], 255);
    ASSERT_TRUE(tlColour::rgb(255, 128, 0).toRGBA16(w));
    EXPECT_EQ(w[0], 65535);
    EXPECT_EQ(w[1], 32896);
    EXPECT_EQ(w[2], 0);
    EXPECT_EQ(w[3], 65535);

    ASSERT_TRUE(tlColour::rgba16(65535, 257, 0, 32768).toRGBA8(b));
    EXPECT_EQ(b[0], 255);
    EXPECT_EQ(b[1], 1);
    EXPECT_EQ(b[2], 0);
    EXPECT_EQ(b[3], 128);
    // The high byte, not v / 257.
    ASSERT_TRUE(tlColour::rgba16(0x8000, 0x0100, 0xFF00, 0x7FFF).toRGBA8(b));
    EXPECT_EQ(b[0], 0x80);
    EXPECT_EQ(b[1], 0x01);
    EXPECT_EQ(b[2], 0xFF);
    EXPECT_EQ(b[3], 0x7F);

    uint8_t g[2];
    ASSERT_TRUE(tlColour::rgb(255, 255, 255).toGrayAlpha8(g));
    EXPECT_EQ(g[0], 255);
    EXPECT_EQ(g[1], 255);
    ASSERT_TRUE(tlColour::rgb(100, 0, 0).toGrayAlpha8(g));
    EXPECT_EQ(g[0], 30);

    // Gray of a 16-bit colour is taken on the 16-bit scale, then kept.
    uint16_t g16[2];
    ASSERT_TRUE(tlColour::rgba16(1000, 2000, 3000, 4000).toGrayAlpha16(g16));
    EXPECT_EQ(g16[0], (77 * 1000 + 151 * 2000 + 28 * 3000) >> 8);
    EXPECT_EQ(g16[1], 4000);
    // ... and of an 8-bit colour on the 8-bit scale before widening.
    ASSERT_TRUE(tlColour::rgb(100, 0, 0).toGrayAlpha16(g16));
    EXPECT_EQ(g16[0], 30 * 257);
}

TEST(Colour, GraySourcesAndOneChannelTargets) {
    tlColour gray;
    gray.model = tlColourModel::Gray;
    gray.channels = 1;
    gray.samples[0] = 77;  // 32-bit value 77
    uint8_t out[8];
    std::memset(out, 0xEE, sizeof out);
    ASSERT_TRUE(gray.toPixel(kRGBA16, out));
    const uint8_t rgba16[8] = {0x4D, 0x4D, 0x4D, 0x4D, 0x4D, 0x4D, 0xFF, 0xFF};
    EXPECT_EQ(std::memcmp(out, rgba16, 8), 0);

    // One gray channel is written as a 32-bit integer.
    std::memset(out, 0xEE, sizeof out);
    ASSERT_TRUE(tlColour::rgb(100, 0, 0).toPixel(kGray16, out));
    const uint8_t word[5] = {0x1E, 0x1E, 0, 0, 0xEE};  // 30 * 257 = 0x1E1E
    EXPECT_EQ(std::memcmp(out, word, 5), 0);
}

TEST(Colour, UndefinedTargets) {
    uint8_t out[8];
    std::memset(out, 0xEE, sizeof out);
    EXPECT_TRUE(tlColour::rgb(1, 2, 3).toPixel(tlPixelFormat::rgb(8, 2), out));  // writes nothing
    EXPECT_TRUE(tlColour::rgb(1, 2, 3).toPixel(tlPixelFormat::rgb(12, 3), out));
    for (uint8_t b : out) EXPECT_EQ(b, 0xEE);
    EXPECT_FALSE(tlColour::rgb(1, 2, 3).toPixel(kIndexed8, out));
    EXPECT_FALSE(tlColour::rgb(1, 2, 3).toPixel(tlPixelFormat{static_cast<tlColourModel>(3), 8, 3}, out));

    tlColour index;
    index.model = tlColourModel::Indexed;
    index.channels = 1;
    index.samples[0] = 9;
    EXPECT_FALSE(index.toPixel(kRGB8, out));
    EXPECT_FALSE(index.toPixel(tlPixelFormat{tlColourModel::Indexed, 16, 1}, out));
    ASSERT_TRUE(index.toPixel(kIndexedA8, out));
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(out[1], 255);
    ASSERT_TRUE(index.toPixel(kIndexed8, out));
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(out[1], 0);  // the rest of the 32-bit index
}

TEST(Colour, PicturePixelAlwaysCarriesAlpha) {
    tlPicture rgb, gray;
    ASSERT_TRUE(rgb.create(1, 1, kRGB8));
    ASSERT_TRUE(gray.create(1, 1, kGray16));
    uint8_t out[8] = {};
    ASSERT_TRUE(tlColour::rgba(1, 2, 3, 4).toPicturePixel(rgb, out));
    EXPECT_EQ(out[3], 4);
    ASSERT_TRUE(tlColour::rgba(255, 255, 255, 128).toPicturePixel(gray, out));
    EXPECT_EQ(out[0] | out[1] << 8, 65535);
    EXPECT_EQ(out[2] | out[3] << 8, 128 * 257);
}

TEST(Colour, EqualityNeedsTheSameFormat) {
    EXPECT_FALSE(tlColour::rgb(0, 0, 0).equals(tlColour::rgba(0, 0, 0, 255)));
    EXPECT_TRUE(tlColour::rgba(1, 2, 3, 4).equals(tlColour::rgba(1, 2, 3, 4)));
    EXPECT_FALSE(tlColour::rgba(1, 2, 3, 4).equals(tlColour::rgba(1, 2, 3, 5)));
    // Bytes past the last sample carry no meaning.
    tlColour a = tlColour::rgb(1, 2, 3), b = tlColour::rgb(1, 2, 3);
    b.samples[3] = 99;
    EXPECT_TRUE(a.equals(b));
}

TEST(Colour, StreamFormReloadsAsSixteenBit) {
    const tlColour saved = tlColour::rgba(255, 128, 1, 64);
    uint8_t stream[8];
    ASSERT_TRUE(saved.toStream(stream));
    const uint8_t want[8] = {0xFF, 0xFF, 0x80, 0x80, 0x01, 0x01, 0x40, 0x40};
    EXPECT_EQ(std::memcmp(stream, want, 8), 0);
    const tlColour loaded = tlColour::fromStream(stream);
    EXPECT_TRUE(loaded.equals(tlColour::rgba16(65535, 32896, 257, 16448)));
    EXPECT_FALSE(loaded.equals(saved));

    tlColour index;
    index.model = tlColourModel::Indexed;
    EXPECT_FALSE(index.toStream(stream));
}
