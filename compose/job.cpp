// The generation job: composes one wallpaper on a picture layer and renders
// it into a new layered image for the main thread.
#include "compose/job.h"

#include <new>

#include "compose/composer.h"
#include "effects/core/picture_layer.h"
#include "imaging/image.h"
#include "platform/fpu.h"

namespace {

// Every wallpaper is made in the working format: RGB, 8 bits, 4 channels.
constexpr tlPixelFormat kWorkingFormat = tlPixelFormat::rgb(8, 4);

}  // namespace

// When the layer or the image cannot be allocated, the style is refused or
// there is no composer, the job leaves result null (the shell then has no
// new picture) and frees whatever it made; the composer draws nothing for a
// layer that could not be created or a refused style.
void runGenerationJob(GenerationJob *job) {
    job->result = nullptr;
    if (!job->composer || !job->style.isValid()) return;
    // Clouds compute in long double; worker threads start at 53 bits.
    platform::useExtendedPrecision();

    tlPictureLayer *layer = new (std::nothrow) tlPictureLayer;
    if (!layer) return;
    if (!layer->create(job->width, job->height, kWorkingFormat)) {
        delete layer;
        return;
    }
    // The style's level becomes the composer's (rich by default), on this
    // thread, before the composition.
    job->composer->compose(*layer, job->style);  // a shorter stack is still a wallpaper

    tlImage *image = new (std::nothrow) tlImage;
    if (!image) {
        delete layer;
        return;
    }
    if (!image->create(job->width, job->height, kWorkingFormat) || !image->addLayer(layer)) {
        delete layer;
        delete image;
        return;
    }
    image->render();
    job->result = image;
}
