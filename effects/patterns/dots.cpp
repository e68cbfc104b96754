// Dot pattern effects: a regular lattice of round or square dots and dots
// scattered at random, both painted with the span painters.
#include "effects/patterns/dots.h"

#include <cmath>
#include <cstring>

#include "effects/core/random.h"
#include "imaging/blend.h"
#include "imaging/picture.h"

namespace {

// Random dots larger than this (and size jitters wider than this) are cut
// to it: without wrap every position up to dotSize − 1 pixels left of and
// above the picture draws a number, so an unbounded size would never end.
constexpr int64_t maxRandomDotSize = 2048;

// Geometry of one dot of size s: square, or round with r = (s − 1) / 2.
// Pixel (j, i) of a dot at (x, y) has dx = (j − x) − r, dy = (i − y) − r;
// a round dot covers dx² + dy² < r² + 0.5.
struct tlDotShape {
    int64_t size = 0;
    bool round = false;
    double r = 0.0;
    double limit = 0.0;  // r² + 0.5
};

tlDotShape makeShape(int64_t size, int32_t shapeParameter) {
    tlDotShape shape;
    shape.size = size;
    shape.round = shapeParameter == 0 && size >= 3;
    shape.r = static_cast<double>(size - 1) / 2.0;
    shape.limit = shape.r * shape.r + 0.5;
    return shape;
}

bool roundCovers(const tlDotShape &shape, int64_t column, double dy) {
    double dx = static_cast<double>(column) - shape.r;
    return dx * dx + dy * dy < shape.limit;
}

// The covered columns lo..hi (relative to the dot's left) of the dot's row t;
// false when the row covers nothing. A round dot is convex and symmetric
// about its centre column, so the run is found by a binary search on the left
// half and mirrored (t − r and (s − 1 − t) − r are exact negatives).
bool dotRowRun(const tlDotShape &shape, int64_t t, int64_t &lo, int64_t &hi) {
    if (!shape.round) {
        lo = 0;
        hi = shape.size - 1;
        return true;
    }
    double dy = static_cast<double>(t) - shape.r;
    int64_t middle = (shape.size - 1) / 2;
    if (!roundCovers(shape, middle, dy)) return false;
    int64_t first = 0;
    int64_t last = middle;  // covered
    while (first < last) {
        int64_t probe = first + (last - first) / 2;
        if (roundCovers(shape, probe, dy))
            last = probe;
        else
            first = probe + 1;
    }
    lo = first;
    hi = shape.size - 1 - first;
    return true;
}

// Everything a dot is painted with: the pictures, the rectangle it is
// clipped to, the painter and the colour pixel (alpha always present).
struct tlDotCanvas {
    const tlPicture *source = nullptr;
    tlPicture *destination = nullptr;
    tlRect rect;
    tlSpanPainter painter = nullptr;
    uint8_t colour[8] = {};
    int32_t bytesPerPixel = 0;
};

// Clipped runs: rows max(top, y) .. min(y + s, bottom) − 1, each row's
// covered run cut to left .. right − 1 and painted with one painter call.
void paintDotRuns(const tlDotCanvas &canvas, const tlDotShape &shape, int64_t x, int64_t y, const uint8_t *colour) {
    const tlRect &rect = canvas.rect;
    int64_t rowFirst = y > rect.top ? y : rect.top;
    int64_t rowEnd = y + shape.size < rect.bottom ? y + shape.size : rect.bottom;
    for (int64_t i = rowFirst; i < rowEnd; ++i) {
        int64_t lo = 0, hi = 0;
        if (!dotRowRun(shape, i - y, lo, hi)) continue;
        int64_t first = x + lo > rect.left ? x + lo : rect.left;
        int64_t last = x + hi < rect.right - 1 ? x + hi : rect.right - 1;
        if (first > last) continue;
        ptrdiff_t offset = static_cast<ptrdiff_t>(first) * canvas.bytesPerPixel;
        canvas.painter(canvas.destination->row(static_cast<int32_t>(i)) + offset,
                       canvas.source->row(static_cast<int32_t>(i)) + offset, static_cast<int32_t>(last - first + 1),
                       colour);
    }
}

// Soft-edged round dot (8-bit only), one painter call per pixel, with
// d = sqrt(dx² + dy²): d ≤ r − 0.5 full colour; r − 0.5 < d < r + 0.5 the
// colour with alpha trunc(a × ((r + 0.5) − d)); beyond nothing.
void paintSoftDot(const tlDotCanvas &canvas, const tlDotShape &shape, int64_t x, int64_t y) {
    const tlRect &rect = canvas.rect;
    int64_t rowFirst = y > rect.top ? y : rect.top;
    int64_t rowEnd = y + shape.size < rect.bottom ? y + shape.size : rect.bottom;
    int64_t columnFirst = x > rect.left ? x : rect.left;
    int64_t columnEnd = x + shape.size < rect.right ? x + shape.size : rect.right;
    double inner = shape.r - 0.5;
    double outer = shape.r + 0.5;
    uint8_t scaled[8];
    std::memcpy(scaled, canvas.colour, sizeof scaled);
    double alpha = static_cast<double>(canvas.colour[3]);
    for (int64_t i = rowFirst; i < rowEnd; ++i) {
        double dy = static_cast<double>(i - y) - shape.r;
        uint8_t *destinationRow = canvas.destination->row(static_cast<int32_t>(i));
        const uint8_t *sourceRow = canvas.source->row(static_cast<int32_t>(i));
        for (int64_t j = columnFirst; j < columnEnd; ++j) {
            double dx = static_cast<double>(j - x) - shape.r;
            double d = std::sqrt(dx * dx + dy * dy);
            if (d >= outer) continue;
            const uint8_t *colour = canvas.colour;
            if (d > inner) {
                scaled[3] = static_cast<uint8_t>(static_cast<int32_t>(alpha * (outer - d)));
                colour = scaled;
            }
            ptrdiff_t offset = static_cast<ptrdiff_t>(j) * canvas.bytesPerPixel;
            canvas.painter(destinationRow + offset, sourceRow + offset, 1, colour);
        }
    }
}

// Smallest k ≥ 0 with start + k × pitch ≥ low (pitch > 0): lattice positions
// before it lie wholly left of (above) the rectangle and are skipped.
int64_t firstStepFrom(int64_t start, int64_t pitch, int64_t low) {
    if (start >= low) return 0;
    return (low - start + pitch - 1) / pitch;
}

// One lattice row of dots at y, x = firstX, firstX + pitch, … while x < right.
void paintLatticeRow(const tlDotCanvas &canvas, const tlDotShape &shape, bool soft, int64_t firstX, int64_t pitch,
                     int64_t y) {
    if (y + shape.size <= canvas.rect.top) return;
    int64_t x = firstX + firstStepFrom(firstX, pitch, canvas.rect.left - shape.size + 1) * pitch;
    for (; x < canvas.rect.right; x += pitch) {
        if (soft)
            paintSoftDot(canvas, shape, x, y);
        else
            paintDotRuns(canvas, shape, x, y, canvas.colour);
    }
}

// Staggered row k: y_k = y0 + k × dotSize + (k × (gap − dotSize)) / 2,
// truncated toward zero, which stays within half a pixel of y0 + k × pitch / 2.
// Formed in 128 bits: k grows with the distance over half the pitch, so
// k × dotSize can pass 64 bits when dots overlap heavily.
int64_t staggeredRowY(int64_t y0, int64_t k, int64_t dotSize, int64_t gap) {
    __int128 wide = static_cast<__int128>(k) * dotSize + (static_cast<__int128>(k) * (gap - dotSize)) / 2;
    return static_cast<int64_t>(y0 + wide);
}

// Non-negative remainder, so −1 wraps to n − 1.
int64_t wrapIndex(int64_t v, int64_t n) {
    int64_t m = v % n;
    return m < 0 ? m + n : m;
}

// Wrapped random dot: every covered pixel (j, i) maps to ((j mod width),
// (i mod height)) and is painted in place, so a dot leaving one edge
// continues on the opposite one. Painting a pixel depends on that pixel
// alone, so each row's run is painted as the pieces between wrap points
// (a run longer than the width paints its columns again, as pixel by pixel).
void paintWrappedDot(const tlDotCanvas &canvas, const tlDotShape &shape, int64_t x, int64_t y, const uint8_t *colour) {
    tlPicture &picture = *canvas.destination;
    const tlRect &rect = canvas.rect;
    const int64_t width = picture.width;
    for (int64_t t = 0; t < shape.size; ++t) {
        int64_t lo = 0, hi = 0;
        if (!dotRowRun(shape, t, lo, hi)) continue;
        int64_t i = wrapIndex(y + t, picture.height);
        if (i < rect.top || i >= rect.bottom) continue;
        uint8_t *row = picture.row(static_cast<int32_t>(i));
        int64_t j = wrapIndex(x + lo, width);
        for (int64_t remaining = hi - lo + 1; remaining > 0;) {
            int64_t piece = remaining < width - j ? remaining : width - j;
            int64_t first = j > rect.left ? j : rect.left;
            int64_t end = j + piece < rect.right ? j + piece : rect.right;
            if (first < end) {
                uint8_t *run = row + static_cast<ptrdiff_t>(first) * canvas.bytesPerPixel;
                canvas.painter(run, run, static_cast<int32_t>(end - first), colour);
            }
            remaining -= piece;
            j = 0;
        }
    }
}

int64_t magnitude(int32_t v) { return v < 0 ? -static_cast<int64_t>(v) : static_cast<int64_t>(v); }

}  // namespace

// Lattice of pitch dotSize + gap from (left + offsetX, top + offsetY); with
// `staggered` rows lie about half a pitch apart and odd rows are shifted by
// about half a pitch. Only RGB pictures are painted; a pitch that is not
// positive paints nothing.
bool tlDotsEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *) {
    if (destination.isEmpty() || source.isEmpty() || destination.model != tlColourModel::RGB) return true;
    tlDotCanvas canvas;
    canvas.painter = spanPainter(destination.format());
    if (canvas.painter == nullptr || !destination.clippedWorkRect(canvas.rect)) return true;
    if (!colour.toPicturePixel(destination, canvas.colour)) return true;
    canvas.source = &source;
    canvas.destination = &destination;
    canvas.bytesPerPixel = destination.bytesPerPixel();

    int64_t size = dotSize;
    int64_t pitch = static_cast<int64_t>(dotSize) + gap;
    if (size <= 0 || pitch <= 0) return true;
    tlDotShape shape = makeShape(size, this->shape);
    bool soft = shape.round && antialias && destination.bits == 8;
    const tlRect &rect = canvas.rect;
    int64_t x0 = static_cast<int64_t>(rect.left) + offsetX;
    int64_t y0 = static_cast<int64_t>(rect.top) + offsetY;

    if (staggered == 0) {
        int64_t y = y0 + firstStepFrom(y0, pitch, rect.top - size + 1) * pitch;
        for (; y < rect.bottom; y += pitch) paintLatticeRow(canvas, shape, soft, x0, pitch, y);
        return true;
    }
    // Rows before kStart end at least half a pixel above the rectangle.
    int64_t kStart = 0;
    int64_t ahead = 2 * (rect.top - size - y0) - 1;
    if (ahead > 0) kStart = ahead / pitch;
    int64_t oddShift = size + (static_cast<int64_t>(gap) - size) / 2;
    for (int64_t k = kStart;; ++k) {
        int64_t y = staggeredRowY(y0, k, size, gap);
        if (y >= rect.bottom) break;
        paintLatticeRow(canvas, shape, soft, (k & 1) ? x0 + oddShift : x0, pitch, y);
    }
    return true;
}

// Every pixel position from (x0, y0) is a candidate: a dot falls there with
// chance density / (dotSize² × 100), with jittered size and alpha, painted
// over what earlier dots left. Only RGB 8-bit pictures are painted.
bool tlRandomDotsEffect::apply(const tlPicture &, tlPicture &destination, tlProgress *) {
    tlRandom &random = sharedRandom();
    random.seed(static_cast<uint32_t>(seed));
    if (destination.isEmpty() || destination.model != tlColourModel::RGB || destination.bits != 8) return true;
    tlDotCanvas canvas;
    canvas.painter = spanPainter(destination.format());
    if (canvas.painter == nullptr || !destination.clippedWorkRect(canvas.rect)) return true;
    if (!colour.toRGBA8(canvas.colour)) return true;
    canvas.source = &destination;
    canvas.destination = &destination;
    canvas.bytesPerPixel = destination.bytesPerPixel();
    const tlRect &rect = canvas.rect;

    int64_t size = dotSize < maxRandomDotSize ? dotSize : maxRandomDotSize;
    int64_t sizeSpread = magnitude(sizeJitter) < maxRandomDotSize ? magnitude(sizeJitter) : maxRandomDotSize;
    int64_t alphaSpread = magnitude(alphaJitter) < 0x7FFFFFFF ? magnitude(alphaJitter) : 0x7FFFFFFF;
    // The density test's range dotSize² × 100, saturated to the generator's range.
    uint64_t square = static_cast<uint64_t>(size * size);
    uint32_t chanceRange = square > 0xFFFFFFFFu / 100u ? 0xFFFFFFFFu : static_cast<uint32_t>(square * 100u);
    int64_t x0 = wrap ? 0 : rect.left - size + 1;
    int64_t y0 = wrap ? 0 : rect.top - size + 1;
    uint8_t working[8];
    std::memcpy(working, canvas.colour, sizeof working);

    for (int64_t y = y0; y < rect.bottom; ++y) {
        for (int64_t x = x0; x < rect.right; ++x) {
            if (static_cast<int64_t>(random.below(chanceRange)) >= density) continue;
            int64_t s = size;
            if (sizeSpread != 0) {
                s = s + random.below(static_cast<uint32_t>(2 * sizeSpread + 1)) - sizeSpread;
                if (s < 1) s = 1;
            }
            if (alphaSpread != 0) {
                int64_t a = canvas.colour[3] +
                            static_cast<int64_t>(random.below(static_cast<uint32_t>(2 * alphaSpread + 1))) -
                            alphaSpread;
                working[3] = static_cast<uint8_t>(a < 1 ? 1 : (a > 255 ? 255 : a));
            }
            if (!(rect.left < x + s && rect.top < y + s)) continue;
            tlDotShape shape = makeShape(s, this->shape);
            if (wrap)
                paintWrappedDot(canvas, shape, x, y, working);
            else
                paintDotRuns(canvas, shape, x, y, working);
        }
    }
    return true;
}
