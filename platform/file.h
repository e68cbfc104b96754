// A thin file layer: open, read, write, move and size of one file, with the
// Windows file semantics on every platform.
#pragma once

#include <cstdint>

namespace platform {

struct FileHandle;  // owned by whoever opened it; freed by closeFile

// How openFile treats an existing or missing file.
enum class Disposition : int32_t {
    OpenExisting,      // fails if the file does not exist
    CreateNew,         // fails if the file exists
    CreateAlways,      // creates, or replaces an existing file (emptied)
    TruncateExisting,  // empties an existing file; fails if it does not exist
};

enum class SeekOrigin : int32_t { Begin = 0, Current = 1, End = 2 };

// Opens path (an ANSI path) shared for reading only, with normal attributes.
// Null on failure or when memory runs out.
FileHandle *openFile(const char *path, bool readAccess, bool writeAccess, Disposition disposition);
// Closes the file and frees the handle; null is ignored.
void closeFile(FileHandle *file);
// Bytes transferred; 0 when the call fails.
uint32_t readFile(FileHandle *file, void *buffer, uint32_t n);
uint32_t writeFile(FileHandle *file, const void *buffer, uint32_t n);
// Moves the file position and answers the new position (low 32 bits), or
// 0xFFFFFFFF when the move fails.
uint32_t seekFile(FileHandle *file, int32_t distance, SeekOrigin origin);
// File size, low 32 bits; 0xFFFFFFFF when it cannot be read.
uint32_t fileSize(FileHandle *file);

}  // namespace platform
