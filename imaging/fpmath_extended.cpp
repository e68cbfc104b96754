// The 80-bit extended (64-bit significand) exp, log, sin and cos: special
// values here, everything else correctly rounded by the multiple-precision
// evaluation, which works in integers only.
#include <cfloat>
#include <cstdint>
#include <cstring>

#include "imaging/fpmath.h"
#include "imaging/fpmath_wide.h"

namespace {

static_assert(LDBL_MANT_DIG == 64 && sizeof(long double) >= 10, "the extended functions need the x87 80-bit format");

typedef long double real;
using fpm::detail::tlBinaryNumber;
using fpm::detail::tlWideFunction;

constexpr int32_t kPrecision = 64;
constexpr int32_t kMinExponent = -16445;  // the smallest subnormal is 2^−16445

// The x87 layout: 64-bit significand with its explicit leading bit, then
// sign and 15-bit exponent (bias 16383).
void unpack(real x, uint64_t &significand, uint16_t &signExponent) {
    unsigned char b[sizeof(real)];
    std::memcpy(b, &x, sizeof x);
    std::memcpy(&significand, b, 8);
    std::memcpy(&signExponent, b + 8, 2);
}

real pack(uint64_t significand, uint16_t signExponent) {
    unsigned char b[sizeof(real)] = {};
    std::memcpy(b, &significand, 8);
    std::memcpy(b + 8, &signExponent, 2);
    real x;
    std::memcpy(&x, b, sizeof x);
    return x;
}

real infinityL() { return pack(1ull << 63, 0x7FFF); }
real quietNaNL() { return pack(0xC000000000000000ull, 0x7FFF); }

// The biased exponent (0 for zeros and subnormals, 0x7FFF for inf and NaN).
int32_t biasedExponent(real x) {
    uint64_t m;
    uint16_t se;
    unpack(x, m, se);
    return se & 0x7FFF;
}

bool isNegative(real x) {
    uint64_t m;
    uint16_t se;
    unpack(x, m, se);
    return (se >> 15) != 0;
}

// x = ±significand·2^exponent for finite x.
tlBinaryNumber binary(real x) {
    uint64_t m;
    uint16_t se;
    unpack(x, m, se);
    const int32_t e = se & 0x7FFF;
    return {m, (e == 0 ? 1 : e) - 16383 - 63, (se >> 15) != 0};
}

real fromBinary(const tlBinaryNumber &r) {
    const uint16_t sign = r.negative ? 0x8000 : 0;
    if (r.significand == 0) return pack(0, sign);
    if (!(r.significand >> 63)) return pack(r.significand, sign);  // subnormal: exponent −16445
    const int32_t biased = r.exponent + 63 + 16383;
    if (biased >= 0x7FFF) return pack(1ull << 63, static_cast<uint16_t>(sign | 0x7FFF));
    return pack(r.significand, static_cast<uint16_t>(sign | biased));
}

real rounded(tlWideFunction f, real x) {
    return fromBinary(fpm::detail::correctlyRounded(f, binary(x), kPrecision, kMinExponent));
}

}  // namespace

namespace fpm {

// e^x rounds to 1 for |x| < 2^−70 (1 + x is within 2^−70 of 1, the halfway
// points next to 1 are 2^−65 and 2^−64 away); beyond 11357 it overflows and
// below −11400 it is under half the smallest subnormal.
long double expl(long double x) {
    const int32_t e = biasedExponent(x);
    if (e == 0x7FFF) return x != x ? x + x : isNegative(x) ? 0.0L : x;
    if (e < 16383 - 70) return 1.0L;
    if (x > 11357.0L) return infinityL();
    if (x < -11400.0L) return 0.0L;
    return rounded(tlWideFunction::exponential, x);
}

long double logl(long double x) {
    if (x != x) return x + x;
    if (x < 0.0L) return quietNaNL();
    if (x == 0.0L) return -infinityL();
    if (biasedExponent(x) == 0x7FFF) return x;
    if (x == 1.0L) return 0.0L;
    return rounded(tlWideFunction::logarithm, x);
}

// Below 2^−33, x³/6 and x²/2 are under 2^−66 of x and 1, less than half the
// gap to the neighbours.
long double sinl(long double x) {
    const int32_t e = biasedExponent(x);
    if (e == 0x7FFF) return quietNaNL();
    if (e < 16383 - 33) return x;
    return rounded(tlWideFunction::sine, x);
}

long double cosl(long double x) {
    const int32_t e = biasedExponent(x);
    if (e == 0x7FFF) return quietNaNL();
    if (e < 16383 - 33) return 1.0L;
    return rounded(tlWideFunction::cosine, x);
}

void sinCosl(long double x, long double &s, long double &c) {
    s = sinl(x);
    c = cosl(x);
}

}  // namespace fpm
