// Resources found by language (FindResourceExA), strings read from their
// string-table block and converted to the ANSI code page.
#include "platform/resources_win32.h"

#include "platform/string_table.h"

namespace platform {

const void *Win32Resources::find(LPCSTR type, uint32_t id, uint32_t *size) const {
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    const void *bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes && size) *size = SizeofResource(module, found);
    return bytes;
}

int32_t Win32Resources::loadString(uint32_t id, char *out, int32_t size) const {
    if (size <= 0) return 0;
    out[0] = '\0';
    uint32_t blockSize = 0;
    const uint8_t *block = static_cast<const uint8_t *>(find(RT_STRING, stringBlockOf(id), &blockSize));
    size_t offset = 0, units = 0;
    if (!block || !findBlockString(block, blockSize, id, &offset, &units)) return 0;
    // Resource data is aligned, and so are the 16-bit units in it.
    const wchar_t *text = reinterpret_cast<const wchar_t *>(block + offset);
    int32_t count = int32_t(units);
    // WideCharToMultiByte writes nothing when the whole text does not fit:
    // drop characters from the end until it does (a surrogate pair whole).
    while (count > 0 && WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr) > size - 1) {
        --count;
        if (count > 0 && IS_HIGH_SURROGATE(text[count - 1])) --count;
    }
    int32_t written = count > 0 ? WideCharToMultiByte(CP_ACP, 0, text, count, out, size - 1, nullptr, nullptr) : 0;
    out[written] = '\0';
    return written;
}

HMENU Win32Resources::loadMenu(uint32_t id) const {
    const void *menuTemplate = find(RT_MENU, id, nullptr);
    return menuTemplate ? LoadMenuIndirectA(menuTemplate) : nullptr;
}

HWND Win32Resources::createDialog(uint32_t id, HWND owner, DLGPROC procedure, LPARAM param) const {
    const void *dialogTemplate = find(RT_DIALOG, id, nullptr);
    if (!dialogTemplate) return nullptr;
    return CreateDialogIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(dialogTemplate), owner, procedure, param);
}

}  // namespace platform
