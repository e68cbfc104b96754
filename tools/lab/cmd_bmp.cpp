// BMP files in the lab through tlBMPCodec: loading with the codec's result
// code as exit status (10 + code), and saving.
#include "tools/lab/cmd_bmp.h"

#include <cstdio>

#include "imagefiles/bmp.h"
#include "imagefiles/codec.h"
#include "imagefiles/stream.h"
#include "imaging/image.h"
#include "imaging/picture.h"
#include "tools/lab/lab.h"
#include "tools/lab/picture_io.h"

namespace {

// Exit status of a failed BMP load: 10 + the result code.
const int kBmpLoadStatusBase = 10;

std::string describeResult(const std::string &path, int32_t code) {
    return "\"" + path + "\": BMP result " + std::to_string(code) + ": " + codecResultText(code);
}

}  // namespace

bool isBmpPath(const std::string &path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char &c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".bmp";
}

bool loadPictureFile(const char *command, const std::string &path, tlPicture &out, int &status) {
    if (!isBmpPath(path)) {
        std::string error;
        if (loadPicture(path, out, error)) return true;
        status = labUsageError(command, error);
        return false;
    }
    tlFileStream stream;
    tlImage image;
    tlBMPCodec codec;
    int32_t code = tlCodecOpenFailed;
    if (stream.open(path.c_str(), tlFileStream::Read | tlFileStream::OpenExisting))
        code = codec.load(stream, image, nullptr);
    if (code != tlCodecOk) {
        std::fprintf(stderr, "chromaweave_lab %s: %s\n", command, describeResult(path, code).c_str());
        status = kBmpLoadStatusBase + code;
        return false;
    }
    out.moveFrom(image.picture);
    return true;
}

bool savePictureFile(const char *command, const std::string &path, const tlPicture &picture, int &status) {
    if (!isBmpPath(path)) {
        std::string error;
        if (savePicture(path, picture, error)) return true;
        status = labFailure(command, error);
        return false;
    }
    tlPicture copy(picture);
    if (copy.isEmpty()) {
        status = labFailure(command, "out of memory");
        return false;
    }
    tlImage image;
    image.takePicture(copy);
    tlBMPCodec codec;
    int32_t code = saveImage(codec, path.c_str(), image, nullptr);
    if (code == tlCodecOk) return true;
    status = labFailure(command, describeResult(path, code));
    return false;
}

bool canSavePictureFile(const std::string &path, std::string &error) {
    return isBmpPath(path) || canSavePicture(path, error);
}
