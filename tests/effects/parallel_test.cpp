// The effects whose rows are split over the row pool give, with 1, 2 and 7
// threads, the bytes, progress steps and stop of the calling thread alone,
// on odd sizes (1 × 1, one row, one column, fewer rows than threads).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "effects/catalogue.h"
#include "tests/effects/effect_test_util.h"
#include "tests/support/row_pools.h"

namespace {

struct ParallelCase {
    const char *effect;
    const char *fields;  // name=value, separated by spaces
};

// Each parallel path with its edge rules and band state: wrapped and clipped
// windows, radii beyond the picture, the comparator networks (radius 1, 2),
// cell rows, the tile axes and both sampler families.
const ParallelCase kCases[] = {
    {"Median", "radius=1"},
    {"Median", "radius=2 wrap=1"},
    {"Median", "radius=4"},
    {"Minimum", "radius=2 wrap=1"},
    {"Maximum", "radius=7"},
    {"OilPaint", "radius=3 wrap=1"},
    {"OilPaint", "radius=2"},
    {"Watercolor", "radius=3 wrap=1"},
    {"Watercolor", "radius=9 strength=250"},
    {"EdgeDetection", "gain=200 invert=1 wrap=1"},
    {"EdgeDetection", "kernel=1"},
    {"Neon", "radius=5 strength=200 wrap=1"},
    {"Emboss", "direction=5 radius=2 strength=290 wrap=1"},
    {"Emboss", "radius=30 inColour=1"},
    {"Pixelize", "cellWidth=3 cellHeight=2"},
    {"Pixelize", "cellWidth=50 cellHeight=50"},
    {"GlassTile", "tileWidth=5 tileHeight=3 wrap=1"},
    {"GlassTile", "tileWidth=4 tileHeight=1"},
    {"Cloud", "wrap=1 detail=4 scaleX=40 scaleY=30 seed=7"},
    {"Cloud", "turbulence=1 detail=2 scaleX=13 scaleY=17 seed=3"},
    {"Cylinder", "vertical=1"},
    {"Cylinder", ""},
    {"Swirl", "angle=720"},
    {"SineWave", "amplitudeX=3 wavelengthX=7 amplitudeY=2 wavelengthY=5 wrap=1"},
    {"Kaleidoscope", "mode=1"},
    {"HistogramNoise", "amount=40 seed=9"},
};

const tlPixelFormat kFormats[] = {kRGBA8, kRGB8, kRGBA16, kGray8, kGrayA16};

struct Size {
    int32_t w, h;
};
const Size kSizes[] = {{1, 1}, {1, 9}, {9, 1}, {5, 3}, {6, 2}, {37, 23}, {61, 47}};

std::unique_ptr<tlEffect> makeEffect(const ParallelCase &c) {
    std::unique_ptr<tlEffect> effect(createEffectByName(c.effect));
    if (!effect) return nullptr;
    const std::string fields = c.fields;
    for (size_t at = 0; at < fields.size();) {
        const size_t end = std::min(fields.find(' ', at), fields.size());
        const std::string item = fields.substr(at, end - at);
        const size_t eq = item.find('=');
        if (!setFieldFromText(*effect, item.substr(0, eq).c_str(), item.substr(eq + 1).c_str())) return nullptr;
        at = end + 1;
    }
    return effect;
}

// What one apply gave: its answer, its bytes and its progress.
struct Outcome {
    bool answer = false;
    tlPicture picture;
    ThreadCheckingProgress progress;
};

void applyWith(tlEffect &effect, const tlPicture &source, tlRowPool *pool, Outcome &out) {
    RowPoolScope scope(pool);
    tlPicture copy(source);
    out.picture.moveFrom(copy);
    out.answer = effect.apply(source, out.picture, &out.progress);
}

// The input: random samples with ties; either every fourth alpha 0 (windows
// with uncounted pixels) or all opaque (the full-window fast paths).
bool input(tlPicture &p, const Size &size, tlPixelFormat format, bool opaque, uint32_t seed) {
    if (!randomPicture(p, size.w, size.h, format, seed, 5)) return false;
    if (opaque && p.hasAlpha())
        for (int32_t y = 0; y < p.height; ++y)
            for (int32_t x = 0; x < p.width; ++x) setSample(p, x, y, format.channels - 1, 0xFFFF);
    return true;
}

TEST(ParallelRows, SameBytesStepsAndAnswersAsOneThread) {
    uint32_t seed = 1;
    for (const ParallelCase &c : kCases) {
        std::unique_ptr<tlEffect> effect = makeEffect(c);
        ASSERT_TRUE(effect) << c.effect << " " << c.fields;
        for (const tlPixelFormat &format : kFormats)
            for (const Size &size : kSizes)
                for (bool opaque : {false, true}) {
                    tlPicture source;
                    ASSERT_TRUE(input(source, size, format, opaque, ++seed));
                    Outcome alone;
                    applyWith(*effect, source, nullptr, alone);
                    for (int32_t threads : kThreadCounts) {
                        Outcome split;
                        applyWith(*effect, source, &testRowPool(threads), split);
                        SCOPED_TRACE(testing::Message() << c.effect << " " << c.fields << ", " << format << ", "
                                                        << size.w << "x" << size.h << ", " << threads << " threads");
                        EXPECT_EQ(split.answer, alone.answer);
                        EXPECT_TRUE(sameBytes(split.picture, alone.picture));
                        EXPECT_EQ(split.progress.total, alone.progress.total);
                        EXPECT_EQ(split.progress.steps, alone.progress.steps);
                        EXPECT_EQ(split.progress.foreignSteps, 0);
                    }
                }
    }
}

// A stop asked at the first step ends the effect at once with false, after
// exactly that step, on any number of threads.
TEST(ParallelRows, AStopEndsTheWorkAfterThatStep) {
    for (const ParallelCase &c : kCases) {
        std::unique_ptr<tlEffect> effect = makeEffect(c);
        ASSERT_TRUE(effect);
        tlPicture source;
        ASSERT_TRUE(input(source, {61, 47}, kRGBA8, true, 99));
        for (int32_t threads : kThreadCounts) {
            RowPoolScope scope(&testRowPool(threads));
            tlPicture destination(source);
            ThreadCheckingProgress stop(1);
            const bool answer = effect->apply(source, destination, &stop);
            SCOPED_TRACE(testing::Message() << c.effect << " " << c.fields << ", " << threads << " threads");
            EXPECT_EQ(answer, stop.total < 0);  // only the effects without progress run on
            EXPECT_EQ(stop.steps, stop.total < 0 ? 0 : 1);
            EXPECT_EQ(stop.foreignSteps, 0);
        }
    }
}

// Each helper runs the start hook before its first band, so that it computes
// as the calling thread does (long double at 64 bits, which Windows threads
// do not start with). The calling thread's band waits, for at most ten
// seconds, until a helper has run one.
thread_local bool prepared = false;

TEST(ParallelRows, HelpersRunTheStartHookBeforeTheirBands) {
    tlRowPool pool;
    pool.setSmallestSplit(0);
    ASSERT_EQ(pool.start(
                  3, [](void *) { prepared = true, platform::useExtendedPrecision(); }, nullptr),
              3);
    RowPoolScope scope(&pool);
    std::atomic<int32_t> helperBands{0}, unprepared{0}, narrow{0};
    tlRowSplit split(16, 16);
    ASSERT_EQ(split.workers(), 4);
    EXPECT_TRUE(split.run(nullptr, [&](int32_t, int32_t, tlRowSteps &steps) {
        if (steps.worker() == 0) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (helperBands.load() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
            return true;
        }
        if (!prepared) ++unprepared;
        if (!platform::hasExtendedPrecision()) ++narrow;
        ++helperBands;
        return true;
    }));
    EXPECT_GT(helperBands.load(), 0);
    EXPECT_EQ(unprepared.load(), 0);
    EXPECT_EQ(narrow.load(), 0);
}

}  // namespace
