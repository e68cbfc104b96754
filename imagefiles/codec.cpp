// tlCodec base behaviour, saveImage and the texts of the result codes.
#include "imagefiles/codec.h"

const char *codecResultText(int32_t code) {
    switch (code) {
    case tlCodecOk: return "success";
    case tlCodecOutOfMemory: return "out of memory while reading data";
    case tlCodecOpenFailed: return "the file could not be opened";
    case tlCodecReadError: return "read error or file too short";
    case tlCodecWriteError: return "write error";
    case tlCodecUnsupported: return "unsupported format or operation";
    case tlCodecBadSignature: return "not a file of this format";
    case tlCodecBadHeader: return "invalid or inconsistent header";
    case tlCodecCreateFailed: return "the image could not be created";
    case tlCodecAborted: return "aborted";
    default: return "unknown result";
    }
}

tlCodec::~tlCodec() = default;

int32_t tlCodec::load(tlStream &, tlImage &, tlProgress *) { return tlCodecUnsupported; }

int32_t tlCodec::save(tlStream &, const tlImage &, tlProgress *) { return tlCodecUnsupported; }

bool tlCodec::recognise(const uint8_t *, uint32_t) const { return false; }

int32_t tlCodec::query() const { return 0; }

int32_t saveImage(tlCodec &codec, const char *path, const tlImage &image, tlProgress *progress) {
    tlFileStream stream;
    if (!stream.open(path, tlFileStream::Write)) return tlCodecOpenFailed;
    int32_t result = codec.save(stream, image, progress);
    stream.close();
    return result;
}
