// Dot pattern effects: placeholder apply operations until the family is implemented.
#include "effects/patterns/dots.h"

bool tlDotsEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlRandomDotsEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
