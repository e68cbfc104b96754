// An in-memory registry: keys and values in maps, for tests and for running
// the settings store without Windows. Creating a key creates the keys on its
// path, as the Windows registry does. Key paths and value names compare
// without regard to ASCII case, as the Windows registry does.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace platform {

class MemoryRegistry : public Registry {
public:
    struct Value {
        RegistryType type = RegistryType::none;
        std::vector<uint8_t> data;
    };

    ~MemoryRegistry() override;

    bool openKey(RegistryRoot root, const char *subkey, RegistryAccess access,
                 RegistryKey *key) override;
    void closeKey(RegistryKey key) override;
    RegistryResult queryValue(RegistryKey key, const char *name, void *buffer,
                              uint32_t *size, RegistryType *type) override;
    bool setValue(RegistryKey key, const char *name, RegistryType type, const void *data,
                  uint32_t size) override;

    // Direct access for tests, bypassing keys and access rights.
    void createKey(const char *subkey);
    bool hasKey(const char *subkey) const;
    void putValue(const char *subkey, const char *name, RegistryType type,
                  const void *data, uint32_t size);
    void putDword(const char *subkey, const char *name, uint32_t value);
    void putString(const char *subkey, const char *name, const char *text);
    // Null when the key or value does not exist.
    const Value *findValue(const char *subkey, const char *name) const;
    // Number of keys opened and not yet closed.
    int32_t openKeys() const { return openCount; }
    // Makes every later openKey fail (a locked or unreachable key).
    bool failOpen = false;

private:
    typedef std::map<std::string, Value> Values;
    struct Handle {
        std::string path;
        RegistryAccess access;
    };
    static std::string fold(const char *text);

    std::map<std::string, Values> keys;
    int32_t openCount = 0;
};

}  // namespace platform
