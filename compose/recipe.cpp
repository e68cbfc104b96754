// Recipes: the bounds of every field, capture from a layer, validation,
// effect creation, rendering with the job's steps, and the status texts.
#include "compose/recipe.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "compose/job.h"
#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "effects/core/picture_layer.h"
#include "imaging/image.h"

namespace {

constexpr int32_t kMin = INT32_MIN;
constexpr int32_t kMax = INT32_MAX;

// The values a recipe may give an int field. A range holds what a loaded
// parameter record can hold (its load rules: 0 → 1 refuses 0, coverage
// 1..100), every value the composer draws, and every value the class gives
// a meaning of its own. Refused are values the class ignores or treats as
// another (unknown shapes, kernels, modes and flags other than 0 and 1,
// negative amounts and sizes that count as 0, neon radius −1, which leaves
// the picture alone), since a later build may give them a meaning and an
// older one must then refuse rather than draw something else; and values
// that make the work grow without bound: a fixed cost per pixel must hold
// whatever the size. Rank and paint windows stay at about a thousand
// positions (median 31 × 31, oil paint diamond of 1013); random dots stay at
// the size their effect cuts to, with jitter and density that paint about a
// thousand pixels per position at most; gaps of dots, lines and grids are not
// negative, so runs never overlap; clouds stop at the 32 octaves they
// compute; the neon filter keeps its recursion sound up to radius 1000; the
// watercolor's 64-bit box sums hold radius 2^22 − 1; a swirl turns at most a
// hundred times.
struct tlFieldBounds {
    const char *className;
    const char *field;
    int32_t low;
    int32_t high;
    bool notZero;  // 0 is refused inside low..high (a load rule 0 → 1)
};

const tlFieldBounds fieldBounds[] = {
    {"HSVNoise", "coverage", 1, 100, false},
    {"HSVNoise", "seed", kMin, kMax, false},
    {"HSVNoise", "hueNoise", 0, kMax, false},
    {"HSVNoise", "saturationNoise", 0, kMax, false},
    {"HSVNoise", "valueNoise", 0, kMax, false},
    {"HSVNoise", "alphaNoise", 0, kMax, false},
    {"HistogramNoise", "seed", kMin, kMax, false},
    {"HistogramNoise", "amount", 0, kMax, false},
    {"EdgeDetection", "kernel", 0, 1, false},
    {"EdgeDetection", "gain", 1, kMax, false},
    {"Neon", "radius", 1, 1000, false},
    {"Neon", "strength", 1, kMax, false},
    {"Emboss", "radius", 1, kMax, false},
    {"Emboss", "strength", 1, kMax, false},
    {"Emboss", "direction", 0, 7, false},
    {"Pixelize", "cellWidth", 1, kMax, false},
    {"Pixelize", "cellHeight", 1, kMax, false},
    {"Median", "radius", 1, 15, false},
    {"Minimum", "radius", 1, kMax, false},
    {"Maximum", "radius", 1, kMax, false},
    {"Spread", "spreadX", 1, kMax, false},
    {"Spread", "spreadY", 1, kMax, false},
    {"Spread", "seed", kMin, kMax, false},
    {"GlassTile", "tileWidth", 1, kMax, false},
    {"GlassTile", "tileHeight", 1, kMax, false},
    {"Gradient", "shape", 0, 4, false},
    {"Gradient", "drawMode", 0, 17, false},
    {"GradientPattern", "orientation", 0, 2, false},
    {"GradientPattern", "period", 0, kMax, false},
    {"GradientPattern", "sawtooth", 0, 1, false},
    {"GradientPattern", "drawMode", 0, 17, false},
    {"Dots", "shape", 0, 1, false},
    {"Dots", "dotSize", 1, kMax, false},
    {"Dots", "gap", 0, kMax, false},
    {"Dots", "offsetX", kMin, kMax, false},
    {"Dots", "offsetY", kMin, kMax, false},
    {"Dots", "staggered", 0, 1, false},
    {"RandomDots", "shape", 0, 1, false},
    {"RandomDots", "alphaJitter", 0, kMax, false},
    {"RandomDots", "dotSize", 1, 2048, false},
    {"RandomDots", "sizeJitter", 0, 64, false},
    {"RandomDots", "density", 1, 10000, false},
    {"RandomDots", "seed", kMin, kMax, false},
    {"ParallelLines", "vertical", 0, 1, false},
    {"ParallelLines", "lineWidth", 1, kMax, false},
    {"ParallelLines", "gap", 0, kMax, false},
    {"ParallelLines", "offset", kMin, kMax, false},
    {"Grid", "lineWidth", 1, kMax, false},
    {"Grid", "gapX", 0, kMax, false},
    {"Grid", "gapY", 0, kMax, false},
    {"Grid", "offsetX", kMin, kMax, false},
    {"Grid", "offsetY", kMin, kMax, false},
    {"Checker", "cellWidth", 1, kMax, false},
    {"Checker", "cellHeight", 1, kMax, false},
    {"Cloud", "detail", 0, 32, false},
    {"Cloud", "scaleX", 1, kMax, false},
    {"Cloud", "scaleY", 1, kMax, false},
    {"Cloud", "seed", kMin, kMax, false},
    {"Plasma", "seed", kMin, kMax, false},
    {"Plasma", "roughness", 1, kMax, false},
    {"OilPaint", "radius", 1, 22, false},
    {"Watercolor", "radius", 1, (1 << 22) - 1, false},
    {"Watercolor", "strength", kMin, kMax, true},  // a negative strength brightens
    {"Cylinder", "vertical", 0, 1, false},
    {"Swirl", "angle", -36000, 36000, false},
    {"SineWave", "amplitudeX", kMin, kMax, false},
    {"SineWave", "wavelengthX", 1, kMax, false},
    {"SineWave", "amplitudeY", kMin, kMax, false},
    {"SineWave", "wavelengthY", 1, kMax, false},
    {"Kaleidoscope", "mode", 0, 1, false},
};

const tlFieldBounds *findBounds(const tlEffectInfo &info, int32_t index) {
    if (index < 0 || index >= info.fieldCount || info.fields[index].kind != tlFieldKind::Int) return nullptr;
    for (const tlFieldBounds &b : fieldBounds)
        if (std::strcmp(b.className, info.name) == 0 && std::strcmp(b.field, info.fields[index].name) == 0) return &b;
    return nullptr;
}

tlRecipeStatus failure(tlRecipeResult result) {
    tlRecipeStatus status;
    status.result = result;
    return status;
}

tlRecipeStatus badValue(int32_t effect, int32_t typeId, const char *field, int64_t value, int64_t low, int64_t high) {
    tlRecipeStatus status = failure(tlRecipeResult::BadValue);
    status.effect = effect;
    status.typeId = typeId;
    status.field = field;
    status.value = value;
    status.low = low;
    status.high = high;
    return status;
}

// The largest sample of the colour's depth.
int64_t sampleTop(const tlColour &c) { return c.bits == 8 ? 255 : 65535; }

// RGB with 3 or 4 channels or gray with 1 or 2, at 8 or 16 bits; a
// one-channel gray colour holds its value as a 32-bit integer, which must
// lie within the depth. Indexed colours have no pixel in the working format.
// Null when the colour fits; otherwise the part refused (model, depth,
// channel count or gray value, checked in that order) with its value and
// bounds.
const char *colourMisfit(const tlColour &c, int64_t &value, int64_t &low, int64_t &high) {
    if (c.model != tlColourModel::RGB && c.model != tlColourModel::Gray)
        return value = static_cast<int32_t>(c.model), low = 0, high = 1, "model";
    if (c.bits != 8 && c.bits != 16) return value = c.bits, low = 8, high = 16, "depth";
    const int32_t lowest = c.format().colourChannels();
    if (c.channels < lowest || c.channels > lowest + 1)
        return value = c.channels, low = lowest, high = lowest + 1, "channel count";
    if (c.model == tlColourModel::Gray && c.channels == 1) {
        const uint8_t *s = c.samples;
        const int64_t gray = s[0] | s[1] << 8 | s[2] << 16 | static_cast<int64_t>(s[3]) << 24;
        if (gray > sampleTop(c)) return value = gray, low = 0, high = sampleTop(c), "gray value";
    }
    return nullptr;
}

// The bytes of the samples a colour of this format uses (the 32-bit value of
// a one-channel gray colour); the others are never read.
size_t usedSampleBytes(const tlColour &c) {
    if (c.model == tlColourModel::Gray && c.channels == 1) return 4;
    return static_cast<size_t>(c.channels) * static_cast<size_t>(c.bits / 8);
}

tlRecipeStatus validateEffect(const tlRecipeEffect &e, int32_t index) {
    const tlEffectInfo *info = findEffectInfo(e.typeId);
    if (info == nullptr) {
        tlRecipeStatus status = failure(tlRecipeResult::UnknownEffect);
        status.effect = index;
        status.typeId = e.typeId;
        return status;
    }
    if (e.opacity > 65535) return badValue(index, e.typeId, "opacity", e.opacity, 0, 65535);
    if (e.blendMode < 0 || e.blendMode > 17) return badValue(index, e.typeId, "blendMode", e.blendMode, 0, 17);
    for (int32_t i = 0; i < info->fieldCount; ++i) {
        const tlFieldInfo &field = info->fields[i];
        int64_t value = e.numbers[i], low = 0, high = 1;
        switch (field.kind) {
        case tlFieldKind::Bool:
            if (value < 0 || value > 1) return badValue(index, e.typeId, field.name, value, 0, 1);
            break;
        case tlFieldKind::Colour:
            if (const char *part = colourMisfit(e.colours[i], value, low, high)) {
                tlRecipeStatus status = badValue(index, e.typeId, field.name, value, low, high);
                status.detail = part;
                return status;
            }
            break;
        case tlFieldKind::Int: {
            const tlFieldBounds *b = findBounds(*info, i);
            if (b == nullptr) return badValue(index, e.typeId, field.name, value, 0, -1);  // no bounds: no value
            if (value < b->low || value > b->high || (b->notZero && value == 0))
                return badValue(index, e.typeId, field.name, value, b->low, b->high);
            break;
        }
        }
    }
    return tlRecipeStatus();
}

}  // namespace

bool recipeFieldBounds(int32_t typeId, int32_t index, int32_t &low, int32_t &high) {
    const tlEffectInfo *info = findEffectInfo(typeId);
    const tlFieldBounds *b = info ? findBounds(*info, index) : nullptr;
    if (b == nullptr) return false;
    low = b->low;
    high = b->high;
    return true;
}

tlRecipeStatus validateRecipe(const tlRecipe &recipe) {
    const int64_t w = recipe.width, h = recipe.height;
    if (w < 1 || w > kRecipeMaxSide || h < 1 || h > kRecipeMaxSide || w * h > kRecipeMaxPixels) {
        tlRecipeStatus status = failure(tlRecipeResult::BadSize);
        status.width = w;
        status.height = h;
        return status;
    }
    if (recipe.effectCount < 0 || recipe.effectCount > kRecipeMaxEffects) {
        tlRecipeStatus status = failure(tlRecipeResult::TooManyEffects);
        status.value = recipe.effectCount;
        status.high = kRecipeMaxEffects;
        return status;
    }
    for (int32_t i = 0; i < recipe.effectCount; ++i) {
        const tlRecipeStatus status = validateEffect(recipe.effects[i], i);
        if (!status.ok()) return status;
    }
    return tlRecipeStatus();
}

// Every field through the catalogue's field addresses; colours keep only
// the samples their format uses, so that equal colours make equal recipes.
tlRecipeStatus captureRecipe(const tlPictureLayer &layer, tlRecipe &out) {
    out = tlRecipe();
    tlRecipe recipe;
    recipe.width = layer.width;
    recipe.height = layer.height;
    recipe.effectCount = layer.effects.count() < kRecipeMaxEffects ? layer.effects.count() : kRecipeMaxEffects;
    if (layer.effects.count() > kRecipeMaxEffects) {
        tlRecipeStatus status = failure(tlRecipeResult::TooManyEffects);
        status.value = layer.effects.count();
        status.high = kRecipeMaxEffects;
        return status;
    }
    for (int32_t i = 0; i < recipe.effectCount; ++i) {
        if (layer.effects.at(i) == nullptr) return failure(tlRecipeResult::NoMemory);  // a failed clone
        tlEffect &effect = *layer.effects.at(i);
        tlRecipeEffect &e = recipe.effects[i];
        e.typeId = effect.typeId();
        e.opacity = effect.opacity;
        e.blendMode = effect.blendMode;
        const tlEffectInfo *info = findEffectInfo(e.typeId);
        for (int32_t k = 0; info != nullptr && k < info->fieldCount; ++k) {
            const void *p = info->fields[k].address(effect);
            switch (info->fields[k].kind) {
            case tlFieldKind::Int: e.numbers[k] = *static_cast<const int32_t *>(p); break;
            case tlFieldKind::Bool: e.numbers[k] = *static_cast<const bool *>(p) ? 1 : 0; break;
            case tlFieldKind::Colour: {
                const tlColour &c = *static_cast<const tlColour *>(p);
                tlColour &kept = e.colours[k];
                kept.model = c.model;
                kept.bits = c.bits;
                kept.channels = c.channels;
                std::memset(kept.samples, 0, sizeof kept.samples);
                size_t used = usedSampleBytes(c);
                std::memcpy(kept.samples, c.samples, used < sizeof kept.samples ? used : sizeof kept.samples);
                break;
            }
            }
        }
    }
    const tlRecipeStatus status = validateRecipe(recipe);
    if (status.ok()) out = recipe;
    return status;
}

tlEffect *createRecipeEffect(const tlRecipeEffect &e) {
    const tlEffectInfo *info = findEffectInfo(e.typeId);
    tlEffect *effect = info ? info->create() : nullptr;
    if (effect == nullptr) return nullptr;
    effect->opacity = e.opacity;
    effect->blendMode = e.blendMode;
    for (int32_t k = 0; k < info->fieldCount; ++k) {
        void *p = info->fields[k].address(*effect);
        switch (info->fields[k].kind) {
        case tlFieldKind::Int: *static_cast<int32_t *>(p) = e.numbers[k]; break;
        case tlFieldKind::Bool: *static_cast<bool *>(p) = e.numbers[k] != 0; break;
        case tlFieldKind::Colour: *static_cast<tlColour *>(p) = e.colours[k]; break;
        }
    }
    return effect;
}

namespace {

struct tlRenderRun {
    const tlRecipe *recipe;
    tlRecipeStatus status;
};

// Adds and applies every effect in order, as the composer does; stops at the
// first that cannot be made or applied.
bool addRecipeEffects(tlPictureLayer &layer, void *context) {
    tlRenderRun &run = *static_cast<tlRenderRun *>(context);
    for (int32_t i = 0; i < run.recipe->effectCount; ++i) {
        const tlRecipeEffect &e = run.recipe->effects[i];
        tlEffect *effect = createRecipeEffect(e);
        if (effect == nullptr || !layer.addEffect(effect, true)) {
            run.status = failure(effect ? tlRecipeResult::EffectFailed : tlRecipeResult::NoMemory);
            run.status.effect = i;
            run.status.typeId = e.typeId;
            delete effect;
            return false;
        }
    }
    return true;
}

}  // namespace

tlRecipeStatus renderRecipe(const tlRecipe &recipe, tlImage *&out) {
    out = nullptr;
    tlRenderRun run = {&recipe, validateRecipe(recipe)};
    if (!run.status.ok()) return run.status;
    bool filled = false;
    tlImage *image = buildWallpaper(recipe.width, recipe.height, addRecipeEffects, &run, filled);
    if (image == nullptr) return run.status.ok() ? failure(tlRecipeResult::NoMemory) : run.status;
    if (!filled) {
        delete image;
        return run.status;
    }
    out = image;
    return run.status;
}

// ---- status texts ----

namespace {

const char *className(int32_t typeId) {
    const tlEffectInfo *info = findEffectInfo(typeId);
    return info ? info->name : "?";
}

}  // namespace

bool describeRecipeStatus(const tlRecipeStatus &s, char *out, size_t size) {
    if (size == 0) return false;
    const int effect = s.effect + 1;
    const int64_t value = s.value, low = s.low, high = s.high;
    int n = 0;
    switch (s.result) {
    case tlRecipeResult::Ok: n = std::snprintf(out, size, "the recipe is sound"); break;
    case tlRecipeResult::NotARecipe:
        n = std::snprintf(out, size, "not a recipe: a recipe starts with \"cw%d-\"", kRecipeFormat);
        break;
    case tlRecipeResult::NewerFormat:
        n = std::snprintf(out, size,
                          "the recipe is of format %d, newer than this build reads (format %d): "
                          "it needs a newer chromaweave",
                          s.version, kRecipeFormat);
        break;
    case tlRecipeResult::BadCharacter:
        n = std::snprintf(out, size, "the recipe has a character that is not part of any recipe at position %d",
                          s.position + 1);
        break;
    case tlRecipeResult::Damaged:
        n = std::snprintf(out, size,
                          "the recipe is damaged: its checksum does not match (a character was changed, added "
                          "or lost)");
        break;
    case tlRecipeResult::Malformed:
        n = std::snprintf(out, size, "the recipe is malformed: %s", s.detail ? s.detail : "it cannot be read");
        break;
    case tlRecipeResult::UnknownEffect:
        n = std::snprintf(out, size, "effect %d has the unknown type %d", effect, static_cast<int>(s.typeId));
        break;
    case tlRecipeResult::BadSize:
        n = std::snprintf(out, size,
                          "the picture size %" PRId64 "x%" PRId64 " is outside 1 to %d pixels a side or %" PRId64
                          " pixels in all",
                          s.width, s.height, kRecipeMaxSide, kRecipeMaxPixels);
        break;
    case tlRecipeResult::TooManyEffects:
        n = std::snprintf(out, size, "the recipe has %" PRId64 " effects; at most %d are allowed", value,
                          kRecipeMaxEffects);
        break;
    case tlRecipeResult::BadValue: {
        char what[96];
        if (s.detail)
            std::snprintf(what, sizeof what, "the %s of %s", s.detail, s.field ? s.field : "?");
        else
            std::snprintf(what, sizeof what, "%s", s.field ? s.field : "?");
        if (value >= low && value <= high)  // a hole in the range: 0 of a load rule 0 -> 1
            n = std::snprintf(out, size, "effect %d (%s): %s may not be %" PRId64, effect, className(s.typeId), what,
                              value);
        else
            n = std::snprintf(out, size, "effect %d (%s): %s is %" PRId64 ", outside %" PRId64 " to %" PRId64, effect,
                              className(s.typeId), what, value, low, high);
        break;
    }
    case tlRecipeResult::TooLong: n = std::snprintf(out, size, "the recipe text does not fit its buffer"); break;
    case tlRecipeResult::NoMemory: n = std::snprintf(out, size, "out of memory rendering the recipe"); break;
    case tlRecipeResult::EffectFailed:
        n = std::snprintf(out, size, "effect %d (%s) could not be applied (out of memory)", effect,
                          className(s.typeId));
        break;
    }
    return n >= 0 && static_cast<size_t>(n) < size;
}
