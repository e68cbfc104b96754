// Recipes: every composed wallpaper comes back byte for byte from its text;
// changed, cut, newer and hostile texts and bodies are refused with the
// right result; every field at both ends of its bounds renders; the job
// record hands recipes out and renders them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "compose/composer.h"
#include "compose/job.h"
#include "compose/recipe.h"
#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "effects/core/picture_layer.h"
#include "imaging/image.h"
#include "tests/support/formats.h"
#include "tests/support/pictures.h"

namespace {

struct Size {
    int32_t w, h;
};

// The composer the tests' jobs draw with.
WallpaperComposer &testComposer() {
    static WallpaperComposer composer;
    return composer;
}

// A composed wallpaper and its recipe, from the tests' composer seeded.
tlImage *compose(uint32_t seed, Size size, tlRecipe &recipe) {
    testComposer().random.seed(seed);
    GenerationJob job = {size.w, size.h, nullptr};
    job.composer = &testComposer();
    job.recipe = &recipe;
    runGenerationJob(&job);
    return job.result;
}

std::string textOf(const tlRecipe &recipe) {
    char text[kRecipeTextCapacity];
    const tlRecipeStatus status = encodeRecipeText(recipe, text, sizeof text);
    EXPECT_TRUE(status.ok()) << static_cast<int>(status.result);
    return text;
}

std::string describe(const tlRecipeStatus &status) {
    char text[256];
    describeRecipeStatus(status, text, sizeof text);
    return text;
}

struct RoundTrips {
    int32_t count = 0;
    size_t shortest = SIZE_MAX, longest = 0, total = 0;
};

// compose(seed) and render(decode(encode(recipe))) give the same bytes.
void roundTrip(uint32_t seed, Size size, RoundTrips &stats) {
    tlRecipe recipe;
    tlImage *made = compose(seed, size, recipe);
    ASSERT_NE(made, nullptr);
    const std::string text = textOf(recipe);
    tlRecipe back;
    const tlRecipeStatus decoded = decodeRecipeText(text.c_str(), back);
    ASSERT_TRUE(decoded.ok()) << describe(decoded) << " " << text;
    EXPECT_EQ(textOf(back), text);
    tlImage *again = nullptr;
    const tlRecipeStatus rendered = renderRecipe(back, again);
    ASSERT_TRUE(rendered.ok()) << describe(rendered);
    EXPECT_TRUE(sameFormatAndPixels(made->picture, again->picture))
        << "seed " << seed << " at " << size.w << "x" << size.h << ": " << text;
    delete made;
    delete again;
    stats.count += 1;
    stats.total += text.size();
    stats.shortest = text.size() < stats.shortest ? text.size() : stats.shortest;
    stats.longest = text.size() > stats.longest ? text.size() : stats.longest;
}

// Mostly small and awkward sizes: the square presets, primes, one pixel,
// thin strips. The quick share (240 seeds) meets the four largest presets
// once; CW_RECIPE_FULL=1 runs 1,200 seeds over all sizes alike, eight more
// at 1920 x 1080.
TEST(Recipe, EveryWallpaperComesBackByteForByte) {
    const Size sizes[] = {{32, 32},  {64, 64}, {80, 80}, {100, 100}, {120, 120}, {128, 128}, {1, 1},
                          {2, 3},    {13, 7},  {97, 89}, {1, 61},    {61, 1},    {3, 128},   {128, 2},
                          {127, 131}, {6, 6},  {160, 160}, {200, 200}, {240, 240}, {256, 256}};
    const uint32_t all = sizeof sizes / sizeof sizes[0], small = all - 4;
    const char *full = std::getenv("CW_RECIPE_FULL");
    const bool everything = full != nullptr && std::strcmp(full, "1") == 0;
    const uint32_t seeds = everything ? 1192 : 240;
    RoundTrips stats;
    for (uint32_t k = 0; k < seeds; ++k) {
        roundTrip(k * 2654435761u + 7, sizes[everything || k < all ? k % all : k % small], stats);
        if (HasFatalFailure()) return;
    }
    for (uint32_t k = 0; everything && k < 8; ++k) roundTrip(k + 1000000, Size{1920, 1080}, stats);
    std::printf("recipes: %d round trips, text length %d..%d, mean %d\n", stats.count,
                static_cast<int>(stats.shortest), static_cast<int>(stats.longest),
                static_cast<int>(stats.total / static_cast<size_t>(stats.count)));
}

// A recipe of every kind of field: a gradient (colours, ints), a neon
// (radius bounds), random dots (bools, bounded jitter) and a plasma at
// half opacity.
tlRecipe sampleRecipe() {
    tlPictureLayer layer;
    EXPECT_TRUE(layer.create(40, 24, kRGBA8));
    for (const char *name : {"Gradient", "Neon", "RandomDots", "Plasma"})
        EXPECT_TRUE(layer.addEffect(createEffectByName(name), false));
    layer.effects.at(3)->opacity = 32768;
    tlRecipe r;
    EXPECT_TRUE(captureRecipe(layer, r).ok());
    r.effects[0].colours[1] = tlColour::rgba16(1, 60000, 3, 40000);
    return r;
}

int32_t fieldIndex(const tlRecipeEffect &e, const char *field) {
    const tlEffectInfo &info = *findEffectInfo(e.typeId);
    for (int32_t k = 0; k < info.fieldCount; ++k)
        if (std::strcmp(info.fields[k].name, field) == 0) return k;
    ADD_FAILURE() << field;
    return 0;
}

tlRecipeResult decodeText(const std::string &text, tlRecipeStatus *status = nullptr) {
    tlRecipe out;
    const tlRecipeStatus s = decodeRecipeText(text.c_str(), out);
    if (status) *status = s;
    return s.result;
}

// Every single changed character, every cut, two swapped neighbours and a
// character added: the checksum (or the base64 form) refuses them all.
TEST(Recipe, ChangedOrCutTextsAreRefused) {
    const std::string text = textOf(sampleRecipe());
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    ASSERT_EQ(text.compare(0, 4, "cw1-"), 0);
    for (size_t i = 4; i < text.size(); ++i) {
        const size_t at = alphabet.find(text[i]);
        for (const char c : {alphabet[(at + 1) % 64], alphabet[(at + 33) % 64]}) {
            std::string changed = text;
            changed[i] = c;
            EXPECT_EQ(decodeText(changed), tlRecipeResult::Damaged) << i;
        }
        if (text[i] != text[i - 1] && i > 4) {
            std::string swapped = text;
            std::swap(swapped[i], swapped[i - 1]);
            EXPECT_EQ(decodeText(swapped), tlRecipeResult::Damaged) << i;
        }
        EXPECT_NE(decodeText(text.substr(0, i)), tlRecipeResult::Ok) << i;
        EXPECT_EQ(decodeText(text.substr(0, i) + "A" + text.substr(i)), tlRecipeResult::Damaged) << i;
    }
    EXPECT_EQ(decodeText(" \t" + text + "\r\n"), tlRecipeResult::Ok);
}

TEST(Recipe, TextsThatAreNoRecipesOrNewerAreNamed) {
    const std::string body = textOf(sampleRecipe()).substr(4);
    const struct {
        std::string text;
        tlRecipeResult result;
        int32_t version, position;
    } cases[] = {
        {"", tlRecipeResult::NotARecipe, 0, -1},
        {"hello", tlRecipeResult::NotARecipe, 0, -1},
        {"CW1-" + body, tlRecipeResult::NotARecipe, 0, -1},
        {"cw0-" + body, tlRecipeResult::NotARecipe, 0, -1},
        {"cw01-" + body, tlRecipeResult::NotARecipe, 0, -1},
        {"cw1" + body, tlRecipeResult::NotARecipe, 0, -1},
        {"cw2-" + body, tlRecipeResult::NewerFormat, 2, -1},
        {"cw37-anything at all", tlRecipeResult::NewerFormat, 37, -1},
        {"cw1-" + body.substr(0, 5) + "=" + body.substr(5), tlRecipeResult::BadCharacter, 0, 9},
        {"cw1-" + body + " x", tlRecipeResult::BadCharacter, 0, static_cast<int32_t>(body.size()) + 4},
        {"cw1-", tlRecipeResult::Damaged, 0, -1},
        {"cw1-" + std::string(6000, 'A'), tlRecipeResult::Malformed, 0, -1},
    };
    for (const auto &c : cases) {
        tlRecipeStatus status;
        EXPECT_EQ(decodeText(c.text, &status), c.result) << c.text;
        EXPECT_EQ(status.version, c.version) << c.text;
        EXPECT_EQ(status.position, c.position) << c.text;
    }
    tlRecipeStatus status;
    decodeText("cw2-" + body, &status);
    EXPECT_NE(describe(status).find("newer"), std::string::npos);
}

// Well-formed bodies with hostile contents: each names what it refuses, and
// a refused decode leaves the output alone.
TEST(Recipe, HostileBodiesAreRefusedBeforeAnyPixel) {
    struct Case {
        const char *what;
        void (*change)(tlRecipe &);
        tlRecipeResult result;
        const char *field;
        bool written = true;  // the body can hold the hostile value
    };
    const Case cases[] = {
        {"sound", [](tlRecipe &) {}, tlRecipeResult::Ok, nullptr},
        {"zero width", [](tlRecipe &r) { r.width = 0; }, tlRecipeResult::BadSize, nullptr},
        {"wide side", [](tlRecipe &r) { r.width = 32768; r.height = 1; }, tlRecipeResult::BadSize, nullptr},
        {"largest side", [](tlRecipe &r) { r.width = 32767; r.height = 1; }, tlRecipeResult::Ok, nullptr},
        {"too many pixels", [](tlRecipe &r) { r.width = 8193; r.height = 8192; }, tlRecipeResult::BadSize, nullptr},
        {"most pixels", [](tlRecipe &r) { r.width = 8192; r.height = 8192; }, tlRecipeResult::Ok, nullptr},
        {"negative size", [](tlRecipe &r) { r.height = -5; }, tlRecipeResult::BadSize, nullptr},
        {"unknown class", [](tlRecipe &r) { r.effects[1].typeId = 2; }, tlRecipeResult::UnknownEffect, nullptr},
        {"opacity", [](tlRecipe &r) { r.effects[2].opacity = 65536; }, tlRecipeResult::BadValue, "opacity"},
        {"blend mode", [](tlRecipe &r) { r.effects[2].blendMode = 18; }, tlRecipeResult::BadValue, "blendMode"},
        {"neon radius -1", [](tlRecipe &r) { r.effects[1].numbers[0] = -1; }, tlRecipeResult::BadValue, "radius"},
        {"neon radius 0", [](tlRecipe &r) { r.effects[1].numbers[0] = 0; }, tlRecipeResult::BadValue, "radius"},
        {"neon radius 1001", [](tlRecipe &r) { r.effects[1].numbers[0] = 1001; }, tlRecipeResult::BadValue,
         "radius"},
        {"bool 2", [](tlRecipe &r) { r.effects[1].numbers[2] = 2; }, tlRecipeResult::BadValue, "wrap"},
        {"gradient shape", [](tlRecipe &r) { r.effects[0].numbers[2] = 5; }, tlRecipeResult::BadValue, "shape"},
        {"dot density", [](tlRecipe &r) { r.effects[2].numbers[fieldIndex(r.effects[2], "density")] = 10001; },
         tlRecipeResult::BadValue, "density"},
        {"dot jitter", [](tlRecipe &r) { r.effects[2].numbers[fieldIndex(r.effects[2], "sizeJitter")] = -3; },
         tlRecipeResult::BadValue, "sizeJitter"},
        {"plasma roughness", [](tlRecipe &r) { r.effects[3].numbers[1] = 0; }, tlRecipeResult::BadValue,
         "roughness"},
        {"indexed colour",
         [](tlRecipe &r) {
             tlColour &c = r.effects[0].colours[0];
             c.model = tlColourModel::Indexed;
         },
         tlRecipeResult::BadValue, "colour1"},
        {"gray above its depth",
         [](tlRecipe &r) {
             tlColour &c = r.effects[0].colours[0];
             c.model = tlColourModel::Gray;
             c.channels = 1;
             c.samples[0] = 0, c.samples[1] = 1;
         },
         tlRecipeResult::BadValue, "colour1", false},
    };
    for (const Case &c : cases) {
        tlRecipe recipe = sampleRecipe();
        c.change(recipe);
        uint8_t body[kRecipeBodyCapacity];
        size_t length = 0;
        // A class without a catalogue entry has no body (the decoder's side
        // is in MalformedBodiesAreRefused).
        const tlRecipeStatus encoded = encodeRecipeBody(recipe, body, sizeof body, length);
        tlRecipe out;
        out.width = 77;
        const tlRecipeStatus status =
            !c.written ? validateRecipe(recipe) : encoded.ok() ? decodeRecipeBody(body, length, out) : encoded;
        EXPECT_EQ(status.result, c.result) << c.what << ": " << describe(status);
        EXPECT_EQ(validateRecipe(recipe).result, c.result) << c.what;
        if (c.field) {
            EXPECT_STREQ(status.field, c.field) << c.what;
        }
        if (!status.ok()) {
            EXPECT_EQ(out.width, 77) << c.what;
            tlImage *image = reinterpret_cast<tlImage *>(&out);
            EXPECT_EQ(renderRecipe(recipe, image).result, c.result) << c.what;
            EXPECT_EQ(image, nullptr) << c.what;
            char text[kRecipeTextCapacity];
            EXPECT_EQ(encodeRecipeText(recipe, text, sizeof text).result, c.result) << c.what;
        }
    }
}

// Bodies whose bytes do not form a recipe, with a sound checksum.
TEST(Recipe, MalformedBodiesAreRefused) {
    uint8_t body[kRecipeBodyCapacity];
    size_t length = 0;
    ASSERT_TRUE(encodeRecipeBody(sampleRecipe(), body, sizeof body, length).ok());
    tlRecipe out;
    for (size_t cut = 0; cut < length; ++cut)
        EXPECT_EQ(decodeRecipeBody(body, cut, out).result, tlRecipeResult::Malformed) << cut;
    body[length] = 0;
    EXPECT_EQ(decodeRecipeBody(body, length + 1, out).result, tlRecipeResult::Malformed);
    const std::vector<std::vector<uint8_t>> bad = {
        {0x80, 0x00, 1, 0},              // width 0 written in two bytes
        {1, 1, 33},                      // 33 effects
        {0xFF, 0xFF, 0xFF, 0xFF, 0x1F},  // a varint above 32 bits
        {4, 4, 1, 0xFF, 0x7F},           // type 16383
    };
    const tlRecipeResult results[] = {tlRecipeResult::Malformed, tlRecipeResult::TooManyEffects,
                                      tlRecipeResult::Malformed, tlRecipeResult::UnknownEffect};
    for (size_t i = 0; i < bad.size(); ++i)
        EXPECT_EQ(decodeRecipeBody(bad[i].data(), bad[i].size(), out).result, results[i]) << i;
}

// Every int field has bounds and every class's defaults lie within them;
// each field at either end of its bounds, with the other fields at their
// defaults (bools off, then on), renders on small pictures without a fault.
TEST(Recipe, EveryFieldRendersAtBothEndsOfItsBounds) {
    int32_t count = 0;
    const tlEffectInfo *classes = effectCatalogue(count);
    for (int32_t c = 0; c < count; ++c) {
        const tlEffectInfo &info = classes[c];
        tlPictureLayer layer;
        ASSERT_TRUE(layer.create(3, 2, kRGBA8));
        ASSERT_TRUE(layer.addEffect(info.create(), false));
        tlRecipe recipe;
        ASSERT_TRUE(captureRecipe(layer, recipe).ok()) << info.name;
        for (int32_t k = 0; k < info.fieldCount; ++k) {
            int32_t low = 0, high = 0;
            EXPECT_EQ(recipeFieldBounds(info.typeId, k, low, high), info.fields[k].kind == tlFieldKind::Int)
                << info.name << "." << info.fields[k].name;
        }
        for (const bool flagsOn : {false, true}) {
            tlRecipe base = recipe;
            for (int32_t k = 0; k < info.fieldCount; ++k)
                if (info.fields[k].kind == tlFieldKind::Bool) base.effects[0].numbers[k] = flagsOn;
            for (int32_t k = 0; k < info.fieldCount; ++k) {
                int32_t ends[2];
                if (!recipeFieldBounds(info.typeId, k, ends[0], ends[1])) continue;
                for (const int32_t v : ends) {
                    for (const Size size : {Size{1, 1}, Size{7, 5}}) {
                        tlRecipe r = base;
                        r.width = size.w, r.height = size.h;
                        r.effects[0].numbers[k] = v;
                        tlImage *image = nullptr;
                        const tlRecipeStatus status = renderRecipe(r, image);
                        EXPECT_TRUE(status.ok()) << info.name << "." << info.fields[k].name << "=" << v << ": "
                                                 << describe(status);
                        delete image;
                    }
                }
            }
        }
    }
}

// The job hands out the recipe of what it made, renders a recipe instead of
// composing when given one, and makes nothing of a refused recipe.
TEST(Recipe, TheJobHandsOutAndRendersRecipes) {
    tlRecipe made;
    tlImage *composed = compose(99, Size{48, 36}, made);
    ASSERT_NE(composed, nullptr);
    ASSERT_EQ(made.width, 48);
    ASSERT_GT(made.effectCount, 0);

    tlRecipe again;
    GenerationJob job = {1, 1, nullptr};
    job.render = &made;
    job.recipe = &again;
    runGenerationJob(&job);
    ASSERT_NE(job.result, nullptr);
    EXPECT_TRUE(sameFormatAndPixels(job.result->picture, composed->picture));
    EXPECT_EQ(textOf(again), textOf(made));
    delete job.result;
    delete composed;

    made.effects[0].blendMode = 40;
    runGenerationJob(&job);
    EXPECT_EQ(job.result, nullptr);
    EXPECT_EQ(again.width, 0);
    EXPECT_EQ(again.effectCount, 0);

    GenerationJob huge = {1 << 20, 1 << 20, nullptr};
    huge.recipe = &again;
    huge.composer = &testComposer();
    runGenerationJob(&huge);
    EXPECT_EQ(huge.result, nullptr);
    EXPECT_EQ(again.width, 0);
}

}  // namespace
