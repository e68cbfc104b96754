// The history of recent wallpapers and its values in the registry.
#include "app/history.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "app/settings.h"

const char historyKeyPath[] = "Software\\kelpworks\\chromaweave\\History";

namespace {

const char kValuePrefix[] = "h1 ";
// The longest value text: prefix, serial, time, two spaces, recipe, NUL.
const size_t kValueCapacity = sizeof kValuePrefix + 10 + 20 + 2 + kRecipeTextCapacity;

void slotName(int32_t slot, char name[4]) { std::snprintf(name, 4, "%d", int(slot)); }

// Decimal digits up to the next space into value; false for no digits,
// a leading zero, another character or more than max.
bool parseNumber(const char *&at, const char *end, uint64_t max, uint64_t &value) {
    const char *start = at;
    value = 0;
    while (at < end && *at >= '0' && *at <= '9') {
        uint64_t digit = static_cast<uint64_t>(*at - '0');
        if (value > (max - digit) / 10) return false;
        value = value * 10 + digit;
        ++at;
    }
    bool leadingZero = at - start > 1 && *start == '0';
    if (at == start || leadingZero || at == end || *at != ' ') return false;
    ++at;  // the space
    return true;
}

}  // namespace

bool formatHistoryValue(const HistoryEntry &entry, char *out, size_t size) {
    int written = std::snprintf(out, size, "%s%" PRIu32 " %" PRIu64 " %s", kValuePrefix, entry.serial, entry.time,
                                entry.recipe);
    return written > 0 && static_cast<size_t>(written) < size;
}

bool parseHistoryValue(const char *text, size_t length, HistoryEntry &out) {
    const char *at = text, *end = text + length;
    const size_t prefix = sizeof kValuePrefix - 1;
    if (length <= prefix || std::memcmp(text, kValuePrefix, prefix) != 0) return false;
    at += prefix;
    uint64_t serial = 0, time = 0;
    if (!parseNumber(at, end, UINT32_MAX, serial) || serial == 0) return false;
    if (!parseNumber(at, end, UINT64_MAX, time)) return false;
    size_t recipeLength = static_cast<size_t>(end - at);
    if (recipeLength == 0 || recipeLength >= kRecipeTextCapacity) return false;
    if (std::memchr(at, '\0', recipeLength)) return false;
    char recipeText[kRecipeTextCapacity];
    std::memcpy(recipeText, at, recipeLength);
    recipeText[recipeLength] = '\0';
    // The text decodes as it is: no white space around it, nothing after it.
    tlRecipe recipe;
    if (!decodeRecipeText(recipeText, recipe).ok()) return false;
    for (size_t i = 0; i < recipeLength; ++i)
        if (recipeText[i] <= ' ' || recipeText[i] > '~') return false;
    out.serial = static_cast<uint32_t>(serial);
    out.time = time;
    std::memcpy(out.recipe, recipeText, recipeLength + 1);
    return true;
}

// ---- History

int32_t History::find(uint32_t serial) const {
    for (int32_t i = 0; i < used; ++i)
        if (entries[i].serial == serial) return i;
    return -1;
}

int32_t History::findRecipe(const char *text) const {
    for (int32_t i = 0; i < used; ++i)
        if (std::strcmp(entries[i].recipe, text) == 0) return i;
    return -1;
}

void History::load(platform::Registry &registry) {
    used = 0;
    lastSerial = 0;
    RegSettings key(registry);
    if (!key.open(platform::RegistryRoot::currentUser, historyKeyPath, 1)) return;
    char text[kValueCapacity + 1];
    for (int32_t slot = 0; slot < kHistoryCapacity; ++slot) {
        char name[4];
        slotName(slot, name);
        uint32_t size = kValueCapacity;
        platform::RegistryType type = platform::RegistryType::none;
        if (!key.readValue(name, text, &size, &type) || type != platform::RegistryType::string) continue;
        // A stored string may end in its NUL or not; nothing may follow it.
        if (size > 0 && text[size - 1] == '\0') --size;
        HistoryEntry &entry = entries[used];
        if (!parseHistoryValue(text, size, entry)) continue;
        entry.slot = slot;
        entry.thumbnail.made = false;
        entry.thumbnailFailed = false;
        int32_t same = find(entry.serial);
        if (same < 0) same = findRecipe(entry.recipe);
        if (same < 0) {
            ++used;
        } else if (entries[same].serial < entry.serial) {
            entries[same] = entry;  // the newer one stays, in the older one's place
        }
    }
    // Newest first (at most 20 entries: a plain insertion sort).
    for (int32_t i = 1; i < used; ++i)
        for (int32_t j = i; j > 0 && entries[j - 1].serial < entries[j].serial; --j) {
            HistoryEntry swap = entries[j];
            entries[j] = entries[j - 1];
            entries[j - 1] = swap;
        }
    if (used > 0) lastSerial = entries[0].serial;
}

void History::write(platform::Registry &registry, const HistoryEntry &entry) {
    char text[kValueCapacity];
    char name[4];
    slotName(entry.slot, name);
    RegSettings key(registry);
    // Write failures are ignored like those of the settings: the entry
    // stays listed for this run.
    if (formatHistoryValue(entry, text, sizeof text) &&
        key.open(platform::RegistryRoot::currentUser, historyKeyPath, 2))
        key.writeString(name, text);
}

int32_t History::freeSlot() const {
    for (int32_t slot = 0; slot < kHistoryCapacity; ++slot) {
        bool taken = false;
        for (int32_t i = 0; i < used && !taken; ++i) taken = entries[i].slot == slot;
        if (!taken) return slot;
    }
    return -1;
}

void History::moveToFront(int32_t index) {
    if (index <= 0) return;
    HistoryEntry moved = entries[index];
    for (int32_t i = index; i > 0; --i) entries[i] = entries[i - 1];
    entries[0] = moved;
}

uint32_t History::record(platform::Registry &registry, const char *text, uint64_t time, const tlThumbnail &thumbnail) {
    if (lastSerial == UINT32_MAX) {
        // Serials ran out (or a stored one was the largest): number the
        // entries again from 1 in their order and write them anew.
        for (int32_t i = 0; i < used; ++i) {
            entries[i].serial = static_cast<uint32_t>(used - i);
            write(registry, entries[i]);
        }
        lastSerial = static_cast<uint32_t>(used);
    }
    int32_t index = findRecipe(text);
    if (index < 0) {
        if (used < kHistoryCapacity) {
            entries[used].slot = freeSlot();
            index = used++;
        } else {
            index = used - 1;  // the oldest makes room
        }
        HistoryEntry &fresh = entries[index];
        std::snprintf(fresh.recipe, sizeof fresh.recipe, "%s", text);
        fresh.thumbnail.made = false;
        fresh.thumbnailFailed = false;
    }
    moveToFront(index);
    HistoryEntry &entry = entries[0];
    entry.serial = ++lastSerial;
    entry.time = time;
    if (thumbnail.made) {
        entry.thumbnail = thumbnail;
        entry.thumbnailFailed = false;
    }
    write(registry, entry);
    return entry.serial;
}

void History::setThumbnail(uint32_t serial, const tlThumbnail &thumbnail) {
    int32_t index = find(serial);
    if (index >= 0 && thumbnail.made) entries[index].thumbnail = thumbnail;
}

void History::thumbnailFailed(uint32_t serial) {
    int32_t index = find(serial);
    if (index >= 0) entries[index].thumbnailFailed = true;
}

int32_t History::nextWithoutThumbnail() const {
    for (int32_t i = 0; i < used; ++i)
        if (!entries[i].thumbnail.made && !entries[i].thumbnailFailed) return i;
    return -1;
}
