// tlColour: constructors, conversion into one pixel of any format, equality
// and the 8-byte stream form.
#include "imaging/colour.h"

#include "imaging/picture.h"

#include <cstring>

namespace {

uint32_t load16(const uint8_t *p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }

void store16(uint8_t *p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

uint32_t load32(const uint8_t *p) { return load16(p) | load16(p + 2) << 16; }

void store32(uint8_t *p, uint32_t v) {
    store16(p, v & 0xFFFF);
    store16(p + 2, v >> 16);
}

// Sample i of a packed colour or pixel: a byte at 8 bits, else a word.
uint32_t sampleAt(const uint8_t *samples, int32_t bits, int32_t i) {
    return bits == 8 ? samples[i] : load16(samples + 2 * i);
}

void putSample(uint8_t *out, int32_t bits, int32_t i, uint32_t v) {
    if (bits == 8) {
        out[i] = static_cast<uint8_t>(v);
    } else {
        store16(out + 2 * i, v);
    }
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
bool tlColour::toPixel(int32_t targetModel, int32_t targetBits, int32_t targetChannels, void *out) const {
    uint8_t *o = static_cast<uint8_t *>(out);
    if (targetModel == 2) {
        if (model != 2 || targetBits != 8) return false;
        if (targetChannels == 1) {
            store32(o, channels == 1 ? load32(samples) : samples[0]);
        } else {
            o[0] = samples[0];
            o[1] = channels == 1 ? 255 : samples[1];
        }
        return true;
    }
    if (targetModel != 0 && targetModel != 1) return false;
    if (model != 0 && model != 1) return false;

    const int32_t sourceBits = bits == 8 ? 8 : 16;
    const uint32_t sourceOpaque = sourceBits == 8 ? 255 : 65535;
    uint32_t r, g, b, a;
    if (model == 0) {
        r = sampleAt(samples, sourceBits, 0);
        g = sampleAt(samples, sourceBits, 1);
        b = sampleAt(samples, sourceBits, 2);
        a = channels == 4 ? sampleAt(samples, sourceBits, 3) : sourceOpaque;
    } else {
        if (channels == 1) {
            r = load32(samples);
            a = sourceOpaque;
        } else {
            r = sampleAt(samples, sourceBits, 0);
            a = sampleAt(samples, sourceBits, 1);
        }
        g = b = r;
    }
    if (targetModel == 1 && model == 0) r = (77 * r + 151 * g + 28 * b) >> 8;

    if (targetBits != 8 && targetBits != 16) return true;
    if (targetBits == 8 && sourceBits == 16) {
        r >>= 8, g >>= 8, b >>= 8, a >>= 8;
    } else if (targetBits == 16 && sourceBits == 8) {
        r *= 257, g *= 257, b *= 257, a *= 257;
    }

    if (targetModel == 0 && (targetChannels == 3 || targetChannels == 4)) {
        putSample(o, targetBits, 0, r);
        putSample(o, targetBits, 1, g);
        putSample(o, targetBits, 2, b);
        if (targetChannels == 4) putSample(o, targetBits, 3, a);
    } else if (targetModel == 1 && targetChannels == 2) {
        putSample(o, targetBits, 0, r);
        putSample(o, targetBits, 1, a);
    } else if (targetModel == 1 && targetChannels == 1) {
        store32(o, r);
    }
    return true;
}

bool tlColour::toRGBA8(uint8_t out[4]) const { return toPixel(0, 8, 4, out); }

bool tlColour::toRGBA16(uint16_t out[4]) const {
    uint8_t bytes[8];
    if (!toPixel(0, 16, 4, bytes)) return false;
    for (int32_t i = 0; i < 4; ++i) out[i] = static_cast<uint16_t>(load16(bytes + 2 * i));
    return true;
}

bool tlColour::toGrayAlpha8(uint8_t out[2]) const { return toPixel(1, 8, 2, out); }

bool tlColour::toGrayAlpha16(uint16_t out[2]) const {
    uint8_t bytes[4];
    if (!toPixel(1, 16, 2, bytes)) return false;
    out[0] = static_cast<uint16_t>(load16(bytes));
    out[1] = static_cast<uint16_t>(load16(bytes + 2));
    return true;
}

bool tlColour::toPicturePixel(const tlPicture &picture, void *out) const {
    int32_t withAlpha = picture.hasAlpha() ? picture.channels : picture.channels + 1;
    return toPixel(picture.model, picture.bits, withAlpha, out);
}

bool tlColour::equals(const tlColour &other) const {
    if (model != other.model || bits != other.bits || channels != other.channels) return false;
    if ((model == 1 || model == 2) && channels == 1) return load32(samples) == load32(other.samples);
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
