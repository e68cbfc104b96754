// Geometric distortion effects: placeholder apply operations until the family is implemented.
#include "effects/distortions/distortions.h"

bool tlCylinderEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlSwirlEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlSineWaveEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlKaleidoscopeEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
