// The generation job: composes one wallpaper (or renders a recipe) on a
// picture layer and renders it into a new layered image for the main thread.
#include "compose/job.h"

#include <new>

#include "compose/composer.h"
#include "compose/recipe.h"
#include "compose/thumbnail.h"
#include "effects/core/picture_layer.h"
#include "imaging/image.h"
#include "imaging/picture_cache.h"
#include "platform/fpu.h"

namespace {

// Every wallpaper is made in the working format: RGB, 8 bits, 4 channels.
constexpr tlPixelFormat kWorkingFormat = tlPixelFormat::rgb(8, 4);

bool composeInto(tlPictureLayer &layer, void *context) {
    GenerationJob &job = *static_cast<GenerationJob *>(context);
    // The style's level becomes the composer's (rich by default), on this
    // thread, before the composition.
    job.composer->compose(layer, job.style);  // a shorter stack is still a wallpaper
    if (job.recipe) captureRecipe(layer, *job.recipe);
    return true;
}

}  // namespace

// When the layer or the image cannot be allocated the job leaves result null
// (the shell then has no new picture) and frees whatever it made; the
// composer draws nothing for a layer that could not be created.
tlImage *buildWallpaper(int32_t width, int32_t height, tlLayerFill fill, void *context, bool &filled) {
    filled = false;
    // Clouds compute in long double; worker threads start at 53 bits.
    platform::useExtendedPrecision();
    // A cache of the thread keeps the stores of this size from now on.
    if (tlPictureCache *cache = tlPictureCache::current()) cache->setSize(width, height);

    tlPictureLayer *layer = new (std::nothrow) tlPictureLayer;
    if (!layer) return nullptr;
    if (!layer->create(width, height, kWorkingFormat)) {
        delete layer;
        return nullptr;
    }
    filled = fill(*layer, context);

    tlImage *image = new (std::nothrow) tlImage;
    if (!image) {
        delete layer;
        return nullptr;
    }
    if (!image->create(width, height, kWorkingFormat) || !image->addLayer(layer)) {
        delete layer;
        delete image;
        return nullptr;
    }
    image->render();
    // The composite is the wallpaper; the layer's store goes back to the
    // thread's cache (or the heap) at once instead of staying with the image.
    image->layers.clear();
    return image;
}

namespace {

void makeWallpaper(GenerationJob *job) {
    if (job->render) {
        if (renderRecipe(*job->render, job->result).ok() && job->recipe) *job->recipe = *job->render;
        return;
    }
    // A refused style or a job without a composer composes nothing: no
    // picture, no draw.
    if (!job->composer || !job->style.isValid()) return;
    bool filled = false;
    job->result = buildWallpaper(job->width, job->height, composeInto, job, filled);
    if (!job->result && job->recipe) *job->recipe = tlRecipe();
}

}  // namespace

void runGenerationJob(GenerationJob *job) {
    job->result = nullptr;
    if (job->recipe) *job->recipe = tlRecipe();
    if (job->thumbnail) job->thumbnail->made = false;
    makeWallpaper(job);
    // The thumbnail is drawn here, on the worker, like the wallpaper itself.
    if (job->thumbnail && job->result) makeThumbnail(job->result->picture, *job->thumbnail);
}
