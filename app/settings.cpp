// The settings record's tables, repairs and registry store.
#include "app/settings.h"

#include <cstring>
#include <new>

const char kSettingsKeyPath[] = "Software\\kelpworks\\chromaweave";

const PresetSize kPresetSizes[kPresetCount] = {
    {32, 32},   {64, 64},   {80, 80},   {100, 100}, {120, 120},
    {128, 128}, {160, 160}, {200, 200}, {240, 240}, {256, 256},
};

uint32_t unitFactor(int32_t unit) {
    static const uint32_t factors[kUnitCount] = {1000, 60000, 3600000};
    return isValidUnit(unit) ? factors[unit] : 0;
}

uint32_t intervalInUnits(uint32_t interval, int32_t unit) {
    uint32_t factor = unitFactor(unit);
    return factor ? interval / factor : 0;
}

uint32_t unitsToInterval(uint32_t count, int32_t unit) { return count * unitFactor(unit); }

void pictureSize(const Settings &settings, int32_t *width, int32_t *height) {
    if (settings.UseCustomSize) {
        *width = settings.CustomWidth;
        *height = settings.CustomHeight;
        return;
    }
    // PresetIndex is 0..9 by construction; an index from elsewhere falls
    // back to the default row rather than reading outside the table.
    int32_t index = settings.PresetIndex;
    if (index < 0 || index >= kPresetCount) index = 4;
    *width = kPresetSizes[index].width;
    *height = kPresetSizes[index].height;
}

int32_t presetIndexForSize(int32_t width, int32_t height, int32_t current) {
    for (int32_t i = 0; i < kPresetCount; ++i) {
        if (kPresetSizes[i].width >= width && kPresetSizes[i].height >= height) return i;
    }
    return current;
}

int32_t atLeastOne(int32_t stored) { return stored > 1 ? stored : 1; }

bool isValidUnit(int32_t unit) { return unit >= 0 && unit < kUnitCount; }

// ---- RegSettings

bool RegSettings::open(platform::RegistryRoot root, const char *subkey, int32_t mode) {
    close();
    platform::RegistryAccess access =
        (mode & 2) ? platform::RegistryAccess::create : platform::RegistryAccess::read;
    return registry.openKey(root, subkey, access, &key);
}

void RegSettings::close() {
    if (key) registry.closeKey(key);
    key = nullptr;
}

bool RegSettings::writeInt(const char *name, uint32_t value) {
    uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                        uint8_t(value >> 24)};
    return key && registry.setValue(key, name, platform::RegistryType::dword, bytes, 4);
}

bool RegSettings::readInt(const char *name, uint32_t *out) {
    if (!key) return false;
    uint8_t bytes[4] = {0, 0, 0, 0};
    uint32_t size = 4;
    if (registry.queryValue(key, name, bytes, &size, nullptr) != platform::RegistryResult::ok)
        return false;
    *out = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
    return true;
}

bool RegSettings::writeString(const char *name, const char *text) {
    uint32_t size = static_cast<uint32_t>(std::strlen(text) + 1);
    return key && registry.setValue(key, name, platform::RegistryType::string, text, size);
}

bool RegSettings::readString(const char *name, char *buffer, uint32_t size) {
    if (!key || size == 0) return false;
    // Read into scratch first: a failed or over-long read must not leave a
    // half-written or unterminated string in the caller's field.
    char *scratch = new (std::nothrow) char[size];
    if (!scratch) return false;
    uint32_t length = size;
    bool ok = registry.queryValue(key, name, scratch, &length, nullptr) ==
              platform::RegistryResult::ok;
    if (ok) {
        // Stored strings need not end in a NUL; one must fit after the data.
        bool terminated = length > 0 && scratch[length - 1] == '\0';
        if (!terminated && length < size) {
            scratch[length] = '\0';
        } else if (!terminated) {
            ok = false;
        }
    }
    if (ok) std::memcpy(buffer, scratch, std::strlen(scratch) + 1);
    delete[] scratch;
    return ok;
}

bool RegSettings::readValue(const char *name, void *buffer, uint32_t *size,
                           platform::RegistryType *type) {
    return key && registry.queryValue(key, name, buffer, size, type) == platform::RegistryResult::ok;
}

// ---- load and save

namespace {

void readFlag(RegSettings &key, const char *name, bool *field) {
    uint32_t value;
    if (key.readInt(name, &value)) *field = value != 0;
}

void readAtLeastOne(RegSettings &key, const char *name, int32_t *field) {
    uint32_t value;
    if (key.readInt(name, &value)) *field = atLeastOne(static_cast<int32_t>(value));
}

}  // namespace

bool loadSettings(platform::Registry &registry, Settings &settings) {
    RegSettings key(registry);
    if (!key.open(platform::RegistryRoot::currentUser, kSettingsKeyPath, 1)) return false;
    uint32_t value, other;
    key.readString("SaveDir", settings.SaveDir, kPathBytes);
    if (key.readInt("Count", &value)) settings.Count = value;
    readFlag(key, "UseCustomSize", &settings.UseCustomSize);
    // The preset is stored by its size, so a size not in the table selects
    // the smallest row that covers it.
    if (key.readInt("PresetWidth", &value) && key.readInt("PresetHeight", &other)) {
        settings.PresetIndex = presetIndexForSize(static_cast<int32_t>(value),
                                                  static_cast<int32_t>(other),
                                                  settings.PresetIndex);
    }
    readAtLeastOne(key, "CustomWidth", &settings.CustomWidth);
    readAtLeastOne(key, "CustomHeight", &settings.CustomHeight);
    int32_t interval = static_cast<int32_t>(settings.Interval);
    readAtLeastOne(key, "Interval", &interval);
    settings.Interval = static_cast<uint32_t>(interval);
    if (key.readInt("IntervalUnit", &value) && isValidUnit(static_cast<int32_t>(value)))
        settings.IntervalUnit = static_cast<int32_t>(value);
    key.readString("WallpaperDir", settings.WallpaperDir, kPathBytes);
    readFlag(key, "UseSequentialNo", &settings.UseSequentialNo);
    readFlag(key, "RestoreWallpaper", &settings.RestoreWallpaper);
    readFlag(key, "DeleteFile", &settings.DeleteFile);
    readFlag(key, "AskOverWrite", &settings.AskOverWrite);
    readFlag(key, "NoActiveDesktop", &settings.NoActiveDesktop);
    key.close();
    return true;
}

bool saveSettings(platform::Registry &registry, const Settings &settings) {
    RegSettings key(registry);
    if (!key.open(platform::RegistryRoot::currentUser, kSettingsKeyPath, 2)) return false;
    int32_t index = settings.PresetIndex;
    if (index < 0 || index >= kPresetCount) index = 4;
    key.writeString("SaveDir", settings.SaveDir);
    key.writeInt("Count", settings.Count);
    key.writeInt("UseCustomSize", settings.UseCustomSize ? 1 : 0);
    key.writeInt("PresetWidth", static_cast<uint32_t>(kPresetSizes[index].width));
    key.writeInt("PresetHeight", static_cast<uint32_t>(kPresetSizes[index].height));
    key.writeInt("CustomWidth", static_cast<uint32_t>(settings.CustomWidth));
    key.writeInt("CustomHeight", static_cast<uint32_t>(settings.CustomHeight));
    key.writeInt("Interval", settings.Interval);
    key.writeInt("IntervalUnit", static_cast<uint32_t>(settings.IntervalUnit));
    key.writeString("WallpaperDir", settings.WallpaperDir);
    key.writeInt("UseSequentialNo", settings.UseSequentialNo ? 1 : 0);
    key.writeInt("RestoreWallpaper", settings.RestoreWallpaper ? 1 : 0);
    key.writeInt("DeleteFile", settings.DeleteFile ? 1 : 0);
    key.writeInt("AskOverWrite", settings.AskOverWrite ? 1 : 0);
    key.writeInt("NoActiveDesktop", settings.NoActiveDesktop ? 1 : 0);
    key.close();
    return true;
}
