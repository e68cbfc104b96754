// The Windows registry behind the registry layer.
#include "platform/registry_win32.h"

#include <windows.h>

namespace platform {

namespace {

HKEY rootKey(RegistryRoot) { return HKEY_CURRENT_USER; }

REGSAM accessMask(RegistryAccess access) {
    switch (access) {
    case RegistryAccess::read: return KEY_READ;
    case RegistryAccess::queryValue: return KEY_QUERY_VALUE;
    case RegistryAccess::write: return KEY_WRITE;
    case RegistryAccess::create: return KEY_ALL_ACCESS;
    }
    return KEY_READ;
}

}  // namespace

bool Win32Registry::openKey(RegistryRoot root, const char *subkey, RegistryAccess access, RegistryKey *key) {
    HKEY handle = nullptr;
    LONG status;
    if (access == RegistryAccess::create) {
        DWORD disposition = 0;
        char emptyClass[1] = "";
        status = RegCreateKeyExA(rootKey(root), subkey, 0, emptyClass, 0, accessMask(access), nullptr, &handle,
                                 &disposition);
    } else {
        status = RegOpenKeyExA(rootKey(root), subkey, 0, accessMask(access), &handle);
    }
    if (status != ERROR_SUCCESS) return false;
    *key = handle;
    return true;
}

void Win32Registry::closeKey(RegistryKey key) {
    if (key) RegCloseKey(static_cast<HKEY>(key));
}

RegistryResult Win32Registry::queryValue(RegistryKey key, const char *name, void *buffer, uint32_t *size,
                                         RegistryType *type) {
    DWORD length = *size;
    DWORD kind = REG_NONE;
    LONG status = RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, &kind, static_cast<BYTE *>(buffer), &length);
    *size = length;
    if (type) *type = static_cast<RegistryType>(kind);
    switch (status) {
    case ERROR_SUCCESS: return RegistryResult::ok;
    case ERROR_MORE_DATA: return RegistryResult::moreData;
    case ERROR_FILE_NOT_FOUND: return RegistryResult::missing;
    default: return RegistryResult::failed;
    }
}

bool Win32Registry::setValue(RegistryKey key, const char *name, RegistryType type, const void *data, uint32_t size) {
    return RegSetValueExA(static_cast<HKEY>(key), name, 0, static_cast<DWORD>(type), static_cast<const BYTE *>(data),
                          size) == ERROR_SUCCESS;
}

bool Win32Registry::deleteValue(RegistryKey key, const char *name) {
    return RegDeleteValueA(static_cast<HKEY>(key), name) == ERROR_SUCCESS;
}

}  // namespace platform
