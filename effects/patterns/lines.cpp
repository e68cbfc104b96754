// Line, grid and checker pattern effects: runs of one colour laid over the
// source at regular steps, and a checkerboard of two colours.
#include "effects/patterns/lines.h"

#include <type_traits>

#include "imaging/blend.h"
#include "imaging/pixel_math.h"

namespace {

// The effects read each pixel from the source and write the same position of
// the destination, so both must have one size and format.
bool sameLayout(const tlPicture &a, const tlPicture &b) {
    return a.store != nullptr && b.store != nullptr && a.width == b.width && a.height == b.height &&
           a.format() == b.format();
}

// Lays the effect's colour over runs of the source with the format's span
// painter. Edge rule: every run is clipped to the rectangle; a run that ends
// up empty paints nothing. Each painted pixel depends only on the source
// pixel, so runs that overlap give the same bytes as painting once.
class tlRunPainter {
public:
    tlRunPainter(const tlPicture &source, tlPicture &destination, const tlRect &rect)
        : source(source), destination(destination), rect(rect) {}

    // False when the format has no span painter (indexed) or the colour has
    // no pixel in it.
    bool prepare(const tlColour &colour) {
        painter = spanPainter(destination.format());
        return painter != nullptr && colour.toPicturePixel(destination, colourPixel);
    }

    // The run [x, x + n) of row y, clipped.
    void paintRun(int64_t y, int64_t x, int64_t n) {
        int64_t x0 = x < rect.left ? rect.left : x;
        int64_t x1 = x + n > rect.right ? rect.right : x + n;
        if (y < rect.top || y >= rect.bottom || x0 >= x1) return;
        int32_t px = static_cast<int32_t>(x0), py = static_cast<int32_t>(y);
        painter(destination.pixelAddress(px, py), source.pixelAddress(px, py), static_cast<int32_t>(x1 - x0),
                colourPixel);
    }
    void paintRow(int64_t y) { paintRun(y, rect.left, static_cast<int64_t>(rect.right) - rect.left); }

    // Runs [x, x + n) for x = first, first + step, … while x < right; step > 0.
    // Runs that lie wholly left of the rectangle are skipped in one jump: the
    // first run kept starts at or left of the edge and, clipped, covers every
    // skipped run's clipped part.
    void paintRepeated(int64_t y, int64_t first, int64_t n, int64_t step) {
        int64_t x = first;
        if (x < rect.left) x += (rect.left - x) / step * step;
        for (; x < rect.right; x += step) paintRun(y, x, n);
    }

private:
    const tlPicture &source;
    tlPicture &destination;
    tlRect rect;
    tlSpanPainter painter = nullptr;
    uint8_t colourPixel[8] = {};
};

// A total for tlProgress::begin, which takes 32 bits.
int32_t progressTotal(int64_t v) { return static_cast<int32_t>(clampRange(v, INT32_MIN, INT32_MAX)); }

}  // namespace

// Lines lineWidth wide, one every lineWidth + gap pixels from offset. A
// width or step that is not positive paints nothing (the step could never
// advance). Lines starting above or left of the rectangle are clipped.
bool tlParallelLinesEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect r;
    if (!sameLayout(source, destination)) return false;
    if (!destination.clippedWorkRect(r)) return true;
    tlRunPainter runs(source, destination, r);
    const int64_t step = static_cast<int64_t>(lineWidth) + gap;
    if (!runs.prepare(colour) || lineWidth <= 0 || step <= 0) return true;

    if (vertical != 0) {
        if (progress != nullptr) progress->begin(r.bottom - r.top - 1);
        for (int32_t y = r.top; y < r.bottom; ++y) {
            runs.paintRepeated(y, static_cast<int64_t>(r.left) + offset, lineWidth, step);
            if (progress != nullptr && !progress->step()) return false;
        }
        return true;
    }

    // Horizontal: groups of lineWidth rows starting at top + offset + k × step.
    // Groups wholly above the rectangle are skipped and not counted.
    int64_t y = static_cast<int64_t>(r.top) + offset;
    if (y < r.top) y += (r.top - y) / step * step;
    if (progress != nullptr) progress->begin(progressTotal((r.bottom - y - 1) / step));
    for (; y < r.bottom; y += step) {
        for (int64_t row = y; row < y + lineWidth && row < r.bottom; ++row) runs.paintRow(row);
        if (progress != nullptr && !progress->step()) return false;
    }
    return true;
}

// Line rows are painted across the rectangle; gap rows carry only the
// vertical segments, lineWidth wide every lineWidth + gapX pixels from
// offsetX. Rows run: offsetY gap rows (when positive), then groups of
// lineWidth line rows and gapY gap rows. A width or a step (lineWidth + gapX,
// lineWidth + gapY) that is not positive paints nothing.
bool tlGridEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *) {
    tlRect r;
    if (!sameLayout(source, destination)) return false;
    if (!destination.clippedWorkRect(r)) return true;
    tlRunPainter runs(source, destination, r);
    const int64_t stepX = static_cast<int64_t>(lineWidth) + gapX;
    const int64_t stepY = static_cast<int64_t>(lineWidth) + gapY;
    if (!runs.prepare(colour) || lineWidth <= 0 || stepX <= 0 || stepY <= 0) return true;

    const int64_t leading = offsetY > 0 ? offsetY : 0;
    const int64_t group = static_cast<int64_t>(lineWidth) + (gapY > 0 ? gapY : 0);
    const int64_t firstX = static_cast<int64_t>(r.left) + offsetX;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        int64_t i = static_cast<int64_t>(y) - r.top;
        if (i >= leading && (i - leading) % group < lineWidth) {
            runs.paintRow(y);
        } else {
            runs.paintRepeated(y, firstX, lineWidth, stepX);
        }
    }
    return true;
}

namespace {

// A checker colour on the picture's scale M (255 or 65535) with alpha A:
// its colour channels premultiplied (C × A), M − A and A.
struct tlCellColour {
    uint64_t premultiplied[3] = {};
    uint64_t inverse = 0;
    uint64_t alpha = 0;
};

// Lays a cell colour over n source pixels, written to dst:
//   without alpha: channel = (S × (M − A) + C × A) / M;
//   with alpha:    channel = ((M − A) × (S.A × S) / M + C × A) / M,
//                  alpha = A × (M − S.A) / M + S.A;
// integer division throughout. A = M overwrites with C (and alpha M); A = 0
// keeps a 3-channel source and multiplies a 4-channel one by S.A / M. These
// are the span painters' formulas, inlined per format.
template <int K, bool HasAlpha, int Bytes>
void paintCell(uint8_t *dst, const uint8_t *src, int32_t n, const tlCellColour &c) {
    using Wide = typename std::conditional<Bytes == 1, uint32_t, uint64_t>::type;
    constexpr Wide M = Bytes == 1 ? 255 : 65535;
    constexpr int pixelBytes = (K + (HasAlpha ? 1 : 0)) * Bytes;
    auto get = [](const uint8_t *p, int i) -> Wide { return readSample<Bytes * 8>(p, i); };
    auto set = [](uint8_t *p, int i, Wide v) { writeSample<Bytes * 8>(p, i, static_cast<uint32_t>(v)); };
    const Wide inverse = static_cast<Wide>(c.inverse), alpha = static_cast<Wide>(c.alpha);
    for (; n > 0; --n, dst += pixelBytes, src += pixelBytes) {
        if (HasAlpha) {
            Wide sa = get(src, K);
            for (int k = 0; k < K; ++k) {
                set(dst, k, (inverse * (sa * get(src, k)) / M + static_cast<Wide>(c.premultiplied[k])) / M);
            }
            set(dst, K, alpha * (M - sa) / M + sa);
        } else {
            for (int k = 0; k < K; ++k)
                set(dst, k, (get(src, k) * inverse + static_cast<Wide>(c.premultiplied[k])) / M);
        }
    }
}

typedef void (*tlCellFunction)(uint8_t *dst, const uint8_t *src, int32_t n, const tlCellColour &c);

// The cell loop for RGB or gray at 8 or 16 bits; null for anything else.
tlCellFunction cellFunction(const tlPicture &p) {
    if (!p.format().isValid() || p.model == tlColourModel::Indexed) return nullptr;
    bool alpha = p.hasAlpha();
    if (p.model == tlColourModel::RGB && p.bits == 8) return alpha ? paintCell<3, true, 1> : paintCell<3, false, 1>;
    if (p.model == tlColourModel::RGB) return alpha ? paintCell<3, true, 2> : paintCell<3, false, 2>;
    if (p.bits == 8) return alpha ? paintCell<1, true, 1> : paintCell<1, false, 1>;
    return alpha ? paintCell<1, true, 2> : paintCell<1, false, 2>;
}

// Converts a colour to the picture's scale and premultiplies it once.
bool cellColour(const tlColour &colour, const tlPicture &p, tlCellColour &out) {
    uint64_t s[4] = {};
    int32_t k = p.format().colourChannels();
    bool ok;
    if (p.model == tlColourModel::RGB && p.bits == 8) {
        uint8_t v[4];
        ok = colour.toRGBA8(v);
        for (int32_t i = 0; i < 4; ++i) s[i] = v[i];
    } else if (p.model == tlColourModel::RGB) {
        uint16_t v[4];
        ok = colour.toRGBA16(v);
        for (int32_t i = 0; i < 4; ++i) s[i] = v[i];
    } else if (p.bits == 8) {
        uint8_t v[2];
        ok = colour.toGrayAlpha8(v);
        s[0] = v[0], s[1] = v[1];
    } else {
        uint16_t v[2];
        ok = colour.toGrayAlpha16(v);
        s[0] = v[0], s[1] = v[1];
    }
    const uint64_t m = p.bits == 8 ? 255 : 65535;
    out.alpha = s[k];
    out.inverse = m - s[k];
    for (int32_t i = 0; i < k; ++i) out.premultiplied[i] = s[i] * s[k];
    return ok;
}

}  // namespace

// Bands of cellHeight rows from the top, cut into cells of cellWidth columns
// from the left (the last ones may be smaller); band b, column c takes
// colour1 when b + c is even. A cell size that is not positive paints nothing.
bool tlCheckerEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect r;
    tlCellColour colours[2];
    if (!sameLayout(source, destination)) return false;
    tlCellFunction paint = cellFunction(destination);
    if (paint == nullptr || cellWidth <= 0 || cellHeight <= 0) return true;
    if (!cellColour(colour1, destination, colours[0]) || !cellColour(colour2, destination, colours[1])) return true;
    if (!destination.clippedWorkRect(r)) return true;

    if (progress != nullptr) progress->begin((r.bottom - r.top - 1) / cellHeight);
    int64_t band = 0;
    for (int64_t y0 = r.top; y0 < r.bottom; y0 += cellHeight, ++band) {
        for (int64_t y = y0; y < y0 + cellHeight && y < r.bottom; ++y) {
            int64_t column = 0;
            for (int64_t x0 = r.left; x0 < r.right; x0 += cellWidth, ++column) {
                int64_t x1 = x0 + cellWidth < r.right ? x0 + cellWidth : r.right;
                int32_t px = static_cast<int32_t>(x0), py = static_cast<int32_t>(y);
                paint(destination.pixelAddress(px, py), source.pixelAddress(px, py), static_cast<int32_t>(x1 - x0),
                      colours[(band + column) & 1]);
            }
        }
        if (progress != nullptr && !progress->step()) return false;
    }
    return true;
}
