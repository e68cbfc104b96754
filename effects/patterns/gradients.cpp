// Gradient pattern effects: one ramp between two colours across the working
// rectangle (linear, radial or mirrored) and a ramp repeated in bands or rings.
#include "effects/patterns/gradients.h"

#include <cmath>
#include <cstdlib>

#include "imaging/blend.h"
#include "imaging/pixel_math.h"

namespace {

// Pixel format facts the ramps need: colour channels without alpha (3 RGB,
// 1 gray) and bytes per sample.
struct tlRampFormat {
    tlPixelFormat pixel;
    int32_t colourChannels = 0;
    int32_t sampleBytes = 1;
};

// RGB or gray at 8 or 16 bits; false for indexed and invalid formats.
bool rampFormat(const tlPicture &picture, tlRampFormat &f) {
    if (picture.model != tlColourModel::RGB && picture.model != tlColourModel::Gray) return false;
    if (!picture.format().isValid()) return false;
    f.pixel = picture.format();
    f.colourChannels = f.pixel.colourChannels();
    f.sampleBytes = picture.bits / 8;
    return true;
}

// The colour on the picture's scale: colourChannels samples, then alpha.
bool rampColour(const tlColour &colour, const tlRampFormat &f, int64_t out[4]) {
    if (f.pixel.model == tlColourModel::RGB && f.pixel.bits == 8) {
        uint8_t s[4];
        if (!colour.toRGBA8(s)) return false;
        for (int32_t c = 0; c < 4; ++c) out[c] = s[c];
    } else if (f.pixel.model == tlColourModel::RGB) {
        uint16_t s[4];
        if (!colour.toRGBA16(s)) return false;
        for (int32_t c = 0; c < 4; ++c) out[c] = s[c];
    } else if (f.pixel.bits == 8) {
        uint8_t s[2];
        if (!colour.toGrayAlpha8(s)) return false;
        out[0] = s[0], out[1] = s[1];
    } else {
        uint16_t s[2];
        if (!colour.toGrayAlpha16(s)) return false;
        out[0] = s[0], out[1] = s[1];
    }
    return true;
}

// lerp(a, b, u, n) = (a × (n − u) + b × u) / n, truncating; 0 <= u <= n and
// n >= 1. 16-bit samples times a 31-bit n need 64 bits.
inline int64_t lerp(int64_t a, int64_t b, int64_t u, int64_t n) { return (a * (n - u) + b * u) / n; }

// Every channel (alpha included, count channels) of lerp(c1, c2, u, n).
void lerpColour(const int64_t c1[4], const int64_t c2[4], int64_t u, int64_t n, int32_t count, int64_t out[4]) {
    for (int32_t c = 0; c < count; ++c) out[c] = lerp(c1[c], c2[c], u, n);
}

// One call's painting state: the rectangle, the picture's format and a row
// buffer of w pixels of the picture's model and depth with alpha. A row is
// built in opaque form (the picture's own channels, alpha full) or in alpha
// form (every channel from the ramp) and composited with blendRow onto the
// same row of the rectangle. The buffer is freed with the painter.
class tlRampPainter {
public:
    tlRampPainter(tlPicture &picture, const tlRect &rect, const tlRampFormat &format, int32_t mode,
                  tlProgress *progress)
        : picture(picture), rect(rect), f(format), mode(mode), progress(progress) {}
    tlRampPainter(const tlRampPainter &) = delete;
    tlRampPainter &operator=(const tlRampPainter &) = delete;
    ~tlRampPainter() { std::free(row); }

    bool allocate() {
        size_t pixelBytes = static_cast<size_t>(f.colourChannels + 1) * static_cast<size_t>(f.sampleBytes);
        row = static_cast<uint8_t *>(std::malloc(pixelBytes * static_cast<size_t>(width())));
        return row != nullptr;
    }
    int32_t width() const { return rect.right - rect.left; }
    int32_t height() const { return rect.bottom - rect.top; }
    // Picture coordinates of the rectangle's column x and row i.
    int32_t pictureX(int32_t x) const { return rect.left + x; }
    int32_t pictureY(int32_t i) const { return rect.top + i; }

    // Opaque form: the colour channels of colour, alpha (if any) full.
    void setOpaque(int32_t x, const int64_t *colour) {
        uint8_t *p = row + static_cast<size_t>(x) * static_cast<size_t>(f.pixel.channels * f.sampleBytes);
        for (int32_t c = 0; c < f.colourChannels; ++c) put(p + c * f.sampleBytes, colour[c]);
        if (f.pixel.channels > f.colourChannels) put(p + f.colourChannels * f.sampleBytes, sampleMax(f.pixel.bits));
    }
    void fillOpaque(const int64_t *colour) {
        for (int32_t x = 0; x < width(); ++x) setOpaque(x, colour);
    }
    // Alpha form: colour channels and alpha from colour.
    void setAlpha(int32_t x, const int64_t *colour) {
        int32_t pixelChannels = f.colourChannels + 1;
        uint8_t *p = row + static_cast<size_t>(x) * static_cast<size_t>(pixelChannels * f.sampleBytes);
        for (int32_t c = 0; c < pixelChannels; ++c) put(p + c * f.sampleBytes, colour[c]);
    }

    // Composites the buffer onto row i of the rectangle, then reports the row
    // to the observer; false when the observer asks to stop.
    bool composite(int32_t i, bool alphaForm, uint32_t opacity) {
        int32_t rowChannels = alphaForm ? f.colourChannels + 1 : f.pixel.channels;
        const tlPixelFormat rowFormat{f.pixel.model, f.pixel.bits, rowChannels};
        blendRow(picture.pixelAddress(rect.left, rect.top + i), f.pixel, row, rowFormat, nullptr, mode, opacity,
                 width());
        return progress == nullptr || progress->step();
    }

private:
    void put(uint8_t *p, int64_t v) { writeSample(p, f.pixel.bits, 0, static_cast<uint32_t>(v)); }

    tlPicture &picture;
    tlRect rect;
    tlRampFormat f;
    int32_t mode;
    tlProgress *progress;
    uint8_t *row = nullptr;
};

// The rectangle's centre as reals: ((left + right − 1) / 2, (top + bottom − 1) / 2).
void rectCentre(const tlRect &r, double &cx, double &cy) {
    cx = static_cast<double>(static_cast<int64_t>(r.left) + r.right - 1) / 2;
    cy = static_cast<double>(static_cast<int64_t>(r.top) + r.bottom - 1) / 2;
}

// Distance of pixel (x, y) from the centre: sqrt((x − cx)² + (y − cy)²).
inline double centreDistance(int32_t x, int32_t y, double cx, double cy) {
    double dx = x - cx;
    double dy = y - cy;
    return std::sqrt(dx * dx + dy * dy);
}

// Shapes 0 and 3: one colour per row, opaque form, the row's opacity from the
// alpha ramp (× 257 at 8 bits so that 255 is full). Shape 0 runs u = i over
// g = max(h − 1, 1); shape 3 runs u = abs(2i − m) over m = max(h − 1, 1), so
// a single row takes c2.
bool paintRowRamp(tlRampPainter &painter, const tlRampFormat &f, const int64_t c1[4], const int64_t c2[4],
                  bool mirrored) {
    const int32_t h = painter.height();
    const int64_t n = h > 1 ? h - 1 : 1;
    const int32_t alpha = f.colourChannels;
    for (int32_t i = 0; i < h; ++i) {
        int64_t u = mirrored ? std::llabs(2 * static_cast<int64_t>(i) - n) : i;
        int64_t colour[4];
        lerpColour(c1, c2, u, n, alpha + 1, colour);
        painter.fillOpaque(colour);
        uint32_t opacity = changeDepth(static_cast<uint32_t>(colour[alpha]), f.pixel.bits, 16);
        if (!painter.composite(i, false, opacity)) return false;
    }
    return true;
}

// Shapes 1 and 4: one colour per column in alpha form, built once and
// composited onto every row at full opacity; u = x, or u = abs(2x − m) for
// the mirrored shape, over max(w − 1, 1).
bool paintColumnRamp(tlRampPainter &painter, const tlRampFormat &f, const int64_t c1[4], const int64_t c2[4],
                     bool mirrored) {
    const int32_t w = painter.width();
    const int64_t n = w > 1 ? w - 1 : 1;
    for (int32_t x = 0; x < w; ++x) {
        int64_t u = mirrored ? std::llabs(2 * static_cast<int64_t>(x) - n) : x;
        int64_t colour[4];
        lerpColour(c1, c2, u, n, f.colourChannels + 1, colour);
        painter.setAlpha(x, colour);
    }
    for (int32_t i = 0; i < painter.height(); ++i) {
        if (!painter.composite(i, true, tlOpacityFull)) return false;
    }
    return true;
}

// Shape 2: c1 at the centre, c2 at the corner pixels. With R the distance
// from the centre to a corner pixel (1 when that is 0) and S = 256 at 8 bits,
// 65536 at 16: t = trunc(d × S / R), channel = (c1 × (S − t) + c2 × t) / S,
// in double precision and in that order. d never exceeds R, as a corner
// pixel's distance is computed from the same values as R; t is still held to
// S so that no rounding could make a weight negative.
bool paintRadial(tlRampPainter &painter, const tlRampFormat &f, const tlRect &rect, const int64_t c1[4],
                 const int64_t c2[4]) {
    double cx, cy;
    rectCentre(rect, cx, cy);
    double hx = static_cast<double>(painter.width() - 1) / 2;
    double hy = static_cast<double>(painter.height() - 1) / 2;
    double radius = std::sqrt(hx * hx + hy * hy);
    if (radius == 0) radius = 1;
    const int32_t shift = f.pixel.bits == 8 ? 8 : 16;
    const int64_t scale = int64_t(1) << shift;
    const int32_t count = f.colourChannels + 1;
    for (int32_t i = 0; i < painter.height(); ++i) {
        int32_t y = painter.pictureY(i);
        for (int32_t x = 0; x < painter.width(); ++x) {
            double d = centreDistance(painter.pictureX(x), y, cx, cy);
            int64_t t = static_cast<int64_t>(std::trunc(d * static_cast<double>(scale) / radius));
            if (t > scale) t = scale;
            int64_t colour[4];
            for (int32_t c = 0; c < count; ++c) colour[c] = (c1[c] * (scale - t) + c2[c] * t) >> shift;
            painter.setAlpha(x, colour);
        }
        if (!painter.composite(i, true, tlOpacityFull)) return false;
    }
    return true;
}

// The repeating ramp of the gradient pattern (RGB 8-bit): period p, n = p − 1. A period
// below 2 has no ramp to run, so everything takes c1 (and nothing divides by
// n or takes a remainder by p).
class tlPatternRamp {
public:
    tlPatternRamp(const int64_t first[4], const int64_t second[4], int32_t period, bool saw)
        : p(period), n(static_cast<int64_t>(period) - 1), sawtooth(saw) {
        for (int32_t c = 0; c < 4; ++c) c1[c] = first[c], c2[c] = second[c];
        // The first positions' colours are kept so that the rings, which look
        // one up per pixel, do not divide per pixel; the values are those of
        // lerpColour itself (RGB 8-bit samples fit a byte).
        known = flat() ? 0 : (p < tableSize ? p : tableSize);
        for (int64_t t = 0; t < known; ++t) {
            int64_t colour[4];
            lerpColour(c1, c2, t, n, 4, colour);
            for (int32_t c = 0; c < 4; ++c) table[t][c] = static_cast<uint8_t>(colour[c]);
        }
    }
    bool flat() const { return p < 2; }

    // Ramp position of index k >= 0: k mod p, and without sawtooth run
    // backwards (n − t) in every odd period, a triangle wave of period 2p.
    int64_t position(int64_t k) const {
        int64_t t = k % p;
        if (!sawtooth && (k / p) % 2 == 1) t = n - t;
        return t;
    }
    // Ring position at distance d: sawtooth t = trunc(fmod(d, p)); otherwise
    // t = trunc(fmod(d, 2p)), folded to 2p − t − 1 when t >= p.
    int64_t ringPosition(double d) const {
        if (sawtooth) return static_cast<int64_t>(std::trunc(std::fmod(d, static_cast<double>(p))));
        int64_t twice = 2 * static_cast<int64_t>(p);
        int64_t t = static_cast<int64_t>(std::trunc(std::fmod(d, static_cast<double>(twice))));
        return t >= p ? twice - t - 1 : t;
    }
    // lerp(c1, c2, t, n) on all four channels; c1 for a flat ramp.
    void colourAt(int64_t t, int64_t out[4]) const {
        if (flat()) {
            for (int32_t c = 0; c < 4; ++c) out[c] = c1[c];
        } else if (t < known) {
            for (int32_t c = 0; c < 4; ++c) out[c] = table[t][c];
        } else {
            lerpColour(c1, c2, t, n, 4, out);
        }
    }
    void colourOfIndex(int64_t k, int64_t out[4]) const { colourAt(flat() ? 0 : position(k), out); }

private:
    static constexpr int64_t tableSize = 4096;
    int64_t c1[4];
    int64_t c2[4];
    int32_t p;
    int64_t n;
    bool sawtooth;
    int64_t known = 0;
    uint8_t table[tableSize][4];
};

// Orientation 0: bands across, R, G, B from the ramp at the row index; the
// row's opacity fades from c1.A at the top to c2.A at the bottom over the
// whole rectangle: (c2.A × i + c1.A × (h − 1 − i)) × 257 / (h − 1), and
// c1.A × 257 for a single row.
bool paintBands(tlRampPainter &painter, const tlPatternRamp &ramp, const int64_t c1[4], const int64_t c2[4]) {
    const int64_t h = painter.height();
    for (int32_t i = 0; i < painter.height(); ++i) {
        int64_t colour[4];
        ramp.colourOfIndex(i, colour);
        painter.fillOpaque(colour);
        int64_t opacity = h > 1 ? (c2[3] * i + c1[3] * (h - 1 - i)) * 257 / (h - 1) : c1[3] * 257;
        if (!painter.composite(i, false, static_cast<uint32_t>(opacity))) return false;
    }
    return true;
}

// Orientation 1: bands down, all four channels from the ramp at the column
// index; built once, composited onto every row.
bool paintStripes(tlRampPainter &painter, const tlPatternRamp &ramp) {
    for (int32_t x = 0; x < painter.width(); ++x) {
        int64_t colour[4];
        ramp.colourOfIndex(x, colour);
        painter.setAlpha(x, colour);
    }
    for (int32_t i = 0; i < painter.height(); ++i) {
        if (!painter.composite(i, true, tlOpacityFull)) return false;
    }
    return true;
}

// Orientation 2: rings around the centre of the radial gradient.
bool paintRings(tlRampPainter &painter, const tlPatternRamp &ramp, const tlRect &rect) {
    double cx, cy;
    rectCentre(rect, cx, cy);
    for (int32_t i = 0; i < painter.height(); ++i) {
        int32_t y = painter.pictureY(i);
        for (int32_t x = 0; x < painter.width(); ++x) {
            int64_t colour[4];
            if (ramp.flat()) {
                ramp.colourAt(0, colour);
            } else {
                ramp.colourAt(ramp.ringPosition(centreDistance(painter.pictureX(x), y, cx, cy)), colour);
            }
            painter.setAlpha(x, colour);
        }
        if (!painter.composite(i, true, tlOpacityFull)) return false;
    }
    return true;
}

}  // namespace

// Supported: RGB and gray, 8 and 16 bits; anything else, a shape outside
// 0..4 or a colour that cannot be converted paints nothing and succeeds.
bool tlGradientEffect::apply(const tlPicture &, tlPicture &destination, tlProgress *progress) {
    tlRampFormat f;
    tlRect rect;
    int64_t c1[4], c2[4];
    if (!rampFormat(destination, f) || shape < 0 || shape > 4) return true;
    if (!rampColour(colour1, f, c1) || !rampColour(colour2, f, c2)) return true;
    if (destination.isEmpty() || !destination.clippedWorkRect(rect)) return true;

    tlRampPainter painter(destination, rect, f, drawMode, progress);
    if (progress != nullptr) progress->begin(painter.height() - 1);
    if (!painter.allocate()) return false;
    switch (shape) {
    case 0: return paintRowRamp(painter, f, c1, c2, false);
    case 1: return paintColumnRamp(painter, f, c1, c2, false);
    case 2: return paintRadial(painter, f, rect, c1, c2);
    case 3: return paintRowRamp(painter, f, c1, c2, true);
    default: return paintColumnRamp(painter, f, c1, c2, true);
    }
}

// Supported: RGB 8-bit only; anything else, an orientation outside 0..2 or a
// colour that cannot be converted paints nothing and succeeds.
bool tlGradientPatternEffect::apply(const tlPicture &, tlPicture &destination, tlProgress *progress) {
    tlRampFormat f;
    tlRect rect;
    int64_t c1[4], c2[4];
    if (!rampFormat(destination, f) || f.pixel.model != tlColourModel::RGB || f.pixel.bits != 8) return true;
    if (orientation < 0 || orientation > 2) return true;
    if (!rampColour(colour1, f, c1) || !rampColour(colour2, f, c2)) return true;
    if (destination.isEmpty() || !destination.clippedWorkRect(rect)) return true;

    tlPatternRamp ramp(c1, c2, period, sawtooth != 0);
    tlRampPainter painter(destination, rect, f, drawMode, progress);
    if (progress != nullptr) progress->begin(painter.height() - 1);
    if (!painter.allocate()) return false;
    switch (orientation) {
    case 0: return paintBands(painter, ramp, c1, c2);
    case 1: return paintStripes(painter, ramp);
    default: return paintRings(painter, ramp, rect);
    }
}
