// Row converter: every format pair against hand-computed values, alpha
// add/drop, depth rules and the indexed gray table.
#include "imaging/picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imaging/pixel_math.h"
#include "tests/support/formats.h"

namespace {

int32_t kindOf(const tlPixelFormat &f) { return static_cast<int32_t>(f.model) * 2 + (f.bits == 16 ? 1 : 0); }

// Colour of each source kind, on its own scale: components (R, G, B or the
// gray value or the index) and alpha when the source has it.
struct Sample {
    uint32_t c[3];
    uint32_t a;
};
const Sample kSources[5] = {
    {{10, 20, 30}, 40},                  // RGB 8
    {{0x1234, 0x5678, 0x9ABC}, 0xDEF0},  // RGB 16
    {{200, 0, 0}, 100},                  // gray 8
    {{0xABCD, 0, 0}, 0x1357},            // gray 16
    {{5, 0, 0}, 77},                     // indexed, entry 5 is (10, 20, 30)
};

// Expected[destination kind][source kind]: components and the carried alpha
// on the destination's scale; hand-computed from the conversion rules.
struct Expect {
    uint32_t c[3];
    uint32_t a;
    bool written;
};
const Expect kExpected[5][5] = {
    // RGB 8 from: RGB 8, RGB 16 (high bytes), gray 8, gray 16, indexed
    {{{10, 20, 30}, 40, true},
     {{0x12, 0x56, 0x9A}, 0xDE, true},
     {{200, 200, 200}, 100, true},
     {{0xAB, 0xAB, 0xAB}, 0x13, true},
     {{10, 20, 30}, 77, true}},
    // RGB 16
    {{{2570, 5140, 7710}, 10280, true},
     {{0x1234, 0x5678, 0x9ABC}, 0xDEF0, true},
     {{51400, 51400, 51400}, 25700, true},
     {{0xABCD, 0xABCD, 0xABCD}, 0x1357, true},
     {{2570, 5140, 7710}, 19789, true}},
    // gray 8: (77*10+151*20+28*30)>>8 = 18; (77*4660+151*22136+28*39612)>>16 = 73
    {{{18}, 40, true}, {{73}, 0xDE, true}, {{200}, 100, true}, {{0xAB}, 0x13, true}, {{18}, 77, true}},
    // gray 16: (19672*10+38621*20+7500*30)>>8 = 4664; 4810492>>8 = 18790
    {{{4664}, 10280, true},
     {{18790}, 0xDEF0, true},
     {{51400}, 25700, true},
     {{0xABCD}, 0x1357, true},
     {{4664}, 19789, true}},
    // indexed: only from indexed
    {{{0}, 0, false}, {{0}, 0, false}, {{0}, 0, false}, {{0}, 0, false}, {{5}, 77, true}},
};

void putSample(std::vector<uint8_t> &row, size_t at, int32_t bits, uint32_t v) {
    writeSample(row.data(), bits, static_cast<int32_t>(at), v);
}

uint32_t getSample(const std::vector<uint8_t> &row, size_t at, int32_t bits) {
    return readSample(row.data(), bits, static_cast<int32_t>(at));
}

tlPalette testPalette() {
    tlPalette palette;
    EXPECT_TRUE(palette.resize(256));
    palette.setEntry(5, 10, 20, 30);
    palette.setEntry(0, 0, 0, 0);
    return palette;
}

}  // namespace

// Two pixels per pair: the test colour, then all-zero samples, followed by a
// sentinel byte that must survive.
TEST(ConvertRow, EveryPairOfTheTable) {
    const tlPalette palette = testPalette();
    for (const tlPixelFormat &src : kAllFormats) {
        for (const tlPixelFormat &dst : kAllFormats) {
            SCOPED_TRACE(testing::Message() << "src " << src << " dst " << dst);
            const Sample &in = kSources[kindOf(src)];
            std::vector<uint8_t> srcRow(2 * src.channels * src.bits / 8, 0);
            for (int32_t c = 0; c < src.colourChannels(); ++c) putSample(srcRow, c, src.bits, in.c[c]);
            if (src.channels % 2 == 0) putSample(srcRow, src.channels - 1, src.bits, in.a);

            const size_t dstBytes = 2 * dst.channels * dst.bits / 8;
            std::vector<uint8_t> dstRow(dstBytes + 1, 0xEE);
            convertRow(dstRow.data(), dst, srcRow.data(), src, &palette, 2);
            ASSERT_EQ(dstRow[dstBytes], 0xEE);

            const Expect &want = kExpected[kindOf(dst)][kindOf(src)];
            if (!want.written) {
                for (size_t i = 0; i < dstBytes; ++i) EXPECT_EQ(dstRow[i], 0xEE);
                continue;
            }
            const uint32_t opaque = dst.bits == 8 ? 255 : 65535;
            const bool srcAlpha = src.channels % 2 == 0, dstAlpha = dst.channels % 2 == 0;
            const int32_t colours = dst.colourChannels();
            for (int32_t c = 0; c < colours; ++c) {
                EXPECT_EQ(getSample(dstRow, c, dst.bits), want.c[c]) << "channel " << c;
                EXPECT_EQ(getSample(dstRow, dst.channels + c, dst.bits), 0u) << "second pixel " << c;
            }
            if (dstAlpha) {
                EXPECT_EQ(getSample(dstRow, dst.channels - 1, dst.bits), srcAlpha ? want.a : opaque);
                EXPECT_EQ(getSample(dstRow, 2 * dst.channels - 1, dst.bits), srcAlpha ? 0u : opaque);
            }
        }
    }
}

// 16 to 8 bits is the high byte, not v / 257: the samples differ for
// every 8-bit target (gray from equal R, G, B is that value again).
TEST(ConvertRow, NarrowingTakesTheHighByte) {
    const uint32_t samples[][2] = {{0x8000, 0x80}, {0x0100, 0x01}, {0xFF00, 0xFF}, {0x00FF, 0x00}};
    const tlPixelFormat sources[] = {kRGB16, kRGBA16, kGray16, kGrayA16};
    const tlPixelFormat targets[] = {kRGB8, kRGBA8, kGray8, kGrayA8};
    for (const tlPixelFormat &src : sources)
        for (const tlPixelFormat &dst : targets)
            for (const auto &sample : samples) {
                std::vector<uint8_t> in(src.channels * 2), out(dst.channels);
                for (int32_t c = 0; c < src.channels; ++c) putSample(in, c, 16, sample[0]);
                convertRow(out.data(), dst, in.data(), src, nullptr, 1);
                for (int32_t c = 0; c < dst.channels; ++c) {
                    // A target alpha without a source alpha is opaque.
                    const bool addedAlpha = dst.channels % 2 == 0 && c == dst.channels - 1 && src.channels % 2 == 1;
                    EXPECT_EQ(out[c], addedAlpha ? 255u : sample[1])
                        << src.model << "/" << src.channels << " to " << dst.model << "/" << dst.channels << " sample "
                        << sample[0] << " channel " << c;
                }
            }
}

TEST(ConvertRow, WorkedNumbers) {
    const uint8_t rgba[4] = {10, 20, 30, 40};
    uint8_t gray[2] = {};
    convertRow(gray, kGrayA8, rgba, kRGBA8, nullptr, 1);
    EXPECT_EQ(gray[0], 18);
    EXPECT_EQ(gray[1], 40);

    const uint8_t g8 = 200;
    uint8_t g16[2] = {};
    convertRow(g16, kGray16, &g8, kGray8, nullptr, 1);
    EXPECT_EQ(g16[0] | g16[1] << 8, 51400);

    // White stays white across every gray formula.
    const uint8_t white8[3] = {255, 255, 255};
    const uint8_t white16[6] = {255, 255, 255, 255, 255, 255};
    uint8_t out[2] = {};
    convertRow(out, kGray16, white8, kRGB8, nullptr, 1);
    EXPECT_EQ(out[0] | out[1] << 8, 65535);
    convertRow(out, kGray8, white16, kRGB16, nullptr, 1);
    EXPECT_EQ(out[0], 255);
}

TEST(ConvertRow, IndexedGrayTableGivesTheSameBytes) {
    tlPalette palette;
    ASSERT_TRUE(palette.resize(256));
    for (int32_t i = 0; i < 256; ++i)
        palette.setEntry(i, static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 13));
    const int32_t n = 600;
    std::vector<uint8_t> src(2 * n);
    for (int32_t i = 0; i < n; ++i) {
        src[2 * i] = static_cast<uint8_t>(i * 31 + 3);
        src[2 * i + 1] = static_cast<uint8_t>(i);
    }
    for (int32_t bits : {8, 16}) {
        for (int32_t channels : {1, 2}) {
            const tlPixelFormat gray = tlPixelFormat::gray(bits, channels);
            const int32_t bpp = gray.bytesPerPixel();
            std::vector<uint8_t> whole(n * bpp), pieces(n * bpp);
            convertRow(whole.data(), gray, src.data(), kIndexedA8, &palette, n);  // table
            for (int32_t at = 0; at < n; at += 200)                               // runs of 200: per pixel
                convertRow(pieces.data() + at * bpp, gray, src.data() + 2 * at, kIndexedA8, &palette, 200);
            EXPECT_EQ(whole, pieces) << bits << " bits, " << channels << " channels";
        }
    }
}

TEST(ConvertRow, UncoveredOrInvalidFormatsWriteNothing) {
    const uint8_t src[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    uint8_t dst[8];
    std::memset(dst, 0xEE, sizeof dst);
    convertRow(dst, kIndexed8, src, kGray8, nullptr, 2);                                    // gray to indexed
    convertRow(dst, tlPixelFormat::rgb(8, 2), src, kRGBA8, nullptr, 2);                     // RGB with 2 channels
    convertRow(dst, kRGB8, src, tlPixelFormat{tlColourModel::Indexed, 16, 1}, nullptr, 2);  // indexed 16
    convertRow(dst, kRGB8, src, kRGB8, nullptr, 0);                                         // empty run
    for (uint8_t b : dst) EXPECT_EQ(b, 0xEE);
}

TEST(ConvertRow, IndexedWithoutFullPaletteReadsBlackBeyondIt) {
    tlPalette small;
    ASSERT_TRUE(small.resize(2));
    small.setEntry(1, 9, 8, 7);
    const uint8_t src[3] = {1, 200, 0};
    uint8_t dst[9];
    convertRow(dst, kRGB8, src, kIndexed8, &small, 3);
    const uint8_t want[9] = {9, 8, 7, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(dst, want, 9), 0);
    convertRow(dst, kRGB8, src, kIndexed8, nullptr, 3);
    for (uint8_t b : dst) EXPECT_EQ(b, 0);
}
