// Oil paint and watercolor: visiting order, ties, clamped corners, box means
// with and without alpha, strengths, seamless wraps, odd parameters, and the
// fast loops against plain per-pixel versions of the same rules.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "effects/filters/painterly.h"
#include "imaging/picture.h"
#include "imaging/pixel_math.h"
#include "tests/effects/effect_test_util.h"

namespace {

int64_t sample(const tlPicture &p, const uint8_t *q, int32_t c) { return readSample(q, p.bits, c); }

void setSample(const tlPicture &p, uint8_t *q, int32_t c, int64_t v) {
    writeSample(q, p.bits, c, static_cast<uint32_t>(v));
}

int32_t colours(const tlPicture &p) { return p.format().colourChannels(); }

// Oil paint as the rule reads: bins cleared per pixel, the diamond visited in
// order, the bin that first exceeds the running maximum takes the colour.
void plainOilPaint(const tlPicture &src, tlPicture &dst, int32_t r, bool wrap) {
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x) {
            uint32_t bins[256] = {};
            uint32_t most = 0;
            const uint8_t *chosen = nullptr;
            auto visit = [&](int64_t u, int64_t v) {
                const int32_t cu = wrap ? wrapped(u, src.width) : clamped(u, src.width);
                const int32_t cv = wrap ? wrapped(v, src.height) : clamped(v, src.height);
                const uint8_t *q = src.pixelAddress(cu, cv);
                if (src.hasAlpha() && sample(src, q, colours(src)) == 0) return;
                uint32_t b;
                if (src.model == tlColourModel::Gray)
                    b = static_cast<uint32_t>(src.bits == 8 ? q[0] : load16(q) >> 8);
                else if (src.bits == 8)
                    b = (19672u * q[0] + 38621u * q[1] + 7500u * q[2]) >> 16;
                else
                    b = (77u * load16(q) + 150u * load16(q + 2) + 29u * load16(q + 4)) >> 16;
                if (++bins[b] > most) most = bins[b], chosen = q;
            };
            for (int32_t k = 0; k < r; ++k) {
                for (int32_t c = -k; c <= k; ++c) visit(x + c, y - (r - k));
                for (int32_t c = -k; c <= k; ++c) visit(x + c, y + (r - k));
            }
            for (int32_t c = -r; c <= r; ++c) visit(x + c, y);
            if (chosen != nullptr) std::memcpy(dst.pixelAddress(x, y), chosen, colours(src) * (src.bits / 8));
        }
}

// Watercolor as the rule reads, every box summed afresh.
void plainWatercolor(const tlPicture &src, tlPicture &dst, int32_t r, int32_t strength, bool wrap) {
    const int32_t ch = colours(src);
    const int64_t top = src.bits == 8 ? 255 : 65535;
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x) {
            int64_t sum[3] = {0, 0, 0}, sumA = 0, n = 0;
            for (int64_t v = y - r; v <= y + r; ++v)
                for (int64_t u = x - r; u <= x + r; ++u) {
                    if (!wrap && (u < 0 || v < 0 || u >= src.width || v >= src.height)) continue;
                    const uint8_t *q = src.pixelAddress(wrapped(u, src.width), wrapped(v, src.height));
                    const int64_t a = src.hasAlpha() ? sample(src, q, ch) : 1;
                    if (a == 0) continue;
                    for (int32_t c = 0; c < ch; ++c) sum[c] += sample(src, q, c) * a;
                    sumA += a, ++n;
                }
            const int64_t divisor = src.hasAlpha() ? sumA : n;
            const uint8_t *in = src.pixelAddress(x, y);
            uint8_t *out = dst.pixelAddress(x, y);
            for (int32_t c = 0; c < ch; ++c) {
                const int64_t mean = divisor == 0 ? 0 : sum[c] / divisor;
                const int64_t value = sample(src, in, c);
                const int64_t d = value > mean ? value - mean : mean - value;
                int64_t o = value - d * strength / 100;
                o = o < 0 ? 0 : (o > top ? top : o);
                setSample(src, out, c, o);
            }
            if (src.hasAlpha()) setSample(src, out, ch, sumA == 0 ? 0 : sumA / n);
        }
}

bool oil(const tlPicture &src, tlPicture &dst, int32_t r, bool wrap) {
    tlOilPaintEffect e;
    e.radius = r, e.wrap = wrap;
    return e.apply(src, dst, nullptr);
}

bool water(const tlPicture &src, tlPicture &dst, int32_t r, int32_t strength, bool wrap) {
    tlWatercolorEffect e;
    e.radius = r, e.strength = strength, e.wrap = wrap;
    return e.apply(src, dst, nullptr);
}

bool grayPicture(tlPicture &p, int32_t w, int32_t h, const uint8_t *values) {
    if (!p.create(w, h, kGray8)) return false;
    for (int32_t i = 0; i < w * h; ++i) *p.pixelAddress(i % w, i / w) = values[i];
    return true;
}

}  // namespace

TEST(OilPaint, MatchesThePlainRuleForEveryFormat) {
    uint32_t seed = 5;
    for (const tlPixelFormat &f : kColourFormats)
        for (int32_t palette : {0, 4})
            for (int32_t r : {1, 2, 3, 6})
                for (bool wrap : {false, true}) {
                    tlPicture src;
                    ASSERT_TRUE(randomPicture(src, 11, 9, f, ++seed, palette));
                    tlPicture got(src), want(src);
                    ASSERT_TRUE(oil(src, got, r, wrap));
                    plainOilPaint(src, want, r, wrap);
                    EXPECT_TRUE(sameBytes(got, want)) << f.model << "/" << f.bits << "/" << f.channels << " r " << r
                                                      << " wrap " << wrap << " palette " << palette;
                }
}

TEST(OilPaint, CornersRevisitTheEdgeAndTiesGoToTheFirstToLead) {
    // Corner (0, 0) of a clamped plus: the corner is visited three times, so
    // its 10 beats the two 20s around it.
    const uint8_t corner[9] = {10, 20, 0, 20, 0, 0, 0, 0, 0};
    tlPicture src;
    ASSERT_TRUE(grayPicture(src, 3, 3, corner));
    tlPicture dst(src);
    ASSERT_TRUE(oil(src, dst, 1, false));
    EXPECT_EQ(*dst.pixelAddress(0, 0), 10);
    // Centre of a plus: above 50, below 60, then 50, 60, 70 in the centre
    // row. 50 reaches two first.
    const uint8_t tie[9] = {0, 50, 0, 50, 60, 70, 0, 60, 0};
    ASSERT_TRUE(grayPicture(src, 3, 3, tie));
    tlPicture dst2(src);
    ASSERT_TRUE(oil(src, dst2, 1, false));
    EXPECT_EQ(*dst2.pixelAddress(1, 1), 50);
    // RGB: two colours of bin 100; the one that brings the bin to two is written.
    tlPicture rgb;
    ASSERT_TRUE(rgb.create(3, 3, kRGB8));
    std::memset(rgb.store, 0, static_cast<size_t>(rgb.stride) * 3);
    const uint8_t above[3] = {100, 100, 100}, below[3] = {101, 100, 100}, centre[3] = {255, 255, 255},
                  right[3] = {0, 0, 255};
    std::memcpy(rgb.pixelAddress(1, 0), above, 3);
    std::memcpy(rgb.pixelAddress(1, 2), below, 3);
    std::memcpy(rgb.pixelAddress(1, 1), centre, 3);
    std::memcpy(rgb.pixelAddress(2, 1), right, 3);
    tlPicture dst3(rgb);
    ASSERT_TRUE(oil(rgb, dst3, 1, false));
    EXPECT_EQ(std::memcmp(dst3.pixelAddress(1, 1), below, 3), 0);
}

TEST(OilPaint, UniformTransparentIndexedAndOddRadii) {
    tlPicture flat;
    ASSERT_TRUE(flat.create(6, 5, kRGBA8));
    std::memset(flat.store, 0x7B, static_cast<size_t>(flat.stride) * 5);
    tlPicture out(flat);
    EXPECT_TRUE(oil(flat, out, 1, false) && oil(flat, out, 2, true));
    EXPECT_TRUE(sameBytes(out, flat));
    tlPicture clear;
    ASSERT_TRUE(randomPicture(clear, 6, 5, kRGBA16, 3));
    for (int32_t i = 0; i < 30; ++i) store16(clear.pixelAddress(i % 6, i / 6) + 6, 0);
    tlPicture out2(clear);
    EXPECT_TRUE(oil(clear, out2, 2, true));
    EXPECT_TRUE(sameBytes(out2, clear));
    tlPicture indexed;
    ASSERT_TRUE(randomPicture(indexed, 5, 4, kIndexed8, 4));
    tlPicture out3(indexed);
    EXPECT_TRUE(oil(indexed, out3, 2, false));
    EXPECT_TRUE(sameBytes(out3, indexed));
    tlPicture src;
    ASSERT_TRUE(randomPicture(src, 4, 3, kRGBA8, 8));
    for (int32_t r : {0, -3, INT_MIN}) {
        tlPicture same(src);
        EXPECT_TRUE(oil(src, same, r, true));
        EXPECT_TRUE(sameBytes(same, src));
    }
    tlPicture huge(src);
    EXPECT_FALSE(oil(src, huge, INT_MAX, true)) << "a diamond of 2^63 positions is refused";
    EXPECT_TRUE(sameBytes(huge, src));
}

TEST(OilPaint, WrapIsSeamlessAndProgressStops) {
    tlPicture src, tiles, outTiles;
    ASSERT_TRUE(randomPicture(src, 7, 6, kRGBA8, 19, 5));
    tlPicture out(src);
    ASSERT_TRUE(oil(src, out, 3, true));
    ASSERT_TRUE(tiled(src, tiles) && tiled(out, outTiles));
    tlPicture got(tiles);
    ASSERT_TRUE(oil(tiles, got, 3, true));
    EXPECT_TRUE(sameBytes(got, outTiles));
    tlOilPaintEffect e;
    CountingProgress progress;
    progress.stopAt = 2;
    tlPicture partial(src);
    EXPECT_FALSE(e.apply(src, partial, &progress));
    EXPECT_EQ(progress.total, 5);
    EXPECT_EQ(progress.steps, 2);
}

TEST(Watercolor, MatchesThePlainRuleForEveryFormat) {
    uint32_t seed = 77;
    for (const tlPixelFormat &f : kColourFormats)
        for (int32_t r : {1, 3, 5, 12})
            for (int32_t strength : {100, 37, 250, -80})
                for (bool wrap : {false, true}) {
                    tlPicture src;
                    ASSERT_TRUE(randomPicture(src, 10, 7, f, ++seed));
                    tlPicture got(src), want(src);
                    ASSERT_TRUE(water(src, got, r, strength, wrap));
                    plainWatercolor(src, want, r, strength, wrap);
                    EXPECT_TRUE(sameBytes(got, want)) << f.model << "/" << f.bits << "/" << f.channels << " r " << r
                                                      << " strength " << strength << " wrap " << wrap;
                }
}

TEST(Watercolor, FlatAreasStayAndEdgesDarken) {
    tlPicture flat;
    ASSERT_TRUE(flat.create(5, 4, kRGB8));
    std::memset(flat.store, 0x9C, static_cast<size_t>(flat.stride) * 4);
    tlPicture out(flat);
    ASSERT_TRUE(water(flat, out, 3, 100, true));
    EXPECT_TRUE(sameBytes(out, flat));
    // Black centre in white: it stays 0; the corner's clipped 2 × 2 box has
    // mean 765 / 4 = 191, so 255 − 64 = 191.
    const uint8_t dot[9] = {255, 255, 255, 255, 0, 255, 255, 255, 255};
    tlPicture gray;
    ASSERT_TRUE(grayPicture(gray, 3, 3, dot));
    tlPicture g(gray);
    ASSERT_TRUE(water(gray, g, 1, 100, false));
    EXPECT_EQ(*g.pixelAddress(1, 1), 0);
    EXPECT_EQ(*g.pixelAddress(0, 0), 191);
    // Strength 200: 255 − 2 × 64 = 127. Strength 600 at (1, 0), box of six
    // with mean 1275 / 6 = 212: 255 − 6 × 43 is below 0 and becomes 0.
    tlPicture g2(gray);
    ASSERT_TRUE(water(gray, g2, 1, 200, false));
    EXPECT_EQ(*g2.pixelAddress(0, 0), 127);
    tlPicture g3(gray);
    ASSERT_TRUE(water(gray, g3, 1, 600, false));
    EXPECT_EQ(*g3.pixelAddress(1, 0), 0);
    for (int32_t i = 0; i < 9; ++i) EXPECT_LE(*g3.pixelAddress(i % 3, i / 3), dot[i]);
}

TEST(Watercolor, TransparentBoxesAndNegativeStrength) {
    // Fully transparent box: means 0, so C − C × strength / 100, alpha 0.
    tlPicture clear;
    ASSERT_TRUE(clear.create(4, 4, kRGBA8));
    for (int32_t i = 0; i < 16; ++i) {
        uint8_t *q = clear.pixelAddress(i % 4, i / 4);
        q[0] = 200, q[1] = 99, q[2] = 1, q[3] = 0;
    }
    tlPicture out(clear);
    ASSERT_TRUE(water(clear, out, 1, 50, true));
    const uint8_t *q = out.pixelAddress(2, 2);
    EXPECT_EQ(q[0], 100);
    EXPECT_EQ(q[1], 50);
    EXPECT_EQ(q[2], 1);
    EXPECT_EQ(q[3], 0);
    // A negative strength brightens and stops at the channel's top.
    tlPicture out2(clear);
    ASSERT_TRUE(water(clear, out2, 1, -100, true));
    EXPECT_EQ(out2.pixelAddress(0, 0)[0], 255);
    EXPECT_EQ(out2.pixelAddress(0, 0)[1], 198);
}

TEST(Watercolor, HugeRadiiWrapOrRefuse) {
    // A wrapped box many times the picture: whole turns are added at once.
    tlPicture src;
    ASSERT_TRUE(randomPicture(src, 3, 2, kRGBA8, 12));
    tlPicture got(src), want(src);
    ASSERT_TRUE(water(src, got, 40, 100, true));
    plainWatercolor(src, want, 40, 100, true);
    EXPECT_TRUE(sameBytes(got, want));
    tlPicture big(src);
    EXPECT_TRUE(water(src, big, 1000000, 100, true));
    tlPicture clipped(src), clippedWant(src);
    EXPECT_TRUE(water(src, clipped, INT_MAX, 100, false));
    plainWatercolor(src, clippedWant, 3, 100, false);
    EXPECT_TRUE(sameBytes(clipped, clippedWant));
    // Sums of (2^32 − 1)² pixels would pass 64 bits: refused, nothing written.
    tlPicture refused(src);
    EXPECT_FALSE(water(src, refused, INT_MAX, 100, true));
    EXPECT_TRUE(sameBytes(refused, src));
    for (int32_t r : {0, -1, INT_MIN}) {
        tlPicture same(src);
        EXPECT_TRUE(water(src, same, r, INT_MIN, true));
        EXPECT_TRUE(sameBytes(same, src));
    }
}

TEST(Watercolor, WrapIsSeamlessAndProgressStops) {
    tlPicture src, tiles, outTiles;
    ASSERT_TRUE(randomPicture(src, 5, 6, kRGBA8, 31));
    tlPicture out(src);
    ASSERT_TRUE(water(src, out, 4, 100, true));
    ASSERT_TRUE(tiled(src, tiles) && tiled(out, outTiles));
    tlPicture got(tiles);
    ASSERT_TRUE(water(tiles, got, 4, 100, true));
    EXPECT_TRUE(sameBytes(got, outTiles));
    tlWatercolorEffect e;
    CountingProgress progress;
    progress.stopAt = 3;
    tlPicture partial(src);
    EXPECT_FALSE(e.apply(src, partial, &progress));
    EXPECT_EQ(progress.total, 5);
    EXPECT_EQ(progress.steps, 3);
}

TEST(Painterly, SameBytesOnEveryBuild) {
    uint64_t h = kFnvBasis;
    for (const tlPixelFormat &f : {kColourFormats[1], kColourFormats[3], kColourFormats[7]}) {
        tlPicture src;
        ASSERT_TRUE(randomPicture(src, 37, 23, f, 2024, 6));
        for (int32_t r : {1, 3})
            for (bool wrap : {false, true}) {
                tlPicture a(src), b(src);
                ASSERT_TRUE(oil(src, a, r, wrap) && water(src, b, r, 140, wrap));
                h = digest(b, digest(a, h));
            }
    }
    EXPECT_EQ(h, 0x8B21F34DFF4FD8C9ull);
}
