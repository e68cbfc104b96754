// PAM (netpbm P7) reader and writer for the lab.
#include "tools/lab/pam.h"

#include "imaging/picture.h"

#include <cstdio>
#include <cstring>

namespace {

const char *const kTupleTypes[5] = {nullptr, "GRAYSCALE", "GRAYSCALE_ALPHA", "RGB", "RGB_ALPHA"};

struct PamHeader {
    int64_t width = -1, height = -1, depth = -1, maxval = -1;
    std::string tupleType;
    size_t dataOffset = 0;
};

// Reads the header line by line from a bounded window of the file.
class HeaderReader {
public:
    HeaderReader(const uint8_t *data, size_t size) : data(data), end(size < kPamMaxHeader ? size : kPamMaxHeader) {}

    // The next line without its newline; false when no newline is left.
    bool line(std::string &out) {
        size_t start = pos;
        while (pos < end && data[pos] != '\n') ++pos;
        if (pos >= end) return false;
        out.assign(reinterpret_cast<const char *>(data + start), pos - start);
        if (!out.empty() && out.back() == '\r') out.pop_back();
        ++pos;
        return true;
    }
    size_t offset() const { return pos; }

private:
    const uint8_t *data;
    size_t end;
    size_t pos = 0;
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string trim(const std::string &s) {
    size_t a = 0, b = s.size();
    while (a < b && isSpace(s[a])) ++a;
    while (b > a && isSpace(s[b - 1])) --b;
    return s.substr(a, b - a);
}

// Unsigned decimal of at most 9 digits (every accepted value is far below).
bool parseCount(const std::string &text, int64_t &out) {
    if (text.empty() || text.size() > 9) return false;
    int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

bool setNumber(const std::string &key, const std::string &value, int64_t &field, std::string &error) {
    if (field >= 0) {
        error = key + " given twice";
        return false;
    }
    if (!parseCount(value, field)) {
        error = "bad " + key + " \"" + value + "\"";
        return false;
    }
    return true;
}

bool headerLine(const std::string &raw, PamHeader &h, std::string &error) {
    std::string text = trim(raw);
    if (text.empty() || text[0] == '#') return true;
    size_t gap = 0;
    while (gap < text.size() && !isSpace(text[gap])) ++gap;
    std::string key = text.substr(0, gap), value = trim(text.substr(gap));
    if (key == "WIDTH") return setNumber(key, value, h.width, error);
    if (key == "HEIGHT") return setNumber(key, value, h.height, error);
    if (key == "DEPTH") return setNumber(key, value, h.depth, error);
    if (key == "MAXVAL") return setNumber(key, value, h.maxval, error);
    if (key == "TUPLTYPE") {
        if (!h.tupleType.empty()) {
            error = "TUPLTYPE given twice";
            return false;
        }
        h.tupleType = value;
        return true;
    }
    error = "unknown header line \"" + text.substr(0, 40) + "\"";
    return false;
}

bool checkHeader(const PamHeader &h, std::string &error) {
    if (h.width < 0 || h.height < 0 || h.depth < 0 || h.maxval < 0) {
        error = "header lacks WIDTH, HEIGHT, DEPTH or MAXVAL";
        return false;
    }
    if (h.width < 1 || h.height < 1 || h.width > kPamMaxSide || h.height > kPamMaxSide) {
        error = "size " + std::to_string(h.width) + " x " + std::to_string(h.height) + " out of range";
        return false;
    }
    if (h.depth < 1 || h.depth > 4) {
        error = "DEPTH " + std::to_string(h.depth) + " not supported";
        return false;
    }
    if (h.maxval != 255 && h.maxval != 65535) {
        error = "MAXVAL " + std::to_string(h.maxval) + " not supported (255 or 65535)";
        return false;
    }
    if (!h.tupleType.empty() && h.tupleType != kTupleTypes[h.depth]) {
        error = "TUPLTYPE \"" + h.tupleType + "\" does not fit DEPTH " + std::to_string(h.depth);
        return false;
    }
    return true;
}

bool readHeader(const uint8_t *data, size_t size, PamHeader &h, std::string &error) {
    HeaderReader reader(data, size);
    std::string text;
    if (!reader.line(text) || trim(text) != "P7") {
        error = "not a PAM file (no P7 line)";
        return false;
    }
    while (reader.line(text)) {
        if (trim(text) == "ENDHDR") {
            h.dataOffset = reader.offset();
            return checkHeader(h, error);
        }
        if (!headerLine(text, h, error)) return false;
    }
    error = size > kPamMaxHeader ? "header too long" : "header not ended by ENDHDR";
    return false;
}

}  // namespace

bool decodePam(const uint8_t *data, size_t size, tlPicture &out, std::string &error) {
    PamHeader h;
    if (!readHeader(data, size, h, error)) return false;
    const int32_t bits = h.maxval == 255 ? 8 : 16;
    const uint64_t rowBytes = static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.depth) * (bits / 8);
    const uint64_t needed = rowBytes * static_cast<uint64_t>(h.height);
    if (needed > size - h.dataOffset) {
        error = "pixel data truncated";
        return false;
    }
    const tlColourModel model = h.depth >= 3 ? tlColourModel::RGB : tlColourModel::Gray;
    tlPicture picture;
    if (!picture.create(static_cast<int32_t>(h.width), static_cast<int32_t>(h.height),
                        tlPixelFormat{model, bits, static_cast<int32_t>(h.depth)})) {
        error = "out of memory";
        return false;
    }
    const uint8_t *src = data + h.dataOffset;
    for (int32_t y = 0; y < picture.height; ++y, src += rowBytes) {
        uint8_t *row = picture.row(y);
        if (bits == 8) {
            std::memcpy(row, src, static_cast<size_t>(rowBytes));
            continue;
        }
        for (size_t i = 0; i < rowBytes; i += 2) {  // big-endian to little-endian
            row[i] = src[i + 1];
            row[i + 1] = src[i];
        }
    }
    out.moveFrom(picture);
    return true;
}

namespace {

bool encodeRows(const tlPicture &p, labBytes &out, std::string &error) {
    char header[160];
    int headerLength = std::snprintf(header, sizeof header,
                                     "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL %d\nTUPLTYPE %s\nENDHDR\n",
                                     static_cast<int>(p.width), static_cast<int>(p.height),
                                     static_cast<int>(p.channels), p.bits == 8 ? 255 : 65535, kTupleTypes[p.channels]);
    const size_t rowBytes = static_cast<size_t>(p.bytesPerPixel()) * static_cast<size_t>(p.width);
    const uint64_t total = static_cast<uint64_t>(headerLength) + static_cast<uint64_t>(rowBytes) * p.height;
    if (total > kLabMaxFileSize || !out.allocate(static_cast<size_t>(total))) {
        error = "picture too large to write";
        return false;
    }
    std::memcpy(out.data, header, static_cast<size_t>(headerLength));
    uint8_t *dst = out.data + headerLength;
    for (int32_t y = 0; y < p.height; ++y, dst += rowBytes) {
        const uint8_t *row = p.row(y);
        if (p.bits == 8) {
            std::memcpy(dst, row, rowBytes);
            continue;
        }
        for (size_t i = 0; i < rowBytes; i += 2) {  // little-endian to big-endian
            dst[i] = row[i + 1];
            dst[i + 1] = row[i];
        }
    }
    return true;
}

}  // namespace

bool encodePam(const tlPicture &picture, labBytes &out, std::string &error) {
    if (picture.isEmpty() || !picture.format().isValid()) {
        error = "no picture to write";
        return false;
    }
    if (picture.model != tlColourModel::Indexed) return encodeRows(picture, out, error);
    tlPicture expanded;
    if (!expanded.create(picture.width, picture.height, tlPixelFormat::rgb(8, picture.hasAlpha() ? 4 : 3))) {
        error = "out of memory";
        return false;
    }
    expanded.copyFrom(0, 0, picture);
    return encodeRows(expanded, out, error);
}

namespace {
const labPictureFormatRegistrar pamFormat(".pam", decodePam, encodePam);
}  // namespace
