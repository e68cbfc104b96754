// Fuzz target: every effect class loads an arbitrary parameter record from a
// memory stream; a record that loads must clone equal and survive a save and
// reload.
#include <cstddef>
#include <cstdint>

#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "imagefiles/stream.h"

// Saves the effect and loads the record into a fresh effect of its class.
static void checkSaveAndReload(const tlEffectInfo &info, const tlEffect &effect) {
    tlMemoryStream saved;
    if (!effect.save(saved)) __builtin_trap();
    tlEffect *again = info.create();
    if (!again || !saved.seek(0, 0)) __builtin_trap();
    if (!again->load(saved) || !again->equals(effect)) __builtin_trap();
    delete again;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > (1u << 16)) return 0;
    int32_t count = 0;
    const tlEffectInfo *classes = effectCatalogue(count);
    for (int32_t i = 0; i < count; ++i) {
        tlEffect *effect = classes[i].create();
        tlMemoryStream in;
        if (effect && in.assign(data, static_cast<uint32_t>(size))) {
            while (effect->load(in)) {  // records may follow one another
                tlEffect *copy = effect->clone();
                if (copy && !copy->equals(*effect)) __builtin_trap();
                delete copy;
                checkSaveAndReload(classes[i], *effect);
            }
        }
        delete effect;
    }
    return 0;
}
