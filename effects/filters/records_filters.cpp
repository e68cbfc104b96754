// Parameter records of the filter effects: clone, equals, load and save.
#include "effects/core/record.h"
#include "effects/filters/edges.h"
#include "effects/filters/noise.h"
#include "effects/filters/painterly.h"
#include "effects/filters/rank.h"
#include "effects/filters/tiles.h"

// --- rank filters: radius (0 -> 1) and wrap (bit 0) ---
template <class E>
static bool equalRank(const E &a, const tlEffect &other) {
    const auto &o = static_cast<const E &>(other);
    return a.radius == o.radius && a.wrap == o.wrap;
}

template <class E>
static bool loadRank(E &e, tlStream &stream) {
    tlRecordReader r(stream, E::payloadLength);
    int32_t rad = r.word(), flags = r.word();
    if (!r.ok()) return false;
    e.radius = zeroToOne(rad), e.wrap = bit0(flags);
    return true;
}

template <class E>
static bool saveRank(const E &e, tlStream &stream) {
    tlRecordWriter w(stream, E::payloadLength);
    w.word(e.radius), w.flag(e.wrap);
    return w.finish();
}

tlEffect *tlMedianEffect::clone() const { return cloneEffect(*this); }
bool tlMedianEffect::equals(const tlEffect &other) const { return equalRank(*this, other); }
bool tlMedianEffect::load(tlStream &stream) { return loadRank(*this, stream); }
bool tlMedianEffect::save(tlStream &stream) const { return saveRank(*this, stream); }

tlEffect *tlMinimumEffect::clone() const { return cloneEffect(*this); }
bool tlMinimumEffect::equals(const tlEffect &other) const { return equalRank(*this, other); }
bool tlMinimumEffect::load(tlStream &stream) { return loadRank(*this, stream); }
bool tlMinimumEffect::save(tlStream &stream) const { return saveRank(*this, stream); }

tlEffect *tlMaximumEffect::clone() const { return cloneEffect(*this); }
bool tlMaximumEffect::equals(const tlEffect &other) const { return equalRank(*this, other); }
bool tlMaximumEffect::load(tlStream &stream) { return loadRank(*this, stream); }
bool tlMaximumEffect::save(tlStream &stream) const { return saveRank(*this, stream); }

// --- tlOilPaintEffect (same record shape as the rank filters) ---
tlEffect *tlOilPaintEffect::clone() const { return cloneEffect(*this); }
bool tlOilPaintEffect::equals(const tlEffect &other) const { return equalRank(*this, other); }
bool tlOilPaintEffect::load(tlStream &stream) { return loadRank(*this, stream); }
bool tlOilPaintEffect::save(tlStream &stream) const { return saveRank(*this, stream); }

// --- radius (0 -> 1), strength (0 -> 1), wrap (bit 0): watercolor and neon ---
template <class E>
static bool equalRadiusStrength(const E &a, const tlEffect &other) {
    const auto &o = static_cast<const E &>(other);
    return a.radius == o.radius && a.strength == o.strength && a.wrap == o.wrap;
}

template <class E>
static bool loadRadiusStrength(E &e, tlStream &stream) {
    tlRecordReader r(stream, E::payloadLength);
    int32_t rad = r.word(), str = r.word(), flags = r.word();
    if (!r.ok()) return false;
    e.radius = zeroToOne(rad), e.strength = zeroToOne(str), e.wrap = bit0(flags);
    return true;
}

template <class E>
static bool saveRadiusStrength(const E &e, tlStream &stream) {
    tlRecordWriter w(stream, E::payloadLength);
    w.word(e.radius), w.word(e.strength), w.flag(e.wrap);
    return w.finish();
}

tlEffect *tlWatercolorEffect::clone() const { return cloneEffect(*this); }
bool tlWatercolorEffect::equals(const tlEffect &other) const { return equalRadiusStrength(*this, other); }
bool tlWatercolorEffect::load(tlStream &stream) { return loadRadiusStrength(*this, stream); }
bool tlWatercolorEffect::save(tlStream &stream) const { return saveRadiusStrength(*this, stream); }

tlEffect *tlNeonEffect::clone() const { return cloneEffect(*this); }
bool tlNeonEffect::equals(const tlEffect &other) const { return equalRadiusStrength(*this, other); }
bool tlNeonEffect::load(tlStream &stream) { return loadRadiusStrength(*this, stream); }
bool tlNeonEffect::save(tlStream &stream) const { return saveRadiusStrength(*this, stream); }

// --- tlEdgeDetectionEffect ---
tlEffect *tlEdgeDetectionEffect::clone() const { return cloneEffect(*this); }

bool tlEdgeDetectionEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlEdgeDetectionEffect &>(other);
    return kernel == o.kernel && gain == o.gain && invert == o.invert && wrap == o.wrap;
}

bool tlEdgeDetectionEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t k = r.word(), g = r.word(), inv = r.word(), wr = r.word();
    if (!r.ok()) return false;
    kernel = k, gain = zeroToOne(g), invert = bit0(inv), wrap = bit0(wr);
    return true;
}

bool tlEdgeDetectionEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(kernel), w.word(gain), w.flag(invert), w.flag(wrap);
    return w.finish();
}

// --- tlEmbossEffect ---
tlEffect *tlEmbossEffect::clone() const { return cloneEffect(*this); }

bool tlEmbossEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlEmbossEffect &>(other);
    return radius == o.radius && strength == o.strength && direction == o.direction && inColour == o.inColour &&
           wrap == o.wrap;
}

bool tlEmbossEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t rad = r.word(), str = r.word(), dir = r.word(), col = r.word(), wr = r.word();
    if (!r.ok()) return false;
    radius = zeroToOne(rad), strength = zeroToOne(str), direction = dir;
    inColour = nonZero(col), wrap = nonZero(wr);
    return true;
}

bool tlEmbossEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(radius), w.word(strength), w.word(direction), w.flag(inColour), w.flag(wrap);
    return w.finish();
}

// --- tlHSVNoiseEffect ---
tlEffect *tlHSVNoiseEffect::clone() const { return cloneEffect(*this); }

bool tlHSVNoiseEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlHSVNoiseEffect &>(other);
    return coverage == o.coverage && seed == o.seed && hueNoise == o.hueNoise && saturationNoise == o.saturationNoise &&
           valueNoise == o.valueNoise && alphaNoise == o.alphaNoise;
}

// Coverage is a percentage: 0 becomes 1 and anything above 100, compared
// unsigned so negative values too, becomes 100.
static int32_t coverageRule(int32_t v) {
    if (v == 0) return 1;
    return static_cast<uint32_t>(v) > 100 ? 100 : v;
}

bool tlHSVNoiseEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t cov = r.word(), sd = r.word(), h = r.word(), s = r.word(), v = r.word(), a = r.word();
    if (!r.ok()) return false;
    coverage = coverageRule(cov), seed = sd;
    hueNoise = h, saturationNoise = s, valueNoise = v, alphaNoise = a;
    return true;
}

bool tlHSVNoiseEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(coverage), w.word(seed), w.word(hueNoise), w.word(saturationNoise), w.word(valueNoise);
    w.word(alphaNoise);
    return w.finish();
}

// --- tlHistogramNoiseEffect ---
tlEffect *tlHistogramNoiseEffect::clone() const { return cloneEffect(*this); }

bool tlHistogramNoiseEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlHistogramNoiseEffect &>(other);
    return seed == o.seed && amount == o.amount;
}

bool tlHistogramNoiseEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t sd = r.word(), am = r.word();
    if (!r.ok()) return false;
    seed = sd, amount = am;
    return true;
}

bool tlHistogramNoiseEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(seed), w.word(amount);
    return w.finish();
}

// --- tlSpreadEffect ---
tlEffect *tlSpreadEffect::clone() const { return cloneEffect(*this); }

bool tlSpreadEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlSpreadEffect &>(other);
    return spreadX == o.spreadX && spreadY == o.spreadY && seed == o.seed && wrap == o.wrap;
}

bool tlSpreadEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t sx = r.word(), sy = r.word(), sd = r.word(), flags = r.word();
    if (!r.ok()) return false;
    spreadX = zeroToOne(sx), spreadY = zeroToOne(sy), seed = sd, wrap = bit0(flags);
    return true;
}

bool tlSpreadEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(spreadX), w.word(spreadY), w.word(seed), w.flag(wrap);
    return w.finish();
}

// --- tlPixelizeEffect ---
tlEffect *tlPixelizeEffect::clone() const { return cloneEffect(*this); }

bool tlPixelizeEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlPixelizeEffect &>(other);
    return cellWidth == o.cellWidth && cellHeight == o.cellHeight;
}

bool tlPixelizeEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t cw = r.word(), ch = r.word();
    if (!r.ok()) return false;
    cellWidth = zeroToOne(cw), cellHeight = zeroToOne(ch);
    return true;
}

bool tlPixelizeEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(cellWidth), w.word(cellHeight);
    return w.finish();
}

// --- tlGlassTileEffect ---
tlEffect *tlGlassTileEffect::clone() const { return cloneEffect(*this); }

bool tlGlassTileEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlGlassTileEffect &>(other);
    return tileWidth == o.tileWidth && tileHeight == o.tileHeight && wrap == o.wrap;
}

bool tlGlassTileEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t tw = r.word(), th = r.word(), flags = r.word();
    if (!r.ok()) return false;
    tileWidth = zeroToOne(tw), tileHeight = zeroToOne(th), wrap = bit0(flags);
    return true;
}

bool tlGlassTileEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(tileWidth), w.word(tileHeight), w.flag(wrap);
    return w.finish();
}

// --- tlNegativeEffect: no parameters ---
tlEffect *tlNegativeEffect::clone() const { return cloneEffect(*this); }
