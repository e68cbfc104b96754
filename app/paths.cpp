// Path helpers with double-byte aware backslash scanning.
#include "app/paths.h"

#include <cstdio>
#include <cstring>

#include "app/settings.h"

bool noLeadBytes(uint8_t) { return false; }

bool shiftJisLeadByte(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

namespace {

// Index of the last backslash that is a character of its own, or -1.
int32_t lastBackslash(const char *path, LeadByteTest isLeadByte) {
    int32_t last = -1;
    for (int32_t i = 0; path[i];) {
        if (isLeadByte(static_cast<uint8_t>(path[i])) && path[i + 1]) {
            i += 2;
            continue;
        }
        if (path[i] == '\\') last = i;
        ++i;
    }
    return last;
}

}  // namespace

bool joinPath(const char *folder, const char *name, char *out, LeadByteTest isLeadByte) {
    size_t folderLength = std::strlen(folder);
    size_t nameLength = std::strlen(name);
    bool endsInBackslash =
        folderLength > 0 && lastBackslash(folder, isLeadByte) == int32_t(folderLength) - 1;
    size_t separator = (folderLength == 0 || endsInBackslash) ? 0 : 1;
    if (folderLength + separator + nameLength >= size_t(kPathBytes)) {
        out[0] = '\0';
        return false;
    }
    std::memmove(out, folder, folderLength);
    if (separator) out[folderLength] = '\\';
    std::memcpy(out + folderLength + separator, name, nameLength + 1);
    return true;
}

bool sequentialFileName(const char *folder, uint32_t count, char *out,
                        LeadByteTest isLeadByte) {
    char name[32];
    std::snprintf(name, sizeof name, "chromaweave_%010u.bmp", static_cast<unsigned>(count + 1));
    return joinPath(folder, name, out, isLeadByte);
}

bool folderOfFile(const char *path, char *out, LeadByteTest isLeadByte) {
    int32_t cut = lastBackslash(path, isLeadByte);
    if (cut < 0) return false;
    // A file in a drive root keeps its backslash: C:\ names the root, C: does
    // not.
    int32_t length = cut + 1 <= 3 ? cut + 1 : cut;
    std::memmove(out, path, size_t(length));
    out[length] = '\0';
    return true;
}
