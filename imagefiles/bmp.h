// tlBMPCodec: Windows bitmap files. Saves 24-bit (RGB) and 8-bit (gray,
// indexed) files; loads uncompressed 1-, 4-, 8-, 16- (5-5-5), 24- and 32-bit
// files and run-length encoded 4- and 8-bit files, with the 40-byte or the
// 12-byte information header.
#pragma once

#include <cstdint>

#include "imagefiles/codec.h"

class tlBMPCodec : public tlCodec {
public:
    const char *shortName() const override { return "BMP"; }
    const char *description() const override { return "Windows Bitmap"; }
    const char *extension() const override { return "bmp"; }
    uint32_t capabilities() const override { return 3; }
    // On any failure the image is left exactly as it was.
    int32_t load(tlStream &stream, tlImage &image, tlProgress *progress) override;
    int32_t save(tlStream &stream, const tlImage &image, tlProgress *progress) override;
    bool recognise(const uint8_t *bytes, uint32_t count) const override;

    bool topDown = false;  // save rows top first with a negative height
};
