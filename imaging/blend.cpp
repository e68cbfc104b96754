// blendRow, the entry of the compositing kernels, and tlPicture::blendFrom,
// which clips a block and feeds it to blendRow row by row.
#include "imaging/blend.h"

#include <cstdlib>
#include <cstring>

#include "imaging/picture.h"
#include "imaging/row_pool.h"

namespace {

// Mode 0 at full opacity with an opaque source only copies colours (and makes
// a destination alpha opaque): exactly what convertRow does. Indexed rows
// copy indices from opacity 32767 on.
bool isPlainCopy(tlPixelFormat source, int32_t mode, uint32_t opacity) {
    if (mode != tlBlendNormal) return false;
    switch (source.model) {
    case tlColourModel::RGB: return source.channels == 3 && opacity == tlOpacityFull;
    case tlColourModel::Gray: return source.channels == 1 && opacity == tlOpacityFull;
    case tlColourModel::Indexed: return source.channels == 1 && opacity >= 32767;
    }
    return false;
}

// A kernel runs directly between these formats for this mode.
bool hasDirectKernel(const tlPicture &dst, const tlPicture &src, int32_t mode) {
    if (dst.model != src.model || dst.bits != src.bits) return false;
    return dst.model != tlColourModel::Indexed || mode == tlBlendNormal;
}

}  // namespace

bool blendRow(uint8_t *dst, tlPixelFormat dstFormat, const uint8_t *src, tlPixelFormat srcFormat,
              const tlPalette *srcPalette, int32_t mode, uint32_t opacity, int32_t n) {
    if (dstFormat.model != srcFormat.model || dstFormat.bits != srcFormat.bits || opacity > tlOpacityFull) return false;
    if (!dstFormat.isValid() || !srcFormat.isValid()) return false;
    if (opacity == 0 || n <= 0) return true;
    if (isPlainCopy(srcFormat, mode, opacity)) {
        convertRow(dst, dstFormat, src, srcFormat, srcPalette, n);
        return true;
    }
    tlBlendRowFunction kernel = blendRowFunction(mode, dstFormat, srcFormat.channels);
    if (kernel != nullptr) kernel(dst, src, n, opacity);
    return true;
}

// Direct kernel when the models and depths agree; otherwise each source row
// is first converted into one scratch row of the destination's format. An
// indexed destination takes only an indexed source in mode 0: the converter
// cannot produce indices from colours, so no row could be blended.
// Blending a picture onto itself reads every source row through the scratch
// row, in an order that never overwrites a row before it is read.
bool tlPicture::blendFrom(int32_t dx, int32_t dy, const tlPicture &source, int32_t sx, int32_t sy, int32_t w, int32_t h,
                          int32_t mode, uint32_t opacity) {
    if (opacity > tlOpacityFull) return false;
    if (opacity == 0) return true;
    if (store == nullptr || source.store == nullptr) return false;
    bool direct = hasDirectKernel(*this, source, mode);
    if (!direct && model == tlColourModel::Indexed) return false;
    if (!clipBlock(dx, dy, sx, sy, w, h, width, height, source.width, source.height)) return true;

    bool self = &source == this;
    if (direct && !self) {
        // Every row blends on its own: split over the row pool.
        const tlPixelFormat dstFormat = format(), srcFormat = source.format();
        forEachRow(0, h, w, nullptr, [&](int32_t r) {
            blendRow(pixelAddress(dx, dy + r), dstFormat, source.pixelAddress(sx, sy + r), srcFormat, source.palette,
                     mode, opacity, w);
        });
        return true;
    }
    // Onto itself or through a converted row: one scratch row, rows in order.
    uint8_t *scratch = static_cast<uint8_t *>(std::malloc(static_cast<size_t>(stride)));
    if (scratch == nullptr) return false;
    size_t srcRowBytes = static_cast<size_t>(w) * static_cast<size_t>(source.bytesPerPixel());
    const tlPixelFormat dstFormat = format(), srcFormat = source.format();
    bool upward = self && dy > sy;
    for (int32_t i = 0; i < h; ++i) {
        int32_t r = upward ? h - 1 - i : i;
        uint8_t *d = pixelAddress(dx, dy + r);
        const uint8_t *s = source.pixelAddress(sx, sy + r);
        if (direct) {
            std::memcpy(scratch, s, srcRowBytes);
            blendRow(d, dstFormat, scratch, dstFormat, palette, mode, opacity, w);
        } else {
            convertRow(scratch, dstFormat, s, srcFormat, source.palette, w);
            blendRow(d, dstFormat, scratch, dstFormat, palette, mode, opacity, w);
        }
    }
    std::free(scratch);
    return true;
}
