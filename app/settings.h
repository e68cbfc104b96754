// The settings record, its preset and unit tables, and its registry store
// under HKEY_CURRENT_USER\Software\kelpworks\chromaweave.
#pragma once

#include <cstdint>

#include "platform/registry.h"

// Paths are ANSI strings in buffers of this many bytes (terminating NUL
// included).
const int32_t kPathBytes = 260;

extern const char kSettingsKeyPath[];  // "Software\kelpworks\chromaweave"

struct PresetSize {
    int32_t width;
    int32_t height;
};
const int32_t kPresetCount = 10;
extern const PresetSize kPresetSizes[kPresetCount];

// Interval units: 0 seconds, 1 minutes, 2 hours. The unit only chooses how
// the settings dialog shows Interval, which is always kept in milliseconds.
const int32_t kUnitCount = 3;
// Milliseconds per unit; 0 for an index outside 0..2.
uint32_t unitFactor(int32_t unit);
// The count the dialog shows: Interval / factor, remainder dropped (0 for an
// unknown unit).
uint32_t intervalInUnits(uint32_t interval, int32_t unit);
// What the dialog stores for a count: count x factor as a 32-bit unsigned
// product (it wraps like the system's arithmetic).
uint32_t unitsToInterval(uint32_t count, int32_t unit);

// The process-wide settings record, owned by the main thread.
struct Settings {
    char SaveDir[kPathBytes] = "";
    uint32_t Count = 0;
    bool UseCustomSize = false;
    int32_t PresetIndex = 4;  // 120 x 120
    int32_t CustomWidth = 100;
    int32_t CustomHeight = 100;
    uint32_t Interval = 600000;  // 10 minutes
    int32_t IntervalUnit = 1;    // minutes
    char WallpaperDir[kPathBytes] = "";
    bool UseSequentialNo = false;
    bool RestoreWallpaper = true;
    bool DeleteFile = false;
    bool AskOverWrite = true;
    bool NoActiveDesktop = false;  // set at start-up from the Active Desktop test
};

// The picture size in effect: the custom size or the preset row.
void pictureSize(const Settings &settings, int32_t *width, int32_t *height);

// Load repairs, one per rule of the store:
// the first preset row covering width x height, or current when none does.
int32_t presetIndexForSize(int32_t width, int32_t height, int32_t current);
// Sizes and the interval are raised to at least 1 (signed comparison, so a
// value with the top bit set counts as negative).
int32_t atLeastOne(int32_t stored);
bool isValidUnit(int32_t unit);

// One open registry key. Callers pass mode 1 to read and 2 to write; a mode
// with bit value 2 creates the key when missing.
class RegSettings {
public:
    explicit RegSettings(platform::Registry &registry) : registry(registry) {}
    ~RegSettings() { close(); }
    RegSettings(const RegSettings &) = delete;
    RegSettings &operator=(const RegSettings &) = delete;

    bool open(platform::RegistryRoot root, const char *subkey, int32_t mode);
    void close();
    bool writeInt(const char *name, uint32_t value);
    // Reads up to 4 bytes whatever the stored type; out is written only on
    // success. Shorter data is zero-extended.
    bool readInt(const char *name, uint32_t *out);
    bool writeString(const char *name, const char *text);
    // On success buffer holds a NUL-terminated string. A stored string that
    // does not fit (with its NUL) into size bytes fails and leaves buffer as
    // it was.
    bool readString(const char *name, char *buffer, uint32_t size);
    // The value's data as stored, its length in *size and its type; false
    // (buffer undefined) when it is missing, larger than *size or unreadable.
    bool readValue(const char *name, void *buffer, uint32_t *size, platform::RegistryType *type);

private:
    platform::Registry &registry;
    platform::RegistryKey key = nullptr;
};

// Overwrites the fields whose values the key holds, repairing out-of-range
// ones. False when the key cannot be opened (the first run).
bool loadSettings(platform::Registry &registry, Settings &settings);
// Writes the whole record, creating the key if needed. False when the key
// cannot be opened or created; single write failures are ignored.
bool saveSettings(platform::Registry &registry, const Settings &settings);
