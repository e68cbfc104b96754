// The BMP codec: saved layouts and sizes, loading every supported variant,
// run-length data, the pixel offset, and hostile files.
#include <gtest/gtest.h>

#include <cstring>

#include "bmp_test_util.h"
#include "imagefiles/bmp.h"
#include "imagefiles/codec.h"
#include "tests/support/formats.h"
#include "tests/support/progress.h"

using namespace bmptest;

namespace {

// An RGB 8-bit picture whose pixel (x, y) is (x·40, y·50, x + y, 200).
void makeRamp(tlImage &image, int32_t w, int32_t h, int32_t channels = 4) {
    ASSERT_TRUE(image.create(w, h, tlPixelFormat::rgb(8, channels)));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint8_t *p = image.picture.pixelAddress(x, y);
            p[0] = static_cast<uint8_t>(x * 40);
            p[1] = static_cast<uint8_t>(y * 50);
            p[2] = static_cast<uint8_t>(x + y);
            if (channels == 4) p[3] = 200;
        }
    }
}

// Palette bytes of n 4-byte entries where entry i is (B, G, R) = (i, 2i, 3i).
Bytes palette4(uint32_t n) {
    Bytes b(n * 4, 0);
    for (uint32_t i = 0; i < n; ++i) {
        b[i * 4] = uint8_t(i);
        b[i * 4 + 1] = uint8_t(2 * i);
        b[i * 4 + 2] = uint8_t(3 * i);
    }
    return b;
}

const uint8_t *paletteEntry(const tlImage &image, int32_t i) { return image.picture.palette->entries + i * 4; }

}  // namespace

TEST(BMPCodec, Describes) {
    tlBMPCodec codec;
    EXPECT_STREQ(codec.shortName(), "BMP");
    EXPECT_STREQ(codec.description(), "Windows Bitmap");
    EXPECT_STREQ(codec.extension(), "bmp");
    EXPECT_EQ(codec.capabilities(), 3u);
    EXPECT_EQ(codec.query(), 0);
    EXPECT_FALSE(codec.topDown);
    const uint8_t bm[] = {'B', 'M'};
    EXPECT_TRUE(codec.recognise(bm, 2));
    EXPECT_FALSE(codec.recognise(bm, 1));
    EXPECT_FALSE(codec.recognise(reinterpret_cast<const uint8_t *>("BA"), 2));
    EXPECT_STREQ(codecResultText(8), "the image could not be created");
}

TEST(BMPSave, WritesTheHeaderFieldsAndPaddedRows) {
    tlImage image;
    makeRamp(image, 3, 2);
    Bytes file;
    ASSERT_EQ(saveBytes(image, file), 0);
    ASSERT_EQ(file.size(), 78u);  // 54 + 2 rows of 12 bytes
    EXPECT_EQ(get16(file, 0), 0x4D42);
    EXPECT_EQ(get32(file, 2), 78u);
    EXPECT_EQ(get32(file, 6), 0u);
    EXPECT_EQ(get32(file, 10), 54u);
    EXPECT_EQ(get32(file, 14), 40u);
    EXPECT_EQ(get32(file, 18), 3u);
    EXPECT_EQ(get32(file, 22), 2u);
    EXPECT_EQ(get16(file, 26), 1);
    EXPECT_EQ(get16(file, 28), 24);
    for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(get32(file, at), 0u) << at;
    // Bottom row first, B G R, padding zero.
    const Bytes bottom(file.begin() + 54, file.begin() + 66);
    EXPECT_EQ(bottom, (Bytes{1, 50, 0, 2, 50, 40, 3, 50, 80, 0, 0, 0}));
    EXPECT_EQ(file[66 + 3 + 2], 40);  // top row, pixel 1: R
}

TEST(BMPSave, SizesOfTheWorkedCases) {
    tlImage image;
    ASSERT_TRUE(image.create(640, 480, kRGBA8));
    image.render();
    Bytes file;
    ASSERT_EQ(saveBytes(image, file), 0);
    EXPECT_EQ(file.size(), 921654u);
    EXPECT_EQ(get32(file, 2), 921654u);

    tlImage gray;
    ASSERT_TRUE(gray.create(5, 2, kGrayA8));
    gray.picture.fill(tlColour::rgba(77, 77, 77, 9));
    ASSERT_EQ(saveBytes(gray, file), 0);
    ASSERT_EQ(file.size(), 1078u + 2 * 8);
    EXPECT_EQ(get32(file, 10), 1078u);
    EXPECT_EQ(get16(file, 28), 8);
    EXPECT_EQ(get32(file, 54 + 4 * 200), 0x00C8C8C8u);  // gray ramp entry 200
    EXPECT_EQ(file[1078 + 4], 77);
    EXPECT_EQ(file[1078 + 5], 0);  // padding
}

TEST(BMPSave, NarrowsDeepSamplesToTheirHighByte) {
    tlImage image;
    ASSERT_TRUE(image.create(2, 1, kRGBA16));
    // The second pixel's samples differ from v / 257.
    const uint16_t px[8] = {0x1234, 0xABCD, 0x00FF, 0xFFFF, 0x8000, 0x0100, 0xFF00, 0xFFFF};
    std::memcpy(image.picture.store, px, 16);
    Bytes file;
    ASSERT_EQ(saveBytes(image, file), 0);
    EXPECT_EQ(Bytes(file.begin() + 54, file.end()), (Bytes{0x00, 0xAB, 0x12, 0xFF, 0x01, 0x80, 0, 0}));

    tlImage gray;
    ASSERT_TRUE(gray.create(2, 1, kGray16));
    const uint16_t g[2] = {0x7F01, 0x80FF};
    std::memcpy(gray.picture.store, g, 4);
    ASSERT_EQ(saveBytes(gray, file), 0);
    EXPECT_EQ(file[1078], 0x7F);
    EXPECT_EQ(file[1079], 0x80);
}

TEST(BMPSave, StoresResolutionInPixelsPerMetre) {
    tlImage image;
    makeRamp(image, 2, 2);
    image.setResolution(tlImage::UnitPerInch, 72, 72);
    Bytes file;
    ASSERT_EQ(saveBytes(image, file), 0);
    EXPECT_EQ(get32(file, 38), 2834u);
    EXPECT_EQ(get32(file, 42), 2834u);
    image.setResolution(tlImage::UnitPerCentimetre, 10, 20);
    ASSERT_EQ(saveBytes(image, file), 0);
    EXPECT_EQ(get32(file, 38), 1000u);
    EXPECT_EQ(get32(file, 42), 2000u);
    image.setResolution(tlImage::UnitNone, 72, 72);
    ASSERT_EQ(saveBytes(image, file), 0);
    EXPECT_EQ(get32(file, 38), 0u);

    tlImage loaded;
    image.setResolution(tlImage::UnitPerMetre, 3000, 4000);
    ASSERT_EQ(saveBytes(image, file), 0);
    ASSERT_EQ(loadBytes(file, loaded), 0);
    EXPECT_EQ(loaded.resolutionUnit, tlImage::UnitPerMetre);
    EXPECT_EQ(loaded.resolutionX, 3000);
    EXPECT_EQ(loaded.resolutionY, 4000);
}

TEST(BMPSave, FailuresGiveTheirCodes) {
    tlImage empty;
    Bytes file;
    EXPECT_EQ(saveBytes(empty, file), 5);
    tlImage image;
    makeRamp(image, 4, 3);
    tlBMPCodec codec;
    std::string missing = tempPath("no_such_folder") + "/x/y.bmp";
    EXPECT_EQ(saveImage(codec, missing.c_str(), image, nullptr), 2);
    tlFileStream closed;  // writes to a closed stream fail
    EXPECT_EQ(codec.save(closed, image, nullptr), 4);
    tlMemoryStream full;  // as do writes to a full disk
    full.setWriteLimit(60);
    EXPECT_EQ(codec.save(full, image, nullptr), 4);

    tlMemoryStream stream;
    CountingProgress progress(2);
    EXPECT_EQ(codec.save(stream, image, &progress), 9);
    EXPECT_EQ(progress.total, 2);
}

TEST(BMPRoundTrip, RGBGrayIndexedAndTopDown) {
    tlImage image;
    makeRamp(image, 7, 5);
    for (bool topDown : {false, true}) {
        Bytes file;
        ASSERT_EQ(saveBytes(image, file, topDown), 0);
        EXPECT_EQ(static_cast<int32_t>(get32(file, 22)), topDown ? -5 : 5);
        tlImage loaded;
        ASSERT_EQ(loadBytes(file, loaded), 0);
        ASSERT_EQ(loaded.width, 7);
        ASSERT_EQ(loaded.height, 5);
        EXPECT_EQ(loaded.layers.count(), 0);
        Bytes expected = rgbaOf(image.picture);
        for (size_t i = 3; i < expected.size(); i += 4) expected[i] = 255;  // alpha is not saved
        EXPECT_EQ(rgbaOf(loaded.picture), expected) << "top-down " << topDown;
    }

    tlImage indexed;
    ASSERT_TRUE(indexed.create(9, 3, kIndexed8));
    for (int32_t i = 0; i < 256; ++i) indexed.picture.palette->setEntry(i, uint8_t(i), uint8_t(255 - i), 7);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 9; ++x) *indexed.picture.pixelAddress(x, y) = static_cast<uint8_t>(x * 30 + y);
    Bytes file;
    ASSERT_EQ(saveBytes(indexed, file), 0);
    tlImage loaded;
    ASSERT_EQ(loadBytes(file, loaded), 0);
    EXPECT_EQ(loaded.model, tlColourModel::Indexed);
    EXPECT_EQ(rgbaOf(loaded.picture), rgbaOf(indexed.picture));
    EXPECT_EQ(*loaded.picture.pixelAddress(8, 2), 242);
}

TEST(BMPLoad, HeaderFailuresGiveTheirCodes) {
    FileSpec s;
    s.width = 2;
    s.height = 2;
    s.pixels.assign(16, 0);
    tlImage image;
    Bytes good = buildFile(s);
    ASSERT_EQ(loadBytes(good, image), 0);

    Bytes bad = good;
    bad[1] = 'A';
    EXPECT_EQ(loadBytes(bad, image), 6);
    EXPECT_EQ(loadBytes(Bytes(good.begin(), good.begin() + 10), image), 3);
    EXPECT_EQ(loadBytes(Bytes(good.begin(), good.begin() + 16), image), 3);
    EXPECT_EQ(loadBytes(Bytes(good.begin(), good.begin() + 40), image), 3);

    struct Case {
        const char *what;
        void (*change)(FileSpec &);
        int32_t code;
    };
    const Case cases[] = {
        {"108-byte header", [](FileSpec &f) { f.headerSize = 108; }, 5},
        {"zero width", [](FileSpec &f) { f.width = 0; }, 7},
        {"negative width", [](FileSpec &f) { f.width = -3; }, 7},
        {"zero height", [](FileSpec &f) { f.height = 0; }, 7},
        {"two planes", [](FileSpec &f) { f.planes = 2; }, 7},
        {"RLE4 at 8 bits",
         [](FileSpec &f) {
             f.bitsPerPixel = 8;
             f.compression = 2;
         },
         7},
        {"RLE8 at 4 bits",
         [](FileSpec &f) {
             f.bitsPerPixel = 4;
             f.compression = 1;
         },
         7},
        {"bit fields at 24 bits", [](FileSpec &f) { f.compression = 3; }, 7},
        {"bit fields at 16 bits",
         [](FileSpec &f) {
             f.bitsPerPixel = 16;
             f.compression = 3;
         },
         5},
        {"bit fields at 32 bits",
         [](FileSpec &f) {
             f.bitsPerPixel = 32;
             f.compression = 3;
         },
         5},
        {"17 colours at 4 bits",
         [](FileSpec &f) {
             f.bitsPerPixel = 4;
             f.coloursUsed = 17;
         },
         7},
        {"2 bits", [](FileSpec &f) { f.bitsPerPixel = 2; }, 5},
        {"64 bits", [](FileSpec &f) { f.bitsPerPixel = 64; }, 5},
        {"JPEG compression", [](FileSpec &f) { f.compression = 4; }, 5},
        {"short rows", [](FileSpec &f) { f.pixels.resize(12); }, 3},
        {"RLE without data",
         [](FileSpec &f) {
             f.bitsPerPixel = 8;
             f.compression = 1;
             f.palette = palette4(256);
             f.pixels.clear();
         },
         7},
        {"palette cut short",
         [](FileSpec &f) {
             f.bitsPerPixel = 8;
             f.pixels.clear();
         },
         3},
    };
    for (const Case &c : cases) {
        FileSpec f = s;
        c.change(f);
        EXPECT_EQ(loadBytes(buildFile(f), image), c.code) << c.what;
    }
}

TEST(BMPLoad, AFailedLoadLeavesTheImageAlone) {
    tlImage image;
    makeRamp(image, 3, 3);
    image.setResolution(1, 96, 96);
    const Bytes before = rgbaOf(image.picture);
    FileSpec s;
    s.width = 4;
    s.height = 4;
    s.xRes = s.yRes = 5000;
    s.pixels.assign(20, 1);  // 48 needed
    EXPECT_EQ(loadBytes(buildFile(s), image), 3);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.resolutionX, 96);
    EXPECT_EQ(rgbaOf(image.picture), before);
}

TEST(BMPLoad, HugePicturesFailToBeCreated) {
    // 3,000,000 × 2,000,000 at 24 bits: the size must not wrap into a small
    // allocation, and the refusal is 8 whatever the allocator does.
    FileSpec s;
    s.width = 3000000;
    s.height = 2000000;
    s.pixels.assign(64, 0);
    tlImage image;
    EXPECT_EQ(loadBytes(buildFile(s), image), 8);
    s.width = INT32_MAX;
    s.height = INT32_MIN;  // its absolute value has no 32-bit form
    s.bitsPerPixel = 32;
    EXPECT_EQ(loadBytes(buildFile(s), image), 8);
    s.height = -INT32_MAX;
    s.bitsPerPixel = 1;
    EXPECT_EQ(loadBytes(buildFile(s), image), 8);
    EXPECT_TRUE(image.picture.isEmpty());
}

TEST(BMPLoad, LowDepthsBecomeIndices) {
    FileSpec s;
    s.width = 10;
    s.height = 2;
    s.bitsPerPixel = 1;
    s.palette = {0, 0, 0, 0, 10, 20, 30, 0};
    s.pixels = {0xA5, 0x80, 0, 0, 0x01, 0x40, 0, 0};  // bottom row, top row
    tlImage image;
    ASSERT_EQ(loadBytes(buildFile(s), image), 0);
    ASSERT_EQ(image.model, tlColourModel::Indexed);
    const uint8_t top[10] = {0, 0, 0, 0, 0, 0, 0, 1, 0, 1};
    const uint8_t bottom[10] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 0};
    EXPECT_EQ(std::memcmp(image.picture.row(0), top, 10), 0);
    EXPECT_EQ(std::memcmp(image.picture.row(1), bottom, 10), 0);
    EXPECT_EQ(paletteEntry(image, 1)[0], 30);  // stored B, G, R becomes R, G, B
    EXPECT_EQ(paletteEntry(image, 1)[2], 10);

    s.bitsPerPixel = 4;
    s.width = 3;
    s.height = 1;
    s.palette = palette4(16);
    s.pixels = {0x1F, 0x70, 0, 0};
    ASSERT_EQ(loadBytes(buildFile(s), image), 0);
    EXPECT_EQ(image.picture.row(0)[0], 1);
    EXPECT_EQ(image.picture.row(0)[1], 15);
    EXPECT_EQ(image.picture.row(0)[2], 7);
    EXPECT_EQ(paletteEntry(image, 15)[0], 45);
}

TEST(BMPLoad, ColoursUsedSizesThePaletteOnlyWhenTheOffsetAgrees) {
    FileSpec s;
    s.width = 2;
    s.height = 1;
    s.bitsPerPixel = 8;
    s.coloursUsed = 3;
    s.palette = palette4(3);
    s.pixels = {2, 1, 0, 0};
    tlImage image;
    ASSERT_EQ(loadBytes(buildFile(s), image), 0);
    EXPECT_EQ(paletteEntry(image, 2)[0], 6);
    EXPECT_EQ(paletteEntry(image, 3)[0], 0);
    EXPECT_EQ(image.picture.row(0)[0], 2);
}

TEST(BMPLoad, TheTrustedPixelOffsetCutsThePaletteOrSkipsAGap) {
    tlImage image;
    // Pixels after a gap: read from the offset.
    FileSpec gap;
    gap.width = 2;
    gap.height = 1;
    gap.bitsPerPixel = 8;
    gap.palette = palette4(256);
    gap.pixelOffset = 1078 + 84;
    gap.pixels = {9, 8, 0, 0};
    ASSERT_EQ(loadBytes(buildFile(gap), image), 0);
    EXPECT_EQ(image.picture.row(0)[0], 9);
    EXPECT_EQ(paletteEntry(image, 255)[0], uint8_t(3 * 255));

    // A palette cut short by the offset: the rest stays zero.
    FileSpec cut = gap;
    cut.palette = palette4(5);
    cut.pixelOffset = 54 + 5 * 4 + 2;  // mid-entry: entry 5 is cut off too
    ASSERT_EQ(loadBytes(buildFile(cut), image), 0);
    EXPECT_EQ(paletteEntry(image, 4)[0], 12);
    EXPECT_EQ(paletteEntry(image, 5)[0], 0);
    EXPECT_EQ(image.picture.row(0)[1], 8);

    // An offset inside the headers or past the end is ignored.
    FileSpec inside = gap;
    inside.pixelOffset = 0;
    Bytes file = buildFile(inside);
    for (uint32_t offset : {30u, 0xFFFFFFF0u}) {
        file[10] = uint8_t(offset);
        file[11] = uint8_t(offset >> 8);
        file[12] = uint8_t(offset >> 16);
        file[13] = uint8_t(offset >> 24);
        ASSERT_EQ(loadBytes(file, image), 0) << offset;
        EXPECT_EQ(image.picture.row(0)[0], 9);
    }

    // Deep pictures skip a palette they do not use.
    FileSpec deep;
    deep.width = 1;
    deep.height = 1;
    deep.coloursUsed = 300;
    deep.palette = palette4(300);
    deep.pixels = {1, 2, 3, 0};
    ASSERT_EQ(loadBytes(buildFile(deep), image), 0);
    EXPECT_EQ(rgbaOf(image.picture), (Bytes{3, 2, 1, 255}));
}

TEST(BMPLoad, CoreHeaderFilesHaveThreeBytePaletteEntries) {
    FileSpec s;
    s.headerSize = 12;
    s.width = 3;
    s.height = 2;
    s.planes = 7;  // ignored
    s.bitsPerPixel = 8;
    for (int i = 0; i < 256; ++i) s.palette.insert(s.palette.end(), {uint8_t(i), 0, uint8_t(255 - i)});
    s.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    tlImage image;
    ASSERT_EQ(loadBytes(buildFile(s), image), 0);
    EXPECT_EQ(image.picture.row(0)[2], 6);
    EXPECT_EQ(image.picture.row(1)[0], 1);
    EXPECT_EQ(paletteEntry(image, 1)[0], 254);
    EXPECT_EQ(paletteEntry(image, 1)[2], 1);
    s.pixels.resize(7);
    EXPECT_EQ(loadBytes(buildFile(s), image), 3);
}

TEST(BMPLoad, DeepPixelsBottomUpAndTopDownAgree) {
    FileSpec up;
    up.width = 2;
    up.height = 2;
    up.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    FileSpec down = up;
    down.height = -2;
    down.pixels = {7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0};
    tlImage a, b;
    ASSERT_EQ(loadBytes(buildFile(up), a), 0);
    ASSERT_EQ(loadBytes(buildFile(down), b), 0);
    EXPECT_EQ(b.height, 2);
    EXPECT_EQ(rgbaOf(a.picture), rgbaOf(b.picture));
    EXPECT_EQ(rgbaOf(a.picture), (Bytes{9, 8, 7, 255, 12, 11, 10, 255, 3, 2, 1, 255, 6, 5, 4, 255}));

    FileSpec alpha;
    alpha.width = 2;
    alpha.height = 1;
    alpha.bitsPerPixel = 32;
    alpha.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    ASSERT_EQ(loadBytes(buildFile(alpha), a), 0);
    EXPECT_EQ(rgbaOf(a.picture), (Bytes{3, 2, 1, 0, 6, 5, 4, 0}));

    // 16 bits: 5-5-5 with the top bit unused, widened by bit repetition.
    FileSpec rgb16;
    rgb16.width = 2;
    rgb16.height = 1;
    rgb16.bitsPerPixel = 16;
    rgb16.pixels = {0x1F, 0xFC, 0xE0, 0x03};  // 0xFC1F: R 31, G 0, B 31; 0x03E0: G 31
    ASSERT_EQ(loadBytes(buildFile(rgb16), a), 0);
    EXPECT_EQ(rgbaOf(a.picture), (Bytes{255, 0, 255, 255, 0, 255, 0, 255}));
    rgb16.pixels = {0x10, 0x42, 0, 0};  // 0x4210: 16, 16, 16 -> 132
    ASSERT_EQ(loadBytes(buildFile(rgb16), a), 0);
    EXPECT_EQ(a.picture.row(0)[0], 132);
}

TEST(BMPLoad, ProgressSeesEveryRowAndMayAbort) {
    FileSpec s;
    s.width = 1;
    s.height = 4;
    s.pixels.assign(16, 0);
    const Bytes file = buildFile(s);
    tlImage image;
    CountingProgress all(100);
    EXPECT_EQ(loadBytes(file, image, &all), 0);
    EXPECT_EQ(all.total, 3);
    EXPECT_EQ(all.steps, 4);
    CountingProgress early(2);
    tlImage other;
    EXPECT_EQ(loadBytes(file, other, &early), 9);
    EXPECT_TRUE(other.picture.isEmpty());
    EXPECT_EQ(loadPath(tempPath("does_not_exist"), image), 2);
}

namespace {

// Loads RLE data for a w × h 8-bit (or 4-bit) picture and answers its
// indices, top row first.
Bytes decodeRle(int32_t w, int32_t h, bool fourBit, const Bytes &data, int32_t *code = nullptr) {
    FileSpec s;
    s.width = w;
    s.height = h;
    s.bitsPerPixel = fourBit ? 4 : 8;
    s.compression = fourBit ? 2 : 1;
    s.palette = palette4(fourBit ? 16 : 256);
    s.pixels = data;
    tlImage image;
    int32_t result = loadBytes(buildFile(s), image);
    if (code) *code = result;
    Bytes out;
    if (result != 0) return out;
    for (int32_t y = 0; y < h; ++y) out.insert(out.end(), image.picture.row(y), image.picture.row(y) + w);
    return out;
}

}  // namespace

TEST(BMPRunLength, RunsLinesDeltasAndAbsoluteRuns) {
    EXPECT_EQ(decodeRle(4, 2, false, {4, 7, 0, 0, 0, 1}), (Bytes{0, 0, 0, 0, 7, 7, 7, 7}));
    // Absolute run of 3 (odd: one pad byte), delta (0, 1), run of 1.
    EXPECT_EQ(decodeRle(4, 2, false, {0, 3, 5, 6, 7, 0, 0, 2, 0, 1, 1, 9, 0, 1}), (Bytes{0, 0, 0, 9, 5, 6, 7, 0}));
    EXPECT_EQ(decodeRle(4, 2, false, {0, 2, 2, 1, 2, 9}), (Bytes{0, 0, 9, 9, 0, 0, 0, 0}));
    // RLE4: a run alternates nibbles; an absolute run of 5 takes 4 bytes.
    EXPECT_EQ(decodeRle(6, 2, true, {5, 0x12, 0, 0, 0, 5, 0xAB, 0xCD, 0xE0, 0, 0, 1}),
              (Bytes{10, 11, 12, 13, 14, 0, 1, 2, 1, 2, 1, 0}));
    // The data simply ends: what was decoded stays.
    EXPECT_EQ(decodeRle(3, 1, false, {2, 4, 0}), (Bytes{4, 4, 0}));
    // An image-size field smaller than the data limits it.
    FileSpec s;
    s.width = 3;
    s.height = 1;
    s.bitsPerPixel = 8;
    s.compression = 1;
    s.imageSize = 2;
    s.palette = palette4(256);
    s.pixels = {1, 4, 1, 5, 0, 1};
    tlImage image;
    ASSERT_EQ(loadBytes(buildFile(s), image), 0);
    EXPECT_EQ(Bytes(image.picture.row(0), image.picture.row(0) + 3), (Bytes{4, 0, 0}));
}

TEST(BMPRunLength, StopsAtAnythingThatWouldLeaveThePicture) {
    // A run past the right edge.
    EXPECT_EQ(decodeRle(3, 1, false, {2, 1, 2, 2, 1, 3}), (Bytes{1, 1, 0}));
    EXPECT_EQ(decodeRle(3, 1, true, {4, 0x11}), (Bytes{0, 0, 0}));
    // An absolute run past the right edge, or past the data.
    EXPECT_EQ(decodeRle(3, 1, false, {1, 1, 0, 4, 5, 5, 5, 5}), (Bytes{1, 0, 0}));
    EXPECT_EQ(decodeRle(8, 1, false, {0, 5, 5, 5}), Bytes(8, 0));
    EXPECT_EQ(decodeRle(8, 1, true, {0, 7, 0x55, 0x55}), Bytes(8, 0));
    // A delta past the picture, and one that is cut off.
    EXPECT_EQ(decodeRle(3, 2, false, {1, 1, 0, 2, 3, 0, 1, 2}), (Bytes{0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(decodeRle(3, 2, false, {1, 1, 0, 2, 0, 2, 1, 2}), (Bytes{0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(decodeRle(3, 2, false, {1, 1, 0, 2, 1}), (Bytes{0, 0, 0, 1, 0, 0}));
    // A delta that lands exactly on the right edge is inside: the rows
    // after it still decode.
    EXPECT_EQ(decodeRle(3, 2, false, {1, 4, 0, 2, 2, 0, 0, 0, 1, 5, 0, 1}), (Bytes{5, 0, 0, 4, 0, 0}));
    EXPECT_EQ(decodeRle(3, 2, true, {1, 0x40, 0, 2, 2, 0, 0, 0, 1, 0x50, 0, 1}), (Bytes{5, 0, 0, 4, 0, 0}));
    // A delta onto the row just above the top, then a run: nothing is
    // written outside the picture.
    EXPECT_EQ(decodeRle(3, 2, false, {0, 2, 0, 2, 1, 6, 0, 3, 1, 2, 3, 0}), Bytes(6, 0));
    // End of line on the top row ends the decoding.
    EXPECT_EQ(decodeRle(2, 1, false, {1, 3, 0, 0, 2, 4}), (Bytes{3, 0}));
    // Top-down height: run-length rows are still bottom-up.
    FileSpec s;
    s.width = 1;
    s.height = -2;
    s.bitsPerPixel = 8;
    s.compression = 1;
    s.palette = palette4(256);
    s.pixels = {1, 5, 0, 0, 1, 6, 0, 1};
    tlImage image;
    ASSERT_EQ(loadBytes(buildFile(s), image), 0);
    EXPECT_EQ(image.picture.row(0)[0], 6);
    EXPECT_EQ(image.picture.row(1)[0], 5);
}

namespace {

// A few small valid files, one per reader path.
std::vector<Bytes> sampleFiles() {
    std::vector<Bytes> files;
    FileSpec pal8;
    pal8.width = 3;
    pal8.height = 2;
    pal8.bitsPerPixel = 8;
    pal8.coloursUsed = 4;
    pal8.palette = palette4(4);
    pal8.pixels = {0, 1, 2, 0, 3, 2, 1, 0};
    files.push_back(buildFile(pal8));
    FileSpec rle8 = pal8;
    rle8.compression = 1;
    rle8.pixels = {2, 1, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1};
    files.push_back(buildFile(rle8));
    FileSpec rle4 = rle8;
    rle4.bitsPerPixel = 4;
    rle4.compression = 2;
    rle4.pixels = {3, 0x12, 0, 0, 0, 2, 1, 2, 0, 1, 2, 0, 0, 1};
    files.push_back(buildFile(rle4));
    FileSpec core;
    core.headerSize = 12;
    core.width = 2;
    core.height = 2;
    core.bitsPerPixel = 1;
    core.palette = {0, 0, 0, 255, 255, 255};
    core.pixels = {0x80, 0, 0, 0, 0x40, 0, 0, 0};
    files.push_back(buildFile(core));
    FileSpec rgb;
    rgb.width = 2;
    rgb.height = -1;
    rgb.bitsPerPixel = 32;
    rgb.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    files.push_back(buildFile(rgb));
    return files;
}

}  // namespace

TEST(BMPHostile, EveryByteFlippedZeroedOrCutGivesAResultCode) {
    int loaded = 0;
    int files = 0;
    for (const Bytes &good : sampleFiles()) {
        tlImage image;
        ASSERT_EQ(loadBytes(good, image), 0) << "sample " << files;
        ++files;
        for (size_t i = 0; i < good.size(); ++i) {
            for (int variant = 0; variant < 4; ++variant) {
                Bytes bad = good;
                if (variant == 0) bad[i] ^= 0xFF;
                if (variant == 1) bad[i] = 0;
                if (variant == 2) bad[i] ^= 0x80;
                if (variant == 3) bad.resize(i);
                tlImage out;
                int32_t code = loadBytes(bad, out);
                ASSERT_GE(code, 0) << "file " << files << " byte " << i << " variant " << variant;
                ASSERT_LE(code, 9) << "file " << files << " byte " << i << " variant " << variant;
                if (code == 0) {
                    ++loaded;
                    ASSERT_FALSE(out.picture.isEmpty());
                } else {
                    ASSERT_TRUE(out.picture.isEmpty());
                }
            }
        }
    }
    EXPECT_GT(loaded, 0);
}
