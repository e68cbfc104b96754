// tlColourModel and tlPixelFormat: the colour model, bits per channel and
// channel count that say how the pixels of a picture are laid out.
#pragma once

#include <cstdint>

// Colour models; the values are the ones pictures and colours carry.
enum class tlColourModel : int32_t { RGB = 0, Gray = 1, Indexed = 2 };

// The format of a pixel. Valid formats: RGB 8 or 16 bits with 3 or 4
// channels (R, G, B[, A]); gray 8 or 16 bits with 1 or 2 (Y[, A]); indexed
// 8 bits with 1 or 2 (I[, A]). A format has alpha exactly when its channel
// count is even. The default is the working format, RGB 8 bits 4 channels.
struct tlPixelFormat {
    tlColourModel model = tlColourModel::RGB;
    int32_t bits = 8;
    int32_t channels = 4;

    static constexpr tlPixelFormat rgb(int32_t bits, int32_t channels) {
        return tlPixelFormat{tlColourModel::RGB, bits, channels};
    }
    static constexpr tlPixelFormat gray(int32_t bits, int32_t channels) {
        return tlPixelFormat{tlColourModel::Gray, bits, channels};
    }
    static constexpr tlPixelFormat indexed(int32_t channels) {
        return tlPixelFormat{tlColourModel::Indexed, 8, channels};
    }

    constexpr bool isValid() const {
        switch (model) {
        case tlColourModel::RGB: return (bits == 8 || bits == 16) && (channels == 3 || channels == 4);
        case tlColourModel::Gray: return (bits == 8 || bits == 16) && (channels == 1 || channels == 2);
        case tlColourModel::Indexed: return bits == 8 && (channels == 1 || channels == 2);
        }
        return false;
    }
    constexpr bool hasAlpha() const { return (channels & 1) == 0; }
    constexpr int32_t bytesPerPixel() const { return bits / 8 * channels; }
    // Channels without alpha: 3 for RGB, 1 for gray and indexed.
    constexpr int32_t colourChannels() const { return model == tlColourModel::RGB ? 3 : 1; }

    constexpr bool operator==(const tlPixelFormat &other) const {
        return model == other.model && bits == other.bits && channels == other.channels;
    }
    constexpr bool operator!=(const tlPixelFormat &other) const { return !(*this == other); }
};
