// Elementary functions computed in plain IEEE double arithmetic only, so that
// every build (glibc, MinGW, any compiler without contraction) returns the
// same bits. The C libraries' sin, cos and atan differ in the last bit on a
// few percent of arguments, and one bit can move a truncated pixel position.
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

}  // namespace fpm
