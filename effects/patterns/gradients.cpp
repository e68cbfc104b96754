// Gradient pattern effects: placeholder apply operations until the family is implemented.
#include "effects/patterns/gradients.h"

bool tlGradientEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlGradientPatternEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
