// In-memory registry for tests and portable runs.
#include "platform/memory_registry.h"

#include <cstring>
#include <new>

namespace platform {

MemoryRegistry::~MemoryRegistry() {}

std::string MemoryRegistry::fold(const char *text) {
    std::string s(text ? text : "");
    for (char &c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

bool MemoryRegistry::openKey(RegistryRoot, const char *subkey, RegistryAccess access,
                             RegistryKey *key) {
    if (failOpen || !subkey) return false;
    std::string path = fold(subkey);
    if (keys.find(path) == keys.end()) {
        if (access != RegistryAccess::create) return false;
        // As RegCreateKeyExA does, every missing key on the way is created.
        for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
            keys[path.substr(0, at)];
        keys[path];
    }
    Handle *handle = new (std::nothrow) Handle{path, access};
    if (!handle) return false;
    *key = handle;
    ++openCount;
    return true;
}

void MemoryRegistry::closeKey(RegistryKey key) {
    if (!key) return;
    delete static_cast<Handle *>(key);
    --openCount;
}

RegistryResult MemoryRegistry::queryValue(RegistryKey key, const char *name, void *buffer,
                                          uint32_t *size, RegistryType *type) {
    Handle *handle = static_cast<Handle *>(key);
    if (!handle || handle->access == RegistryAccess::write) return RegistryResult::failed;
    const Value *value = findValue(handle->path.c_str(), name);
    if (!value) return RegistryResult::missing;
    if (type) *type = value->type;
    uint32_t length = static_cast<uint32_t>(value->data.size());
    if (length > *size) {
        *size = length;
        return RegistryResult::moreData;
    }
    if (length) std::memcpy(buffer, value->data.data(), length);
    *size = length;
    return RegistryResult::ok;
}

bool MemoryRegistry::setValue(RegistryKey key, const char *name, RegistryType type,
                              const void *data, uint32_t size) {
    Handle *handle = static_cast<Handle *>(key);
    if (!handle || handle->access == RegistryAccess::read ||
        handle->access == RegistryAccess::queryValue)
        return false;
    putValue(handle->path.c_str(), name, type, data, size);
    return true;
}

void MemoryRegistry::createKey(const char *subkey) { keys[fold(subkey)]; }

bool MemoryRegistry::hasKey(const char *subkey) const {
    return keys.find(fold(subkey)) != keys.end();
}

void MemoryRegistry::putValue(const char *subkey, const char *name, RegistryType type,
                              const void *data, uint32_t size) {
    Value &value = keys[fold(subkey)][fold(name)];
    value.type = type;
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    value.data.assign(bytes, bytes + size);
}

void MemoryRegistry::putDword(const char *subkey, const char *name, uint32_t value) {
    uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                        uint8_t(value >> 24)};
    putValue(subkey, name, RegistryType::dword, bytes, 4);
}

void MemoryRegistry::putString(const char *subkey, const char *name, const char *text) {
    putValue(subkey, name, RegistryType::string, text,
             static_cast<uint32_t>(std::strlen(text) + 1));
}

const MemoryRegistry::Value *MemoryRegistry::findValue(const char *subkey,
                                                       const char *name) const {
    auto k = keys.find(fold(subkey));
    if (k == keys.end()) return nullptr;
    auto v = k->second.find(fold(name));
    return v == k->second.end() ? nullptr : &v->second;
}

}  // namespace platform
