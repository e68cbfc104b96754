// The Windows registry behind the registry layer (RegOpenKeyExA and friends).
#pragma once

#include "platform/registry.h"

namespace platform {

class Win32Registry : public Registry {
public:
    bool openKey(RegistryRoot root, const char *subkey, RegistryAccess access, RegistryKey *key) override;
    void closeKey(RegistryKey key) override;
    RegistryResult queryValue(RegistryKey key, const char *name, void *buffer, uint32_t *size,
                              RegistryType *type) override;
    bool setValue(RegistryKey key, const char *name, RegistryType type, const void *data, uint32_t size) override;
    bool deleteValue(RegistryKey key, const char *name) override;
};

}  // namespace platform
