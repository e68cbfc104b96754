// Thumbnails: exact for a tile of the thumbnail's size, box means for a
// larger one, the tiled square for a non-square tile, flat for a flat tile
// of any size; only RGB 8-bit pictures are taken; the job draws them.
#include <gtest/gtest.h>

#include <cstring>

#include "compose/composer.h"
#include "compose/job.h"
#include "compose/recipe.h"
#include "compose/thumbnail.h"
#include "imaging/image.h"
#include "tests/support/formats.h"
#include "tests/support/pictures.h"

namespace {

const int32_t kSide = tlThumbnail::kSide;

const uint8_t *at(const tlThumbnail &t, int32_t x, int32_t y) { return t.rgb + (y * kSide + x) * 3; }

}  // namespace

TEST(Thumbnail, FlatTilesOfEverySizeGiveAFlatThumbnail) {
    const int32_t sizes[][2] = {{1, 1}, {7, 3}, {32, 32}, {100, 60}, {5000, 2}, {3, 4099}};
    for (const auto &size : sizes) {
        tlPicture p;
        ASSERT_TRUE(p.create(size[0], size[1], kRGB8));
        p.fill(tlColour::rgb(200, 17, 3));
        tlThumbnail t;
        ASSERT_TRUE(makeThumbnail(p, t));
        EXPECT_TRUE(t.made);
        for (int32_t i = 0; i < kSide * kSide; ++i)
            ASSERT_TRUE(t.rgb[3 * i] == 200 && t.rgb[3 * i + 1] == 17 && t.rgb[3 * i + 2] == 3)
                << size[0] << "x" << size[1] << " pixel " << i;
    }
}

TEST(Thumbnail, SamplesTheTiledSquare) {
    // The thumbnail's own size: every pixel as it is (alpha dropped).
    tlPicture same = seededPicture(11, kSide, kSide);
    tlThumbnail t;
    ASSERT_TRUE(makeThumbnail(same, t));
    for (int32_t y = 0; y < kSide; ++y)
        for (int32_t x = 0; x < kSide; ++x)
            ASSERT_EQ(std::memcmp(at(t, x, y), same.pixelAddress(x, y), 3), 0) << x << "," << y;
    // Twice the size: each pixel is the rounded mean of its 2 x 2 block.
    tlPicture twice = seededPicture(12, 2 * kSide, 2 * kSide);
    ASSERT_TRUE(makeThumbnail(twice, t));
    for (int32_t y : {0, 5, kSide - 1})
        for (int32_t x : {0, 17, kSide - 1})
            for (int32_t c = 0; c < 3; ++c) {
                int32_t sum = twice.pixelAddress(2 * x, 2 * y)[c] + twice.pixelAddress(2 * x + 1, 2 * y)[c] +
                              twice.pixelAddress(2 * x, 2 * y + 1)[c] + twice.pixelAddress(2 * x + 1, 2 * y + 1)[c];
                EXPECT_EQ(at(t, x, y)[c], (sum + 2) / 4) << x << "," << y << " channel " << c;
            }
    // A tile twice as wide as high: the square holds it twice, one above
    // the other, as the desktop repeats it.
    tlPicture wide = seededPicture(13, 2 * kSide, kSide);
    ASSERT_TRUE(makeThumbnail(wide, t));
    for (int32_t y = 0; y < kSide / 2; ++y)
        EXPECT_EQ(std::memcmp(at(t, 0, y), at(t, 0, y + kSide / 2), kSide * 3), 0) << y;
}

TEST(Thumbnail, OnlyRGB8PicturesAreTaken) {
    tlThumbnail t;
    t.rgb[0] = 99;
    tlPicture empty, gray = seededPicture(3, 8, 8, kGray8), deep = seededPicture(3, 8, 8, kRGBA16);
    for (const tlPicture *p : {&empty, &gray, &deep}) {
        EXPECT_FALSE(makeThumbnail(*p, t));
        EXPECT_FALSE(t.made);
        EXPECT_EQ(t.rgb[0], 99);
    }
}

// The job draws the thumbnail of what it made, composed or rendered, and
// none when it made nothing.
TEST(Thumbnail, TheJobDrawsIt) {
    tlRecipe recipe;
    tlThumbnail composed, rendered;
    WallpaperComposer composer;
    GenerationJob job = {40, 24, nullptr};
    job.composer = &composer;
    job.recipe = &recipe;
    job.thumbnail = &composed;
    runGenerationJob(&job);
    ASSERT_NE(job.result, nullptr);
    tlThumbnail expected;
    ASSERT_TRUE(makeThumbnail(job.result->picture, expected));
    EXPECT_TRUE(composed.made);
    EXPECT_EQ(std::memcmp(composed.rgb, expected.rgb, sizeof expected.rgb), 0);
    delete job.result;
    GenerationJob again = {1, 1, nullptr};
    again.render = &recipe;
    again.thumbnail = &rendered;
    runGenerationJob(&again);
    ASSERT_NE(again.result, nullptr);
    EXPECT_EQ(std::memcmp(rendered.rgb, expected.rgb, sizeof expected.rgb), 0);
    delete again.result;
    recipe.width = 0;  // refused: no picture, no thumbnail
    runGenerationJob(&again);
    EXPECT_EQ(again.result, nullptr);
    EXPECT_FALSE(rendered.made);
}
