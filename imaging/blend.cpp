// blendRow, the entry of the compositing kernels, and tlPicture::blendFrom,
// which clips a block and feeds it to blendRow row by row.
#include "imaging/blend.h"

#include <cstdlib>
#include <cstring>

#include "imaging/picture.h"

namespace {

// Mode 0 at full opacity with an opaque source only copies colours (and makes
// a destination alpha opaque): exactly what convertRow does. Indexed rows
// copy indices from opacity 32767 on.
bool isPlainCopy(int32_t model, int32_t srcChannels, int32_t mode, uint32_t opacity) {
    if (mode != tlBlendNormal) return false;
    switch (model) {
    case 0: return srcChannels == 3 && opacity == tlOpacityFull;
    case 1: return srcChannels == 1 && opacity == tlOpacityFull;
    case 2: return srcChannels == 1 && opacity >= 32767;
    default: return false;
    }
}

// A kernel runs directly between these formats for this mode.
bool hasDirectKernel(const tlPicture &dst, const tlPicture &src, int32_t mode) {
    if (dst.model != src.model || dst.bits != src.bits) return false;
    return dst.model == 0 || dst.model == 1 || (dst.model == 2 && mode == tlBlendNormal);
}

}  // namespace

bool blendRow(uint8_t *dst, int32_t dstModel, int32_t dstBits, int32_t dstChannels, const uint8_t *src,
              int32_t srcModel, int32_t srcBits, int32_t srcChannels, const tlPalette *srcPalette, int32_t mode,
              uint32_t opacity, int32_t n) {
    if (dstModel != srcModel || dstBits != srcBits || opacity > tlOpacityFull) return false;
    if (!isValidFormat(dstModel, dstBits, dstChannels) || !isValidFormat(srcModel, srcBits, srcChannels)) return false;
    if (opacity == 0 || n <= 0) return true;
    if (isPlainCopy(srcModel, srcChannels, mode, opacity)) {
        convertRow(dst, dstModel, dstBits, dstChannels, src, srcModel, srcBits, srcChannels, srcPalette, n);
        return true;
    }
    tlBlendRowFunction kernel = blendRowFunction(mode, dstModel, dstBits, srcChannels, dstChannels);
    if (kernel != nullptr) kernel(dst, src, n, opacity);
    return true;
}

// Direct kernel when the models and depths agree; otherwise each source row
// is first converted into one scratch row of the destination's format. An
// indexed destination takes only an indexed source in mode 0: the converter
// cannot produce indices from colours, so no row could be blended.
// Blending a picture onto itself reads every source row through the scratch
// row, in an order that never overwrites a row before it is read.
bool tlPicture::blendFrom(int32_t dx, int32_t dy, const tlPicture &source, int32_t sx, int32_t sy, int32_t w,
                          int32_t h, int32_t mode, uint32_t opacity) {
    if (opacity > tlOpacityFull) return false;
    if (opacity == 0) return true;
    if (store == nullptr || source.store == nullptr) return false;
    bool direct = hasDirectKernel(*this, source, mode);
    if (!direct && model == 2) return false;
    if (!clipBlock(dx, dy, sx, sy, w, h, width, height, source.width, source.height)) return true;

    bool self = &source == this;
    uint8_t *scratch = nullptr;
    if (!direct || self) {
        scratch = static_cast<uint8_t *>(std::malloc(static_cast<size_t>(stride)));
        if (scratch == nullptr) return false;
    }
    size_t srcRowBytes = static_cast<size_t>(w) * static_cast<size_t>(source.bytesPerPixel());
    bool upward = self && dy > sy;
    for (int32_t i = 0; i < h; ++i) {
        int32_t r = upward ? h - 1 - i : i;
        uint8_t *d = pixelAddress(dx, dy + r);
        const uint8_t *s = source.pixelAddress(sx, sy + r);
        if (direct && !self) {
            blendRow(d, model, bits, channels, s, source.model, source.bits, source.channels, source.palette, mode,
                     opacity, w);
        } else if (direct) {
            std::memcpy(scratch, s, srcRowBytes);
            blendRow(d, model, bits, channels, scratch, model, bits, channels, palette, mode, opacity, w);
        } else {
            convertRow(scratch, model, bits, channels, s, source.model, source.bits, source.channels, source.palette, w);
            blendRow(d, model, bits, channels, scratch, model, bits, channels, palette, mode, opacity, w);
        }
    }
    std::free(scratch);
    return true;
}
