// Line, grid and checker pattern effects: placeholder apply operations until the family is implemented.
#include "effects/patterns/lines.h"

bool tlParallelLinesEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlGridEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlCheckerEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
