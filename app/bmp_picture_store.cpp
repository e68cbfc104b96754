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

bool BmpPictureStore::saveRepeated(tlImage &picture, int32_t width, int32_t height,
                                   const char *path) {
    tlPicture repeated;
    if (!repeatPicture(picture.picture, width, height, repeated)) return false;
    tlImage image;
    image.takePicture(repeated);
    tlBMPCodec codec;
    return saveImage(codec, path, image, nullptr) == tlCodecOk;
}

void BmpPictureStore::release(tlImage *picture) { delete picture; }
