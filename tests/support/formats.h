// Pixel formats in test messages, and the lists of formats the tests run over.
#pragma once

#include <ostream>

#include "imaging/pixel_format.h"

inline std::ostream &operator<<(std::ostream &out, tlColourModel model) {
    switch (model) {
    case tlColourModel::RGB: return out << "RGB";
    case tlColourModel::Gray: return out << "gray";
    case tlColourModel::Indexed: return out << "indexed";
    }
    return out << "model " << static_cast<int32_t>(model);
}

// "RGB 8/4": model, bits per channel, channels.
inline std::ostream &operator<<(std::ostream &out, const tlPixelFormat &format) {
    return out << format.model << " " << format.bits << "/" << format.channels;
}

// The valid formats by name.
constexpr tlPixelFormat kRGB8 = tlPixelFormat::rgb(8, 3);
constexpr tlPixelFormat kRGBA8 = tlPixelFormat::rgb(8, 4);
constexpr tlPixelFormat kRGB16 = tlPixelFormat::rgb(16, 3);
constexpr tlPixelFormat kRGBA16 = tlPixelFormat::rgb(16, 4);
constexpr tlPixelFormat kGray8 = tlPixelFormat::gray(8, 1);
constexpr tlPixelFormat kGrayA8 = tlPixelFormat::gray(8, 2);
constexpr tlPixelFormat kGray16 = tlPixelFormat::gray(16, 1);
constexpr tlPixelFormat kGrayA16 = tlPixelFormat::gray(16, 2);
constexpr tlPixelFormat kIndexed8 = tlPixelFormat::indexed(1);
constexpr tlPixelFormat kIndexedA8 = tlPixelFormat::indexed(2);

// Every valid format, and the ones with colours of their own (not indexed).
constexpr tlPixelFormat kAllFormats[] = {kRGB8,   kRGBA8,  kRGB16,   kRGBA16,   kGray8,
                                         kGrayA8, kGray16, kGrayA16, kIndexed8, kIndexedA8};
constexpr tlPixelFormat kColourFormats[] = {kRGB8, kRGBA8, kRGB16, kRGBA16, kGray8, kGrayA8, kGray16, kGrayA16};
