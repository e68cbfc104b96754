// Helpers for the BMP tests: building files byte by byte, loading and saving
// them in memory, loading files in place.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imagefiles/bmp.h"
#include "imagefiles/stream.h"
#include "imaging/image.h"
#include "tests/support/streams.h"

namespace bmptest {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes &b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(Bytes &b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline uint32_t get32(const Bytes &b, size_t at) {
    return b[at] | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) | (uint32_t(b[at + 3]) << 24);
}
inline uint16_t get16(const Bytes &b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

// The fields of a file to build; pixelOffset 0 means "right after the palette".
struct FileSpec {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 24;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xRes = 0;
    int32_t yRes = 0;
    uint32_t coloursUsed = 0;
    uint32_t pixelOffset = 0;
    Bytes palette;  // raw palette bytes as stored
    Bytes pixels;   // raw pixel data as stored
};

inline Bytes buildFile(const FileSpec &s) {
    Bytes b;
    const uint32_t headersEnd = 14 + s.headerSize;
    const uint32_t offset = s.pixelOffset ? s.pixelOffset : headersEnd + static_cast<uint32_t>(s.palette.size());
    put16(b, 0x4D42);
    put32(b, offset + static_cast<uint32_t>(s.pixels.size()));
    put32(b, 0);
    put32(b, offset);
    put32(b, s.headerSize);
    if (s.headerSize == 12) {
        put16(b, static_cast<uint32_t>(s.width));
        put16(b, static_cast<uint32_t>(s.height));
        put16(b, s.planes);
        put16(b, s.bitsPerPixel);
    } else {
        put32(b, static_cast<uint32_t>(s.width));
        put32(b, static_cast<uint32_t>(s.height));
        put16(b, s.planes);
        put16(b, s.bitsPerPixel);
        put32(b, s.compression);
        put32(b, s.imageSize);
        put32(b, static_cast<uint32_t>(s.xRes));
        put32(b, static_cast<uint32_t>(s.yRes));
        put32(b, s.coloursUsed);
        put32(b, 0);
        while (b.size() < headersEnd) b.push_back(0);  // larger headers: zero fields
    }
    b.insert(b.end(), s.palette.begin(), s.palette.end());
    while (b.size() < offset) b.push_back(0xEE);  // a gap before the pixels
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

// A file path in the temporary folder, unique per name within this process.
inline std::string tempPath(const std::string &name) {
    return (std::filesystem::temp_directory_path() / ("cw_bmp_" + name + ".bmp")).string();
}

// Loads a file in place with the BMP codec; 2 when it cannot be opened.
inline int32_t loadPath(const std::string &path, tlImage &image, tlProgress *progress = nullptr) {
    tlFileStream stream;
    if (!stream.open(path.c_str(), tlFileStream::Read | tlFileStream::OpenExisting)) return 2;
    tlBMPCodec codec;
    return codec.load(stream, image, progress);
}

// Loads the bytes of a file with the BMP codec, from memory.
inline int32_t loadBytes(const Bytes &bytes, tlImage &image, tlProgress *progress = nullptr) {
    tlMemoryStream stream;
    fillStream(stream, bytes);
    tlBMPCodec codec;
    return codec.load(stream, image, progress);
}

// Saves with the BMP codec into memory and answers the bytes of the file.
inline int32_t saveBytes(const tlImage &image, Bytes &bytes, bool topDown = false) {
    tlMemoryStream stream;
    tlBMPCodec codec;
    codec.topDown = topDown;
    int32_t result = codec.save(stream, image, nullptr);
    bytes = streamBytes(stream);
    return result;
}

// The picture as R, G, B, A bytes, top row first; indexed pictures through
// their palette with alpha 255.
inline Bytes rgbaOf(const tlPicture &p) {
    Bytes out;
    out.reserve(static_cast<size_t>(p.width) * p.height * 4);
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            const uint8_t *px = p.pixelAddress(x, y);
            if (p.model == tlColourModel::Indexed) {
                const uint8_t *e = p.palette->entries + px[0] * 4;
                out.insert(out.end(), {e[0], e[1], e[2], 255});
            } else {
                out.insert(out.end(), {px[0], px[1], px[2], px[3]});
            }
        }
    }
    return out;
}

// Shared corpus folder, or empty when it is absent.
inline std::string corpusDir() {
    std::string dir = std::string(CW_SHARED_DIR) + "/bmpsuite";
    std::error_code ec;
    return std::filesystem::exists(dir + "/README.md", ec) ? dir : std::string();
}

// One row of the corpus table: file (relative), the codes it may load with
// and the pixels column.
struct CorpusEntry {
    std::string file;
    std::vector<int32_t> codes;
    std::string pixels;
};

inline std::string trim(const std::string &s) {
    size_t a = s.find_first_not_of(' ');
    size_t b = s.find_last_not_of(' ');
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// Reads the table rows "| g/x.bmp | header | bpp | compression | height | code | reason | pixels |".
inline std::vector<CorpusEntry> readCorpusTable(const std::string &dir) {
    std::vector<CorpusEntry> entries;
    std::ifstream in(dir + "/README.md");
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 4 || line[0] != '|' || line[3] != '/') continue;
        std::vector<std::string> cells;
        size_t start = 1;
        for (size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1)
            cells.push_back(trim(line.substr(start, bar - start)));
        if (cells.size() < 8) continue;
        CorpusEntry e;
        e.file = cells[0];
        const std::string &code = cells[5];
        for (size_t i = 0; i < code.size(); ++i)
            if (code[i] >= '0' && code[i] <= '9') e.codes.push_back(code[i] - '0');
        e.pixels = cells[7];
        entries.push_back(e);
    }
    return entries;
}

}  // namespace bmptest
