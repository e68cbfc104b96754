// Edge, neon and emboss filter effects: placeholder apply operations until the family is implemented.
#include "effects/filters/edges.h"

bool tlEdgeDetectionEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlNeonEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlEmbossEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
