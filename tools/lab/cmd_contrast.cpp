// chromaweave_lab contrast: prints the composer's local contrast measure of a
// picture (the value that decides whether edges or neon may be added).
#include <cstdio>

#include "compose/composer.h"
#include "imaging/picture.h"
#include "tools/lab/args.h"
#include "tools/lab/cmd_bmp.h"
#include "tools/lab/lab.h"
#include "tools/lab/threads.h"

namespace {

int runContrast(int argc, char **argv) {
    const char *cmd = "contrast";
    labArgs args;
    std::string error;
    if (!args.parse(argc, argv, {kThreadsOption}, error)) return labUsageError(cmd, error);
    if (args.positional.size() != 1) return labUsageError(cmd, "wants one picture file");
    labThreads threads;
    if (!threads.start(args, error)) return labUsageError(cmd, error);
    tlPicture picture;
    int status = kLabOk;
    if (!loadPictureFile(cmd, args.positional[0], picture, status)) return status;
    std::printf("%d\n", static_cast<int>(WallpaperComposer::localContrast(picture)));
    return kLabOk;
}

const labCommandRegistrar contrastCommand("contrast", runContrast, "IN.pam " LAB_THREADS_USAGE);

}  // namespace
