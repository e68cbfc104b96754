// Tests of the generation job: the rendered result, repeatability for a seed,
// degenerate sizes, and sizes whose pictures cannot be allocated.
#include <gtest/gtest.h>

#include "compose/composer.h"
#include "compose/composer_trace.h"
#include "compose/job.h"
#include "imaging/image.h"

namespace {

// Runs one job with the process composer seeded; the digest of the
// composite, with the stack it was made from in trace.
uint64_t generate(uint32_t seed, int32_t w, int32_t h, std::string &trace, bool &made) {
    tlComposeTrace observer(trace);
    theComposer().random.seed(seed);
    theComposer().setObserver(&observer);
    GenerationJob job = {w, h, nullptr};
    runGenerationJob(&job);
    theComposer().setObserver(nullptr);
    made = job.result != nullptr;
    uint64_t digest = 0;
    if (job.result) {
        EXPECT_EQ(job.result->layers.count(), 1);
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
    for (uint32_t seed : {3u, 17u, 2024u}) {
        std::string first, second;
        bool made1 = false, made2 = false;
        const uint64_t a = generate(seed, 96, 64, first, made1);
        const uint64_t b = generate(seed, 96, 64, second, made2);
        ASSERT_TRUE(made1 && made2);
        EXPECT_EQ(a, b);
        EXPECT_EQ(first, second);
        EXPECT_NE(first.find("\"add\""), std::string::npos);
    }
    // The job always composes at the highest complexity.
    EXPECT_EQ(theComposer().complexity, 2);
}

TEST(GenerationJob, SeedsDiffer) {
    std::string a, b;
    bool made = false;
    EXPECT_NE(generate(1, 48, 48, a, made), generate(2, 48, 48, b, made));
}

TEST(GenerationJob, TinyAndPrimeSizesStillGiveAPicture) {
    for (uint32_t seed = 1; seed <= 12; ++seed)
        for (const auto &size : {std::make_pair(1, 1), std::make_pair(2, 3), std::make_pair(3, 1), std::make_pair(13, 7)}) {
            std::string trace;
            bool made = false;
            generate(seed, size.first, size.second, trace, made);
            EXPECT_TRUE(made) << size.first << "x" << size.second << " seed " << seed;
        }
}

TEST(GenerationJob, UnallocatableSizesLeaveNoResult) {
    const int32_t sizes[][2] = {{1 << 20, 1 << 20}, {2147483647, 2147483647}, {0, 10}, {10, 0}, {-4, 8}};
    for (const auto &size : sizes) {
        GenerationJob job = {size[0], size[1], reinterpret_cast<tlImage *>(&job)};
        runGenerationJob(&job);
        EXPECT_EQ(job.result, nullptr) << size[0] << "x" << size[1];
    }
}

}  // namespace
