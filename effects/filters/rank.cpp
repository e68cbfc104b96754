// Rank filter effects: placeholder apply operations until the family is implemented.
#include "effects/filters/rank.h"

bool tlMedianEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlMinimumEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlMaximumEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
