// chromaweave_lab recipe: prints what a recipe makes, as JSON lines of the
// shape compose --stack writes (the wallpaper, then each effect with every
// field); and the reading of recipes that render shares.
#include "tools/lab/cmd_recipe.h"

#include <cstdio>
#include <memory>

#include "compose/composer_trace.h"
#include "effects/core/effect.h"
#include "tools/lab/args.h"
#include "tools/lab/lab.h"
#include "tools/lab/picture_io.h"

namespace {

// Far above the longest recipe text, far below anything worth reading.
constexpr size_t kMaxRecipeFile = 65536;

int inputError(const char *command, const std::string &message) {
    std::fprintf(stderr, "chromaweave_lab %s: %s\n", command, message.c_str());
    return kLabUsage;
}

int runRecipe(int argc, char **argv) {
    const char *cmd = "recipe";
    labArgs args;
    std::string error;
    if (!args.parse(argc, argv, {{"recipe-file", true}}, error)) return labUsageError(cmd, error);
    tlRecipe recipe;
    int status = kLabOk;
    if (!readRecipeArgument(cmd, args, recipe, status)) return status;
    std::string lines;
    tlComposeTrace trace(lines);
    trace.wallpaper(1, recipe.width, recipe.height);
    for (int32_t i = 0; i < recipe.effectCount; ++i) {
        std::unique_ptr<tlEffect> effect(createRecipeEffect(recipe.effects[i]));
        if (!effect) return labFailure(cmd, "out of memory");
        trace.effectAdded(*effect);
    }
    std::fwrite(lines.data(), 1, lines.size(), stdout);
    return kLabOk;
}

const labCommandRegistrar recipeCommand("recipe", runRecipe, "RECIPE | --recipe-file FILE");

}  // namespace

bool readRecipeArgument(const char *command, const labArgs &args, tlRecipe &out, int &status) {
    const std::string *file = args.value("recipe-file");
    if (args.positional.size() != (file ? 0u : 1u)) {
        status = labUsageError(command, file ? "takes the recipe from --recipe-file or as an argument, not both"
                                             : "wants one recipe text (cw1-...) or --recipe-file FILE");
        return false;
    }
    std::string text;
    if (file) {
        labBytes bytes;
        std::string error;
        if (!readWholeFile(*file, bytes, error)) {
            status = inputError(command, error);
            return false;
        }
        if (bytes.size > kMaxRecipeFile) {
            status = inputError(command, "\"" + *file + "\" is too long to hold a recipe");
            return false;
        }
        text.assign(reinterpret_cast<const char *>(bytes.data), bytes.size);
        if (text.find('\0') != std::string::npos) text.clear();  // no text file
    } else {
        text = args.positional[0];
    }
    const tlRecipeStatus result = decodeRecipeText(text.c_str(), out);
    if (result.ok()) return true;
    char message[256];
    describeRecipeStatus(result, message, sizeof message);
    status = inputError(command, message);
    return false;
}

std::string jsonString(const std::string &text) {
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}
