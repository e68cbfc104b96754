// Pieces of the neon filter that its tests check on their own: the recursive
// filter's coefficients and the filter of one line.
#pragma once

#include <cstdint>

// Coefficients of the derivative-of-Gaussian recursion for one radius:
// causal numerators np, anti-causal numerators nm, the denominators d shared
// by both directions, and the boundary terms ep and em.
struct tlNeonCoefficients {
    double np[5], nm[5], d[5], ep[5], em[5];
};

void neonCoefficients(int32_t radius, tlNeonCoefficients &k);

// Filters one line of n pixels (src, n × channels bytes) into out, with
// scratch of 3 × n × channels doubles. The last channel is alpha (not
// filtered, doubled) when the channel count is even.
typedef void (*tlNeonLineFunction)(const tlNeonCoefficients &k, const uint8_t *src, int32_t n, double *scratch,
                                   uint8_t *out);

// The line filter for 1 to 4 channels; null for other counts.
tlNeonLineFunction neonLineFor(int32_t channels);
