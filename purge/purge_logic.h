// The removal tool's decisions, written against two small interfaces so that
// they run the same on Windows and against an in-memory registry in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace purge {

// Windows result codes and flags the logic needs, spelled out so that this
// header includes no Windows header; main.cpp checks them against <windows.h>.
constexpr int32_t kErrorSuccess = 0;
constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorMoreData = 234;
constexpr int32_t kErrorNoMoreItems = 259;
constexpr uint32_t kKeyQueryValue = 0x0001;
constexpr uint32_t kKeySetValue = 0x0002;
constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kOkCancel = 0x0001;
constexpr uint32_t kIconQuestion = 0x0020;
constexpr uint32_t kIconWarning = 0x0030;
constexpr uint32_t kIconInformation = 0x0040;
constexpr uint32_t kDefButton2 = 0x0100;
constexpr int32_t kIdOk = 1;

// Subkey paths are built in a buffer of this many bytes (terminator included).
constexpr size_t kPathBufferSize = 256;
constexpr size_t kNameBufferSize = 256;
// A Run command that does not fit is not taken for chromaweave's.
constexpr size_t kCommandBufferSize = 1024;

constexpr const char *kSettingsKey = "Software\\kelpworks\\chromaweave";
constexpr const char *kMakerKey = "Software\\kelpworks";
constexpr const char *kMutexName = "chromaweave mutex";
// chromaweave starts with Windows through a value of this name under the
// current user's Run key; its command names the program file below.
constexpr const char *kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char *kRunValue = "chromaweave";
constexpr const char *kProgramFile = "chromaweave.exe";

// The registry below one root (HKEY_CURRENT_USER in the tool). Every call
// returns a Windows result code. `size` is in characters, terminator included
// on input, excluded on output, as RegEnumKeyExA/RegEnumValueA do.
class Registry {
public:
    virtual ~Registry() = default;
    virtual int32_t openKey(const char *path, uint32_t access, uintptr_t *key) = 0;
    virtual void closeKey(uintptr_t key) = 0;
    virtual int32_t enumKey(uintptr_t key, uint32_t index, char *name, uint32_t *size) = 0;
    virtual int32_t enumValue(uintptr_t key, uint32_t index, char *name, uint32_t *size) = 0;
    virtual int32_t deleteKey(const char *path) = 0;
    // RegQueryValueExA: the value's type, and its data into `data` (capacity
    // `*size` bytes; `*size` becomes the data's length).
    virtual int32_t queryValue(uintptr_t key, const char *name, uint32_t *type, void *data, uint32_t *size) = 0;
    virtual int32_t deleteValue(uintptr_t key, const char *name) = 0;
};

// The rest of the system: the single-instance mutex and the message box.
class Host {
public:
    virtual ~Host() = default;
    // CreateMutexA(initially owned). Returns false when no handle was returned;
    // otherwise sets `alreadyExists` from GetLastError.
    virtual bool createMutex(const char *name, bool *alreadyExists) = 0;
    virtual void releaseMutex() = 0;
    // A message box without owner; a null caption leaves the system's default.
    // Returns the button pressed.
    virtual int32_t message(const char *text, const char *caption, uint32_t style) = 0;
    // IsDBCSLeadByte: whether the byte starts a double-byte character of the
    // ANSI code page.
    virtual bool isLeadByte(uint8_t byte) = 0;
};

// The texts the main flow shows; the tool fills them with Shift-JIS bytes.
struct Texts {
    const char *caption;
    const char *running;
    const char *noSettings;
    const char *question;
    const char *cannotDelete;
    const char *deleted;
};

inline bool keyExists(Registry &registry, const char *path) {
    uintptr_t key = 0;
    if (registry.openKey(path, kKeyQueryValue, &key) != kErrorSuccess) return false;
    registry.closeKey(key);
    return true;
}

// Deletes `path` with everything below it, depth first. The first remaining
// child is taken each time round (index 0), since the previous one is gone.
// A child whose full path does not fit the buffer fails the enumeration,
// and so the whole deletion; subtrees deleted before that stay deleted.
inline bool deleteKeyTree(Registry &registry, const char *path) {
    char buffer[kPathBufferSize];
    // The prefix is the path and a backslash; it must leave room for the
    // terminator, so the capacity handed to the enumeration is at least 1.
    size_t length = std::strlen(path);
    if (length + 2 > kPathBufferSize) return false;
    std::memcpy(buffer, path, length);
    buffer[length] = '\\';
    buffer[length + 1] = '\0';
    size_t p = length + 1;
    for (;;) {
        uintptr_t key = 0;
        if (registry.openKey(path, kKeyEnumerateSubKeys, &key) != kErrorSuccess) return false;
        uint32_t capacity = static_cast<uint32_t>(kPathBufferSize - p);
        int32_t result = registry.enumKey(key, 0, buffer + p, &capacity);
        registry.closeKey(key);
        if (result == kErrorNoMoreItems) return registry.deleteKey(path) == kErrorSuccess;
        if (result != kErrorSuccess) return false;
        if (!deleteKeyTree(registry, buffer)) return false;
    }
}

// Deletes `path` only when it holds neither subkeys nor values.
inline void deleteKeyIfEmpty(Registry &registry, const char *path) {
    uintptr_t key = 0;
    if (registry.openKey(path, kKeyQueryValue | kKeyEnumerateSubKeys, &key) != kErrorSuccess) return;
    char name[kNameBufferSize];
    uint32_t size = kNameBufferSize;
    if (registry.enumKey(key, 0, name, &size) != kErrorNoMoreItems) {
        registry.closeKey(key);
        return;
    }
    size = kNameBufferSize;
    int32_t result = registry.enumValue(key, 0, name, &size);
    registry.closeKey(key);
    if (result == kErrorNoMoreItems) registry.deleteKey(path);
}

namespace detail {

inline char folded(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool sameIgnoringCase(const char *a, const char *b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (folded(a[i]) != folded(b[i])) return false;
    return true;
}

inline bool endsWord(char c) { return c == '\0' || c == ' ' || c == '\t'; }

}  // namespace detail

// Whether a Run command starts chromaweave: the program it names (the text
// in the first pair of quotes, else up to the first ".exe" that ends a
// word, else up to the first space) has the file name chromaweave.exe in
// any letter case. Folders are split at backslashes and slashes found a
// character at a time, so a double-byte character's trail byte is never
// taken for one. `isLeadByte(byte)` is the code page's lead-byte test.
template <class LeadByteTest>
bool startsChromaweave(const char *command, LeadByteTest isLeadByte) {
    auto step = [&](size_t i) {
        return isLeadByte(static_cast<uint8_t>(command[i])) && command[i + 1] ? size_t(2) : size_t(1);
    };
    size_t begin = 0;
    while (command[begin] == ' ' || command[begin] == '\t') ++begin;
    size_t end = std::strlen(command);
    if (command[begin] == '"') {
        ++begin;
        const char *quote = std::strchr(command + begin, '"');
        if (quote) end = static_cast<size_t>(quote - command);
    } else {
        size_t space = end;
        for (size_t i = begin; command[i]; i += step(i)) {
            if (command[i] == '.' && end - i >= 4 && detail::sameIgnoringCase(command + i, ".exe", 4) &&
                detail::endsWord(command[i + 4])) {
                space = i + 4;
                break;
            }
            if ((command[i] == ' ' || command[i] == '\t') && space == end) space = i;
        }
        end = space;
    }
    size_t name = begin;
    for (size_t i = begin; i < end; i += step(i))
        if (command[i] == '\\' || command[i] == '/') name = i + 1;
    size_t length = std::strlen(kProgramFile);
    return end - name == length && detail::sameIgnoringCase(command + name, kProgramFile, length);
}

// Whether the Run key holds chromaweave's value and it starts chromaweave.
inline bool runValueIsOurs(Registry &registry, Host &host) {
    uintptr_t key = 0;
    if (registry.openKey(kRunKey, kKeyQueryValue, &key) != kErrorSuccess) return false;
    char command[kCommandBufferSize];
    uint32_t size = kCommandBufferSize - 1;
    uint32_t type = 0;
    int32_t result = registry.queryValue(key, kRunValue, &type, command, &size);
    registry.closeKey(key);
    if (result != kErrorSuccess || (type != kRegSz && type != kRegExpandSz) || size >= kCommandBufferSize) return false;
    command[size] = '\0';  // a stored string need not end in a NUL
    return startsChromaweave(command, [&host](uint8_t byte) { return host.isLeadByte(byte); });
}

inline bool deleteRunValue(Registry &registry) {
    uintptr_t key = 0;
    if (registry.openKey(kRunKey, kKeySetValue, &key) != kErrorSuccess) return false;
    int32_t result = registry.deleteValue(key, kRunValue);
    registry.closeKey(key);
    return result == kErrorSuccess;
}

// The whole tool: refuse while chromaweave runs, ask, delete, report.
// Returns the process exit code, which is always 0. The settings are the
// settings key and the Run value that starts chromaweave with Windows;
// either is deleted when there, also without the other.
inline int runPurge(Registry &registry, Host &host, const Texts &texts) {
    bool alreadyExists = false;
    bool haveMutex = host.createMutex(kMutexName, &alreadyExists);
    if (haveMutex && alreadyExists) {
        host.message(texts.running, texts.caption, kIconInformation);
        return 0;
    }
    bool settings = keyExists(registry, kSettingsKey);
    bool runValue = runValueIsOurs(registry, host);
    if (!settings && !runValue) {
        host.message(texts.noSettings, texts.caption, kIconInformation);
        return 0;
    }
    int32_t answer = host.message(texts.question, texts.caption, kOkCancel | kIconQuestion | kDefButton2);
    if (answer != kIdOk) return 0;
    if ((settings && !deleteKeyTree(registry, kSettingsKey)) || (runValue && !deleteRunValue(registry))) {
        host.message(texts.cannotDelete, nullptr, kIconWarning);
        return 0;
    }
    if (settings) deleteKeyIfEmpty(registry, kMakerKey);
    host.message(texts.deleted, texts.caption, kIconInformation);
    if (haveMutex) host.releaseMutex();
    return 0;
}

}  // namespace purge
