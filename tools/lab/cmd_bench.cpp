// chromaweave_lab bench: times every effect's apply with parameters the
// composer would choose (its largest ones for filters) and whole wallpaper
// generations over many seeds, and measures the peak memory of a 3840x2160
// generation: each on one thread and on all threads (--threads, by default
// every processor), the two runs taking turns so that the load of the rest
// of the machine falls on both alike. Wall-clock time of
// std::chrono::steady_clock. On a terminal, a progress line on stderr tells
// where the run is.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "compose/composer.h"
#include "compose/job.h"
#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "imaging/image.h"
#include "tools/lab/args.h"
#include "tools/lab/lab.h"
#include "tools/lab/progress.h"
#include "tools/lab/threads.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <fstream>
#include <sys/resource.h>
#endif

namespace {

// Parameters per class as field=value assignments; filters get the largest
// values their composer row can draw, patterns typical ones.
struct BenchParams {
    const char *name;
    const char *assignments;
};
const BenchParams kParams[] = {
    {"HSVNoise", "hueNoise=20 saturationNoise=10 valueNoise=10 seed=12345"},
    {"HistogramNoise", "seed=12345 amount=13"},
    {"EdgeDetection", "gain=200 invert=1 wrap=1"},
    {"Neon", "radius=5 strength=200 wrap=1"},
    {"Emboss", "direction=5 radius=2 strength=290 inColour=0 wrap=1 blendMode=10"},
    {"Pixelize", "cellWidth=10 cellHeight=10"},
    {"Median", "radius=2 wrap=1"},
    {"Minimum", "radius=2 wrap=1"},
    {"Maximum", "radius=2 wrap=1"},
    {"Spread", "spreadX=5 spreadY=5 seed=12345 wrap=1"},
    {"GlassTile", "tileWidth=30 tileHeight=30 wrap=1"},
    {"Gradient", "colour1=rgba(41,123,222,255) colour2=rgba(255,205,16,255) shape=4"},
    {"GradientPattern", "colour1=rgba(41,123,222,255) colour2=rgba(255,205,16,255) orientation=1 period=64"},
    {"Dots", "colour=rgba(230,32,90,184) shape=1 dotSize=7 gap=9 antialias=1"},
    {"RandomDots",
     "colour=rgba(230,32,90,184) shape=1 alphaJitter=100 dotSize=23 sizeJitter=40 density=150 seed=12345 wrap=1"},
    {"ParallelLines", "colour=rgba(230,32,90,184) vertical=1 lineWidth=4 gap=4"},
    {"Grid", "colour=rgba(230,32,90,184) lineWidth=2 gapX=28 gapY=28"},
    {"Checker", "colour1=rgba(41,123,222,255) colour2=rgba(255,205,16,255) cellWidth=40 cellHeight=40"},
    {"Cloud", "colour1=rgba(41,123,222,255) colour2=rgba(255,205,16,255) wrap=1 detail=4 scaleX=40 scaleY=40 "
              "seed=12345"},
    {"Plasma", "seed=12345 roughness=50 wrap=1"},
    {"OilPaint", "radius=3 wrap=1"},
    {"Watercolor", "radius=3 wrap=1"},
    {"Negative", ""},
    {"Cylinder", "vertical=1"},
    {"Swirl", "angle=720"},
    {"SineWave", "amplitudeX=10 wavelengthX=40 amplitudeY=10 wavelengthY=40 wrap=1"},
    {"Kaleidoscope", "mode=1"},
};

const char *paramsFor(const char *name) {
    for (const BenchParams &p : kParams)
        if (std::strcmp(p.name, name) == 0) return p.assignments;
    return "";
}

// Applies the assignments (the base's opacity and blendMode included).
bool configure(tlEffect &effect, const char *assignments) {
    std::string all = assignments;
    size_t at = 0;
    while (at < all.size()) {
        size_t end = all.find(' ', at);
        if (end == std::string::npos) end = all.size();
        const std::string item = all.substr(at, end - at);
        at = end + 1;
        const size_t eq = item.find('=');
        if (eq == std::string::npos) return false;
        const std::string name = item.substr(0, eq), value = item.substr(eq + 1);
        int32_t n = 0;
        if (name == "blendMode" && parseInt32(value, 0, 17, n))
            effect.blendMode = n;
        else if (name == "opacity" && parseInt32(value, 0, 65535, n))
            effect.opacity = static_cast<uint32_t>(n);
        else if (!setFieldFromText(effect, name.c_str(), value.c_str()))
            return false;
    }
    return true;
}

std::string paramsJson(const tlEffectInfo &info, const tlEffect &effect) {
    std::string json = "{";
    for (int32_t i = 0; i < info.fieldCount; ++i) {
        char text[160];
        if (!formatField(effect, info.fields[i], text, sizeof text)) std::strcpy(text, "null");
        json += (i ? ",\"" : "\"") + std::string(info.fields[i].name) + "\":" + text;
    }
    return json + "}";
}

double elapsedMs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Nearest rank: the smallest value with at least 95 % of the values at or below it.
double percentile95(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t rank = (v.size() * 95 + 99) / 100;
    return v[rank - 1];
}

// ---- memory -----------------------------------------------------------------

#ifdef _WIN32
// Windows cannot reset the peak, so the caller measures before anything
// else has grown the process.
void resetPeak() {}
uint64_t currentBytes() {
    PROCESS_MEMORY_COUNTERS c;
    return GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c) ? c.WorkingSetSize : 0;
}
uint64_t peakBytes() {
    PROCESS_MEMORY_COUNTERS c;
    return GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c) ? c.PeakWorkingSetSize : 0;
}
#else
// Linux resets the resident high-water mark when "5" is written to clear_refs.
void resetPeak() {
    std::ofstream refs("/proc/self/clear_refs");
    if (refs) refs << "5";
}
uint64_t statusKb(const char *key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t len = std::strlen(key);
    while (std::getline(status, line))
        if (line.compare(0, len, key) == 0) return std::strtoull(line.c_str() + len, nullptr, 10);
    return 0;
}
uint64_t currentBytes() { return statusKb("VmRSS:") * 1024; }
uint64_t peakBytes() {
    uint64_t kb = statusKb("VmHWM:");
    if (kb == 0) {
        struct rusage usage;
        if (getrusage(RUSAGE_SELF, &usage) == 0) kb = static_cast<uint64_t>(usage.ru_maxrss);
    }
    return kb * 1024;
}
#endif

// ---- the measurements -------------------------------------------------------

struct Options {
    int32_t w = 1920, h = 1080, runs = 5;
    bool json = false;
    const char *only = nullptr;  // one effect, no generations
    labThreads *threads = nullptr;
};

// The thread counts measured: 1, then all when there are more.
std::vector<int32_t> threadCounts(const Options &o) {
    std::vector<int32_t> counts = {1};
    if (o.threads->count() > 1) counts.push_back(o.threads->count());
    return counts;
}

std::string threadsText(int32_t n) { return std::to_string(n) + (n == 1 ? " thread" : " threads"); }

// A cloud in two colours: the kind of picture filters meet in a wallpaper.
bool makeInput(const Options &o, tlPicture &input) {
    if (!input.create(o.w, o.h, tlPixelFormat::rgb(8, 4))) return false;
    std::unique_ptr<tlEffect> cloud(createEffectByName("Cloud"));
    if (!cloud || !configure(*cloud, paramsFor("Cloud"))) return false;
    tlPicture copy(input);
    return !copy.isEmpty() && cloud->apply(copy, input, nullptr);
}

bool benchEffect(const Options &o, const tlEffectInfo &info, const tlPicture &input, labProgress &progress) {
    std::unique_ptr<tlEffect> effect(info.create());
    if (!effect || !configure(*effect, paramsFor(info.name))) return false;
    tlPicture destination(input);
    if (destination.isEmpty()) return false;
    const std::vector<int32_t> counts = threadCounts(o);
    std::vector<std::vector<double>> times(counts.size());
    bool ok = true;
    for (int32_t r = 0; r < o.runs && ok; ++r) {
        for (size_t t = 0; t < counts.size() && ok; ++t) {
            o.threads->useAll(counts[t] > 1);
            destination.copyFrom(0, 0, input);
            const auto start = std::chrono::steady_clock::now();
            ok = effect->apply(input, destination, nullptr);
            times[t].push_back(elapsedMs(start));
        }
    }
    const std::string size = std::to_string(o.w) + "x" + std::to_string(o.h);
    progress.clear();
    if (o.json) {
        for (size_t t = 0; t < counts.size(); ++t) {
            std::printf("{\"effect\":\"%s\",\"params\":%s,\"size\":\"%s\",\"threads\":%d,", info.name,
                        paramsJson(info, *effect).c_str(), size.c_str(), static_cast<int>(counts[t]));
            if (ok)
                std::printf("\"median_ms\":%.3f}\n", median(times[t]));
            else
                std::printf("\"failed\":true}\n");
        }
    } else if (ok) {
        std::printf("%-16s %-10s", info.name, size.c_str());
        for (size_t t = 0; t < counts.size(); ++t) std::printf(" %10.2f ms", median(times[t]));
        std::printf("\n");
    } else {
        std::printf("%-16s %-10s     failed\n", info.name, size.c_str());
    }
    std::fflush(stdout);
    return true;
}

void printEffectHeader(const Options &o) {
    if (o.json) return;
    std::printf("%-16s %-10s", "effect", "size");
    for (int32_t n : threadCounts(o)) std::printf(" %13s", threadsText(n).c_str());
    std::printf("\n");
}

void printPeak(const Options &o, int32_t w, int32_t h, int32_t threads, uint64_t peak, uint64_t rise, uint32_t seed) {
    const double mib = 1024.0 * 1024.0;
    if (o.json)
        std::printf("{\"peak\":\"%dx%d\",\"threads\":%d,\"seed\":%u,\"peak_bytes\":%" PRIu64 ",\"rise_bytes\":%" PRIu64
                    "}\n",
                    static_cast<int>(w), static_cast<int>(h), static_cast<int>(threads), static_cast<unsigned>(seed),
                    peak, rise);
    else
        std::printf("peak memory of a %dx%d generation, %s: %.1f MiB resident, %.1f MiB above the start (seed %u)\n",
                    static_cast<int>(w), static_cast<int>(h), threadsText(threads).c_str(), peak / mib, rise / mib,
                    static_cast<unsigned>(seed));
}

// The times and the largest resident size of the generations of one thread
// count.
struct ComposeFigures {
    std::vector<double> times;
    uint64_t maxPeak = 0, maxRise = 0;
    uint32_t peakSeed = 0;
};

// One generation job of the seed, timed, and with trackPeak its resident
// high-water mark.
void composeOnce(int32_t w, int32_t h, uint32_t seed, bool trackPeak, WallpaperComposer &composer,
                 ComposeFigures &figures) {
    if (trackPeak) resetPeak();
    const uint64_t before = trackPeak ? currentBytes() : 0;
    composer.random.seed(seed);
    GenerationJob job = {w, h, nullptr};
    job.composer = &composer;
    const auto start = std::chrono::steady_clock::now();
    runGenerationJob(&job);
    figures.times.push_back(elapsedMs(start));
    delete job.result;
    if (!trackPeak) return;
    const uint64_t peak = peakBytes();
    if (peak > figures.maxPeak) {
        figures.maxPeak = peak;
        figures.maxRise = peak > before ? peak - before : 0;
        figures.peakSeed = seed;
    }
}

// Seeds 1..seeds, one whole generation job each per thread count, the
// counts taking turns (which goes first alternates from seed to seed). With
// trackPeak the largest resident size is printed too (Linux resets the mark
// before each job; on Windows the process peak is that of the largest job
// so far, as nothing before it is as large at the default --size).
void benchCompose(const Options &o, int32_t w, int32_t h, int32_t seeds, bool trackPeak, labProgress &progress) {
    const std::vector<int32_t> counts = threadCounts(o);
    std::vector<ComposeFigures> figures(counts.size());
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    WallpaperComposer composer;
    for (int32_t s = 1; s <= seeds; ++s) {
        progress.show("compose " + size + ", seed " + std::to_string(s) + "/" + std::to_string(seeds));
        for (size_t i = 0; i < counts.size(); ++i) {
            const size_t t = s % 2 == 0 ? counts.size() - 1 - i : i;
            o.threads->useAll(counts[t] > 1);
            composeOnce(w, h, static_cast<uint32_t>(s), trackPeak, composer, figures[t]);
        }
    }
    progress.clear();
    for (size_t t = 0; t < counts.size(); ++t) {
        const std::vector<double> &times = figures[t].times;
        if (o.json)
            std::printf("{\"compose\":\"%s\",\"threads\":%d,\"seeds\":%d,\"median_ms\":%.3f,\"p95_ms\":%.3f}\n",
                        size.c_str(), static_cast<int>(counts[t]), static_cast<int>(seeds), median(times),
                        percentile95(times));
        else
            std::printf("compose %-10s %4d seeds  %-10s  median %10.2f ms  p95 %10.2f ms\n", size.c_str(),
                        static_cast<int>(seeds), threadsText(counts[t]).c_str(), median(times), percentile95(times));
    }
    if (trackPeak)
        for (size_t t = 0; t < counts.size(); ++t)
            printPeak(o, w, h, counts[t], figures[t].maxPeak, figures[t].maxRise, figures[t].peakSeed);
    std::fflush(stdout);
}

bool parseSize(const std::string &text, int32_t &w, int32_t &h) {
    const size_t x = text.find_first_of("xX");
    return x != std::string::npos && parseInt32(text.substr(0, x), 1, 65535, w) &&
           parseInt32(text.substr(x + 1), 1, 65535, h);
}

int runBench(int argc, char **argv) {
    const char *cmd = "bench";
    labArgs args;
    std::string error;
    if (!args.parse(argc, argv, {{"size", true}, {"runs", true}, {"json", false}, {"effect", true}, kThreadsOption},
                    error))
        return labUsageError(cmd, error);
    if (!args.positional.empty()) return labUsageError(cmd, "unexpected argument \"" + args.positional[0] + "\"");
    Options o;
    if (args.has("size") && !parseSize(*args.value("size"), o.w, o.h))
        return labUsageError(cmd, "--size wants WxH with sides from 1 to 65535");
    if (!args.getInt("runs", 1, 1000, o.runs, error)) return labUsageError(cmd, error);
    o.json = args.has("json");
    if (const std::string *name = args.value("effect")) {
        if (!findEffectInfo(name->c_str())) return labUsageError(cmd, "unknown effect \"" + *name + "\"");
        o.only = name->c_str();
    }

    labThreads threads;
    if (!threads.start(args, error)) return labUsageError(cmd, error);
    o.threads = &threads;

    tlPicture input;
    if (!makeInput(o, input)) return labFailure(cmd, "cannot make the input picture");
    labProgress progress(cmd);
    printEffectHeader(o);
    int32_t count = 0;
    const tlEffectInfo *classes = effectCatalogue(count);
    for (int32_t i = 0; i < count; ++i) {
        if (o.only && std::strcmp(o.only, classes[i].name) != 0) continue;
        progress.show(std::string(classes[i].name) + " (" + std::to_string(i + 1) + "/" + std::to_string(count) + ")");
        if (!benchEffect(o, classes[i], input, progress)) {
            progress.clear();
            return labFailure(cmd, std::string("cannot set up ") + classes[i].name);
        }
    }
    if (o.only) return kLabOk;
    benchCompose(o, 120, 120, 100, false, progress);
    benchCompose(o, 1920, 1080, 100, false, progress);
    benchCompose(o, 3840, 2160, 20, true, progress);
    return kLabOk;
}

const labCommandRegistrar benchCommand("bench", runBench,
                                       "[--size WxH] [--runs N] [--json] [--effect NAME] " LAB_THREADS_USAGE);

}  // namespace
