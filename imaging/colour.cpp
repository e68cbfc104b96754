// tlColour: constructors, conversion into one pixel of any format, equality
// and the 8-byte stream form.
#include "imaging/colour.h"

#include <cstring>

#include "imaging/picture.h"
#include "imaging/pixel_math.h"

namespace {

uint32_t load32(const uint8_t *p) { return load16(p) | load16(p + 2) << 16; }

void store32(uint8_t *p, uint32_t v) {
    store16(p, v & 0xFFFF);
    store16(p + 2, v >> 16);
}

tlColour make(int32_t bits, int32_t channels) {
    tlColour c;
    c.bits = bits;
    c.channels = channels;
    return c;
}

}  // namespace

tlColour::tlColour() = default;

tlColour tlColour::rgb(uint32_t r, uint32_t g, uint32_t b) {
    tlColour c = make(8, 3);
    c.samples[0] = static_cast<uint8_t>(r);
    c.samples[1] = static_cast<uint8_t>(g);
    c.samples[2] = static_cast<uint8_t>(b);
    return c;
}

tlColour tlColour::rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    tlColour c = rgb(r, g, b);
    c.channels = 4;
    c.samples[3] = static_cast<uint8_t>(a);
    return c;
}

tlColour tlColour::rgba16(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    tlColour c = make(16, 4);
    store16(c.samples, r & 0xFFFF);
    store16(c.samples + 2, g & 0xFFFF);
    store16(c.samples + 4, b & 0xFFFF);
    store16(c.samples + 6, a & 0xFFFF);
    return c;
}

tlColour tlColour::fromBytes(const uint8_t bytes[4]) { return rgba(bytes[0], bytes[1], bytes[2], bytes[3]); }

tlColour tlColour::fromStream(const uint8_t bytes[8]) {
    return rgba16(load16(bytes), load16(bytes + 2), load16(bytes + 4), load16(bytes + 6));
}

// RGB or gray target: read the source on its own scale (gray from RGB by
// (77 R + 151 G + 28 B) >> 8 before any depth change), then widen by 257 or
// narrow to the high byte, then write the target's channels. Unsupported
// target depths or channel counts write nothing but still succeed.
bool tlColour::toPixel(tlPixelFormat target, void *out) const {
    uint8_t *o = static_cast<uint8_t *>(out);
    const tlColourModel targetModel = target.model;
    const int32_t targetBits = target.bits, targetChannels = target.channels;
    if (targetModel == tlColourModel::Indexed) {
        if (model != tlColourModel::Indexed || targetBits != 8) return false;
        if (targetChannels == 1) {
            store32(o, channels == 1 ? load32(samples) : samples[0]);
        } else {
            o[0] = samples[0];
            o[1] = channels == 1 ? 255 : samples[1];
        }
        return true;
    }
    const bool rgb = model == tlColourModel::RGB, gray = model == tlColourModel::Gray;
    if ((targetModel != tlColourModel::RGB && targetModel != tlColourModel::Gray) || (!rgb && !gray)) return false;

    const int32_t sourceBits = bits == 8 ? 8 : 16;
    uint32_t r, g, b, a;
    if (rgb) {
        r = readSample(samples, sourceBits, 0);
        g = readSample(samples, sourceBits, 1);
        b = readSample(samples, sourceBits, 2);
        a = channels == 4 ? readSample(samples, sourceBits, 3) : sampleMax(sourceBits);
    } else {
        if (channels == 1) {
            r = load32(samples);
            a = sampleMax(sourceBits);
        } else {
            r = readSample(samples, sourceBits, 0);
            a = readSample(samples, sourceBits, 1);
        }
        g = b = r;
    }
    if (targetModel == tlColourModel::Gray && rgb) r = (77 * r + 151 * g + 28 * b) >> 8;

    if (targetBits != 8 && targetBits != 16) return true;
    r = changeDepth(r, sourceBits, targetBits);
    g = changeDepth(g, sourceBits, targetBits);
    b = changeDepth(b, sourceBits, targetBits);
    a = changeDepth(a, sourceBits, targetBits);

    if (targetModel == tlColourModel::RGB && (targetChannels == 3 || targetChannels == 4)) {
        writeSample(o, targetBits, 0, r);
        writeSample(o, targetBits, 1, g);
        writeSample(o, targetBits, 2, b);
        if (targetChannels == 4) writeSample(o, targetBits, 3, a);
    } else if (targetModel == tlColourModel::Gray && targetChannels == 2) {
        writeSample(o, targetBits, 0, r);
        writeSample(o, targetBits, 1, a);
    } else if (targetModel == tlColourModel::Gray && targetChannels == 1) {
        store32(o, r);
    }
    return true;
}

bool tlColour::toRGBA8(uint8_t out[4]) const { return toPixel(tlPixelFormat::rgb(8, 4), out); }

bool tlColour::toRGBA16(uint16_t out[4]) const {
    uint8_t bytes[8];
    if (!toPixel(tlPixelFormat::rgb(16, 4), bytes)) return false;
    for (int32_t i = 0; i < 4; ++i) out[i] = static_cast<uint16_t>(load16(bytes + 2 * i));
    return true;
}

bool tlColour::toGrayAlpha8(uint8_t out[2]) const { return toPixel(tlPixelFormat::gray(8, 2), out); }

bool tlColour::toGrayAlpha16(uint16_t out[2]) const {
    uint8_t bytes[4];
    if (!toPixel(tlPixelFormat::gray(16, 2), bytes)) return false;
    out[0] = static_cast<uint16_t>(load16(bytes));
    out[1] = static_cast<uint16_t>(load16(bytes + 2));
    return true;
}

bool tlColour::toPicturePixel(const tlPicture &picture, void *out) const {
    tlPixelFormat withAlpha = picture.format();
    if (!withAlpha.hasAlpha()) withAlpha.channels += 1;
    return toPixel(withAlpha, out);
}

bool tlColour::equals(const tlColour &other) const {
    if (format() != other.format()) return false;
    if ((model == tlColourModel::Gray || model == tlColourModel::Indexed) && channels == 1)
        return load32(samples) == load32(other.samples);
    int64_t used = static_cast<int64_t>(bits) * channels / 8;
    if (used <= 0) return true;
    if (used > 8) used = 8;
    return std::memcmp(samples, other.samples, static_cast<size_t>(used)) == 0;
}

bool tlColour::toStream(uint8_t out[8]) const {
    uint16_t words[4];
    if (!toRGBA16(words)) return false;
    for (int32_t i = 0; i < 4; ++i) store16(out + 2 * i, words[i]);
    return true;
}
