// convertRow: translates a run of pixels between any two picture formats,
// one row function per (destination, source) model-and-depth pair.
#include "imaging/picture.h"

#include <cstring>

#include "imaging/pixel_math.h"

namespace {

// Gray from R, G, B read on the source's scale:
//   8 -> 8:   (77 R + 151 G + 28 B) >> 8
//   16 -> 8:  (77 R + 151 G + 28 B) >> 16
//   16 -> 16: (77 R + 151 G + 28 B) >> 8
//   8 -> 16:  (19672 R + 38621 G + 7500 B) >> 8
template <int SB, int DB>
inline uint32_t grayOf(uint32_t r, uint32_t g, uint32_t b) {
    if (SB == 8 && DB == 16) return (19672 * r + 38621 * g + 7500 * b) >> 8;
    uint32_t sum = 77 * r + 151 * g + 28 * b;
    return (SB == 16 && DB == 8) ? sum >> 16 : sum >> 8;
}

// Alpha of a source pixel whose alpha sample (if any) sits at index ai,
// already on the destination scale.
template <int SB, int DB>
inline uint32_t alphaOf(const uint8_t *s, bool has, int32_t ai) {
    return has ? changeDepth<SB, DB>(readSample<SB>(s, ai)) : sampleMax<DB>();
}

// Every row function has this shape; pal is a 256-entry R, G, B, 0 table for
// indexed sources and unused otherwise.
using RowFn = void (*)(uint8_t *d, int32_t dch, const uint8_t *s, int32_t sch, const uint8_t *pal, int32_t n);

template <int DB, int SB>
void rgbFromRgb(uint8_t *d, int32_t dch, const uint8_t *s, int32_t sch, const uint8_t *, int32_t n) {
    const bool sa = (sch & 1) == 0, da = (dch & 1) == 0;
    for (int32_t i = 0; i < n; ++i, s += sch * SB / 8, d += dch * DB / 8) {
        for (int32_t c = 0; c < 3; ++c) writeSample<DB>(d, c, changeDepth<SB, DB>(readSample<SB>(s, c)));
        if (da) writeSample<DB>(d, 3, alphaOf<SB, DB>(s, sa, 3));
    }
}

template <int DB, int SB>
void grayFromRgb(uint8_t *d, int32_t dch, const uint8_t *s, int32_t sch, const uint8_t *, int32_t n) {
    const bool sa = (sch & 1) == 0, da = (dch & 1) == 0;
    for (int32_t i = 0; i < n; ++i, s += sch * SB / 8, d += dch * DB / 8) {
        writeSample<DB>(d, 0, grayOf<SB, DB>(readSample<SB>(s, 0), readSample<SB>(s, 1), readSample<SB>(s, 2)));
        if (da) writeSample<DB>(d, 1, alphaOf<SB, DB>(s, sa, 3));
    }
}

template <int DB, int SB>
void rgbFromGray(uint8_t *d, int32_t dch, const uint8_t *s, int32_t sch, const uint8_t *, int32_t n) {
    const bool sa = (sch & 1) == 0, da = (dch & 1) == 0;
    for (int32_t i = 0; i < n; ++i, s += sch * SB / 8, d += dch * DB / 8) {
        uint32_t y = changeDepth<SB, DB>(readSample<SB>(s, 0));
        writeSample<DB>(d, 0, y);
        writeSample<DB>(d, 1, y);
        writeSample<DB>(d, 2, y);
        if (da) writeSample<DB>(d, 3, alphaOf<SB, DB>(s, sa, 1));
    }
}

template <int DB, int SB>
void grayFromGray(uint8_t *d, int32_t dch, const uint8_t *s, int32_t sch, const uint8_t *, int32_t n) {
    const bool sa = (sch & 1) == 0, da = (dch & 1) == 0;
    for (int32_t i = 0; i < n; ++i, s += sch * SB / 8, d += dch * DB / 8) {
        writeSample<DB>(d, 0, changeDepth<SB, DB>(readSample<SB>(s, 0)));
        if (da) writeSample<DB>(d, 1, alphaOf<SB, DB>(s, sa, 1));
    }
}

template <int DB, int SB>
void rgbFromIndexed(uint8_t *d, int32_t dch, const uint8_t *s, int32_t sch, const uint8_t *pal, int32_t n) {
    const bool sa = (sch & 1) == 0, da = (dch & 1) == 0;
    for (int32_t i = 0; i < n; ++i, s += sch, d += dch * DB / 8) {
        const uint8_t *e = pal + static_cast<size_t>(s[0]) * 4;
        for (int32_t c = 0; c < 3; ++c) writeSample<DB>(d, c, changeDepth<8, DB>(e[c]));
        if (da) writeSample<DB>(d, 3, alphaOf<8, DB>(s, sa, 1));
    }
}

// Palette entries are 8-bit, so the 8-bit-source gray formulas apply. Long
// runs look the gray value up in a table built once per call; short ones
// compute it per pixel. Both give the same values.
template <int DB, int SB>
void grayFromIndexed(uint8_t *d, int32_t dch, const uint8_t *s, int32_t sch, const uint8_t *pal, int32_t n) {
    const bool sa = (sch & 1) == 0, da = (dch & 1) == 0;
    uint32_t table[256];
    const bool useTable = n > 256;
    if (useTable) {
        for (int32_t k = 0; k < 256; ++k) table[k] = grayOf<8, DB>(pal[4 * k], pal[4 * k + 1], pal[4 * k + 2]);
    }
    for (int32_t i = 0; i < n; ++i, s += sch, d += dch * DB / 8) {
        const uint8_t *e = pal + static_cast<size_t>(s[0]) * 4;
        writeSample<DB>(d, 0, useTable ? table[s[0]] : grayOf<8, DB>(e[0], e[1], e[2]));
        if (da) writeSample<DB>(d, 1, alphaOf<8, DB>(s, sa, 1));
    }
}

template <int DB, int SB>
void indexedFromIndexed(uint8_t *d, int32_t dch, const uint8_t *s, int32_t sch, const uint8_t *, int32_t n) {
    const bool sa = (sch & 1) == 0, da = (dch & 1) == 0;
    for (int32_t i = 0; i < n; ++i, s += sch, d += dch) {
        d[0] = s[0];
        if (da) d[1] = sa ? s[1] : 255;
    }
}

// Format kinds, the row and column index of the table below.
enum { kRgb8, kRgb16, kGray8, kGray16, kIndexed8, kKinds };

int32_t kindOf(tlPixelFormat f) { return static_cast<int32_t>(f.model) * 2 + (f.bits == 16 ? 1 : 0); }

// [destination kind][source kind]; null where nothing is written (every
// non-indexed source into an indexed destination).
const RowFn kRowFns[kKinds][kKinds] = {
    {rgbFromRgb<8, 8>, rgbFromRgb<8, 16>, rgbFromGray<8, 8>, rgbFromGray<8, 16>, rgbFromIndexed<8, 8>},
    {rgbFromRgb<16, 8>, rgbFromRgb<16, 16>, rgbFromGray<16, 8>, rgbFromGray<16, 16>, rgbFromIndexed<16, 8>},
    {grayFromRgb<8, 8>, grayFromRgb<8, 16>, grayFromGray<8, 8>, grayFromGray<8, 16>, grayFromIndexed<8, 8>},
    {grayFromRgb<16, 8>, grayFromRgb<16, 16>, grayFromGray<16, 8>, grayFromGray<16, 16>, grayFromIndexed<16, 8>},
    {nullptr, nullptr, nullptr, nullptr, indexedFromIndexed<8, 8>},
};

}  // namespace

void convertRow(uint8_t *dst, tlPixelFormat dstFormat, const uint8_t *src, tlPixelFormat srcFormat,
                const tlPalette *srcPalette, int32_t n) {
    if (n <= 0 || !dstFormat.isValid() || !srcFormat.isValid()) return;
    if (dstFormat == srcFormat) {
        // memmove: copyFrom may shift a block within one row of one picture.
        std::memmove(dst, src, static_cast<size_t>(n) * static_cast<size_t>(srcFormat.bytesPerPixel()));
        return;
    }
    RowFn fn = kRowFns[kindOf(dstFormat)][kindOf(srcFormat)];
    if (fn == nullptr) return;
    // An index is never checked against the palette size, so a missing or
    // short palette is read through a full 256-entry copy (black beyond it).
    uint8_t padded[256 * 4];
    const uint8_t *pal = nullptr;
    if (srcFormat.model == tlColourModel::Indexed) {
        if (srcPalette != nullptr && srcPalette->entries != nullptr && srcPalette->count >= 256) {
            pal = srcPalette->entries;
        } else {
            std::memset(padded, 0, sizeof padded);
            if (srcPalette != nullptr && srcPalette->entries != nullptr && srcPalette->count > 0)
                std::memcpy(padded, srcPalette->entries, static_cast<size_t>(srcPalette->count) * 4);
            pal = padded;
        }
    }
    fn(dst, dstFormat.channels, src, srcFormat.channels, pal, n);
}
