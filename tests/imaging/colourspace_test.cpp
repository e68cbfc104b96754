// Colour-space conversions: worked values, sextants, rounding and round trips.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "imaging/colourspace.h"
#include "tests/support/pictures.h"

namespace {

struct Rgb8 {
    uint8_t r, g, b;
};

Rgb8 hsvRoundTrip(uint8_t r, uint8_t g, uint8_t b) {
    double h, s, v;
    rgbToHsv(r, g, b, h, s, v);
    Rgb8 out;
    hsvToRgb(h, s, v, out.r, out.g, out.b);
    return out;
}

}  // namespace

TEST(Hsv, WorkedValuesAndSextants) {
    double h, s, v;
    rgbToHsv(255, 0, 0, h, s, v);
    EXPECT_EQ(h, 0.0);
    EXPECT_EQ(s, 1.0);
    EXPECT_EQ(v, 1.0);
    rgbToHsv(0, 255, 0, h, s, v);
    EXPECT_EQ(h, 2.0 / 6.0);
    rgbToHsv(0, 0, 255, h, s, v);
    EXPECT_EQ(h, 4.0 / 6.0);
    rgbToHsv(255, 0, 255, h, s, v);  // negative sextant folds into the turn
    EXPECT_EQ(h, -1.0 / 6.0 + 1.0);
    rgbToHsv16(0, 65535, 0, h, s, v);
    EXPECT_EQ(h, 2.0 / 6.0);
    EXPECT_EQ(s, 1.0);

    uint8_t r, g, b;
    hsvToRgb(0.0, 1.0, 1.0, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
    hsvToRgb(1.0, 1.0, 1.0, r, g, b);  // H = 1 is red again, not an empty sextant
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
    hsvToRgb(0.5, 0.5, 1.0, r, g, b);  // 0.5 × 255 = 127.5 truncates
    EXPECT_EQ(r, 127);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 255);
    uint16_t r16, g16, b16;
    hsvToRgb16(0.0, 1.0, 1.0, r16, g16, b16);
    EXPECT_EQ(r16, 65535);
    EXPECT_EQ(g16, 0);
    EXPECT_EQ(b16, 0);
}

TEST(Hsv, GrayHasNoHueOrSaturation) {
    for (int v = 0; v < 256; v += 17) {
        double h, s, val;
        rgbToHsv(uint8_t(v), uint8_t(v), uint8_t(v), h, s, val);
        EXPECT_EQ(h, 0.0);
        EXPECT_EQ(s, 0.0);
        EXPECT_EQ(hsvSaturation(uint8_t(v), uint8_t(v), uint8_t(v)), 0.0);
    }
}

TEST(Hsv, OutOfRangeInputsStayInsideTheChannel) {
    uint8_t r, g, b;
    hsvToRgb(1.5, 1.0, 1.0, r, g, b);  // sextant 9: no sextant, black
    EXPECT_EQ(r + g + b, 0);
    hsvToRgb(0.0, 0.0, 2.0, r, g, b);  // value above 1 clamps
    EXPECT_EQ(r, 255);
    hsvToRgb(0.0, 0.0, -1.0, r, g, b);
    EXPECT_EQ(r, 0);
}

TEST(Hsv, RoundTripLosesAtMostOneUnitToTruncation) {
    int exact = 0, total = 0;
    for (int r = 0; r < 256; r += 5) {
        for (int g = 0; g < 256; g += 7) {
            for (int b = 0; b < 256; b += 3) {
                Rgb8 o = hsvRoundTrip(uint8_t(r), uint8_t(g), uint8_t(b));
                ASSERT_LE(std::abs(o.r - r), 1) << r << " " << g << " " << b;
                ASSERT_LE(std::abs(o.g - g), 1);
                ASSERT_LE(std::abs(o.b - b), 1);
                // Truncation can only lose.
                ASSERT_LE(o.r, r);
                ASSERT_LE(o.g, g);
                ASSERT_LE(o.b, b);
                exact += (o.r == r && o.g == g && o.b == b);
                ++total;
            }
        }
    }
    EXPECT_GT(exact, total / 2);
    Rgb8 red = hsvRoundTrip(255, 0, 0);
    EXPECT_EQ(red.r, 255);
}

TEST(HsvByteOps, SaturationValueLightness) {
    EXPECT_EQ(hsvSaturation(200, 100, 50), 150.0 / 200.0);
    EXPECT_EQ(hsvSaturation(0, 0, 0), 0.0);
    EXPECT_EQ(hsvValue(200, 100, 50), 200.0 / 255.0);
    EXPECT_EQ(hslLightness(255, 0, 0), 128);  // (255 + 0 + 1) >> 1
    EXPECT_EQ(hslLightness(200, 100, 51), 126);
    EXPECT_EQ(hslLightness(0, 0, 0), 0);
}

TEST(Hsl, WorkedValuesAndInexactRoundTrip) {
    uint8_t h, s, l, r, g, b;
    rgbToHslBytes(255, 0, 0, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 255);
    EXPECT_EQ(l, 128);
    hslBytesToRgb(0, 255, 128, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 1);
    EXPECT_EQ(b, 1);

    rgbToHslBytes(0, 255, 0, h, s, l);
    EXPECT_EQ(h, 85);
    rgbToHslBytes(0, 0, 255, h, s, l);
    EXPECT_EQ(h, 170);
    rgbToHslBytes(255, 0, 255, h, s, l);  // −42.5 + 255 = 212.5 rounds up
    EXPECT_EQ(h, 213);
    rgbToHslBytes(255, 255, 1, h, s, l);  // m = 128: the upper saturation branch
    EXPECT_EQ(s, 254);                    // 254·255 / 255
    EXPECT_EQ(l, 128);

    hslBytesToRgb(50, 0, 77, r, g, b);
    EXPECT_EQ(r, 77);
    EXPECT_EQ(g, 77);
    EXPECT_EQ(b, 77);
}

TEST(Hsl, GrayAndRoundTripNearness) {
    uint8_t h, s, l;
    for (int v = 0; v < 256; ++v) {
        rgbToHslBytes(uint8_t(v), uint8_t(v), uint8_t(v), h, s, l);
        ASSERT_EQ(h, 0);
        ASSERT_EQ(s, 0);
        ASSERT_EQ(l, v);
    }
    // The byte hue quantises a turn into 255 steps, so round trips drift by
    // a few units (at most 4 over all colours) but never wildly.
    int worst = 0;
    for (int r = 0; r < 256; r += 15) {
        for (int g = 0; g < 256; g += 15) {
            for (int b = 0; b < 256; b += 15) {
                uint8_t rr, gg, bb;
                rgbToHslBytes(uint8_t(r), uint8_t(g), uint8_t(b), h, s, l);
                hslBytesToRgb(h, s, l, rr, gg, bb);
                worst = std::max(worst, std::abs(rr - r));
                worst = std::max(worst, std::abs(gg - g));
                worst = std::max(worst, std::abs(bb - b));
            }
        }
    }
    EXPECT_LE(worst, 4);
}

TEST(YCbCr, WorkedValues8) {
    uint8_t y, r, g, b;
    int8_t cb, cr;
    rgbToYCbCr(255, 255, 255, y, cb, cr);
    EXPECT_EQ(y, 255);
    EXPECT_EQ(cb, 0);
    EXPECT_EQ(cr, 0);
    yCbCrToRgb(255, 0, 0, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 255);

    // Red: Y = 19672·255 >> 16 = 76; Cb = (−11058·255 + 65535) >> 16 = −43
    // (arithmetic shift); Cr = 32768·255 >> 16 = 127.
    rgbToYCbCr(255, 0, 0, y, cb, cr);
    EXPECT_EQ(y, 76);
    EXPECT_EQ(cb, -43);
    EXPECT_EQ(cr, 127);
    yCbCrToRgb(76, -43, 127, r, g, b);
    EXPECT_EQ(r, 254);  // (65536·76 + 91881·127) >> 16
    EXPECT_EQ(g, 0);    // negative clamps to 0
    EXPECT_EQ(b, 0);

    yCbCrToRgb(255, 0, 127, r, g, b);  // past 2^24 clamps to 255
    EXPECT_EQ(r, 255);
}

TEST(YCbCr, WorkedValues16) {
    uint16_t y, r, g, b;
    int16_t cb, cr;
    // The luma sum reaches 2^32 − 1 for white; it must not overflow.
    rgbToYCbCr16(65535, 65535, 65535, y, cb, cr);
    EXPECT_EQ(y, 65535);
    EXPECT_EQ(cb, 0);
    EXPECT_EQ(cr, 0);
    yCbCrToRgb16(65535, 0, 0, r, g, b);
    EXPECT_EQ(r, 65535);
    EXPECT_EQ(g, 65535);
    EXPECT_EQ(b, 65535);
    rgbToYCbCr16(0, 0, 65535, y, cb, cr);
    EXPECT_EQ(cb, 32767);
    rgbToYCbCr16(65535, 65535, 0, y, cb, cr);
    EXPECT_EQ(cb, -32767);
    yCbCrToRgb16(0, -1, 0, r, g, b);  // −88·−1 = 88, +0: >> 8 gives 0; B = −453 + 255 < 0 → 0
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
}

TEST(YCbCr, RoundTripsStayClose) {
    int worst8 = 0;
    for (int r = 0; r < 256; r += 3) {
        for (int g = 0; g < 256; g += 5) {
            for (int b = 0; b < 256; b += 7) {
                uint8_t y, rr, gg, bb;
                int8_t cb, cr;
                rgbToYCbCr(uint8_t(r), uint8_t(g), uint8_t(b), y, cb, cr);
                yCbCrToRgb(y, cb, cr, rr, gg, bb);
                worst8 = std::max({worst8, std::abs(rr - r), std::abs(gg - g), std::abs(bb - b)});
            }
        }
    }
    EXPECT_LE(worst8, 3);
    int worst16 = 0;
    for (int r = 0; r < 65536; r += 1111) {
        for (int g = 0; g < 65536; g += 1777) {
            for (int b = 0; b < 65536; b += 2222) {
                uint16_t y, rr, gg, bb;
                int16_t cb, cr;
                rgbToYCbCr16(uint16_t(r), uint16_t(g), uint16_t(b), y, cb, cr);
                yCbCrToRgb16(y, cb, cr, rr, gg, bb);
                worst16 = std::max({worst16, std::abs(rr - r), std::abs(gg - g), std::abs(bb - b)});
            }
        }
    }
    // The 16-bit inverse weights have 8 fractional bits (453 / 256 for 1.772),
    // which costs up to about 1/256 of the colour-difference range.
    EXPECT_LE(worst16, 128);
}

namespace {

// FNV-1a from the digest's own starting value, with doubles by their bytes.
struct Fnv {
    uint64_t h = 1469598103934665603ull;
    void add(const void *p, size_t n) { h = fnv1a(p, n, h); }
    void addReal(double v) { add(&v, sizeof v); }
};

}  // namespace

TEST(ColourSpaces, SameBitsOnEveryBuild) {
    // A digest of real and byte results over a grid of colours: the Linux and
    // Windows builds must agree to the last bit of every double.
    Fnv f;
    for (int r = 0; r < 256; r += 9) {
        for (int g = 0; g < 256; g += 11) {
            for (int b = 0; b < 256; b += 13) {
                double h, s, v;
                uint8_t o[3], hsl[3];
                rgbToHsv(uint8_t(r), uint8_t(g), uint8_t(b), h, s, v);
                f.addReal(h), f.addReal(s), f.addReal(v);
                hsvToRgb(h * 0.999, s, v, o[0], o[1], o[2]);
                f.add(o, 3);
                rgbToHslBytes(uint8_t(r), uint8_t(g), uint8_t(b), hsl[0], hsl[1], hsl[2]);
                hslBytesToRgb(hsl[0], hsl[1], hsl[2], o[0], o[1], o[2]);
                f.add(hsl, 3);
                f.add(o, 3);
                uint16_t o16[3];
                rgbToHsv16(uint16_t(r * 257), uint16_t(g * 251), uint16_t(b * 255), h, s, v);
                hsvToRgb16(h, s, v, o16[0], o16[1], o16[2]);
                f.addReal(h);
                f.add(o16, sizeof o16);
            }
        }
    }
    EXPECT_EQ(f.h, 1107148887478037879ull);
}
