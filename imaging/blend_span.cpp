// Span painters: one colour with alpha laid "over" a run of pixels, for RGB
// and gray at 8 and 16 bits. Pattern generators draw with them.
#include "imaging/blend.h"

#include "imaging/picture.h"
#include "imaging/pixel_math.h"

namespace {

// The colour pixel carries an alpha channel in every format: R, G, B, A or
// Y, A. With a its alpha, C a colour channel, S the run's pixel and M the
// channel maximum (255 or 65535), divisions truncating:
//   without run alpha: channel = (C·a + (M − a)·S) / M;
//   with run alpha:    channel = (C·a + ((M − a)·(S.A·S)) / M) / M,
//                      alpha = S.A + (a·(M − S.A)) / M.
// A run alpha of 0 thus gives the colour premultiplied by a; a = 0 leaves an
// opaque run unchanged. Products are taken in 64 bits: (M − a)·S.A·S reaches
// 2^48 at 16 bits. Every pixel is read before it is written, so dst may be src.

template <int K, int SC>
void paint8(uint8_t *dst, const uint8_t *src, int32_t n, const uint8_t *colour) {
    const uint32_t a = colour[K];
    for (; n > 0; --n, dst += SC, src += SC) {
        if constexpr (SC == K) {
            for (int c = 0; c < K; ++c) dst[c] = uint8_t((colour[c] * a + (255 - a) * src[c]) / 255);
        } else {
            uint32_t sa = src[K];
            for (int c = 0; c < K; ++c) dst[c] = uint8_t((colour[c] * a + ((255 - a) * (sa * src[c])) / 255) / 255);
            dst[K] = uint8_t(sa + (a * (255 - sa)) / 255);
        }
    }
}

template <int K, int SC>
void paint16(uint8_t *dst, const uint8_t *src, int32_t n, const uint8_t *colourPixel) {
    uint64_t colour[K];
    for (int c = 0; c < K; ++c) colour[c] = load16(colourPixel + 2 * c);
    const uint64_t a = load16(colourPixel + 2 * K);
    for (; n > 0; --n, dst += 2 * SC, src += 2 * SC) {
        if constexpr (SC == K) {
            for (int c = 0; c < K; ++c) {
                uint64_t s = load16(src + 2 * c);
                store16(dst + 2 * c, uint32_t((colour[c] * a + (65535 - a) * s) / 65535));
            }
        } else {
            uint64_t sa = load16(src + 2 * K);
            for (int c = 0; c < K; ++c) {
                uint64_t s = load16(src + 2 * c);
                store16(dst + 2 * c, uint32_t((colour[c] * a + ((65535 - a) * (sa * s)) / 65535) / 65535));
            }
            store16(dst + 2 * K, uint32_t(sa + (a * (65535 - sa)) / 65535));
        }
    }
}

}  // namespace

tlSpanPainter spanPainter(tlPixelFormat format) {
    if (!format.isValid()) return nullptr;
    const bool alpha = format.hasAlpha();
    if (format.model == tlColourModel::RGB && format.bits == 8) return alpha ? paint8<3, 4> : paint8<3, 3>;
    if (format.model == tlColourModel::RGB) return alpha ? paint16<3, 4> : paint16<3, 3>;
    if (format.model == tlColourModel::Gray && format.bits == 8) return alpha ? paint8<1, 2> : paint8<1, 1>;
    if (format.model == tlColourModel::Gray) return alpha ? paint16<1, 2> : paint16<1, 1>;
    return nullptr;
}
