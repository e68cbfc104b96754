// Clouds and plasma: exact values at lattice points, seams with wrap, seeds,
// formats, the plasma's level loop and degenerate parameters.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "effects/core/random.h"
#include "effects/patterns/clouds.h"
#include "imaging/colour.h"
#include "imaging/picture.h"
#include "imaging/pixel_math.h"
#include "imaging/progress.h"
#include "tests/effects/effect_test_util.h"
#include "tests/support/formats.h"

namespace {

void filledPicture(tlPicture &p, int32_t w, int32_t h, const tlColour &colour, tlPixelFormat format = kRGBA8) {
    ASSERT_TRUE(p.create(w, h, format));
    p.fill(colour);
}

// Mean absolute difference of the first channel between two columns / rows.
double columnGap(const tlPicture &p, int32_t xa, int32_t xb) {
    double sum = 0;
    for (int32_t y = 0; y < p.height; ++y) sum += std::abs(p.pixelAddress(xa, y)[0] - p.pixelAddress(xb, y)[0]);
    return sum / p.height;
}

double rowGap(const tlPicture &p, int32_t ya, int32_t yb) {
    double sum = 0;
    for (int32_t x = 0; x < p.width; ++x) sum += std::abs(p.pixelAddress(x, ya)[0] - p.pixelAddress(x, yb)[0]);
    return sum / p.width;
}

}  // namespace

// At (left, top) every octave sits on a lattice point, so the noise is 0:
// plain clouds give n = 0.94 × 0.526, h = floor(n × 255) = 126; turbulent
// ones n = 0, h = 0, which is colour2 itself.
TEST(CloudEffect, LatticePointValues) {
    tlPicture source, destination;
    filledPicture(source, 9, 7, tlColour::rgba(17, 34, 51, 255));
    tlCloudEffect cloud;  // white over black
    cloud.seed = 12345;
    ASSERT_TRUE(run(cloud, source, destination));
    EXPECT_EQ(destination.pixelAddress(0, 0)[0], 126);
    EXPECT_EQ(destination.pixelAddress(0, 0)[3], 255);

    cloud.turbulence = true;
    cloud.detail = 0;
    cloud.colour2 = tlColour::rgb(10, 200, 30);
    ASSERT_TRUE(run(cloud, source, destination));
    const uint8_t *p = destination.pixelAddress(0, 0);
    EXPECT_EQ(p[0], 10);
    EXPECT_EQ(p[1], 200);
    EXPECT_EQ(p[2], 30);

    // The same at 16 bits and in gray: h = 0 gives colour2 exactly.
    tlPicture wide;
    filledPicture(wide, 5, 4, tlColour::rgba(1, 2, 3, 255), kRGB16);
    ASSERT_TRUE(run(cloud, wide, destination));
    EXPECT_EQ(destination.pixelAddress(0, 0)[0] | (destination.pixelAddress(0, 0)[1] << 8), 10 * 257);
    tlPicture gray;
    filledPicture(gray, 5, 4, tlColour::rgba(99, 99, 99, 255), kGrayA8);
    ASSERT_TRUE(run(cloud, gray, destination));
    uint8_t expected[2];
    ASSERT_TRUE(cloud.colour2.toGrayAlpha8(expected));
    EXPECT_EQ(destination.pixelAddress(0, 0)[0], expected[0]);
    EXPECT_EQ(destination.pixelAddress(0, 0)[1], 255);
}

TEST(CloudEffect, SameSeedSameCloud) {
    tlPicture source, a, b;
    filledPicture(source, 37, 23, tlColour::rgba(0, 0, 0, 255));
    tlCloudEffect cloud;
    cloud.colour1 = tlColour::rgba(250, 120, 0, 200);
    cloud.seed = 4;
    for (int32_t wrap = 0; wrap < 2; ++wrap) {
        cloud.wrap = wrap != 0;
        ASSERT_TRUE(run(cloud, source, a));
        ASSERT_TRUE(run(cloud, source, b));
        EXPECT_TRUE(sameSizeAndBytes(a, b));
        cloud.seed = 5;
        ASSERT_TRUE(run(cloud, source, b));
        EXPECT_FALSE(sameSizeAndBytes(a, b));
        cloud.seed = 4;
    }
}

// With wrap the lattice repeats once across and down, so the step from the
// last column to the first is as small as any step between neighbours.
TEST(CloudEffect, WrapIsSeamless) {
    tlPicture source, destination;
    filledPicture(source, 96, 64, tlColour::rgba(0, 0, 0, 255));
    tlCloudEffect cloud;
    cloud.detail = 1;
    cloud.scaleX = 20;  // fx = 2
    cloud.scaleY = 35;  // fy = 4
    int32_t seams = 0;
    for (int32_t seed = 0; seed < 8; ++seed) {
        cloud.seed = seed;
        cloud.wrap = true;
        ASSERT_TRUE(run(cloud, source, destination));
        double inner = 0;
        for (int32_t x = 1; x < 96; ++x)
            if (columnGap(destination, x - 1, x) > inner) inner = columnGap(destination, x - 1, x);
        EXPECT_LE(columnGap(destination, 95, 0), inner * 1.5) << "seed " << seed;
        double innerRows = 0;
        for (int32_t y = 1; y < 64; ++y)
            if (rowGap(destination, y - 1, y) > innerRows) innerRows = rowGap(destination, y - 1, y);
        EXPECT_LE(rowGap(destination, 63, 0), innerRows * 1.5) << "seed " << seed;

        // Without wrap the edges do not meet as a rule.
        cloud.wrap = false;
        ASSERT_TRUE(run(cloud, source, destination));
        if (columnGap(destination, 95, 0) > inner * 2) ++seams;
    }
    EXPECT_GE(seams, 6);
}

TEST(CloudEffect, ProgressAndAbort) {
    tlPicture source, destination;
    filledPicture(source, 8, 6, tlColour::rgba(0, 0, 0, 255));
    tlCloudEffect cloud;
    CountingProgress all(100);
    EXPECT_TRUE(run(cloud, source, destination, &all));
    EXPECT_EQ(all.total, 5);
    EXPECT_EQ(all.steps, 6);
    CountingProgress two(2);
    EXPECT_FALSE(run(cloud, source, destination, &two));
    EXPECT_NE(std::memcmp(destination.row(1), source.row(1), 32), 0);
    EXPECT_EQ(std::memcmp(destination.row(2), source.row(2), 32), 0);
}

TEST(CloudEffect, DegenerateParameters) {
    tlPicture source, destination;
    filledPicture(source, 12, 9, tlColour::rgba(5, 6, 7, 128));
    tlCloudEffect cloud;
    cloud.wrap = true;
    cloud.scaleX = 0;  // no lattice cell to repeat: nothing painted
    EXPECT_TRUE(run(cloud, source, destination));
    EXPECT_TRUE(sameSizeAndBytes(source, destination));
    cloud.scaleX = -30;
    EXPECT_TRUE(run(cloud, source, destination));
    EXPECT_TRUE(sameSizeAndBytes(source, destination));

    const int32_t scales[] = {INT_MIN, -7, 0, 1, 3, INT_MAX};
    const int32_t details[] = {INT_MIN, -1, 0, 40, INT_MAX};
    for (int32_t wrap = 0; wrap < 2; ++wrap)
        for (int32_t s : scales)
            for (int32_t d : details) {
                cloud.wrap = wrap != 0;
                cloud.scaleX = s;
                cloud.scaleY = s ^ 1;
                cloud.detail = d;
                cloud.turbulence = (d & 1) != 0;
                EXPECT_TRUE(run(cloud, source, destination));
            }

    tlPicture one, indexed;
    filledPicture(one, 1, 1, tlColour::rgba(0, 0, 0, 255), kGray16);
    cloud.scaleX = cloud.scaleY = 20;
    cloud.detail = 4;
    EXPECT_TRUE(run(cloud, one, destination));
    ASSERT_TRUE(indexed.create(4, 4, kIndexed8));
    std::memset(indexed.store, 3, static_cast<size_t>(indexed.stride) * 4);
    EXPECT_TRUE(run(cloud, indexed, destination));
    EXPECT_TRUE(sameSizeAndBytes(indexed, destination));
}

// The seed points cover the 2 × 2 picture; level 1 then visits four cells
// (3 + 3 + 5 displaced pixels of 3 draws each after 9 seed pixels of 3) and
// stops, because its last cell is smaller than 3 × 3.
TEST(PlasmaEffect, TwoByTwoRunsOneLevel) {
    tlPicture source, destination;
    filledPicture(source, 2, 2, tlColour::rgba(0, 0, 0, 0));
    tlPlasmaEffect plasma;
    plasma.seed = 99;
    ASSERT_TRUE(run(plasma, source, destination));
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 2; ++x) EXPECT_EQ(destination.pixelAddress(x, y)[3], 255);
    tlRandom reference;
    reference.seed(99);
    for (int32_t i = 0; i < 27 + 9 + 9 + 15; ++i) reference.next();
    EXPECT_EQ(sharedRandom().next(), reference.next());
}

TEST(PlasmaEffect, ThinPicturesPaintNothing) {
    tlPicture source, destination;
    filledPicture(source, 9, 1, tlColour::rgba(1, 2, 3, 4));
    tlPlasmaEffect plasma;
    sharedRandom().seed(7);
    EXPECT_TRUE(run(plasma, source, destination));
    EXPECT_TRUE(sameSizeAndBytes(source, destination));
    tlRandom reference;
    reference.seed(7);
    EXPECT_EQ(sharedRandom().next(), reference.next());  // not even reseeded
    filledPicture(source, 1, 5, tlColour::rgba(1, 2, 3, 4));
    EXPECT_TRUE(run(plasma, source, destination));
    EXPECT_TRUE(sameSizeAndBytes(source, destination));
}

TEST(PlasmaEffect, GrayscaleAndSeeds) {
    tlPicture source, a, b;
    filledPicture(source, 37, 23, tlColour::rgba(1, 2, 3, 4));
    tlPlasmaEffect plasma;
    plasma.grayscale = true;
    plasma.seed = 11;
    ASSERT_TRUE(run(plasma, source, a));
    for (int32_t y = 0; y < 23; ++y)
        for (int32_t x = 0; x < 37; ++x) {
            const uint8_t *p = a.pixelAddress(x, y);
            ASSERT_EQ(p[0], p[1]);
            ASSERT_EQ(p[1], p[2]);
            ASSERT_EQ(p[3], 255);  // every pixel is painted
        }
    plasma.grayscale = false;
    ASSERT_TRUE(run(plasma, source, a));
    ASSERT_TRUE(run(plasma, source, b));
    EXPECT_TRUE(sameSizeAndBytes(a, b));
    plasma.seed = 12;
    ASSERT_TRUE(run(plasma, source, b));
    EXPECT_FALSE(sameSizeAndBytes(a, b));
}

// With wrap the last column and row are displaced from the first ones, so
// the edges continue each other; without wrap they are independent.
TEST(PlasmaEffect, WrapEdgesContinue) {
    tlPicture source, destination;
    filledPicture(source, 65, 47, tlColour::rgba(0, 0, 0, 255));
    tlPlasmaEffect plasma;
    plasma.roughness = 2;
    double wrapped = 0, open = 0;
    for (int32_t seed = 1; seed <= 10; ++seed) {
        plasma.seed = seed;
        plasma.wrap = true;
        ASSERT_TRUE(run(plasma, source, destination));
        double edge = columnGap(destination, 64, 0) + rowGap(destination, 46, 0);
        EXPECT_LT(edge, 8.0) << "seed " << seed;
        wrapped += edge;
        plasma.wrap = false;
        ASSERT_TRUE(run(plasma, source, destination));
        open += columnGap(destination, 64, 0) + rowGap(destination, 46, 0);
    }
    EXPECT_LT(wrapped * 4, open);
}

// A negative roughness displaces nothing: the same picture as roughness 0.
TEST(PlasmaEffect, RoughnessExtremes) {
    tlPicture source, a, b;
    filledPicture(source, 30, 20, tlColour::rgba(0, 0, 0, 255));
    tlPlasmaEffect plasma;
    plasma.roughness = 0;
    ASSERT_TRUE(run(plasma, source, a));
    plasma.roughness = -40;
    ASSERT_TRUE(run(plasma, source, b));
    EXPECT_TRUE(sameSizeAndBytes(a, b));
    plasma.roughness = INT_MIN;
    ASSERT_TRUE(run(plasma, source, b));
    EXPECT_TRUE(sameSizeAndBytes(a, b));
    plasma.roughness = INT_MAX;
    EXPECT_TRUE(run(plasma, source, b));
}

TEST(PlasmaEffect, OtherFormats) {
    const tlPixelFormat formats[] = {kRGB8, kRGB16, kRGBA16, kGray8, kGrayA8, kGray16, kGrayA16, kIndexed8, kIndexedA8};
    for (const auto &f : formats) {
        tlPicture source, destination;
        ASSERT_TRUE(source.create(19, 2, f));
        tlPlasmaEffect plasma;
        plasma.wrap = true;
        plasma.grayscale = true;
        EXPECT_TRUE(run(plasma, source, destination));
        if (f.model == tlColourModel::RGB) {
            const uint8_t *p = destination.pixelAddress(7, 1);
            int32_t step = f.bits / 8;
            EXPECT_EQ(std::memcmp(p, p + step, static_cast<size_t>(step)), 0);  // grayscale: R = G
        }
    }
}

// Fixed pictures whose bytes must be the same from every build of the
// program; the hashes also catch unintended changes of the draw order.
TEST(NoisePatterns, KnownPictures) {
    tlPicture source, destination;
    filledPicture(source, 160, 90, tlColour::rgba(40, 80, 120, 255));
    tlCloudEffect cloud;
    cloud.colour1 = tlColour::rgba(255, 200, 30, 190);
    cloud.colour2 = tlColour::rgba(10, 0, 90, 255);
    cloud.seed = 2024;
    cloud.wrap = true;
    cloud.detail = 4;
    cloud.scaleX = 30;
    cloud.scaleY = 20;
    ASSERT_TRUE(run(cloud, source, destination));
    uint64_t cloudWrap = digest(destination);
    cloud.wrap = false;
    cloud.turbulence = true;
    cloud.scaleX = 37;
    ASSERT_TRUE(run(cloud, source, destination));
    uint64_t cloudTurbulent = digest(destination);
    tlPlasmaEffect plasma;
    plasma.seed = 31337;
    plasma.roughness = 27;
    plasma.wrap = true;
    ASSERT_TRUE(run(plasma, source, destination));
    uint64_t plasmaWrap = digest(destination);
    plasma.wrap = false;
    plasma.grayscale = true;
    ASSERT_TRUE(run(plasma, source, destination));
    uint64_t plasmaGray = digest(destination);
    std::printf("hashes %016llx %016llx %016llx %016llx\n", static_cast<unsigned long long>(cloudWrap),
                static_cast<unsigned long long>(cloudTurbulent), static_cast<unsigned long long>(plasmaWrap),
                static_cast<unsigned long long>(plasmaGray));
    EXPECT_EQ(cloudWrap, 0x2b36ecce1eb2b6eeull);
    EXPECT_EQ(cloudTurbulent, 0x3b0f76f99657eedaull);
    EXPECT_EQ(plasmaWrap, 0x0306a3b1541b2d4aull);
    EXPECT_EQ(plasmaGray, 0x86e0cf814eca1f27ull);
}

namespace {

// The plasma rule written out plainly: pixels copied in and out with
// getPixel and setPixel, every channel an int64_t, one below() per draw and
// the recursion as stated. With wrap the last column (row) of the working
// rectangle takes its midpoints from the first one.
class PlainPlasma {
public:
    PlainPlasma(tlPicture &picture, const tlPlasmaEffect &e) : pic(picture), effect(e) {}

    void run() {
        tlRect r = pic.workRect();
        x0 = r.left, y0 = r.top, x1 = r.right - 1, y1 = r.bottom - 1;
        if (x0 >= x1 || y0 >= y1) return;
        random.seed(static_cast<uint32_t>(effect.seed));
        colours = pic.format().colourChannels();
        full = pic.bits == 8 ? 255 : 65535;
        const int64_t cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        if (effect.wrap) {
            Pixel corner = randomPixel();
            set(x0, y0, corner), set(x1, y0, corner), set(x0, y1, corner), set(x1, y1, corner);
            set(cx, cy, randomPixel());
            Pixel side = randomPixel();
            set(x0, cy, side), set(x1, cy, side);
            Pixel end = randomPixel();
            set(cx, y0, end), set(cx, y1, end);
        } else {
            const int64_t points[9][2] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}, {cx, cy},
                                          {x0, cy}, {x1, cy}, {cx, y0}, {cx, y1}};
            for (const auto &p : points) set(p[0], p[1], randomPixel());
        }
        for (int32_t f = 1;; ++f)
            if (!subdivide(x0, y0, x1, y1, f, 0)) break;
    }

    tlRandom random;

private:
    struct Pixel {
        int64_t v[4];
    };

    Pixel get(int64_t x, int64_t y) {
        uint8_t buffer[8];
        pic.getPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), buffer);
        Pixel out = {};
        for (int32_t c = 0; c < pic.channels; ++c) out.v[c] = readSample(buffer, pic.bits, c);
        return out;
    }
    void set(int64_t x, int64_t y, const Pixel &p) {
        uint8_t buffer[8];
        for (int32_t c = 0; c < pic.channels && c < 4; ++c)
            writeSample(buffer, pic.bits, c, static_cast<uint32_t>(p.v[c]));
        pic.setPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), buffer);
    }
    Pixel randomPixel() {
        Pixel out = {};
        for (int32_t c = 0; c < colours; ++c) out.v[c] = c > 0 && effect.grayscale ? out.v[0] : random.below(256);
        for (int32_t c = 0; c < colours; ++c) out.v[c] *= pic.bits == 16 ? 257 : 1;
        out.v[colours] = full;
        return out;
    }
    Pixel avg(const Pixel &p, const Pixel &q) {
        Pixel out = {};
        for (int32_t c = 0; c < colours; ++c) out.v[c] = (p.v[c] + q.v[c]) >> 1;
        out.v[colours] = full;
        return out;
    }
    Pixel displace(Pixel p, int64_t amplitude) {
        for (int32_t c = 0; c < (effect.grayscale ? 1 : colours); ++c) {
            int64_t v = p.v[c] + random.below(static_cast<uint32_t>(amplitude + 1)) - amplitude / 2;
            p.v[c] = v < 0 ? 0 : (v > full ? full : v);
        }
        for (int32_t c = 1; effect.grayscale && c < colours; ++c) p.v[c] = p.v[0];
        return p;
    }
    bool subdivide(int64_t a, int64_t b, int64_t c, int64_t d, int32_t e, int32_t depth) {
        int64_t mx = (a + c) / 2, my = (b + d) / 2;
        if (e > 0) {
            if (a >= c && b >= d) return false;
            subdivide(a, b, mx, my, e - 1, depth + 1);
            subdivide(a, my, mx, d, e - 1, depth + 1);
            subdivide(mx, b, c, my, e - 1, depth + 1);
            return subdivide(mx, my, c, d, e - 1, depth + 1);
        }
        if (a == c && b == d) return true;
        Pixel p00 = get(a, b), p01 = get(a, d), p10 = get(c, b), p11 = get(c, d);
        double real = (full + 1.0) / (2.0 * depth) * effect.roughness * 0.1;
        int64_t amplitude = real > 0 ? static_cast<int64_t>(std::min(real, 4294967294.0)) : 0;
        if (a != c) {
            set(a, my, displace(avg(p00, p01), amplitude));
            set(c, my, displace(effect.wrap && c == x1 ? get(x0, my) : avg(p10, p11), amplitude));
        }
        if (b != d) {
            set(mx, d, displace(effect.wrap && d == y1 ? get(mx, y0) : avg(p01, p11), amplitude));
            set(mx, b, displace(avg(p00, p10), amplitude));
        }
        set(mx, my, displace(avg(avg(p00, p11), avg(p01, p10)), amplitude));
        return !(c - a < 3 && d - b < 3);
    }

    tlPicture &pic;
    const tlPlasmaEffect &effect;
    int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int32_t colours = 3;
    int64_t full = 255;
};

}  // namespace

// The plasma against the plain rule on small odd sizes, every format, with
// and without wrap and grayscale, at ordinary, zero, negative and huge
// roughness, on the whole picture and on a selection; the shared generator
// must also end where the plain rule's does.
TEST(PlasmaEffect, MatchesThePlainRule) {
    const tlPixelFormat formats[] = {kRGBA8,  kRGB8,   kRGB16,   kRGBA16,   kGray8,
                                     kGrayA8, kGray16, kGrayA16, kIndexed8, kIndexedA8};
    const int32_t sizes[][2] = {{2, 2}, {3, 3}, {5, 4}, {7, 9}, {13, 6}, {2, 11}, {33, 17}};
    const int32_t roughnesses[] = {10, 27, 0, -3, 1000000, INT_MAX};
    int32_t cases = 0;
    for (const auto &f : formats)
        for (const auto &s : sizes)
            for (int32_t options = 0; options < 4; ++options)
                for (int32_t roughness : roughnesses) {
                    tlPicture source;
                    ASSERT_TRUE(source.create(s[0], s[1], f));
                    for (int32_t y = 0; y < s[1]; ++y)
                        for (int32_t i = 0; i < source.stride; ++i)
                            source.row(y)[i] = static_cast<uint8_t>(y * 37 + i * 11);
                    if (s[0] == 33) {  // a selection away from the picture's edges
                        source.selected = true;
                        source.selection = {3, 2, 30, 15};
                    }
                    tlPlasmaEffect plasma;
                    plasma.seed = static_cast<int32_t>(1000u * static_cast<uint32_t>(s[0]) +
                                                       static_cast<uint32_t>(roughness));
                    plasma.roughness = roughness;
                    plasma.wrap = (options & 1) != 0;
                    plasma.grayscale = (options & 2) != 0;
                    tlPicture destination, expected(source);
                    ASSERT_TRUE(run(plasma, source, destination));
                    PlainPlasma plain(expected, plasma);
                    plain.run();
                    ASSERT_TRUE(sameSizeAndBytes(destination, expected))
                        << "format " << f << " size " << s[0] << "x" << s[1] << " wrap " << plasma.wrap << " grayscale "
                        << plasma.grayscale << " roughness " << roughness;
                    ASSERT_EQ(sharedRandom().index, plain.random.index);
                    ASSERT_EQ(sharedRandom().next(), plain.random.next());
                    ++cases;
                }
    EXPECT_EQ(cases, 10 * 7 * 4 * 6);
}
