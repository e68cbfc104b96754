// The program's picture store: wallpapers written as BMP files with
// saveImage and a tlBMPCodec (24 bits a pixel), pictures freed with delete.
#pragma once

#include "app/picture_store.h"

class BmpPictureStore : public PictureStore {
public:
    bool save(tlImage &picture, const char *path) override;
    bool saveRepeated(tlImage &picture, int32_t width, int32_t height, const char *path) override;
    void release(tlImage *picture) override;
};
