// tlStream: the file stream over the platform file layer and the memory
// stream over a growing block of bytes.
#include "imagefiles/stream.h"

#include <cstdlib>
#include <cstring>

#include "platform/file.h"

tlStream::~tlStream() = default;

// ---- tlFileStream -----------------------------------------------------------

tlFileStream::~tlFileStream() {
    if (holder) close();
}

// Flag 4 opens an existing file, 8 creates a new one, 16 (with 8 only) turns
// the creation into truncation of an existing file; with neither 4 nor 8 the
// file is created or replaced.
bool tlFileStream::open(const char *path, uint32_t flags) {
    if ((flags & OpenExisting) && (flags & CreateNew)) return false;
    if ((flags & Truncate) && !(flags & CreateNew)) return false;
    if (holder) close();  // reopening must not leak the previous file
    platform::Disposition disposition = platform::Disposition::CreateAlways;
    if (flags & OpenExisting) {
        disposition = platform::Disposition::OpenExisting;
    } else if (flags & CreateNew) {
        disposition = (flags & Truncate) ? platform::Disposition::TruncateExisting : platform::Disposition::CreateNew;
    }
    holder = platform::openFile(path, (flags & Read) != 0, (flags & Write) != 0, disposition);
    if (!holder) return false;
    state = 1;
    return true;
}

bool tlFileStream::close() {
    if (holder) {
        if (state == 1) platform::closeFile(holder);
        holder = nullptr;
    }
    state = 0;
    return true;
}

uint32_t tlFileStream::read(void *buffer, uint32_t n) {
    if (state != 1 || !holder) return 0;
    return platform::readFile(holder, buffer, n);
}

uint32_t tlFileStream::write(const void *buffer, uint32_t n) {
    if (state != 1 || !holder) return 0;
    return platform::writeFile(holder, buffer, n);
}

// 0xFFFFFFFF when closed, as the system call answers for an invalid handle.
uint32_t tlFileStream::tell() {
    if (state != 1 || !holder) return 0xFFFFFFFFu;
    return platform::seekFile(holder, 0, platform::SeekOrigin::Current);
}

bool tlFileStream::seek(int32_t distance, int32_t origin) {
    if (origin < 0 || origin > 2) return false;
    if (state != 1 || !holder) return false;
    platform::seekFile(holder, distance, static_cast<platform::SeekOrigin>(origin));
    return true;
}

uint32_t tlFileStream::size() {
    if (state != 1 || !holder) return 0xFFFFFFFFu;
    return platform::fileSize(holder);
}

// ---- tlMemoryStream ---------------------------------------------------------

tlMemoryStream::~tlMemoryStream() { std::free(bytes); }

// Grows the block to hold at least n bytes: doubling, from 256.
bool tlMemoryStream::reserve(uint32_t n) {
    if (n <= capacity) return true;
    uint64_t grown = capacity < 256 ? 256 : static_cast<uint64_t>(capacity) * 2;
    if (grown < n) grown = n;
    if (grown > 0xFFFFFFFFu) grown = 0xFFFFFFFFu;
    uint8_t *block = static_cast<uint8_t *>(std::realloc(bytes, static_cast<size_t>(grown)));
    if (!block) return false;
    bytes = block;
    capacity = static_cast<uint32_t>(grown);
    return true;
}

bool tlMemoryStream::assign(const void *source, uint32_t n) {
    if (!reserve(n)) return false;
    if (n > 0) std::memcpy(bytes, source, n);
    count = n;
    position = 0;
    return true;
}

uint32_t tlMemoryStream::read(void *buffer, uint32_t n) {
    if (position >= count) return 0;
    const uint32_t available = count - position;
    if (n > available) n = available;
    std::memcpy(buffer, bytes + position, n);
    position += n;
    return n;
}

uint32_t tlMemoryStream::write(const void *buffer, uint32_t n) {
    if (position >= writeLimit) return 0;
    if (n > writeLimit - position) n = writeLimit - position;
    const uint32_t end = position + n;
    if (n == 0 || !reserve(end)) return 0;
    if (position > count) std::memset(bytes + count, 0, position - count);
    std::memcpy(bytes + position, buffer, n);
    position = end;
    if (end > count) count = end;
    return n;
}

// A move before the start fails and leaves the position, as a file's does.
bool tlMemoryStream::seek(int32_t distance, int32_t origin) {
    if (origin < 0 || origin > 2) return false;
    const int64_t base = origin == 0 ? 0 : (origin == 1 ? position : count);
    const int64_t target = base + distance;
    if (target >= 0 && target <= 0xFFFFFFFFll) position = static_cast<uint32_t>(target);
    return true;
}
