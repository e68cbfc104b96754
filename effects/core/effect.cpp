// The base effect: no operation of its own and an empty parameter record.
#include "effects/core/effect.h"

#include "effects/core/record.h"

tlEffect::~tlEffect() = default;

bool tlEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }

bool tlEffect::producePicture(const tlPicture &, tlPicture *&, tlProgress *) { return false; }

bool tlEffect::equals(const tlEffect &) const { return true; }

bool tlEffect::load(tlStream &stream) {
    tlRecordReader r(stream, 0);
    return r.ok();
}

bool tlEffect::save(tlStream &stream) const {
    tlRecordWriter w(stream, 0);
    return w.finish();
}
