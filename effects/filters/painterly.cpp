// Painterly filter effects: placeholder apply operations until the family is implemented.
#include "effects/filters/painterly.h"

bool tlOilPaintEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlWatercolorEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
