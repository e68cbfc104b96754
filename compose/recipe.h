// Recipes: what makes a wallpaper (its size and the layer's effects, each with
// every field of its class, opacity and blend mode), captured from a built
// layer, checked against the bounds every class renders safely within,
// written as a compact binary body and as one line of text ("cw1-" and
// base64url), and rendered again with the generation job's own steps.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/colour.h"

class tlEffect;
class tlImage;
class tlPictureLayer;

// The version of the text form; it changes only when the text changes.
constexpr int32_t kRecipeFormat = 1;

// Bounds of a recipe. Sides are those the settings dialog's spinners offer;
// the pixel count keeps one working picture at 256 MiB, so rendering (the
// layer, an effect's copy of it, the composite) stays near 1 GiB and the
// 24-bit file at 192 MiB. Every screen up to 8K and multi-monitor spans fit.
constexpr int32_t kRecipeMaxSide = 32767;
constexpr int64_t kRecipeMaxPixels = int64_t(1) << 26;
constexpr int32_t kRecipeMaxEffects = 32;
// The most fields a catalogue class has (tlRandomDotsEffect).
constexpr int32_t kRecipeMaxFields = 9;
// Room for the longest body a recipe struct can be written as, valid or not
// (32 effects of at most 96 bytes), and for the longest text of a valid
// recipe (about 1800 characters), its terminating zero included.
constexpr size_t kRecipeBodyCapacity = 4096;
constexpr size_t kRecipeTextCapacity = 4096;

// One effect: its class, the base's opacity and blend mode, and every field
// of the class (stored in its parameter record or not) in catalogue order.
// Field i is numbers[i] for ints and bools (0 or 1), colours[i] for colours.
struct tlRecipeEffect {
    int32_t typeId = 0;
    uint32_t opacity = 65535;
    int32_t blendMode = 0;
    int32_t numbers[kRecipeMaxFields] = {};
    tlColour colours[kRecipeMaxFields];
};

// A plain value: copies freely, allocates nothing. An empty recipe (size 0)
// stands for "no recipe".
struct tlRecipe {
    int32_t width = 0;
    int32_t height = 0;
    int32_t effectCount = 0;
    tlRecipeEffect effects[kRecipeMaxEffects];
};

enum class tlRecipeResult : int32_t {
    Ok = 0,
    NotARecipe,      // no "cw" and format number in front
    NewerFormat,     // a format this build does not read yet (version holds it)
    BadCharacter,    // a character outside base64url (position holds it)
    Damaged,         // the checksum does not match: changed, added or lost characters
    Malformed,       // the checksum matches but the body is not a recipe (detail)
    UnknownEffect,   // no catalogue class has the type identifier
    BadSize,         // width or height outside 1..32767, or too many pixels
    TooManyEffects,  // more than kRecipeMaxEffects
    BadValue,        // a field, opacity, blend mode or colour outside its bounds
    TooLong,         // the text does not fit the caller's buffer
    NoMemory,        // the layer, the image or an effect could not be allocated
    EffectFailed,    // an effect's apply failed while rendering
};

// What went wrong and where; the fields that do not apply keep their
// defaults. effect counts from 0.
struct tlRecipeStatus {
    tlRecipeResult result = tlRecipeResult::Ok;
    int32_t effect = -1;
    int32_t typeId = 0;
    const char *field = nullptr;   // catalogue field, "opacity" or "blendMode"
    const char *detail = nullptr;  // Malformed: what is wrong; BadValue: the part of a colour
    int64_t value = 0;             // the value refused
    int64_t low = 0;               // its bounds
    int64_t high = 0;
    int64_t width = 0;             // BadSize: the size refused
    int64_t height = 0;
    int32_t position = -1;         // BadCharacter: offset in the text
    int32_t version = 0;           // NewerFormat: the text's format

    bool ok() const { return result == tlRecipeResult::Ok; }
};

// An English sentence for tools and logs (the tray program maps the result
// to its own string table). False when out is too small (the text is cut).
bool describeRecipeStatus(const tlRecipeStatus &status, char *out, size_t size);

// The recipe of a layer's effects (those that were applied: the effect list
// holds no other), checked like a decoded one, so that a captured recipe
// always renders. On failure out is an empty recipe.
tlRecipeStatus captureRecipe(const tlPictureLayer &layer, tlRecipe &out);
// Size, effect count, known classes, every field within its bounds.
tlRecipeStatus validateRecipe(const tlRecipe &recipe);
// Inclusive bounds of int field `index` of the class; false for bools,
// colours and unknown classes or fields.
bool recipeFieldBounds(int32_t typeId, int32_t index, int32_t &low, int32_t &high);

// Body: unsigned LEB128 varints for sizes, counts, type identifiers,
// 65535 − opacity and the blend mode; zigzag varints for int fields; one
// byte 0 or 1 for bools; a colour as one format byte (model in bits 0..1,
// 16-bit depth in bit 2, channels − 1 in bits 3..4) and its samples (a
// byte each at 8 bits, little-endian words at 16; a one-channel gray colour
// holds its value as one sample). encodeRecipeBody writes the recipe as it
// is, unchecked, so that tests can build hostile bodies; length receives the
// byte count. decodeRecipeBody parses strictly and validates.
tlRecipeStatus encodeRecipeBody(const tlRecipe &recipe, uint8_t *out, size_t size, size_t &length);
tlRecipeStatus decodeRecipeBody(const uint8_t *body, size_t size, tlRecipe &out);

// Text: "cw" + format + "-" + base64url (no padding) of the body followed by
// the CRC-32 of the format byte and the body (4 bytes little-endian). The
// encoder validates first. The decoder ignores white space around the text
// and leaves out alone unless it succeeds.
tlRecipeStatus encodeRecipeText(const tlRecipe &recipe, char *out, size_t size);
tlRecipeStatus decodeRecipeText(const char *text, tlRecipe &out);
// The text of a body as it is (encodeRecipeText without the check): tests
// write hostile texts with it. TooLong when out cannot hold it.
tlRecipeStatus recipeTextOfBody(const uint8_t *body, size_t length, char *out, size_t size);

// A new effect of the recipe effect's class with its values, or null for an
// unknown class or no memory.
tlEffect *createRecipeEffect(const tlRecipeEffect &effect);

// Validates, then makes the wallpaper as the generation job does: a layer of
// the recipe's size in the working format, every effect added and applied
// at once, a new image rendered from it. On success out owns the image;
// otherwise out is null and nothing is left behind.
tlRecipeStatus renderRecipe(const tlRecipe &recipe, tlImage *&out);
