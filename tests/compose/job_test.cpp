// Tests of the generation job: the rendered result, repeatability for a seed,
// degenerate sizes, and sizes whose pictures cannot be allocated.
#include <gtest/gtest.h>

#include "compose/composer.h"
#include "compose/composer_trace.h"
#include "compose/job.h"
#include "imaging/image.h"
#include "imaging/picture_cache.h"

namespace {

// Runs one job with the composer seeded; the digest of the composite, with
// the stack it was made from in trace.
uint64_t generate(WallpaperComposer &composer, uint32_t seed, int32_t w, int32_t h, std::string &trace, bool &made,
                  const tlComposeStyle &style = tlComposeStyle()) {
    tlComposeTrace observer(trace);
    composer.random.seed(seed);
    composer.setObserver(&observer);
    GenerationJob job = {w, h, nullptr};
    job.style = style;
    job.composer = &composer;
    runGenerationJob(&job);
    composer.setObserver(nullptr);
    made = job.result != nullptr;
    uint64_t digest = 0;
    if (job.result) {
        EXPECT_EQ(job.result->layers.count(), 0);  // the composite alone
        EXPECT_EQ(job.result->picture.width, w);
        EXPECT_EQ(job.result->picture.height, h);
        EXPECT_EQ(job.result->picture.model, tlColourModel::RGB);
        EXPECT_EQ(job.result->picture.bits, 8);
        EXPECT_EQ(job.result->picture.channels, 4);
        digest = pictureDigest(job.result->picture);
    }
    delete job.result;
    return digest;
}

TEST(GenerationJob, SameSeedGivesTheSamePicture) {
    WallpaperComposer composer;
    for (uint32_t seed : {3u, 17u, 2024u}) {
        std::string first, second;
        bool made1 = false, made2 = false;
        const uint64_t a = generate(composer, seed, 96, 64, first, made1);
        const uint64_t b = generate(composer, seed, 96, 64, second, made2);
        ASSERT_TRUE(made1 && made2);
        EXPECT_EQ(a, b);
        EXPECT_EQ(first, second);
        EXPECT_NE(first.find("\"add\""), std::string::npos);
    }
    // The job always composes at the highest complexity.
    EXPECT_EQ(composer.complexity, 2);
}

// The job composes in the style it carries; a refused style gives no
// picture and no draw.
TEST(GenerationJob, ComposesInTheJobsStyle) {
    WallpaperComposer composer;
    const tlComposeStyle onlyCheckers = {tlComplexitySimple, 0x3FFu & ~(1u << tlFamilyCheckers)};
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        std::string trace;
        bool made = false;
        generate(composer, seed, 32, 24, trace, made, onlyCheckers);
        EXPECT_TRUE(made);
        EXPECT_EQ(composer.complexity, tlComplexitySimple);
        const std::string add = "{\"add\":", checker = add + "\"Checker\"";
        size_t adds = 0;
        for (size_t at = trace.find(add); at != std::string::npos; at = trace.find(add, at + 1)) {
            EXPECT_EQ(trace.compare(at, checker.size(), checker), 0) << trace;
            ++adds;
        }
        EXPECT_TRUE(adds >= 1 && adds <= 2) << trace;
    }
    std::string trace;
    bool made = true;
    generate(composer, 5, 32, 24, trace, made, {tlComplexityRich, 0x7});
    EXPECT_FALSE(made);
    EXPECT_EQ(composer.random.index, 624);
}

TEST(GenerationJob, SeedsDiffer) {
    WallpaperComposer composer;
    std::string a, b;
    bool made = false;
    EXPECT_NE(generate(composer, 1, 48, 48, a, made), generate(composer, 2, 48, 48, b, made));
}

TEST(GenerationJob, TinyAndPrimeSizesStillGiveAPicture) {
    WallpaperComposer composer;
    for (uint32_t seed = 1; seed <= 12; ++seed)
        for (const auto &size :
             {std::make_pair(1, 1), std::make_pair(2, 3), std::make_pair(3, 1), std::make_pair(13, 7)}) {
            std::string trace;
            bool made = false;
            generate(composer, seed, size.first, size.second, trace, made);
            EXPECT_TRUE(made) << size.first << "x" << size.second << " seed " << seed;
        }
}

// So does a job without a composer, at any size.
TEST(GenerationJob, UnallocatableSizesLeaveNoResult) {
    WallpaperComposer composer;
    const int32_t sizes[][2] = {{1 << 20, 1 << 20}, {2147483647, 2147483647}, {0, 10}, {10, 0}, {-4, 8}};
    for (const auto &size : sizes) {
        GenerationJob job = {size[0], size[1], reinterpret_cast<tlImage *>(&job)};
        job.composer = &composer;
        runGenerationJob(&job);
        EXPECT_EQ(job.result, nullptr) << size[0] << "x" << size[1];
    }
    GenerationJob job = {8, 8, reinterpret_cast<tlImage *>(&job)};
    runGenerationJob(&job);
    EXPECT_EQ(job.result, nullptr) << "no composer";
}

// Jobs rendered one after another with a picture cache (stores reused,
// freed when the size changes) give the pictures of jobs without one.
TEST(GenerationJob, ReusedPicturesGiveTheSamePictures) {
    const int32_t sizes[][2] = {{41, 29}, {41, 29}, {29, 41}, {41, 29}, {41, 29}};
    WallpaperComposer composer;
    std::string trace;
    bool made = false;
    uint64_t plain[5];
    for (int32_t i = 0; i < 5; ++i) plain[i] = generate(composer, 7 + i, sizes[i][0], sizes[i][1], trace, made);
    tlPictureCache cache;
    tlPictureCache::use(&cache);
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(generate(composer, 7 + i, sizes[i][0], sizes[i][1], trace, made), plain[i]) << "job " << i;
        EXPECT_GT(cache.keptCount(), 0);
    }
    tlPictureCache::use(nullptr);
}

}  // namespace
