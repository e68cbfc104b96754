// Cloud and plasma pattern effects: placeholder apply operations until the family is implemented.
#include "effects/patterns/clouds.h"

bool tlCloudEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlPlasmaEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
