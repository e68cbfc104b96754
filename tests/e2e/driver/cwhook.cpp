// cwhook.dll: the hook cwdrive places on a thread of a program under test to
// read that program's popup menu. Menus under Wine live in the memory of
// their process, so another process cannot read them; this hook runs inside
// the menu's own thread. Test code only: nothing of it is in the programs.
//
// cwdrive sends the registered message "cwdrive read menu" to the menu
// window (class #32768) with its own receiving window in wParam; the hook
// answers with WM_COPYDATA holding one line per item, "ID STATE TEXT" in
// UTF-16, separators as "- separator".
#include <windows.h>

#include <string>

namespace {

// MN_GETHMENU: the menu a popup menu window shows.
const UINT menuOfWindow = 0x01E1;

std::wstring describeMenu(HMENU menu) {
    std::wstring lines;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 256;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) continue;
        if (item.fType & MFT_SEPARATOR) {
            lines += L"- separator\n";
            continue;
        }
        std::wstring state = (item.fState & MFS_GRAYED) ? L"grayed" : L"enabled";
        if (item.fState & MFS_CHECKED) state += L",checked";
        lines += std::to_wstring(item.wID) + L" " + state + L" " + text + L"\n";
    }
    return lines;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK cwdriveMenuHook(int code, WPARAM wParam,
                                                                  LPARAM lParam) {
    static const UINT readMenu = RegisterWindowMessageW(L"cwdrive read menu");
    const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && call->message == readMenu) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(call->hwnd, menuOfWindow, 0, 0));
        std::wstring lines = menu ? describeMenu(menu) : std::wstring(L"! no menu\n");
        COPYDATASTRUCT data = {};
        data.cbData = static_cast<DWORD>(lines.size() * sizeof(wchar_t));
        data.lpData = &lines[0];
        SendMessageW(reinterpret_cast<HWND>(call->wParam), WM_COPYDATA,
                     reinterpret_cast<WPARAM>(call->hwnd), reinterpret_cast<LPARAM>(&data));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
