// Wallpapers written as BMP files.
#include "app/bmp_picture_store.h"

#include "imagefiles/bmp.h"
#include "imagefiles/codec.h"
#include "imaging/image.h"

bool BmpPictureStore::save(tlImage &picture, const char *path) {
    // The codec is made for this one file; every result but 0 is a failure.
    tlBMPCodec codec;
    return saveImage(codec, path, picture, nullptr) == tlCodecOk;
}

void BmpPictureStore::release(tlImage *picture) { delete picture; }
