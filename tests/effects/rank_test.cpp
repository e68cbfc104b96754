// Median, minimum and maximum: ties, even counts, transparent windows, edge
// rules, the wrapped column pass, odd radii and the fast paths against
// plain per-pixel versions of the same rules.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <utility>
#include <vector>

#include "effects/filters/rank.h"
#include "imaging/picture.h"
#include "imaging/pixel_math.h"
#include "tests/support/formats.h"
#include "tests/support/pictures.h"
#include "tests/support/progress.h"

namespace {

bool counted(const tlPicture &p, const uint8_t *q) {
    if (!p.hasAlpha()) return true;
    const int32_t at = (p.channels - 1) * (p.bits / 8);
    return p.bits == 8 ? q[at] != 0 : load16(q + at) != 0;
}

size_t colourBytes(const tlPicture &p) { return static_cast<size_t>(p.format().colourChannels() * (p.bits / 8)); }

// Window positions in visiting order, wrapped or clipped, without shortcuts.
std::vector<std::pair<int32_t, int32_t>> windowOf(const tlPicture &p, int32_t x, int32_t y, int64_t r, bool wrap) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (int64_t v = y - r; v <= y + r; ++v)
        for (int64_t u = x - r; u <= x + r; ++u) {
            if (wrap)
                out.push_back({wrapped(u, p.width), wrapped(v, p.height)});
            else if (u >= 0 && v >= 0 && u < p.width && v < p.height)
                out.push_back({static_cast<int32_t>(u), static_cast<int32_t>(v)});
        }
    return out;
}

uint32_t medianKey(const tlPicture &p, const uint8_t *q) {
    if (p.model == tlColourModel::Gray) return p.bits == 8 ? q[0] : load16(q);
    if (p.bits == 8) return 5036060u * q[0] + 9886846u * q[1] + 1920103u * q[2];
    return 19596u * load16(q) + 38470u * load16(q + 2) + 7471u * load16(q + 4);
}

struct Entry {
    uint32_t key;
    const uint8_t *pixel;
};

// The selection procedure exactly as the rule states it.
void quickselect(std::vector<Entry> &a, int32_t k) {
    auto key = [&](int32_t i) { return a[i].key; };
    int32_t l = 0, r = static_cast<int32_t>(a.size()) - 1;
    while (true) {
        if (r <= l) return;
        if (r == l + 1) {
            if (key(l) > key(r)) std::swap(a[l], a[r]);
            return;
        }
        int32_t m = (l + r) / 2;
        if (key(m) > key(r)) std::swap(a[m], a[r]);
        if (key(l) > key(r)) std::swap(a[l], a[r]);
        if (key(m) > key(l)) std::swap(a[m], a[l]);
        std::swap(a[m], a[l + 1]);
        const uint32_t p = key(l);
        int32_t i = l + 1, j = r;
        while (true) {
            do ++i;
            while (key(i) < p);
            do --j;
            while (key(j) > p);
            if (j < i) break;
            std::swap(a[i], a[j]);
        }
        std::swap(a[l], a[j]);
        if (j <= k) l = i;
        if (j >= k) r = j - 1;
    }
}

void plainMedian(const tlPicture &src, tlPicture &dst, int32_t r, bool wrap) {
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x) {
            std::vector<Entry> a;
            for (auto &pos : windowOf(src, x, y, r, wrap)) {
                const uint8_t *q = src.pixelAddress(pos.first, pos.second);
                if (counted(src, q)) a.push_back({medianKey(src, q), q});
            }
            if (a.empty()) continue;
            const int32_t k = static_cast<int32_t>(a.size() - 1) / 2;
            quickselect(a, k);
            std::memcpy(dst.pixelAddress(x, y), a[k].pixel, colourBytes(src));
        }
}

// Ranking value for the minimum (the maximum reverses it); the start bound
// of the direct rule is kept: an RGB 16-bit key equal to it never wins.
uint64_t extremeRank(const tlPicture &p, const uint8_t *q, bool max) {
    uint64_t k, bound;
    if (p.model == tlColourModel::RGB && p.bits == 8) {
        k = (19672u * q[0] + 38621u * q[1] + 7500u * q[2]) >> 8, bound = 65536;
    } else if (p.model == tlColourModel::RGB) {
        k = 19596ull * load16(q) + 38470ull * load16(q + 2) + 7471ull * load16(q + 4), bound = 0xFFFFFFFFull;
        if (max) return 0xFFFFFFFFull - k;
        return k;
    } else {
        k = p.bits == 8 ? q[0] : load16(q), bound = 65536;
    }
    return max ? bound - 1 - k : k;
}

// First pixel in visiting order whose rank beats everything before it.
const uint8_t *firstBest(const tlPicture &p, const std::vector<std::pair<int32_t, int32_t>> &window, bool max) {
    uint64_t best = 0xFFFFFFFFull;
    const uint8_t *chosen = nullptr;
    for (auto &pos : window) {
        const uint8_t *q = p.pixelAddress(pos.first, pos.second);
        if (!counted(p, q)) continue;
        const uint64_t k = extremeRank(p, q, max);
        if (k < best) best = k, chosen = q;
    }
    return chosen;
}

// Minimum or maximum: the direct rule for most formats; for RGB 8-bit rows
// then columns, the column pass reading a fresh copy of the row pass and
// counting each pixel by its own alpha.
void plainExtreme(const tlPicture &src, tlPicture &dst, int32_t r, bool wrap, bool max) {
    const bool separable = src.model == tlColourModel::RGB && src.bits == 8;
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x) {
            std::vector<std::pair<int32_t, int32_t>> window;
            if (separable) {
                for (auto &pos : windowOf(src, x, 0, r, wrap)) window.push_back({pos.first, y});
            } else {
                window = windowOf(src, x, y, r, wrap);
            }
            const uint8_t *q = firstBest(src, window, max);
            if (q != nullptr) std::memcpy(dst.pixelAddress(x, y), q, colourBytes(src));
        }
    if (!separable) return;
    const tlPicture rows(dst);
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x) {
            std::vector<std::pair<int32_t, int32_t>> window;
            for (auto &pos : windowOf(src, 0, y, r, wrap)) window.push_back({x, pos.second});
            const uint8_t *q = firstBest(rows, window, max);
            if (q != nullptr) std::memcpy(dst.pixelAddress(x, y), q, 3);
        }
}

template <class E>
bool run(E &e, const tlPicture &src, tlPicture &dst, int32_t r, bool wrap) {
    e.radius = r;
    e.wrap = wrap;
    return e.apply(src, dst, nullptr);
}

void setGray(tlPicture &p, int32_t x, int32_t y, uint8_t v) { *p.pixelAddress(x, y) = v; }

void setRgb16(tlPicture &p, int32_t x, int32_t y, uint32_t r, uint32_t g, uint32_t b) {
    uint8_t *q = p.pixelAddress(x, y);
    store16(q, r), store16(q + 2, g), store16(q + 4, b);
}

}  // namespace

TEST(RankFilters, FastPathsMatchThePlainRulesForEveryFormat) {
    uint32_t seed = 11;
    for (const tlPixelFormat &f : kColourFormats)
        for (int32_t palette : {0, 3})
            for (int32_t r : {1, 2, 3, 9})
                for (bool wrap : {false, true}) {
                    SCOPED_TRACE(::testing::Message() << "format " << f.model << "/" << f.bits << "/" << f.channels
                                                      << " palette " << palette << " r " << r << " wrap " << wrap);
                    tlPicture src;
                    ASSERT_TRUE(randomPicture(src, 13, 7, f, ++seed, palette));
                    tlPicture got(src), want(src);
                    tlMedianEffect median;
                    ASSERT_TRUE(run(median, src, got, r, wrap));
                    plainMedian(src, want, r, wrap);
                    EXPECT_TRUE(sameBytes(got, want)) << "median";
                    for (bool max : {false, true}) {
                        tlPicture got2(src), want2(src);
                        tlMinimumEffect minimum;
                        tlMaximumEffect maximum;
                        ASSERT_TRUE(max ? run(maximum, src, got2, r, wrap) : run(minimum, src, got2, r, wrap));
                        plainExtreme(src, want2, r, wrap, max);
                        EXPECT_TRUE(sameBytes(got2, want2)) << (max ? "maximum" : "minimum");
                    }
                }
}

namespace {

// 8-bit picture for the median networks. Alpha: 0 opaque, 1 random but never
// 0, 2 a few pixels of alpha 0 (so most rows have full windows and some not),
// 3 every fourth pixel 0. A palette makes equal keys common; an extreme
// picture holds only black and white (the smallest and largest keys).
bool networkPicture(tlPicture &p, int32_t w, int32_t h, bool gray, bool alpha, int32_t alphaMode, int32_t palette,
                    uint32_t seed) {
    const int32_t channels = (gray ? 1 : 3) + (alpha ? 1 : 0);
    if (!p.create(w, h, gray ? tlPixelFormat::gray(8, channels) : tlPixelFormat::rgb(8, channels))) return false;
    const int32_t colours = gray ? 1 : 3;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t *q = p.pixelAddress(x, y);
            for (int32_t c = 0; c < colours; ++c) {
                const uint32_t v = nextRandom(seed);
                q[c] = static_cast<uint8_t>(palette == 1 ? (v & 1) * 255 : palette > 0 ? (v % palette) * 37 : v);
            }
            if (!alpha) continue;
            const uint32_t a = nextRandom(seed);
            q[colours] = alphaMode == 0   ? 255
                         : alphaMode == 1 ? static_cast<uint8_t>(a | 1)
                         : alphaMode == 2 ? ((a & 63) == 0 ? 0 : 200)
                                          : ((a & 3) == 0 ? 0 : static_cast<uint8_t>(a | 1));
        }
    return true;
}

// The plain rule restricted to the work rectangle of src.
void plainMedianInArea(const tlPicture &src, tlPicture &dst, int32_t r, bool wrap) {
    tlPicture all(src);
    plainMedian(src, all, r, wrap);
    const tlRect area = src.workRect();
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x)
            std::memcpy(dst.pixelAddress(x, y), all.pixelAddress(x, y), colourBytes(src));
}

}  // namespace

TEST(RankFilters, MedianNetworksMatchTheQuickselectOnEightBitPictures) {
    // Radius 1 and 2 windows that are full go through comparator networks,
    // four pixels at a time; sizes around the lane count and the window
    // width, picture edges, work rectangles and uncounted pixels decide
    // which pixels take which path.
    const int32_t sizes[][2] = {{1, 1}, {1, 7}, {7, 1},  {2, 3},   {3, 3},  {4, 5},  {5, 5},
                                {6, 9}, {9, 6}, {13, 7}, {17, 11}, {31, 4}, {40, 23}};
    uint32_t seed = 500;
    int32_t checked = 0;
    for (const auto &size : sizes)
        for (int32_t format = 0; format < 4; ++format)
            for (int32_t alphaMode = 0; alphaMode < 4; ++alphaMode) {
                const bool gray = format >= 2, alpha = format % 2 == 1;
                if (!alpha && alphaMode > 0) continue;
                for (int32_t palette : {0, 1, 4})
                    for (int32_t r : {1, 2, 3})
                        for (bool wrap : {false, true})
                            for (bool selection : {false, true}) {
                                SCOPED_TRACE(::testing::Message()
                                             << size[0] << "x" << size[1] << " format " << format << " alpha "
                                             << alphaMode << " palette " << palette << " r " << r << " wrap " << wrap
                                             << " selection " << selection << " seed " << seed);
                                tlPicture src;
                                ASSERT_TRUE(
                                    networkPicture(src, size[0], size[1], gray, alpha, alphaMode, palette, ++seed));
                                if (selection) {
                                    src.selected = true;
                                    src.selection = tlRect{size[0] / 3, size[1] / 4, size[0] - size[0] / 5,
                                                           size[1] - size[1] / 3};
                                    if (src.selection.left >= src.selection.right ||
                                        src.selection.top >= src.selection.bottom)
                                        continue;
                                }
                                tlPicture got(src), want(src);
                                tlMedianEffect median;
                                ASSERT_TRUE(run(median, src, got, r, wrap));
                                plainMedianInArea(src, want, r, wrap);
                                ASSERT_TRUE(sameBytes(got, want));
                                ++checked;
                            }
            }
    EXPECT_GT(checked, 1500);
}

TEST(RankFilters, MedianNetworksOnLongRowsAndEveryRowStart) {
    // Rows long enough for many lane groups, with the work rectangle starting
    // and ending at every offset inside a lane group.
    uint32_t seed = 900;
    for (bool gray : {false, true})
        for (int32_t r : {1, 2})
            for (bool wrap : {false, true})
                for (int32_t left = 0; left < 5; ++left)
                    for (int32_t cut = 0; cut < 5; ++cut) {
                        SCOPED_TRACE(::testing::Message() << "gray " << gray << " r " << r << " wrap " << wrap
                                                          << " left " << left << " cut " << cut);
                        tlPicture src;
                        ASSERT_TRUE(networkPicture(src, 70, 9, gray, true, 1, 0, ++seed));
                        src.selected = true;
                        src.selection = tlRect{left, 1, 70 - cut, 9};
                        tlPicture got(src), want(src);
                        tlMedianEffect median;
                        ASSERT_TRUE(run(median, src, got, r, wrap));
                        plainMedianInArea(src, want, r, wrap);
                        ASSERT_TRUE(sameBytes(got, want));
                    }
}

TEST(RankFilters, EqualKeysResolveByTheSelectionSwaps) {
    // Three RGB 16-bit colours of one key, 19596 × 7471. For the middle
    // pixel (n = 3, k = 1) the swaps move the first visited entry to rank 1;
    // a pair of equal keys is never swapped.
    tlPicture src;
    ASSERT_TRUE(src.create(3, 1, kRGB16));
    setRgb16(src, 0, 0, 7471, 0, 0);
    setRgb16(src, 1, 0, 0, 0, 19596);
    setRgb16(src, 2, 0, 194, 1, 19082);
    tlPicture dst(src);
    tlMedianEffect median;
    ASSERT_TRUE(run(median, src, dst, 1, false));
    EXPECT_EQ(load16(dst.pixelAddress(0, 0)), 7471u);
    EXPECT_EQ(load16(dst.pixelAddress(1, 0)), 7471u) << "the first visited, not the middle one";
    EXPECT_EQ(load16(dst.pixelAddress(2, 0) + 4), 19596u);
}

TEST(RankFilters, EvenCountsTakeTheLowerMedian) {
    tlPicture src;
    ASSERT_TRUE(src.create(3, 3, kGray8));
    const uint8_t values[9] = {40, 10, 0, 30, 20, 0, 0, 0, 0};
    for (int32_t i = 0; i < 9; ++i) setGray(src, i % 3, i / 3, values[i]);
    tlPicture dst(src);
    tlMedianEffect median;
    ASSERT_TRUE(run(median, src, dst, 1, false));
    // Corner window without wrap: 40, 10, 30, 20 → the second smallest.
    EXPECT_EQ(*dst.pixelAddress(0, 0), 20);
}

TEST(RankFilters, OnePixelPictureAndTransparentWindows) {
    tlPicture one;
    ASSERT_TRUE(randomPicture(one, 1, 1, kRGBA8, 5));
    *(one.pixelAddress(0, 0) + 3) = 255;
    for (bool wrap : {false, true}) {
        tlPicture a(one), b(one), c(one);
        tlMedianEffect median;
        tlMinimumEffect minimum;
        tlMaximumEffect maximum;
        EXPECT_TRUE(run(median, one, a, 1, wrap) && run(minimum, one, b, 1, wrap) && run(maximum, one, c, 1, wrap));
        EXPECT_TRUE(sameBytes(a, one) && sameBytes(b, one) && sameBytes(c, one));
    }
    for (const tlPixelFormat &f : kColourFormats) {
        if (f.channels % 2 != 0) continue;
        tlPicture clear;
        ASSERT_TRUE(randomPicture(clear, 6, 5, f, 9));
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 6; ++x) std::memset(clear.pixelAddress(x, y) + colourBytes(clear), 0, f.bits / 8);
        tlPicture a(clear), b(clear), c(clear);
        tlMedianEffect median;
        tlMinimumEffect minimum;
        tlMaximumEffect maximum;
        EXPECT_TRUE(run(median, clear, a, 2, true) && run(minimum, clear, b, 2, true) &&
                    run(maximum, clear, c, 2, true));
        EXPECT_TRUE(sameBytes(a, clear) && sameBytes(b, clear) && sameBytes(c, clear));
    }
}

TEST(RankFilters, WhiteAndBlackNeverWinOnRgb16) {
    // The direct rule starts from 0xFFFFFFFF (minimum) and 0 (maximum): an
    // all-white window has no minimum candidate, an all-black one no maximum.
    tlPicture src;
    ASSERT_TRUE(src.create(2, 1, kRGBA16));
    uint8_t *p = src.pixelAddress(0, 0);
    std::memset(p, 0xFF, 8);      // opaque white
    std::memset(p + 8, 0x55, 6);  // gray, transparent
    store16(p + 14, 0);
    tlPicture dst(src);
    tlMinimumEffect minimum;
    ASSERT_TRUE(run(minimum, src, dst, 1, false));
    EXPECT_TRUE(sameBytes(dst, src));
}

TEST(RankFilters, WrappedColumnPassReadsTheRowPassUnchanged) {
    // Top and bottom rows differ; every wrapped window near the bottom reaches
    // the top rows, which the column pass must read as the row pass left them.
    tlPicture src;
    ASSERT_TRUE(src.create(9, 8, kRGBA8));
    uint32_t seed = 3;
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 9; ++x) {
            uint8_t *q = src.pixelAddress(x, y);
            const uint8_t base = y < 2 ? 20 : (y >= 6 ? 230 : 120);
            for (int32_t c = 0; c < 3; ++c) q[c] = static_cast<uint8_t>(base + nextRandom(seed) % 20);
            q[3] = 255;
        }
    for (int32_t r : {1, 2, 5})
        for (bool max : {false, true}) {
            tlPicture got(src), want(src);
            tlMinimumEffect minimum;
            tlMaximumEffect maximum;
            ASSERT_TRUE(max ? run(maximum, src, got, r, true) : run(minimum, src, got, r, true));
            plainExtreme(src, want, r, true, max);
            EXPECT_TRUE(sameBytes(got, want)) << "r " << r << " max " << max;
            // Seamless: filtering a 2 × 2 tiling gives the tiling of the result.
            tlPicture tiles, tilesOut;
            ASSERT_TRUE(tiles.create(18, 16, kRGBA8) && tilesOut.create(18, 16, kRGBA8));
            for (int32_t t = 0; t < 4; ++t)
                tiles.copyFrom(t % 2 * 9, t / 2 * 8, src), tilesOut.copyFrom(t % 2 * 9, t / 2 * 8, got);
            tlPicture tilesGot(tiles);
            ASSERT_TRUE(max ? run(maximum, tiles, tilesGot, r, true) : run(minimum, tiles, tilesGot, r, true));
            EXPECT_TRUE(sameBytes(tilesGot, tilesOut)) << "r " << r << " max " << max;
        }
}

TEST(RankFilters, HugeWrappedRadiiEqualTheirShortEquivalent) {
    // On a 5 × 5 picture a wrapped window only matters through where it
    // starts: 2147483647 ≡ 7 (mod 5) and both windows cover the picture.
    for (const tlPixelFormat &f : {kColourFormats[1], kColourFormats[3], kColourFormats[5]}) {
        tlPicture src;
        ASSERT_TRUE(randomPicture(src, 5, 5, f, 21, 3));
        for (bool max : {false, true}) {
            tlPicture got(src), want(src);
            tlMinimumEffect minimum;
            tlMaximumEffect maximum;
            ASSERT_TRUE(max ? run(maximum, src, got, INT_MAX, true) : run(minimum, src, got, INT_MAX, true));
            plainExtreme(src, want, 7, true, max);
            EXPECT_TRUE(sameBytes(got, want));
            tlPicture clipped(src), clippedWant(src);
            ASSERT_TRUE(max ? run(maximum, src, clipped, INT_MAX, false) : run(minimum, src, clipped, INT_MAX, false));
            plainExtreme(src, clippedWant, 5, false, max);
            EXPECT_TRUE(sameBytes(clipped, clippedWant));
        }
    }
}

TEST(RankFilters, DegenerateParametersAndFormats) {
    tlPicture src;
    ASSERT_TRUE(randomPicture(src, 7, 6, kRGBA8, 33));
    for (int32_t r : {0, -1, INT_MIN}) {
        tlPicture a(src), b(src), c(src);
        tlMedianEffect median;
        tlMinimumEffect minimum;
        tlMaximumEffect maximum;
        EXPECT_TRUE(run(median, src, a, r, true) && run(minimum, src, b, r, true) && run(maximum, src, c, r, false));
        EXPECT_TRUE(sameBytes(a, src) && sameBytes(b, src) && sameBytes(c, src));
    }
    // A window of (2^32 − 1)² entries cannot be held: refused, nothing written.
    tlPicture big(src);
    tlMedianEffect median;
    EXPECT_FALSE(run(median, src, big, INT_MAX, true));
    EXPECT_TRUE(sameBytes(big, src));
    // Indexed pictures pass through.
    tlPicture indexed;
    ASSERT_TRUE(randomPicture(indexed, 5, 4, kIndexed8, 4));
    tlPicture out(indexed);
    tlMaximumEffect maximum;
    EXPECT_TRUE(run(median, indexed, out, 1, false) && run(maximum, indexed, out, 1, true));
    EXPECT_TRUE(sameBytes(out, indexed));
}

TEST(RankFilters, ProgressCountsRowsAndColumnsAndStops) {
    for (const tlPixelFormat &f : {kColourFormats[1], kColourFormats[4]}) {
        tlPicture src;
        ASSERT_TRUE(randomPicture(src, 6, 4, f, 8));
        tlPicture dst(src);
        tlMinimumEffect minimum;
        CountingProgress progress;
        ASSERT_TRUE(minimum.apply(src, dst, &progress));
        EXPECT_EQ(progress.total, 9);
        EXPECT_EQ(progress.steps, f.model == tlColourModel::RGB ? 10 : 4) << "only the separable path steps per column";
        tlMedianEffect median;
        CountingProgress progress2;
        ASSERT_TRUE(median.apply(src, dst, &progress2));
        EXPECT_EQ(progress2.total, 3);
        EXPECT_EQ(progress2.steps, 4);
        CountingProgress stop;
        stop.stopAt = 2;
        EXPECT_FALSE(minimum.apply(src, dst, &stop));
        EXPECT_EQ(stop.steps, 2);
    }
}

TEST(RankFilters, SameBytesOnEveryBuild) {
    uint64_t h = kFnvBasis;
    for (const tlPixelFormat &f : {kColourFormats[1], kColourFormats[3], kColourFormats[7]}) {
        tlPicture src;
        ASSERT_TRUE(randomPicture(src, 37, 23, f, 2024, 0));
        for (int32_t r : {2, 3})
            for (bool wrap : {false, true}) {
                tlPicture a(src), b(src), c(src);
                tlMedianEffect median;
                tlMinimumEffect minimum;
                tlMaximumEffect maximum;
                ASSERT_TRUE(run(median, src, a, r, wrap) && run(minimum, src, b, r, wrap) &&
                            run(maximum, src, c, r, wrap));
                h = digest(c, digest(b, digest(a, h)));
            }
    }
    EXPECT_EQ(h, 0xFC650D91C9176A91ull);
}
