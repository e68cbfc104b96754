// tlStream: a byte stream over one open file.
#pragma once

#include <cstdint>

namespace platform { struct FileHandle; }

class tlStream {
public:
    enum : uint32_t { Read = 1, Write = 2, OpenExisting = 4, CreateNew = 8, Truncate = 16 };

    tlStream() = default;
    tlStream(const tlStream &) = delete;
    tlStream &operator=(const tlStream &) = delete;
    ~tlStream();

    bool open(const char *path, uint32_t flags);
    bool close();
    uint32_t read(void *buffer, uint32_t n);
    uint32_t write(const void *buffer, uint32_t n);
    uint32_t tell();
    bool seek(int32_t distance, int32_t origin);
    uint32_t size();

    int32_t state = 0;  // 0 closed, 1 open
    platform::FileHandle *holder = nullptr;  // owned
};
