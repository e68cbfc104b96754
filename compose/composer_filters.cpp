// The composer's filter table: the filter or distortion of each choice with
// its randomly drawn parameters, or a skip. Draws that can skip come before
// the effect is created; the order of the draws is kept as written.
#include "compose/composer.h"
#include "effects/core/picture_layer.h"
#include "effects/distortions/distortions.h"
#include "effects/filters/edges.h"
#include "effects/filters/noise.h"
#include "effects/filters/painterly.h"
#include "effects/filters/rank.h"
#include "effects/filters/tiles.h"

namespace {

inline int32_t draw(tlRandom &random, int32_t n) {
    return static_cast<int32_t>(random.below(static_cast<uint32_t>(n)));
}

// Below this mean local contrast a picture is too smooth for edges or neon.
constexpr int32_t kMinimumEdgeContrast = 20;

// The rank filters differ only in their class.
template <class Effect>
tlEffect *rankFilter(Effect *e, tlRandom &random, bool wrap) {
    if (!e) return nullptr;
    e->radius = draw(random, 2) + 1;
    e->wrap = wrap;
    return e;
}

// Whether randomDivisor(n, false) can give anything but 0.
bool hasProperDivisor(int32_t n) {
    for (int32_t d = 2; static_cast<int64_t>(d) * d <= n; ++d)
        if (n % d == 0) return true;
    return false;
}

}  // namespace

// Three rows can skip whatever they draw: the glass tile unless W and H both
// have proper divisors; the sine wave unless W has one and H has one too or
// is itself one of W's (the vertical wavelength then repeats the horizontal
// one); edges or neon on a smooth picture. The swirl skips three times in
// four, never always, and every other row always adds.
bool WallpaperComposer::filtersCanAdd(uint32_t choices, const tlPicture &picture) {
    const int32_t w = picture.width, h = picture.height;
    for (int32_t c = 0; c < 14; ++c) {
        if ((choices >> c & 1u) == 0 || c == 6) continue;
        if (c == 2 && !(hasProperDivisor(w) && (hasProperDivisor(h) || (h >= 2 && h <= w / 2 && w % h == 0)))) continue;
        if (c == 12 && !(hasProperDivisor(w) && hasProperDivisor(h))) continue;
        return true;
    }
    // Last, as it takes a pass over the picture.
    return (choices >> 6 & 1u) != 0 && localContrast(picture) >= kMinimumEdgeContrast;
}

tlEffect *WallpaperComposer::filterEffect(int32_t choice, tlPictureLayer &layer, Size size, bool &skipped) {
    skipped = false;
    switch (choice) {
    case 0: {
        tlCylinderEffect *e = make<tlCylinderEffect>();
        if (e) e->vertical = draw(random, 2);
        return e;
    }
    case 1: return swirlEffect(skipped);
    case 2: return sineWaveEffect(size, skipped);
    case 3: return hsvNoiseEffect();
    case 4: {
        tlHistogramNoiseEffect *e = make<tlHistogramNoiseEffect>();
        if (!e) return nullptr;
        e->seed = static_cast<int32_t>(random.next());
        e->amount = draw(random, 10) + 4;
        return e;
    }
    case 5: {
        tlWatercolorEffect *e = make<tlWatercolorEffect>();
        if (!e) return nullptr;
        e->radius = draw(random, 3) + 1;
        e->wrap = wrap;
        return e;
    }
    case 6: return edgeOrNeonEffect(layer, skipped);
    case 7: {
        tlEmbossEffect *e = make<tlEmbossEffect>();
        if (!e) return nullptr;
        e->direction = draw(random, 6);
        e->radius = draw(random, 2) + 1;
        e->strength = draw(random, 20) * 10 + 100;
        e->inColour = false;
        e->wrap = wrap;
        e->blendMode = 10;  // hard light
        return e;
    }
    case 8: return rankFilter(make<tlMedianEffect>(), random, wrap);
    case 9: return rankFilter(make<tlMinimumEffect>(), random, wrap);
    case 10: return rankFilter(make<tlMaximumEffect>(), random, wrap);
    case 11: {
        tlSpreadEffect *e = make<tlSpreadEffect>();
        if (!e) return nullptr;
        e->spreadX = draw(random, 5) + 1;
        e->spreadY = draw(random, 5) + 1;
        e->seed = static_cast<int32_t>(random.next());
        e->wrap = wrap;
        return e;
    }
    case 12: return glassTileEffect(size, skipped);
    default: {
        tlOilPaintEffect *e = make<tlOilPaintEffect>();
        if (!e) return nullptr;
        e->radius = draw(random, 3) + 1;
        e->wrap = wrap;
        return e;
    }
    }
}

// Three times in four the swirl is skipped; otherwise 360 .. 720 degrees
// either way.
tlEffect *WallpaperComposer::swirlEffect(bool &skipped) {
    if (draw(random, 4) != 0) {
        skipped = true;
        return nullptr;
    }
    int32_t angle = draw(random, 9) * 45 + 360;
    if (draw(random, 2) == 0) angle = -angle;
    tlSwirlEffect *e = make<tlSwirlEffect>();
    if (e) e->angle = angle;
    return e;
}

// Wavelengths divide the picture so the waves tile; the vertical one may
// repeat the horizontal one when that also divides the height.
tlEffect *WallpaperComposer::sineWaveEffect(Size size, bool &skipped) {
    const int32_t dx = randomDivisor(size.w, false);
    if (dx == 0) {
        skipped = true;
        return nullptr;
    }
    int32_t dy;
    if (size.h % dx == 0 && draw(random, 2) == 0)
        dy = dx;
    else
        dy = randomDivisor(size.h, false);
    if (dy == 0) {
        skipped = true;
        return nullptr;
    }
    const int32_t ax = draw(random, 10) + 1;
    const int32_t ay = draw(random, 2) == 0 ? ax : draw(random, 10) + 1;
    tlSineWaveEffect *e = make<tlSineWaveEffect>();
    if (!e) return nullptr;
    e->amplitudeX = ax;
    e->wavelengthX = dx;
    e->amplitudeY = ay;
    e->wavelengthY = dy;
    e->wrap = wrap;
    return e;
}

// Each of hue, saturation and value is disturbed with probability one half.
tlEffect *WallpaperComposer::hsvNoiseEffect() {
    tlHSVNoiseEffect *e = make<tlHSVNoiseEffect>();
    if (!e) return nullptr;
    e->hueNoise = draw(random, 2) != 0 ? draw(random, 20) + 1 : 0;
    e->saturationNoise = draw(random, 2) != 0 ? draw(random, 10) + 1 : 0;
    e->valueNoise = draw(random, 2) != 0 ? draw(random, 10) + 1 : 0;
    e->seed = static_cast<int32_t>(random.next());
    return e;
}

// Edges and neon only on pictures with enough detail; the contrast is
// measured before any draw of the row.
tlEffect *WallpaperComposer::edgeOrNeonEffect(const tlPicture &picture, bool &skipped) {
    const int32_t contrast = localContrast(picture);
    if (observer) observer->contrastMeasured(contrast);
    if (contrast < kMinimumEdgeContrast) {
        skipped = true;
        return nullptr;
    }
    if (draw(random, 2) == 0) {
        tlEdgeDetectionEffect *e = make<tlEdgeDetectionEffect>();
        if (!e) return nullptr;
        e->gain = draw(random, 6) * 20 + 100;
        e->invert = draw(random, 2) == 0;
        e->wrap = wrap;
        if (draw(random, 2) == 0) {
            // Multiply, difference, soft light over inverted (light) edges;
            // difference, subtract, soft light over dark ones.
            static const int32_t inverted[3] = {1, 3, 9};
            static const int32_t plain[3] = {3, 5, 9};
            const int32_t pick = draw(random, 3);
            e->blendMode = e->invert ? inverted[pick] : plain[pick];
        }
        return e;
    }
    tlNeonEffect *e = make<tlNeonEffect>();
    if (!e) return nullptr;
    e->radius = draw(random, 4) + 2;
    e->strength = draw(random, 6) * 20 + 100;
    e->wrap = wrap;
    return e;
}

// Tiles divide the picture; tiles above 32 pixels are divided once more.
tlEffect *WallpaperComposer::glassTileEffect(Size size, bool &skipped) {
    int32_t tw = randomDivisor(size.w, false);
    int32_t th = randomDivisor(size.h, false);
    if (tw == 0 || th == 0) {
        skipped = true;
        return nullptr;
    }
    if (tw > 32) {
        const int32_t t = randomDivisor(tw, false);
        if (t != 0) tw = t;
    }
    if (th > 32) {
        const int32_t t = randomDivisor(th, false);
        if (t != 0) th = t;
    }
    tlGlassTileEffect *e = make<tlGlassTileEffect>();
    if (!e) return nullptr;
    e->tileWidth = tw;
    e->tileHeight = th;
    e->wrap = wrap;
    return e;
}
