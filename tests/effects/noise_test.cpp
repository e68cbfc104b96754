// HSV noise, histogram noise and spread: draws replayed on a private
// generator, zero amounts, odd amounts, every format, and fixed digests that
// the Linux and Windows builds must both give.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "effects/core/random.h"
#include "effects/filters/noise.h"
#include "imaging/colourspace.h"
#include "imaging/picture.h"
#include "tests/effects/effect_test_util.h"

namespace {

// Scribbled picture; with alpha every seventh pixel is transparent.
std::unique_ptr<tlPicture> noisy(int32_t w, int32_t h, tlPixelFormat format, uint32_t seed) {
    std::unique_ptr<tlPicture> p(new tlPicture);
    if (!p->create(w, h, format)) return p;
    scribble(*p, seed);
    if (p->hasAlpha())
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                if ((y * w + x) % 7 == 0) {
                    const int32_t bytes = format.bits / 8;
                    std::memset(p->pixelAddress(x, y) + (format.channels - 1) * bytes, 0, bytes);
                }
    return p;
}

// True when the shared generator stands where a private one seeded with seed
// stands after the given draws (compared by the next output of each).
bool sharedAt(tlRandom &replay) { return sharedRandom().next() == replay.next(); }

int64_t clampTo(int64_t v, int64_t hi) { return v < 0 ? 0 : (v > hi ? hi : v); }

// HSV noise replayed pixel by pixel (amounts 0 .. 180, so one turn of hue
// wrap is enough): the expected picture, drawn from replay.
void hsvNoiseReference(const tlPicture &src, tlPicture &dst, const tlHSVNoiseEffect &e, tlRandom &replay) {
    const int64_t full = src.bits == 8 ? 255 : 65535;
    const int32_t ai = src.channels - 1;
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x) {
            if (e.coverage != 100 && !(static_cast<int32_t>(replay.below(100)) < e.coverage)) continue;
            uint8_t *q = dst.pixelAddress(x, y);
            if (src.model == tlColourModel::RGB) {
                double h, s, v;
                if (src.bits == 8) {
                    rgbToHsv(static_cast<uint8_t>(sample(src, x, y, 0)), static_cast<uint8_t>(sample(src, x, y, 1)),
                             static_cast<uint8_t>(sample(src, x, y, 2)), h, s, v);
                } else {
                    rgbToHsv16(static_cast<uint16_t>(sample(src, x, y, 0)), static_cast<uint16_t>(sample(src, x, y, 1)),
                               static_cast<uint16_t>(sample(src, x, y, 2)), h, s, v);
                }
                if (e.hueNoise != 0) {
                    const int64_t d = replay.below(2 * e.hueNoise + 1);
                    h = static_cast<double>(h + (e.hueNoise - d) * (1.0L / 360.0L));
                    if (h < 0)
                        h += 1;
                    else if (h > 1)
                        h -= 1;
                }
                if (e.saturationNoise != 0) {
                    const int64_t d = replay.below(2 * e.saturationNoise + 1);
                    s = std::min(1.0, std::max(0.0, s + (e.saturationNoise - d) * 0.01));
                }
                if (e.valueNoise != 0) {
                    const int64_t d = replay.below(2 * e.valueNoise + 1);
                    v = std::min(1.0, std::max(0.0, v + (e.valueNoise - d) * 0.01));
                }
                if (src.bits == 8) {
                    hsvToRgb(h, s, v, q[0], q[1], q[2]);
                } else {
                    uint16_t rgb[3];
                    hsvToRgb16(h, s, v, rgb[0], rgb[1], rgb[2]);
                    std::memcpy(q, rgb, 6);  // little-endian samples
                }
            } else {
                int64_t v = sample(src, x, y, 0);
                if (e.valueNoise != 0)
                    v = clampTo(v + ((e.valueNoise - static_cast<int64_t>(replay.below(2 * e.valueNoise + 1))) * full) /
                                        100,
                                full);
                std::memcpy(q, &v, src.bits / 8);
            }
            if (src.hasAlpha()) {
                int64_t a = sample(src, x, y, ai);
                if (e.alphaNoise != 0 && a != 0)
                    a = clampTo(a + e.alphaNoise - replay.below(2 * e.alphaNoise + 1), full);
                std::memcpy(q + ai * src.bits / 8, &a, src.bits / 8);
            }
        }
}

}  // namespace

// All amounts 0 at full coverage: every pixel is only converted to HSV and
// back, and nothing is drawn.
TEST(HSVNoise, ZeroAmountsOnlyConvert) {
    auto src = noisy(11, 6, kRGBA8, 1);
    tlPicture out;
    tlHSVNoiseEffect noise;
    noise.seed = 99;
    ASSERT_TRUE(run(noise, *src, out));
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 11; ++x) {
            const uint8_t *p = src->pixelAddress(x, y);
            double h, s, v;
            uint8_t rgb[3];
            rgbToHsv(p[0], p[1], p[2], h, s, v);
            hsvToRgb(h, s, v, rgb[0], rgb[1], rgb[2]);
            EXPECT_EQ(std::memcmp(out.pixelAddress(x, y), rgb, 3), 0);
            EXPECT_EQ(out.pixelAddress(x, y)[3], p[3]);
        }
    tlRandom replay;
    replay.seed(99);
    EXPECT_TRUE(sharedAt(replay));
}

// Below full coverage one below(100) per pixel decides; the pixels left out
// keep their bytes exactly.
TEST(HSVNoise, CoverageDrawsOncePerPixel) {
    auto src = noisy(9, 7, kRGB8, 2);
    tlPicture out;
    tlHSVNoiseEffect noise;
    noise.coverage = 40;
    noise.seed = 5;
    ASSERT_TRUE(run(noise, *src, out));
    tlRandom replay;
    replay.seed(5);
    int32_t kept = 0;
    for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 9; ++x)
            if (replay.below(100) >= 40) {
                EXPECT_EQ(std::memcmp(out.pixelAddress(x, y), src->pixelAddress(x, y), 3), 0);
                ++kept;
            }
    EXPECT_GT(kept, 10);
    EXPECT_TRUE(sharedAt(replay));
}

// Every format against the replayed draws: hue, saturation, value and alpha
// in that order, transparent pixels drawing nothing for alpha, gray pictures
// drawing only for value.
TEST(HSVNoise, MatchesReplayedDraws) {
    const tlPixelFormat formats[] = {kRGBA8, kRGB8, kRGBA16, kRGB16, kGrayA8, kGray8, kGrayA16};
    const int32_t amounts[][5] = {{100, 20, 10, 10, 0}, {70, 180, 0, 3, 40}, {1, 1, 100, 0, 255}, {55, 7, 1, 1, 65535}};
    int32_t n = 0;
    for (const tlPixelFormat &f : formats)
        for (const auto &a : amounts) {
            auto src = noisy(13, 5, f, 40 + n);
            tlHSVNoiseEffect noise;
            noise.coverage = a[0], noise.hueNoise = a[1], noise.saturationNoise = a[2], noise.valueNoise = a[3];
            noise.alphaNoise = a[4], noise.seed = 1000 + n;
            tlPicture out, want(*src);
            ASSERT_TRUE(run(noise, *src, out));
            tlRandom replay;
            replay.seed(static_cast<uint32_t>(noise.seed));
            hsvNoiseReference(*src, want, noise, replay);
            EXPECT_TRUE(samePixels(out, want)) << f.model << "/" << f.bits << "/" << f.channels << " case " << n % 4;
            EXPECT_TRUE(sharedAt(replay));
            ++n;
        }
}

// A hue pushed several turns away comes back into one turn: pure red stays
// fully saturated and bright whatever the shift (a hue left outside would
// give black).
TEST(HSVNoise, FarHueShiftsWrapIntoOneTurn) {
    tlPicture red, out;
    ASSERT_TRUE(red.create(16, 16, kRGB8));
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x) {
            uint8_t *p = red.pixelAddress(x, y);
            p[0] = 255, p[1] = 0, p[2] = 0;
        }
    for (int32_t amount : {181, 1000, 100000, INT_MAX}) {
        tlHSVNoiseEffect noise;
        noise.hueNoise = amount;
        ASSERT_TRUE(run(noise, red, out));
        for (int32_t y = 0; y < 16; ++y)
            for (int32_t x = 0; x < 16; ++x) {
                const uint8_t *p = out.pixelAddress(x, y);
                EXPECT_EQ(std::max(p[0], std::max(p[1], p[2])), 255) << amount;
                EXPECT_EQ(std::min(p[0], std::min(p[1], p[2])), 0) << amount;
            }
    }
}

TEST(HSVNoise, OddAmountsFormatsAndProgress) {
    auto src = noisy(8, 6, kRGBA8, 3);
    tlPicture out, again;
    tlHSVNoiseEffect noise;
    // Negative amounts count as 0: no draws, only the conversion.
    noise.hueNoise = -5, noise.saturationNoise = INT_MIN, noise.valueNoise = -1, noise.alphaNoise = -7;
    noise.seed = 8;
    ASSERT_TRUE(run(noise, *src, out));
    tlHSVNoiseEffect plain;
    ASSERT_TRUE(run(plain, *src, again));
    EXPECT_TRUE(samePixels(out, again));
    // The largest amounts draw over the whole 32-bit range and clamp.
    noise.hueNoise = noise.saturationNoise = noise.valueNoise = noise.alphaNoise = INT_MAX;
    ASSERT_TRUE(run(noise, *src, out));
    ASSERT_TRUE(run(noise, *src, again));
    EXPECT_TRUE(samePixels(out, again));
    auto gray = noisy(8, 6, kGrayA16, 4);
    ASSERT_TRUE(run(noise, *gray, out));
    // Coverage outside 1 .. 100 (possible only when set directly).
    noise.coverage = -3;
    ASSERT_TRUE(run(noise, *src, out));
    EXPECT_TRUE(samePixels(out, *src));

    tlPicture indexed;
    ASSERT_TRUE(indexed.create(5, 5, kIndexed8));
    scribble(indexed, 6);
    noise.coverage = 50;
    ASSERT_TRUE(run(noise, indexed, out));
    EXPECT_TRUE(samePixels(out, indexed));
    tlRandom replay;
    replay.seed(8);
    EXPECT_TRUE(sharedAt(replay));

    // Equal seeds, equal pictures; another seed, another picture.
    noise.hueNoise = 20, noise.saturationNoise = 10, noise.valueNoise = 10, noise.alphaNoise = 0;
    ASSERT_TRUE(run(noise, *src, out));
    ASSERT_TRUE(run(noise, *src, again));
    EXPECT_TRUE(samePixels(out, again));
    noise.seed = 9;
    ASSERT_TRUE(run(noise, *src, again));
    EXPECT_FALSE(samePixels(out, again));

    CountingProgress stop(3);
    ASSERT_FALSE(run(noise, *src, out, &stop));
    EXPECT_EQ(stop.total, 5);
    EXPECT_EQ(std::memcmp(out.row(5), src->row(5), 32), 0);
}

// amount 0: k = 0, every level maps to itself after one below(1) each.
TEST(HistogramNoise, ZeroAmountKeepsGrayPictures) {
    const int32_t bits[] = {8, 16};
    for (int32_t b : bits) {
        auto src = noisy(10, 4, tlPixelFormat::gray(b, 2), 7);
        tlPicture out;
        tlHistogramNoiseEffect noise;
        noise.amount = 0;
        noise.seed = 12;
        ASSERT_TRUE(run(noise, *src, out));
        EXPECT_TRUE(samePixels(out, *src));
        tlRandom replay;
        replay.seed(12);
        for (int32_t i = 0; i < (b == 8 ? 256 : 65536); ++i) replay.next();
        EXPECT_TRUE(sharedAt(replay)) << b;
    }
}

// The level table: t[i] = i + below(2k + 1) − k, cut, k = amount × 255 / 100.
// Gray pictures map through it; RGB pictures map only their luma.
TEST(HistogramNoise, LevelTableAndLuma) {
    tlPicture ramp, out;
    ASSERT_TRUE(ramp.create(16, 16, kGray8));
    for (int32_t i = 0; i < 256; ++i) ramp.pixelAddress(i % 16, i / 16)[0] = static_cast<uint8_t>(i);
    tlHistogramNoiseEffect noise;
    noise.amount = 13;  // k = 33
    noise.seed = 77;
    ASSERT_TRUE(run(noise, ramp, out));
    tlRandom replay;
    replay.seed(77);
    uint8_t t[256];
    for (int32_t i = 0; i < 256; ++i) {
        t[i] = static_cast<uint8_t>(clampTo(i + static_cast<int64_t>(replay.below(67)) - 33, 255));
        EXPECT_EQ(out.pixelAddress(i % 16, i / 16)[0], t[i]);
    }

    auto rgba = noisy(9, 5, kRGBA8, 8);
    ASSERT_TRUE(run(noise, *rgba, out));
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 9; ++x) {
            const uint8_t *p = rgba->pixelAddress(x, y);
            uint8_t l, want[4];
            int8_t cb, cr;
            rgbToYCbCr(p[0], p[1], p[2], l, cb, cr);
            yCbCrToRgb(t[l], cb, cr, want[0], want[1], want[2]);
            want[3] = p[3];
            EXPECT_EQ(std::memcmp(out.pixelAddress(x, y), want, 4), 0);
        }

    // 16-bit: k = 13 × 65535 / 100 = 8519, 65536 levels.
    auto deep = noisy(7, 3, kRGB16, 9);
    ASSERT_TRUE(run(noise, *deep, out));
    replay.seed(77);
    std::vector<uint16_t> t16(65536);
    for (int32_t i = 0; i < 65536; ++i)
        t16[i] = static_cast<uint16_t>(clampTo(i + static_cast<int64_t>(replay.below(2 * 8519 + 1)) - 8519, 65535));
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 7; ++x) {
            uint16_t l, rgb[3];
            int16_t cb, cr;
            rgbToYCbCr16(static_cast<uint16_t>(sample(*deep, x, y, 0)), static_cast<uint16_t>(sample(*deep, x, y, 1)),
                         static_cast<uint16_t>(sample(*deep, x, y, 2)), l, cb, cr);
            yCbCrToRgb16(t16[l], cb, cr, rgb[0], rgb[1], rgb[2]);
            for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(sample(out, x, y, c), rgb[c]);
        }
}

TEST(HistogramNoise, OddAmountsAndFormats) {
    auto gray = noisy(12, 5, kGray8, 10);
    tlPicture out, again;
    tlHistogramNoiseEffect noise;
    for (int32_t amount : {-1, INT_MIN}) {  // negative amounts count as 0
        noise.amount = amount;
        ASSERT_TRUE(run(noise, *gray, out));
        EXPECT_TRUE(samePixels(out, *gray));
    }
    // The largest amount: k is capped so 2k + 1 still fits the draw; nearly
    // every level lands on an end of the range.
    noise.amount = INT_MAX;
    ASSERT_TRUE(run(noise, *gray, out));
    int32_t ends = 0;
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 12; ++x) ends += out.pixelAddress(x, y)[0] == 0 || out.pixelAddress(x, y)[0] == 255;
    EXPECT_GT(ends, 55);
    auto deep = noisy(4, 4, kGrayA16, 11);
    ASSERT_TRUE(run(noise, *deep, out));
    ASSERT_TRUE(run(noise, *deep, again));
    EXPECT_TRUE(samePixels(out, again));

    tlPicture indexed;
    ASSERT_TRUE(indexed.create(5, 5, kIndexedA8));
    scribble(indexed, 6);
    noise.seed = 4;
    ASSERT_TRUE(run(noise, indexed, out));
    EXPECT_TRUE(samePixels(out, indexed));
    tlRandom replay;
    replay.seed(4);
    EXPECT_TRUE(sharedAt(replay));  // no table was drawn

    CountingProgress stop(1);
    noise.amount = 20;
    ASSERT_FALSE(run(noise, *gray, out, &stop));
    EXPECT_EQ(stop.total, 4);
}

// Every pixel size: two draws per pixel (dx, then dy) pick the source pixel,
// wrapped around the picture or clamped to its edge, read from the source.
TEST(Spread, MatchesReplayedDraws) {
    const tlPixelFormat formats[] = {kGray8, kGrayA8, kRGB8, kRGBA8, kRGB16, kRGBA16, kIndexed8};
    const int32_t spreads[][2] = {{1, 1}, {3, 3}, {5, 2}, {0, 4}, {40, 1}};
    int32_t n = 0;
    for (const tlPixelFormat &f : formats)
        for (const auto &s : spreads)
            for (bool wrap : {false, true}) {
                auto src = noisy(7, 6, f, 300 + n);
                tlSpreadEffect spread;
                spread.spreadX = s[0], spread.spreadY = s[1], spread.wrap = wrap, spread.seed = n;
                tlPicture out;
                ASSERT_TRUE(run(spread, *src, out));
                tlRandom replay;
                replay.seed(static_cast<uint32_t>(n));
                for (int32_t y = 0; y < 6; ++y)
                    for (int32_t x = 0; x < 7; ++x) {
                        int32_t sx = x + static_cast<int32_t>(replay.below(2 * s[0] + 1)) - s[0];
                        int32_t sy = y + static_cast<int32_t>(replay.below(2 * s[1] + 1)) - s[1];
                        sx = wrap ? ((sx % 7) + 7) % 7 : std::min(6, std::max(0, sx));
                        sy = wrap ? ((sy % 6) + 6) % 6 : std::min(5, std::max(0, sy));
                        ASSERT_EQ(std::memcmp(out.pixelAddress(x, y), src->pixelAddress(sx, sy), src->bytesPerPixel()),
                                  0)
                            << "case " << n << " at " << x << "," << y;
                    }
                EXPECT_TRUE(sharedAt(replay));
                ++n;
            }
}

TEST(Spread, OddSpreadsAndProgress) {
    auto src = noisy(9, 8, kRGBA8, 12);
    tlPicture out, again;
    tlSpreadEffect spread;
    spread.spreadX = -3, spread.spreadY = INT_MIN;  // negative spreads do not move
    ASSERT_TRUE(run(spread, *src, out));
    EXPECT_TRUE(samePixels(out, *src));
    tlRandom replay;
    replay.seed(1);
    for (int32_t i = 0; i < 2 * 9 * 8; ++i) replay.next();
    EXPECT_TRUE(sharedAt(replay));

    for (bool wrap : {false, true}) {
        spread.spreadX = spread.spreadY = INT_MAX;
        spread.wrap = wrap;
        ASSERT_TRUE(run(spread, *src, out));
        ASSERT_TRUE(run(spread, *src, again));
        EXPECT_TRUE(samePixels(out, again));
    }
    tlPicture one;
    ASSERT_TRUE(one.create(1, 1, kRGBA16));
    scribble(one, 3);
    ASSERT_TRUE(run(spread, one, out));
    EXPECT_TRUE(samePixels(out, one));

    CountingProgress stop(2);
    spread.spreadX = spread.spreadY = 2;
    ASSERT_FALSE(run(spread, *src, out, &stop));
    EXPECT_EQ(stop.total, 7);
    EXPECT_EQ(std::memcmp(out.row(7), src->row(7), 36), 0);
}

// Pinned digests: the Linux and the Windows build must both give these (the
// hue step computes in long double; the conversions in double).
TEST(NoiseFilters, CrossBuildDigests) {
    auto rgba = noisy(64, 40, kRGBA8, 51);
    auto deep = noisy(31, 17, kRGBA16, 52);
    tlPicture out;
    tlHSVNoiseEffect hsv;
    hsv.hueNoise = 20, hsv.saturationNoise = 10, hsv.valueNoise = 10, hsv.seed = 123456789;
    ASSERT_TRUE(run(hsv, *rgba, out));
    EXPECT_EQ(digest(out), 0xae57bf9244eaf339ull) << std::hex << digest(out);
    hsv.hueNoise = 180, hsv.coverage = 60, hsv.alphaNoise = 900;
    ASSERT_TRUE(run(hsv, *deep, out));
    EXPECT_EQ(digest(out), 0xb5ccde551f6d7bedull) << std::hex << digest(out);
    tlHistogramNoiseEffect histogram;
    histogram.amount = 13, histogram.seed = 4242;
    ASSERT_TRUE(run(histogram, *rgba, out));
    EXPECT_EQ(digest(out), 0xaeaf278001531eaeull) << std::hex << digest(out);
    ASSERT_TRUE(run(histogram, *deep, out));
    EXPECT_EQ(digest(out), 0x2082d74e8ff02d2bull) << std::hex << digest(out);
    tlSpreadEffect spread;
    spread.spreadX = 5, spread.spreadY = 2, spread.wrap = true, spread.seed = 31337;
    ASSERT_TRUE(run(spread, *rgba, out));
    EXPECT_EQ(digest(out), 0x36c985a37ca8c739ull) << std::hex << digest(out);
}
