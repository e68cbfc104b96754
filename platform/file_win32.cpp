// The file layer on Windows: CreateFileA and friends.
#include "platform/file.h"

#include <new>

#include <windows.h>

namespace platform {

struct FileHandle {
    HANDLE handle;
};

static DWORD creationMode(Disposition disposition) {
    switch (disposition) {
    case Disposition::OpenExisting: return OPEN_EXISTING;
    case Disposition::CreateNew: return CREATE_NEW;
    case Disposition::TruncateExisting: return TRUNCATE_EXISTING;
    case Disposition::CreateAlways: break;
    }
    return CREATE_ALWAYS;
}

FileHandle *openFile(const char *path, bool readAccess, bool writeAccess, Disposition disposition) {
    FileHandle *file = new (std::nothrow) FileHandle;
    if (!file) return nullptr;
    DWORD access = (readAccess ? GENERIC_READ : 0) | (writeAccess ? GENERIC_WRITE : 0);
    file->handle = CreateFileA(path, access, FILE_SHARE_READ, nullptr, creationMode(disposition), FILE_ATTRIBUTE_NORMAL,
                               nullptr);
    if (file->handle == INVALID_HANDLE_VALUE) {
        delete file;
        return nullptr;
    }
    return file;
}

void closeFile(FileHandle *file) {
    if (!file) return;
    CloseHandle(file->handle);
    delete file;
}

uint32_t readFile(FileHandle *file, void *buffer, uint32_t n) {
    DWORD done = 0;
    if (!ReadFile(file->handle, buffer, n, &done, nullptr)) return 0;
    return done;
}

uint32_t writeFile(FileHandle *file, const void *buffer, uint32_t n) {
    DWORD done = 0;
    if (!WriteFile(file->handle, buffer, n, &done, nullptr)) return 0;
    return done;
}

uint32_t seekFile(FileHandle *file, int32_t distance, SeekOrigin origin) {
    DWORD method = origin == SeekOrigin::Begin ? FILE_BEGIN : origin == SeekOrigin::Current ? FILE_CURRENT : FILE_END;
    return SetFilePointer(file->handle, distance, nullptr, method);
}

uint32_t fileSize(FileHandle *file) { return GetFileSize(file->handle, nullptr); }

}  // namespace platform
