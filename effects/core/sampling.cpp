// Bilinear samplers of the distortions: clamped at the picture's edges for
// every RGB and gray format, wrapped around it for 8-bit RGB.
#include "effects/core/sampling.h"

#include "effects/core/bilinear.h"

using tlBilinear::sampleClamped;
using tlBilinear::sampleWrapped;

tlSampler clampingSampler(const tlPicture &source) {
    const tlPixelFormat f = source.format();
    if (f == tlPixelFormat::rgb(8, 3)) return sampleClamped<8, 3>;
    if (f == tlPixelFormat::rgb(8, 4)) return sampleClamped<8, 4>;
    if (f == tlPixelFormat::rgb(16, 3)) return sampleClamped<16, 3>;
    if (f == tlPixelFormat::rgb(16, 4)) return sampleClamped<16, 4>;
    if (f == tlPixelFormat::gray(8, 1)) return sampleClamped<8, 1>;
    if (f == tlPixelFormat::gray(8, 2)) return sampleClamped<8, 2>;
    if (f == tlPixelFormat::gray(16, 1)) return sampleClamped<16, 1>;
    if (f == tlPixelFormat::gray(16, 2)) return sampleClamped<16, 2>;
    return nullptr;
}

tlSampler wrappingSampler(const tlPicture &source) {
    if (source.model != tlColourModel::RGB || source.bits != 8) return nullptr;
    if (source.channels == 3) return sampleWrapped<8, 3>;
    if (source.channels == 4) return sampleWrapped<8, 4>;
    return nullptr;
}
