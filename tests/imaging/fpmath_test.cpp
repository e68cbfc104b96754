// The project's own sin, cos and atan: correctly rounded values at hard
// arguments, special values, agreement with the C library over the
// arguments the distortions produce, and a digest that the Linux and
// Windows builds must both reproduce.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "imaging/fpmath.h"

namespace {

uint64_t bitsOf(double x) {
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// Distance in representable doubles (both finite, same sign or zero).
uint64_t ulpsApart(double a, double b) {
    const int64_t ia = static_cast<int64_t>(bitsOf(a) & 0x7FFFFFFFFFFFFFFFull) * (a < 0 ? -1 : 1);
    const int64_t ib = static_cast<int64_t>(bitsOf(b) & 0x7FFFFFFFFFFFFFFFull) * (b < 0 ? -1 : 1);
    return ia > ib ? static_cast<uint64_t>(ia - ib) : static_cast<uint64_t>(ib - ia);
}

// Counts of a sweep against the C library.
struct Agreement {
    uint64_t total = 0, differ = 0, worst = 0;
    void add(double mine, double theirs) {
        ++total;
        const uint64_t d = ulpsApart(mine, theirs);
        if (d != 0) ++differ;
        if (d > worst) worst = d;
    }
    // glibc's results are within half an ulp or so, so ours must be within
    // one of them. Other C libraries (MinGW's) are only reported.
    void check(const char *what) const {
        std::printf("%s: %llu of %llu differ from the C library, at most %llu ulp\n", what,
                    static_cast<unsigned long long>(differ), static_cast<unsigned long long>(total),
                    static_cast<unsigned long long>(worst));
#if defined(__GLIBC__)
        EXPECT_LE(worst, 1u) << what;
#endif
    }
};

const double kPi = 3.14159265358979323846;

}  // namespace

// Correctly rounded values (to 400 bits, then nearest double): the reduction
// of huge arguments uses the exact 2/π, and the hardest case near a multiple
// of π/2 keeps its 53 bits.
TEST(FpMath, HardArgumentsGiveTheCorrectlyRoundedValue) {
    const struct {
        double x, sin, cos;
    } cases[] = {
        {0x1p-1, 0x1.eaee8744b05f0p-2, 0x1.c1528065b7d50p-1},
        {1.6e6, -0x1.153286220550fp-1, 0x1.ae78ad815d7c4p-1},  // either side of 2^20·π/2
        {1.7e6, 0x1.2468b4fe40abcp-1, -0x1.a44969d28fe08p-1},
        {5e9, 0x1.01eb16f3e6c9cp-2, -0x1.ef7e43f02f408p-1},
        {1e22, -0x1.b453ab76bf397p-1, 0x1.0be2cef01c8f4p-1},
        {0x1.6ac5b262ca1ffp+849, 0x1p+0, -0x1.14ae72e6ba22fp-61},
        {DBL_MAX, 0x1.452fc98b34e97p-8, -0x1.fffe62ecfab75p-1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(fpm::sin(c.x), c.sin) << c.x;
        EXPECT_EQ(fpm::cos(c.x), c.cos) << c.x;
        EXPECT_EQ(fpm::sin(-c.x), -c.sin) << c.x;
        EXPECT_EQ(fpm::cos(-c.x), c.cos) << c.x;
    }
    EXPECT_EQ(fpm::atan(1.0), 0x1.921fb54442d18p-1);
    EXPECT_EQ(fpm::atan(0x1p-30), 0x1p-30);
    EXPECT_EQ(fpm::atan(1e300), 0x1.921fb54442d18p+0);
}

TEST(FpMath, SpecialValues) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(bitsOf(fpm::sin(0.0)), bitsOf(0.0));
    EXPECT_EQ(bitsOf(fpm::sin(-0.0)), bitsOf(-0.0));
    EXPECT_EQ(bitsOf(fpm::atan(-0.0)), bitsOf(-0.0));
    EXPECT_EQ(fpm::cos(-0.0), 1.0);
    const double tiny = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(fpm::sin(tiny), tiny);
    EXPECT_EQ(fpm::atan(-tiny), -tiny);
    EXPECT_EQ(fpm::cos(tiny), 1.0);
    for (double x : {inf, -inf, nan}) {
        EXPECT_TRUE(std::isnan(fpm::sin(x)));
        EXPECT_TRUE(std::isnan(fpm::cos(x)));
        double s = 0, c = 0;
        fpm::sinCos(x, s, c);
        EXPECT_TRUE(std::isnan(s) && std::isnan(c));
    }
    EXPECT_EQ(fpm::atan(inf), 0x1.921fb54442d18p+0);
    EXPECT_EQ(fpm::atan(-inf), -0x1.921fb54442d18p+0);
    EXPECT_TRUE(std::isnan(fpm::atan(nan)));
}

// sinCos is sin and cos bit for bit; sin and atan are odd, cos even.
TEST(FpMath, SymmetriesHoldBitForBit) {
    for (double x = -40.0; x < 40.0; x += 0.0123) {
        double s, c;
        fpm::sinCos(x, s, c);
        ASSERT_EQ(bitsOf(s), bitsOf(fpm::sin(x))) << x;
        ASSERT_EQ(bitsOf(c), bitsOf(fpm::cos(x))) << x;
        ASSERT_EQ(bitsOf(fpm::sin(-x)), bitsOf(-s)) << x;
        ASSERT_EQ(bitsOf(fpm::cos(-x)), bitsOf(c)) << x;
        ASSERT_EQ(bitsOf(fpm::atan(-x)), bitsOf(-fpm::atan(x))) << x;
    }
}

// The distortions' arguments: the cylinder's sqrt(i·n − i²)/(h − i), the
// sine wave's c·2π/wavelength and the swirl's angle a·t².
TEST(FpMath, AgreesWithTheCLibraryOnTheDistortionsArguments) {
    Agreement cylinder, wave, swirlSin, swirlCos;
    for (int32_t n = 1; n <= 1200; ++n) {
        const double h = n / 2.0;
        for (int32_t i = 0; i < n; ++i) {
            if (h - i == 0.0) continue;
            const double q = std::sqrt(static_cast<double>(static_cast<int64_t>(i) * n - static_cast<int64_t>(i) * i));
            cylinder.add(fpm::atan(q / (h - i)), std::atan(q / (h - i)));
        }
    }
    for (int32_t wavelength = -300; wavelength <= 300; wavelength += 7)
        for (int32_t c = -2000; c < 2000; ++c) {
            const double x = c * (2.0 * kPi) / wavelength;
            wave.add(fpm::sin(x), std::sin(x));
        }
    for (int32_t angle : {-3600, -720, -45, 1, 90, 405, 1080}) {
        const double a = angle * kPi * (1.0 / 180);
        for (int32_t k = 0; k < 20000; ++k) {
            const double t = k / 20000.0, phi = a * t * t;
            swirlSin.add(fpm::sin(phi), std::sin(phi));
            swirlCos.add(fpm::cos(phi), std::cos(phi));
        }
    }
    cylinder.check("atan (cylinder)");
    wave.check("sin (sine wave)");
    swirlSin.check("sin (swirl)");
    swirlCos.check("cos (swirl)");
}

// FNV-1a over the result bits of a fixed argument set that walks every
// branch: small and medium reductions, the 2/π expansion, both atan grids.
TEST(FpMath, FixedArgumentsGiveTheseExactBits) {
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](double v) {
        const uint64_t b = bitsOf(v);
        for (int32_t k = 0; k < 8; ++k) hash = (hash ^ ((b >> (8 * k)) & 0xFF)) * 1099511628211ull;
    };
    uint64_t seed = 7;
    for (int32_t k = 0; k < 30000; ++k) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        const double u = static_cast<double>(seed >> 11) * 0x1p-53;
        const int32_t band = k % 5;
        const double x = band == 0 ? u * 2.0 - 1.0 : band == 1 ? (u - 0.5) * 200.0
                       : band == 2 ? (u - 0.5) * 3.2e6 : band == 3 ? std::ldexp(u + 0.5, k % 1000) : (u - 0.5) * 1e-3;
        mix(fpm::sin(x));
        mix(fpm::cos(x));
        mix(fpm::atan(x));
    }
    EXPECT_EQ(hash, 0xefc91b209186412dull) << "0x" << std::hex << hash;
}
