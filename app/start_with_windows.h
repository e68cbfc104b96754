// Starting with Windows: a value named "chromaweave" under the current
// user's Run key whose command is the program's path in quotes. The value's
// name is shared with chromaweave_purge, which removes it too.
#pragma once

#include <cstdint>

#include "app/paths.h"
#include "platform/registry.h"

extern const char kRunKeyPath[];    // "Software\Microsoft\Windows\CurrentVersion\Run"
extern const char kRunValueName[];  // "chromaweave"

// Room for a command: a path of up to 259 characters, two quotes, the NUL.
const uint32_t kRunCommandBytes = 262;

// The Run command for the program at programPath: the path in double
// quotes, so that a folder with spaces is not cut. False (out empty) when
// the path cannot be started that way: empty, not fitting size bytes, or
// holding '"' or '?', which no file name has; an ANSI path holds '?' where
// the code page lacks a character of the real one.
bool runCommandFor(const char *programPath, char *out, uint32_t size);

// Whether a Run command starts chromaweave: the program it names (the text
// in the first pair of quotes, else up to the first ".exe" that ends a word,
// else up to the first space) has the file name chromaweave.exe, in any
// letter case. Folders are split at backslashes and slashes found with the
// lead-byte test, so a Shift-JIS trail byte is never taken for one.
bool startsChromaweave(const char *command, LeadByteTest isLeadByte);

// Makes the Run value follow the setting: on writes the command for
// programPath (unless the value already holds exactly it); off removes the
// value when it starts chromaweave, and leaves a value of that name that
// starts another program alone. False when the registry refused, or when
// programPath cannot be a command.
bool applyStartWithWindows(platform::Registry &registry, bool on, const char *programPath, LeadByteTest isLeadByte);
