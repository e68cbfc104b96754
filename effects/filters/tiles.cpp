// Pixelize, glass tile and negative filter effects: placeholder apply operations until the family is implemented.
#include "effects/filters/tiles.h"

bool tlPixelizeEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlGlassTileEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
bool tlNegativeEffect::apply(const tlPicture &, tlPicture &, tlProgress *) { return false; }
