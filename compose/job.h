// The generation job: the one record handed between the main thread and the
// worker thread that renders the next wallpaper.
#pragma once

#include <cstdint>

#include "compose/style.h"

class WallpaperComposer;
class tlImage;

// Width, height, style and composer are read by the worker; result is
// written by it (an owned image, or null when it could not be allocated, the
// style is not valid or there is no composer) before the worker signals that
// it is done. The main thread reads result only after that signal.
struct GenerationJob {
    int32_t width;
    int32_t height;
    tlImage *result;
    tlComposeStyle style = tlComposeStyle();  // the default: rich, every family
    // Draws the wallpaper. Owned by whoever runs the jobs (the program beside
    // its cycle); only the job running uses it.
    WallpaperComposer *composer = nullptr;
};

// Renders one wallpaper of job->width x job->height into job->result. Runs on
// the worker thread; the thread layer that calls it reports completion to the
// main window once it returns.
void runGenerationJob(GenerationJob *job);
