// WallpaperComposer: the random composer that decides every wallpaper's
// effect stack (pattern layers, then filters and distortions), its divisor
// helpers and the local contrast measure.
#pragma once

#include <cstdint>
#include <new>

#include "compose/style.h"
#include "effects/core/random.h"

class tlColour;
class tlEffect;
class tlPicture;
class tlPictureLayer;

// Watches a composition; tools use it to print the stack. The program passes
// none. Every call happens on the composing thread.
class tlComposeObserver {
public:
    virtual ~tlComposeObserver() {}
    // The effect was added and applied; it now belongs to the layer.
    virtual void effectAdded(const tlEffect &effect) { (void)effect; }
    // The effect could not be added (it is deleted right after this call);
    // the composition ends.
    virtual void effectFailed(const tlEffect &effect) { (void)effect; }
    // No effect object of the class could be allocated; the composition ends.
    virtual void allocationFailed(int32_t typeId) { (void)typeId; }
    virtual void contrastMeasured(int32_t contrast) { (void)contrast; }
    // Stage 2 drew this filter choice (0..13), before its row runs.
    virtual void choiceDrawn(int32_t choice) { (void)choice; }
};

// The proper divisors d of n (2 <= d <= n / 2) in increasing order. A 32-bit
// number has at most 1600 divisors, so the list needs no heap storage.
struct tlDivisorList {
    static constexpr int32_t capacity = 1600;
    int32_t count = 0;
    int32_t values[capacity];
};

// Not shared: whoever runs generation jobs owns one (the program beside its
// cycle, the lab and each test their own) and hands it to the jobs.
class WallpaperComposer {
public:
    // The generator's seed until the owner gives one (the reference
    // generator's default): a composer never draws from an unseeded state.
    static constexpr uint32_t kDefaultSeed = 5489;

    // Complexity 1, wrap on, the generator at kDefaultSeed. The owner seeds
    // it (the program from the clock and the wallpaper count, the lab from
    // --seed).
    WallpaperComposer();

    // Levels 0, 1 and 2; any other level changes nothing.
    void setComplexity(int32_t level);
    // Builds the effect stack on a created layer at the composer's level,
    // every family on. False when an effect could not be allocated or added;
    // the effects added before stay applied.
    bool compose(tlPictureLayer &layer);
    // The same at the style's level (set as by setComplexity) with the
    // style's families only: an excluded pattern type is drawn again, an
    // excluded filter choice is passed over like a skip. False, without a
    // draw, for a style that is not valid.
    bool compose(tlPictureLayer &layer, const tlComposeStyle &style);

    // A random proper divisor of n (with an even quotient n / d when asked),
    // or 0. Draws only when there are two or more candidates.
    int32_t randomDivisor(int32_t n, bool evenQuotient);
    // The same candidates, in increasing order, without drawing.
    static void listDivisors(int32_t n, bool evenQuotient, tlDivisorList &out);
    // Mean absolute difference between each counted pixel and the mean of
    // its 3 x 3 neighbourhood, summed over R, G and B; 0 for pictures that
    // are not RGB 8-bit or have no counted pixel.
    static int32_t localContrast(const tlPicture &picture);
    // Whether one of the filter choices (bit c for choice c) can still add
    // an effect to the picture, decided without drawing. Stage 2 ends when
    // none can, so a style never keeps it drawing for ever.
    static bool filtersCanAdd(uint32_t choices, const tlPicture &picture);

    void setObserver(tlComposeObserver *newObserver) { observer = newObserver; }

    int32_t complexity = 1;
    int32_t maxPatterns = 3;
    int32_t maxFilters = 2;
    bool wrap = true;
    tlRandom random;

private:
    struct Size {
        int32_t w;
        int32_t h;
    };

    // The stages, with the pattern types and filter choices allowed (bit
    // t, bit c).
    bool composeStack(tlPictureLayer &layer, uint32_t types, uint32_t choices);
    bool addPatterns(tlPictureLayer &layer, Size size, uint32_t types);
    bool addFilters(tlPictureLayer &layer, Size size, uint32_t choices);

    tlColour drawColour(int32_t layerIndex);
    // Stage 1 rows; each returns the new effect with its parameters, or
    // null when it could not be allocated.
    tlEffect *patternEffect(int32_t type, const tlColour &a, const tlColour &b, Size size, int32_t layerIndex);
    tlEffect *gradientPatternEffect(const tlColour &a, const tlColour &b, Size size);
    tlEffect *checkerEffect(const tlColour &a, const tlColour &b, Size size);
    tlEffect *dotsEffect(const tlColour &a, Size size);
    tlEffect *randomDotsEffect(const tlColour &a);
    tlEffect *linesEffect(const tlColour &a, Size size);
    tlEffect *gridEffect(const tlColour &a, Size size);
    // After a first plasma layer: false only when an effect failed.
    bool plasmaFollowUp(tlPictureLayer &layer, Size size);

    // Stage 2 rows. skipped is set when the row creates nothing; otherwise
    // the result is the effect or null when it could not be allocated.
    tlEffect *filterEffect(int32_t choice, tlPictureLayer &layer, Size size, bool &skipped);
    // Draws choices until an allowed row creates an effect; the result is
    // that effect, or null when it could not be allocated.
    tlEffect *drawFilter(tlPictureLayer &layer, Size size, uint32_t choices, int32_t &previous);
    tlEffect *swirlEffect(bool &skipped);
    tlEffect *sineWaveEffect(Size size, bool &skipped);
    tlEffect *hsvNoiseEffect();
    tlEffect *edgeOrNeonEffect(const tlPicture &picture, bool &skipped);
    tlEffect *glassTileEffect(Size size, bool &skipped);

    // A new effect with its defaults; remembers the class so that a failed
    // allocation can be reported.
    template <class Effect>
    Effect *make();
    // Adds and applies the effect (null: the allocation failed); on failure
    // deletes it and answers false.
    bool add(tlPictureLayer &layer, tlEffect *effect);

    tlComposeObserver *observer = nullptr;
    int32_t lastTypeId = 0;  // class of the last effect asked for
};

template <class Effect>
Effect *WallpaperComposer::make() {
    lastTypeId = Effect::classTypeId;
    return new (std::nothrow) Effect;
}
