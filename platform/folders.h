// The folder layer: which drives exist, whether a path names a folder or a
// file, and creating a folder. The settings dialog's folder checks go
// through it, so they run against a fake in tests.
#pragma once

#include <cstdint>

namespace platform {

class Folders {
public:
    virtual ~Folders() {}
    // Bit n set: drive letter 'A' + n exists.
    virtual uint32_t logicalDrives() = 0;
    // True when path names an entry; *isDirectory tells which kind.
    virtual bool findEntry(const char *path, bool *isDirectory) = 0;
    // Creates one folder whose parent exists; false when it cannot.
    virtual bool createDirectory(const char *path) = 0;
};

}  // namespace platform
