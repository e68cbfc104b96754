// tlCodec: the interface of an image file format, its result codes, and
// saveImage, which writes an image to a path with a codec.
#pragma once

#include <cstdint>

#include "imagefiles/stream.h"
#include "imaging/image.h"
#include "imaging/progress.h"

// Result codes shared by every codec and by saveImage:
//   0  success
//   1  out of memory while reading data
//   2  the file could not be opened
//   3  read error or file too short
//   4  write error
//   5  unsupported format or operation
//   6  not a file of this format (signature mismatch)
//   7  invalid or inconsistent header
//   8  the image could not be created (picture allocation failed)
//   9  aborted by the progress observer
enum tlCodecResult : int32_t {
    tlCodecOk = 0,
    tlCodecOutOfMemory = 1,
    tlCodecOpenFailed = 2,
    tlCodecReadError = 3,
    tlCodecWriteError = 4,
    tlCodecUnsupported = 5,
    tlCodecBadSignature = 6,
    tlCodecBadHeader = 7,
    tlCodecCreateFailed = 8,
    tlCodecAborted = 9,
};

// A short English text for a result code (for tools and logs of tools; the
// program itself shows its own messages).
const char *codecResultText(int32_t code);

class tlCodec {
public:
    tlCodec() = default;
    tlCodec(const tlCodec &) = delete;
    tlCodec &operator=(const tlCodec &) = delete;

    // Virtual operations in slot order.
    virtual ~tlCodec();
    virtual const char *shortName() const = 0;
    virtual const char *description() const = 0;
    virtual const char *extension() const = 0;  // without the dot
    virtual uint32_t capabilities() const = 0;
    virtual int32_t load(tlStream &stream, tlImage &image, tlProgress *progress);
    virtual int32_t save(tlStream &stream, const tlImage &image, tlProgress *progress);
    virtual bool recognise(const uint8_t *bytes, uint32_t count) const;
    // Reserved query; nothing reads it.
    virtual int32_t query() const;
};

// Opens path for writing (replacing an existing file) and saves the image
// with the codec: 2 when the file cannot be opened, else the codec's result.
int32_t saveImage(tlCodec &codec, const char *path, const tlImage &image, tlProgress *progress);
