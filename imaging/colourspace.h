// Per-pixel conversions between RGB and real HSV, byte HSL and the JFIF
// luma/colour-difference space, for 8-bit and (HSV, YCbCr) 16-bit channels.
#pragma once

#include <cstdint>

// Real HSV: hue in [0, 1) (one turn = 1), saturation and value in [0, 1].
void rgbToHsv(uint8_t r, uint8_t g, uint8_t b, double &h, double &s, double &v);
void rgbToHsv16(uint16_t r, uint16_t g, uint16_t b, double &h, double &s, double &v);
// Channels are scaled by 255 (65535) and truncated; a hue outside [0, 1)
// gives black, and values outside 0..1 are clamped to the channel range.
void hsvToRgb(double h, double s, double v, uint8_t &r, uint8_t &g, uint8_t &b);
void hsvToRgb16(double h, double s, double v, uint16_t &r, uint16_t &g, uint16_t &b);

// Byte HSL: hue 0..255 (one turn = 255), saturation and lightness 0..255.
void rgbToHslBytes(uint8_t r, uint8_t g, uint8_t b, uint8_t &h, uint8_t &s, uint8_t &l);
void hslBytesToRgb(uint8_t h, uint8_t s, uint8_t l, uint8_t &r, uint8_t &g, uint8_t &b);

// HSL lightness of a byte triple: (max + min + 1) >> 1.
uint8_t hslLightness(uint8_t r, uint8_t g, uint8_t b);
// HSV saturation of a byte triple: (max − min) / max, 0 when max is 0.
double hsvSaturation(uint8_t r, uint8_t g, uint8_t b);
// HSV value of a byte triple: max / 255.
double hsvValue(uint8_t r, uint8_t g, uint8_t b);

// Luma and colour differences with the JFIF (BT.601 full-range) weights in
// fixed point; Cb and Cr are signed.
void rgbToYCbCr(uint8_t r, uint8_t g, uint8_t b, uint8_t &y, int8_t &cb, int8_t &cr);
void rgbToYCbCr16(uint16_t r, uint16_t g, uint16_t b, uint16_t &y, int16_t &cb, int16_t &cr);
void yCbCrToRgb(uint8_t y, int8_t cb, int8_t cr, uint8_t &r, uint8_t &g, uint8_t &b);
void yCbCrToRgb16(uint16_t y, int16_t cb, int16_t cr, uint16_t &r, uint16_t &g, uint16_t &b);
