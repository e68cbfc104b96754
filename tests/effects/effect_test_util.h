// Running an effect in the effect tests as a layer does, beside the shared
// pictures and progress observer of tests/support.
#pragma once

#include <gtest/gtest.h>

#include "effects/core/effect.h"
#include "imaging/picture.h"
#include "imaging/progress.h"
#include "tests/support/formats.h"
#include "tests/support/pictures.h"
#include "tests/support/progress.h"

// Applies the effect as a layer does: the destination starts as a copy.
template <class E>
bool run(E &effect, const tlPicture &source, tlPicture &out, tlProgress *progress = nullptr) {
    tlPicture copy(source);
    out.moveFrom(copy);
    return effect.apply(source, out, progress);
}

// Applies the effect to a copy of the source, as the layer does, expecting the given answer.
inline tlPicture applied(tlEffect &effect, const tlPicture &source, bool expected = true) {
    tlPicture destination(source);
    EXPECT_EQ(effect.apply(source, destination, nullptr), expected);
    return destination;
}
