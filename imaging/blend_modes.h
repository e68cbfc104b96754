// The blend-mode formulas B(D, S): one struct per mode giving the blended
// channel at 8 and 16 bits (modes 0..13) or the blended RGB triple (14..17).
// Internal to the compositing kernels; weights and alpha are applied by the
// row functions in blend_rows.cpp.
#pragma once

#include <cstdint>

#include "imaging/colourspace.h"
#include "imaging/pixel_math.h"

// D is the destination channel, S the source channel; 8-bit forms take
// 0..255, 16-bit forms 0..65535. Every result lies in the channel range.

struct tlChannelMode {
    static constexpr bool normal = false;      // mode 0 weighs by S.A alone
    static constexpr bool wholePixel = false;  // works on the RGB triple
};

// 0 normal: B = S.
struct tlNormalMode : tlChannelMode {
    static constexpr bool normal = true;
    static uint32_t blend8(uint32_t, uint32_t s) { return s; }
    static uint32_t blend16(uint32_t, uint32_t s) { return s; }
};

// 1 multiply: B = (x + x / 256) >> 8 with x = D·S + 128 (D·S / 255 rounded);
// 16 bits: (x + (x >> 16)) >> 16 with x = D·S + 32768.
struct tlMultiplyMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) { return div255Round(d * s); }
    static uint32_t blend16(uint32_t d, uint32_t s) { return uint32_t(div65535Round(uint64_t(d) * s)); }
};

// 2 divide: B = min(255, D·256 / (S + 1)); 16 bits: min(65535, D·65536 / (S + 1)).
struct tlDivideMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) { return clampHigh(d * 256 / (s + 1), 255); }
    static uint32_t blend16(uint32_t d, uint32_t s) { return clampHigh(uint64_t(d) * 65536 / (s + 1), 65535); }
};

// 3 difference: B = |D − S|.
struct tlDifferenceMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) { return d > s ? d - s : s - d; }
    static uint32_t blend16(uint32_t d, uint32_t s) { return d > s ? d - s : s - d; }
};

// 4 add: B = min(255, D + S); 16 bits: min(65535, D + S).
struct tlAddMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) { return clampHigh(d + s, 255); }
    static uint32_t blend16(uint32_t d, uint32_t s) { return clampHigh(d + s, 65535); }
};

// 5 subtract: B = D − S when S < D, else 0.
struct tlSubtractMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) { return s < d ? d - s : 0; }
    static uint32_t blend16(uint32_t d, uint32_t s) { return s < d ? d - s : 0; }
};

// 6 darken: B = min(D, S).
struct tlDarkenMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) { return d < s ? d : s; }
    static uint32_t blend16(uint32_t d, uint32_t s) { return d < s ? d : s; }
};

// 7 lighten: B = max(D, S).
struct tlLightenMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) { return d > s ? d : s; }
    static uint32_t blend16(uint32_t d, uint32_t s) { return d > s ? d : s; }
};

// 8 screen: B = 255 − ((y + (y >> 8)) >> 8) with y = (255 − S)(255 − D) + 128;
// 16 bits: 65535 − ((y + (y >> 16)) >> 16) with y = (65535 − S)(65535 − D) + 32768.
struct tlScreenMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) { return 255 - div255Round((255 - s) * (255 - d)); }
    static uint32_t blend16(uint32_t d, uint32_t s) {
        return 65535 - uint32_t(div65535Round(uint64_t(65535 - s) * (65535 - d)));
    }
};

// 9 soft light: B = (z + (z >> 8)) >> 8 with z = (D + ((t + (t >> 8)) >> 8))·D + 128
// and t = 2·S·(255 − D) + 128; 16 bits: the same with >> 16 and 32768.
struct tlSoftLightMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) {
        return clampHigh(div255Round((d + div255Round(2 * s * (255 - d))) * d), 255);
    }
    static uint32_t blend16(uint32_t d, uint32_t s) {
        uint64_t lift = div65535Round(2 * uint64_t(s) * (65535 - d));
        return clampHigh(div65535Round((d + lift) * d), 65535);
    }
};

// 10 hard light: S < 129: min(255, (2·S·D) >> 8); else 255 − (((511 − 2·S)·(255 − D)) >> 8);
// 16 bits: S < 32769: min(65535, (2·S·D) >> 16); else 65535 − (((131071 − 2·S)·(65535 − D)) >> 16).
struct tlHardLightMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) {
        if (s < 129) return clampHigh((2 * s * d) >> 8, 255);
        return 255 - (((511 - 2 * s) * (255 - d)) >> 8);
    }
    static uint32_t blend16(uint32_t d, uint32_t s) {
        if (s < 32769) return clampHigh((2 * uint64_t(s) * d) >> 16, 65535);
        return 65535 - uint32_t(((131071 - 2 * uint64_t(s)) * (65535 - d)) >> 16);
    }
};

// 11 screen–multiply mix: B = r(D·screen(D, S)) + r((255 − D)·multiply(D, S))
// with r(v) = ((v + 128) + ((v + 128) >> 8)) >> 8; 16 bits with 65535 and 32768.
struct tlScreenMultiplyMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) {
        uint32_t v = div255Round(d * tlScreenMode::blend8(d, s)) +
                     div255Round((255 - d) * tlMultiplyMode::blend8(d, s));
        return clampHigh(v, 255);
    }
    static uint32_t blend16(uint32_t d, uint32_t s) {
        uint64_t v = div65535Round(uint64_t(d) * tlScreenMode::blend16(d, s)) +
                     div65535Round(uint64_t(65535 - d) * tlMultiplyMode::blend16(d, s));
        return clampHigh(v, 65535);
    }
};

// 12 dodge: B = min(255, D·256 / (256 − S)); 16 bits: min(65535, D·65536 / (65536 − S)).
struct tlDodgeMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) { return clampHigh(d * 256 / (256 - s), 255); }
    static uint32_t blend16(uint32_t d, uint32_t s) { return clampHigh(uint64_t(d) * 65536 / (65536 - s), 65535); }
};

// 13 burn: B = max(0, 255 − ((255 − D)·256) / (S + 1));
// 16 bits: max(0, 65535 − ((65535 − D)·65536) / (S + 1)).
struct tlBurnMode : tlChannelMode {
    static uint32_t blend8(uint32_t d, uint32_t s) {
        uint32_t cut = (255 - d) * 256 / (s + 1);
        return cut >= 255 ? 0 : 255 - cut;
    }
    static uint32_t blend16(uint32_t d, uint32_t s) {
        uint64_t cut = uint64_t(65535 - d) * 65536 / (s + 1);
        return cut >= 65535 ? 0 : uint32_t(65535 - cut);
    }
};

// Modes 14..17 exist for RGB 8-bit only; d and s point at R, G, B bytes.
struct tlPixelMode {
    static constexpr bool normal = false;
    static constexpr bool wholePixel = true;
};

// 14 HSL colour: hslBytesToRgb(hue and saturation of S, lightness of D),
// the lightness being (max + min + 1) >> 1 of D's bytes.
struct tlHslColourMode : tlPixelMode {
    static void blendRgb8(const uint8_t *d, const uint8_t *s, uint32_t out[3]) {
        uint8_t h, sat, l, r, g, b;
        rgbToHslBytes(s[0], s[1], s[2], h, sat, l);
        hslBytesToRgb(h, sat, hslLightness(d[0], d[1], d[2]), r, g, b);
        out[0] = r;
        out[1] = g;
        out[2] = b;
    }
};

// 15 HSV hue: hsvToRgb(hue of S, saturation and value of D); when S's
// saturation is 0 (S gray) D's own hue is kept.
struct tlHsvHueMode : tlPixelMode {
    static void blendRgb8(const uint8_t *d, const uint8_t *s, uint32_t out[3]) {
        double dh, ds, dv, sh, ss, sv;
        rgbToHsv(d[0], d[1], d[2], dh, ds, dv);
        rgbToHsv(s[0], s[1], s[2], sh, ss, sv);
        uint8_t r, g, b;
        hsvToRgb(ss == 0.0 ? dh : sh, ds, dv, r, g, b);
        out[0] = r;
        out[1] = g;
        out[2] = b;
    }
};

// 16 HSV saturation: hsvToRgb(hue and value of D, (max − min) / max of S).
struct tlHsvSaturationMode : tlPixelMode {
    static void blendRgb8(const uint8_t *d, const uint8_t *s, uint32_t out[3]) {
        double dh, ds, dv;
        rgbToHsv(d[0], d[1], d[2], dh, ds, dv);
        uint8_t r, g, b;
        hsvToRgb(dh, hsvSaturation(s[0], s[1], s[2]), dv, r, g, b);
        out[0] = r;
        out[1] = g;
        out[2] = b;
    }
};

// 17 HSV value: hsvToRgb(hue and saturation of D, max(S) / 255).
struct tlHsvValueMode : tlPixelMode {
    static void blendRgb8(const uint8_t *d, const uint8_t *s, uint32_t out[3]) {
        double dh, ds, dv;
        rgbToHsv(d[0], d[1], d[2], dh, ds, dv);
        uint8_t r, g, b;
        hsvToRgb(dh, ds, hsvValue(s[0], s[1], s[2]), r, g, b);
        out[0] = r;
        out[1] = g;
        out[2] = b;
    }
};
