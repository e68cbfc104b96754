// Colour-space conversions: real HSV, byte HSL and fixed-point YCbCr. Real
// expressions are evaluated in the order written so that every build gives
// the same bits.
#include "imaging/colourspace.h"

#include "imaging/pixel_math.h"

namespace {

uint32_t max3(uint32_t a, uint32_t b, uint32_t c) { return a > b ? (a > c ? a : c) : (b > c ? b : c); }
uint32_t min3(uint32_t a, uint32_t b, uint32_t c) { return a < b ? (a < c ? a : c) : (b < c ? b : c); }
double maxReal(double a, double b, double c) { return a > b ? (a > c ? a : c) : (b > c ? b : c); }
double minReal(double a, double b, double c) { return a < b ? (a < c ? a : c) : (b < c ? b : c); }

// HSV of channels already scaled to 0..1.
//   V = max; S = (max − min) / max (0 when max is 0);
//   h = (g − b) / Δ when r is the max, else (b − r) / Δ + 2 when g is,
//   else (r − g) / Δ + 4; H = h / 6 folded into [0, 1]; H = 0 when S = 0.
void hsvFromUnit(double r, double g, double b, double &h, double &s, double &v) {
    double mx = maxReal(r, g, b);
    double mn = minReal(r, g, b);
    v = mx;
    s = mx != 0.0 ? (mx - mn) / mx : 0.0;
    if (s == 0.0) {
        h = 0.0;
        return;
    }
    double delta = mx - mn;
    double sextant;
    if (r != mx) {
        sextant = g != mx ? (r - g) / delta + 4.0 : (b - r) / delta + 2.0;
    } else {
        sextant = (g - b) / delta;
    }
    h = sextant / 6.0;
    if (h < 0.0) h += 1.0;
    if (h > 1.0) h -= 1.0;
}

// RGB in 0..1 from HSV. H = 1 (h = 6) is the same turn as 0; a hue whose
// sextant falls outside 0..5 gives black.
void unitFromHsv(double hue, double s, double v, double rgb[3]) {
    double h = hue * 6.0;
    if (h == 6.0) h = 0.0;
    if (s == 0.0) {
        rgb[0] = rgb[1] = rgb[2] = v;
        return;
    }
    // Truncation toward zero; the range test keeps the conversion defined
    // (a NaN or a far-off hue lands in no sextant).
    int32_t i = (h > -1.0 && h < 7.0) ? static_cast<int32_t>(h) : -1;
    double f = h - i;
    double p = v * (1.0 - s);
    double q = v * (1.0 - s * f);
    double t = v * (1.0 - s * (1.0 - f));
    double r = 0.0, g = 0.0, b = 0.0;
    switch (i) {
    case 0:
        r = v;
        g = t;
        b = p;
        break;
    case 1:
        r = q;
        g = v;
        b = p;
        break;
    case 2:
        r = p;
        g = v;
        b = t;
        break;
    case 3:
        r = p;
        g = q;
        b = v;
        break;
    case 4:
        r = t;
        g = p;
        b = v;
        break;
    case 5:
        r = v;
        g = p;
        b = q;
        break;
    default: break;
    }
    rgb[0] = r;
    rgb[1] = g;
    rgb[2] = b;
}

// x × scale truncated toward zero, kept inside 0..hi so that values a
// caller pushed outside 0..1 cannot make the conversion undefined.
uint32_t scaleTruncate(double x, double scale, uint32_t hi) {
    double y = x * scale;
    if (!(y > 0.0)) return 0;
    if (y >= static_cast<double>(hi)) return hi;
    return static_cast<uint32_t>(y);
}

// trunc(x + 0.5) kept inside 0..255: the byte HSL rounding (half up).
uint8_t roundHalfUpByte(double x) { return static_cast<uint8_t>(scaleTruncate(x + 0.5, 1.0, 255)); }

// One channel of byte HSL to RGB; x is the hue shifted by this channel's
// third of a turn.
//   x < 43: m1 + (m2 − m1)·x·6 / 255; x < 128: m2;
//   x < 170: m1 + (m2 − m1)·(170 − x)·6 / 255; else m1; byte = trunc(v·255 + 0.5).
uint8_t hslChannel(double m1, double m2, int32_t x) {
    if (x < 0) {
        x += 255;
    } else if (x >= 256) {
        x -= 255;
    }
    double v;
    if (x < 43) {
        v = m1 + (m2 - m1) * x * 6.0 / 255.0;
    } else if (x < 128) {
        v = m2;
    } else if (x < 170) {
        v = m1 + (m2 - m1) * (170 - x) * 6.0 / 255.0;
    } else {
        v = m1;
    }
    return roundHalfUpByte(v * 255.0);
}

// 8-bit YCbCr to RGB channel: negative → 0, 2^24 or more → 255, else v >> 16.
uint8_t ycbcrChannel8(int64_t v) {
    if (v < 0) return 0;
    if (v >= (int64_t(1) << 24)) return 255;
    return static_cast<uint8_t>(v >> 16);
}

// 16-bit YCbCr to RGB channel: +255 when negative, then negative → 0,
// 2^24 or more → 65535, else v >> 8.
uint16_t ycbcrChannel16(int64_t v) {
    if (v < 0) v += 255;
    if (v < 0) return 0;
    if (v >= (int64_t(1) << 24)) return 65535;
    return static_cast<uint16_t>(v >> 8);
}

// Colour difference: the weighted sum, plus 65535 when negative, >> 16.
int64_t colourDifference(int64_t sum) { return shiftRightFloor(sum < 0 ? sum + 65535 : sum, 16); }

}  // namespace

void rgbToHsv(uint8_t r, uint8_t g, uint8_t b, double &h, double &s, double &v) {
    hsvFromUnit(r / 255.0, g / 255.0, b / 255.0, h, s, v);
}

void rgbToHsv16(uint16_t r, uint16_t g, uint16_t b, double &h, double &s, double &v) {
    hsvFromUnit(r / 65535.0, g / 65535.0, b / 65535.0, h, s, v);
}

void hsvToRgb(double h, double s, double v, uint8_t &r, uint8_t &g, uint8_t &b) {
    double c[3];
    unitFromHsv(h, s, v, c);
    r = static_cast<uint8_t>(scaleTruncate(c[0], 255.0, 255));
    g = static_cast<uint8_t>(scaleTruncate(c[1], 255.0, 255));
    b = static_cast<uint8_t>(scaleTruncate(c[2], 255.0, 255));
}

void hsvToRgb16(double h, double s, double v, uint16_t &r, uint16_t &g, uint16_t &b) {
    double c[3];
    unitFromHsv(h, s, v, c);
    r = static_cast<uint16_t>(scaleTruncate(c[0], 65535.0, 65535));
    g = static_cast<uint16_t>(scaleTruncate(c[1], 65535.0, 65535));
    b = static_cast<uint16_t>(scaleTruncate(c[2], 65535.0, 65535));
}

// m = (max + min) / 2; S = (max − min)·255 / (511 − max − min) when m ≥ 128,
// else (max − min)·255 / (max + min); H = (Δ-quotient + sextant offset) × 42.5
// folded into 0..255; each rounded half up. Gray gives H = S = 0.
void rgbToHslBytes(uint8_t r, uint8_t g, uint8_t b, uint8_t &h, uint8_t &s, uint8_t &l) {
    int32_t mx = static_cast<int32_t>(max3(r, g, b));
    int32_t mn = static_cast<int32_t>(min3(r, g, b));
    double m = (mx + mn) / 2.0;
    double hue = 0.0;
    double sat = 0.0;
    if (mx != mn) {
        int32_t spread = (mx - mn) * 255;
        sat = m >= 128.0 ? static_cast<double>(spread) / (511 - mx - mn) : static_cast<double>(spread) / (mx + mn);
        double delta = mx - mn;
        double sextant;
        if (r == mx) {
            sextant = (g - b) / delta;
        } else if (g == mx) {
            sextant = (b - r) / delta + 2.0;
        } else {
            sextant = (r - g) / delta + 4.0;
        }
        hue = sextant * 42.5;
        if (hue < 0.0) hue += 255.0;
        if (hue > 255.0) hue -= 255.0;
    }
    h = roundHalfUpByte(hue);
    s = roundHalfUpByte(sat);
    l = roundHalfUpByte(m);
}

// m2 = L·(S + 255) / 65025 when L < 128, else (S + L − L·S / 255) / 255;
// m1 = 2L / 255 − m2; channels at hue + 85, hue and hue − 85.
void hslBytesToRgb(uint8_t h, uint8_t s, uint8_t l, uint8_t &r, uint8_t &g, uint8_t &b) {
    if (s == 0) {
        r = g = b = l;
        return;
    }
    double sat = s;
    double light = l;
    double m2 = l < 128 ? light * (sat + 255.0) / 65025.0 : (sat + light - light * sat / 255.0) / 255.0;
    double m1 = light * 2.0 / 255.0 - m2;
    r = hslChannel(m1, m2, h + 85);
    g = hslChannel(m1, m2, h);
    b = hslChannel(m1, m2, h - 85);
}

uint8_t hslLightness(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint8_t>((max3(r, g, b) + min3(r, g, b) + 1) >> 1);
}

double hsvSaturation(uint8_t r, uint8_t g, uint8_t b) {
    uint32_t mx = max3(r, g, b);
    if (mx == 0) return 0.0;
    return static_cast<double>(mx - min3(r, g, b)) / mx;
}

double hsvValue(uint8_t r, uint8_t g, uint8_t b) { return max3(r, g, b) / 255.0; }

// Y = (19672 R + 38621 G + 7500 B) >> 16;
// Cb = 32768 B − 11058 R − 21710 G and Cr = 32768 R − 27439 G − 5329 B,
// each plus 65535 when negative, then >> 16.
void rgbToYCbCr(uint8_t r, uint8_t g, uint8_t b, uint8_t &y, int8_t &cb, int8_t &cr) {
    int32_t R = r, G = g, B = b;
    y = static_cast<uint8_t>((19672 * R + 38621 * G + 7500 * B) >> 16);
    cb = static_cast<int8_t>(colourDifference(32768 * B - 11058 * R - 21710 * G));
    cr = static_cast<int8_t>(colourDifference(32768 * R - 27439 * G - 5329 * B));
}

// Y = (19596 R + 38470 G + 7471 B) >> 16, low 16 bits; Cb and Cr as in 8 bits.
void rgbToYCbCr16(uint16_t r, uint16_t g, uint16_t b, uint16_t &y, int16_t &cb, int16_t &cr) {
    int64_t R = r, G = g, B = b;
    y = static_cast<uint16_t>(((19596 * R + 38470 * G + 7471 * B) >> 16) & 0xFFFF);
    cb = static_cast<int16_t>(colourDifference(32768 * B - 11058 * R - 21710 * G));
    cr = static_cast<int16_t>(colourDifference(32768 * R - 27439 * G - 5329 * B));
}

// R = 65536 Y + 91881 Cr; G = 65536 Y − 22553 Cb − 46802 Cr; B = 65536 Y + 116130 Cb.
void yCbCrToRgb(uint8_t y, int8_t cb, int8_t cr, uint8_t &r, uint8_t &g, uint8_t &b) {
    int64_t Y = 65536 * int64_t(y);
    r = ycbcrChannel8(Y + 91881 * int64_t(cr));
    g = ycbcrChannel8(Y - 22553 * int64_t(cb) - 46802 * int64_t(cr));
    b = ycbcrChannel8(Y + 116130 * int64_t(cb));
}

// With y = 256 Y: R = y + 359 Cr; G = y − 88 Cb − 183 Cr; B = y + 453 Cb.
void yCbCrToRgb16(uint16_t y, int16_t cb, int16_t cr, uint16_t &r, uint16_t &g, uint16_t &b) {
    int64_t Y = 256 * int64_t(y);
    r = ycbcrChannel16(Y + 359 * int64_t(cr));
    g = ycbcrChannel16(Y - 88 * int64_t(cb) - 183 * int64_t(cr));
    b = ycbcrChannel16(Y + 453 * int64_t(cb));
}
