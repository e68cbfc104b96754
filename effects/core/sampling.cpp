// Bilinear samplers of the distortions: clamped at the picture's edges for
// every RGB and gray format, wrapped around it for 8-bit RGB.
#include "effects/core/bilinear.h"

using tlBilinear::sampleClamped;
using tlBilinear::sampleWrapped;


tlSampler clampingSampler(const tlPicture &source) {
    const int32_t m = source.model, b = source.bits, ch = source.channels;
    if (m == 0 && b == 8 && ch == 3) return sampleClamped<8, 3>;
    if (m == 0 && b == 8 && ch == 4) return sampleClamped<8, 4>;
    if (m == 0 && b == 16 && ch == 3) return sampleClamped<16, 3>;
    if (m == 0 && b == 16 && ch == 4) return sampleClamped<16, 4>;
    if (m == 1 && b == 8 && ch == 1) return sampleClamped<8, 1>;
    if (m == 1 && b == 8 && ch == 2) return sampleClamped<8, 2>;
    if (m == 1 && b == 16 && ch == 1) return sampleClamped<16, 1>;
    if (m == 1 && b == 16 && ch == 2) return sampleClamped<16, 2>;
    return nullptr;
}

tlSampler wrappingSampler(const tlPicture &source) {
    if (source.model != 0 || source.bits != 8) return nullptr;
    if (source.channels == 3) return sampleWrapped<8, 3>;
    if (source.channels == 4) return sampleWrapped<8, 4>;
    return nullptr;
}
