// Replays compositions with a second generator that follows the pattern and
// filter tables draw by draw, under a style (level and families), and checks
// every effect the composer adds (its class, opacity, blend mode and every
// field), the generator's state at that moment and at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "compose/composer.h"
#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "effects/core/picture_layer.h"
#include "tests/compose/compose_support.h"
#include "tests/support/formats.h"

namespace {

struct Event {
    std::string text;
    bool failed;
    uint64_t state;
};

// The composer's side: every event with the generator state after it.
class Recorder : public tlComposeObserver {
public:
    explicit Recorder(const tlRandom &random) : random(random) {}
    void effectAdded(const tlEffect &e) override { events.push_back({describeEffect(e), false, randomDigest(random)}); }
    void effectFailed(const tlEffect &e) override { events.push_back({describeEffect(e), true, randomDigest(random)}); }
    void allocationFailed(int32_t typeId) override { ADD_FAILURE() << "no memory for class " << typeId; }
    void contrastMeasured(int32_t contrast) override { contrasts.push_back(contrast); }

    const tlRandom &random;
    std::vector<Event> events;
    std::vector<int32_t> contrasts;
};

// The families of the pattern types and of the filter choices: gradients,
// checkers, clouds, dots, lines, then warps, noise, soft, edges, tiles.
const int32_t kTypeFamily[9] = {0, 0, 1, 2, 2, 3, 3, 4, 4};
const int32_t kChoiceFamily[14] = {5, 5, 5, 6, 6, 7, 8, 8, 7, 7, 7, 6, 9, 7};

// The tables transcribed on their own, drawing from a second generator.
class Reference {
public:
    Reference(uint32_t seed, int32_t w, int32_t h, const tlComposeStyle &style, const std::vector<int32_t> &contrasts,
              size_t limit)
        : W(w), H(h), style(style), contrasts(contrasts), limit(limit) {
        r.seed(seed);
    }

    // Runs until the composition ends or limit events were made.
    void run() {
        if (stage1()) stage2();
    }

    std::vector<Event> events;
    std::set<std::string> classes;
    tlRandom r;

private:
    uint32_t below(uint32_t n) { return r.below(n); }
    bool excluded(int32_t family) const { return (style.excluded >> family & 1u) != 0; }
    int32_t divisor(int32_t n, bool even) {
        std::vector<int32_t> list = properDivisors(n, even);
        if (list.empty()) return 0;
        if (list.size() == 1) return list[0];
        return list[below(static_cast<uint32_t>(list.size()))];
    }
    static std::vector<int32_t> properDivisors(int32_t n, bool even) {
        std::vector<int32_t> list;
        for (int32_t d = 2; d <= n / 2; ++d)
            if (n % d == 0 && (!even || (n / d) % 2 == 0)) list.push_back(d);
        return list;
    }

    tlEffect *make(const char *name) {
        classes.insert(name);
        return createEffectByName(name);
    }
    static void set(tlEffect *e, const char *field, int32_t v) { EXPECT_TRUE(setIntField(*e, field, v)) << field; }
    static void setB(tlEffect *e, const char *field, bool v) { EXPECT_TRUE(setBoolField(*e, field, v)) << field; }
    static void setC(tlEffect *e, const char *field, const tlColour &v) {
        EXPECT_TRUE(setColourField(*e, field, v)) << field;
    }

    // False once the limit is reached: the composer stopped there.
    bool emit(tlEffect *e) {
        events.push_back({describeEffect(*e), false, randomDigest(r)});
        delete e;
        return events.size() < limit;
    }

    tlColour colour(int32_t i) {
        uint8_t b[4];
        b[0] = static_cast<uint8_t>(below(32) * 255 / 31);
        b[1] = static_cast<uint8_t>(below(32) * 255 / 31);
        b[2] = static_cast<uint8_t>(below(32) * 255 / 31);
        b[3] = i == 0 ? 255 : static_cast<uint8_t>(below(16) * 8 + 64);
        return tlColour::fromBytes(b);
    }

    bool stage1() {
        const int32_t count = static_cast<int32_t>(below(style.complexity == 0 ? 2 : 3)) + 1;
        for (int32_t i = 0; i < count; ++i) {
            const tlColour a = colour(i), b = colour(i);
            uint32_t type = below(i == 0 ? 5 : 9);
            while (excluded(kTypeFamily[type])) type = below(i == 0 ? 5 : 9);
            if (!emit(pattern(type, a, b, i))) return false;
            if (i == 0 && type == 4 && below(4) < 3) {
                tlEffect *e;
                if (below(3) < 2) {
                    e = make("Kaleidoscope");
                    set(e, "mode", static_cast<int32_t>(below(2)));
                } else {
                    e = make("Pixelize");
                    int32_t cw = divisor(W, false), ch = divisor(H, false);
                    set(e, "cellWidth", cw ? cw : 1);
                    set(e, "cellHeight", ch ? ch : 1);
                }
                if (!emit(e)) return false;
            }
        }
        return true;
    }

    tlEffect *pattern(uint32_t type, const tlColour &a, const tlColour &b, int32_t i) {
        tlEffect *e = nullptr;
        switch (type) {
        case 0:
            e = make("Gradient");
            setC(e, "colour1", a);
            setC(e, "colour2", b);
            set(e, "shape", below(2) == 0 ? 3 : 4);
            break;
        case 1: {
            e = make("GradientPattern");
            setC(e, "colour1", a);
            setC(e, "colour2", b);
            const int32_t saw = below(3) >= 2 ? 1 : 0;
            set(e, "sawtooth", saw);
            const int32_t o = below(2) != 0 ? 1 : 0;
            const int32_t extent = o == 1 ? W : H;
            std::vector<int32_t> list = properDivisors(extent, saw == 0);
            int32_t period = 2;
            if (list.size() == 1) period = list[0];
            if (list.size() > 1) {
                if (list.back() == extent / 2) list.pop_back();
                period = list[below(static_cast<uint32_t>(list.size()))];
            }
            set(e, "period", period);
            set(e, "orientation", o);
            break;
        }
        case 2: {
            e = make("Checker");
            setC(e, "colour1", a);
            setC(e, "colour2", b);
            const int32_t cw = divisor(W, true);
            const int32_t ch = divisor(H, true);
            set(e, "cellWidth", cw ? cw : 1);
            set(e, "cellHeight", ch ? ch : 1);
            break;
        }
        case 3:
            e = make("Cloud");
            setC(e, "colour1", a);
            setC(e, "colour2", b);
            setB(e, "wrap", true);
            set(e, "detail", static_cast<int32_t>(below(5)));
            set(e, "scaleX", static_cast<int32_t>(below(4) * 10 + 10));
            set(e, "scaleY", static_cast<int32_t>(below(4) * 10 + 10));
            set(e, "seed", static_cast<int32_t>(r.next()));
            break;
        case 4:
            e = make("Plasma");
            set(e, "seed", static_cast<int32_t>(r.next()));
            set(e, "roughness", static_cast<int32_t>(below(50) + 1));
            setB(e, "grayscale", below(4) == 0);
            setB(e, "wrap", true);
            if (i >= 1) e->opacity = below(128) * 257 + 16448;
            break;
        case 5: {
            e = make("Dots");
            setC(e, "colour", a);
            set(e, "shape", static_cast<int32_t>(below(2)));
            const int32_t d = divisor(W, false);
            const int32_t size = d > 2 ? static_cast<int32_t>(below(static_cast<uint32_t>(d - 1))) + 1 : 1;
            set(e, "dotSize", size);
            set(e, "gap", d > 2 ? d - size : 1);
            setB(e, "antialias", true);
            break;
        }
        case 6:
            e = make("RandomDots");
            setC(e, "colour", a);
            set(e, "shape", static_cast<int32_t>(below(2)));
            set(e, "alphaJitter", static_cast<int32_t>(below(11) * 10));
            set(e, "dotSize", static_cast<int32_t>(below(20) + 4));
            set(e, "sizeJitter", static_cast<int32_t>(below(5) * 10));
            set(e, "density", static_cast<int32_t>(below(101) + 50));
            set(e, "seed", static_cast<int32_t>(r.next()));
            setB(e, "wrap", true);
            break;
        case 7: {
            e = make("ParallelLines");
            setC(e, "colour", a);
            const int32_t vertical = static_cast<int32_t>(below(2));
            set(e, "vertical", vertical);
            const int32_t d = divisor(vertical ? W : H, false);
            const int32_t width = d > 2 ? static_cast<int32_t>(below(static_cast<uint32_t>(d - 1))) + 1 : 1;
            set(e, "lineWidth", width);
            set(e, "gap", d > 2 ? d - width : 1);
            break;
        }
        default: {
            e = make("Grid");
            setC(e, "colour", a);
            int32_t dx = divisor(W, false), dy = divisor(H, false);
            if (dx == 0) dx = 1;
            if (dy == 0) dy = 1;
            int32_t lw = 1;
            if (dx > 1 && dy > 1) lw = static_cast<int32_t>(below(static_cast<uint32_t>(std::min(dx, dy) - 1))) + 1;
            set(e, "lineWidth", lw);
            set(e, "gapX", dx > 1 && dy > 1 ? dx - lw : dx);
            set(e, "gapY", dx > 1 && dy > 1 ? dy - lw : dy);
            break;
        }
        }
        return e;
    }

    void stage2() {
        if (style.complexity == 0) return;
        const uint32_t count = below(style.complexity == 1 ? 3 : 4);
        int32_t previous = -1;
        for (uint32_t j = 0; j < count;) {
            if (!anyFilterCanAdd()) return;
            int32_t c = static_cast<int32_t>(below(14));
            while (c == previous) c = static_cast<int32_t>(below(14));
            previous = c;
            if (excluded(kChoiceFamily[c])) continue;
            tlEffect *e = filter(c);
            if (!e) continue;
            if (!emit(e)) return;
            ++j;
        }
    }

    // By the rows' own divisor draws: the sine wave adds when some divisor
    // of W divides H or H has one of its own, the glass tile when both have
    // one. Edges and neon (which need the picture) share their family with
    // the emboss, which always adds.
    bool anyFilterCanAdd() const {
        const std::vector<int32_t> wide = properDivisors(W, false), high = properDivisors(H, false);
        bool sine = !high.empty();
        for (int32_t d : wide) sine = sine || H % d == 0;
        for (int32_t c = 0; c < 14; ++c)
            if (!excluded(kChoiceFamily[c]) && (c != 2 || (!wide.empty() && sine)) &&
                (c != 12 || (!wide.empty() && !high.empty())))
                return true;
        return false;
    }

    // Null for a skip.
    tlEffect *filter(int32_t c) {
        static const char *const rank[3] = {"Median", "Minimum", "Maximum"};
        tlEffect *e = nullptr;
        switch (c) {
        case 0:
            e = make("Cylinder");
            set(e, "vertical", static_cast<int32_t>(below(2)));
            return e;
        case 1: {
            if (below(4) != 0) return nullptr;
            int32_t angle = static_cast<int32_t>(below(9)) * 45 + 360;
            if (below(2) == 0) angle = -angle;
            e = make("Swirl");
            set(e, "angle", angle);
            return e;
        }
        case 2: {
            const int32_t dx = divisor(W, false);
            if (dx == 0) return nullptr;
            int32_t dy;
            if (H % dx == 0) {
                dy = below(2) == 0 ? dx : divisor(H, false);
            } else {
                dy = divisor(H, false);
            }
            if (dy == 0) return nullptr;
            const int32_t ax = static_cast<int32_t>(below(10)) + 1;
            const int32_t ay = below(2) == 0 ? ax : static_cast<int32_t>(below(10)) + 1;
            e = make("SineWave");
            set(e, "amplitudeX", ax);
            set(e, "wavelengthX", dx);
            set(e, "amplitudeY", ay);
            set(e, "wavelengthY", dy);
            setB(e, "wrap", true);
            return e;
        }
        case 3: {
            e = make("HSVNoise");
            set(e, "hueNoise", below(2) != 0 ? static_cast<int32_t>(below(20)) + 1 : 0);
            set(e, "saturationNoise", below(2) != 0 ? static_cast<int32_t>(below(10)) + 1 : 0);
            set(e, "valueNoise", below(2) != 0 ? static_cast<int32_t>(below(10)) + 1 : 0);
            set(e, "seed", static_cast<int32_t>(r.next()));
            return e;
        }
        case 4:
            e = make("HistogramNoise");
            set(e, "seed", static_cast<int32_t>(r.next()));
            set(e, "amount", static_cast<int32_t>(below(10)) + 4);
            return e;
        case 5:
            e = make("Watercolor");
            set(e, "radius", static_cast<int32_t>(below(3)) + 1);
            setB(e, "wrap", true);
            return e;
        case 6: return edgeOrNeon();
        case 7:
            e = make("Emboss");
            set(e, "direction", static_cast<int32_t>(below(6)));
            set(e, "radius", static_cast<int32_t>(below(2)) + 1);
            set(e, "strength", static_cast<int32_t>(below(20)) * 10 + 100);
            setB(e, "inColour", false);
            setB(e, "wrap", true);
            e->blendMode = 10;
            return e;
        case 8:
        case 9:
        case 10:
            e = make(rank[c - 8]);
            set(e, "radius", static_cast<int32_t>(below(2)) + 1);
            setB(e, "wrap", true);
            return e;
        case 11:
            e = make("Spread");
            set(e, "spreadX", static_cast<int32_t>(below(5)) + 1);
            set(e, "spreadY", static_cast<int32_t>(below(5)) + 1);
            set(e, "seed", static_cast<int32_t>(r.next()));
            setB(e, "wrap", true);
            return e;
        case 12: {
            int32_t tw = divisor(W, false), th = divisor(H, false);
            if (tw == 0 || th == 0) return nullptr;
            if (tw > 32) {
                const int32_t t = divisor(tw, false);
                if (t) tw = t;
            }
            if (th > 32) {
                const int32_t t = divisor(th, false);
                if (t) th = t;
            }
            e = make("GlassTile");
            set(e, "tileWidth", tw);
            set(e, "tileHeight", th);
            setB(e, "wrap", true);
            return e;
        }
        default:
            e = make("OilPaint");
            set(e, "radius", static_cast<int32_t>(below(3)) + 1);
            setB(e, "wrap", true);
            return e;
        }
    }

    tlEffect *edgeOrNeon() {
        EXPECT_LT(nextContrast, contrasts.size()) << "the composer measured the contrast fewer times";
        const int32_t contrast = nextContrast < contrasts.size() ? contrasts[nextContrast++] : 0;
        if (contrast < 20) return nullptr;
        tlEffect *e;
        if (below(2) == 0) {
            e = make("EdgeDetection");
            set(e, "gain", static_cast<int32_t>(below(6)) * 20 + 100);
            const bool invert = below(2) == 0;
            setB(e, "invert", invert);
            setB(e, "wrap", true);
            if (below(2) == 0) {
                static const int32_t inverted[3] = {1, 3, 9}, plain[3] = {3, 5, 9};
                const uint32_t k = below(3);
                e->blendMode = invert ? inverted[k] : plain[k];
            }
        } else {
            e = make("Neon");
            set(e, "radius", static_cast<int32_t>(below(4)) + 2);
            set(e, "strength", static_cast<int32_t>(below(6)) * 20 + 100);
            setB(e, "wrap", true);
        }
        return e;
    }

    const int32_t W, H;
    const tlComposeStyle style;
    const std::vector<int32_t> &contrasts;
    size_t nextContrast = 0;
    const size_t limit;
};

// Composes one wallpaper in the style and compares it with the replay;
// returns the events.
std::vector<Event> checkSeed(uint32_t seed, int32_t w, int32_t h, const tlComposeStyle &style,
                             std::set<std::string> &classes) {
    WallpaperComposer composer;
    composer.random.seed(seed);
    Recorder recorder(composer.random);
    composer.setObserver(&recorder);
    tlPictureLayer layer;
    EXPECT_TRUE(layer.create(w, h, kRGBA8));
    const bool complete = composer.compose(layer, style);

    const std::string where = "seed " + std::to_string(seed) + " " + std::to_string(w) + "x" + std::to_string(h) +
                              " style " + std::to_string(style.complexity) + "/" + std::to_string(style.excluded);
    const bool failed = !recorder.events.empty() && recorder.events.back().failed;
    EXPECT_EQ(complete, !failed) << where;
    Reference reference(seed, w, h, style, recorder.contrasts, failed ? recorder.events.size() : SIZE_MAX);
    reference.run();
    const std::vector<Event> &want = reference.events, &got = recorder.events;
    EXPECT_EQ(got.size(), want.size()) << where;
    for (size_t i = 0; i < std::min(got.size(), want.size()); ++i) {
        EXPECT_EQ(got[i].text, want[i].text) << where << " effect " << i;
        EXPECT_EQ(got[i].state, want[i].state) << where << " effect " << i;
    }
    // No draw after the last effect either (an ended stage 2 draws nothing).
    if (!failed) {
        EXPECT_EQ(randomDigest(composer.random), randomDigest(reference.r)) << where;
    }
    classes.insert(reference.classes.begin(), reference.classes.end());
    return recorder.events;
}

TEST(ComposerReplay, EveryDrawFollowsTheTables) {
    std::set<std::string> seen;
    const int32_t sizes[][2] = {{120, 96}, {97, 89}, {64, 48}, {30, 42}, {128, 100}};
    for (const auto &size : sizes)
        for (uint32_t seed = 1; seed <= 60; ++seed) {
            checkSeed(seed * 7919u + static_cast<uint32_t>(size[0]), size[0], size[1], tlComposeStyle(), seen);
            if (::testing::Test::HasFailure()) return;
        }
    // Every pattern row and both follow-ups were exercised.
    for (const char *name : {"Gradient", "GradientPattern", "Checker", "Cloud", "Plasma", "Dots", "RandomDots",
                             "ParallelLines", "Grid", "Kaleidoscope", "Pixelize"})
        EXPECT_TRUE(seen.count(name)) << name;
}

// The family of each class the composer adds; stage is 0 for a pattern
// layer, 1 for a filter, 2 for a plasma's follow-up (of the clouds family).
int32_t familyOf(int32_t typeId, int32_t &stage) {
    static const struct {
        const char *name;
        int32_t family, stage;
    } classes[] = {{"Gradient", 0, 0},   {"GradientPattern", 0, 0}, {"Checker", 1, 0},       {"Cloud", 2, 0},
                   {"Plasma", 2, 0},     {"Kaleidoscope", 2, 2},    {"Pixelize", 2, 2},      {"Dots", 3, 0},
                   {"RandomDots", 3, 0}, {"ParallelLines", 4, 0},   {"Grid", 4, 0},          {"Cylinder", 5, 1},
                   {"Swirl", 5, 1},      {"SineWave", 5, 1},        {"HSVNoise", 6, 1},      {"HistogramNoise", 6, 1},
                   {"Spread", 6, 1},     {"Watercolor", 7, 1},      {"Median", 7, 1},        {"Minimum", 7, 1},
                   {"Maximum", 7, 1},    {"OilPaint", 7, 1},        {"EdgeDetection", 8, 1}, {"Neon", 8, 1},
                   {"Emboss", 8, 1},     {"GlassTile", 9, 1}};
    const tlEffectInfo *info = findEffectInfo(typeId);
    for (const auto &c : classes)
        if (info && std::strcmp(info->name, c.name) == 0) {
            stage = c.stage;
            return c.family;
        }
    ADD_FAILURE() << "unexpected class " << typeId;
    return -1;
}

// Every level, and every family off in turn (then a few narrow styles), on
// sizes without divisors (primes, 1 x 1, thin), with some (6 x 3: the sine
// wave's vertical wavelength repeats the horizontal one) and with many.
// Every draw follows the tables; no excluded family shows, the first layer
// comes from a first-layer family, and the counts keep to the level.
TEST(ComposerReplay, StylesFollowTheTables) {
    const uint32_t filters = 0x3E0, tiles = 1u << tlFamilyTiles, onlyClouds = 0x1B, onlyCheckers = 0x1D;
    std::vector<tlComposeStyle> styles = {{0, 0}, {1, 0}, {2, 0}};
    for (uint32_t f = 0; f < tlFamilyCount; ++f) styles.push_back({2, 1u << f});
    // Each filter family alone, none, and narrow pattern choices.
    for (uint32_t f = tlFamilyWarps; f < tlFamilyCount; ++f) styles.push_back({2, filters & ~(1u << f)});
    for (uint32_t excluded : {filters, onlyCheckers | (filters & ~tiles), onlyClouds | tiles})
        styles.push_back({2, excluded});
    const int32_t sizes[][2] = {{1, 1}, {37, 41}, {1, 23}, {31, 2}, {6, 3}, {24, 20}};
    const int32_t bounds[3][2] = {{2, 0}, {3, 2}, {3, 3}};  // patterns, filters
    for (const tlComposeStyle &style : styles) {
        int32_t most[2] = {0, 0};
        for (uint32_t k = 0; k < 240; ++k) {
            const int32_t *size = sizes[k % 6];
            std::set<std::string> classes;
            const std::vector<Event> events = checkSeed(k * 104729u + 7, size[0], size[1], style, classes);
            int32_t count[3] = {0, 0, 0};
            for (size_t i = 0; i < events.size(); ++i) {
                int32_t stage = 0;
                const int32_t family = familyOf(std::stoi(events[i].text), stage);
                EXPECT_TRUE(style.allows(family)) << events[i].text << " style " << style.excluded;
                if (i == 0) {
                    EXPECT_TRUE(family <= tlFamilyClouds && stage == 0) << events[i].text;
                }
                ++count[stage];
            }
            for (int32_t s : {0, 1}) {
                EXPECT_LE(count[s], bounds[style.complexity][s]) << style.complexity;
                most[s] = std::max(most[s], count[s]);
            }
            if (::testing::Test::HasFailure()) return;
        }
        // Each level reaches its bounds, unless no filter is left.
        EXPECT_EQ(most[0], bounds[style.complexity][0]) << style.complexity << "/" << style.excluded;
        EXPECT_EQ(most[1], (style.excluded & filters) == filters ? 0 : bounds[style.complexity][1])
            << style.complexity << "/" << style.excluded;
    }
}

}  // namespace
