// tlStream: a byte stream over one open file, through the platform file layer.
#include "imagefiles/stream.h"

#include "platform/file.h"

tlStream::~tlStream() {
    if (holder) close();
}

// Flag 4 opens an existing file, 8 creates a new one, 16 (with 8 only) turns
// the creation into truncation of an existing file; with neither 4 nor 8 the
// file is created or replaced.
bool tlStream::open(const char *path, uint32_t flags) {
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

bool tlStream::close() {
    if (holder) {
        if (state == 1) platform::closeFile(holder);
        holder = nullptr;
    }
    state = 0;
    return true;
}

uint32_t tlStream::read(void *buffer, uint32_t n) {
    if (state != 1 || !holder) return 0;
    return platform::readFile(holder, buffer, n);
}

uint32_t tlStream::write(const void *buffer, uint32_t n) {
    if (state != 1 || !holder) return 0;
    return platform::writeFile(holder, buffer, n);
}

// 0xFFFFFFFF when closed, as the system call answers for an invalid handle.
uint32_t tlStream::tell() {
    if (state != 1 || !holder) return 0xFFFFFFFFu;
    return platform::seekFile(holder, 0, platform::SeekOrigin::Current);
}

// Origins 0 start, 1 current position, 2 end; the move itself is not checked.
bool tlStream::seek(int32_t distance, int32_t origin) {
    if (origin < 0 || origin > 2) return false;
    if (state != 1 || !holder) return false;
    platform::seekFile(holder, distance, static_cast<platform::SeekOrigin>(origin));
    return true;
}

uint32_t tlStream::size() {
    if (state != 1 || !holder) return 0xFFFFFFFFu;
    return platform::fileSize(holder);
}
