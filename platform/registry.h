// The registry layer: open/create a key, read and write values. The settings
// store and the classic desktop way go through it, so both run against an
// in-memory registry in tests.
#pragma once

#include <cstdint>

namespace platform {

enum class RegistryRoot { currentUser };

// How a key is opened: read (KEY_READ), queryValue (KEY_QUERY_VALUE) and
// write (KEY_WRITE) open an existing key; create (KEY_ALL_ACCESS) creates it
// when missing.
enum class RegistryAccess { read, queryValue, write, create };

// Value types with the numbers of REG_NONE, REG_SZ, REG_BINARY and REG_DWORD
// (app/win32/sdk_values.cpp holds them equal), passed to the system as they are.
enum class RegistryType : uint32_t { none = 0, string = 1, binary = 3, dword = 4 };

// Outcome of a value query, after RegQueryValueExA.
enum class RegistryResult {
    ok,        // the data fitted into the buffer
    moreData,  // the value exists but its data is larger than the buffer
    missing,   // no such value
    failed     // any other failure
};

// An open key; null is no key.
typedef void *RegistryKey;

class Registry {
public:
    virtual ~Registry() {}
    // Opens (or, for create, creates) root\subkey; on success *key is an open
    // key the caller must close.
    virtual bool openKey(RegistryRoot root, const char *subkey, RegistryAccess access,
                         RegistryKey *key) = 0;
    virtual void closeKey(RegistryKey key) = 0;
    // Copies the value's data into buffer (capacity *size bytes) and sets
    // *size to the data's length; a string is copied exactly as stored, with
    // or without its terminating NUL. On moreData the buffer content is
    // undefined and *size is the length needed.
    virtual RegistryResult queryValue(RegistryKey key, const char *name, void *buffer,
                                      uint32_t *size, RegistryType *type) = 0;
    virtual bool setValue(RegistryKey key, const char *name, RegistryType type,
                          const void *data, uint32_t size) = 0;
};

}  // namespace platform
