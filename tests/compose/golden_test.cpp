// Golden compositions: for each case of tests/compose/golden.txt the stack
// (JSON lines) and the composite's digest must come out exactly as stored.
// The file is written by scripts/update-golden with chromaweave_lab compose;
// any change in a draw, a parameter or a pixel of any effect shows here.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "compose/composer.h"
#include "compose/composer_trace.h"
#include "compose/job.h"
#include "imaging/image.h"
#include "tests/support/row_pools.h"

namespace {

struct GoldenCase {
    int32_t w = 0, h = 0;
    uint32_t seed = 0;
    std::string expected;  // the lines of `compose --stack --digest`
};

// "case WxH SEED" starts a case; lines starting with '#' are comments.
bool readGolden(const std::string &path, std::vector<GoldenCase> &cases) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        GoldenCase c;
        unsigned long seed = 0;
        int w = 0, h = 0;
        if (std::sscanf(line.c_str(), "case %dx%d %lu", &w, &h, &seed) == 3) {
            c.w = w;
            c.h = h;
            c.seed = static_cast<uint32_t>(seed);
            cases.push_back(c);
        } else if (!cases.empty()) {
            cases.back().expected += line + "\n";
        }
    }
    return true;
}

// The same lines the lab prints for one wallpaper.
std::string composeCase(const GoldenCase &c) {
    std::string trace;
    tlComposeTrace observer(trace);
    WallpaperComposer composer;
    composer.random.seed(c.seed);
    composer.setObserver(&observer);
    observer.wallpaper(1, c.w, c.h);
    GenerationJob job = {c.w, c.h, nullptr};
    job.composer = &composer;
    runGenerationJob(&job);
    if (job.result) {
        char line[64];
        std::snprintf(line, sizeof line, "{\"digest\":\"%016" PRIx64 "\"}\n", pictureDigest(job.result->picture));
        trace += line;
    }
    delete job.result;
    return trace;
}

TEST(GoldenCompositions, StacksAndPicturesAsStored) {
    std::vector<GoldenCase> cases;
    const std::string path = std::string(CW_SOURCE_DIR) + "/tests/compose/golden.txt";
    if (!readGolden(path, cases)) GTEST_SKIP() << "no golden file yet: run scripts/update-golden";
    ASSERT_FALSE(cases.empty());
    // On the calling thread alone, and with the rows split over 1, 2 and 7
    // threads: the same stacks and bytes.
    for (int32_t threads : {0, 1, 2, 7}) {
        RowPoolScope scope(threads == 0 ? nullptr : &testRowPool(threads));
        for (const GoldenCase &c : cases)
            EXPECT_EQ(composeCase(c), c.expected)
                << "case " << c.w << "x" << c.h << " seed " << c.seed << ", " << threads << " threads";
    }
}

}  // namespace
