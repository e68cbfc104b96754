// Elementary functions that are correctly rounded to nearest for every
// argument and computed in plain IEEE double arithmetic and integers only,
// so that every build (glibc, MinGW, any compiler without contraction)
// returns the same bits, and any implementation with correctly rounded
// functions reproduces them. The C libraries' sin, cos and atan differ from
// the correctly rounded value on a few arguments in a thousand, and one bit
// can move a truncated pixel position; their long double exp, log, sin and
// cos differ between glibc and MinGW as well.
#pragma once

namespace fpm {

// sin x and cos x rounded to nearest for every finite x (the reduction uses
// the exact binary expansion of 2/π). ±0 keep their sign in sin; ±inf and
// NaN give NaN.
double sin(double x);
double cos(double x);

// Both at once with one argument reduction; the same bits as sin and cos.
void sinCos(double x, double &s, double &c);

// atan x rounded to nearest, in −π/2 .. π/2; atan(±inf) = ±π/2 (rounded),
// ±0 keep their sign, NaN gives NaN.
double atan(double x);

// The 80-bit extended (64-bit significand) versions, for coefficients that are
// computed in long double and rounded to double at the end: rounded to
// nearest 64-bit significands (subnormal results of expl to the subnormal
// grid). They compute in integers, so their bits do not depend on the x87
// precision control of the calling thread; the caller's own long double
// arithmetic still needs platform::useExtendedPrecision().
//
// expl: ±0 give 1, −inf 0, +inf and overflow +inf, NaN NaN.
long double expl(long double x);
// logl: 1 gives +0, ±0 give −inf, +inf +inf, negative arguments and NaN NaN.
long double logl(long double x);
// sinl and cosl: ±0 keep their sign in sinl, ±inf and NaN give NaN.
long double sinl(long double x);
long double cosl(long double x);
// Both at once; the same bits as sinl and cosl.
void sinCosl(long double x, long double &s, long double &c);

}  // namespace fpm
