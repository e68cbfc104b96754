// Fuzz target: every effect class loads an arbitrary parameter record from a
// file; a record that loads must clone equal and survive a save and reload.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "imagefiles/stream.h"

static std::string tempPath(const char *suffix) {
    static const std::string stamp = std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    return (std::filesystem::temp_directory_path() / ("cw_fuzz_record_" + stamp + suffix)).string();
}

// Saves effect to path and loads the record into a fresh effect of its class.
static void checkSaveAndReload(const tlEffectInfo &info, const tlEffect &effect, const std::string &path) {
    {
        tlStream out;
        if (!out.open(path.c_str(), tlStream::Write) || !effect.save(out)) __builtin_trap();
    }
    tlEffect *again = info.create();
    tlStream in;
    if (!again || !in.open(path.c_str(), tlStream::Read | tlStream::OpenExisting)) __builtin_trap();
    if (!again->load(in) || !again->equals(effect)) __builtin_trap();
    delete again;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > (1u << 16)) return 0;
    static const std::string inputPath = tempPath(".in"), savePath = tempPath(".out");
    {
        tlStream out;
        if (!out.open(inputPath.c_str(), tlStream::Write)) return 0;
        if (out.write(data, static_cast<uint32_t>(size)) != size) return 0;
    }
    int32_t count = 0;
    const tlEffectInfo *classes = effectCatalogue(count);
    for (int32_t i = 0; i < count; ++i) {
        tlEffect *effect = classes[i].create();
        tlStream in;
        if (effect && in.open(inputPath.c_str(), tlStream::Read | tlStream::OpenExisting)) {
            while (effect->load(in)) {  // records may follow one another
                tlEffect *copy = effect->clone();
                if (copy && !copy->equals(*effect)) __builtin_trap();
                delete copy;
                checkSaveAndReload(classes[i], *effect, savePath);
            }
        }
        delete effect;
    }
    std::remove(inputPath.c_str());
    std::remove(savePath.c_str());
    return 0;
}
