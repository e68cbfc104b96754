// Compositing kernels: blendRow over one row under one of the 18 blend
// modes and an opacity, the per-format row functions behind it, and the span
// painters that lay one colour with alpha over a run of pixels.
// tlPicture::blendFrom (declared in picture.h) drives blendRow row by row.
#pragma once

#include <cstdint>

#include "imaging/pixel_format.h"

class tlPalette;

// Blend modes as layers and effects store them.
enum tlBlendMode : int32_t {
    tlBlendNormal = 0,
    tlBlendMultiply = 1,
    tlBlendDivide = 2,
    tlBlendDifference = 3,
    tlBlendAdd = 4,
    tlBlendSubtract = 5,
    tlBlendDarken = 6,
    tlBlendLighten = 7,
    tlBlendScreen = 8,
    tlBlendSoftLight = 9,
    tlBlendHardLight = 10,
    tlBlendScreenMultiply = 11,
    tlBlendDodge = 12,
    tlBlendBurn = 13,
    tlBlendHslColour = 14,
    tlBlendHsvHue = 15,
    tlBlendHsvSaturation = 16,
    tlBlendHsvValue = 17,
    tlBlendModeCount = 18
};

// Full opacity; opacities run 0..65535.
constexpr uint32_t tlOpacityFull = 65535;

// Blends n source pixels onto n destination pixels in place.
// False (nothing written) when the colour models or bit depths differ, a
// format is invalid or the opacity is above 65535. Opacity 0 or n <= 0
// writes nothing. Mode 0 with an opaque source at full opacity (indexed: at
// opacity 32767 or more) is a plain convertRow. A mode without a kernel for
// the format (14..17 outside RGB 8-bit, 1..17 on indexed, anything above 17)
// writes nothing and still returns true.
bool blendRow(uint8_t *dst, tlPixelFormat dstFormat, const uint8_t *src, tlPixelFormat srcFormat,
              const tlPalette *srcPalette, int32_t mode, uint32_t opacity, int32_t n);

// A row kernel: one mode for one pair of formats, decided before the call.
typedef void (*tlBlendRowFunction)(uint8_t *dst, const uint8_t *src, int32_t n, uint32_t opacity);

// The general kernel blendRow runs for a mode, the destination format and
// the channel count of a source of the same model and depth, without the
// plain-copy shortcut; null when there is none. Opacity must be 1..65535
// when calling it.
tlBlendRowFunction blendRowFunction(int32_t mode, tlPixelFormat destination, int32_t srcChannels);

// Lays the colour pixel (the picture's format with an alpha channel always
// present, as tlColour::toPicturePixel gives it) over n source pixels and
// writes them to dst; dst and src may be the same run.
typedef void (*tlSpanPainter)(uint8_t *dst, const uint8_t *src, int32_t n, const uint8_t *colourPixel);

// The painter for a format, or null (indexed or invalid formats).
tlSpanPainter spanPainter(tlPixelFormat format);
