// Windows bitmap files: header fields, palettes, pixel rows and the
// run-length decoders.
#include "imagefiles/bmp.h"

#include <cstring>
#include <new>

namespace {

const uint16_t kSignature = 0x4D42;  // 'B', 'M'
const uint32_t kFileHeaderSize = 14;
const uint32_t kInfoHeaderSize = 40;  // Windows information header
const uint32_t kCoreHeaderSize = 12;  // OS/2 core header
const uint32_t kPaletteEntries = 256;
const uint32_t kCompressionNone = 0;
const uint32_t kCompressionRle8 = 1;
const uint32_t kCompressionRle4 = 2;
const uint32_t kCompressionBitFields = 3;

// Reads little-endian fields from a header held in memory. A read past the
// end gives 0 and clears ok, so a caller checks once after the last field.
class FieldReader {
public:
    FieldReader(const uint8_t *bytes, uint32_t size) : bytes_(bytes), size_(size) {}
    uint16_t u16() { return static_cast<uint16_t>(take(2)); }
    uint32_t u32() { return take(4); }
    int32_t i32() { return static_cast<int32_t>(take(4)); }
    bool ok = true;

private:
    uint32_t take(uint32_t n) {
        if (!ok || n > size_ - pos_) {
            ok = false;
            return 0;
        }
        uint32_t value = 0;
        for (uint32_t i = 0; i < n; ++i) value |= static_cast<uint32_t>(bytes_[pos_ + i]) << (8 * i);
        pos_ += n;
        return value;
    }
    const uint8_t *bytes_;
    uint32_t size_;
    uint32_t pos_ = 0;
};

// Writes little-endian fields into a header buffer of known size.
class FieldWriter {
public:
    explicit FieldWriter(uint8_t *bytes) : bytes_(bytes) {}
    void u16(uint32_t value) { put(value, 2); }
    void u32(uint32_t value) { put(value, 4); }
    void i32(int32_t value) { put(static_cast<uint32_t>(value), 4); }
    uint32_t size() const { return pos_; }

private:
    void put(uint32_t value, uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) bytes_[pos_++] = static_cast<uint8_t>(value >> (8 * i));
    }
    uint8_t *bytes_;
    uint32_t pos_ = 0;
};

struct FileHeader {
    uint16_t signature = 0;
    uint32_t fileSize = 0;
    uint32_t pixelOffset = 0;
};

// The fields of both information headers; the 12-byte header leaves the
// ones it lacks at their defaults.
struct InfoHeader {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = kCompressionNone;
    uint32_t imageSize = 0;
    int32_t xPixelsPerMetre = 0;
    int32_t yPixelsPerMetre = 0;
    uint32_t coloursUsed = 0;
    uint32_t coloursImportant = 0;
};

bool readExactly(tlStream &stream, void *buffer, uint32_t n) { return stream.read(buffer, n) == n; }

// Moves to an absolute position; tlStream seeks by signed 32-bit distances.
void seekTo(tlStream &stream, uint32_t position) {
    const uint32_t maxStep = 0x7FFFFFFF;
    uint32_t first = position < maxStep ? position : maxStep;
    stream.seek(static_cast<int32_t>(first), 0);
    if (position > first) stream.seek(static_cast<int32_t>(position - first), 1);
}

// Row size in the file: bits per pixel × width rounded up to 4 bytes.
uint64_t fileRowSize(uint32_t bitsPerPixel, int64_t width) {
    return (static_cast<uint64_t>(bitsPerPixel) * static_cast<uint64_t>(width) + 31) / 32 * 4;
}

// ------------------------------------------------------------------ loading

int32_t readFileHeader(tlStream &stream, FileHeader &file) {
    uint8_t bytes[kFileHeaderSize];
    if (!readExactly(stream, bytes, kFileHeaderSize)) return tlCodecReadError;
    FieldReader in(bytes, kFileHeaderSize);
    file.signature = in.u16();    // "BM"
    file.fileSize = in.u32();     // file size (not trusted: the stream knows)
    in.u16();                     // reserved
    in.u16();                     // reserved
    file.pixelOffset = in.u32();  // offset of the pixel data
    if (!in.ok) return tlCodecReadError;
    return file.signature == kSignature ? tlCodecOk : tlCodecBadSignature;
}

int32_t readInfoHeader(tlStream &stream, InfoHeader &info) {
    uint8_t bytes[kInfoHeaderSize];
    if (!readExactly(stream, bytes, 4)) return tlCodecReadError;
    info.headerSize = FieldReader(bytes, 4).u32();  // header size
    if (info.headerSize == kInfoHeaderSize) {
        if (!readExactly(stream, bytes + 4, kInfoHeaderSize - 4)) return tlCodecReadError;
        FieldReader in(bytes + 4, kInfoHeaderSize - 4);
        info.width = in.i32();             // width
        info.height = in.i32();            // height, negative when top-down
        info.planes = in.u16();            // planes
        info.bitsPerPixel = in.u16();      // bits per pixel
        info.compression = in.u32();       // compression
        info.imageSize = in.u32();         // image size
        info.xPixelsPerMetre = in.i32();   // horizontal resolution
        info.yPixelsPerMetre = in.i32();   // vertical resolution
        info.coloursUsed = in.u32();       // colours used
        info.coloursImportant = in.u32();  // important colours
        return in.ok ? tlCodecOk : tlCodecReadError;
    }
    if (info.headerSize == kCoreHeaderSize) {
        if (!readExactly(stream, bytes + 4, kCoreHeaderSize - 4)) return tlCodecReadError;
        FieldReader in(bytes + 4, kCoreHeaderSize - 4);
        info.width = in.u16();         // width, unsigned
        info.height = in.u16();        // height, unsigned: always bottom-up
        in.u16();                      // planes: taken as 1 whatever it holds
        info.bitsPerPixel = in.u16();  // bits per pixel
        return in.ok ? tlCodecOk : tlCodecReadError;
    }
    return tlCodecUnsupported;
}

// Header consistency (7) first, then what this reader supports (5).
int32_t checkInfoHeader(const InfoHeader &info) {
    const uint32_t bpp = info.bitsPerPixel;
    if (info.width <= 0 || info.height == 0 || info.planes != 1) return tlCodecBadHeader;
    if (info.compression == kCompressionRle4 && bpp != 4) return tlCodecBadHeader;
    if (info.compression == kCompressionRle8 && bpp != 8) return tlCodecBadHeader;
    if (info.compression == kCompressionBitFields && bpp != 16 && bpp != 32) return tlCodecBadHeader;
    if (bpp <= 8 && info.coloursUsed != 0 && info.coloursUsed > (1u << bpp)) return tlCodecBadHeader;
    bool knownDepth = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    if (!knownDepth || info.compression > kCompressionBitFields) return tlCodecUnsupported;
    return tlCodecOk;
}

// Number of palette entries the file stores for 1-, 4- and 8-bit pictures.
uint32_t paletteEntries(const InfoHeader &info, const FileHeader &file) {
    if (info.headerSize == kInfoHeaderSize && info.bitsPerPixel > 1 && info.coloursUsed != 0 &&
        static_cast<uint64_t>(info.coloursUsed) * 4 + 54 == file.pixelOffset)
        return info.coloursUsed;
    return 1u << info.bitsPerPixel;
}

// Where the pixel data starts. The header's pixel offset is trusted when it
// lies inside the file and not inside the headers; otherwise the pixels
// follow the palette (deep pictures skip a palette whose size the colours
// used and the pixel offset agree on).
struct Layout {
    uint32_t headersEnd = 0;
    uint32_t fileSize = 0;
    bool offsetValid = false;
    uint64_t pixelStart = 0;
};

Layout layoutOf(tlStream &stream, const FileHeader &file, const InfoHeader &info) {
    Layout layout;
    layout.headersEnd = kFileHeaderSize + info.headerSize;
    layout.fileSize = stream.size();
    layout.offsetValid = file.pixelOffset >= layout.headersEnd && file.pixelOffset < layout.fileSize;
    if (layout.offsetValid) {
        layout.pixelStart = file.pixelOffset;
    } else if (info.bitsPerPixel <= 8) {
        const uint32_t entrySize = info.headerSize == kInfoHeaderSize ? 4 : 3;
        layout.pixelStart = layout.headersEnd + static_cast<uint64_t>(paletteEntries(info, file)) * entrySize;
    } else if (info.coloursUsed != 0 && static_cast<uint64_t>(info.coloursUsed) * 4 + 54 == file.pixelOffset) {
        layout.pixelStart = file.pixelOffset;
    } else {
        layout.pixelStart = layout.headersEnd;
    }
    return layout;
}

// The largest picture store the reader creates. Above it a file fails with
// 8 on every platform alike, instead of depending on what the allocator
// grants; no picture this program saves comes near it.
const uint64_t kMaxPictureBytes = uint64_t(1) << 31;

// The picture's height, or false when the picture cannot be created.
bool pictureHeight(const InfoHeader &info, int32_t &height) {
    const int64_t rows = info.height < 0 ? -static_cast<int64_t>(info.height) : info.height;
    if (rows > INT32_MAX) return false;
    const int32_t stride = strideFor(info.bitsPerPixel <= 8 ? 8 : 32, info.width);
    if (stride <= 0 || static_cast<uint64_t>(stride) * static_cast<uint64_t>(rows) > kMaxPictureBytes) return false;
    height = static_cast<int32_t>(rows);
    return true;
}

// Reads the palette (4-byte B, G, R, 0 entries, or 3-byte entries after a
// 12-byte header). A trusted pixel offset inside the palette cuts it short:
// the entries it cuts off stay zero.
int32_t readPalette(tlStream &stream, const InfoHeader &info, const FileHeader &file, const Layout &layout,
                    tlPalette &palette) {
    const uint32_t entrySize = info.headerSize == kInfoHeaderSize ? 4 : 3;
    uint32_t entries = paletteEntries(info, file);  // at most 256 after checkInfoHeader
    const uint64_t paletteEnd = layout.headersEnd + static_cast<uint64_t>(entries) * entrySize;
    if (layout.offsetValid && layout.pixelStart < paletteEnd)
        entries = static_cast<uint32_t>(layout.pixelStart - layout.headersEnd) / entrySize;
    uint8_t bytes[kPaletteEntries * 4];
    if (!readExactly(stream, bytes, entries * entrySize)) return tlCodecReadError;
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t *entry = bytes + i * entrySize;
        palette.setEntry(static_cast<int32_t>(i), entry[2], entry[1], entry[0]);
    }
    return tlCodecOk;
}

// Run-length data, decoded bottom-up whatever the sign of the stored height.
// Pixels the data skips keep index 0. Decoding stops quietly, keeping what it
// has, at the end of the data, at an end-of-bitmap escape, or at a run or
// delta that would leave the picture.
void decodeRunLength(const uint8_t *data, size_t size, bool fourBit, tlPicture &picture) {
    picture.clear();
    const int64_t width = picture.width;
    const int64_t height = picture.height;
    int64_t x = 0, y = 0;
    size_t pos = 0;
    auto pixelRow = [&]() { return picture.row(static_cast<int32_t>(height - 1 - y)) + x; };
    while (size - pos >= 2) {
        const uint8_t count = data[pos];
        const uint8_t value = data[pos + 1];
        pos += 2;
        if (count > 0) {  // encoded run: one index, or two alternating nibbles
            if (y >= height || x + count > width) return;
            uint8_t *out = pixelRow();
            for (uint32_t i = 0; i < count; ++i)
                out[i] = fourBit ? static_cast<uint8_t>((i & 1) ? (value & 15) : (value >> 4)) : value;
            x += count;
        } else if (value == 0) {  // end of line
            if (++y >= height) return;
            x = 0;
        } else if (value == 1) {  // end of bitmap
            return;
        } else if (value == 2) {  // delta: move right and up
            if (size - pos < 2) return;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
            if (x > width || y > height) return;
        } else {  // absolute run of `value` indices, padded to 16 bits
            const size_t bytes = fourBit ? (value + 1u) / 2 : value;
            const size_t padded = fourBit ? ((value + 3u) / 4) * 2 : (value + 1u) & ~size_t(1);
            if (size - pos < bytes || y >= height || x + value > width) return;
            uint8_t *out = pixelRow();
            const uint8_t *in = data + pos;
            for (uint32_t i = 0; i < value; ++i)
                out[i] = fourBit ? static_cast<uint8_t>((i & 1) ? (in[i / 2] & 15) : (in[i / 2] >> 4)) : in[i];
            x += value;
            pos += padded < size - pos ? padded : size - pos;
        }
    }
}

int32_t loadRunLength(tlStream &stream, const InfoHeader &info, const Layout &layout, tlPicture &picture) {
    const uint32_t position = stream.tell();
    uint32_t size = layout.fileSize > position ? layout.fileSize - position : 0;
    if (size == 0) return tlCodecBadHeader;
    if (info.imageSize != 0 && info.imageSize < size) size = info.imageSize;
    uint8_t *data = new (std::nothrow) uint8_t[size];
    if (!data) return tlCodecOutOfMemory;
    if (!readExactly(stream, data, size)) {
        delete[] data;
        return tlCodecReadError;
    }
    decodeRunLength(data, size, info.compression == kCompressionRle4, picture);
    delete[] data;
    return tlCodecOk;
}

// Widens a 5-bit sample to 8 bits by repeating its top bits.
inline uint8_t widen5(uint32_t v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

// One file row into one picture row: indices for 1, 4 and 8 bits, R, G, B, A
// for the deeper formats. 16-bit pixels are 5-5-5 with the top bit unused.
void convertFileRow(const uint8_t *in, uint8_t *out, size_t width, uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        for (size_t x = 0; x < width; ++x) out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case 4:
        for (size_t x = 0; x < width; ++x) out[x] = (x & 1) ? (in[x >> 1] & 15) : (in[x >> 1] >> 4);
        break;
    case 8: std::memcpy(out, in, width); break;
    case 16:
        for (size_t x = 0; x < width; ++x, in += 2, out += 4) {
            uint32_t v = in[0] | (static_cast<uint32_t>(in[1]) << 8);
            out[0] = widen5((v >> 10) & 31);
            out[1] = widen5((v >> 5) & 31);
            out[2] = widen5(v & 31);
            out[3] = 255;
        }
        break;
    case 24:
        for (size_t x = 0; x < width; ++x, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = 255;
        }
        break;
    case 32:  // the fourth byte is taken as alpha
        for (size_t x = 0; x < width; ++x, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = in[3];
        }
        break;
    }
}

int32_t loadRows(tlStream &stream, const InfoHeader &info, tlPicture &picture, tlProgress *progress) {
    const uint64_t rowSize = fileRowSize(info.bitsPerPixel, picture.width);
    if (rowSize > 0xFFFFFFFFu) return tlCodecUnsupported;
    uint8_t *row = new (std::nothrow) uint8_t[rowSize];
    if (!row) return tlCodecOutOfMemory;
    const int32_t height = picture.height;
    if (progress) progress->begin(height - 1);
    for (int32_t y = 0; y < height; ++y) {
        if (!readExactly(stream, row, static_cast<uint32_t>(rowSize))) {
            delete[] row;
            return tlCodecReadError;
        }
        int32_t target = info.height > 0 ? height - 1 - y : y;
        convertFileRow(row, picture.row(target), static_cast<size_t>(picture.width), info.bitsPerPixel);
        if (progress && !progress->step()) {
            delete[] row;
            return tlCodecAborted;
        }
    }
    delete[] row;
    return tlCodecOk;
}

// Everything after the headers: palette, position, pixels.
int32_t loadPixels(tlStream &stream, const FileHeader &file, const InfoHeader &info, const Layout &layout,
                   tlPicture &picture, tlProgress *progress) {
    if (info.bitsPerPixel <= 8) {
        int32_t result = readPalette(stream, info, file, layout, *picture.palette);
        if (result != tlCodecOk) return result;
    }
    if (layout.pixelStart != stream.tell()) seekTo(stream, static_cast<uint32_t>(layout.pixelStart));
    if (info.compression == kCompressionRle8 || info.compression == kCompressionRle4)
        return loadRunLength(stream, info, layout, picture);
    return loadRows(stream, info, picture, progress);
}

// ------------------------------------------------------------------- saving

int32_t writeHeaders(tlStream &stream, const tlImage &image, int32_t width, int32_t height, uint32_t bitsPerPixel,
                     uint32_t pixelOffset, uint32_t fileSize) {
    uint8_t bytes[kInfoHeaderSize];
    FieldWriter file(bytes);
    file.u16(kSignature);   // "BM"
    file.u32(fileSize);     // file size
    file.u16(0);            // reserved
    file.u16(0);            // reserved
    file.u32(pixelOffset);  // offset of the pixel data
    if (stream.write(bytes, file.size()) != kFileHeaderSize) return tlCodecWriteError;

    int32_t xRes = 0, yRes = 0;
    if (image.resolutionUnit != tlImage::UnitNone) {
        xRes = image.resolutionX;
        yRes = image.resolutionY;
        if (!convertResolution(image.resolutionUnit, tlImage::UnitPerMetre, xRes, yRes)) xRes = yRes = 0;
    }
    FieldWriter info(bytes);
    info.u32(kInfoHeaderSize);   // header size
    info.i32(width);             // width
    info.i32(height);            // height, negative when top-down
    info.u16(1);                 // planes
    info.u16(bitsPerPixel);      // bits per pixel
    info.u32(kCompressionNone);  // compression
    info.u32(0);                 // image size
    info.i32(xRes);              // horizontal resolution, pixels per metre
    info.i32(yRes);              // vertical resolution, pixels per metre
    info.u32(0);                 // colours used
    info.u32(0);                 // important colours
    if (stream.write(bytes, info.size()) != kInfoHeaderSize) return tlCodecWriteError;
    return tlCodecOk;
}

// Gray pictures get a gray ramp; indexed pictures their own palette.
int32_t writePalette(tlStream &stream, const tlPicture &picture) {
    uint8_t bytes[kPaletteEntries * 4] = {};
    for (uint32_t i = 0; i < kPaletteEntries; ++i) {
        uint8_t *entry = bytes + i * 4;
        if (picture.model == tlColourModel::Gray) {
            entry[0] = entry[1] = entry[2] = static_cast<uint8_t>(i);
        } else if (picture.palette && static_cast<int32_t>(i) < picture.palette->count) {
            const uint8_t *rgb = picture.palette->entries + i * 4;
            entry[0] = rgb[2];
            entry[1] = rgb[1];
            entry[2] = rgb[0];
        }
    }
    return stream.write(bytes, sizeof bytes) == sizeof bytes ? tlCodecOk : tlCodecWriteError;
}

// One picture row into one file row: B, G, R for RGB pictures (the high
// byte of 16-bit samples), the first channel for gray and indexed ones;
// alpha is dropped.
void packRow(const tlPicture &picture, const uint8_t *in, uint8_t *out) {
    const size_t width = static_cast<size_t>(picture.width);
    const size_t step = static_cast<size_t>(picture.bytesPerPixel());
    const size_t high = picture.bits == 16 ? 1 : 0;  // 16-bit samples: little-endian high byte
    const size_t sample = picture.bits / 8;
    for (size_t x = 0; x < width; ++x, in += step) {
        if (picture.model == tlColourModel::RGB) {
            *out++ = in[2 * sample + high];
            *out++ = in[1 * sample + high];
            *out++ = in[high];
        } else {
            *out++ = in[high];
        }
    }
}

}  // namespace

bool tlBMPCodec::recognise(const uint8_t *bytes, uint32_t count) const {
    return bytes && count > 1 && bytes[0] == 'B' && bytes[1] == 'M';
}

int32_t tlBMPCodec::load(tlStream &stream, tlImage &image, tlProgress *progress) {
    FileHeader file;
    InfoHeader info;
    int32_t result = readFileHeader(stream, file);
    if (result == tlCodecOk) result = readInfoHeader(stream, info);
    if (result == tlCodecOk) result = checkInfoHeader(info);
    if (result != tlCodecOk) return result;

    // Everything that can be refused is refused before the picture exists.
    int32_t height = 0;
    if (!pictureHeight(info, height)) return tlCodecCreateFailed;
    if (info.bitsPerPixel > 8 && info.compression == kCompressionBitFields) return tlCodecUnsupported;
    const Layout layout = layoutOf(stream, file, info);
    if (info.compression == kCompressionNone &&
        layout.pixelStart + fileRowSize(info.bitsPerPixel, info.width) * static_cast<uint64_t>(height) >
            layout.fileSize)
        return tlCodecReadError;  // the rows cannot all be there

    // The pixels are decoded into a picture of our own so that a failure
    // leaves the image as it was.
    tlPicture pixels;
    const bool indexed = info.bitsPerPixel <= 8;
    const tlPixelFormat format = indexed ? tlPixelFormat::indexed(1) : tlPixelFormat::rgb(8, 4);
    if (!pixels.create(info.width, height, format)) return tlCodecCreateFailed;
    result = loadPixels(stream, file, info, layout, pixels, progress);
    if (result != tlCodecOk) return result;

    image.takePicture(pixels);
    if (info.xPixelsPerMetre != 0 && info.yPixelsPerMetre != 0)
        image.setResolution(tlImage::UnitPerMetre, info.xPixelsPerMetre, info.yPixelsPerMetre);
    return tlCodecOk;
}

int32_t tlBMPCodec::save(tlStream &stream, const tlImage &image, tlProgress *progress) {
    const tlPicture &picture = image.picture;
    if (picture.isEmpty()) return tlCodecUnsupported;
    const uint32_t bitsPerPixel = picture.model == tlColourModel::RGB ? 24 : 8;
    const uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + (bitsPerPixel == 8 ? kPaletteEntries * 4 : 0);
    const uint64_t rowSize = fileRowSize(bitsPerPixel, picture.width);
    const uint64_t fileSize = pixelOffset + rowSize * static_cast<uint64_t>(picture.height);
    if (fileSize > 0xFFFFFFFFu) return tlCodecUnsupported;  // the size field has 32 bits

    const int32_t height = picture.height;
    int32_t result = writeHeaders(stream, image, picture.width, topDown ? -height : height, bitsPerPixel, pixelOffset,
                                  static_cast<uint32_t>(fileSize));
    if (result == tlCodecOk && bitsPerPixel == 8) result = writePalette(stream, picture);
    if (result != tlCodecOk) return result;

    uint8_t *row = new (std::nothrow) uint8_t[rowSize]();  // padding stays zero
    if (!row) return tlCodecOutOfMemory;
    if (progress) progress->begin(height - 1);
    for (int32_t i = 0; i < height && result == tlCodecOk; ++i) {
        packRow(picture, picture.row(topDown ? i : height - 1 - i), row);
        if (stream.write(row, static_cast<uint32_t>(rowSize)) != rowSize)
            result = tlCodecWriteError;
        else if (progress && !progress->step())
            result = tlCodecAborted;
    }
    delete[] row;
    return result;
}
