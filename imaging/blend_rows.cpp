// Row kernels of the compositing: the weight and alpha rules applied to a
// mode's formula, specialised by depth and channel counts, and the one table
// that picks them by blend mode.
#include "imaging/blend.h"
#include "imaging/blend_modes.h"

namespace {

// The blended value of each colour channel (K = 3 for RGB, 1 for gray).
template <class M, int K>
inline void blended8(const uint8_t *d, const uint8_t *s, uint32_t *out) {
    if constexpr (M::wholePixel) {
        static_assert(K == 3, "whole-pixel modes exist for RGB only");
        M::blendRgb8(d, s, out);
    } else {
        for (int c = 0; c < K; ++c) out[c] = M::blend8(d[c], s[c]);
    }
}

// 8-bit row; SC and DC are the channel counts, alpha being channel K when
// present. With o the opacity and B the mode's value:
//   source without alpha: d = o·256 / 65535, 256 at full opacity;
//     channel = ((256 − d)·D + d·B) >> 8, alpha += ((255 − D.A)·d) >> 8.
//     At full opacity this is exactly B and alpha 255; d = 0 writes nothing.
//   source with alpha: d = o·257 / 65535, 256 at full; α = S.A (mode 0 or
//     no destination alpha) else min(D.A, S.A); w = (d·α) >> 8 (= α at full);
//     channel = ((255 − w)·D + w·B) / 255 truncated;
//     alpha += (t + (t >> 8)) >> 8 with t = w·(255 − D.A) + 128.
//     w = 0 leaves the pixel as it is, so such pixels are skipped.
template <class M, int K, int SC, int DC>
void row8(uint8_t *dst, const uint8_t *src, int32_t n, uint32_t opacity) {
    constexpr bool srcAlpha = SC > K;
    constexpr bool dstAlpha = DC > K;
    uint32_t b[3];
    if constexpr (!srcAlpha) {
        uint32_t d = opacity >= 65535 ? 256 : opacity * 256 / 65535;
        if (d == 0) return;
        for (; n > 0; --n, dst += DC, src += SC) {
            blended8<M, K>(dst, src, b);
            for (int c = 0; c < K; ++c) dst[c] = uint8_t(((256 - d) * dst[c] + d * b[c]) >> 8);
            if constexpr (dstAlpha) dst[K] = uint8_t(dst[K] + (((255u - dst[K]) * d) >> 8));
        }
    } else {
        uint32_t d = opacity >= 65535 ? 256 : opacity * 257 / 65535;
        if (d == 0) return;
        for (; n > 0; --n, dst += DC, src += SC) {
            uint32_t a = src[K];
            if constexpr (dstAlpha && !M::normal) a = dst[K] < a ? dst[K] : a;
            uint32_t w = (d * a) >> 8;
            if (w == 0) continue;
            blended8<M, K>(dst, src, b);
            for (int c = 0; c < K; ++c) dst[c] = uint8_t(((255 - w) * dst[c] + w * b[c]) / 255);
            if constexpr (dstAlpha) dst[K] = uint8_t(dst[K] + div255Round(w * (255u - dst[K])));
        }
    }
}

// 16-bit row, the same cases with 65535 and full 16-bit opacity:
//   source without alpha: w = o; channel = ((65535 − w)·D + w·B) / 65535;
//   source with alpha: w = (u + (u >> 16)) >> 16 with u = o·α + 32768,
//     α as in 8 bits (w = α at full opacity);
//   both: alpha += (t + (t >> 16)) >> 16 with t = w·(65535 − D.A) + 32768.
// At full opacity without source alpha the channel is B and alpha 65535.
template <class M, int K, int SC, int DC>
void row16(uint8_t *dst, const uint8_t *src, int32_t n, uint32_t opacity) {
    constexpr bool srcAlpha = SC > K;
    constexpr bool dstAlpha = DC > K;
    for (; n > 0; --n, dst += 2 * DC, src += 2 * SC) {
        uint64_t w = opacity;
        if constexpr (srcAlpha) {
            uint32_t a = load16(src + 2 * K);
            if constexpr (dstAlpha && !M::normal) {
                uint32_t da = load16(dst + 2 * K);
                a = da < a ? da : a;
            }
            w = div65535Round(uint64_t(opacity) * a);
            if (w == 0) continue;
        }
        for (int c = 0; c < K; ++c) {
            uint32_t dv = load16(dst + 2 * c);
            uint64_t bv = M::blend16(dv, load16(src + 2 * c));
            store16(dst + 2 * c, uint32_t(((65535 - w) * dv + w * bv) / 65535));
        }
        if constexpr (dstAlpha) {
            uint32_t da = load16(dst + 2 * K);
            store16(dst + 2 * K, da + uint32_t(div65535Round(w * (65535 - da))));
        }
    }
}

// Indexed row, mode 0 only: below opacity 32767 nothing is written; else
// every source pixel with alpha 128 or more (a source without alpha counts
// as opaque) copies its index, and its alpha when the destination has one.
template <int SC, int DC>
void indexedRow(uint8_t *dst, const uint8_t *src, int32_t n, uint32_t opacity) {
    if (opacity < 32767) return;
    for (; n > 0; --n, dst += DC, src += SC) {
        uint8_t a = SC == 2 ? src[1] : 255;
        if (a < 128) continue;
        dst[0] = src[0];
        if constexpr (DC == 2) dst[1] = a;
    }
}

// Row kernels of one mode, indexed [source has alpha][destination has alpha].
struct tlModeRows {
    tlBlendRowFunction rgb8[2][2];
    tlBlendRowFunction gray8[2][2];
    tlBlendRowFunction rgb16[2][2];
    tlBlendRowFunction gray16[2][2];
    tlBlendRowFunction indexed[2][2];
};

template <class M, int K, template <class, int, int, int> class Row>
constexpr void fillRows(tlBlendRowFunction (&rows)[2][2]) {
    rows[0][0] = Row<M, K, K, K>::run;
    rows[0][1] = Row<M, K, K, K + 1>::run;
    rows[1][0] = Row<M, K, K + 1, K>::run;
    rows[1][1] = Row<M, K, K + 1, K + 1>::run;
}

template <class M, int K, int SC, int DC>
struct tlRow8 {
    static void run(uint8_t *dst, const uint8_t *src, int32_t n, uint32_t o) { row8<M, K, SC, DC>(dst, src, n, o); }
};

template <class M, int K, int SC, int DC>
struct tlRow16 {
    static void run(uint8_t *dst, const uint8_t *src, int32_t n, uint32_t o) { row16<M, K, SC, DC>(dst, src, n, o); }
};

// The kernels a mode has: whole-pixel modes only for RGB 8-bit, the indexed
// copy only for mode 0.
template <class M>
constexpr tlModeRows rowsFor() {
    tlModeRows rows{};
    fillRows<M, 3, tlRow8>(rows.rgb8);
    if constexpr (!M::wholePixel) {
        fillRows<M, 1, tlRow8>(rows.gray8);
        fillRows<M, 3, tlRow16>(rows.rgb16);
        fillRows<M, 1, tlRow16>(rows.gray16);
    }
    if constexpr (M::normal) {
        rows.indexed[0][0] = indexedRow<1, 1>;
        rows.indexed[0][1] = indexedRow<1, 2>;
        rows.indexed[1][0] = indexedRow<2, 1>;
        rows.indexed[1][1] = indexedRow<2, 2>;
    }
    return rows;
}

const tlModeRows modeRows[] = {
    rowsFor<tlNormalMode>(),     rowsFor<tlMultiplyMode>(),      rowsFor<tlDivideMode>(),
    rowsFor<tlDifferenceMode>(), rowsFor<tlAddMode>(),           rowsFor<tlSubtractMode>(),
    rowsFor<tlDarkenMode>(),     rowsFor<tlLightenMode>(),       rowsFor<tlScreenMode>(),
    rowsFor<tlSoftLightMode>(),  rowsFor<tlHardLightMode>(),     rowsFor<tlScreenMultiplyMode>(),
    rowsFor<tlDodgeMode>(),      rowsFor<tlBurnMode>(),          rowsFor<tlHslColourMode>(),
    rowsFor<tlHsvHueMode>(),     rowsFor<tlHsvSaturationMode>(), rowsFor<tlHsvValueMode>(),
};
static_assert(sizeof(modeRows) / sizeof(modeRows[0]) == tlBlendModeCount, "one entry per blend mode");

}  // namespace

tlBlendRowFunction blendRowFunction(int32_t mode, tlPixelFormat destination, int32_t srcChannels) {
    if (mode < 0 || mode >= tlBlendModeCount) return nullptr;
    const tlModeRows &rows = modeRows[mode];
    const tlBlendRowFunction(*set)[2] = nullptr;
    int32_t base = 0;  // channel count without alpha
    const tlColourModel model = destination.model;
    const int32_t bits = destination.bits;
    if (model == tlColourModel::RGB && bits == 8) {
        set = rows.rgb8, base = 3;
    } else if (model == tlColourModel::RGB && bits == 16) {
        set = rows.rgb16, base = 3;
    } else if (model == tlColourModel::Gray && bits == 8) {
        set = rows.gray8, base = 1;
    } else if (model == tlColourModel::Gray && bits == 16) {
        set = rows.gray16, base = 1;
    } else if (model == tlColourModel::Indexed && bits == 8) {
        set = rows.indexed, base = 1;
    } else {
        return nullptr;
    }
    int32_t srcAlpha = srcChannels - base;
    int32_t dstAlpha = destination.channels - base;
    if (srcAlpha < 0 || srcAlpha > 1 || dstAlpha < 0 || dstAlpha > 1) return nullptr;
    return set[srcAlpha][dstAlpha];
}
