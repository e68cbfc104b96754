// Picture files for the lab: whole-file reading and writing, and the table
// of picture file formats chosen by file extension. A format file registers
// itself with a static labPictureFormatRegistrar (see pam.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class tlPicture;

// An owned, malloc'd byte block; allocation failure is reported, not thrown.
class labBytes {
public:
    labBytes() = default;
    labBytes(const labBytes &) = delete;
    labBytes &operator=(const labBytes &) = delete;
    ~labBytes();

    bool allocate(size_t n);  // discards the old contents

    uint8_t *data = nullptr;
    size_t size = 0;
};

// Largest file the lab reads.
constexpr size_t kLabMaxFileSize = size_t(1) << 30;

bool readWholeFile(const std::string &path, labBytes &out, std::string &error);
bool writeWholeFile(const std::string &path, const uint8_t *data, size_t size, std::string &error);

// Loader and saver of one file format; load leaves the picture alone on
// failure and fills error.
using labLoadFn = bool (*)(const uint8_t *data, size_t size, tlPicture &out, std::string &error);
using labSaveFn = bool (*)(const tlPicture &picture, labBytes &out, std::string &error);

class labPictureFormatRegistrar {
public:
    // extension with its dot, lower case: ".pam"
    labPictureFormatRegistrar(const char *extension, labLoadFn load, labSaveFn save);
};

// Choose the format by the path's extension (case-insensitive).
bool loadPicture(const std::string &path, tlPicture &out, std::string &error);
bool savePicture(const std::string &path, const tlPicture &picture, std::string &error);
// True when savePicture knows how to write the path's file type; lets a
// command reject a bad output name before doing any work.
bool canSavePicture(const std::string &path, std::string &error);
