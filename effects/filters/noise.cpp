// Noise and scatter filter effects: placeholder apply operations until the family is implemented.
#include "effects/filters/noise.h"

bool tlHSVNoiseEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlHistogramNoiseEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlSpreadEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
