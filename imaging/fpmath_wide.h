// Internal to the fpm functions: the exact binary expansion of 2/π and the
// multiple-precision evaluation (integers only) that gives the correctly
// rounded value of sin, cos, atan, exp and log for any binary format.
#pragma once

#include <cstdint>

namespace fpm {
namespace detail {

// 2/π = 0.a2f9836e4e44… in binary, 17920 bits, most significant word first:
// enough to reduce the largest long double at the highest working precision.
constexpr int32_t kTwoOverPiWords = 280;
extern const uint64_t kTwoOverPi[kTwoOverPiWords];

enum class tlWideFunction { sine, cosine, arctangent, exponential, logarithm };

// ±significand·2^exponent; a zero significand is zero.
struct tlBinaryNumber {
    uint64_t significand;
    int32_t exponent;
    bool negative;
};

// f(x) rounded to nearest with `precision` significand bits (at most 64) and
// no bit below 2^minExponent (the weight of the smallest subnormal). The
// value is evaluated in fixed point with 128, 256, 512 and then 1024 bits,
// each time with a bound on its error, until every value within the bound
// rounds alike. The argument is finite and not zero; exponential wants
// 2^−70 <= |x| <= 11400 and logarithm 0 < x, x ≠ 1.
tlBinaryNumber correctlyRounded(tlWideFunction f, tlBinaryNumber x, int32_t precision, int32_t minExponent);

}  // namespace detail
}  // namespace fpm
