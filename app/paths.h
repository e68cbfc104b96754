// Path helpers of the shell: joining a folder and a name, the numbered
// wallpaper file name, and the folder of a chosen file. Paths are ANSI
// strings in 260-byte buffers; backslashes are found with double-byte
// awareness, so a trail byte equal to '\' is never taken for a separator.
#pragma once

#include <cstdint>

// Whether byte starts a double-byte character in the ANSI code page.
typedef bool (*LeadByteTest)(uint8_t byte);

// For single-byte code pages: never a lead byte.
bool noLeadBytes(uint8_t byte);
// Code page 932 (Shift-JIS) lead bytes: 0x81-0x9F and 0xE0-0xFC.
bool shiftJisLeadByte(uint8_t byte);

// out (260 bytes) = folder, one backslash unless folder is empty or already
// ends in one, then name. False, with out empty, when the result does not fit.
bool joinPath(const char *folder, const char *name, char *out, LeadByteTest isLeadByte);

// The file the next numbered wallpaper goes to: folder\chromaweave_ and the
// number count + 1 as "%010u.bmp". False, with out empty, when it does not fit.
bool sequentialFileName(const char *folder, uint32_t count, char *out, LeadByteTest isLeadByte);

// The folder of a chosen file: path cut at its last backslash, which is kept
// when the name starts within the first 3 characters (C:\x.bmp gives C:\).
// False, out untouched, when path holds no backslash.
bool folderOfFile(const char *path, char *out, LeadByteTest isLeadByte);
