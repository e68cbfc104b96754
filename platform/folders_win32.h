// The Windows folders behind the folder layer: GetLogicalDrives,
// FindFirstFileA and CreateDirectoryA on ANSI paths.
#pragma once

#include "platform/folders.h"

namespace platform {

class Win32Folders : public Folders {
public:
    uint32_t logicalDrives() override;
    bool findEntry(const char *path, bool *isDirectory) override;
    bool createDirectory(const char *path) override;
};

}  // namespace platform
