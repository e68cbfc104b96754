// The fpm functions against MPFR: every result must be MPFR's rounding to
// nearest, over random arguments spread across magnitudes and across the
// ranges the distortions and the neon filter use, and over hard-to-round
// arguments. CI runs a sample; CW_FPMATH_REFERENCE_COUNT=N draws N random
// arguments per double function instead (and N/100 per extended one), and
// CW_FPMATH_NEON_RADII=R checks the neon arguments of radii 1 .. R.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "imaging/fpmath.h"

namespace {

typedef int (*tlMpfrFunction)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

// MPFR set up as an IEEE format: `precision` bits, the exponent range of
// the format (MPFR's exponents count from 0.1b), subnormals by
// mpfr_subnormalize.
class tlReference {
public:
    tlReference(int32_t precision, mpfr_exp_t emin, mpfr_exp_t emax)
        : oldMin(mpfr_get_emin()), oldMax(mpfr_get_emax()), emin(emin), emax(emax) {
        mpfr_init2(x, precision);
        mpfr_init2(y, precision);
    }
    ~tlReference() {
        mpfr_clear(x);
        mpfr_clear(y);
        mpfr_set_emin(oldMin);
        mpfr_set_emax(oldMax);
    }
    double of(tlMpfrFunction f, double v) {
        mpfr_set_d(x, v, MPFR_RNDN);
        round(f);
        return mpfr_get_d(y, MPFR_RNDN);
    }
    long double of(tlMpfrFunction f, long double v) {
        mpfr_set_ld(x, v, MPFR_RNDN);
        round(f);
        return mpfr_get_ld(y, MPFR_RNDN);
    }

private:
    void round(tlMpfrFunction f) {
        mpfr_set_emin(emin);
        mpfr_set_emax(emax);
        mpfr_subnormalize(y, f(y, x, MPFR_RNDN), MPFR_RNDN);
        mpfr_set_emin(oldMin);
        mpfr_set_emax(oldMax);
    }
    mpfr_exp_t oldMin, oldMax, emin, emax;
    mpfr_t x, y;
};

tlReference &doubleReference() {
    static tlReference r(53, -1073, 1024);
    return r;
}

tlReference &extendedReference() {
    static tlReference r(64, -16444, 16384);
    return r;
}

template <typename T>
bool sameBits(T a, T b) {
    return std::memcmp(&a, &b, sizeof(T) == 16 ? 10 : sizeof(T)) == 0;
}

uint64_t countFromEnvironment(const char *name, uint64_t fallback) {
    const char *v = std::getenv(name);
    return v != nullptr && *v != '\0' ? std::strtoull(v, nullptr, 10) : fallback;
}

// Compares one function over arguments, reporting the first mismatches.
template <typename T>
struct tlComparison {
    const char *name;
    T (*mine)(T);
    tlMpfrFunction theirs;
    uint64_t checked = 0, wrong = 0;

    void check(T x) {
        ++checked;
        const T got = mine(x);
        const T want = (sizeof(T) == 8 ? doubleReference() : extendedReference()).of(theirs, x);
        if (sameBits(got, want)) return;
        if (++wrong <= 10)
            ADD_FAILURE() << name << "(" << std::hexfloat << static_cast<long double>(x)
                          << ") = " << static_cast<long double>(got) << ", MPFR " << static_cast<long double>(want);
    }
    ~tlComparison() {
        std::printf("%-6s %llu arguments, %llu differ from MPFR\n", name, static_cast<unsigned long long>(checked),
                    static_cast<unsigned long long>(wrong));
    }
};

double sinOf(double x) { return fpm::sin(x); }
double cosOf(double x) { return fpm::cos(x); }
double atanOf(double x) { return fpm::atan(x); }
double sinFromSinCos(double x) {
    double s, c;
    fpm::sinCos(x, s, c);
    return s;
}
double cosFromSinCos(double x) {
    double s, c;
    fpm::sinCos(x, s, c);
    return c;
}
long double expOf(long double x) { return fpm::expl(x); }
long double logOf(long double x) { return fpm::logl(x); }
long double sinOfL(long double x) { return fpm::sinl(x); }
long double cosOfL(long double x) { return fpm::cosl(x); }

const double kPi = 3.14159265358979323846;

// Random arguments: u uniform in [0, 1) with 53 random bits, b a random sign.
struct tlDraw {
    std::mt19937_64 random{20240613};
    double unit() { return static_cast<double>(random() >> 11) * 0x1p-53; }
    double sign() { return (random() & 1) ? -1.0 : 1.0; }
    int32_t below(int32_t n) { return static_cast<int32_t>(random() % static_cast<uint64_t>(n)); }
    // A random double with a random significand and exponent in [lo, hi).
    double magnitude(int32_t lo, int32_t hi) { return sign() * std::ldexp(1.0 + unit(), lo + below(hi - lo)); }
};

// The argument bands of sin and cos: the swirl's a·t² (angles up to ±3600°),
// the sine wave's c·2π/wavelength, −20 .. 20, every magnitude, either side
// of the medium-range limit, and the doubles next to multiples of π/2.
double trigArgument(tlDraw &d, int32_t band) {
    switch (band) {
    case 0: {
        const double a = (d.below(7201) - 3600) * kPi * (1.0 / 180), t = d.unit();
        return a * t * t;
    }
    case 1: {
        const int32_t wavelength = d.below(1201) - 600;
        return (d.below(8001) - 4000) * (2.0 * kPi) / (wavelength == 0 ? 1 : wavelength);
    }
    case 2: return (d.unit() - 0.5) * 40.0;
    case 3: return d.magnitude(-27, 1024);
    case 4: return d.sign() * (1.5e6 + d.unit() * 2e5);
    default: {
        const double k = std::floor(d.unit() * (d.below(2) ? 100.0 : 1e12)) + 1.0;
        return std::nextafter(k * (kPi / 2), d.sign() * 1e300);
    }
    }
}

// atan: the cylinder's sqrt(i·n − i²)/(h − i), [−1, 1], every magnitude, and
// the doubles next to the grid points k/64 and their reciprocals.
double atanArgument(tlDraw &d, int32_t band) {
    switch (band) {
    case 0: {
        const int32_t n = 2 + d.below(8000), i = d.below(n);
        const double h = n / 2.0;
        if (h - i == 0.0) return 1.0;
        return std::sqrt(static_cast<double>(static_cast<int64_t>(i) * n - static_cast<int64_t>(i) * i)) / (h - i);
    }
    case 1: return (d.unit() - 0.5) * 2.0;
    case 2: return d.magnitude(-27, 60);
    default: {
        const double c = (d.below(64) + 1) / 64.0 + (d.unit() - 0.5) * 0x1p-40;
        return d.below(2) ? c : 1.0 / c;
    }
    }
}

}  // namespace

TEST(FpMathReference, RandomArgumentsGiveMpfrsRounding) {
    const uint64_t count = countFromEnvironment("CW_FPMATH_REFERENCE_COUNT", 120000);
    tlDraw d;
    {
        tlComparison<double> sin{"sin", sinOf, mpfr_sin}, cos{"cos", cosOf, mpfr_cos};
        for (uint64_t k = 0; k < count; ++k) {
            const double x = trigArgument(d, static_cast<int32_t>(k % 6));
            sin.check(x);
            cos.check(x);
        }
    }
    tlComparison<double> atan{"atan", atanOf, mpfr_atan};
    for (uint64_t k = 0; k < count; ++k) atan.check(atanArgument(d, static_cast<int32_t>(k % 4)));
}

// Arguments whose values lie unusually close to a rounding boundary, and
// sinCos (the same bits as sin and cos) on them.
TEST(FpMathReference, HardArgumentsGiveMpfrsRounding) {
    const struct {
        double x;
        bool trig;  // sin and cos, else atan
    } cases[] = {
        // The double closest to a multiple of π/2 (6381956970095103·2^797).
        {0x1.6ac5b262ca1ffp+849, true},
        // 8980155785351021·2^−54: sin lies within 2^−118 of a double.
        {0x1.fe767739d0f6dp-2, true},
        // The swirl angle where the old approximation gave another cos.
        {2.4161324697903783, true},
        {1e22, true},
        // Found by a search over 4·10^6 random arguments each: the bits after
        // the rounding bit of sin (first three), cos (next three) and atan
        // (last three) begin with runs of 19 to 25 equal bits.
        {0x1.4ee0b5fcd6f5ap+5, true},
        {0x1.e27f190f0f812p+2, true},
        {0x1.f8373049b48cap-23, true},
        {0x1.5c8bb6fd011fbp+2, true},
        {0x1.a623f8065cde9p+31, true},
        {0x1.4db8e16f3361p-18, true},
        {0x1.c3bb914fd3672p+18, false},
        {0x1.5b55e26a6c366p-2, false},
        {0x1.9da6c64f7ae54p-24, false},
    };
    tlComparison<double> sin{"sin", sinOf, mpfr_sin}, cos{"cos", cosOf, mpfr_cos}, atan{"atan", atanOf, mpfr_atan};
    tlComparison<double> sin2{"sinCos", sinFromSinCos, mpfr_sin}, cos2{"sinCos", cosFromSinCos, mpfr_cos};
    for (const auto &c : cases)
        for (double x : {c.x, -c.x}) {
            if (!c.trig) {
                atan.check(x);
                continue;
            }
            sin.check(x), cos.check(x), sin2.check(x), cos2.check(x);
        }
}

// expl, logl, sinl and cosl on the arguments the neon filter gives them
// (formed as its coefficient code forms them), and on random ones.
TEST(FpMathReference, ExtendedFunctionsGiveMpfrsRounding) {
    typedef long double real;
    tlComparison<real> exp{"expl", expOf, mpfr_exp}, log{"logl", logOf, mpfr_log};
    tlComparison<real> sin{"sinl", sinOfL, mpfr_sin}, cos{"cosl", cosOfL, mpfr_cos};
    log.check(1.0L / 255);
    const real ln = fpm::logl(1.0L / 255);
    const int32_t radii = static_cast<int32_t>(countFromEnvironment("CW_FPMATH_NEON_RADII", 300));
    for (int32_t radius = 1; radius <= radii; ++radius) {
        const real r1 = static_cast<real>(radius) + 1;
        const real sigma = std::sqrt(-(r1 * r1) / (2 * ln));
        for (double w : {0.6719, 2.072}) {
            const real x = w / sigma;
            sin.check(x), cos.check(x);
        }
        const real beta0 = 1.527 / sigma, beta1 = 1.516 / sigma;
        for (real x : {-beta0, -beta1, -2 * beta1, -2 * beta0, -beta0 - beta1, -beta0 - 2 * beta1, -beta1 - 2 * beta0,
                       -2 * beta0 - 2 * beta1})
            exp.check(x);
    }
    const uint64_t count = countFromEnvironment("CW_FPMATH_REFERENCE_COUNT", 120000) / 100;
    tlDraw d;
    for (uint64_t k = 0; k < count; ++k) {
        const real u = static_cast<real>(d.unit()) + static_cast<real>(d.random() >> 53) * 0x1p-64L;
        exp.check((u - 0.5L) * 100.0L);
        exp.check(std::ldexp(u + 0.5L, d.below(84) - 70) * d.sign());
        exp.check((u - 0.5L) * 22790.0L);
        log.check(std::ldexp(u + 0.5L, d.below(32000) - 16000));
        log.check(1.0L + (u - 0.5L) * 0x1p-20L);
        sin.check((u - 0.5L) * 20.0L), cos.check((u - 0.5L) * 20.0L);
        const real big = std::ldexp(u + 0.5L, d.below(16380));
        sin.check(big), cos.check(big);
    }
    exp.check(-11355.5L), exp.check(11356.5L), log.check(0x1p-16445L), log.check(0x1.fffffffffffffffep16383L);
}
