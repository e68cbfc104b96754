// chromaweave_purge: deletes chromaweave's settings key, and the Run value
// that starts it with Windows, after asking the user.
// The Win32 side: the registry under HKEY_CURRENT_USER, the mutex and
// MessageBoxA; the decisions live in purge_logic.h.
#include <windows.h>

#include <string>

#include "purge/purge_logic.h"
#include "purge/purge_texts.h"

namespace {

static_assert(purge::kErrorSuccess == ERROR_SUCCESS, "result code");
static_assert(purge::kErrorFileNotFound == ERROR_FILE_NOT_FOUND, "result code");
static_assert(purge::kErrorMoreData == ERROR_MORE_DATA, "result code");
static_assert(purge::kErrorNoMoreItems == ERROR_NO_MORE_ITEMS, "result code");
static_assert(purge::kKeyQueryValue == KEY_QUERY_VALUE, "access right");
static_assert(purge::kKeySetValue == KEY_SET_VALUE, "access right");
static_assert(purge::kRegSz == REG_SZ && purge::kRegExpandSz == REG_EXPAND_SZ, "value type");
static_assert(purge::kKeyEnumerateSubKeys == KEY_ENUMERATE_SUB_KEYS, "access right");
static_assert(purge::kOkCancel == MB_OKCANCEL, "message box style");
static_assert(purge::kIconQuestion == MB_ICONQUESTION, "message box style");
static_assert(purge::kIconWarning == MB_ICONWARNING, "message box style");
static_assert(purge::kIconInformation == MB_ICONINFORMATION, "message box style");
static_assert(purge::kDefButton2 == MB_DEFBUTTON2, "message box style");
static_assert(purge::kIdOk == IDOK, "button id");

// Shift-JIS "設" is 0x90 0xDD: proof that the texts were compiled for code page 932.
static_assert(static_cast<unsigned char>("設"[0]) == 0x90 && static_cast<unsigned char>("設"[1]) == 0xDD &&
                  sizeof("設") == 3,
              "the tool's texts must be compiled with -fexec-charset=CP932");

class Win32Registry : public purge::Registry {
public:
    int32_t openKey(const char *path, uint32_t access, uintptr_t *key) override {
        HKEY h = nullptr;
        LONG r = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &h);
        *key = reinterpret_cast<uintptr_t>(h);
        return r;
    }
    void closeKey(uintptr_t key) override { RegCloseKey(reinterpret_cast<HKEY>(key)); }
    int32_t enumKey(uintptr_t key, uint32_t index, char *name, uint32_t *size) override {
        DWORD n = *size;
        LONG r = RegEnumKeyExA(reinterpret_cast<HKEY>(key), index, name, &n, nullptr, nullptr, nullptr, nullptr);
        *size = n;
        return r;
    }
    int32_t enumValue(uintptr_t key, uint32_t index, char *name, uint32_t *size) override {
        DWORD n = *size;
        LONG r = RegEnumValueA(reinterpret_cast<HKEY>(key), index, name, &n, nullptr, nullptr, nullptr, nullptr);
        *size = n;
        return r;
    }
    int32_t deleteKey(const char *path) override { return RegDeleteKeyA(HKEY_CURRENT_USER, path); }
    int32_t queryValue(uintptr_t key, const char *name, uint32_t *type, void *data, uint32_t *size) override {
        DWORD kind = REG_NONE, n = *size;
        LONG r = RegQueryValueExA(reinterpret_cast<HKEY>(key), name, nullptr, &kind, static_cast<BYTE *>(data), &n);
        *type = kind;
        *size = n;
        return r;
    }
    int32_t deleteValue(uintptr_t key, const char *name) override {
        return RegDeleteValueA(reinterpret_cast<HKEY>(key), name);
    }
};

class Win32Host : public purge::Host {
public:
    // Japanese texts under a code page other than 932 (UTF-8): their
    // Shift-JIS bytes are converted and shown by the Unicode message box.
    explicit Win32Host(bool shiftJisTexts) : shiftJisTexts_(shiftJisTexts) {}
    bool createMutex(const char *name, bool *alreadyExists) override {
        mutex_ = CreateMutexA(nullptr, TRUE, name);
        *alreadyExists = GetLastError() == ERROR_ALREADY_EXISTS;
        return mutex_ != nullptr;
    }
    void releaseMutex() override {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
        mutex_ = nullptr;
    }
    int32_t message(const char *text, const char *caption, uint32_t style) override {
        if (!shiftJisTexts_) return MessageBoxA(nullptr, text, caption, style);
        std::wstring wideCaption = caption ? fromShiftJis(caption) : std::wstring();
        return MessageBoxW(nullptr, fromShiftJis(text).c_str(), caption ? wideCaption.c_str() : nullptr, style);
    }
    bool isLeadByte(uint8_t byte) override { return IsDBCSLeadByte(byte) != 0; }

private:
    static std::wstring fromShiftJis(const char *text) {
        int n = MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
        std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
        if (n > 0) MultiByteToWideChar(932, 0, text, -1, &wide[0], n);
        wide.resize(wide.size() - 1);
        return wide;
    }

    bool shiftJisTexts_;
    HANDLE mutex_ = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    (void)instance;  // kept by the entry point; nothing else needs it
    purge::Language language = purge::languageFor(GetACP(), GetUserDefaultUILanguage());
    Win32Registry registry;
    Win32Host host(language == purge::Language::japanese && GetACP() != 932);
    return purge::runPurge(registry, host, purge::textsFor(language));
}
