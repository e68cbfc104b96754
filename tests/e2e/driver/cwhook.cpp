// cwhook.dll: the hook cwdrive places on a thread of a program under test to
// read that program's popup menu. Menus under Wine live in the memory of
// their process, so another process cannot read them; this hook runs inside
// the menu's own thread. Test code only: nothing of it is in the programs.
//
// cwdrive sends the registered message "cwdrive read menu" to the menu
// window (class #32768) with its own receiving window in wParam; the hook
// answers with WM_COPYDATA holding one line per item, "ID STATE TEXT" in
// UTF-16, separators as "- separator". STATE is enabled or grayed, then
// ",checked" and ",default" when so, ",bitmap=RRGGBB-RRGGBB" for an item
// bitmap (its pixels at 0,0 and 1,1) and ",data=N" for item data. With an
// item id in lParam, it describes that item's submenu instead, shown or not.
// The registered message "cwdrive end menu" closes the thread's menu.
#include <windows.h>

#include <string>

namespace {

// MN_GETHMENU: the menu a popup menu window shows.
const UINT menuOfWindow = 0x01E1;

// The colours of a bitmap's pixels at (0, 0) and (1, 1), read here, in the
// process that owns the bitmap.
std::wstring bitmapPixels(HBITMAP bitmap) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    HDC screen = GetDC(nullptr);
    std::wstring out = L"unreadable";
    if (GetDIBits(screen, bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS) &&
        info.bmiHeader.biWidth >= 2 && info.bmiHeader.biHeight != 0) {
        LONG w = info.bmiHeader.biWidth;
        info.bmiHeader.biHeight = -2;  // the top two rows, top first
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        DWORD pixels[2 * 4096] = {};
        if (w <= 4096 && GetDIBits(screen, bitmap, 0, 2, pixels, &info, DIB_RGB_COLORS) == 2) {
            wchar_t text[32];
            wsprintfW(text, L"%06x-%06x", unsigned(pixels[0] & 0xFFFFFF), unsigned(pixels[w + 1] & 0xFFFFFF));
            out = text;
        }
    }
    ReleaseDC(nullptr, screen);
    return out;
}

std::wstring describeMenu(HMENU menu) {
    std::wstring lines;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_BITMAP | MIIM_DATA;
        item.dwTypeData = text;
        item.cch = 256;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) continue;
        if (item.fType & MFT_SEPARATOR) {
            lines += L"- separator\n";
            continue;
        }
        std::wstring state = (item.fState & MFS_GRAYED) ? L"grayed" : L"enabled";
        if (item.fState & MFS_CHECKED) state += L",checked";
        if (item.fState & MFS_DEFAULT) state += L",default";
        if (item.hbmpItem) state += L",bitmap=" + bitmapPixels(item.hbmpItem);
        if (item.dwItemData) state += L",data=" + std::to_wstring(item.dwItemData);
        lines += std::to_wstring(item.wID) + L" " + state + L" " + text + L"\n";
    }
    return lines;
}

// The submenu of the item with that id (a popup item keeps its id too).
HMENU submenuOf(HMENU menu, UINT id) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU;
        if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item) && item.wID == id)
            return item.hSubMenu;
    }
    return nullptr;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK cwdriveMenuHook(int code, WPARAM wParam,
                                                                  LPARAM lParam) {
    static const UINT readMenu = RegisterWindowMessageW(L"cwdrive read menu");
    static const UINT endMenu = RegisterWindowMessageW(L"cwdrive end menu");
    const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    // EndMenu acts on the menu of its own thread: this one.
    if (code == HC_ACTION && call->message == endMenu) EndMenu();
    if (code == HC_ACTION && call->message == readMenu) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(call->hwnd, menuOfWindow, 0, 0));
        // lParam not 0: the submenu of the item with that id, open or not.
        if (menu && call->lParam) menu = submenuOf(menu, static_cast<UINT>(call->lParam));
        std::wstring lines = menu ? describeMenu(menu) : std::wstring(L"! no menu\n");
        COPYDATASTRUCT data = {};
        data.cbData = static_cast<DWORD>(lines.size() * sizeof(wchar_t));
        data.lpData = &lines[0];
        SendMessageW(reinterpret_cast<HWND>(call->wParam), WM_COPYDATA,
                     reinterpret_cast<WPARAM>(call->hwnd), reinterpret_cast<LPARAM>(&data));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
