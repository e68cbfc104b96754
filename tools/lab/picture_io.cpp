// Picture files for the lab: whole-file I/O and the format table.
#include "tools/lab/picture_io.h"

#include "imaging/picture.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct PictureFormat {
    std::string extension;
    labLoadFn load;
    labSaveFn save;
};

std::vector<PictureFormat> &formats() {
    static std::vector<PictureFormat> table;
    return table;
}

std::string lowerExtension(const std::string &path) {
    size_t slash = path.find_last_of("/\\");
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    std::string ext = path.substr(dot);
    for (char &c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

const PictureFormat *formatFor(const std::string &path, std::string &error) {
    std::string ext = lowerExtension(path);
    for (const PictureFormat &f : formats())
        if (f.extension == ext) return &f;
    error = "\"" + path + "\": unknown picture file type (known:";
    for (const PictureFormat &f : formats()) error += " " + f.extension;
    error += ")";
    return nullptr;
}

}  // namespace

labBytes::~labBytes() { std::free(data); }

bool labBytes::allocate(size_t n) {
    std::free(data);
    size = 0;
    data = static_cast<uint8_t *>(std::malloc(n > 0 ? n : 1));
    if (data == nullptr) return false;
    size = n;
    return true;
}

// Read in growing chunks: the file's size is not asked for, since the
// standard size query is 32-bit on Windows.
bool readWholeFile(const std::string &path, labBytes &out, std::string &error) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        error = "cannot open \"" + path + "\"";
        return false;
    }
    size_t capacity = 65536, used = 0;
    uint8_t *buffer = static_cast<uint8_t *>(std::malloc(capacity));
    bool ok = buffer != nullptr;
    while (ok) {
        if (used == capacity) {
            uint8_t *grown = capacity < kLabMaxFileSize ? static_cast<uint8_t *>(std::realloc(buffer, capacity * 2))
                                                        : nullptr;
            ok = grown != nullptr;
            if (!ok) break;
            buffer = grown;
            capacity *= 2;
        }
        size_t got = std::fread(buffer + used, 1, capacity - used, f);
        used += got;
        if (got == 0) break;
    }
    if (!ok) {
        error = capacity >= kLabMaxFileSize ? "\"" + path + "\" is larger than the lab reads"
                                            : "out of memory reading \"" + path + "\"";
    } else if (std::ferror(f)) {
        error = "cannot read \"" + path + "\"";
        ok = false;
    }
    std::fclose(f);
    if (!ok) {
        std::free(buffer);
        return false;
    }
    std::free(out.data);
    out.data = buffer;
    out.size = used;
    return true;
}

bool writeWholeFile(const std::string &path, const uint8_t *data, size_t size, std::string &error) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        error = "cannot create \"" + path + "\"";
        return false;
    }
    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) error = "cannot write \"" + path + "\"";
    return ok;
}

labPictureFormatRegistrar::labPictureFormatRegistrar(const char *extension, labLoadFn load, labSaveFn save) {
    formats().push_back(PictureFormat{extension, load, save});
}

bool loadPicture(const std::string &path, tlPicture &out, std::string &error) {
    const PictureFormat *format = formatFor(path, error);
    if (format == nullptr) return false;
    if (format->load == nullptr) {
        error = "cannot read " + format->extension + " files";
        return false;
    }
    labBytes bytes;
    if (!readWholeFile(path, bytes, error)) return false;
    if (format->load(bytes.data, bytes.size, out, error)) return true;
    error = "\"" + path + "\": " + error;
    return false;
}

namespace {

const PictureFormat *saverFor(const std::string &path, std::string &error) {
    const PictureFormat *format = formatFor(path, error);
    if (format == nullptr || format->save != nullptr) return format;
    error = "cannot write " + format->extension + " files";
    return nullptr;
}

}  // namespace

bool canSavePicture(const std::string &path, std::string &error) { return saverFor(path, error) != nullptr; }

bool savePicture(const std::string &path, const tlPicture &picture, std::string &error) {
    const PictureFormat *format = saverFor(path, error);
    if (format == nullptr) return false;
    labBytes bytes;
    if (!format->save(picture, bytes, error)) {
        error = "\"" + path + "\": " + error;
        return false;
    }
    return writeWholeFile(path, bytes.data, bytes.size, error);
}
