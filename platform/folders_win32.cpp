// Drives, entries and new folders on Windows.
#include "platform/folders_win32.h"

#include <windows.h>

namespace platform {

uint32_t Win32Folders::logicalDrives() { return GetLogicalDrives(); }

bool Win32Folders::findEntry(const char *path, bool *isDirectory) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    *isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

bool Win32Folders::createDirectory(const char *path) {
    return CreateDirectoryA(path, nullptr) != 0;
}

}  // namespace platform
