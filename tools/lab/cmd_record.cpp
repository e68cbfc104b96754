// chromaweave_lab record: builds an effect's parameter record from field=value
// assignments and saves it, or loads a saved record, and prints the fields as JSON.
#include <cstdio>
#include <memory>
#include <string>

#include "effects/catalogue.h"
#include "effects/core/effect.h"
#include "imagefiles/stream.h"
#include "tools/lab/args.h"
#include "tools/lab/lab.h"

namespace {

void printClasses() {
    int32_t count = 0;
    const tlEffectInfo *classes = effectCatalogue(count);
    for (int32_t i = 0; i < count; ++i)
        std::printf("{\"class\":\"%s\",\"typeId\":%d,\"payloadLength\":%u}\n", classes[i].name,
                    static_cast<int>(classes[i].typeId), static_cast<unsigned>(classes[i].payloadLength));
}

// One JSON object: class, identifier and every field (stored or not).
bool printEffect(const tlEffectInfo &info, const tlEffect &effect) {
    std::string json = "{\"class\":\"" + std::string(info.name) + "\",\"typeId\":" + std::to_string(info.typeId) +
                       ",\"fields\":{";
    for (int32_t i = 0; i < info.fieldCount; ++i) {
        char text[160];
        if (!formatField(effect, info.fields[i], text, sizeof text)) return false;
        json += (i ? ",\"" : "\"") + std::string(info.fields[i].name) + "\":" + text;
    }
    std::printf("%s}}\n", json.c_str());
    return true;
}

int runRecord(int argc, char **argv) {
    const char *cmd = "record";
    labArgs args;
    std::string error;
    if (!args.parse(argc, argv, {{"save", true}, {"load", true}, {"list", false}}, error))
        return labUsageError(cmd, error);
    if (args.has("list")) {
        printClasses();
        return kLabOk;
    }
    if (args.positional.empty()) return labUsageError(cmd, "wants an effect name, such as GlassTile");
    const tlEffectInfo *info = findEffectInfo(args.positional[0].c_str());
    if (!info) return labUsageError(cmd, "unknown effect \"" + args.positional[0] + "\" (see --list)");
    std::unique_ptr<tlEffect> effect(info->create());
    if (!effect) return labFailure(cmd, "out of memory");

    if (const std::string *path = args.value("load")) {
        tlFileStream in;
        if (!in.open(path->c_str(), tlFileStream::Read | tlFileStream::OpenExisting))
            return labUsageError(cmd, "cannot open " + *path);
        if (!effect->load(in)) return labFailure(cmd, "the record in " + *path + " does not load");
    }
    // Assignments apply after a load, so a saved record can be edited.
    for (size_t i = 1; i < args.positional.size(); ++i) {
        const std::string &assignment = args.positional[i];
        size_t eq = assignment.find('=');
        if (eq == std::string::npos) return labUsageError(cmd, "expected field=value, got \"" + assignment + "\"");
        std::string field = assignment.substr(0, eq);
        if (!findField(*info, field.c_str())) return labUsageError(cmd, "unknown field \"" + field + "\"");
        if (!setFieldFromText(*effect, field.c_str(), assignment.c_str() + eq + 1))
            return labUsageError(cmd, "bad value for " + field + ": \"" + assignment.substr(eq + 1) +
                                          "\" (ints, bools 0 or 1, rgb(r,g,b), rgba(r,g,b,a), rgba16(r,g,b,a))");
    }
    if (const std::string *path = args.value("save")) {
        tlFileStream out;
        if (!out.open(path->c_str(), tlFileStream::Write)) return labFailure(cmd, "cannot create " + *path);
        if (!effect->save(out)) return labFailure(cmd, "writing " + *path + " failed");
    }
    if (!printEffect(*info, *effect)) return labFailure(cmd, "a field does not print");
    return kLabOk;
}

const labCommandRegistrar recordCommand("record", runRecord,
                                        "NAME [field=value ...] [--load FILE] [--save FILE] | --list");

}  // namespace
