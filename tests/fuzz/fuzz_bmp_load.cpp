// libFuzzer entry: any bytes loaded as a BMP file must give a result code
// 0..9 and never touch memory outside its buffers. The codec reads them from
// a memory stream.
#include <cstdint>
#include <cstdlib>

#include "imagefiles/bmp.h"
#include "imagefiles/stream.h"
#include "imaging/image.h"

namespace {

uint32_t le32(const uint8_t *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

// Inputs whose header asks for more than 4 million pixels are passed over:
// creating and clearing such pictures (up to the reader's 2 GiB limit) only
// slows the fuzzer down; the unit tests cover huge headers.
bool asksForHugePicture(const uint8_t *data, size_t size) {
    if (size < 26) return false;
    uint64_t w, h;
    if (le32(data + 14) == 12) {
        w = data[18] | (data[19] << 8);
        h = data[20] | (data[21] << 8);
    } else {
        int64_t sw = static_cast<int32_t>(le32(data + 18));
        int64_t sh = static_cast<int32_t>(le32(data + 22));
        w = static_cast<uint64_t>(sw < 0 ? -sw : sw);
        h = static_cast<uint64_t>(sh < 0 ? -sh : sh);
    }
    return w * h > (uint64_t(1) << 22);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (asksForHugePicture(data, size) || size > 0xFFFFFFFFu) return 0;
    tlMemoryStream stream;
    if (!stream.assign(data, static_cast<uint32_t>(size))) return 0;
    tlImage image;
    tlBMPCodec codec;
    const int32_t result = codec.load(stream, image, nullptr);
    if (result < 0 || result > 9) std::abort();
    // A successful load has a picture; a failed one leaves the image empty.
    if ((result == 0) == image.picture.isEmpty()) std::abort();
    if (result == 0 && (image.width <= 0 || image.height <= 0)) std::abort();
    return 0;
}
