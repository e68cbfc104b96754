// What the cycle does with finished pictures: write them as BMP files and
// release them. The program's implementation uses saveImage with a
// tlBMPCodec; tests record names.
#pragma once

class tlImage;

class PictureStore {
public:
    virtual ~PictureStore() {}
    // Writes the picture to path (created or replaced); false on any failure.
    virtual bool save(tlImage &picture, const char *path) = 0;
    // Takes ownership and frees the picture; null is ignored.
    virtual void release(tlImage *picture) = 0;
};
