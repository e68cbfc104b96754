// The renderer keeps the worker's pictures between wallpapers and lets them
// go once nothing was rendered for a while, on the simulated clock.
#include <gtest/gtest.h>

#include "app/renderer.h"
#include "imaging/picture.h"
#include "tests/app/fakes.h"

namespace {

struct IdleCase {
    uint32_t base;     // tick at simulated time 0: near the wrap or not
    uint64_t idleFor;  // since the last job
    bool released;
};

const IdleCase kIdleCases[] = {
    {0, 0, false},
    {0, WallpaperRenderer::kKeepMs - 1, false},
    {0, WallpaperRenderer::kKeepMs, true},
    {0xFFFFFFFFu - 100, WallpaperRenderer::kKeepMs - 1, false},
    {0xFFFFFFFFu - 100, WallpaperRenderer::kKeepMs + 5, true},
};

TEST(WallpaperRenderer, ReleasesTheKeptPicturesAfterAWhileWithoutAJob) {
    for (const IdleCase &c : kIdleCases) {
        fakes::Platform platform;
        platform.base = c.base;
        WallpaperRenderer renderer(platform);
        WallpaperRenderer::threadStarted(&renderer);
        renderer.cache().setSize(8, 8);
        {
            tlPicture scratch;
            ASSERT_TRUE(scratch.create(8, 8, tlPixelFormat::rgb(8, 4)));
        }
        tlPictureCache::use(nullptr);
        platform.clock = 1000;
        WallpaperRenderer::taskFinished(&renderer);
        platform.clock += c.idleFor;
        WallpaperRenderer::idle(&renderer);
        EXPECT_EQ(renderer.cache().keptCount(), c.released ? 0 : 1) << c.base << " + " << c.idleFor;
    }
}

}  // namespace
