// The JSON trace of a composition and the picture digest.
#include "compose/composer_trace.h"

#include <cinttypes>
#include <cstdio>

#include "effects/catalogue.h"
#include "effects/core/effect.h"

namespace {

// The catalogue's class name, or the bare identifier for an unknown class.
std::string className(int32_t typeId) {
    const tlEffectInfo *info = findEffectInfo(typeId);
    return info ? std::string(info->name) : std::to_string(typeId);
}

}  // namespace

void tlComposeTrace::effectAdded(const tlEffect &effect) {
    const int32_t typeId = effect.typeId();
    out += "{\"add\":\"" + className(typeId) + "\",\"typeId\":" + std::to_string(typeId) +
           ",\"opacity\":" + std::to_string(effect.opacity) + ",\"blendMode\":" + std::to_string(effect.blendMode) +
           ",\"params\":{";
    if (const tlEffectInfo *info = findEffectInfo(typeId)) {
        for (int32_t i = 0; i < info->fieldCount; ++i) {
            char text[160];
            if (!formatField(effect, info->fields[i], text, sizeof text)) std::snprintf(text, sizeof text, "null");
            out += (i ? ",\"" : "\"") + std::string(info->fields[i].name) + "\":" + text;
        }
    }
    out += "}}\n";
}

void tlComposeTrace::effectFailed(const tlEffect &effect) { allocationFailed(effect.typeId()); }

void tlComposeTrace::allocationFailed(int32_t typeId) { out += "{\"failed\":\"" + className(typeId) + "\"}\n"; }

void tlComposeTrace::contrastMeasured(int32_t contrast) { out += "{\"contrast\":" + std::to_string(contrast) + "}\n"; }

void tlComposeTrace::wallpaper(int32_t number, int32_t width, int32_t height) {
    out += "{\"wallpaper\":" + std::to_string(number) + ",\"width\":" + std::to_string(width) +
           ",\"height\":" + std::to_string(height) + "}\n";
}

uint64_t pictureDigest(const tlPicture &picture) {
    uint64_t hash = 14695981039346656037ull;
    if (picture.isEmpty()) return hash;
    const size_t rowBytes = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.bitsPerPixel / 8);
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t *row = picture.row(y);
        for (size_t i = 0; i < rowBytes; ++i) {
            hash ^= row[i];
            hash *= 1099511628211ull;
        }
    }
    return hash;
}
