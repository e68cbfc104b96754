// chromaweave_lab compose: seeds the composer and runs the generation job as
// the program does, writing the wallpapers and, on request, the effect stack
// of each as JSON lines, a digest of each composite and its recipe. Without
// --seed the seed is drawn from the clock and named on stderr, so that any
// wallpaper can be made again while stdout keeps only the JSON lines.
// --complexity and --exclude give the wallpapers a style, to preview it.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "compose/composer.h"
#include "compose/composer_trace.h"
#include "compose/job.h"
#include "compose/recipe.h"
#include "imagefiles/bmp.h"
#include "imagefiles/codec.h"
#include "imaging/image.h"
#include "tools/lab/args.h"
#include "tools/lab/cmd_recipe.h"
#include "tools/lab/lab.h"
#include "tools/lab/picture_io.h"
#include "tools/lab/progress.h"
#include "tools/lab/threads.h"

namespace {

// "WxH" with both sides from 1 to 65535.
bool parseSize(const std::string &text, int32_t &w, int32_t &h) {
    const size_t x = text.find_first_of("xX");
    return x != std::string::npos && parseInt32(text.substr(0, x), 1, 65535, w) &&
           parseInt32(text.substr(x + 1), 1, 65535, h);
}

// A decimal unsigned 32-bit number.
bool parseSeed(const std::string &text, uint32_t &seed) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > 0xFFFFFFFFu) return false;
    seed = static_cast<uint32_t>(v);
    return true;
}

// A seed from the clock; the mixing (splitmix64's finaliser) makes runs a
// moment apart draw unrelated seeds.
uint32_t clockSeed() {
    uint64_t z = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) ^
                 static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    z += 0x9E3779B97F4A7C15u;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return static_cast<uint32_t>(z ^ (z >> 31));
}

// The names --exclude takes, in the order of tlStyleFamily.
const char *const kFamilyNames[tlFamilyCount] = {"gradients", "checkers", "clouds", "dots",  "lines",
                                                 "warps",     "noise",    "soft",   "edges", "tiles"};

// --complexity simple|normal|rich and --exclude FAMILY[,FAMILY...].
bool parseStyle(const labArgs &args, tlComposeStyle &style, std::string &error) {
    if (!args.getChoice("complexity", {"simple", "normal", "rich"}, style.complexity, error)) return false;
    const std::string *list = args.value("exclude");
    for (size_t start = 0; list && start <= list->size();) {
        const size_t comma = std::min(list->find(',', start), list->size());
        const std::string name = list->substr(start, comma - start);
        int32_t family = 0;
        while (family < tlFamilyCount && name != kFamilyNames[family]) ++family;
        if (family == tlFamilyCount) {
            error = "--exclude: unknown family \"" + name + "\" (families:";
            for (const char *known : kFamilyNames) error += std::string(" ") + known;
            error += ")";
            return false;
        }
        style.excluded |= 1u << family;
        start = comma + 1;
    }
    if (style.isValid()) return true;
    error = "--exclude leaves no family for the first layer: keep gradients, checkers or clouds";
    return false;
}

bool saveWallpaper(const std::string &path, const tlImage &image, bool pam, std::string &error) {
    if (pam) return savePicture(path, image.picture, error);
    tlBMPCodec codec;
    const int32_t result = saveImage(codec, path.c_str(), image, nullptr);
    if (result == 0) return true;
    error = "cannot save " + path + " (codec result " + std::to_string(result) + ")";
    return false;
}

// The recipe line of wallpaper k: {"recipe":"cw1-…"} (with "file" when one
// was written) among JSON lines, else "FILE<TAB>RECIPE", or the text alone.
std::string recipeLine(const tlRecipe &recipe, bool json, const std::string *file, std::string &error) {
    char text[kRecipeTextCapacity];
    const tlRecipeStatus status = encodeRecipeText(recipe, text, sizeof text);
    if (!status.ok()) {
        char message[256];
        describeRecipeStatus(status, message, sizeof message);
        error = std::string("no recipe: ") + message;
        return std::string();
    }
    if (json) return "{\"recipe\":" + jsonString(text) + (file ? ",\"file\":" + jsonString(*file) : "") + "}\n";
    return (file ? *file + "\t" : "") + text + "\n";
}

// Prints what the trace gathered so far and empties it.
void flush(std::string &trace, labProgress &progress) {
    progress.clear();
    std::fwrite(trace.data(), 1, trace.size(), stdout);
    std::fflush(stdout);
    trace.clear();
}

int runCompose(int argc, char **argv) {
    const char *cmd = "compose";
    labArgs args;
    std::string error;
    if (!args.parse(argc, argv,
                    {{"size", true},
                     {"seed", true},
                     {"count", true},
                     {"out", true},
                     {"pam", false},
                     {"stack", false},
                     {"digest", false},
                     {"recipe", false},
                     {"complexity", true},
                     {"exclude", true},
                     kThreadsOption},
                    error))
        return labUsageError(cmd, error);
    if (!args.positional.empty()) return labUsageError(cmd, "unexpected argument \"" + args.positional[0] + "\"");
    if (!args.require("size", error)) return labUsageError(cmd, error);
    int32_t w = 0, h = 0, count = 1;
    uint32_t seed = 0;
    if (!parseSize(*args.value("size"), w, h))
        return labUsageError(cmd, "--size wants WxH with sides from 1 to 65535, not \"" + *args.value("size") + "\"");
    if (args.has("seed") && !parseSeed(*args.value("seed"), seed))
        return labUsageError(cmd, "--seed wants a number from 0 to 4294967295, not \"" + *args.value("seed") + "\"");
    if (!args.getInt("count", 1, 9999, count, error)) return labUsageError(cmd, error);
    tlComposeStyle style;
    if (!parseStyle(args, style, error)) return labUsageError(cmd, error);
    labThreads threads;
    if (!threads.start(args, error)) return labUsageError(cmd, error);
    if (args.has("recipe") && (w > kRecipeMaxSide || h > kRecipeMaxSide || int64_t(w) * h > kRecipeMaxPixels))
        return labUsageError(cmd, "--recipe wants sides up to " + std::to_string(kRecipeMaxSide) + " and at most " +
                                      std::to_string(kRecipeMaxPixels) + " pixels");
    if (!args.has("seed")) {
        seed = clockSeed();
        std::fprintf(stderr, "chromaweave_lab compose: no --seed given, drew --seed %u\n", static_cast<unsigned>(seed));
    }
    const bool pam = args.has("pam");

    std::string trace;
    tlComposeTrace observer(trace);
    WallpaperComposer composer;
    composer.random.seed(seed);
    if (args.has("stack")) composer.setObserver(&observer);

    labProgress progress(cmd);
    int status = kLabOk;
    for (int32_t k = 1; k <= count && status == kLabOk; ++k) {
        if (count > 1) progress.show("wallpaper " + std::to_string(k) + "/" + std::to_string(count));
        if (args.has("stack")) observer.wallpaper(k, w, h);
        GenerationJob job = {w, h, nullptr};
        job.style = style;
        job.composer = &composer;
        tlRecipe recipe;
        if (args.has("recipe")) job.recipe = &recipe;
        runGenerationJob(&job);
        if (!job.result) {
            flush(trace, progress);
            status = labFailure(cmd,
                                "no picture of " + std::to_string(w) + "x" + std::to_string(h) + " could be allocated");
            break;
        }
        if (args.has("digest")) {
            char line[64];
            std::snprintf(line, sizeof line, "{\"digest\":\"%016" PRIx64 "\"}\n", pictureDigest(job.result->picture));
            trace += line;
        }
        flush(trace, progress);
        std::string path;
        if (const std::string *prefix = args.value("out")) {
            char number[16];
            std::snprintf(number, sizeof number, "-%04d", static_cast<int>(k));
            path = *prefix + number + (pam ? ".pam" : ".bmp");
            if (!saveWallpaper(path, *job.result, pam, error)) status = labFailure(cmd, error);
        }
        if (status == kLabOk && args.has("recipe")) {
            const bool json = args.has("stack") || args.has("digest");
            trace = recipeLine(recipe, json, args.has("out") ? &path : nullptr, error);
            if (trace.empty()) status = labFailure(cmd, "wallpaper " + std::to_string(k) + ": " + error);
            flush(trace, progress);
        }
        delete job.result;
    }
    composer.setObserver(nullptr);
    return status;
}

const labCommandRegistrar composeCommand("compose", runCompose,
                                         "--size WxH [--seed N] [--count K] [--out PREFIX] [--pam] [--stack] "
                                         "[--digest] [--recipe] [--complexity simple|normal|rich] "
                                         "[--exclude FAMILY[,FAMILY...]]\n"
                                         "    " LAB_THREADS_USAGE "\n"
                                         "    FAMILY: gradients checkers clouds dots lines (patterns; one of the "
                                         "first three stays), warps noise soft edges tiles (filters)");

}  // namespace
