// The Run value that starts chromaweave with Windows.
#include "app/start_with_windows.h"

#include <cstring>
#include <new>

const char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValueName[] = "chromaweave";

namespace {

const char kProgramFile[] = "chromaweave.exe";

char folded(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool sameIgnoringCase(const char *a, const char *b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (folded(a[i]) != folded(b[i])) return false;
    return true;
}

size_t characterLength(const char *text, size_t i, LeadByteTest isLeadByte) {
    return isLeadByte(static_cast<uint8_t>(text[i])) && text[i + 1] ? 2 : 1;
}

bool endsWord(char c) { return c == '\0' || c == ' ' || c == '\t'; }

// The end of an unquoted program: just after the first ".exe" that ends a
// word, else the first space (or the end).
size_t unquotedEnd(const char *command, size_t from, LeadByteTest isLeadByte) {
    size_t firstSpace = 0;
    bool spaceSeen = false;
    for (size_t i = from; command[i]; i += characterLength(command, i, isLeadByte)) {
        if (command[i] == '.' && std::strlen(command + i) >= 4 && sameIgnoringCase(command + i, ".exe", 4) &&
            endsWord(command[i + 4]))
            return i + 4;
        if (!spaceSeen && (command[i] == ' ' || command[i] == '\t')) {
            firstSpace = i;
            spaceSeen = true;
        }
    }
    return spaceSeen ? firstSpace : std::strlen(command);
}

// The command held by the Run value, or null (missing, not a string, or
// no memory). The caller deletes it.
char *readRunCommand(platform::Registry &registry, platform::RegistryKey key) {
    uint32_t size = 0;
    platform::RegistryType type = platform::RegistryType::none;
    char probe[1];
    platform::RegistryResult found = registry.queryValue(key, kRunValueName, probe, &size, &type);
    if (found != platform::RegistryResult::ok && found != platform::RegistryResult::moreData) return nullptr;
    if (type != platform::RegistryType::string && type != platform::RegistryType::expandString) return nullptr;
    char *command = new (std::nothrow) char[size + 1];
    if (!command) return nullptr;
    uint32_t length = size;
    if (registry.queryValue(key, kRunValueName, command, &length, nullptr) != platform::RegistryResult::ok ||
        length > size) {
        delete[] command;
        return nullptr;
    }
    command[length] = '\0';  // stored strings need not end in a NUL
    return command;
}

}  // namespace

bool runCommandFor(const char *programPath, char *out, uint32_t size) {
    if (size > 0) out[0] = '\0';
    size_t length = std::strlen(programPath);
    if (length == 0 || length + 3 > size || std::strpbrk(programPath, "\"?")) return false;
    out[0] = '"';
    std::memcpy(out + 1, programPath, length);
    out[length + 1] = '"';
    out[length + 2] = '\0';
    return true;
}

bool startsChromaweave(const char *command, LeadByteTest isLeadByte) {
    size_t begin = 0;
    while (command[begin] == ' ' || command[begin] == '\t') ++begin;
    size_t end;
    if (command[begin] == '"') {
        ++begin;
        const char *quote = std::strchr(command + begin, '"');
        end = quote ? size_t(quote - command) : std::strlen(command);
    } else {
        end = unquotedEnd(command, begin, isLeadByte);
    }
    size_t name = begin;
    for (size_t i = begin; i < end; i += characterLength(command, i, isLeadByte))
        if (command[i] == '\\' || command[i] == '/') name = i + 1;
    size_t fileLength = sizeof kProgramFile - 1;
    return end - name == fileLength && sameIgnoringCase(command + name, kProgramFile, fileLength);
}

bool applyStartWithWindows(platform::Registry &registry, bool on, const char *programPath, LeadByteTest isLeadByte) {
    char wanted[kRunCommandBytes];
    if (on && !runCommandFor(programPath, wanted, sizeof wanted)) return false;
    platform::RegistryKey key = nullptr;
    if (!registry.openKey(platform::RegistryRoot::currentUser, kRunKeyPath,
                          on ? platform::RegistryAccess::create : platform::RegistryAccess::read, &key))
        return !on;  // without a Run key there is nothing to remove
    char *stored = readRunCommand(registry, key);
    bool done = true;
    if (on) {
        if (!stored || std::strcmp(stored, wanted) != 0)
            done = registry.setValue(key, kRunValueName, platform::RegistryType::string, wanted,
                                     uint32_t(std::strlen(wanted) + 1));
    } else if (stored && startsChromaweave(stored, isLeadByte)) {
        registry.closeKey(key);
        key = nullptr;
        // Removing needs the right to set values, which a key opened for
        // reading lacks.
        done = registry.openKey(platform::RegistryRoot::currentUser, kRunKeyPath, platform::RegistryAccess::write,
                                &key) &&
               registry.deleteValue(key, kRunValueName);
    }
    delete[] stored;
    if (key) registry.closeKey(key);
    return done;
}
