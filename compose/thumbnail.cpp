// Thumbnails of wallpapers: a bounded sampling of the tiled square.
#include "compose/thumbnail.h"

#include "imaging/picture.h"

namespace {

// Samples per thumbnail pixel along each axis, at most.
constexpr int64_t kMaxSamples = 8;

}  // namespace

bool makeThumbnail(const tlPicture &picture, tlThumbnail &out) {
    if (picture.isEmpty() || picture.model != tlColourModel::RGB || picture.bits != 8 || picture.width < 1 ||
        picture.height < 1)
        return false;
    const int64_t w = picture.width, h = picture.height;
    const int64_t square = w > h ? w : h;
    const int64_t t = tlThumbnail::kSide;
    const int32_t bytes = picture.bytesPerPixel();
    for (int64_t ty = 0; ty < t; ++ty) {
        // The part of the square this row covers: [y0, y1), at least a pixel.
        const int64_t y0 = ty * square / t;
        int64_t y1 = (ty + 1) * square / t;
        if (y1 <= y0) y1 = y0 + 1;
        const int64_t ny = y1 - y0 < kMaxSamples ? y1 - y0 : kMaxSamples;
        for (int64_t tx = 0; tx < t; ++tx) {
            const int64_t x0 = tx * square / t;
            int64_t x1 = (tx + 1) * square / t;
            if (x1 <= x0) x1 = x0 + 1;
            const int64_t nx = x1 - x0 < kMaxSamples ? x1 - x0 : kMaxSamples;
            int64_t sum[3] = {0, 0, 0};
            for (int64_t j = 0; j < ny; ++j) {
                // Wrapped: the square runs over the tile's repeats.
                const int32_t y = static_cast<int32_t>((y0 + j * (y1 - y0) / ny) % h);
                const uint8_t *row = picture.row(y);
                for (int64_t i = 0; i < nx; ++i) {
                    const int64_t x = (x0 + i * (x1 - x0) / nx) % w;
                    const uint8_t *p = row + x * bytes;
                    for (int32_t c = 0; c < 3; ++c) sum[c] += p[c];
                }
            }
            const int64_t n = nx * ny;
            uint8_t *q = out.rgb + (ty * t + tx) * 3;
            for (int32_t c = 0; c < 3; ++c) q[c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
        }
    }
    out.made = true;
    return true;
}
