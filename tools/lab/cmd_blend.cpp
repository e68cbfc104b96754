// chromaweave_lab blend: composites a whole source picture onto a
// destination picture with one blend mode and opacity.
#include "imaging/picture.h"
#include "tools/lab/args.h"
#include "tools/lab/lab.h"
#include "tools/lab/picture_io.h"
#include "tools/lab/threads.h"

namespace {

int runBlend(int argc, char **argv) {
    const char *cmd = "blend";
    labArgs args;
    std::string error;
    if (!args.parse(argc, argv,
                    {{"mode", true},
                     {"opacity", true},
                     {"dst", true},
                     {"src", true},
                     {"out", true},
                     {"at", true},
                     kThreadsOption},
                    error))
        return labUsageError(cmd, error);
    if (!args.positional.empty()) return labUsageError(cmd, "unexpected argument \"" + args.positional[0] + "\"");
    int32_t mode = 0, opacity = 65535, x = 0, y = 0;
    for (const char *name : {"mode", "dst", "src", "out"})
        if (!args.require(name, error)) return labUsageError(cmd, error);
    if (!args.getInt("mode", 0, 17, mode, error) || !args.getInt("opacity", 0, 65535, opacity, error) ||
        !args.getIntPair("at", INT32_MIN, INT32_MAX, x, y, error))
        return labUsageError(cmd, error);

    if (!canSavePicture(*args.value("out"), error)) return labUsageError(cmd, error);
    labThreads threads;
    if (!threads.start(args, error)) return labUsageError(cmd, error);

    tlPicture dst, src;
    if (!loadPicture(*args.value("dst"), dst, error) || !loadPicture(*args.value("src"), src, error))
        return labUsageError(cmd, error);
    if (!dst.blendFrom(x, y, src, 0, 0, src.width, src.height, mode, static_cast<uint32_t>(opacity)))
        return labFailure(cmd, "these pictures cannot be blended (formats not supported)");
    if (!savePicture(*args.value("out"), dst, error)) return labFailure(cmd, error);
    return kLabOk;
}

const labCommandRegistrar
    blendCommand("blend", runBlend,
                 "--mode 0..17 [--opacity 0..65535] --dst DST --src SRC --out OUT [--at X,Y] " LAB_THREADS_USAGE);

}  // namespace
