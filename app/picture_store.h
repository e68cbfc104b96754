// What the cycle does with finished pictures: write them as BMP files and
// release them. The program's implementation uses saveImage with a
// tlBMPCodec; tests record names.
#pragma once

#include <cstdint>

class tlImage;

class PictureStore {
public:
    virtual ~PictureStore() {}
    // Writes the picture to path (created or replaced); false on any failure.
    virtual bool save(tlImage &picture, const char *path) = 0;
    // Writes a picture of width x height holding the picture repeated from
    // its top-left corner (a seamless tile makes a seamless wallpaper of any
    // size); false on any failure, no memory included.
    virtual bool saveRepeated(tlImage &picture, int32_t width, int32_t height,
                              const char *path) = 0;
    // Takes ownership and frees the picture; null is ignored.
    virtual void release(tlImage *picture) = 0;
};
