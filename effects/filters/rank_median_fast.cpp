// Median of full 3 × 3 and 5 × 5 windows by comparator networks, four pixels
// of a row at a time.
#include "effects/filters/rank_median_fast.h"

#include <cstring>
#include <iterator>
#include <new>
#include <utility>

#include "effects/core/sampling.h"

namespace {

// Four 32-bit lanes, one per output pixel; the compiler maps the operations
// to vector instructions where there are some.
typedef int32_t tlLanes __attribute__((vector_size(16)));
const int32_t kLanes = 4;

// Keys are stored with the top bit flipped so that signed lane comparisons
// order them as the unsigned numbers they are.
const uint32_t kKeyBias = 0x80000000u;

inline tlLanes loadLanes(const int32_t *p) {
    tlLanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void storeLanes(int32_t *p, const tlLanes &v) { std::memcpy(p, &v, sizeof v); }

// Compare-exchange in every lane: afterwards a holds the smaller key, b the
// larger. Without branches; equal keys are left alone.
inline void exchange(tlLanes &a, tlLanes &b) {
    const tlLanes swap = (a > b) & (a ^ b);
    a ^= swap;
    b ^= swap;
}

struct tlComparator {
    uint8_t low, high;
};

// Sorting networks of 3 and 5 entries.
constexpr tlComparator kSort3[] = {{0, 1}, {1, 2}, {0, 1}};
constexpr tlComparator kSort5[] = {{0, 1}, {3, 4}, {2, 4}, {2, 3}, {0, 3}, {0, 2}, {1, 4}, {1, 3}, {1, 2}};

// Window entries are numbered column × w + rank. With every column sorted
// and then every rank row sorted across the columns, entry (column c, rank i)
// has at least (c + 1)(i + 1) − 1 entries below it and (w − c)(w − i) − 1
// above. Only the 3 (w = 3) or 13 (w = 5) entries that can still be the
// median are compared further; these networks finish the selection, which
// ends in entry kMedianWire. (Checked on every 0–1 input, which covers all
// inputs of a comparator network.)
constexpr tlComparator kFinish3[] = {{6, 4}, {6, 2}, {4, 2}};
constexpr tlComparator kFinish5[] = {{16, 7}, {12, 15}, {4, 8},   {11, 16}, {12, 3},  {15, 9},  {4, 20}, {8, 21},
                                     {15, 3}, {8, 20},  {16, 15}, {7, 3},   {17, 9},  {20, 13}, {15, 7}, {17, 3},
                                     {8, 20}, {7, 4},   {17, 8},  {3, 20},  {15, 17}, {3, 4},   {17, 3}};

template <int R>
struct tlMedianNet;
template <>
struct tlMedianNet<1> {
    static constexpr const tlComparator *sort = kSort3;
    static constexpr size_t sortSize = std::size(kSort3);
    static constexpr const tlComparator *finish = kFinish3;
    static constexpr size_t finishSize = std::size(kFinish3);
    static constexpr int medianWire = 4;
};
template <>
struct tlMedianNet<2> {
    static constexpr const tlComparator *sort = kSort5;
    static constexpr size_t sortSize = std::size(kSort5);
    static constexpr const tlComparator *finish = kFinish5;
    static constexpr size_t finishSize = std::size(kFinish5);
    static constexpr int medianWire = 3;
};

// Runs a network on entries first, first + step, first + 2 step, …, fully
// unrolled so the entries stay in registers.
template <const tlComparator *Net, int First, int Step, size_t... I>
inline void runNetwork(tlLanes *v, std::index_sequence<I...>) {
    (exchange(v[First + Step * Net[I].low], v[First + Step * Net[I].high]), ...);
}

template <int R, int First, int Step>
inline void sortLine(tlLanes *v) {
    runNetwork<tlMedianNet<R>::sort, First, Step>(v, std::make_index_sequence<tlMedianNet<R>::sortSize>());
}

template <int R, int... I>
inline void sortRanks(tlLanes *v, std::integer_sequence<int, I...>) {
    (sortLine<R, I, 2 * R + 1>(v), ...);
}

// The median of a window whose columns are sorted: sort the rank rows, then
// finish among the remaining candidates.
template <int R>
inline tlLanes medianOfSortedColumns(tlLanes *v) {
    sortRanks<R>(v, std::make_integer_sequence<int, 2 * R + 1>());
    runNetwork<tlMedianNet<R>::finish, 0, 1>(v, std::make_index_sequence<tlMedianNet<R>::finishSize>());
    return v[tlMedianNet<R>::medianWire];
}

// RGB 8-bit median key 5036060 R + 9886846 G + 1920103 B: a different value
// for each colour, white is 0xFFFFFFFF.
inline uint32_t rgbKey(const uint8_t *p) { return 5036060u * p[0] + 9886846u * p[1] + 1920103u * p[2]; }

}  // namespace

tlMedianNetwork::~tlMedianNetwork() { delete[] counted; }

tlMedianNetwork::Ring::~Ring() {
    delete[] keys;
    delete[] colours;
    delete[] tags;
    delete[] sorted;
}

bool tlMedianNetwork::Ring::allocate(const tlMedianNetwork &network) {
    const int32_t w = 2 * network.radius + 1;
    const size_t cells = static_cast<size_t>(w) * static_cast<size_t>(network.length);
    keys = new (std::nothrow) int32_t[cells]();
    colours = network.gray ? nullptr : new (std::nothrow) uint32_t[cells]();
    tags = new (std::nothrow) int64_t[static_cast<size_t>(w)];
    sorted = new (std::nothrow) int32_t[cells]();
    if (keys == nullptr || (!network.gray && colours == nullptr) || tags == nullptr || sorted == nullptr) return false;
    for (int32_t i = 0; i < w; ++i) tags[i] = INT64_MIN;
    return true;
}

bool tlMedianNetwork::prepare(const tlPicture &source, int64_t r, bool wrapAround) {
    if (r != 1 && r != 2) return false;
    if (source.bits != 8 || (source.model != tlColourModel::RGB && source.model != tlColourModel::Gray)) return false;
    gray = source.model == tlColourModel::Gray;
    wrap = wrapAround;
    radius = static_cast<int32_t>(r);
    height = source.height;
    // Padded rows: entry x + r holds column x (wrapped beyond the edges),
    // with room for the lanes past the last column.
    length = source.width + 2 * radius + 2 * kLanes;
    counted = new (std::nothrow) uint8_t[static_cast<size_t>(height)];
    if (counted == nullptr) return false;
    const int32_t bpp = source.bytesPerPixel(), alphaAt = source.hasAlpha() ? bpp - 1 : -1;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t *p = source.row(y);
        bool all = true;
        if (alphaAt >= 0)
            for (int32_t x = 0; x < source.width; ++x) all = all && p[static_cast<ptrdiff_t>(x) * bpp + alphaAt] != 0;
        counted[y] = all;
    }
    return true;
}

bool tlMedianNetwork::fullRows(int32_t y) const {
    if (!wrap && (y < radius || y >= height - radius)) return false;
    for (int64_t p = static_cast<int64_t>(y) - radius; p <= y + radius; ++p)
        if (!counted[wrapIndex(p, height)]) return false;
    return true;
}

// Fills the ring row of window row position p (source row p wrapped) with
// the biased keys and, for RGB, the colours; kept while p stays in windows.
void tlMedianNetwork::loadRow(Ring &ring, const tlPicture &source, int64_t p) const {
    const int32_t w = 2 * radius + 1;
    const int64_t slot = ((p % w) + w) % w;
    if (ring.tags[slot] == p) return;
    ring.tags[slot] = p;
    int32_t *key = ring.keys + slot * length;
    uint32_t *colour = gray ? nullptr : ring.colours + slot * length;
    const uint8_t *line = source.row(wrapIndex(p, height));
    const int32_t bpp = source.bytesPerPixel();
    for (int32_t i = 0; i < length; ++i) {
        const uint8_t *q = line +
                           static_cast<ptrdiff_t>(wrapIndex(static_cast<int64_t>(i) - radius, source.width)) * bpp;
        key[i] = static_cast<int32_t>((gray ? q[0] : rgbKey(q)) ^ kKeyBias);
        if (!gray) colour[i] = q[0] | static_cast<uint32_t>(q[1]) << 8 | static_cast<uint32_t>(q[2]) << 16;
    }
}

void tlMedianNetwork::row(Ring &ring, const tlPicture &source, tlPicture &destination, int32_t y, int32_t x0,
                          int32_t x1) const {
    if (radius == 1)
        rowOf<1>(ring, source, destination, y, x0, x1);
    else
        rowOf<2>(ring, source, destination, y, x0, x1);
}

template <int R>
void tlMedianNetwork::rowOf(Ring &ring, const tlPicture &source, tlPicture &destination, int32_t y, int32_t x0,
                            int32_t x1) const {
    constexpr int32_t W = 2 * R + 1;
    const int32_t *key[W];
    const uint32_t *colour[W];
    for (int32_t i = 0; i < W; ++i) {
        const int64_t p = static_cast<int64_t>(y) - R + i;
        loadRow(ring, source, p);
        const int64_t slot = ((p % W) + W) % W;
        key[i] = ring.keys + slot * length;
        colour[i] = gray ? nullptr : ring.colours + slot * length;
    }
    // Every padded column the windows of x0 .. x1 − 1 (rounded up to whole
    // lane groups) reach, sorted down its W rows; shared by W windows.
    const int32_t xEnd = x0 + (x1 - x0 + kLanes - 1) / kLanes * kLanes;
    for (int32_t c = x0; c < xEnd + 2 * R; c += kLanes) {
        tlLanes v[W];
        for (int32_t i = 0; i < W; ++i) v[i] = loadLanes(key[i] + c);
        sortLine<R, 0, 1>(v);
        for (int32_t i = 0; i < W; ++i) storeLanes(ring.sorted + i * length + c, v[i]);
    }
    uint8_t *out = destination.row(y);
    const int32_t bpp = destination.bytesPerPixel();
    for (int32_t x = x0; x < x1; x += kLanes) {
        // Output x's window covers padded columns x .. x + 2R.
        tlLanes v[W * W];
        for (int32_t c = 0; c < W; ++c)
            for (int32_t i = 0; i < W; ++i) v[c * W + i] = loadLanes(ring.sorted + i * length + x + c);
        const tlLanes median = medianOfSortedColumns<R>(v);
        const int32_t n = x1 - x < kLanes ? x1 - x : kLanes;
        uint8_t *p = out + static_cast<ptrdiff_t>(x) * bpp;
        if (gray) {
            for (int32_t l = 0; l < n; ++l, p += bpp) p[0] = static_cast<uint8_t>(median[l]);
            continue;
        }
        // The colour of the median key: equal keys are equal colours, so
        // OR-ing the colours of every matching window entry gives it.
        tlLanes found = {0, 0, 0, 0};
        for (int32_t i = 0; i < W; ++i)
            for (int32_t c = 0; c < W; ++c)
                found |= (loadLanes(key[i] + x + c) == median) &
                         loadLanes(reinterpret_cast<const int32_t *>(colour[i]) + x + c);
        for (int32_t l = 0; l < n; ++l, p += bpp) {
            const uint32_t rgb = static_cast<uint32_t>(found[l]);
            p[0] = static_cast<uint8_t>(rgb);
            p[1] = static_cast<uint8_t>(rgb >> 8);
            p[2] = static_cast<uint8_t>(rgb >> 16);
        }
    }
}
