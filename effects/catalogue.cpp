// The effect catalogue: one table row per class and one per field, with
// typed access to the fields through generated address functions.
#include "effects/catalogue.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "effects/distortions/distortions.h"
#include "effects/filters/edges.h"
#include "effects/filters/noise.h"
#include "effects/filters/painterly.h"
#include "effects/filters/rank.h"
#include "effects/filters/tiles.h"
#include "effects/patterns/clouds.h"
#include "effects/patterns/dots.h"
#include "effects/patterns/gradients.h"
#include "effects/patterns/lines.h"

namespace {

template <class E, class T, T E::*member> void *fieldAddress(tlEffect &effect) {
    return &(static_cast<E &>(effect).*member);
}

template <class E> tlEffect *createOf() { return new (std::nothrow) E; }

}  // namespace

#define INT_FIELD(E, f) {#f, tlFieldKind::Int, true, &fieldAddress<E, int32_t, &E::f>}
#define BOOL_FIELD(E, f) {#f, tlFieldKind::Bool, true, &fieldAddress<E, bool, &E::f>}
#define COLOUR_FIELD(E, f) {#f, tlFieldKind::Colour, true, &fieldAddress<E, tlColour, &E::f>}
#define INT_UNSTORED(E, f) {#f, tlFieldKind::Int, false, &fieldAddress<E, int32_t, &E::f>}
#define BOOL_UNSTORED(E, f) {#f, tlFieldKind::Bool, false, &fieldAddress<E, bool, &E::f>}

// Fields in declaration order, stored or not.
static const tlFieldInfo kHsvNoiseFields[] = {
    INT_FIELD(tlHSVNoiseEffect, coverage), INT_FIELD(tlHSVNoiseEffect, seed),
    INT_FIELD(tlHSVNoiseEffect, hueNoise), INT_FIELD(tlHSVNoiseEffect, saturationNoise),
    INT_FIELD(tlHSVNoiseEffect, valueNoise), INT_FIELD(tlHSVNoiseEffect, alphaNoise)};
static const tlFieldInfo kHistogramNoiseFields[] = {
    INT_FIELD(tlHistogramNoiseEffect, seed), INT_FIELD(tlHistogramNoiseEffect, amount)};
static const tlFieldInfo kEdgeDetectionFields[] = {
    INT_FIELD(tlEdgeDetectionEffect, kernel), INT_FIELD(tlEdgeDetectionEffect, gain),
    BOOL_FIELD(tlEdgeDetectionEffect, invert), BOOL_FIELD(tlEdgeDetectionEffect, wrap)};
static const tlFieldInfo kNeonFields[] = {
    INT_FIELD(tlNeonEffect, radius), INT_FIELD(tlNeonEffect, strength), BOOL_FIELD(tlNeonEffect, wrap)};
static const tlFieldInfo kEmbossFields[] = {
    INT_FIELD(tlEmbossEffect, radius), INT_FIELD(tlEmbossEffect, strength), INT_FIELD(tlEmbossEffect, direction),
    BOOL_FIELD(tlEmbossEffect, inColour), BOOL_FIELD(tlEmbossEffect, wrap)};
static const tlFieldInfo kPixelizeFields[] = {
    INT_FIELD(tlPixelizeEffect, cellWidth), INT_FIELD(tlPixelizeEffect, cellHeight)};
static const tlFieldInfo kMedianFields[] = {INT_FIELD(tlMedianEffect, radius), BOOL_FIELD(tlMedianEffect, wrap)};
static const tlFieldInfo kMinimumFields[] = {INT_FIELD(tlMinimumEffect, radius), BOOL_FIELD(tlMinimumEffect, wrap)};
static const tlFieldInfo kMaximumFields[] = {INT_FIELD(tlMaximumEffect, radius), BOOL_FIELD(tlMaximumEffect, wrap)};
static const tlFieldInfo kSpreadFields[] = {
    INT_FIELD(tlSpreadEffect, spreadX), INT_FIELD(tlSpreadEffect, spreadY), INT_FIELD(tlSpreadEffect, seed),
    BOOL_FIELD(tlSpreadEffect, wrap)};
static const tlFieldInfo kGlassTileFields[] = {
    INT_FIELD(tlGlassTileEffect, tileWidth), INT_FIELD(tlGlassTileEffect, tileHeight),
    BOOL_FIELD(tlGlassTileEffect, wrap)};
static const tlFieldInfo kGradientFields[] = {
    COLOUR_FIELD(tlGradientEffect, colour1), COLOUR_FIELD(tlGradientEffect, colour2),
    INT_FIELD(tlGradientEffect, shape), INT_FIELD(tlGradientEffect, drawMode)};
static const tlFieldInfo kGradientPatternFields[] = {
    COLOUR_FIELD(tlGradientPatternEffect, colour1), COLOUR_FIELD(tlGradientPatternEffect, colour2),
    INT_FIELD(tlGradientPatternEffect, orientation), INT_FIELD(tlGradientPatternEffect, period),
    INT_FIELD(tlGradientPatternEffect, sawtooth), INT_FIELD(tlGradientPatternEffect, drawMode)};
static const tlFieldInfo kDotsFields[] = {
    COLOUR_FIELD(tlDotsEffect, colour), INT_FIELD(tlDotsEffect, shape), INT_FIELD(tlDotsEffect, dotSize),
    INT_FIELD(tlDotsEffect, gap), INT_FIELD(tlDotsEffect, offsetX), INT_FIELD(tlDotsEffect, offsetY),
    INT_FIELD(tlDotsEffect, staggered), BOOL_FIELD(tlDotsEffect, antialias)};
static const tlFieldInfo kRandomDotsFields[] = {
    INT_FIELD(tlRandomDotsEffect, shape), COLOUR_FIELD(tlRandomDotsEffect, colour),
    INT_FIELD(tlRandomDotsEffect, alphaJitter), INT_FIELD(tlRandomDotsEffect, dotSize),
    INT_FIELD(tlRandomDotsEffect, sizeJitter), INT_FIELD(tlRandomDotsEffect, density),
    INT_FIELD(tlRandomDotsEffect, seed), BOOL_FIELD(tlRandomDotsEffect, wrap),
    BOOL_FIELD(tlRandomDotsEffect, spareFlag)};
static const tlFieldInfo kParallelLinesFields[] = {
    COLOUR_FIELD(tlParallelLinesEffect, colour), INT_FIELD(tlParallelLinesEffect, vertical),
    INT_FIELD(tlParallelLinesEffect, lineWidth), INT_FIELD(tlParallelLinesEffect, gap),
    INT_FIELD(tlParallelLinesEffect, offset)};
static const tlFieldInfo kGridFields[] = {
    COLOUR_FIELD(tlGridEffect, colour), INT_FIELD(tlGridEffect, lineWidth), INT_FIELD(tlGridEffect, gapX),
    INT_FIELD(tlGridEffect, gapY), INT_FIELD(tlGridEffect, offsetX), INT_FIELD(tlGridEffect, offsetY)};
static const tlFieldInfo kCheckerFields[] = {
    COLOUR_FIELD(tlCheckerEffect, colour1), COLOUR_FIELD(tlCheckerEffect, colour2),
    INT_FIELD(tlCheckerEffect, cellWidth), INT_FIELD(tlCheckerEffect, cellHeight)};
static const tlFieldInfo kCloudFields[] = {
    COLOUR_FIELD(tlCloudEffect, colour1), COLOUR_FIELD(tlCloudEffect, colour2), BOOL_FIELD(tlCloudEffect, wrap),
    BOOL_FIELD(tlCloudEffect, turbulence), INT_FIELD(tlCloudEffect, detail), INT_FIELD(tlCloudEffect, scaleX),
    INT_FIELD(tlCloudEffect, scaleY), INT_UNSTORED(tlCloudEffect, seed)};
static const tlFieldInfo kPlasmaFields[] = {
    INT_FIELD(tlPlasmaEffect, seed), INT_FIELD(tlPlasmaEffect, roughness), BOOL_FIELD(tlPlasmaEffect, grayscale),
    BOOL_FIELD(tlPlasmaEffect, wrap)};
static const tlFieldInfo kOilPaintFields[] = {INT_FIELD(tlOilPaintEffect, radius), BOOL_FIELD(tlOilPaintEffect, wrap)};
static const tlFieldInfo kWatercolorFields[] = {
    INT_FIELD(tlWatercolorEffect, radius), INT_FIELD(tlWatercolorEffect, strength),
    BOOL_FIELD(tlWatercolorEffect, wrap)};
static const tlFieldInfo kCylinderFields[] = {INT_FIELD(tlCylinderEffect, vertical)};
static const tlFieldInfo kSwirlFields[] = {INT_FIELD(tlSwirlEffect, angle)};
static const tlFieldInfo kSineWaveFields[] = {
    INT_UNSTORED(tlSineWaveEffect, amplitudeX), INT_UNSTORED(tlSineWaveEffect, wavelengthX),
    INT_UNSTORED(tlSineWaveEffect, amplitudeY), INT_UNSTORED(tlSineWaveEffect, wavelengthY),
    BOOL_UNSTORED(tlSineWaveEffect, wrap)};
static const tlFieldInfo kKaleidoscopeFields[] = {INT_FIELD(tlKaleidoscopeEffect, mode)};

#define CLASS(N, fields) {#N, tl##N##Effect::classTypeId, tl##N##Effect::payloadLength, &createOf<tl##N##Effect>, \
                          fields, static_cast<int32_t>(sizeof(fields) / sizeof(fields[0]))}
#define CLASS_NO_FIELDS(N) {#N, tl##N##Effect::classTypeId, tl##N##Effect::payloadLength, \
                            &createOf<tl##N##Effect>, nullptr, 0}

static const tlEffectInfo kCatalogue[] = {
    CLASS(HSVNoise, kHsvNoiseFields),       CLASS(HistogramNoise, kHistogramNoiseFields),
    CLASS(EdgeDetection, kEdgeDetectionFields), CLASS(Neon, kNeonFields),
    CLASS(Emboss, kEmbossFields),           CLASS(Pixelize, kPixelizeFields),
    CLASS(Median, kMedianFields),           CLASS(Minimum, kMinimumFields),
    CLASS(Maximum, kMaximumFields),         CLASS(Spread, kSpreadFields),
    CLASS(GlassTile, kGlassTileFields),     CLASS(Gradient, kGradientFields),
    CLASS(GradientPattern, kGradientPatternFields), CLASS(Dots, kDotsFields),
    CLASS(RandomDots, kRandomDotsFields),   CLASS(ParallelLines, kParallelLinesFields),
    CLASS(Grid, kGridFields),               CLASS(Checker, kCheckerFields),
    CLASS(Cloud, kCloudFields),             CLASS(Plasma, kPlasmaFields),
    CLASS(OilPaint, kOilPaintFields),       CLASS(Watercolor, kWatercolorFields),
    CLASS_NO_FIELDS(Negative),              CLASS(Cylinder, kCylinderFields),
    CLASS(Swirl, kSwirlFields),             CLASS(SineWave, kSineWaveFields),
    CLASS(Kaleidoscope, kKaleidoscopeFields)};

static const int32_t kCatalogueCount = static_cast<int32_t>(sizeof(kCatalogue) / sizeof(kCatalogue[0]));
static_assert(sizeof(kCatalogue) / sizeof(kCatalogue[0]) == 27, "the catalogue holds 27 classes");

const tlEffectInfo *effectCatalogue(int32_t &count) {
    count = kCatalogueCount;
    return kCatalogue;
}

const tlEffectInfo *findEffectInfo(int32_t typeId) {
    for (const tlEffectInfo &info : kCatalogue)
        if (info.typeId == typeId) return &info;
    return nullptr;
}

const tlEffectInfo *findEffectInfo(const char *name) {
    for (const tlEffectInfo &info : kCatalogue)
        if (std::strcmp(info.name, name) == 0) return &info;
    return nullptr;
}

const tlFieldInfo *findField(const tlEffectInfo &info, const char *name) {
    for (int32_t i = 0; i < info.fieldCount; ++i)
        if (std::strcmp(info.fields[i].name, name) == 0) return &info.fields[i];
    return nullptr;
}

tlEffect *createEffect(int32_t typeId) {
    const tlEffectInfo *info = findEffectInfo(typeId);
    return info ? info->create() : nullptr;
}

tlEffect *createEffectByName(const char *name) {
    const tlEffectInfo *info = findEffectInfo(name);
    return info ? info->create() : nullptr;
}

// The address of a field of the given kind, or null.
static void *fieldOf(const tlEffect &effect, const char *name, tlFieldKind kind) {
    const tlEffectInfo *info = findEffectInfo(effect.typeId());
    const tlFieldInfo *field = info ? findField(*info, name) : nullptr;
    if (!field || field->kind != kind) return nullptr;
    // The accessors take a mutable effect; the const getters only read through it.
    return field->address(const_cast<tlEffect &>(effect));
}

bool getIntField(const tlEffect &effect, const char *name, int32_t &value) {
    void *p = fieldOf(effect, name, tlFieldKind::Int);
    if (p) value = *static_cast<int32_t *>(p);
    return p != nullptr;
}

bool setIntField(tlEffect &effect, const char *name, int32_t value) {
    void *p = fieldOf(effect, name, tlFieldKind::Int);
    if (p) *static_cast<int32_t *>(p) = value;
    return p != nullptr;
}

bool getBoolField(const tlEffect &effect, const char *name, bool &value) {
    void *p = fieldOf(effect, name, tlFieldKind::Bool);
    if (p) value = *static_cast<bool *>(p);
    return p != nullptr;
}

bool setBoolField(tlEffect &effect, const char *name, bool value) {
    void *p = fieldOf(effect, name, tlFieldKind::Bool);
    if (p) *static_cast<bool *>(p) = value;
    return p != nullptr;
}

bool getColourField(const tlEffect &effect, const char *name, tlColour &value) {
    void *p = fieldOf(effect, name, tlFieldKind::Colour);
    if (p) value = *static_cast<tlColour *>(p);
    return p != nullptr;
}

bool setColourField(tlEffect &effect, const char *name, const tlColour &value) {
    void *p = fieldOf(effect, name, tlFieldKind::Colour);
    if (p) *static_cast<tlColour *>(p) = value;
    return p != nullptr;
}

// --- text forms ---

// Reads an unsigned decimal or 0x-hexadecimal number at *text, advancing it.
static bool readNumber(const char *&text, uint64_t &value) {
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) base = 16, text += 2;
    const char *start = text;
    value = 0;
    for (;; ++text) {
        char c = *text;
        int digit = c >= '0' && c <= '9' ? c - '0' : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) break;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFull) return false;
    }
    return text != start;
}

// A 32-bit value written signed (-2147483648..) or unsigned (..4294967295).
static bool parseInt(const char *text, int32_t &value) {
    bool negative = *text == '-';
    if (negative) ++text;
    uint64_t magnitude;
    if (!readNumber(text, magnitude) || *text != '\0') return false;
    if (negative && magnitude > 0x80000000ull) return false;
    uint32_t bits = static_cast<uint32_t>(negative ? 0u - magnitude : magnitude);
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool parseColour(const char *text, tlColour &value) {
    struct Form { const char *prefix; int count; uint64_t max; };
    static const Form forms[] = {{"rgba16(", 4, 65535}, {"rgba(", 4, 255}, {"rgb(", 3, 255}};
    for (const Form &form : forms) {
        size_t length = std::strlen(form.prefix);
        if (std::strncmp(text, form.prefix, length) != 0) continue;
        const char *p = text + length;
        uint64_t v[4] = {};
        for (int i = 0; i < form.count; ++i) {
            while (*p == ' ') ++p;
            if (!readNumber(p, v[i]) || v[i] > form.max) return false;
            while (*p == ' ') ++p;
            if (*p++ != (i + 1 < form.count ? ',' : ')')) return false;
        }
        if (*p != '\0') return false;
        uint32_t r = static_cast<uint32_t>(v[0]), g = static_cast<uint32_t>(v[1]);
        uint32_t b = static_cast<uint32_t>(v[2]), a = static_cast<uint32_t>(v[3]);
        value = form.count == 3 ? tlColour::rgb(r, g, b)
              : form.max == 255 ? tlColour::rgba(r, g, b, a) : tlColour::rgba16(r, g, b, a);
        return true;
    }
    return false;
}

bool setFieldFromText(tlEffect &effect, const char *name, const char *text) {
    const tlEffectInfo *info = findEffectInfo(effect.typeId());
    const tlFieldInfo *field = info ? findField(*info, name) : nullptr;
    if (!field) return false;
    void *p = field->address(effect);
    switch (field->kind) {
    case tlFieldKind::Int: return parseInt(text, *static_cast<int32_t *>(p));
    case tlFieldKind::Bool:
        if (std::strcmp(text, "0") != 0 && std::strcmp(text, "1") != 0) return false;
        *static_cast<bool *>(p) = text[0] == '1';
        return true;
    case tlFieldKind::Colour: return parseColour(text, *static_cast<tlColour *>(p));
    }
    return false;
}

// One sample per channel: bytes at 8 bits, little-endian words at 16 bits,
// and the 32-bit integer of a one-channel colour.
static uint32_t colourSample(const tlColour &c, int32_t i) {
    const uint8_t *s = c.samples;
    if (c.channels == 1) return s[0] | s[1] << 8 | s[2] << 16 | static_cast<uint32_t>(s[3]) << 24;
    if (c.bits == 16) return s[2 * i] | s[2 * i + 1] << 8;
    return s[i];
}

static bool formatColour(const tlColour &c, char *out, size_t size) {
    int n = std::snprintf(out, size, "{\"model\":%d,\"bits\":%d,\"channels\":%d,\"samples\":[",
                          static_cast<int>(c.model), static_cast<int>(c.bits), static_cast<int>(c.channels));
    int32_t count = c.channels >= 1 && c.channels <= 4 && (c.bits == 8 || c.bits == 16) ? c.channels : 0;
    for (int32_t i = 0; i < count && n >= 0 && static_cast<size_t>(n) < size; ++i)
        n += std::snprintf(out + n, size - static_cast<size_t>(n), i ? ",%u" : "%u",
                           static_cast<unsigned>(colourSample(c, i)));
    if (n >= 0 && static_cast<size_t>(n) < size) n += std::snprintf(out + n, size - static_cast<size_t>(n), "]}");
    return n >= 0 && static_cast<size_t>(n) < size;
}

bool formatField(const tlEffect &effect, const tlFieldInfo &field, char *out, size_t size) {
    if (size == 0) return false;
    const void *p = field.address(const_cast<tlEffect &>(effect));
    int n = 0;
    switch (field.kind) {
    case tlFieldKind::Int: n = std::snprintf(out, size, "%d", static_cast<int>(*static_cast<const int32_t *>(p))); break;
    case tlFieldKind::Bool: n = std::snprintf(out, size, "%s", *static_cast<const bool *>(p) ? "true" : "false"); break;
    case tlFieldKind::Colour: return formatColour(*static_cast<const tlColour *>(p), out, size);
    }
    return n >= 0 && static_cast<size_t>(n) < size;
}
