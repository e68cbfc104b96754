// Parameter records of every effect class: save/load round trips, refusals
// that leave the effect unchanged, load rules, clone and equals.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "effects/distortions/distortions.h"
#include "effects/filters/edges.h"
#include "effects/filters/noise.h"
#include "effects/filters/painterly.h"
#include "effects/patterns/clouds.h"
#include "effects/patterns/dots.h"
#include "effects/patterns/lines.h"
#include "imagefiles/stream.h"
#include "tests/support/streams.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes &operator<<(Bytes &b, uint32_t word) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(word >> (8 * i)));
    return b;
}

Bytes operator<<(Bytes &&b, uint32_t word) {
    b << word;
    return std::move(b);
}

Bytes saved(const tlEffect &effect) {
    tlMemoryStream s;
    if (!effect.save(s)) return {};
    return streamBytes(s);
}

bool loaded(tlEffect &effect, const Bytes &bytes) {
    tlMemoryStream s;
    fillStream(s, bytes);
    return effect.load(s);
}

// Every field in its text form, plus opacity and blend mode.
std::vector<std::string> snapshot(const tlEffect &effect) {
    const tlEffectInfo *info = findEffectInfo(effect.typeId());
    std::vector<std::string> fields{std::to_string(effect.opacity), std::to_string(effect.blendMode)};
    for (int32_t i = 0; info && i < info->fieldCount; ++i) {
        char text[128];
        formatField(effect, info->fields[i], text, sizeof text);
        fields.push_back(std::string(info->fields[i].name) + "=" + text);
    }
    return fields;
}

// Gives every field a value that differs from its default and survives the load rules.
void setDistinct(tlEffect &effect, int32_t salt) {
    const tlEffectInfo &info = *findEffectInfo(effect.typeId());
    for (int32_t i = 0; i < info.fieldCount; ++i) {
        const tlFieldInfo &f = info.fields[i];
        uint32_t v = static_cast<uint32_t>(salt + 7 * i);
        if (f.kind == tlFieldKind::Int) setIntField(effect, f.name, static_cast<int32_t>(v % 97 + 2));
        if (f.kind == tlFieldKind::Bool) setBoolField(effect, f.name, true);
        if (f.kind == tlFieldKind::Colour)
            setColourField(effect, f.name, tlColour::rgba16(v * 101, v * 203 + 1, 65535 - v, v * 7 + 3));
    }
    if (effect.typeId() == tlCylinderEffect::classTypeId) setIntField(effect, "vertical", 1);
    if (effect.typeId() == tlHSVNoiseEffect::classTypeId) setIntField(effect, "coverage", 50 + salt % 40);
}

std::vector<const tlEffectInfo *> allClasses() {
    int32_t count = 0;
    const tlEffectInfo *table = effectCatalogue(count);
    std::vector<const tlEffectInfo *> classes;
    for (int32_t i = 0; i < count; ++i) classes.push_back(&table[i]);
    return classes;
}

}  // namespace

TEST(Catalogue, ClassesAndIdentifiers) {
    auto classes = allClasses();
    ASSERT_EQ(classes.size(), 27u);
    for (const tlEffectInfo *info : classes) {
        std::unique_ptr<tlEffect> byId(createEffect(info->typeId)), byName(createEffectByName(info->name));
        ASSERT_TRUE(byId && byName) << info->name;
        EXPECT_EQ(byId->typeId(), info->typeId);
        EXPECT_EQ(byName->typeId(), info->typeId);
        EXPECT_EQ(byId->opacity, 65535u);
        EXPECT_EQ(byId->blendMode, 0);
        EXPECT_FALSE(byId->producesPicture());
    }
    EXPECT_EQ(createEffect(2), nullptr);
    EXPECT_EQ(createEffectByName("tlGlassTileEffect"), nullptr);
    EXPECT_EQ(findEffectInfo("GlassTile")->typeId, 29);
    EXPECT_EQ(findEffectInfo(139)->name, std::string("Plasma"));
}

TEST(Records, EveryClassRoundTrips) {
    for (const tlEffectInfo *info : allClasses()) {
        std::unique_ptr<tlEffect> original(info->create()), fresh(info->create()), defaults(info->create());
        setDistinct(*original, info->typeId);
        Bytes bytes = saved(*original);
        ASSERT_EQ(bytes.size(), 4 + info->payloadLength) << info->name;
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), Bytes() << info->payloadLength);
        ASSERT_TRUE(loaded(*fresh, bytes)) << info->name;
        EXPECT_TRUE(fresh->equals(*original)) << info->name;
        // Stored fields arrive; the others keep their defaults.
        auto after = snapshot(*fresh), wanted = snapshot(*original), kept = snapshot(*defaults);
        for (int32_t i = 0; i < info->fieldCount; ++i)
            EXPECT_EQ(after[2 + i], info->fields[i].stored ? wanted[2 + i] : kept[2 + i]) << info->name;
    }
}

TEST(Records, WrongLengthOrShortStreamLeavesEffectUnchanged) {
    for (const tlEffectInfo *info : allClasses()) {
        std::unique_ptr<tlEffect> source(info->create()), target(info->create());
        setDistinct(*source, 3);
        setDistinct(*target, 40);
        auto before = snapshot(*target);
        Bytes good = saved(*source);
        ASSERT_FALSE(good.empty());
        Bytes longer = Bytes() << info->payloadLength + 4;
        longer.insert(longer.end(), good.begin() + 4, good.end());
        longer << 0u;
        EXPECT_FALSE(loaded(*target, longer)) << info->name;
        Bytes shorter(good.begin(), good.end() - 1);
        EXPECT_FALSE(loaded(*target, shorter)) << info->name;
        EXPECT_FALSE(loaded(*target, Bytes{0, 0})) << info->name;
        EXPECT_EQ(snapshot(*target), before) << info->name;
    }
}

TEST(Records, CloneCopiesEverythingAndEqualsSeesEveryStoredField) {
    for (const tlEffectInfo *info : allClasses()) {
        std::unique_ptr<tlEffect> effect(info->create());
        setDistinct(*effect, 11);
        effect->opacity = 1234;
        effect->blendMode = 7;
        std::unique_ptr<tlEffect> copy(effect->clone());
        ASSERT_TRUE(copy) << info->name;
        EXPECT_TRUE(copy->equals(*effect)) << info->name;
        EXPECT_EQ(snapshot(*copy), snapshot(*effect)) << info->name;
        for (int32_t i = 0; i < info->fieldCount; ++i) {
            const tlFieldInfo &f = info->fields[i];
            std::unique_ptr<tlEffect> changed(effect->clone());
            int32_t n;
            bool b;
            if (f.kind == tlFieldKind::Int && getIntField(*changed, f.name, n)) setIntField(*changed, f.name, n + 1);
            if (f.kind == tlFieldKind::Bool && getBoolField(*changed, f.name, b)) setBoolField(*changed, f.name, !b);
            if (f.kind == tlFieldKind::Colour) setColourField(*changed, f.name, tlColour::rgb(1, 2, 3));
            EXPECT_EQ(changed->equals(*effect), !f.stored) << info->name << "." << f.name;
        }
    }
}

TEST(Records, OilPaintRadiusRules) {
    tlOilPaintEffect effect;
    EXPECT_FALSE(loaded(effect, Bytes() << 12u << 5u << 1u << 0u));
    EXPECT_EQ(effect.radius, 2);
    ASSERT_TRUE(loaded(effect, Bytes() << 8u << 0u << 3u));
    EXPECT_EQ(effect.radius, 1);
    EXPECT_TRUE(effect.wrap);  // bit 0 of 3
    ASSERT_TRUE(loaded(effect, Bytes() << 8u << static_cast<uint32_t>(-3) << 2u));
    EXPECT_EQ(effect.radius, -3);  // the test is unsigned: negative values pass
    EXPECT_FALSE(effect.wrap);
}

TEST(Records, ColourComesFirstAsSixteenBitWords) {
    tlParallelLinesEffect lines;
    lines.colour = tlColour::rgb(255, 1, 0);
    lines.vertical = 1;
    Bytes bytes = saved(lines);
    ASSERT_EQ(bytes.size(), 28u);
    EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 16), (Bytes{0xFF, 0xFF, 1, 1, 0, 0, 0xFF, 0xFF, 1, 0, 0, 0}));
    tlParallelLinesEffect back;
    ASSERT_TRUE(loaded(back, bytes));
    EXPECT_TRUE(back.colour.equals(tlColour::rgba16(65535, 257, 0, 65535)));
    EXPECT_FALSE(back.colour.equals(lines.colour));  // reloads as 16-bit RGBA
    EXPECT_EQ(saved(tlDotsEffect()).size(), 40u);
    EXPECT_EQ(saved(tlGridEffect()).size(), 32u);
}

TEST(Records, SineWaveStoresNothing) {
    tlSineWaveEffect a, b;
    a.amplitudeX = 99;
    b.wrap = true;
    EXPECT_EQ(saved(a), (Bytes{0, 0, 0, 0}));
    EXPECT_TRUE(loaded(b, saved(a)));
    EXPECT_TRUE(b.wrap);
    EXPECT_EQ(b.amplitudeX, 10);
    EXPECT_TRUE(a.equals(b));
}

TEST(Records, HSVNoiseCoverageRules) {
    const int32_t cases[][2] = {{250, 100}, {-5, 100}, {0, 1}, {1, 1}, {100, 100}, {101, 100}, {37, 37}};
    for (const auto &c : cases) {
        tlHSVNoiseEffect effect;
        ASSERT_TRUE(loaded(effect, Bytes() << 24u << static_cast<uint32_t>(c[0]) << 5u << 0u << 0u << 0u << 0u));
        EXPECT_EQ(effect.coverage, c[1]) << c[0];
    }
}

TEST(Records, FlagRules) {
    tlCloudEffect cloud;
    cloud.seed = 77;
    tlCloudEffect fresh;
    ASSERT_TRUE(loaded(fresh, saved(cloud)));
    EXPECT_EQ(fresh.seed, 0);
    Bytes cloudRecord = Bytes() << 32u << 0u << 0u << 0u << 0u << 2u << 4u << 20u << 20u;
    ASSERT_TRUE(loaded(fresh, cloudRecord));
    EXPECT_FALSE(fresh.wrap);
    EXPECT_TRUE(fresh.turbulence);

    tlRandomDotsEffect dots;
    ASSERT_TRUE(loaded(dots, Bytes() << 36u << 0u << 0u << 9u << 0u << 10u << 0u << 50u << 0u << 0xFFFFFFFEu));
    EXPECT_EQ(dots.shape, 9);
    EXPECT_FALSE(dots.wrap);
    EXPECT_TRUE(dots.spareFlag);
    EXPECT_EQ(saved(dots).back(), 0u);  // other bits are not written back
    EXPECT_EQ(saved(dots)[36], 2u);

    tlEmbossEffect emboss;
    ASSERT_TRUE(loaded(emboss, Bytes() << 20u << 0u << 0u << 3u << 2u << 0x100u));
    EXPECT_EQ(emboss.radius, 1);
    EXPECT_EQ(emboss.strength, 1);
    EXPECT_TRUE(emboss.inColour);  // non-zero, not bit 0
    EXPECT_TRUE(emboss.wrap);

    tlEdgeDetectionEffect edge;
    ASSERT_TRUE(loaded(edge, Bytes() << 16u << 2u << 0u << 2u << 3u));
    EXPECT_EQ(edge.gain, 1);
    EXPECT_FALSE(edge.invert);
    EXPECT_TRUE(edge.wrap);
    tlEdgeDetectionEffect other;
    other.gain = 101;
    EXPECT_FALSE(other.equals(tlEdgeDetectionEffect()));

    tlCylinderEffect cylinder;
    ASSERT_TRUE(loaded(cylinder, Bytes() << 4u << 0x80000000u));
    EXPECT_EQ(cylinder.vertical, 1);

    tlDotsEffect dotLattice;
    Bytes dotsRecord = saved(dotLattice);
    dotsRecord[4 + 8 + 24] = 5;  // antialias word
    ASSERT_TRUE(loaded(dotLattice, dotsRecord));
    EXPECT_TRUE(dotLattice.antialias);
}

TEST(Catalogue, TextForms) {
    std::unique_ptr<tlEffect> checker(createEffectByName("Checker"));
    ASSERT_TRUE(checker);
    EXPECT_TRUE(setFieldFromText(*checker, "colour1", "rgba16(65535, 0,1,2)"));
    EXPECT_TRUE(setFieldFromText(*checker, "cellWidth", "-7"));
    EXPECT_TRUE(setFieldFromText(*checker, "cellHeight", "0xFFFFFFFF"));
    EXPECT_FALSE(setFieldFromText(*checker, "cellHeight", "12x"));
    EXPECT_FALSE(setFieldFromText(*checker, "colour2", "rgb(256,0,0)"));
    EXPECT_FALSE(setFieldFromText(*checker, "colour2", "rgb(1,2)"));
    EXPECT_FALSE(setFieldFromText(*checker, "missing", "1"));
    const tlEffectInfo *info = findEffectInfo("Checker");
    char text[128];
    ASSERT_TRUE(formatField(*checker, *findField(*info, "colour1"), text, sizeof text));
    EXPECT_STREQ(text, "{\"model\":0,\"bits\":16,\"channels\":4,\"samples\":[65535,0,1,2]}");
    ASSERT_TRUE(formatField(*checker, *findField(*info, "colour2"), text, sizeof text));
    EXPECT_STREQ(text, "{\"model\":0,\"bits\":8,\"channels\":4,\"samples\":[255,255,255,255]}");
    ASSERT_TRUE(formatField(*checker, *findField(*info, "cellHeight"), text, sizeof text));
    EXPECT_STREQ(text, "-1");
    EXPECT_FALSE(formatField(*checker, *findField(*info, "colour2"), text, 10));
    std::unique_ptr<tlEffect> plasma(createEffectByName("Plasma"));
    EXPECT_TRUE(setFieldFromText(*plasma, "wrap", "1"));
    EXPECT_FALSE(setFieldFromText(*plasma, "grayscale", "true"));
    ASSERT_TRUE(formatField(*plasma, *findField(*findEffectInfo("Plasma"), "wrap"), text, sizeof text));
    EXPECT_STREQ(text, "true");
}

// The stream order of every record: each entry is a field in its own word or
// colour, or "a|b" for a packed word with a in bit 0 and b in bit 1.
TEST(Records, StreamOrderOfEveryClass) {
    struct Layout {
        const char *name;
        std::vector<const char *> items;
    };
    const Layout layouts[] = {
        {"HSVNoise", {"coverage", "seed", "hueNoise", "saturationNoise", "valueNoise", "alphaNoise"}},
        {"HistogramNoise", {"seed", "amount"}},
        {"EdgeDetection", {"kernel", "gain", "invert", "wrap"}},
        {"Neon", {"radius", "strength", "wrap"}},
        {"Emboss", {"radius", "strength", "direction", "inColour", "wrap"}},
        {"Pixelize", {"cellWidth", "cellHeight"}},
        {"Median", {"radius", "wrap"}},
        {"Minimum", {"radius", "wrap"}},
        {"Maximum", {"radius", "wrap"}},
        {"Spread", {"spreadX", "spreadY", "seed", "wrap"}},
        {"GlassTile", {"tileWidth", "tileHeight", "wrap"}},
        {"Gradient", {"colour1", "colour2", "shape", "drawMode"}},
        {"GradientPattern", {"colour1", "colour2", "orientation", "period", "sawtooth", "drawMode"}},
        {"Dots", {"colour", "shape", "dotSize", "gap", "offsetX", "offsetY", "staggered", "antialias"}},
        {"RandomDots",
         {"colour", "shape", "alphaJitter", "dotSize", "sizeJitter", "density", "seed", "wrap|spareFlag"}},
        {"ParallelLines", {"colour", "vertical", "lineWidth", "gap", "offset"}},
        {"Grid", {"colour", "lineWidth", "gapX", "gapY", "offsetX", "offsetY"}},
        {"Checker", {"colour1", "colour2", "cellWidth", "cellHeight"}},
        {"Cloud", {"colour1", "colour2", "wrap|turbulence", "detail", "scaleX", "scaleY"}},
        {"Plasma", {"seed", "roughness", "grayscale|wrap"}},
        {"OilPaint", {"radius", "wrap"}},
        {"Watercolor", {"radius", "strength", "wrap"}},
        {"Negative", {}},
        {"Cylinder", {"vertical"}},
        {"Swirl", {"angle"}},
        {"SineWave", {}},
        {"Kaleidoscope", {"mode"}},
    };
    ASSERT_EQ(std::size(layouts), 27u);
    for (const Layout &layout : layouts) {
        const tlEffectInfo *info = findEffectInfo(layout.name);
        ASSERT_TRUE(info) << layout.name;
        // Probe each item alone: set it to a marked value on a fresh effect and
        // find it at its offset.
        uint32_t offset = 4;
        for (const char *item : layout.items) {
            std::unique_ptr<tlEffect> effect(info->create());
            std::string text = item;
            size_t bar = text.find('|');
            Bytes expected;
            if (bar != std::string::npos) {
                std::string second = text.substr(bar + 1);
                ASSERT_TRUE(setBoolField(*effect, second.c_str(), true)) << layout.name << "." << second;
                expected = Bytes() << 2u;
            } else if (setColourField(*effect, item, tlColour::rgba16(0x1234, 0, 0, 0))) {
                expected = Bytes{0x34, 0x12, 0, 0, 0, 0, 0, 0};
            } else if (setBoolField(*effect, item, true)) {
                expected = Bytes() << 1u;
            } else {
                ASSERT_TRUE(setIntField(*effect, item, 0x5A5A01 + static_cast<int32_t>(offset)))
                    << layout.name << "." << item;
                expected = Bytes() << 0x5A5A01u + offset;
            }
            Bytes bytes = saved(*effect);
            ASSERT_GE(bytes.size(), offset + expected.size()) << layout.name;
            EXPECT_EQ(Bytes(bytes.begin() + offset, bytes.begin() + offset + expected.size()), expected)
                << layout.name << "." << item;
            offset += static_cast<uint32_t>(expected.size());
        }
        EXPECT_EQ(offset, 4 + info->payloadLength) << layout.name;
    }
}
