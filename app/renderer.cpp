// The worker thread's picture cache and its release when idle.
#include "app/renderer.h"

void WallpaperRenderer::threadStarted(void *renderer) {
    tlPictureCache::use(&static_cast<WallpaperRenderer *>(renderer)->pictures);
}

void WallpaperRenderer::taskFinished(void *renderer) {
    WallpaperRenderer &self = *static_cast<WallpaperRenderer *>(renderer);
    self.lastTask = self.clock.tickCount();
}

void WallpaperRenderer::idle(void *renderer) {
    WallpaperRenderer &self = *static_cast<WallpaperRenderer *>(renderer);
    if (self.clock.tickCount() - self.lastTask >= kKeepMs) self.pictures.release();
}
