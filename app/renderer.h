// The renderer's memory between wallpapers: the worker thread renders with a
// picture cache that keeps the stores of the last size it rendered, and lets
// them go after a while with nothing to render, so that the idle tray
// program does not sit on them.
#pragma once

#include <cstdint>

#include "imaging/picture_cache.h"
#include "platform/shell.h"

class WallpaperRenderer {
public:
    // Nothing rendered for this long frees the kept stores; the worker
    // looks every kIdleCheckMs while it has nothing to do.
    static constexpr uint32_t kKeepMs = 60000;
    static constexpr uint32_t kIdleCheckMs = 10000;

    // clock: the tick count of the shell's platform, read on the worker.
    explicit WallpaperRenderer(platform::ShellPlatform &clock) : clock(clock) {}
    WallpaperRenderer(const WallpaperRenderer &) = delete;
    WallpaperRenderer &operator=(const WallpaperRenderer &) = delete;

    // The worker's hooks; renderer is this renderer. threadStarted: the
    // worker thread renders with the cache from now on. taskFinished: after
    // each job. idle: every kIdleCheckMs without a job; frees the kept
    // stores once kKeepMs passed since the last job (ticks wrap at 2^32).
    static void threadStarted(void *renderer);
    static void taskFinished(void *renderer);
    static void idle(void *renderer);

    tlPictureCache &cache() { return pictures; }

private:
    platform::ShellPlatform &clock;
    tlPictureCache pictures;  // freed at the latest when the renderer ends
    uint32_t lastTask = 0;    // tick of the last job's end
};
