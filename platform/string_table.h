// Reading one string of a string-table resource block. A block holds sixteen
// strings, ids 16 (n - 1) to 16 n - 1 for block n, each stored as a 16-bit
// length and that many UTF-16 units; NULs inside a string are units like any
// other (string 300 and the save filter rely on them).
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// The number (resource name) of the block that holds string id.
inline uint32_t stringBlockOf(uint32_t id) { return id / 16 + 1; }

// Finds string id in a block of size bytes: its first unit starts *offset
// bytes into the block and it has *units units (0: the string is absent).
// False when the block ends before the string does.
bool findBlockString(const uint8_t *block, size_t size, uint32_t id, size_t *offset, size_t *units);

}  // namespace platform
