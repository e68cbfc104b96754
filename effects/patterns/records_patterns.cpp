// Parameter records of the pattern effects: clone, equals, load and save.
#include "effects/core/record.h"
#include "effects/patterns/clouds.h"
#include "effects/patterns/dots.h"
#include "effects/patterns/gradients.h"
#include "effects/patterns/lines.h"

// --- tlGradientEffect ---
tlEffect *tlGradientEffect::clone() const { return cloneEffect(*this); }

bool tlGradientEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlGradientEffect &>(other);
    return colour1.equals(o.colour1) && colour2.equals(o.colour2) && shape == o.shape && drawMode == o.drawMode;
}

bool tlGradientEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    tlColour c1 = r.colour(), c2 = r.colour();
    int32_t sh = r.word(), dm = r.word();
    if (!r.ok()) return false;
    colour1 = c1, colour2 = c2, shape = sh, drawMode = dm;
    return true;
}

bool tlGradientEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.colour(colour1), w.colour(colour2), w.word(shape), w.word(drawMode);
    return w.finish();
}

// --- tlGradientPatternEffect ---
tlEffect *tlGradientPatternEffect::clone() const { return cloneEffect(*this); }

bool tlGradientPatternEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlGradientPatternEffect &>(other);
    return colour1.equals(o.colour1) && colour2.equals(o.colour2) && orientation == o.orientation &&
           period == o.period && sawtooth == o.sawtooth && drawMode == o.drawMode;
}

bool tlGradientPatternEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    tlColour c1 = r.colour(), c2 = r.colour();
    int32_t ori = r.word(), per = r.word(), saw = r.word(), dm = r.word();
    if (!r.ok()) return false;
    colour1 = c1, colour2 = c2, orientation = ori, period = per, sawtooth = saw, drawMode = dm;
    return true;
}

bool tlGradientPatternEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.colour(colour1), w.colour(colour2);
    w.word(orientation), w.word(period), w.word(sawtooth), w.word(drawMode);
    return w.finish();
}

// --- tlDotsEffect ---
tlEffect *tlDotsEffect::clone() const { return cloneEffect(*this); }

bool tlDotsEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlDotsEffect &>(other);
    return colour.equals(o.colour) && shape == o.shape && dotSize == o.dotSize && gap == o.gap &&
           offsetX == o.offsetX && offsetY == o.offsetY && staggered == o.staggered && antialias == o.antialias;
}

bool tlDotsEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    tlColour c = r.colour();
    int32_t sh = r.word(), size = r.word(), g = r.word(), ox = r.word(), oy = r.word();
    int32_t stag = r.word(), aa = r.word();
    if (!r.ok()) return false;
    colour = c, shape = sh, dotSize = size, gap = g, offsetX = ox, offsetY = oy;
    staggered = stag, antialias = nonZero(aa);
    return true;
}

bool tlDotsEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.colour(colour), w.word(shape), w.word(dotSize), w.word(gap);
    w.word(offsetX), w.word(offsetY), w.word(staggered), w.flag(antialias);
    return w.finish();
}

// --- tlRandomDotsEffect: the colour comes first in the stream, the shape second ---
tlEffect *tlRandomDotsEffect::clone() const { return cloneEffect(*this); }

bool tlRandomDotsEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlRandomDotsEffect &>(other);
    return shape == o.shape && colour.equals(o.colour) && alphaJitter == o.alphaJitter && dotSize == o.dotSize &&
           sizeJitter == o.sizeJitter && density == o.density && seed == o.seed && wrap == o.wrap &&
           spareFlag == o.spareFlag;
}

bool tlRandomDotsEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    tlColour c = r.colour();
    int32_t sh = r.word(), aj = r.word(), size = r.word(), sj = r.word(), dens = r.word(), sd = r.word();
    int32_t flags = r.word();
    if (!r.ok()) return false;
    shape = sh, colour = c, alphaJitter = aj, dotSize = size, sizeJitter = sj, density = dens, seed = sd;
    wrap = bit0(flags), spareFlag = bit1(flags);
    return true;
}

bool tlRandomDotsEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.colour(colour), w.word(shape), w.word(alphaJitter), w.word(dotSize);
    w.word(sizeJitter), w.word(density), w.word(seed), w.packed(wrap, spareFlag);
    return w.finish();
}

// --- tlParallelLinesEffect ---
tlEffect *tlParallelLinesEffect::clone() const { return cloneEffect(*this); }

bool tlParallelLinesEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlParallelLinesEffect &>(other);
    return colour.equals(o.colour) && vertical == o.vertical && lineWidth == o.lineWidth && gap == o.gap &&
           offset == o.offset;
}

bool tlParallelLinesEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    tlColour c = r.colour();
    int32_t v = r.word(), lw = r.word(), g = r.word(), off = r.word();
    if (!r.ok()) return false;
    colour = c, vertical = v, lineWidth = lw, gap = g, offset = off;
    return true;
}

bool tlParallelLinesEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.colour(colour), w.word(vertical), w.word(lineWidth), w.word(gap), w.word(offset);
    return w.finish();
}

// --- tlGridEffect ---
tlEffect *tlGridEffect::clone() const { return cloneEffect(*this); }

bool tlGridEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlGridEffect &>(other);
    return colour.equals(o.colour) && lineWidth == o.lineWidth && gapX == o.gapX && gapY == o.gapY &&
           offsetX == o.offsetX && offsetY == o.offsetY;
}

bool tlGridEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    tlColour c = r.colour();
    int32_t lw = r.word(), gx = r.word(), gy = r.word(), ox = r.word(), oy = r.word();
    if (!r.ok()) return false;
    colour = c, lineWidth = lw, gapX = gx, gapY = gy, offsetX = ox, offsetY = oy;
    return true;
}

bool tlGridEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.colour(colour), w.word(lineWidth), w.word(gapX), w.word(gapY), w.word(offsetX), w.word(offsetY);
    return w.finish();
}

// --- tlCheckerEffect ---
tlEffect *tlCheckerEffect::clone() const { return cloneEffect(*this); }

bool tlCheckerEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlCheckerEffect &>(other);
    return colour1.equals(o.colour1) && colour2.equals(o.colour2) && cellWidth == o.cellWidth &&
           cellHeight == o.cellHeight;
}

bool tlCheckerEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    tlColour c1 = r.colour(), c2 = r.colour();
    int32_t cw = r.word(), ch = r.word();
    if (!r.ok()) return false;
    colour1 = c1, colour2 = c2, cellWidth = cw, cellHeight = ch;
    return true;
}

bool tlCheckerEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.colour(colour1), w.colour(colour2), w.word(cellWidth), w.word(cellHeight);
    return w.finish();
}

// --- tlCloudEffect: seed is neither stored nor compared ---
tlEffect *tlCloudEffect::clone() const { return cloneEffect(*this); }

bool tlCloudEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlCloudEffect &>(other);
    return colour1.equals(o.colour1) && colour2.equals(o.colour2) && wrap == o.wrap && turbulence == o.turbulence &&
           detail == o.detail && scaleX == o.scaleX && scaleY == o.scaleY;
}

bool tlCloudEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    tlColour c1 = r.colour(), c2 = r.colour();
    int32_t flags = r.word(), det = r.word(), sx = r.word(), sy = r.word();
    if (!r.ok()) return false;
    colour1 = c1, colour2 = c2, wrap = bit0(flags), turbulence = bit1(flags);
    detail = det, scaleX = sx, scaleY = sy;
    return true;
}

bool tlCloudEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.colour(colour1), w.colour(colour2), w.packed(wrap, turbulence);
    w.word(detail), w.word(scaleX), w.word(scaleY);
    return w.finish();
}

// --- tlPlasmaEffect ---
tlEffect *tlPlasmaEffect::clone() const { return cloneEffect(*this); }

bool tlPlasmaEffect::equals(const tlEffect &other) const {
    const auto &o = static_cast<const tlPlasmaEffect &>(other);
    return seed == o.seed && roughness == o.roughness && grayscale == o.grayscale && wrap == o.wrap;
}

bool tlPlasmaEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t sd = r.word(), rough = r.word(), flags = r.word();
    if (!r.ok()) return false;
    seed = sd, roughness = zeroToOne(rough), grayscale = bit0(flags), wrap = bit1(flags);
    return true;
}

bool tlPlasmaEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(seed), w.word(roughness), w.packed(grayscale, wrap);
    return w.finish();
}
