// Elementary functions computed in plain IEEE arithmetic only, so that every
// build (glibc, MinGW, any compiler without contraction) returns the same
// bits. The C libraries' sin, cos and atan differ in the last bit on a few
// percent of arguments, and one bit can move a truncated pixel position; their
// long double exp, log, sin and cos differ between glibc and MinGW as well.
#pragma once

namespace fpm {

// sin x and cos x within 1 ulp of the true value for every finite x:
// |x| < 2^20·π/2 is reduced by a three-part π/2, larger arguments by the
// exact binary expansion of 2/π. ±0 keep their sign in sin; ±inf and NaN
// give NaN.
double sin(double x);
double cos(double x);

// Both at once with one argument reduction; the same bits as sin and cos.
void sinCos(double x, double &s, double &c);

// atan x within 1 ulp, in −π/2 .. π/2; atan(±inf) = ±π/2 (rounded), ±0
// keep their sign, NaN gives NaN.
double atan(double x);

// The 80-bit extended (64-bit significand) versions, for coefficients that are
// computed in long double and rounded to double at the end. Each raises the
// x87 precision control to 64 bits for its own computation and restores the
// caller's, so the bits do not depend on the calling thread (Windows starts
// threads at 53 bits); the caller's own long double arithmetic still needs
// platform::useExtendedPrecision().
//
// Accuracy: within one unit in the last place of glibc's results (which are
// themselves within about one) for expl on −50 .. 50, logl on 1/1000 .. 1000,
// sinl and cosl on −10 .. 10, and so far as tested over the whole range:
// sinl and cosl reduce by the exact binary expansion of 2/π beyond
// 2^20·π/2. Subnormal results of expl are rounded twice.
//
// expl: ±0 give 1, −inf 0, +inf and overflow +inf, NaN NaN.
long double expl(long double x);
// logl: 1 gives +0, ±0 give −inf, +inf +inf, negative arguments and NaN NaN.
long double logl(long double x);
// sinl and cosl: ±0 keep their sign in sinl, ±inf and NaN give NaN.
long double sinl(long double x);
long double cosl(long double x);
// Both at once with one argument reduction; the same bits as sinl and cosl.
void sinCosl(long double x, long double &s, long double &c);

}  // namespace fpm
