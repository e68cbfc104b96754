// Parameter records of the distortion effects: clone, equals, load and save.
#include "effects/core/record.h"
#include "effects/distortions/distortions.h"

// --- tlCylinderEffect: any non-zero word loads as 1 ---
tlEffect *tlCylinderEffect::clone() const { return cloneEffect(*this); }

bool tlCylinderEffect::equals(const tlEffect &other) const {
    return vertical == static_cast<const tlCylinderEffect &>(other).vertical;
}

bool tlCylinderEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t v = r.word();
    if (!r.ok()) return false;
    vertical = nonZero(v) ? 1 : 0;
    return true;
}

bool tlCylinderEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(vertical);
    return w.finish();
}

// --- tlSwirlEffect ---
tlEffect *tlSwirlEffect::clone() const { return cloneEffect(*this); }

bool tlSwirlEffect::equals(const tlEffect &other) const {
    return angle == static_cast<const tlSwirlEffect &>(other).angle;
}

bool tlSwirlEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t a = r.word();
    if (!r.ok()) return false;
    angle = a;
    return true;
}

bool tlSwirlEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(angle);
    return w.finish();
}

// --- tlSineWaveEffect: nothing stored, but clone keeps all five fields ---
tlEffect *tlSineWaveEffect::clone() const { return cloneEffect(*this); }

// --- tlKaleidoscopeEffect ---
tlEffect *tlKaleidoscopeEffect::clone() const { return cloneEffect(*this); }

bool tlKaleidoscopeEffect::equals(const tlEffect &other) const {
    return mode == static_cast<const tlKaleidoscopeEffect &>(other).mode;
}

bool tlKaleidoscopeEffect::load(tlStream &stream) {
    tlRecordReader r(stream, payloadLength);
    int32_t m = r.word();
    if (!r.ok()) return false;
    mode = m;
    return true;
}

bool tlKaleidoscopeEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, payloadLength);
    w.word(mode);
    return w.finish();
}
