// Helpers shared by the composer tests: a text form of an effect with every
// catalogue field, and a digest of a generator's state.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "effects/core/random.h"
#include "tests/support/pictures.h"

// "typeId opacity blendMode field=value ..." with every field of the class.
inline std::string describeEffect(const tlEffect &e) {
    std::string text = std::to_string(e.typeId()) + " " + std::to_string(e.opacity) + " " + std::to_string(e.blendMode);
    const tlEffectInfo *info = findEffectInfo(e.typeId());
    for (int32_t i = 0; info && i < info->fieldCount; ++i) {
        char value[160];
        if (!formatField(e, info->fields[i], value, sizeof value)) std::strcpy(value, "?");
        text += std::string(" ") + info->fields[i].name + "=" + value;
    }
    return text;
}

// FNV-1a 64 over the index and the 624 words: equal for generators that
// made the same draws from the same seed.
inline uint64_t randomDigest(const tlRandom &r) {
    uint64_t h = kFnvBasis;
    auto mix = [&h](uint32_t v) {
        const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        h = fnv1a(bytes, 4, h);
    };
    mix(static_cast<uint32_t>(r.index));
    for (uint32_t w : r.state) mix(w);
    return h;
}
