// Median filter effect: the pixel of median brightness in a square window.
// (Minimum and maximum live in rank_extremes.cpp.)
#include "effects/filters/rank.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "effects/core/sampling.h"
#include "effects/filters/rank_median_fast.h"
#include "imaging/pixel_math.h"
#include "imaging/row_pool.h"

namespace {

// Windows of more positions than this are refused (apply answers false): the
// entry arrays would not fit memory and the work per pixel would not end.
const int64_t kMaxMedianWindow = int64_t(1) << 22;

// The positions one window reaches along an axis of n pixels around v.
// Wrapped: all 2r + 1 positions v − r .. v + r, each taken modulo n (a radius
// beyond the picture visits pixels more than once). Clipped: only those
// inside 0 .. n − 1.
struct tlAxisSpan {
    int64_t first;
    int64_t count;
};

inline tlAxisSpan axisSpan(int64_t v, int64_t r, int32_t n, bool wrap) {
    if (wrap) return tlAxisSpan{v - r, 2 * r + 1};
    const int64_t a = v - r < 0 ? 0 : v - r;
    const int64_t b = v + r > n - 1 ? n - 1 : v + r;
    return tlAxisSpan{a, b - a + 1};
}

inline int32_t axisIndex(int64_t p, int32_t n, bool wrap) { return wrap ? wrapIndex(p, n) : static_cast<int32_t>(p); }

// Positions per window along an axis of n pixels (the widest span).
inline int64_t axisReach(int64_t r, int32_t n, bool wrap) { return wrap || 2 * r + 1 < n ? 2 * r + 1 : n; }

// ---- Exact selection (RGB 16-bit, where different colours share keys) ----

struct tlRankEntry {
    uint32_t key;
    const uint8_t *pixel;
};

inline void orderPair(tlRankEntry *a, int32_t i, int32_t j) {
    if (a[i].key > a[j].key) std::swap(a[i], a[j]);
}

// Quickselect with median-of-three pivoting, comparing keys and swapping whole
// entries. Which of several equal keys ends at k is decided by this exact
// sequence of swaps, so it must not be replaced by another selection.
void selectRank(tlRankEntry *a, int32_t n, int32_t k) {
    int32_t l = 0, r = n - 1;
    for (;;) {
        if (r <= l) return;
        if (r == l + 1) {
            orderPair(a, l, r);
            return;
        }
        const int32_t m = (l + r) / 2;
        orderPair(a, m, r);
        orderPair(a, l, r);
        orderPair(a, m, l);
        std::swap(a[m], a[l + 1]);
        const uint32_t p = a[l].key;
        int32_t i = l + 1, j = r;
        for (;;) {
            do ++i;
            while (a[i].key < p);
            do --j;
            while (a[j].key > p);
            if (j < i) break;
            std::swap(a[i], a[j]);
        }
        std::swap(a[l], a[j]);
        if (j <= k) l = i;
        if (j >= k) r = j - 1;
    }
}

// RGB 16-bit key: 19596 R + 38470 G + 7471 B (white is 0xFFFFFFFF).
inline uint32_t key16(const uint8_t *p) { return 19596u * load16(p) + 38470u * load16(p + 2) + 7471u * load16(p + 4); }

// RGB 16-bit median: counted pixels in visiting order (rows from the top, each
// left to right), the entry of rank (n − 1) / 2 selected, its R, G, B copied.
bool medianSelect(const tlPicture &source, tlPicture &destination, const tlRect &area, int64_t r, bool wrap,
                  tlProgress *progress) {
    const int64_t capacity = axisReach(r, source.height, wrap) * axisReach(r, source.width, wrap);
    tlRowSplit split(area.bottom - area.top, area.pixelCount());
    const size_t perWorker = tlWorkerStride<tlRankEntry>(static_cast<size_t>(capacity));
    tlRankEntry *allEntries = new (std::nothrow) tlRankEntry[perWorker * static_cast<size_t>(split.workers())];
    if (allEntries == nullptr) return false;
    const bool alpha = source.hasAlpha();
    const int32_t bpp = source.bytesPerPixel();
    const bool done = split.run(progress, [&](int32_t first, int32_t end, tlRowSteps &steps) {
        tlRankEntry *entries = allEntries + perWorker * static_cast<size_t>(steps.worker());
        for (int32_t y = area.top + first; y < area.top + end; ++y) {
            const tlAxisSpan rows = axisSpan(y, r, source.height, wrap);
            for (int32_t x = area.left; x < area.right; ++x) {
                const tlAxisSpan cols = axisSpan(x, r, source.width, wrap);
                int32_t n = 0;
                for (int64_t i = 0; i < rows.count; ++i) {
                    const uint8_t *line = source.row(axisIndex(rows.first + i, source.height, wrap));
                    for (int64_t j = 0; j < cols.count; ++j) {
                        const uint8_t *p = line +
                                           static_cast<ptrdiff_t>(axisIndex(cols.first + j, source.width, wrap)) * bpp;
                        if (alpha && load16(p + 6) == 0) continue;
                        entries[n].key = key16(p);
                        entries[n].pixel = p;
                        ++n;
                    }
                }
                if (n == 0) continue;
                const int32_t k = (n - 1) / 2;
                selectRank(entries, n, k);
                std::memcpy(destination.pixelAddress(x, y), entries[k].pixel, 6);
            }
            if (!steps.next()) return false;
        }
        return true;
    });
    delete[] allEntries;
    return done;
}

// ---- Sorted sliding window (RGB 8-bit and gray) ----
//
// Here equal keys always mean equal output: the gray key is the value itself,
// and the RGB 8-bit key 5036060 R + 9886846 G + 1920103 B takes a different
// value for each of the 2^24 colours. So the entry of rank k is the same for
// any correct selection, and the window can be kept as a sorted multiset
// that slides one column at a time: the leaving column's sorted list is
// removed and the entering one merged in a single pass.

enum tlMedianKind { kMedianRgb8, kMedianGray8, kMedianGray16 };

// Sortable value of one pixel: the key, with R, G, B below it for RGB.
// False for an uncounted pixel (alpha 0).
template <int Kind, bool Alpha>
inline bool medianValue(const uint8_t *p, uint64_t &v) {
    if (Kind == kMedianRgb8) {
        if (Alpha && p[3] == 0) return false;
        const uint32_t key = 5036060u * p[0] + 9886846u * p[1] + 1920103u * p[2];
        v = (static_cast<uint64_t>(key) << 24) | (static_cast<uint32_t>(p[0]) << 16) |
            (static_cast<uint32_t>(p[1]) << 8) | p[2];
        return true;
    }
    if (Kind == kMedianGray8) {
        if (Alpha && p[1] == 0) return false;
        v = p[0];
        return true;
    }
    if (Alpha && load16(p + 2) == 0) return false;
    v = load16(p);
    return true;
}

template <int Kind>
inline void writeMedian(uint8_t *p, uint64_t v) {
    if (Kind == kMedianRgb8) {
        p[0] = static_cast<uint8_t>(v >> 16);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v);
    } else if (Kind == kMedianGray8) {
        p[0] = static_cast<uint8_t>(v);
    } else {
        store16(p, static_cast<uint32_t>(v));
    }
}

inline void sortSmall(uint64_t *a, int32_t n) {
    if (n > 16) {
        std::sort(a, a + n);
        return;
    }
    for (int32_t i = 1; i < n; ++i) {
        const uint64_t v = a[i];
        int32_t j = i;
        for (; j > 0 && a[j - 1] > v; --j) a[j] = a[j - 1];
        a[j] = v;
    }
}

// Above every sortable value (those use at most 56 bits): ends each list,
// so the loops below need no bounds tests.
const uint64_t kEnd = ~uint64_t(0);

// out = (window − leaving) + entering, all sorted, leaving part of window,
// leaving and entering ended by kEnd. Written without branches on the
// values (random pictures would mispredict every other step); window is
// reused as scratch and needs one spare entry.
int32_t slideWindow(uint64_t *window, int32_t n, const uint64_t *leaving, const uint64_t *entering, int32_t ne,
                    uint64_t *out) {
    int32_t kept = 0, j = 0;
    for (int32_t i = 0; i < n; ++i) {
        const uint64_t v = window[i];
        const int32_t drop = v == leaving[j];
        window[kept] = v;
        kept += 1 - drop;
        j += drop;
    }
    window[kept] = kEnd;
    const int32_t total = kept + ne;
    int32_t i = 0, k = 0;
    for (int32_t o = 0; o < total; ++o) {
        const uint64_t a = window[i], b = entering[k];
        const int32_t first = a <= b;
        out[o] = first ? a : b;
        i += first;
        k += 1 - first;
    }
    return total;
}

// Working storage of the sorted window: one sorted list per window column
// (a ring indexed by position), the window itself twice (before and after a
// slide) and the entering column's list.
struct tlMedianBuffers {
    int64_t slots = 0;   // columns per window
    int64_t height = 0;  // positions per column list
    int32_t *rows = nullptr;
    uint64_t *lists = nullptr;
    int32_t *listCount = nullptr;
    uint64_t *window = nullptr;
    uint64_t *next = nullptr;
    uint64_t *fresh = nullptr;  // the entering column's list

    bool allocate(int64_t s, int64_t h) {
        slots = s;
        height = h;
        rows = new (std::nothrow) int32_t[static_cast<size_t>(h)];
        lists = new (std::nothrow) uint64_t[static_cast<size_t>(s * (h + 1))];
        listCount = new (std::nothrow) int32_t[static_cast<size_t>(s)];
        window = new (std::nothrow) uint64_t[static_cast<size_t>(s * h + 1)];
        next = new (std::nothrow) uint64_t[static_cast<size_t>(s * h + 1)];
        fresh = new (std::nothrow) uint64_t[static_cast<size_t>(h + 1)];
        return rows != nullptr && lists != nullptr && listCount != nullptr && window != nullptr && next != nullptr &&
               fresh != nullptr;
    }
    ~tlMedianBuffers() {
        delete[] rows;
        delete[] lists;
        delete[] listCount;
        delete[] window;
        delete[] next;
        delete[] fresh;
    }
};

// Slot of window position p (p ≥ −r): positions 2r + 1 apart share a slot,
// and so do clipped columns, which are at most `slots` apart.
inline int64_t slotOf(int64_t p, int64_t r, int64_t slots) { return (p + r) % slots; }

// Sorted list of the counted pixels of column c over the rows of the window,
// ended by kEnd.
template <int Kind, bool Alpha>
int32_t columnList(const tlPicture &source, const int32_t *rows, int32_t nRows, int32_t c, uint64_t *list) {
    const ptrdiff_t offset = static_cast<ptrdiff_t>(c) * source.bytesPerPixel();
    int32_t n = 0;
    for (int32_t i = 0; i < nRows; ++i)
        if (medianValue<Kind, Alpha>(source.row(rows[i]) + offset, list[n])) ++n;
    sortSmall(list, n);
    list[n] = kEnd;
    return n;
}

// One output row: the window of the first column built from its column
// lists, then slid right one column per pixel.
template <int Kind, bool Alpha>
void medianRow(const tlPicture &source, tlPicture &destination, const tlRect &area, int32_t y, int64_t r, bool wrap,
               tlMedianBuffers &b) {
    const int32_t width = source.width;
    const tlAxisSpan rowSpan = axisSpan(y, r, source.height, wrap);
    const int32_t nRows = static_cast<int32_t>(rowSpan.count);
    for (int32_t i = 0; i < nRows; ++i) b.rows[i] = axisIndex(rowSpan.first + i, source.height, wrap);
    const int64_t h = b.height + 1;  // list stride, room for kEnd
    const tlAxisSpan first = axisSpan(area.left, r, width, wrap);
    int32_t n = 0;
    for (int64_t p = first.first; p < first.first + first.count; ++p) {
        const int64_t s = slotOf(p, r, b.slots);
        b.listCount[s] = columnList<Kind, Alpha>(source, b.rows, nRows, axisIndex(p, width, wrap), b.lists + s * h);
        std::memcpy(b.window + n, b.lists + s * h, sizeof(uint64_t) * b.listCount[s]);
        n += b.listCount[s];
    }
    std::sort(b.window, b.window + n);
    uint8_t *out = destination.row(y);
    const int32_t bpp = destination.bytesPerPixel();
    for (int32_t x = area.left;;) {
        // Median = the entry of rank (n − 1) / 2, the lower one for even n.
        if (n > 0) writeMedian<Kind>(out + static_cast<ptrdiff_t>(x) * bpp, b.window[(n - 1) / 2]);
        if (++x == area.right) break;
        const int64_t pOut = static_cast<int64_t>(x) - r - 1, pIn = static_cast<int64_t>(x) + r;
        const bool hasOut = wrap || pOut >= 0, hasIn = wrap || pIn < width;
        const int64_t sOut = slotOf(pOut, r, b.slots), sIn = slotOf(pIn, r, b.slots);
        int32_t ne = 0;
        b.fresh[0] = kEnd;
        if (hasIn) ne = columnList<Kind, Alpha>(source, b.rows, nRows, axisIndex(pIn, width, wrap), b.fresh);
        n = slideWindow(b.window, n, hasOut ? b.lists + sOut * h : &kEnd, b.fresh, ne, b.next);
        std::swap(b.window, b.next);
        if (hasIn) {
            std::memcpy(b.lists + sIn * h, b.fresh, sizeof(uint64_t) * (ne + 1));
            b.listCount[sIn] = ne;
        }
    }
}

}  // namespace

namespace {

// Full windows of radius 1 and 2 (RGB 8-bit and gray 8-bit) go through the
// comparator networks; the clipped columns at the ends of those rows, rows
// with uncounted pixels and everything else slide the sorted window.
template <int Kind, bool Alpha>
bool medianSorted(const tlPicture &source, tlPicture &destination, const tlRect &area, int64_t r, bool wrap,
                  tlProgress *progress) {
    tlRowSplit split(area.bottom - area.top, area.pixelCount());
    const int32_t workers = split.workers();
    tlMedianBuffers *buffers = new (std::nothrow) tlMedianBuffers[static_cast<size_t>(workers)];
    if (buffers == nullptr) return false;
    for (int32_t i = 0; i < workers; ++i) {
        if (!buffers[i].allocate(axisReach(r, source.width, wrap), axisReach(r, source.height, wrap))) {
            delete[] buffers;
            return false;
        }
    }
    tlMedianNetwork network;
    bool fast = Kind != kMedianGray16 && network.prepare(source, r, wrap);
    tlMedianNetwork::Ring *rings = fast ? new (std::nothrow) tlMedianNetwork::Ring[static_cast<size_t>(workers)]
                                        : nullptr;
    fast = rings != nullptr;
    for (int32_t i = 0; fast && i < workers; ++i) fast = rings[i].allocate(network);
    // Columns whose windows lie inside the picture across.
    const int32_t fullLeft = wrap ? area.left : static_cast<int32_t>(std::max<int64_t>(area.left, r));
    const int32_t fullRight = wrap ? area.right : static_cast<int32_t>(std::min<int64_t>(area.right, source.width - r));
    const bool done = split.run(progress, [&](int32_t first, int32_t end, tlRowSteps &steps) {
        tlMedianBuffers &b = buffers[steps.worker()];
        for (int32_t y = area.top + first; y < area.top + end; ++y) {
            if (fast && fullLeft < fullRight && network.fullRows(y)) {
                if (area.left < fullLeft)
                    medianRow<Kind, Alpha>(source, destination, tlRect{area.left, y, fullLeft, y + 1}, y, r, wrap, b);
                network.row(rings[steps.worker()], source, destination, y, fullLeft, fullRight);
                if (fullRight < area.right)
                    medianRow<Kind, Alpha>(source, destination, tlRect{fullRight, y, area.right, y + 1}, y, r, wrap, b);
            } else {
                medianRow<Kind, Alpha>(source, destination, area, y, r, wrap, b);
            }
            if (!steps.next()) return false;
        }
        return true;
    });
    delete[] rings;
    delete[] buffers;
    return done;
}

}  // namespace

// Each pixel of the work rectangle becomes the counted pixel of median key in
// its (2 × radius + 1)² window (wrapped around the picture or clipped at its
// edges); alpha is never ranked nor written. A window without counted pixels,
// an indexed picture and a radius below 1 leave the pixels as they are.
bool tlMedianEffect::apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) {
    tlRect area;
    if (!effectArea(source, destination, area)) return false;
    if (source.model == tlColourModel::Indexed || radius < 1) return true;
    const int64_t r = radius;
    const int64_t across = axisReach(r, source.width, wrap), down = axisReach(r, source.height, wrap);
    if (across > kMaxMedianWindow || down > kMaxMedianWindow || across * down > kMaxMedianWindow) return false;
    if (progress != nullptr) progress->begin(area.bottom - area.top - 1);
    const bool alpha = source.hasAlpha();
    if (source.model == tlColourModel::RGB && source.bits == 16)
        return medianSelect(source, destination, area, r, wrap, progress);
    if (source.model == tlColourModel::RGB)
        return alpha ? medianSorted<kMedianRgb8, true>(source, destination, area, r, wrap, progress)
                     : medianSorted<kMedianRgb8, false>(source, destination, area, r, wrap, progress);
    if (source.bits == 8)
        return alpha ? medianSorted<kMedianGray8, true>(source, destination, area, r, wrap, progress)
                     : medianSorted<kMedianGray8, false>(source, destination, area, r, wrap, progress);
    return alpha ? medianSorted<kMedianGray16, true>(source, destination, area, r, wrap, progress)
                 : medianSorted<kMedianGray16, false>(source, destination, area, r, wrap, progress);
}
