// The random composer: construction, complexity levels, the two stages of a
// composition, the divisor helpers and the local contrast measure.
#include "compose/composer.h"

#include <cstdlib>

#include "effects/core/picture_layer.h"
#include "imaging/colour.h"
#include "imaging/row_pool.h"

WallpaperComposer::WallpaperComposer() { random.seed(kDefaultSeed); }

void WallpaperComposer::setComplexity(int32_t level) {
    static const int32_t limits[3][2] = {{2, 0}, {3, 2}, {3, 3}};  // maxPatterns, maxFilters
    if (level < 0 || level > 2) return;
    complexity = level;
    maxPatterns = limits[level][0];
    maxFilters = limits[level][1];
}

// Divisors are found in pairs (d, n / d) with d up to the square root, so a
// large n costs only sqrt(n) trials; the small ones come out increasing and
// the large ones decreasing, and the two runs are joined.
void WallpaperComposer::listDivisors(int32_t n, bool evenQuotient, tlDivisorList &out) {
    out.count = 0;
    if (n < 4) return;
    int32_t large[tlDivisorList::capacity];
    int32_t largeCount = 0;
    const int32_t half = n / 2;
    for (int32_t d = 2; static_cast<int64_t>(d) * d <= n; ++d) {
        if (n % d != 0) continue;
        const int32_t q = n / d;
        if (!evenQuotient || q % 2 == 0) out.values[out.count++] = d;
        // The partner q is a candidate too (d <= sqrt(n) keeps q <= n / 2);
        // its quotient is d.
        if (q != d && q <= half && (!evenQuotient || d % 2 == 0)) large[largeCount++] = q;
    }
    for (int32_t i = largeCount - 1; i >= 0; --i) out.values[out.count++] = large[i];
}

int32_t WallpaperComposer::randomDivisor(int32_t n, bool evenQuotient) {
    tlDivisorList list;
    listDivisors(n, evenQuotient, list);
    if (list.count == 0) return 0;
    if (list.count == 1) return list.values[0];
    return list.values[random.below(static_cast<uint32_t>(list.count))];
}

namespace {

// Sums of the counted pixels of one column of a 3 x 3 neighbourhood.
struct ColumnSum {
    int32_t r = 0, g = 0, b = 0, n = 0;
};

inline bool isCounted(const uint8_t *pixel, int32_t channels) { return channels == 3 || pixel[3] != 0; }

// rows[0..2] are the rows above, at and below the centre (null outside the
// picture: the neighbourhood is clipped, not wrapped).
ColumnSum columnSum(const uint8_t *const rows[3], int32_t x, int32_t channels) {
    ColumnSum sum;
    for (int32_t i = 0; i < 3; ++i) {
        if (!rows[i]) continue;
        const uint8_t *p = rows[i] + static_cast<ptrdiff_t>(x) * channels;
        if (!isCounted(p, channels)) continue;
        sum.r += p[0];
        sum.g += p[1];
        sum.b += p[2];
        ++sum.n;
    }
    return sum;
}

// The sums of one row: |mean − value| over the counted pixels, and their
// number. A sliding window of three column sums walks the row.
void contrastOfRow(const tlPicture &picture, int32_t y, int64_t &total, int64_t &counted) {
    const int32_t channels = picture.channels;
    const uint8_t *rows[3] = {y > 0 ? picture.row(y - 1) : nullptr, picture.row(y),
                              y + 1 < picture.height ? picture.row(y + 1) : nullptr};
    ColumnSum left, centre = columnSum(rows, 0, channels);
    for (int32_t x = 0; x < picture.width; ++x) {
        const ColumnSum right = x + 1 < picture.width ? columnSum(rows, x + 1, channels) : ColumnSum();
        const uint8_t *p = rows[1] + static_cast<ptrdiff_t>(x) * channels;
        if (isCounted(p, channels)) {
            // |mean - value| per channel; the centre itself is counted, so n >= 1.
            const int32_t n = left.n + centre.n + right.n;
            const int32_t mr = (left.r + centre.r + right.r) / n;
            const int32_t mg = (left.g + centre.g + right.g) / n;
            const int32_t mb = (left.b + centre.b + right.b) / n;
            total += std::abs(mr - p[0]) + std::abs(mg - p[1]) + std::abs(mb - p[2]);
            ++counted;
        }
        left = centre;
        centre = right;
    }
}

}  // namespace

// Rows are split over the row pool, each worker summing into its own
// totals; integer sums do not depend on the order they are added in. The
// totals are 64-bit so that pictures of any size cannot overflow them.
int32_t WallpaperComposer::localContrast(const tlPicture &picture) {
    const int32_t channels = picture.channels;
    const bool rgb8 = picture.model == tlColourModel::RGB && picture.bits == 8;
    if (picture.isEmpty() || !rgb8 || (channels != 3 && channels != 4)) return 0;
    struct alignas(64) Sums {  // a cache line each: workers add to their own
        int64_t total = 0, counted = 0;
    } sums[tlRowPool::kMaxHelpers + 1];
    tlRowSplit split(picture.height, static_cast<int64_t>(picture.width) * picture.height);
    split.run(nullptr, [&](int32_t first, int32_t end, tlRowSteps &steps) {
        Sums &mine = sums[steps.worker()];
        for (int32_t y = first; y < end; ++y) contrastOfRow(picture, y, mine.total, mine.counted);
        return true;
    });
    int64_t total = 0, counted = 0;
    for (int32_t i = 0; i < split.workers(); ++i) total += sums[i].total, counted += sums[i].counted;
    return counted == 0 ? 0 : static_cast<int32_t>(total / counted);
}

bool WallpaperComposer::add(tlPictureLayer &layer, tlEffect *effect) {
    if (!effect) {
        if (observer) observer->allocationFailed(lastTypeId);
        return false;
    }
    if (!layer.addEffect(effect, true)) {
        if (observer) observer->effectFailed(*effect);
        delete effect;
        return false;
    }
    if (observer) observer->effectAdded(*effect);
    return true;
}

// R, G and B from 32 levels each (0, 8, 16, ... 255); the first layer is
// opaque, later ones take an alpha of 64 .. 184 drawn after B.
tlColour WallpaperComposer::drawColour(int32_t layerIndex) {
    uint8_t bytes[4];
    for (int32_t c = 0; c < 3; ++c) bytes[c] = static_cast<uint8_t>(random.below(32) * 255 / 31);
    bytes[3] = layerIndex == 0 ? 255 : static_cast<uint8_t>(random.below(16) * 8 + 64);
    return tlColour::fromBytes(bytes);
}

bool WallpaperComposer::compose(tlPictureLayer &layer) {
    const tlComposeStyle everything;
    return composeStack(layer, everything.patternTypes(), everything.filterChoices());
}

bool WallpaperComposer::compose(tlPictureLayer &layer, const tlComposeStyle &style) {
    if (!style.isValid()) return false;
    setComplexity(style.complexity);
    return composeStack(layer, style.patternTypes(), style.filterChoices());
}

bool WallpaperComposer::composeStack(tlPictureLayer &layer, uint32_t types, uint32_t choices) {
    const Size size = {layer.width, layer.height};
    return addPatterns(layer, size, types) && addFilters(layer, size, choices);
}

// Stage 1: one to maxPatterns pattern layers. An excluded type is drawn
// again; a valid style leaves a first-layer type (0..4) on, so this ends.
bool WallpaperComposer::addPatterns(tlPictureLayer &layer, Size size, uint32_t types) {
    const int32_t patterns = static_cast<int32_t>(random.below(static_cast<uint32_t>(maxPatterns))) + 1;
    for (int32_t i = 0; i < patterns; ++i) {
        const tlColour a = drawColour(i);
        const tlColour b = drawColour(i);
        int32_t type;
        do {
            type = static_cast<int32_t>(random.below(i == 0 ? 5 : 9));
        } while ((types >> type & 1u) == 0);
        tlEffect *effect = patternEffect(type, a, b, size, i);
        const bool isPlasma = effect && effect->typeId() == 139;
        if (!add(layer, effect)) return false;
        if (i == 0 && isPlasma && !plasmaFollowUp(layer, size)) return false;
    }
    return true;
}

// Stage 2: up to maxFilters filters or distortions. It ends early when no
// allowed row can add an effect to the picture as it now is.
bool WallpaperComposer::addFilters(tlPictureLayer &layer, Size size, uint32_t choices) {
    if (maxFilters < 1) return true;
    const int32_t filters = static_cast<int32_t>(random.below(static_cast<uint32_t>(maxFilters) + 1));
    int32_t previous = -1;
    for (int32_t j = 0; j < filters; ++j) {
        if (!filtersCanAdd(choices, layer)) return true;
        if (!add(layer, drawFilter(layer, size, choices, previous))) return false;
    }
    return true;
}

// Never the same choice twice in a row; a skipped or excluded choice is
// drawn again without counting and still counts as the previous one.
tlEffect *WallpaperComposer::drawFilter(tlPictureLayer &layer, Size size, uint32_t choices, int32_t &previous) {
    for (;;) {
        int32_t choice = static_cast<int32_t>(random.below(14));
        while (choice == previous) choice = static_cast<int32_t>(random.below(14));
        previous = choice;
        if (observer) observer->choiceDrawn(choice);
        if ((choices >> choice & 1u) == 0) continue;
        bool skipped = false;
        tlEffect *effect = filterEffect(choice, layer, size, skipped);
        if (!skipped) return effect;
    }
}
