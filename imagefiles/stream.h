// tlStream, the byte stream that parameter records and codecs read and write
// through, and its two kinds: tlFileStream over one open file and
// tlMemoryStream over bytes it holds itself.
#pragma once

#include <cstdint>

namespace platform {
struct FileHandle;
}

// A run of bytes with a position. Failures show only in the results: short
// counts, false, or 0xFFFFFFFF where a position or size is asked.
class tlStream {
public:
    tlStream() = default;
    tlStream(const tlStream &) = delete;
    tlStream &operator=(const tlStream &) = delete;
    virtual ~tlStream();

    // Bytes transferred, 0 when the call fails; reading at the end gives 0.
    virtual uint32_t read(void *buffer, uint32_t n) = 0;
    virtual uint32_t write(const void *buffer, uint32_t n) = 0;
    virtual uint32_t tell() = 0;
    // Origins 0 start, 1 current position, 2 end; any other origin answers
    // false without moving. The move itself is not checked.
    virtual bool seek(int32_t distance, int32_t origin) = 0;
    virtual uint32_t size() = 0;
};

// A stream over one file, opened with the Windows creation rules.
class tlFileStream : public tlStream {
public:
    enum : uint32_t { Read = 1, Write = 2, OpenExisting = 4, CreateNew = 8, Truncate = 16 };

    tlFileStream() = default;
    ~tlFileStream() override;

    bool open(const char *path, uint32_t flags);
    bool close();
    uint32_t read(void *buffer, uint32_t n) override;
    uint32_t write(const void *buffer, uint32_t n) override;
    uint32_t tell() override;
    bool seek(int32_t distance, int32_t origin) override;
    uint32_t size() override;

    int32_t state = 0;                       // 0 closed, 1 open
    platform::FileHandle *holder = nullptr;  // owned
};

// A stream over bytes in memory, which it owns: what a file would hold,
// without a disk. Writing past the end grows it; a seek beyond the end
// followed by a write leaves zero bytes in the gap, as a file does. A write
// limit makes writes stop short there, as on a full disk.
class tlMemoryStream : public tlStream {
public:
    tlMemoryStream() = default;
    ~tlMemoryStream() override;

    // Replaces the contents with a copy of n bytes and moves to the start;
    // false (and unchanged) when memory runs out.
    bool assign(const void *source, uint32_t n);
    // The contents, size() bytes; null while empty.
    const uint8_t *data() const { return bytes; }
    // No write takes the stream beyond limit bytes.
    void setWriteLimit(uint32_t limit) { writeLimit = limit; }

    uint32_t read(void *buffer, uint32_t n) override;
    uint32_t write(const void *buffer, uint32_t n) override;
    uint32_t tell() override { return position; }
    bool seek(int32_t distance, int32_t origin) override;
    uint32_t size() override { return count; }

private:
    bool reserve(uint32_t n);

    uint8_t *bytes = nullptr;  // capacity bytes, owned (malloc/realloc, freed with free)
    uint32_t count = 0;
    uint32_t capacity = 0;
    uint32_t position = 0;
    uint32_t writeLimit = 0xFFFFFFFFu;
};
