// chromaweave_lab convert: reads a picture, converts its pixel format and
// writes it; the file types come from the extensions.
#include "imaging/picture.h"
#include "tools/lab/args.h"
#include "tools/lab/cmd_bmp.h"
#include "tools/lab/lab.h"
#include "tools/lab/picture_io.h"

namespace {

// --format names: model and channel count.
struct FormatName {
    const char *name;
    tlColourModel model;
    int32_t channels;
};
const FormatName kFormatNames[] = {{"rgb", tlColourModel::RGB, 3},
                                   {"rgba", tlColourModel::RGB, 4},
                                   {"gray", tlColourModel::Gray, 1},
                                   {"graya", tlColourModel::Gray, 2}};

int runConvert(int argc, char **argv) {
    const char *cmd = "convert";
    labArgs args;
    std::string error;
    if (!args.parse(argc, argv, {{"format", true}, {"bits", true}}, error)) return labUsageError(cmd, error);
    if (args.positional.size() != 2) return labUsageError(cmd, "wants an input and an output file");

    std::vector<std::string> names;
    for (const FormatName &f : kFormatNames) names.push_back(f.name);
    int32_t format = -1, bits = 0;
    if (!args.getChoice("format", names, format, error)) return labUsageError(cmd, error);
    if (!args.getInt("bits", 8, 16, bits, error) || (args.has("bits") && bits != 8 && bits != 16))
        return labUsageError(cmd, error.empty() ? "--bits wants 8 or 16" : error);

    if (!canSavePictureFile(args.positional[1], error)) return labUsageError(cmd, error);

    tlPicture picture;
    int status = kLabOk;
    if (!loadPictureFile(cmd, args.positional[0], picture, status)) return status;
    // Unnamed parts of the format keep the input's.
    tlPixelFormat target = picture.format();
    if (format >= 0) {
        target.model = kFormatNames[format].model;
        target.channels = kFormatNames[format].channels;
    }
    if (bits != 0) target.bits = bits;
    if (!picture.convert(target)) return labFailure(cmd, "the picture cannot take that format");
    if (!savePictureFile(cmd, args.positional[1], picture, status)) return status;
    return kLabOk;
}

const labCommandRegistrar convertCommand("convert", runConvert, "IN OUT [--format rgb|rgba|gray|graya] [--bits 8|16]");

}  // namespace
