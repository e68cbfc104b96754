// chromaweave_lab render: makes the wallpaper of a recipe again, as the
// generation job makes it, optionally repeated to a larger size (every tile
// is seamless), and writes it to a file or prints its digest.
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>

#include "compose/composer_trace.h"
#include "compose/recipe.h"
#include "imaging/image.h"
#include "tools/lab/args.h"
#include "tools/lab/cmd_bmp.h"
#include "tools/lab/cmd_recipe.h"
#include "tools/lab/lab.h"

namespace {

// "WxH" within a recipe's own bounds: a repeated tile is a wallpaper too.
bool parseRepeat(const std::string &text, int32_t &w, int32_t &h) {
    const size_t x = text.find_first_of("xX");
    return x != std::string::npos && parseInt32(text.substr(0, x), 1, kRecipeMaxSide, w) &&
           parseInt32(text.substr(x + 1), 1, kRecipeMaxSide, h) &&
           static_cast<int64_t>(w) * h <= kRecipeMaxPixels;
}

int runRender(int argc, char **argv) {
    const char *cmd = "render";
    labArgs args;
    std::string error;
    if (!args.parse(argc, argv, {{"recipe-file", true}, {"out", true}, {"repeat", true}, {"digest", false}}, error))
        return labUsageError(cmd, error);
    if (!args.has("out") && !args.has("digest")) return labUsageError(cmd, "wants --out FILE or --digest");
    if (args.has("out") && !canSavePictureFile(*args.value("out"), error)) return labUsageError(cmd, error);
    int32_t w = 0, h = 0;
    if (args.has("repeat") && !parseRepeat(*args.value("repeat"), w, h))
        return labUsageError(cmd, "--repeat wants WxH with sides from 1 to " + std::to_string(kRecipeMaxSide) +
                                      " and at most " + std::to_string(kRecipeMaxPixels) + " pixels, not \"" +
                                      *args.value("repeat") + "\"");
    tlRecipe recipe;
    int status = kLabOk;
    if (!readRecipeArgument(cmd, args, recipe, status)) return status;

    tlImage *made = nullptr;
    const tlRecipeStatus result = renderRecipe(recipe, made);
    std::unique_ptr<tlImage> image(made);
    if (!result.ok()) {
        char message[256];
        describeRecipeStatus(result, message, sizeof message);
        return labFailure(cmd, message);
    }
    tlPicture repeated;
    const tlPicture *picture = &image->picture;
    if (args.has("repeat")) {
        if (!repeatPicture(image->picture, w, h, repeated)) return labFailure(cmd, "out of memory");
        picture = &repeated;
    }
    if (args.has("digest")) std::printf("{\"digest\":\"%016" PRIx64 "\"}\n", pictureDigest(*picture));
    if (args.has("out") && !savePictureFile(cmd, *args.value("out"), *picture, status)) return status;
    return kLabOk;
}

const labCommandRegistrar renderCommand("render", runRender,
                                        "RECIPE | --recipe-file FILE [--out FILE.bmp|FILE.pam] [--repeat WxH] "
                                        "[--digest]");

}  // namespace
