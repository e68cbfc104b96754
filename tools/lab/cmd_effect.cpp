// chromaweave_lab effect: runs one effect, with its defaults and the given
// field values, on a picture the way the generation job applies effects: on
// a picture layer in the input's format, through addEffect with apply now.
#include <memory>
#include <string>

#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "effects/core/picture_layer.h"
#include "tools/lab/args.h"
#include "tools/lab/cmd_bmp.h"
#include "tools/lab/lab.h"
#include "tools/lab/threads.h"

namespace {

// Sets one NAME=VALUE assignment: the base's opacity and blendMode or a
// field of the class.
bool assign(const tlEffectInfo &info, tlEffect &effect, const std::string &assignment, std::string &error) {
    const size_t eq = assignment.find('=');
    if (eq == std::string::npos || eq == 0) {
        error = "\"" + assignment + "\" is not of the form field=value";
        return false;
    }
    const std::string name = assignment.substr(0, eq);
    const std::string text = assignment.substr(eq + 1);
    int32_t value = 0;
    if (name == "opacity" || name == "blendMode") {
        const bool isOpacity = name == "opacity";
        if (!parseInt32(text, 0, isOpacity ? 65535 : 17, value)) {
            error = name + " wants a number from 0 to " + (isOpacity ? "65535" : "17") + ", not \"" + text + "\"";
            return false;
        }
        if (isOpacity)
            effect.opacity = static_cast<uint32_t>(value);
        else
            effect.blendMode = value;
        return true;
    }
    if (!findField(info, name.c_str())) {
        error = std::string(info.name) + " has no field \"" + name + "\"";
        return false;
    }
    if (!setFieldFromText(effect, name.c_str(), text.c_str())) {
        error = "bad value \"" + text + "\" for " + name;
        return false;
    }
    return true;
}

int runEffect(int argc, char **argv) {
    const char *cmd = "effect";
    labArgs args;
    std::string error;
    if (!args.parse(argc, argv, {{"in", true}, {"out", true}, kThreadsOption}, error)) return labUsageError(cmd, error);
    if (args.positional.empty()) return labUsageError(cmd, "wants an effect name, such as GlassTile");
    if (!args.require("in", error) || !args.require("out", error)) return labUsageError(cmd, error);
    const tlEffectInfo *info = findEffectInfo(args.positional[0].c_str());
    if (!info) return labUsageError(cmd, "unknown effect \"" + args.positional[0] + "\" (see record --list)");
    std::unique_ptr<tlEffect> effect(info->create());
    if (!effect) return labFailure(cmd, "out of memory");
    for (size_t i = 1; i < args.positional.size(); ++i)
        if (!assign(*info, *effect, args.positional[i], error)) return labUsageError(cmd, error);
    if (!canSavePictureFile(*args.value("out"), error)) return labUsageError(cmd, error);
    labThreads threads;
    if (!threads.start(args, error)) return labUsageError(cmd, error);

    tlPictureLayer layer;
    int status = kLabOk;
    {
        tlPicture input;
        if (!loadPictureFile(cmd, *args.value("in"), input, status)) return status;
        layer.moveFrom(input);
        layer.layerWidth = layer.width;
        layer.layerHeight = layer.height;
    }
    // The layer owns the effect once it is added.
    if (!layer.addEffect(effect.get(), true))
        return labFailure(cmd, std::string(info->name) + " could not be applied to this picture (unsupported "
                                                         "format, or out of memory)");
    effect.release();
    if (!savePictureFile(cmd, *args.value("out"), layer, status)) return status;
    return kLabOk;
}

const labCommandRegistrar
    effectCommand("effect", runEffect,
                  "NAME [field=value ...] [opacity=N] [blendMode=N] --in IN.pam --out OUT.pam " LAB_THREADS_USAGE);

}  // namespace
