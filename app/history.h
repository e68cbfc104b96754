// The history of recent wallpapers: the recipe text of each of the last 20
// wallpapers that had one, with the time it was last shown, newest first,
// kept in the History subkey of the settings key (so the removal tool takes
// it with the rest). Each entry is one REG_SZ value named by its slot, "0" to
// "19", holding "h1 SERIAL TIME RECIPE": the format version, a number that
// grows with every showing (it orders the entries), the seconds since
// 1970-01-01 UTC, and the recipe text. Showing a wallpaper writes its one
// value at once, so nothing waits for the program's exit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "compose/recipe.h"
#include "compose/thumbnail.h"
#include "platform/registry.h"

const int32_t kHistoryCapacity = 20;
extern const char historyKeyPath[];  // "Software\kelpworks\chromaweave\History"

struct HistoryEntry {
    uint32_t serial = 0;  // larger is newer; never 0
    uint64_t time = 0;    // seconds since 1970-01-01 UTC when last shown
    int32_t slot = 0;     // the value "0".."19" that holds it
    char recipe[kRecipeTextCapacity] = "";
    tlThumbnail thumbnail;         // drawn by the worker; made is false until then
    bool thumbnailFailed = false;  // its recipe did not render: not tried again
};

// The value text of an entry; false when out is too small.
bool formatHistoryValue(const HistoryEntry &entry, char *out, size_t size);
// Parses a value text of length bytes strictly: the version "h1", a serial
// from 1 to 4294967295, a time, each after one space, then a recipe text that
// decodes. Anything else (another version, a stray character, a damaged or
// out-of-range recipe) is refused; out is written only on success.
bool parseHistoryValue(const char *text, size_t length, HistoryEntry &out);

class History {
public:
    // Reads the values of the History subkey. A value that is missing, not a
    // string, too long or refused by parseHistoryValue is skipped (its slot
    // counts as free and is written over later); of two values with the
    // same serial or the same recipe only the newer is kept.
    void load(platform::Registry &registry);

    int32_t count() const { return used; }
    // Entry i, 0 the newest.
    const HistoryEntry &entry(int32_t i) const { return entries[i]; }
    // The index of the entry with that serial or recipe text; -1 when none.
    int32_t find(uint32_t serial) const;
    int32_t findRecipe(const char *text) const;

    // The wallpaper of recipe text is shown now: it becomes the newest entry
    // (moved up when it is listed, otherwise added in a free slot or in the
    // oldest entry's), and its value is written. A made thumbnail replaces
    // the entry's. Returns the entry's serial.
    uint32_t record(platform::Registry &registry, const char *text, uint64_t time, const tlThumbnail &thumbnail);

    // The worker drew (or could not draw) an entry's thumbnail. Entries that
    // left the list meanwhile are ignored.
    void setThumbnail(uint32_t serial, const tlThumbnail &thumbnail);
    void thumbnailFailed(uint32_t serial);
    // The newest entry still waiting for its thumbnail; -1 when none.
    int32_t nextWithoutThumbnail() const;

private:
    void write(platform::Registry &registry, const HistoryEntry &entry);
    int32_t freeSlot() const;
    void moveToFront(int32_t index);

    HistoryEntry entries[kHistoryCapacity];  // newest first
    int32_t used = 0;
    uint32_t lastSerial = 0;
};
