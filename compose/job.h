// The generation job: the one record handed between the main thread and the
// worker thread that renders the next wallpaper, and the steps it makes a
// wallpaper with.
#pragma once

#include <cstdint>

#include "compose/style.h"

class WallpaperComposer;
class tlImage;
class tlPictureLayer;
struct tlRecipe;
struct tlThumbnail;

// Width, height, style and composer are read by the worker; result is
// written by it (an owned image, or null when it could not be allocated, the
// style is not valid or there is no composer) before the worker signals that
// it is done. The main thread reads result only after that signal. The two
// recipe pointers are optional (null: the job composes as always); what they
// point to belongs to the main thread, and the worker alone touches it while
// the job runs.
struct GenerationJob {
    int32_t width;
    int32_t height;
    tlImage *result;
    tlComposeStyle style = tlComposeStyle();  // the default: rich, every family
    // Draws the wallpaper. Owned by whoever runs the jobs (the program beside
    // its cycle); only the job running uses it.
    WallpaperComposer *composer = nullptr;
    // Given: the job renders this recipe (at its own size) instead of
    // composing, and result stays null when the recipe is refused.
    const tlRecipe *render = nullptr;
    // Given: receives the recipe of the wallpaper in result, or an empty
    // recipe (size 0) when the wallpaper has none.
    tlRecipe *recipe = nullptr;
    // Given: receives the thumbnail of the wallpaper in result, made on the
    // worker; its made flag is false when there is no result.
    tlThumbnail *thumbnail = nullptr;
};

// Renders one wallpaper of job->width x job->height into job->result. Runs on
// the worker thread; the thread layer that calls it reports completion to the
// main window once it returns.
void runGenerationJob(GenerationJob *job);

// The job's steps around the effects, shared with recipes: a picture layer
// of width x height in the working format (RGB, 8 bits, 4 channels),
// fill(layer, context), then a new image of that size with the layer
// rendered into its composite; the image keeps no layer. The calling thread's x87 precision is set first. Null (nothing
// left behind) when the layer or the image cannot be allocated; fill is not
// called when the layer cannot be created. filled receives fill's answer.
typedef bool (*tlLayerFill)(tlPictureLayer &layer, void *context);
tlImage *buildWallpaper(int32_t width, int32_t height, tlLayerFill fill, void *context, bool &filled);
