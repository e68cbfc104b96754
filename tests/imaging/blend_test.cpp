// Compositing kernels: mode formulas at their edges, weights and alpha,
// channel-count pairs, indexed copies, shortcuts against the general path,
// row kernels against a per-pixel reference, span painters and blendFrom.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "imaging/blend.h"
#include "imaging/colourspace.h"
#include "imaging/picture.h"
#include "imaging/pixel_math.h"
#include "tests/support/formats.h"
#include "tests/support/pictures.h"

namespace {

typedef std::vector<uint8_t> Bytes;

Bytes words(std::initializer_list<uint32_t> values) {
    Bytes out;
    for (uint32_t v : values) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    }
    return out;
}

uint32_t word(const Bytes &b, size_t i) { return load16(&b[2 * i]); }

// B(D, S) of a channel mode at 8 bits, seen through an opaque RGB blend.
uint32_t mode8(int32_t mode, uint32_t d, uint32_t s) {
    Bytes dst = {uint8_t(d), uint8_t(d), uint8_t(d)}, src = {uint8_t(s), uint8_t(s), uint8_t(s)};
    EXPECT_TRUE(blendRow(dst.data(), kRGB8, src.data(), kRGB8, nullptr, mode, 65535, 1));
    return dst[0];
}

uint32_t mode16(int32_t mode, uint32_t d, uint32_t s) {
    Bytes dst = words({d}), src = words({s});
    EXPECT_TRUE(blendRow(dst.data(), kGray16, src.data(), kGray16, nullptr, mode, 65535, 1));
    return word(dst, 0);
}

constexpr tlColourModel kRGB = tlColourModel::RGB;
constexpr tlColourModel kGray = tlColourModel::Gray;

// One 8-bit pixel blended; returns the destination bytes.
Bytes blendPixel8(tlColourModel model, Bytes dst, int32_t dc, const Bytes &src, int32_t sc, int32_t mode, uint32_t o) {
    const tlPixelFormat dstFormat{model, 8, dc}, srcFormat{model, 8, sc};
    EXPECT_TRUE(blendRow(dst.data(), dstFormat, src.data(), srcFormat, nullptr, mode, o, 1));
    return dst;
}

}  // namespace

TEST(BlendModes8, WorkedValuesAndEdges) {
    for (uint32_t s = 0; s < 256; ++s) {
        EXPECT_EQ(mode8(1, 255, s), s);   // multiply by white
        EXPECT_EQ(mode8(2, s, 255), s);   // divide by white: D·256 / 256
        EXPECT_EQ(mode8(8, s, 0), s);     // screen with black
        EXPECT_EQ(mode8(12, s, 0), s);    // dodge with black
        EXPECT_EQ(mode8(13, s, 255), s);  // burn with white
    }
    EXPECT_EQ(mode8(1, 128, 128), 64u);
    EXPECT_EQ(mode8(2, 1, 0), 255u);
    EXPECT_EQ(mode8(2, 0, 0), 0u);
    EXPECT_EQ(mode8(3, 10, 250), 240u);
    EXPECT_EQ(mode8(4, 200, 100), 255u);
    EXPECT_EQ(mode8(5, 100, 200), 0u);
    EXPECT_EQ(mode8(5, 200, 100), 100u);
    EXPECT_EQ(mode8(6, 30, 40), 30u);
    EXPECT_EQ(mode8(7, 30, 40), 40u);
    EXPECT_EQ(mode8(9, 255, 0), 255u);     // soft light keeps white
    EXPECT_EQ(mode8(9, 0, 255), 0u);       // and black
    EXPECT_EQ(mode8(10, 200, 128), 200u);  // hard light, first branch
    EXPECT_EQ(mode8(10, 200, 129), 201u);  // 255 − ((253·55) >> 8)
    EXPECT_EQ(mode8(10, 255, 128), 255u);
    EXPECT_EQ(mode8(11, 255, 255), 255u);
    EXPECT_EQ(mode8(11, 0, 255), 0u);
    EXPECT_EQ(mode8(12, 1, 255), 255u);  // dodge clamps
    EXPECT_EQ(mode8(13, 254, 0), 0u);    // burn clamps at 0
}

TEST(BlendModes16, WorkedValuesAndEdges) {
    EXPECT_EQ(mode16(10, 40000, 32768), 40000u);  // (2·32768·40000) >> 16
    EXPECT_EQ(mode16(10, 40000, 32769), 40002u);  // 65535 − ((65533·25535) >> 16)
    EXPECT_EQ(mode16(10, 65535, 65535), 65535u);
    for (uint32_t s : {0u, 1u, 255u, 32768u, 65534u, 65535u}) {
        EXPECT_EQ(mode16(1, 65535, s), s);
        EXPECT_EQ(mode16(2, s, 65535), s);
        EXPECT_EQ(mode16(8, s, 0), s);
        EXPECT_EQ(mode16(12, s, 0), s);
    }
    EXPECT_EQ(mode16(1, 32896, 32896), 16513u);  // 32896² / 65535 = 16512.502, rounded
    EXPECT_EQ(mode16(2, 1, 0), 65535u);
    EXPECT_EQ(mode16(4, 40000, 40000), 65535u);
    EXPECT_EQ(mode16(5, 40000, 10000), 30000u);
    EXPECT_EQ(mode16(12, 1, 65535), 65535u);
    EXPECT_EQ(mode16(13, 65534, 0), 0u);
    EXPECT_EQ(mode16(13, 100, 65535), 100u);
    // 2·S·(65535 − D) passes 2^32: soft light must still see it whole.
    EXPECT_EQ(mode16(9, 1, 65535), 2u);
    EXPECT_EQ(mode16(9, 65535, 0), 65535u);
    EXPECT_EQ(mode16(11, 65535, 65535), 65535u);
}

TEST(BlendModesHsv, WholePixelModesOnRgb8) {
    // 14: hue and saturation of red with the lightness of mid gray (128).
    EXPECT_EQ(blendPixel8(kRGB, {128, 128, 128}, 3, {255, 0, 0}, 3, 14, 65535), (Bytes{255, 1, 1}));
    // 15: a gray source keeps the destination's hue.
    Bytes d = {200, 100, 50};
    double h, s, v;
    rgbToHsv(200, 100, 50, h, s, v);
    uint8_t r, g, b;
    hsvToRgb(h, s, v, r, g, b);
    EXPECT_EQ(blendPixel8(kRGB, d, 3, {90, 90, 90}, 3, 15, 65535), (Bytes{r, g, b}));
    // 15: a coloured source brings its hue (blue) at D's saturation and value.
    hsvToRgb(4.0 / 6.0, s, v, r, g, b);
    EXPECT_EQ(blendPixel8(kRGB, d, 3, {0, 0, 9}, 3, 15, 65535), (Bytes{r, g, b}));
    // 16: a gray source gives saturation 0: every channel is D's value.
    Bytes grayed = blendPixel8(kRGB, d, 3, {10, 10, 10}, 3, 16, 65535);
    hsvToRgb(h, 0.0, v, r, g, b);
    EXPECT_EQ(grayed, (Bytes{r, g, b}));
    EXPECT_EQ(grayed[0], grayed[2]);
    // 17: a black source gives value 0.
    EXPECT_EQ(blendPixel8(kRGB, d, 3, {0, 0, 0}, 3, 17, 65535), (Bytes{0, 0, 0}));
    // 17: value of S = 255 / 255 on D's hue and saturation.
    hsvToRgb(h, s, 1.0, r, g, b);
    EXPECT_EQ(blendPixel8(kRGB, d, 3, {0, 255, 0}, 3, 17, 65535), (Bytes{r, g, b}));
}

TEST(BlendRow, WithoutKernelWritesNothingAndSucceeds) {
    Bytes gray = {77, 200}, graySrc = {10, 255};
    for (int32_t mode : {14, 15, 16, 17, 18, -1, 1000}) {
        EXPECT_EQ(blendPixel8(kGray, gray, 2, graySrc, 2, mode, 65535), gray) << mode;
        if (mode < 0 || mode > 17) {
            EXPECT_EQ(blendPixel8(kRGB, {1, 2, 3}, 3, {200, 200, 200}, 3, mode, 65535), (Bytes{1, 2, 3}));
        }
    }
    Bytes rgb16 = words({1000, 2000, 3000}), src16 = words({60000, 0, 9});
    Bytes before = rgb16;
    EXPECT_TRUE(blendRow(rgb16.data(), kRGB16, src16.data(), kRGB16, nullptr, 15, 65535, 1));
    EXPECT_EQ(rgb16, before);
    Bytes idx = {5}, idxSrc = {9};
    EXPECT_TRUE(blendRow(idx.data(), kIndexed8, idxSrc.data(), kIndexed8, nullptr, 1, 65535, 1));
    EXPECT_EQ(idx[0], 5);
}

TEST(BlendRow, RejectsMismatchedFormatsAndOpacity) {
    Bytes dst = {1, 2, 3, 4, 5, 6, 7, 8}, src = {9, 9, 9, 9, 9, 9, 9, 9};
    Bytes before = dst;
    EXPECT_FALSE(blendRow(dst.data(), kRGB8, src.data(), kGray8, nullptr, 0, 65535, 1));
    EXPECT_FALSE(blendRow(dst.data(), kRGB8, src.data(), kRGB16, nullptr, 0, 65535, 1));
    EXPECT_FALSE(blendRow(dst.data(), kRGB8, src.data(), kRGB8, nullptr, 0, 65536, 1));
    EXPECT_FALSE(blendRow(dst.data(), tlPixelFormat::rgb(8, 2), src.data(), kRGB8, nullptr, 0, 65535, 1));
    const tlPixelFormat indexed16{tlColourModel::Indexed, 16, 1};
    EXPECT_FALSE(blendRow(dst.data(), indexed16, src.data(), indexed16, nullptr, 0, 65535, 1));
    EXPECT_TRUE(blendRow(dst.data(), kRGB8, src.data(), kRGB8, nullptr, 0, 0, 2));
    EXPECT_TRUE(blendRow(dst.data(), kRGB8, src.data(), kRGB8, nullptr, 0, 65535, 0));
    EXPECT_EQ(dst, before);
}

TEST(BlendOpacity, SourceWithoutAlpha8) {
    // d = o·256 / 65535: opacity 255 gives d = 0 and writes nothing, 256 gives 1.
    EXPECT_EQ(blendPixel8(kRGB, {255, 0, 9}, 3, {0, 255, 9}, 3, 0, 1), (Bytes{255, 0, 9}));
    EXPECT_EQ(blendPixel8(kRGB, {255, 0, 9}, 3, {0, 255, 9}, 3, 0, 255), (Bytes{255, 0, 9}));
    EXPECT_EQ(blendPixel8(kRGB, {255, 0, 9}, 3, {0, 255, 9}, 3, 0, 256), (Bytes{254, 0, 9}));
    // Opacity 32768: d = 128, (128·255) >> 8 = 127.
    EXPECT_EQ(blendPixel8(kRGB, {0, 0, 0}, 3, {255, 255, 255}, 3, 0, 32768), (Bytes{127, 127, 127}));
    // A destination alpha grows by ((255 − D.A)·d) >> 8.
    EXPECT_EQ(blendPixel8(kRGB, {0, 0, 0, 0}, 4, {255, 255, 255}, 3, 0, 32768), (Bytes{127, 127, 127, 127}));
    EXPECT_EQ(blendPixel8(kGray, {0, 200}, 2, {255}, 1, 0, 32768), (Bytes{127, 227}));
    EXPECT_EQ(blendPixel8(kGray, {0, 255}, 2, {255}, 1, 0, 256), (Bytes{0, 255}));
}

TEST(BlendOpacity, SourceWithAlpha8) {
    // d = o·257 / 65535 = 128, w = (128·255) >> 8 = 127; alpha stays 255.
    EXPECT_EQ(blendPixel8(kRGB, {0, 0, 0, 255}, 4, {255, 255, 255, 255}, 4, 0, 32768), (Bytes{127, 127, 127, 255}));
    // Opacity 255: d = 1, w = 0: nothing. 510: d = 2, w = 1.
    EXPECT_EQ(blendPixel8(kRGB, {0, 0, 0, 255}, 4, {255, 255, 255, 255}, 4, 0, 255), (Bytes{0, 0, 0, 255}));
    EXPECT_EQ(blendPixel8(kRGB, {0, 0, 0, 255}, 4, {255, 255, 255, 255}, 4, 0, 510), (Bytes{1, 1, 1, 255}));
    // Source alpha onto a destination without alpha: w = (d·S.A) >> 8.
    EXPECT_EQ(blendPixel8(kGray, {0}, 1, {255, 200}, 2, 0, 32768), (Bytes{100}));
}

TEST(BlendAlpha, ChannelCountPairsAtFullOpacity8) {
    // 3 → 4: colours copied, alpha made opaque.
    EXPECT_EQ(blendPixel8(kRGB, {1, 2, 3, 0}, 4, {200, 100, 50}, 3, 0, 65535), (Bytes{200, 100, 50, 255}));
    // 3 → 3 and 1 → 1, 1 → 2.
    EXPECT_EQ(blendPixel8(kRGB, {1, 2, 3}, 3, {200, 100, 50}, 3, 0, 65535), (Bytes{200, 100, 50}));
    EXPECT_EQ(blendPixel8(kGray, {7}, 1, {99}, 1, 0, 65535), (Bytes{99}));
    EXPECT_EQ(blendPixel8(kGray, {7, 3}, 2, {99}, 1, 0, 65535), (Bytes{99, 255}));
    // 4 → 3 and 2 → 1: w = S.A, ((255 − w)·D + w·B) / 255 truncated.
    EXPECT_EQ(blendPixel8(kRGB, {0, 0, 255}, 3, {200, 100, 0, 128}, 4, 0, 65535), (Bytes{100, 50, 127}));
    EXPECT_EQ(blendPixel8(kGray, {255}, 1, {0, 128}, 2, 0, 65535), (Bytes{127}));
    // 4 → 4: the worked example, alpha stays 255.
    EXPECT_EQ(blendPixel8(kRGB, {0, 0, 0, 255}, 4, {200, 100, 0, 128}, 4, 0, 65535), (Bytes{100, 50, 0, 255}));
    // 2 → 2, alpha growth: t = 200·155 + 128, (t + (t >> 8)) >> 8 = 122.
    EXPECT_EQ(blendPixel8(kGray, {0, 100}, 2, {255, 200}, 2, 0, 65535), (Bytes{200, 222}));
}

TEST(BlendAlpha, TransparentDestination8) {
    // Modes 1..17 weigh by min(D.A, S.A): a transparent destination stays.
    for (int32_t mode = 1; mode < 18; ++mode) {
        EXPECT_EQ(blendPixel8(kRGB, {10, 20, 30, 0}, 4, {200, 100, 50, 255}, 4, mode, 65535), (Bytes{10, 20, 30, 0}));
    }
    // Mode 0 writes an opaque source's colour and takes its alpha.
    EXPECT_EQ(blendPixel8(kRGB, {10, 20, 30, 0}, 4, {200, 100, 50, 255}, 4, 0, 65535), (Bytes{200, 100, 50, 255}));
    // A translucent source is weighed by its alpha like any other pixel.
    EXPECT_EQ(blendPixel8(kRGB, {0, 0, 0, 0}, 4, {200, 100, 50, 128}, 4, 0, 65535), (Bytes{100, 50, 25, 128}));
}

TEST(BlendAlpha, Sixteen) {
    // Full opacity, 4 → 4: w = S.A = 32768; alpha grows by the rounded product.
    Bytes dst = words({0, 0, 65535, 0}), src = words({65535, 65535, 65535, 32768});
    ASSERT_TRUE(blendRow(dst.data(), kRGBA16, src.data(), kRGBA16, nullptr, 0, 65535, 1));
    EXPECT_EQ(word(dst, 0), 32768u);  // 32768·65535 / 65535
    EXPECT_EQ(word(dst, 2), 65535u);
    EXPECT_EQ(word(dst, 3), 32768u);
    // Below full without source alpha: ((65535 − o)·D + o·B) / 65535 and
    // alpha + ((t + (t >> 16)) >> 16) with t = o·(65535 − D.A) + 32768.
    dst = words({0, 0});
    src = words({65535});
    ASSERT_TRUE(blendRow(dst.data(), kGrayA16, src.data(), kGray16, nullptr, 0, 32768, 1));
    EXPECT_EQ(word(dst, 0), 32768u);
    EXPECT_EQ(word(dst, 1), 32768u);
    // Opacity 1 still weighs (no d = 0 cut-off at 16 bits): 65535·1 / 65535.
    dst = words({0});
    ASSERT_TRUE(blendRow(dst.data(), kGray16, src.data(), kGray16, nullptr, 0, 1, 1));
    EXPECT_EQ(word(dst, 0), 1u);
}

TEST(BlendAlpha, FullOpacityWeightIsSourceAlpha16) {
    // The kernel computes w = round(o·α / 65535) at every opacity; at full
    // opacity that must be α itself for every α.
    const int32_t n = 65536;
    Bytes dst(size_t(n) * 2, 0), src(size_t(n) * 4);
    for (int32_t a = 0; a < n; ++a) {
        src[4 * a] = src[4 * a + 1] = 0xFF;
        src[4 * a + 2] = uint8_t(a);
        src[4 * a + 3] = uint8_t(a >> 8);
    }
    ASSERT_TRUE(blendRow(dst.data(), kGray16, src.data(), kGrayA16, nullptr, 0, 65535, n));
    for (int32_t a = 0; a < n; ++a) ASSERT_EQ(word(dst, size_t(a)), uint32_t(a));
}

TEST(BlendIndexed, ModeZeroThresholds) {
    Bytes dst = {1, 2, 3, 4};
    Bytes src1 = {9, 8, 7, 6};
    EXPECT_TRUE(blendRow(dst.data(), kIndexed8, src1.data(), kIndexed8, nullptr, 0, 32766, 4));
    EXPECT_EQ(dst, (Bytes{1, 2, 3, 4}));
    EXPECT_TRUE(blendRow(dst.data(), kIndexed8, src1.data(), kIndexed8, nullptr, 0, 32767, 4));
    EXPECT_EQ(dst, (Bytes{9, 8, 7, 6}));

    Bytes dst2 = {1, 10, 2, 20, 3, 30};
    Bytes src2 = {7, 127, 8, 128, 9, 255};
    Bytes before = dst2;
    EXPECT_TRUE(blendRow(dst2.data(), kIndexedA8, src2.data(), kIndexedA8, nullptr, 0, 32766, 3));
    EXPECT_EQ(dst2, before);
    EXPECT_TRUE(blendRow(dst2.data(), kIndexedA8, src2.data(), kIndexedA8, nullptr, 0, 32767, 3));
    EXPECT_EQ(dst2, (Bytes{1, 10, 8, 128, 9, 255}));
    Bytes dst3 = {1, 2, 3};
    EXPECT_TRUE(blendRow(dst3.data(), kIndexed8, src2.data(), kIndexedA8, nullptr, 0, 65535, 3));
    EXPECT_EQ(dst3, (Bytes{1, 8, 9}));
    Bytes dst4 = {1, 0, 2, 0};
    EXPECT_TRUE(blendRow(dst4.data(), kIndexedA8, src1.data(), kIndexed8, nullptr, 0, 40000, 2));
    EXPECT_EQ(dst4, (Bytes{9, 255, 8, 255}));
}

TEST(BlendShortcut, PlainCopyEqualsGeneralKernel) {
    // blendRow copies with convertRow where the general kernel would give the
    // same bytes; run both on the same rows.
    std::mt19937 rng(7);
    struct Case {
        tlPixelFormat source, destination;
        uint32_t opacity;
    };
    const Case cases[] = {{kRGB8, kRGB8, 65535},         {kRGB8, kRGBA8, 65535},     {kGray8, kGray8, 65535},
                          {kGray8, kGrayA8, 65535},      {kRGB16, kRGB16, 65535},    {kRGB16, kRGBA16, 65535},
                          {kGray16, kGray16, 65535},     {kGray16, kGrayA16, 65535}, {kIndexed8, kIndexed8, 32767},
                          {kIndexed8, kIndexedA8, 50000}};
    for (const Case &c : cases) {
        const int32_t n = 29;
        Bytes dst(size_t(n) * c.destination.bytesPerPixel()), src(size_t(n) * c.source.bytesPerPixel());
        for (uint8_t &b : dst) b = uint8_t(rng());
        for (uint8_t &b : src) b = uint8_t(rng());
        Bytes general = dst;
        ASSERT_TRUE(blendRow(dst.data(), c.destination, src.data(), c.source, nullptr, 0, c.opacity, n));
        tlBlendRowFunction kernel = blendRowFunction(0, c.destination, c.source.channels);
        ASSERT_NE(kernel, nullptr);
        kernel(general.data(), src.data(), n, c.opacity);
        EXPECT_EQ(dst, general) << c.source << " onto " << c.destination;
    }
}

TEST(BlendRowFunction, AvailabilityTable) {
    for (int32_t mode = 0; mode < 18; ++mode) {
        bool hsv = mode >= 14;
        EXPECT_NE(blendRowFunction(mode, kRGB8, 4), nullptr);
        EXPECT_EQ(blendRowFunction(mode, kRGBA16, 3) != nullptr, !hsv);
        EXPECT_EQ(blendRowFunction(mode, kGray8, 2) != nullptr, !hsv);
        EXPECT_EQ(blendRowFunction(mode, kGrayA16, 1) != nullptr, !hsv);
        EXPECT_EQ(blendRowFunction(mode, kIndexedA8, 2) != nullptr, mode == 0);
    }
    EXPECT_EQ(blendRowFunction(18, kRGBA8, 4), nullptr);
    EXPECT_EQ(blendRowFunction(0, kRGBA8, 2), nullptr);
    EXPECT_EQ(blendRowFunction(0, kGray8, 3), nullptr);
}

namespace {

// Reference rules, written one pixel at a time in wide integers.
int64_t refChannel(int32_t mode, int32_t bits, int64_t D, int64_t S) {
    const int64_t M = bits == 8 ? 255 : 65535;
    const int sh = bits == 8 ? 8 : 16;
    const int64_t half = (M + 1) / 2;
    auto r = [&](int64_t v) { return (v + half + ((v + half) >> sh)) >> sh; };
    switch (mode) {
    case 0: return S;
    case 1: return r(D * S);
    case 2: return std::min(M, D * (M + 1) / (S + 1));
    case 3: return D > S ? D - S : S - D;
    case 4: return std::min(M, D + S);
    case 5: return S < D ? D - S : 0;
    case 6: return std::min(D, S);
    case 7: return std::max(D, S);
    case 8: return M - r((M - S) * (M - D));
    case 9: return r((D + r(2 * S * (M - D))) * D);
    case 10: return S < half + 1 ? std::min(M, (2 * S * D) >> sh) : M - (((2 * M + 1 - 2 * S) * (M - D)) >> sh);
    case 11: return r(D * refChannel(8, bits, D, S)) + r((M - D) * refChannel(1, bits, D, S));
    case 12: return std::min(M, D * (M + 1) / (M + 1 - S));
    case 13: return std::max<int64_t>(0, M - ((M - D) * (M + 1)) / (S + 1));
    default: return -1;
    }
}

void refWholePixel(int32_t mode, const int64_t *D, const int64_t *S, int64_t *out) {
    uint8_t d[3] = {uint8_t(D[0]), uint8_t(D[1]), uint8_t(D[2])}, s[3] = {uint8_t(S[0]), uint8_t(S[1]), uint8_t(S[2])};
    uint8_t o[3];
    double dh, ds, dv, sh, ss, sv;
    rgbToHsv(d[0], d[1], d[2], dh, ds, dv);
    rgbToHsv(s[0], s[1], s[2], sh, ss, sv);
    if (mode == 14) {
        uint8_t h, sat, l;
        rgbToHslBytes(s[0], s[1], s[2], h, sat, l);
        hslBytesToRgb(h, sat, uint8_t((std::max({d[0], d[1], d[2]}) + std::min({d[0], d[1], d[2]}) + 1) >> 1), o[0],
                      o[1], o[2]);
    } else if (mode == 15) {
        hsvToRgb(ss == 0.0 ? dh : sh, ds, dv, o[0], o[1], o[2]);
    } else if (mode == 16) {
        int mx = std::max({s[0], s[1], s[2]}), mn = std::min({s[0], s[1], s[2]});
        hsvToRgb(dh, mx == 0 ? 0.0 : double(mx - mn) / mx, dv, o[0], o[1], o[2]);
    } else {
        hsvToRgb(dh, ds, std::max({s[0], s[1], s[2]}) / 255.0, o[0], o[1], o[2]);
    }
    for (int c = 0; c < 3; ++c) out[c] = o[c];
}

// One pixel of K colour channels, with alpha at index K when sc or dc exceed K.
void refPixel(int32_t mode, int32_t bits, int32_t K, int32_t sc, int32_t dc, int64_t *D, const int64_t *S, uint32_t o) {
    const int64_t M = bits == 8 ? 255 : 65535;
    const int sh = bits == 8 ? 8 : 16;
    const int64_t half = (M + 1) / 2;
    const bool sA = sc > K, dA = dc > K;
    if (mode < 0 || mode > 17 || (mode >= 14 && !(bits == 8 && K == 3))) return;
    int64_t B[3];
    if (mode >= 14) {
        refWholePixel(mode, D, S, B);
    } else {
        for (int c = 0; c < K; ++c) B[c] = refChannel(mode, bits, D[c], S[c]);
    }
    auto grow = [&](int64_t w) {
        int64_t t = w * (M - D[K]) + half;
        D[K] += (t + (t >> sh)) >> sh;
    };
    if (!sA) {
        if (o == 65535) {
            for (int c = 0; c < K; ++c) D[c] = B[c];
            if (dA) D[K] = M;
        } else if (bits == 8) {
            int64_t d = int64_t(o) * 256 / 65535;
            if (d == 0) return;
            for (int c = 0; c < K; ++c) D[c] = ((256 - d) * D[c] + d * B[c]) >> 8;
            if (dA) D[K] += ((255 - D[K]) * d) >> 8;
        } else {
            for (int c = 0; c < K; ++c) D[c] = ((M - o) * D[c] + o * B[c]) / M;
            if (dA) grow(o);
        }
        return;
    }
    int64_t alpha = (mode == 0 || !dA) ? S[K] : std::min(D[K], S[K]);
    int64_t w;
    if (o == 65535) {
        w = alpha;
    } else if (bits == 8) {
        int64_t d = int64_t(o) * 257 / 65535;
        if (d == 0) return;
        w = (d * alpha) >> 8;
    } else {
        int64_t u = int64_t(o) * alpha + 32768;
        w = (u + (u >> 16)) >> 16;
    }
    for (int c = 0; c < K; ++c) D[c] = ((M - w) * D[c] + w * B[c]) / M;
    if (dA) grow(w);
}

Bytes packSamples(const std::vector<int64_t> &values, int32_t bits) {
    Bytes out;
    for (int64_t v : values) {
        out.push_back(uint8_t(v));
        if (bits == 16) out.push_back(uint8_t(v >> 8));
    }
    return out;
}

int64_t sample(const Bytes &row, int32_t bits, size_t i) { return readSample(row.data(), bits, int32_t(i)); }

// Random samples with the channel's edges (0, 1, max − 1, max) drawn often.
uint32_t edgyValue(std::mt19937 &rng, uint32_t max) {
    switch (rng() % 8) {
    case 0: return 0;
    case 1: return max;
    case 2: return 1;
    case 3: return max - 1;
    default: return rng() % (max + 1);
    }
}

}  // namespace

TEST(BlendReference, EveryPairOfChannelModes8) {
    for (int32_t mode = 0; mode < 14; ++mode) {
        Bytes dst(65536), src(65536);
        for (uint32_t i = 0; i < 65536; ++i) {
            dst[i] = uint8_t(i >> 8);
            src[i] = uint8_t(i);
        }
        ASSERT_TRUE(blendRow(dst.data(), kGray8, src.data(), kGray8, nullptr, mode, 65535, 65536));
        for (uint32_t i = 0; i < 65536; ++i)
            ASSERT_EQ(dst[i], refChannel(mode, 8, i >> 8, i & 255)) << mode << " " << i;
    }
}

// Blends one seeded random row and compares every sample with refPixel.
static void checkRandomRow(std::mt19937 &rng, int32_t bits, tlColourModel model, int32_t sc, int32_t dc, int32_t mode,
                           uint32_t o) {
    const int32_t n = 23, K = model == tlColourModel::RGB ? 3 : 1;
    const uint32_t max = bits == 8 ? 255 : 65535;
    std::vector<int64_t> expect, s;
    for (int32_t i = 0; i < n * dc; ++i) expect.push_back(edgyValue(rng, max));
    for (int32_t i = 0; i < n * sc; ++i) s.push_back(edgyValue(rng, max));
    Bytes dst = packSamples(expect, bits), src = packSamples(s, bits);
    const tlPixelFormat dstFormat{model, bits, dc}, srcFormat{model, bits, sc};
    ASSERT_TRUE(blendRow(dst.data(), dstFormat, src.data(), srcFormat, nullptr, mode, o, n));
    for (int32_t p = 0; p < n; ++p) refPixel(mode, bits, K, sc, dc, &expect[p * dc], &s[p * sc], o);
    for (size_t i = 0; i < expect.size(); ++i) {
        ASSERT_EQ(sample(dst, bits, i), expect[i]) << "bits " << bits << " model " << model << " sc " << sc << " dc "
                                                   << dc << " mode " << mode << " opacity " << o << " sample " << i;
    }
}

TEST(BlendReference, RandomRowsAgainstPerPixelRules) {
    std::mt19937 rng(20240611);
    for (int32_t bits : {8, 16}) {
        for (tlColourModel model : {tlColourModel::RGB, tlColourModel::Gray}) {
            const int32_t K = model == tlColourModel::RGB ? 3 : 1;
            for (int32_t pair = 0; pair < 4; ++pair) {
                for (int32_t mode = -1; mode <= 18; ++mode) {
                    for (uint32_t o : {65535u, 65534u, 32768u, 32767u, 257u, 256u, 255u, 1u, uint32_t(rng() % 65536)}) {
                        checkRandomRow(rng, bits, model, K + (pair >> 1), K + (pair & 1), mode, o);
                        if (HasFatalFailure()) return;
                    }
                }
            }
        }
    }
}

TEST(SpanPainter, Eight) {
    const uint8_t red[4] = {255, 0, 0, 128};
    Bytes rgb = {0, 0, 255};
    spanPainter(kRGB8)(rgb.data(), rgb.data(), 1, red);
    EXPECT_EQ(rgb, (Bytes{128, 0, 127}));
    Bytes rgba = {0, 0, 255, 255, 9, 9, 9, 0}, out(8);
    spanPainter(kRGBA8)(out.data(), rgba.data(), 2, red);
    // Opaque run: as without alpha. Transparent run: the colour premultiplied.
    EXPECT_EQ(out, (Bytes{128, 0, 127, 255, 128, 0, 0, 128}));
    const uint8_t gray[2] = {200, 255};
    Bytes g1 = {7};
    spanPainter(kGray8)(g1.data(), g1.data(), 1, gray);
    EXPECT_EQ(g1[0], 200);
    // A clear colour over a translucent run multiplies the run's alpha in.
    const uint8_t clear[2] = {100, 0};
    Bytes g2 = {50, 200};
    spanPainter(kGrayA8)(g2.data(), g2.data(), 1, clear);
    EXPECT_EQ(g2, (Bytes{39, 200}));
}

TEST(SpanPainter, SixteenBitProductsDoNotWrap) {
    // (65535 − a)·S.A·S reaches 2^48: a clear colour must leave an opaque
    // white run white, and an opaque colour must replace it.
    Bytes clear = words({65535, 0, 0, 0}), solid = words({0, 0, 65535, 65535});
    Bytes run = words({65535, 65535, 65535, 65535, 40000, 30000, 20000, 10000});
    Bytes out(run.size());
    spanPainter(kRGBA16)(out.data(), run.data(), 2, clear.data());
    EXPECT_EQ(word(out, 0), 65535u);
    EXPECT_EQ(word(out, 1), 65535u);
    EXPECT_EQ(word(out, 3), 65535u);
    EXPECT_EQ(word(out, 4), 40000u * 10000 / 65535);  // the run alpha multiplied in
    EXPECT_EQ(word(out, 7), 10000u);
    spanPainter(kRGBA16)(run.data(), run.data(), 2, solid.data());
    EXPECT_EQ(run, words({0, 0, 65535, 65535, 0, 0, 65535, 65535}));
    Bytes run3 = words({1000, 2000, 3000});
    spanPainter(kRGB16)(run3.data(), run3.data(), 1, words({65535, 65535, 65535, 32768}).data());
    EXPECT_EQ(word(run3, 0), (65535u * 32768 + 32767u * 1000) / 65535);
    Bytes g = words({500, 65535});
    spanPainter(kGrayA16)(g.data(), g.data(), 1, words({60000, 65535}).data());
    EXPECT_EQ(g, words({60000, 65535}));
}

TEST(SpanPainter, Availability) {
    EXPECT_EQ(spanPainter(kIndexed8), nullptr);
    EXPECT_EQ(spanPainter(kIndexedA8), nullptr);
    EXPECT_EQ(spanPainter(tlPixelFormat::rgb(8, 2)), nullptr);
    EXPECT_EQ(spanPainter(tlPixelFormat::gray(32, 1)), nullptr);
    EXPECT_NE(spanPainter(kGray16), nullptr);
}

namespace {

// Fills the whole store, padding included, so stray writes show.
void randomStore(tlPicture &p, uint32_t seed) {
    std::mt19937 rng(seed);
    for (size_t i = 0; i < size_t(p.stride) * size_t(p.height); ++i) p.store[i] = uint8_t(rng());
}

}  // namespace

TEST(BlendFrom, OpacityZeroOrNothingLeftWritesNothing) {
    tlPicture dst, src;
    ASSERT_TRUE(dst.create(5, 3, kRGBA8));
    ASSERT_TRUE(src.create(4, 4, kRGBA8));
    randomStore(dst, 1);
    randomStore(src, 2);
    tlPicture before(dst);
    EXPECT_TRUE(dst.blendFrom(0, 0, src, 0, 0, 4, 4, 1, 0));
    EXPECT_TRUE(dst.blendFrom(5, 0, src, 0, 0, 4, 4, 1, 65535));
    EXPECT_TRUE(dst.blendFrom(-4, 0, src, 0, 0, 4, 4, 1, 65535));
    EXPECT_TRUE(dst.blendFrom(0, 0, src, 4, 0, 4, 4, 1, 65535));
    EXPECT_TRUE(dst.blendFrom(0, 0, src, 0, -4, 4, 4, 1, 65535));
    EXPECT_FALSE(dst.blendFrom(0, 0, src, 0, 0, 4, 4, 1, 65536));
    EXPECT_TRUE(sameBytes(dst, before));
    tlPicture empty;
    EXPECT_FALSE(dst.blendFrom(0, 0, empty, 0, 0, 4, 4, 0, 65535));
    EXPECT_FALSE(empty.blendFrom(0, 0, src, 0, 0, 4, 4, 0, 65535));
    EXPECT_TRUE(sameBytes(dst, before));
}

TEST(BlendFrom, ClipsLikeCopyFrom) {
    // Mode 0 at full opacity with an opaque source is a copy, so blendFrom
    // must touch exactly the pixels copyFrom touches (odd width: padded rows).
    tlPicture src;
    ASSERT_TRUE(src.create(3, 3, kRGB8));
    randomStore(src, 3);
    const int32_t blocks[][6] = {{-1, 2, 0, 0, 3, 3}, {1, 1, -1, 0, 3, 3}, {2, -1, 1, 1, 9, 9},
                                 {0, 0, 0, -2, 3, 3}, {4, 3, 0, 0, 3, 3},  {-2, -2, 1, 1, 3, 3}};
    for (const auto &b : blocks) {
        tlPicture dst;
        ASSERT_TRUE(dst.create(5, 4, kRGB8));
        randomStore(dst, 4);
        tlPicture copied(dst);
        EXPECT_TRUE(dst.blendFrom(b[0], b[1], src, b[2], b[3], b[4], b[5], 0, 65535));
        copied.copyFrom(b[0], b[1], src, b[2], b[3], b[4], b[5]);
        EXPECT_TRUE(sameBytes(dst, copied)) << b[0] << " " << b[1] << " " << b[2] << " " << b[3];
    }
}

TEST(BlendFrom, OtherFormatsGoThroughTheDestinationFormat) {
    // Gray 2-channel onto RGBA, 16-bit RGB onto 8-bit RGB, indexed onto RGB:
    // the same as converting the source first and blending like with like.
    struct Case {
        tlPixelFormat format;
        int32_t mode;
        uint32_t opacity;
    };
    const Case cases[] = {{kGrayA8, 1, 40000}, {kRGBA16, 8, 65535}, {kIndexed8, 0, 65535}, {kGray16, 15, 30000}};
    for (const Case &c : cases) {
        tlPicture dst, src, converted;
        ASSERT_TRUE(dst.create(7, 3, kRGBA8));
        ASSERT_TRUE(src.create(7, 3, c.format));
        ASSERT_TRUE(converted.create(7, 3, kRGBA8));
        randomStore(dst, 5);
        randomStore(src, 6);
        if (src.palette != nullptr) {
            for (int32_t i = 0; i < 256; ++i) src.palette->setEntry(i, uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
        }
        converted.copyFrom(0, 0, src);
        tlPicture expected(dst);
        EXPECT_TRUE(expected.blendFrom(1, 0, converted, 0, 1, 6, 2, c.mode, c.opacity));
        EXPECT_TRUE(dst.blendFrom(1, 0, src, 0, 1, 6, 2, c.mode, c.opacity));
        EXPECT_TRUE(sameBytes(dst, expected)) << c.format;
    }
}

TEST(BlendFrom, IndexedDestination) {
    tlPicture dst, idx, rgb;
    ASSERT_TRUE(dst.create(4, 1, kIndexed8));
    ASSERT_TRUE(idx.create(4, 1, kIndexedA8));
    ASSERT_TRUE(rgb.create(4, 1, kRGB8));
    const uint8_t start[4] = {1, 2, 3, 4}, pairs[8] = {9, 255, 8, 127, 7, 128, 6, 0};
    std::memcpy(dst.store, start, 4);
    std::memcpy(idx.store, pairs, 8);
    randomStore(rgb, 7);
    // No kernel for other modes, and colours cannot become indices.
    EXPECT_FALSE(dst.blendFrom(0, 0, idx, 0, 0, 4, 1, 1, 65535));
    EXPECT_FALSE(dst.blendFrom(0, 0, rgb, 0, 0, 4, 1, 0, 65535));
    EXPECT_EQ(std::memcmp(dst.store, start, 4), 0);
    EXPECT_TRUE(dst.blendFrom(0, 0, idx, 0, 0, 4, 1, 0, 32766));
    EXPECT_EQ(std::memcmp(dst.store, start, 4), 0);
    EXPECT_TRUE(dst.blendFrom(0, 0, idx, 0, 0, 4, 1, 0, 32767));
    const uint8_t copied[4] = {9, 2, 7, 4};
    EXPECT_EQ(std::memcmp(dst.store, copied, 4), 0);
}

TEST(BlendFrom, OntoItselfReadsTheOriginalRows) {
    for (int32_t shift : {1, -1}) {
        tlPicture pic;
        ASSERT_TRUE(pic.create(3, 6, kGrayA8));
        randomStore(pic, 8);
        tlPicture snapshot(pic), expected(pic);
        int32_t sy = shift > 0 ? 0 : 1, dy = sy + shift;
        EXPECT_TRUE(expected.blendFrom(1, dy, snapshot, 0, sy, 3, 5, 4, 50000));
        EXPECT_TRUE(pic.blendFrom(1, dy, pic, 0, sy, 3, 5, 4, 50000));
        EXPECT_TRUE(sameBytes(pic, expected)) << shift;
    }
}

TEST(BlendReference, SameBytesOnEveryBuild) {
    // A digest of every mode over seeded RGBA rows; the HSV and HSL modes run
    // through real arithmetic, which must give the same bytes on Linux and
    // Windows.
    std::mt19937 rng(99);
    uint64_t digest = 1469598103934665603ull;
    const int32_t n = 257;
    for (int32_t mode = 0; mode < 18; ++mode) {
        for (uint32_t o : {65535u, 40000u, 1000u}) {
            Bytes dst(size_t(n) * 4), src(size_t(n) * 4);
            for (uint8_t &b : dst) b = uint8_t(edgyValue(rng, 255));
            for (uint8_t &b : src) b = uint8_t(edgyValue(rng, 255));
            ASSERT_TRUE(blendRow(dst.data(), kRGBA8, src.data(), kRGBA8, nullptr, mode, o, n));
            digest = fnv1a(dst.data(), dst.size(), digest);
        }
    }
    EXPECT_EQ(digest, 7578083760685467319ull);
}
