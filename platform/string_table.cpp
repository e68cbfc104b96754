// Walking a string-table block to one of its sixteen strings.
#include "platform/string_table.h"

namespace platform {

bool findBlockString(const uint8_t *block, size_t size, uint32_t id, size_t *offset, size_t *units) {
    size_t at = 0;
    for (uint32_t index = 0;; ++index) {
        if (size - at < 2) return false;
        size_t length = size_t(block[at]) | size_t(block[at + 1]) << 8;
        at += 2;
        if (length > (size - at) / 2) return false;
        if (index == id % 16) {
            *offset = at;
            *units = length;
            return true;
        }
        at += 2 * length;
    }
}

}  // namespace platform
