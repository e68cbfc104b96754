// Properties of composed stacks over many seeds: sizes that tile with wrap,
// the first layer's kinds, plasma follow-ups, stage 2's no-repeat and skip
// rules, and what prime picture sizes leave out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compose/composer.h"
#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "effects/core/picture_layer.h"
#include "tests/support/formats.h"

namespace {

struct Added {
    int32_t typeId;
    uint32_t opacity;
    int32_t contrastBefore;  // contrast measured right before, or -1
    std::vector<std::pair<std::string, int32_t>> ints;

    int32_t field(const char *name) const {
        for (const auto &f : ints)
            if (f.first == name) return f.second;
        ADD_FAILURE() << "no field " << name;
        return 0;
    }
};

class Collector : public tlComposeObserver {
public:
    void effectAdded(const tlEffect &e) override { record(e); }
    void effectFailed(const tlEffect &e) override { record(e); }
    void choiceDrawn(int32_t c) override {
        choices.push_back(c);
        if (c != 6 && c != 1 && c != 2 && c != 12) ++unskippable;
    }
    void contrastMeasured(int32_t c) override {
        contrasts.push_back(c);
        pendingContrast = c;
    }
    void record(const tlEffect &e) {
        Added a = {e.typeId(), e.opacity, pendingContrast, {}};
        pendingContrast = -1;
        const tlEffectInfo *info = findEffectInfo(e.typeId());
        for (int32_t i = 0; info && i < info->fieldCount; ++i) {
            int32_t v = 0;
            bool b = false;
            if (getIntField(e, info->fields[i].name, v)) a.ints.push_back({info->fields[i].name, v});
            if (getBoolField(e, info->fields[i].name, b)) a.ints.push_back({info->fields[i].name, b ? 1 : 0});
        }
        added.push_back(a);
    }
    std::vector<Added> added;
    std::vector<int32_t> contrasts;
    std::vector<int32_t> choices;  // stage 2's choices, skipped ones included
    int32_t unskippable = 0;       // choices whose rows never skip
    int32_t pendingContrast = -1;
};

Collector composeSeed(uint32_t seed, int32_t w, int32_t h) {
    WallpaperComposer composer;
    composer.random.seed(seed);
    composer.setComplexity(2);
    Collector collector;
    composer.setObserver(&collector);
    tlPictureLayer layer;
    EXPECT_TRUE(layer.create(w, h, kRGBA8));
    composer.compose(layer);
    return collector;
}

bool divides(int32_t d, int32_t n) { return d > 0 && n % d == 0; }

enum : int32_t {
    kEdge = 15,
    kNeon = 16,
    kPixelize = 18,
    kGlassTile = 29,
    kGradient = 130,
    kGradientPattern = 131,
    kDots = 133,
    kLines = 135,
    kGrid = 136,
    kChecker = 137,
    kPlasma = 139,
    kSineWave = 532,
    kKaleidoscope = 535
};

// With wrap every size the composer draws divides the picture, so the
// wallpaper tiles without seams.
void checkTiling(const Added &a, int32_t w, int32_t h) {
    switch (a.typeId) {
    case kChecker: {
        // An even number of cells keeps the colours alternating across seams.
        const int32_t cw = a.field("cellWidth"), ch = a.field("cellHeight");
        EXPECT_TRUE(divides(cw, w) && (w / cw) % 2 == 0) << cw << " of " << w;
        EXPECT_TRUE(divides(ch, h) && (h / ch) % 2 == 0) << ch << " of " << h;
        break;
    }
    case kGradientPattern: {
        const int32_t extent = a.field("orientation") == 1 ? w : h, period = a.field("period");
        EXPECT_TRUE(divides(period, extent)) << period << " of " << extent;
        if (a.field("sawtooth") == 0) {
            EXPECT_EQ((extent / period) % 2, 0) << period << " of " << extent;
        }
        break;
    }
    case kDots: EXPECT_TRUE(divides(a.field("dotSize") + a.field("gap"), w)); break;
    case kLines: EXPECT_TRUE(divides(a.field("lineWidth") + a.field("gap"), a.field("vertical") ? w : h)); break;
    case kGrid:
        EXPECT_TRUE(divides(a.field("lineWidth") + a.field("gapX"), w));
        EXPECT_TRUE(divides(a.field("lineWidth") + a.field("gapY"), h));
        break;
    case kPixelize:
        EXPECT_TRUE(divides(a.field("cellWidth"), w));
        EXPECT_TRUE(divides(a.field("cellHeight"), h));
        break;
    case kSineWave:
        EXPECT_TRUE(divides(a.field("wavelengthX"), w));
        EXPECT_TRUE(divides(a.field("wavelengthY"), h));
        break;
    case kGlassTile:
        EXPECT_TRUE(divides(a.field("tileWidth"), w));
        EXPECT_TRUE(divides(a.field("tileHeight"), h));
        break;
    default: break;
    }
}

TEST(ComposerProperties, WrappedSizesDivideThePicture) {
    for (uint32_t seed = 1; seed <= 120; ++seed)
        for (const auto &size : {std::make_pair(120, 96), std::make_pair(72, 60)}) {
            Collector c = composeSeed(seed, size.first, size.second);
            for (const Added &a : c.added) checkTiling(a, size.first, size.second);
            if (::testing::Test::HasFailure()) return;
        }
}

TEST(ComposerProperties, FirstLayerKindsAndPlasmaFollowUps) {
    for (uint32_t seed = 1; seed <= 150; ++seed) {
        Collector c = composeSeed(seed, 48, 40);
        ASSERT_FALSE(c.added.empty());
        const int32_t first = c.added[0].typeId;
        EXPECT_TRUE(first == kGradient || first == kGradientPattern || first == kChecker || first == 138 ||
                    first == kPlasma)
            << first;
        EXPECT_EQ(c.added[0].opacity, 65535u);
        for (size_t i = 1; i < c.added.size(); ++i) {
            const Added &a = c.added[i];
            // Kaleidoscope and pixelize come only as the follow-up of a first plasma.
            if (a.typeId == kKaleidoscope || a.typeId == kPixelize) {
                EXPECT_EQ(i, 1u) << "seed " << seed;
                EXPECT_EQ(c.added[0].typeId, kPlasma) << "seed " << seed;
            }
            // A later plasma lies over the stack at a quarter to three quarters.
            if (a.typeId == kPlasma) {
                EXPECT_GE(a.opacity, 16448u);
                EXPECT_LE(a.opacity, 49087u);
                EXPECT_EQ((a.opacity - 16448) % 257, 0u);
            }
        }
    }
}

TEST(ComposerProperties, EdgesAndNeonOnlyOnContrastedPictures) {
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        Collector c = composeSeed(seed, 40, 32);
        for (const Added &a : c.added) {
            // A measure of 20 or more creates edges or neon at once; a lower
            // one skips, so another class follows.
            if (a.typeId == kEdge || a.typeId == kNeon)
                EXPECT_GE(a.contrastBefore, 20) << "seed " << seed;
            else
                EXPECT_LT(a.contrastBefore, 20) << "seed " << seed;
        }
    }
}

TEST(ComposerProperties, SmoothGradientNeverGetsEdges) {
    // A gradient alone measures far below 20; every filter choice 6 skips.
    tlPictureLayer layer;
    ASSERT_TRUE(layer.create(64, 64, kRGBA8));
    tlEffect *gradient = createEffectByName("Gradient");
    ASSERT_TRUE(gradient && setIntField(*gradient, "shape", 3));
    ASSERT_TRUE(layer.addEffect(gradient, true));
    EXPECT_LT(WallpaperComposer::localContrast(layer), 20);
}

TEST(ComposerProperties, StageTwoNeverRepeatsAChoiceAtOnce) {
    int32_t repeatsLater = 0;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        Collector c = composeSeed(seed, 60, 48);
        for (size_t i = 1; i < c.choices.size(); ++i) {
            EXPECT_NE(c.choices[i - 1], c.choices[i]) << "seed " << seed;
            for (size_t k = 0; k + 1 < i; ++k) repeatsLater += c.choices[k] == c.choices[i];
        }
        for (int32_t choice : c.choices) EXPECT_TRUE(choice >= 0 && choice < 14);
        // At most three rows add an effect; rows that cannot skip always add.
        EXPECT_LE(c.unskippable, 3) << "seed " << seed;
    }
    // A choice may come back after another one.
    EXPECT_GT(repeatsLater, 0);
}

TEST(ComposerProperties, PrimeSizesSkipSineWaveAndGlassTile) {
    for (uint32_t seed = 1; seed <= 150; ++seed) {
        Collector c = composeSeed(seed, 37, 41);
        for (const Added &a : c.added) {
            EXPECT_NE(a.typeId, kSineWave) << "seed " << seed;
            EXPECT_NE(a.typeId, kGlassTile) << "seed " << seed;
            // Without divisors, checkers and grids fall back to 1, dots and lines to 1 and 1.
            if (a.typeId == kChecker) {
                EXPECT_EQ(a.field("cellWidth") + a.field("cellHeight"), 2);
            }
            if (a.typeId == kDots) {
                EXPECT_EQ(a.field("dotSize") + a.field("gap"), 2);
            }
            if (a.typeId == kLines) {
                EXPECT_EQ(a.field("lineWidth") + a.field("gap"), 2);
            }
            if (a.typeId == kGrid) {
                EXPECT_EQ(a.field("gapX") + a.field("gapY") + a.field("lineWidth"), 3);
            }
        }
    }
}

}  // namespace
