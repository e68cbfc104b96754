// Thumbnails: a small square picture of a wallpaper as the tiled desktop
// shows it, for menus that list wallpapers.
#pragma once

#include <cstdint>

class tlPicture;

// 32 x 32 pixels, rows top first, 3 bytes a pixel (R, G, B). made is false
// until a picture was drawn into it.
struct tlThumbnail {
    static constexpr int32_t kSide = 32;
    bool made = false;
    uint8_t rgb[kSide * kSide * 3] = {};
};

// Draws the square of the tiled wallpaper whose side is the tile's longer
// side, from the tile's top-left corner (a non-square tile thus shows as
// the desktop repeats it), scaled to the thumbnail: each thumbnail pixel is
// the mean, rounded to nearest, of an evenly spaced grid of at most 8 x 8
// samples of its part of the square, so that even the largest tile costs a
// few thousand reads. False, out untouched, unless picture is RGB, 8 bits,
// with pixels.
bool makeThumbnail(const tlPicture &picture, tlThumbnail &out);
