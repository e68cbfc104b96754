// The file layer on POSIX systems, with the sharing and creation rules of the
// Windows layer (exclusive creation, truncation only of existing files).
#include "platform/file.h"

#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

struct FileHandle {
    int fd;
    bool canRead;   // the access asked for, enforced here because a
    bool canWrite;  // descriptor may have been opened with more
};

static int openRetrying(const char *path, int flags) {
    int fd;
    do {
        fd = open(path, flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

static int creationFlags(Disposition disposition) {
    switch (disposition) {
    case Disposition::OpenExisting: return 0;
    case Disposition::CreateNew: return O_CREAT | O_EXCL;
    case Disposition::TruncateExisting: return O_TRUNC;
    case Disposition::CreateAlways: break;
    }
    return O_CREAT | O_TRUNC;
}

// Truncation needs a writable descriptor. Windows empties the file for
// CREATE_ALWAYS whatever the access, but refuses TRUNCATE_EXISTING without
// write access; the descriptor keeps only the access asked for.
static int openDescriptor(const char *path, bool readAccess, bool writeAccess, Disposition disposition) {
    int creation = creationFlags(disposition);
    if (writeAccess) return openRetrying(path, (readAccess ? O_RDWR : O_WRONLY) | creation);
    if (disposition == Disposition::TruncateExisting) return -1;
    if (disposition == Disposition::CreateAlways) {
        int fd = openRetrying(path, O_WRONLY | creation);
        if (fd < 0) return -1;
        close(fd);
        creation = 0;
    }
    return openRetrying(path, O_RDONLY | creation);
}

FileHandle *openFile(const char *path, bool readAccess, bool writeAccess, Disposition disposition) {
    FileHandle *file = new (std::nothrow) FileHandle{-1, readAccess, writeAccess};
    if (!file) return nullptr;
    file->fd = openDescriptor(path, readAccess, writeAccess, disposition);
    struct stat info;
    // CreateFileA does not open folders as files.
    if (file->fd >= 0 && (fstat(file->fd, &info) != 0 || S_ISDIR(info.st_mode))) {
        close(file->fd);
        file->fd = -1;
    }
    if (file->fd < 0) {
        delete file;
        return nullptr;
    }
    return file;
}

void closeFile(FileHandle *file) {
    if (!file) return;
    close(file->fd);
    delete file;
}

uint32_t readFile(FileHandle *file, void *buffer, uint32_t n) {
    // Like ReadFile on a disk file, keep reading until n bytes or the end.
    if (!file->canRead) return 0;
    uint32_t done = 0;
    while (done < n) {
        ssize_t got = read(file->fd, static_cast<char *>(buffer) + done, n - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return 0;
        if (got == 0) break;
        done += static_cast<uint32_t>(got);
    }
    return done;
}

uint32_t writeFile(FileHandle *file, const void *buffer, uint32_t n) {
    if (!file->canWrite) return 0;
    uint32_t done = 0;
    while (done < n) {
        ssize_t put = write(file->fd, static_cast<const char *>(buffer) + done, n - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return 0;
        done += static_cast<uint32_t>(put);
    }
    return done;
}

uint32_t seekFile(FileHandle *file, int32_t distance, SeekOrigin origin) {
    int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    off_t at = lseek(file->fd, static_cast<off_t>(distance), whence);
    if (at < 0) return 0xFFFFFFFFu;
    return static_cast<uint32_t>(static_cast<uint64_t>(at));
}

uint32_t fileSize(FileHandle *file) {
    struct stat info;
    if (fstat(file->fd, &info) != 0) return 0xFFFFFFFFu;
    return static_cast<uint32_t>(static_cast<uint64_t>(info.st_size));
}

}  // namespace platform
