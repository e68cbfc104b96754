// Pixelize, glass tile and negative filter effects: whole-pixel operations
// without neighbourhood statistics.
#include "effects/filters/tiles.h"

#include <cstring>

#include "effects/core/sampling.h"
#include "imaging/pixel_math.h"
#include "imaging/row_pool.h"

namespace {

// The flat colour of one cell, as a pixel of the picture's format.
// Without alpha: each channel = sum / (w × h). With alpha: S_A = sum of alpha;
// colour = sum(C × A) / S_A, alpha = S_A / (w × h); all 0 when S_A = 0.
// Sums are 64-bit: 8-bit colour × alpha passes 32 bits from 66052 pixels on.
template <int Bits>
void cellColour(const tlPicture &p, int32_t x0, int32_t y0, int32_t w, int32_t h, uint8_t *pixel) {
    const int32_t ch = p.channels, bpp = p.bytesPerPixel();
    const bool alpha = p.hasAlpha();
    const int32_t ai = ch - 1;
    uint64_t sums[4] = {0, 0, 0, 0};
    uint64_t sumA = 0;
    for (int32_t y = y0; y < y0 + h; ++y) {
        const uint8_t *s = p.row(y) + static_cast<ptrdiff_t>(x0) * bpp;
        for (int32_t x = 0; x < w; ++x, s += bpp) {
            if (!alpha) {
                for (int32_t c = 0; c < ch; ++c) sums[c] += readSample<Bits>(s, c);
                continue;
            }
            const uint64_t a = readSample<Bits>(s, ai);
            sumA += a;
            for (int32_t c = 0; c < ai; ++c) sums[c] += readSample<Bits>(s, c) * a;
        }
    }
    const uint64_t area = static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
    if (!alpha) {
        for (int32_t c = 0; c < ch; ++c) writeSample<Bits>(pixel, c, sums[c] / area);
        return;
    }
    for (int32_t c = 0; c < ai; ++c) writeSample<Bits>(pixel, c, sumA == 0 ? 0 : sums[c] / sumA);
    writeSample<Bits>(pixel, ai, sumA / area);
}

// Fills w × h pixels from (x0, y0) with one pixel: the first row pixel by
// pixel, the others as copies of it.
void fillCell(tlPicture &p, int32_t x0, int32_t y0, int32_t w, int32_t h, const uint8_t *pixel) {
    const int32_t bpp = p.bytesPerPixel();
    uint8_t *first = p.row(y0) + static_cast<ptrdiff_t>(x0) * bpp;
    for (int32_t x = 0; x < w; ++x) std::memcpy(first + static_cast<ptrdiff_t>(x) * bpp, pixel, bpp);
    const size_t bytes = static_cast<size_t>(w) * bpp;
    for (int32_t y = y0 + 1; y < y0 + h; ++y) std::memcpy(p.row(y) + static_cast<ptrdiff_t>(x0) * bpp, first, bytes);
}

}  // namespace

// Cells laid from the rectangle's top-left corner, the last ones of a row or
// column cut at its edge; each becomes the mean colour of its source pixels.
// Indexed pictures and cell sizes below 1 paint nothing and answer true.
bool tlPixelizeEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (source.model == tlColourModel::Indexed || cellWidth <= 0 || cellHeight <= 0) return true;
    if (progress != nullptr) progress->begin((area.bottom - area.top - 1) / cellHeight);
    // Cell rows are the units of the split; the last one may be cut.
    const int64_t rows = area.bottom - area.top;
    const int32_t cellRows = static_cast<int32_t>((rows + cellHeight - 1) / cellHeight);
    tlRowSplit split(cellRows, area.pixelCount());
    return split.run(progress, [&](int32_t first, int32_t end, tlRowSteps &steps) {
        uint8_t pixel[8];
        for (int32_t row = first; row < end; ++row) {
            // Cut sizes are at most what is left, so the positions never overflow.
            const int32_t y0 = static_cast<int32_t>(area.top + static_cast<int64_t>(row) * cellHeight);
            const int32_t h = area.bottom - y0 < cellHeight ? area.bottom - y0 : cellHeight;
            for (int32_t x0 = area.left; x0 < area.right;) {
                const int32_t w = area.right - x0 < cellWidth ? area.right - x0 : cellWidth;
                if (source.bits == 8)
                    cellColour<8>(source, x0, y0, w, h, pixel);
                else
                    cellColour<16>(source, x0, y0, w, h, pixel);
                fillCell(destination, x0, y0, w, h, pixel);
                x0 += w;
            }
            if (!steps.next()) return false;
        }
        return true;
    });
}

namespace {

// One axis of the glass tiles, walked incrementally: the offset from the tile
// centre grows by one per pixel; when it would reach half the tile size the
// centre moves on by one tile and the offset restarts at −half − odd. With a
// tile size of 1 (half 0) it never restarts: one tile centred on the edge.
struct tlTileAxis {
    int64_t centre;
    int64_t offset;
    int64_t size;
    int64_t half;
    int64_t odd;

    tlTileAxis(int32_t start, int32_t tileSize)
        : centre(start), offset(0), size(tileSize), half(tileSize / 2), odd(tileSize % 2) {}

    // The destination pixel at centre + offset reads centre + 2 × offset.
    int64_t source() const { return centre + 2 * offset; }

    void advance() {
        if (offset + 1 == half) {
            centre += size;
            offset = -half - odd;
        } else {
            ++offset;
        }
    }
};

// Copies Bytes bytes: a fixed size lets the compiler inline the copy.
template <int Bytes>
inline void copyPixel(uint8_t *d, const uint8_t *s) {
    std::memcpy(d, s, Bytes);
}

// One row of glass tiles from the source row already chosen for it. Source
// columns outside the picture wrap around it (seamless tiles) or clamp to the
// edge column.
template <int Bytes, bool Wrap>
void glassRow(uint8_t *out, const uint8_t *in, int32_t left, int32_t right, int32_t width, int32_t tileWidth) {
    tlTileAxis axis(left, tileWidth);
    for (int32_t x = left; x < right; ++x, axis.advance()) {
        const int32_t sx = Wrap ? wrapIndex(axis.source(), width) : clampIndex(axis.source(), width);
        copyPixel<Bytes>(out + static_cast<ptrdiff_t>(x) * Bytes, in + static_cast<ptrdiff_t>(sx) * Bytes);
    }
}

typedef void (*tlGlassRowFunction)(uint8_t *, const uint8_t *, int32_t, int32_t, int32_t, int32_t);

template <bool Wrap>
tlGlassRowFunction glassRowFor(int32_t bytesPerPixel) {
    switch (bytesPerPixel) {
    case 1: return glassRow<1, Wrap>;
    case 2: return glassRow<2, Wrap>;
    case 3: return glassRow<3, Wrap>;
    case 4: return glassRow<4, Wrap>;
    case 6: return glassRow<6, Wrap>;
    case 8: return glassRow<8, Wrap>;
    default: return nullptr;
    }
}

}  // namespace

// Destination (x, y) in the tile of centre (cx, cy) receives the source pixel
// at (cx + 2 × (x − cx), cy + 2 × (y − cy)), copied byte for byte. Tile sizes
// below 1 paint nothing and answer true.
bool tlGlassTileEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (tileWidth <= 0 || tileHeight <= 0) return true;
    const int32_t bpp = source.bytesPerPixel();
    tlGlassRowFunction rowFunction = wrap ? glassRowFor<true>(bpp) : glassRowFor<false>(bpp);
    if (rowFunction == nullptr) return false;
    if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
    tlRowSplit split(area.bottom - area.top, area.pixelCount());
    return split.run(progress, [&](int32_t first, int32_t end, tlRowSteps &steps) {
        // The row axis walked from the top to the band's first row: the same
        // centre and offset the rows above would have left.
        tlTileAxis rows(area.top, tileHeight);
        for (int32_t i = 0; i < first; ++i) rows.advance();
        for (int32_t y = area.top + first; y < area.top + end; ++y, rows.advance()) {
            const int32_t sy = wrap ? wrapIndex(rows.source(), source.height)
                                    : clampIndex(rows.source(), source.height);
            rowFunction(destination.row(y), source.row(sy), area.left, area.right, source.width, tileWidth);
            if (!steps.next()) return false;
        }
        return true;
    });
}

// Colour channels become their complement (255 − v, 65535 − v: the bitwise
// complement of every byte), alpha is copied. Without alpha every byte of
// the rectangle's rows is complemented, indices of indexed pictures too;
// indexed pictures with alpha are left alone. Source and destination may be
// the same picture.
bool tlNegativeEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    const bool alpha = source.hasAlpha();
    if (alpha && source.model == tlColourModel::Indexed) return true;
    const int32_t bpp = source.bytesPerPixel();
    const int32_t alphaBytes = alpha ? source.bits / 8 : 0;
    const int32_t colourBytes = bpp - alphaBytes;
    const size_t first = static_cast<size_t>(area.left) * bpp;
    const size_t bytes = static_cast<size_t>(area.right - area.left) * bpp;
    if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const uint8_t *in = source.row(y) + first;
        uint8_t *out = destination.row(y) + first;
        if (!alpha) {
            for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(~in[i]);
        } else {
            for (size_t i = 0; i < bytes; i += bpp) {
                for (int32_t b = 0; b < colourBytes; ++b) out[i + b] = static_cast<uint8_t>(~in[i + b]);
                for (int32_t b = colourBytes; b < bpp; ++b) out[i + b] = in[i + b];
            }
        }
        if (progress != nullptr && !progress->step()) return false;
    }
    return true;
}
