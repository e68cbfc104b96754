// The composer's pattern table: the pattern effect of each type with its
// randomly drawn parameters, and the plasma follow-up. The order of the
// draws in each row decides the wallpaper, so it is kept as written.
#include <algorithm>

#include "compose/composer.h"
#include "effects/core/picture_layer.h"
#include "effects/distortions/distortions.h"
#include "effects/filters/tiles.h"
#include "effects/patterns/clouds.h"
#include "effects/patterns/dots.h"
#include "effects/patterns/gradients.h"
#include "effects/patterns/lines.h"

namespace {

inline int32_t draw(tlRandom &random, int32_t n) {
    return static_cast<int32_t>(random.below(static_cast<uint32_t>(n)));
}
inline int32_t orOne(int32_t value) { return value == 0 ? 1 : value; }

}  // namespace

tlEffect *WallpaperComposer::patternEffect(int32_t type, const tlColour &a, const tlColour &b, Size size,
                                           int32_t layerIndex) {
    switch (type) {
    case 0: {
        tlGradientEffect *e = make<tlGradientEffect>();
        if (!e) return nullptr;
        e->colour1 = a;
        e->colour2 = b;
        // Only the shapes that tile (3 and 4) when the picture must be seamless.
        e->shape = wrap ? (draw(random, 2) == 0 ? 3 : 4) : draw(random, 5);
        return e;
    }
    case 1: return gradientPatternEffect(a, b, size);
    case 2: return checkerEffect(a, b, size);
    case 3: {
        tlCloudEffect *e = make<tlCloudEffect>();
        if (!e) return nullptr;
        e->colour1 = a;
        e->colour2 = b;
        e->wrap = wrap;
        e->detail = draw(random, 5);
        e->scaleX = draw(random, 4) * 10 + 10;
        e->scaleY = draw(random, 4) * 10 + 10;
        e->seed = static_cast<int32_t>(random.next());
        return e;
    }
    case 4: {
        tlPlasmaEffect *e = make<tlPlasmaEffect>();
        if (!e) return nullptr;
        e->seed = static_cast<int32_t>(random.next());
        e->roughness = draw(random, 50) + 1;
        e->grayscale = draw(random, 4) == 0;
        e->wrap = wrap;
        // A later plasma lies over the layers below at 16448 .. 49087.
        if (layerIndex >= 1) e->opacity = random.below(128) * 257 + 16448;
        return e;
    }
    case 5: return dotsEffect(a, size);
    case 6: return randomDotsEffect(a);
    case 7: return linesEffect(a, size);
    default: return gridEffect(a, size);
    }
}

tlEffect *WallpaperComposer::gradientPatternEffect(const tlColour &a, const tlColour &b, Size size) {
    tlGradientPatternEffect *e = make<tlGradientPatternEffect>();
    if (!e) return nullptr;
    e->colour1 = a;
    e->colour2 = b;
    e->sawtooth = draw(random, 3) >= 2 ? 1 : 0;
    if (wrap) {
        // Periods that divide the picture along the orientation; a symmetric
        // (non-sawtooth) ramp needs an even number of periods to tile. A
        // period of half the picture is left out of a choice of several.
        const int32_t o = draw(random, 2) != 0 ? 1 : 0;
        const int32_t extent = o == 1 ? size.w : size.h;
        tlDivisorList list;
        listDivisors(extent, e->sawtooth == 0, list);
        if (list.count == 0) {
            e->period = 2;
        } else if (list.count == 1) {
            e->period = list.values[0];
        } else {
            int32_t k = list.count;
            if (list.values[k - 1] == extent / 2) --k;
            e->period = list.values[draw(random, k)];
        }
        e->orientation = o;
    } else {
        const int32_t o = draw(random, 3);
        if (o == 2) {
            e->period = draw(random, static_cast<int32_t>((static_cast<int64_t>(size.w) + size.h) / 2 + 4));
        } else {
            e->period = randomDivisor(o == 1 ? size.w : size.h, false);
            if (e->period == 0) e->period = draw(random, 8) * 2 + 4;
        }
        e->orientation = o;
    }
    return e;
}

tlEffect *WallpaperComposer::checkerEffect(const tlColour &a, const tlColour &b, Size size) {
    tlCheckerEffect *e = make<tlCheckerEffect>();
    if (!e) return nullptr;
    e->colour1 = a;
    e->colour2 = b;
    if (wrap) {
        // An even number of cells each way keeps the colours alternating
        // across the tile seams.
        e->cellWidth = orOne(randomDivisor(size.w, true));
        e->cellHeight = orOne(randomDivisor(size.h, true));
    } else {
        e->cellWidth = draw(random, 10) + 1;
        e->cellHeight = draw(random, 10) + 1;
    }
    return e;
}

tlEffect *WallpaperComposer::dotsEffect(const tlColour &a, Size size) {
    tlDotsEffect *e = make<tlDotsEffect>();
    if (!e) return nullptr;
    e->colour = a;
    e->shape = draw(random, 2);
    if (wrap) {
        // Dot plus gap is a divisor of the width.
        const int32_t d = randomDivisor(size.w, false);
        if (d > 2) {
            e->dotSize = draw(random, d - 1) + 1;
            e->gap = d - e->dotSize;
        } else {
            e->dotSize = 1;
            e->gap = 1;
        }
    } else {
        e->dotSize = draw(random, 20) + 1;
        e->gap = draw(random, 10) + 1;
    }
    e->antialias = true;
    return e;
}

tlEffect *WallpaperComposer::randomDotsEffect(const tlColour &a) {
    tlRandomDotsEffect *e = make<tlRandomDotsEffect>();
    if (!e) return nullptr;
    e->colour = a;
    e->shape = draw(random, 2);
    e->alphaJitter = draw(random, 11) * 10;
    e->dotSize = draw(random, 20) + 4;
    e->sizeJitter = draw(random, 5) * 10;
    e->density = draw(random, 101) + 50;
    e->seed = static_cast<int32_t>(random.next());
    e->wrap = wrap;
    return e;
}

tlEffect *WallpaperComposer::linesEffect(const tlColour &a, Size size) {
    tlParallelLinesEffect *e = make<tlParallelLinesEffect>();
    if (!e) return nullptr;
    e->colour = a;
    e->vertical = draw(random, 2);
    if (wrap) {
        // Line plus gap divides the extent the lines repeat along.
        const int32_t d = randomDivisor(e->vertical ? size.w : size.h, false);
        if (d > 2) {
            e->lineWidth = draw(random, d - 1) + 1;
            e->gap = d - e->lineWidth;
        } else {
            e->lineWidth = 1;
            e->gap = 1;
        }
    } else {
        e->lineWidth = draw(random, 10) + 1;
        e->gap = draw(random, 10) + 1;
    }
    return e;
}

tlEffect *WallpaperComposer::gridEffect(const tlColour &a, Size size) {
    tlGridEffect *e = make<tlGridEffect>();
    if (!e) return nullptr;
    e->colour = a;
    if (wrap) {
        const int32_t dx = orOne(randomDivisor(size.w, false));
        const int32_t dy = orOne(randomDivisor(size.h, false));
        if (dx > 1 && dy > 1) {
            e->lineWidth = draw(random, std::min(dx, dy) - 1) + 1;
            e->gapX = dx - e->lineWidth;
            e->gapY = dy - e->lineWidth;
        } else {
            e->lineWidth = 1;
            e->gapX = dx;
            e->gapY = dy;
        }
    } else {
        e->lineWidth = draw(random, 4) + 1;
        e->gapX = draw(random, 10) + 1;
        e->gapY = draw(random, 10) + 1;
    }
    return e;
}

// Three times in four a first plasma is folded by a kaleidoscope (two in
// three) or coarsened by a pixelize effect.
bool WallpaperComposer::plasmaFollowUp(tlPictureLayer &layer, Size size) {
    if (draw(random, 4) >= 3) return true;
    if (draw(random, 3) < 2) {
        tlKaleidoscopeEffect *e = make<tlKaleidoscopeEffect>();
        if (e) e->mode = draw(random, 2);
        return add(layer, e);
    }
    tlPixelizeEffect *e = make<tlPixelizeEffect>();
    if (e) {
        if (wrap) {
            e->cellWidth = orOne(randomDivisor(size.w, false));
            e->cellHeight = orOne(randomDivisor(size.h, false));
        } else {
            e->cellWidth = draw(random, 10) + 1;
            e->cellHeight = draw(random, 10) + 1;
        }
    }
    return add(layer, e);
}
