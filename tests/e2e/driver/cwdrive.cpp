// cwdrive: a small console program the end-to-end tests run under Wine to
// find, read and drive the windows of the programs under test, to check the
// registry and to stand in for chromaweave by holding its mutex.
// Usage: cwdrive COMMAND ARGS... (see usage() below). Window handles are
// printed and taken as decimal numbers. Texts are printed as UTF-8, one line
// each, with backslash, CR and LF escaped as \\, \r and \n.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string toUtf8(const std::wstring& w) {
  if (w.empty())
    return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &s[0], n, nullptr,
                      nullptr);
  return s;
}

HWND toWindow(const std::wstring& s) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(wcstoull(s.c_str(), nullptr, 10)));
}

// One line per text: backslash, CR and LF are written as \\, \r and \n.
std::string escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

int toInt(const std::wstring& s) { return static_cast<int>(wcstol(s.c_str(), nullptr, 0)); }

void printWindow(HWND w) {
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w)));
}

std::wstring windowText(HWND w) {
  // WM_GETTEXT works across processes; the W form leaves the code page
  // conversion of the other program's ANSI text to Wine.
  LRESULT n = SendMessageW(w, WM_GETTEXTLENGTH, 0, 0);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  n = SendMessageW(w, WM_GETTEXT, static_cast<WPARAM>(s.size()), reinterpret_cast<LPARAM>(&s[0]));
  s.resize(static_cast<size_t>(n));
  return s;
}

std::wstring className(HWND w) {
  wchar_t buffer[256] = {0};
  GetClassNameW(w, buffer, 256);
  return buffer;
}

// A top-level window by class and title ("-" matches any), hidden or not.
struct Search {
  const wchar_t* cls;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK matchWindow(HWND w, LPARAM p) {
  Search* s = reinterpret_cast<Search*>(p);
  if (s->cls && className(w) != s->cls)
    return TRUE;
  if (s->title && windowText(w) != s->title)
    return TRUE;
  s->found = w;
  return FALSE;
}

HWND findWindow(const std::wstring& cls, const std::wstring& title) {
  Search s = {cls == L"-" ? nullptr : cls.c_str(), title == L"-" ? nullptr : title.c_str(),
              nullptr};
  EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

int waitWindow(const std::wstring& cls, const std::wstring& title, DWORD timeout) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND w = findWindow(cls, title);
    if (w) {
      printWindow(w);
      return 0;
    }
    if (GetTickCount() - start >= timeout)
      break;
    Sleep(50);
  }
  std::fprintf(stderr, "cwdrive: no window of class %s titled %s\n", toUtf8(cls).c_str(),
               toUtf8(title).c_str());
  return 1;
}

// A dialog counts as gone once hidden: EndDialog hides it at once, while
// Wine may destroy the window itself a little later.
int waitGone(HWND w, DWORD timeout) {
  DWORD start = GetTickCount();
  while (IsWindow(w) && IsWindowVisible(w)) {
    if (GetTickCount() - start >= timeout) {
      std::fprintf(stderr, "cwdrive: window still there\n");
      return 1;
    }
    Sleep(50);
  }
  return 0;
}

HWND control(HWND w, int id) {
  HWND c = GetDlgItem(w, id);
  if (!c)
    std::fprintf(stderr, "cwdrive: no control %d\n", id);
  return c;
}

// The pixels of a screen rectangle, or of an icon drawn on a background of
// one colour, as 32-bit values.
std::vector<uint32_t> capture(HDC source, int x, int y, int w, int h, HICON icon, COLORREF bg) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(dc, bitmap);
  if (icon) {
    HBRUSH brush = CreateSolidBrush(bg);
    RECT r = {0, 0, w, h};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
  } else {
    BitBlt(dc, 0, 0, w, h, source, x, y, SRCCOPY);
  }
  SelectObject(dc, old);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(h), pixels.data(), &bi, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Which system icon a message box shows. Icon handles of another process
// cannot be read under Wine, so the icon's control is read from the screen
// and compared with each system icon drawn on the same background.
const char* iconName(HWND box) {
  static const struct { LPCSTR id; const char* name; } icons[] = {
      {IDI_HAND, "error"}, {IDI_QUESTION, "question"}, {IDI_EXCLAMATION, "warning"},
      {IDI_ASTERISK, "information"}};
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (className(c) != L"Static" || !SendMessageW(c, STM_GETICON, 0, 0))
      continue;
    RECT r;
    GetWindowRect(c, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    std::vector<uint32_t> shown = capture(screen, r.left, r.top, w, h, nullptr, 0);
    COLORREF bg = GetPixel(screen, r.left, r.top);
    ReleaseDC(nullptr, screen);
    for (const auto& i : icons)
      if (capture(nullptr, 0, 0, w, h, LoadIconA(nullptr, i.id), bg) == shown)
        return i.name;
    return "other";
  }
  return "none";
}

// Everything a test checks of a message box, one "name=value" per line.
int describeMessageBox(HWND box) {
  std::printf("caption=%s\n", escaped(toUtf8(windowText(box))).c_str());
  HWND text = GetDlgItem(box, 0xFFFF);
  std::printf("text=%s\n", text ? escaped(toUtf8(windowText(text))).c_str() : "");
  static const struct { int id; const char* name; } buttons[] = {
      {IDOK, "OK"}, {IDCANCEL, "CANCEL"}, {IDABORT, "ABORT"}, {IDRETRY, "RETRY"},
      {IDIGNORE, "IGNORE"}, {IDYES, "YES"}, {IDNO, "NO"}};
  std::string names;
  for (const auto& b : buttons) {
    HWND c = GetDlgItem(box, b.id);
    if (c && IsWindowVisible(c))
      names += std::string(names.empty() ? "" : ",") + b.name;
  }
  std::printf("buttons=%s\n", names.c_str());
  // The default button is the one drawn as default (BS_DEFPUSHBUTTON); Wine's
  // message box marks it so but does not answer DM_GETDEFID for it.
  int defaultId = 0;
  for (const auto& b : buttons) {
    HWND c = GetDlgItem(box, b.id);
    if (c && (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      defaultId = b.id;
  }
  std::printf("default=%d\n", defaultId);
  std::printf("icon=%s\n", iconName(box));
  HWND owner = GetWindow(box, GW_OWNER);
  std::printf("owner=%s\n", owner ? toUtf8(className(owner)).c_str() : "none");
  return 0;
}

int listWindows() {
  struct Lister {
    static BOOL CALLBACK each(HWND w, LPARAM) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      std::printf("%llu pid=%lu visible=%d class=%s title=%s\n",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w)),
                  static_cast<unsigned long>(pid), IsWindowVisible(w) ? 1 : 0,
                  toUtf8(className(w)).c_str(), escaped(toUtf8(windowText(w))).c_str());
      return TRUE;
    }
  };
  EnumWindows(Lister::each, 0);
  return 0;
}

// Holds a named mutex the way chromaweave does (created initially owned).
// Prints "held" and waits to be killed or for `ms`; prints "exists" and ends
// with code 3 when another process holds it already.
int holdMutex(const std::wstring& name, DWORD ms) {
  HANDLE m = CreateMutexW(nullptr, TRUE, name.c_str());
  if (!m) {
    std::printf("failed\n");
    return 2;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    std::printf("exists\n");
    CloseHandle(m);
    return 3;
  }
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(ms);
  ReleaseMutex(m);
  CloseHandle(m);
  return 0;
}

// Holds a named event, which keeps a mutex of that name from being created.
// Prints "held" and waits to be killed.
int holdEvent(const std::wstring& name) {
  HANDLE e = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
  if (!e) {
    std::printf("failed\n");
    return 2;
  }
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(INFINITE);
  CloseHandle(e);
  return 0;
}

// Succeeds once the shell's notification area takes an icon.
int trayReady(DWORD timeout) {
  HWND w = CreateWindowExW(0, L"Static", L"cwdrive tray probe", WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = w;
  data.uID = 1;
  data.uFlags = NIF_ICON;
  data.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  DWORD start = GetTickCount();
  for (;;) {
    if (Shell_NotifyIconW(NIM_ADD, &data)) {
      Shell_NotifyIconW(NIM_DELETE, &data);
      DestroyWindow(w);
      return 0;
    }
    if (GetTickCount() - start >= timeout)
      break;
    Sleep(100);
  }
  DestroyWindow(w);
  std::fprintf(stderr, "cwdrive: the tray does not take icons\n");
  return 1;
}

// Posts the tray callback (message 1024, lParam = mouse message) that a click
// on the icon would send.
int trayClick(const std::wstring& cls, const std::wstring& which, UINT id) {
  HWND w = findWindow(cls, L"-");
  if (!w) {
    std::fprintf(stderr, "cwdrive: no window of class %s\n", toUtf8(cls).c_str());
    return 1;
  }
  UINT down = WM_LBUTTONDOWN, up = WM_LBUTTONUP, dbl = WM_LBUTTONDBLCLK;
  if (which == L"RIGHT") {
    down = WM_RBUTTONDOWN;
    up = WM_RBUTTONUP;
    dbl = WM_RBUTTONDBLCLK;
  }
  if (which == L"DOUBLE") {
    PostMessageW(w, 1024, id, dbl);
    return 0;
  }
  PostMessageW(w, 1024, id, down);
  PostMessageW(w, 1024, id, up);
  return 0;
}

// Removes the tray icon ID of a window, as a taskbar that goes away does.
int trayRemove(const std::wstring& cls, UINT id) {
  HWND w = findWindow(cls, L"-");
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = w;
  data.uID = id;
  return w && Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
}

// Registry under HKEY_CURRENT_USER: create keys, test for one, dump a tree.
int regCreate(const std::vector<std::wstring>& paths) {
  for (const auto& p : paths) {
    HKEY k = nullptr;
    LONG r = RegCreateKeyExW(HKEY_CURRENT_USER, p.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &k, nullptr);
    if (r != ERROR_SUCCESS) {
      std::fprintf(stderr, "cwdrive: cannot create %s (%ld)\n", toUtf8(p).c_str(),
                   static_cast<long>(r));
      return 1;
    }
    RegCloseKey(k);
  }
  return 0;
}

void dumpKey(HKEY parent, const std::wstring& path, const std::wstring& shown) {
  HKEY k = nullptr;
  if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
    return;
  std::printf("[%s]\n", toUtf8(shown).c_str());
  std::vector<std::wstring> values;
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD n = 16384;
    if (RegEnumValueW(k, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    values.push_back(name);
  }
  for (const auto& v : values) {
    DWORD type = 0, size = 0;
    RegQueryValueExW(k, v.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size + 2, 0);
    RegQueryValueExW(k, v.c_str(), nullptr, &type, data.data(), &size);
    if (type == REG_DWORD)
      std::printf("%s=dword:%lu\n", toUtf8(v).c_str(),
                  static_cast<unsigned long>(*reinterpret_cast<DWORD*>(data.data())));
    else if (type == REG_SZ || type == REG_EXPAND_SZ)
      std::printf("%s=\"%s\"\n", toUtf8(v).c_str(),
                  toUtf8(reinterpret_cast<wchar_t*>(data.data())).c_str());
    else
      std::printf("%s=type%lu:%lu bytes\n", toUtf8(v).c_str(), static_cast<unsigned long>(type),
                  static_cast<unsigned long>(size));
  }
  std::vector<std::wstring> children;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD n = 256;
    if (RegEnumKeyExW(k, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    children.push_back(name);
  }
  for (const auto& c : children)
    dumpKey(k, c, shown + L"\\" + c);
  RegCloseKey(k);
}

// reg-set PATH NAME VALUE [PATH NAME VALUE]...: VALUE is dword:N or sz:TEXT.
int regSet(const std::vector<std::wstring>& a) {
  for (size_t i = 0; i + 2 < a.size(); i += 3) {
    HKEY k = nullptr;
    LONG r = RegCreateKeyExW(HKEY_CURRENT_USER, a[i].c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &k, nullptr);
    if (r == ERROR_SUCCESS && a[i + 2].rfind(L"dword:", 0) == 0) {
      DWORD v = static_cast<DWORD>(wcstoul(a[i + 2].c_str() + 6, nullptr, 0));
      r = RegSetValueExW(k, a[i + 1].c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4);
    } else if (r == ERROR_SUCCESS && a[i + 2].rfind(L"sz:", 0) == 0) {
      std::wstring v = a[i + 2].substr(3);
      r = RegSetValueExW(k, a[i + 1].c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                         static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
    } else if (r == ERROR_SUCCESS) {
      r = ERROR_INVALID_PARAMETER;
    }
    if (k)
      RegCloseKey(k);
    if (r != ERROR_SUCCESS) {
      std::fprintf(stderr, "cwdrive: cannot set %s\\%s (%ld)\n", toUtf8(a[i]).c_str(),
                   toUtf8(a[i + 1]).c_str(), static_cast<long>(r));
      return 1;
    }
  }
  return 0;
}

// Leaves everyone only the right to read an HKCU key: opening it for
// writing fails from then on.
int regDenyWrite(const std::wstring& path) {
  HKEY k = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &k) != ERROR_SUCCESS)
    return 1;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  BYTE aclBytes[256];
  PACL acl = reinterpret_cast<PACL>(aclBytes);
  SECURITY_DESCRIPTOR sd;
  bool ok = AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone) &&
            InitializeAcl(acl, sizeof aclBytes, ACL_REVISION) &&
            AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone) &&
            InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
            SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE) &&
            RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
  if (everyone)
    FreeSid(everyone);
  RegCloseKey(k);
  HKEY probe = nullptr;
  if (ok && RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &probe) == ERROR_SUCCESS) {
    RegCloseKey(probe);
    std::fprintf(stderr, "cwdrive: the key still opens for writing\n");
    ok = false;
  }
  return ok ? 0 : 1;
}

int regExists(const std::wstring& path) {
  HKEY k = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
    return 1;
  RegCloseKey(k);
  return 0;
}

int getWallpaper() {
  wchar_t path[MAX_PATH] = {0};
  if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0))
    return 1;
  std::printf("%s\n", toUtf8(path).c_str());
  return 0;
}

// ---- Sub-commands of the chromaweave (tray program) tests ----------------
// Reading and setting the controls of its dialogs from outside the process,
// the tray window's place, and the system wallpaper.

// Sends a real click (BM_CLICK): check boxes and radio buttons change state
// and notify their dialog. Posted, so a message box it opens does not block.
int buttonClick(HWND dialog, int id) {
  HWND b = control(dialog, id);
  return b && PostMessageW(b, BM_CLICK, 0, 0) ? 0 : 1;
}

int setText(HWND dialog, int id, const std::wstring& text) {
  HWND c = control(dialog, id);
  return c && SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) ? 0 : 1;
}

// Selects an item and tells the dialog, as a choice with the mouse does.
int selectItem(HWND dialog, int id, int index) {
  HWND c = control(dialog, id);
  if (!c || SendMessageW(c, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != index)
    return 1;
  return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c))
             ? 0 : 1;
}

// "enabled=E checked=C selection=S" of one control (selection: list boxes).
int controlState(HWND dialog, int id) {
  HWND c = control(dialog, id);
  if (!c)
    return 1;
  LRESULT selection = className(c) == L"ComboBox" ? SendMessageW(c, CB_GETCURSEL, 0, 0) : -1;
  std::printf("enabled=%d checked=%d selection=%d\n", IsWindowEnabled(c) ? 1 : 0,
              static_cast<int>(SendMessageW(c, BM_GETCHECK, 0, 0)), static_cast<int>(selection));
  return 0;
}

// The control holding the focus in the window's thread and its selection:
// "focus=ID selection=START,END".
int focusState(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus)
    return 1;
  DWORD start = 0, end = 0;
  SendMessageW(info.hwndFocus, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  std::printf("focus=%d selection=%lu,%lu\n", GetDlgCtrlID(info.hwndFocus),
              static_cast<unsigned long>(start), static_cast<unsigned long>(end));
  return 0;
}

int windowRect(HWND w) {
  RECT r;
  if (!GetWindowRect(w, &r))
    return 1;
  std::printf("%ld %ld %ld %ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
              static_cast<long>(r.right), static_cast<long>(r.bottom));
  return 0;
}

// Sets the wallpaper the way the control panel does (saved to the profile).
int setWallpaper(const std::wstring& path) {
  return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(path.c_str()),
                               SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) ? 0 : 1;
}

// Repaints a window and its children now (the desktop's wallpaper repaint
// can leave the taskbar covered).
int redraw(HWND w) {
  return RedrawWindow(w, nullptr, nullptr,
                      RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW)
             ? 0 : 1;
}

// The texts of a dialog's labels, buttons and boxes (its Static and Button
// controls, pictures left out) in tab order: "ID=TEXT" a line, ID 65535 for
// a control without one.
int labels(HWND dialog) {
  if (!IsWindow(dialog))
    return 1;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    std::wstring kind = className(c);
    bool isStatic = lstrcmpiW(kind.c_str(), L"Static") == 0;
    if (!isStatic && lstrcmpiW(kind.c_str(), L"Button") != 0)
      continue;
    LONG type = GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK;
    if (isStatic && (type == SS_ICON || type == SS_BITMAP))
      continue;
    std::printf("%d=%s\n", GetDlgCtrlID(c), escaped(toUtf8(windowText(c))).c_str());
  }
  return 0;
}

// Every item of a combo box, one line each.
int comboItems(HWND dialog, int id) {
  HWND c = control(dialog, id);
  if (!c)
    return 1;
  LRESULT count = SendMessageW(c, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT n = SendMessageW(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring text(static_cast<size_t>(n < 0 ? 0 : n) + 1, L'\0');
    SendMessageW(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(wcslen(text.c_str()));
    std::printf("%s\n", escaped(toUtf8(text)).c_str());
  }
  return 0;
}

// A visible window owned by OWNER (a dialog's message box).
int waitOwned(HWND owner, DWORD timeout) {
  struct Finder {
    HWND owner;
    HWND found;
    static BOOL CALLBACK each(HWND w, LPARAM p) {
      Finder* f = reinterpret_cast<Finder*>(p);
      if (GetWindow(w, GW_OWNER) != f->owner || !IsWindowVisible(w))
        return TRUE;
      f->found = w;
      return FALSE;
    }
  };
  DWORD start = GetTickCount();
  for (;;) {
    Finder f = {owner, nullptr};
    EnumWindows(Finder::each, reinterpret_cast<LPARAM>(&f));
    if (f.found) {
      printWindow(f.found);
      return 0;
    }
    if (GetTickCount() - start >= timeout)
      break;
    Sleep(50);
  }
  std::fprintf(stderr, "cwdrive: no window owned by that window\n");
  return 1;
}

// A message (a number or a registered message's name) to the first window
// of a class: posted, or sent with the result printed.
UINT messageNumber(const std::wstring& m) {
  if (!m.empty() && m[0] >= L'0' && m[0] <= L'9')
    return static_cast<UINT>(wcstoul(m.c_str(), nullptr, 0));
  return RegisterWindowMessageW(m.c_str());
}

int postOrSend(bool send, const std::wstring& cls, const std::wstring& m, const std::wstring& w,
               const std::wstring& l) {
  HWND window = findWindow(cls, L"-");
  if (!window) {
    std::fprintf(stderr, "cwdrive: no window of class %s\n", toUtf8(cls).c_str());
    return 1;
  }
  WPARAM wParam = static_cast<WPARAM>(wcstoull(w.c_str(), nullptr, 0));
  LPARAM lParam = static_cast<LPARAM>(wcstoll(l.c_str(), nullptr, 0));
  if (!send)
    return PostMessageW(window, messageNumber(m), wParam, lParam) ? 0 : 1;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, messageNumber(m), wParam, lParam, SMTO_NORMAL, 60000, &result))
    return 1;
  std::printf("%llu\n", static_cast<unsigned long long>(result));
  return 0;
}

// A visible popup menu window (class #32768) other than `parent`: the
// submenu a key or a click opened from it.
int waitSubmenu(HWND parent, DWORD timeout) {
  struct Find {
    HWND parent, found;
    static BOOL CALLBACK each(HWND w, LPARAM p) {
      Find* f = reinterpret_cast<Find*>(p);
      if (w != f->parent && IsWindowVisible(w) && className(w) == L"#32768") {
        f->found = w;
        return FALSE;
      }
      return TRUE;
    }
  };
  DWORD start = GetTickCount();
  for (;;) {
    Find f = {parent, nullptr};
    EnumWindows(Find::each, reinterpret_cast<LPARAM>(&f));
    if (f.found) {
      printWindow(f.found);
      return 0;
    }
    if (GetTickCount() - start >= timeout)
      break;
    Sleep(50);
  }
  std::fprintf(stderr, "cwdrive: no submenu\n");
  return 1;
}

// The clipboard's text. Setting it needs a window to own the clipboard
// (with none, SetClipboardData fails): one hidden window, kept for the
// process's life so that the text stays.
HWND clipboardOwner() {
  static HWND owner = CreateWindowExW(0, L"Static", L"cwdrive clipboard", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  return owner;
}

bool openClipboard() {
  // Another program may hold it for a moment.
  for (int i = 0; i < 100; ++i) {
    if (OpenClipboard(clipboardOwner()))
      return true;
    Sleep(20);
  }
  std::fprintf(stderr, "cwdrive: cannot open the clipboard\n");
  return false;
}

int clipboardSet(const std::wstring& text) {
  if (!openClipboard())
    return 1;
  size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool ok = false;
  if (memory) {
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    ok = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory);
    if (!ok)
      GlobalFree(memory);
  }
  CloseClipboard();
  return ok ? 0 : 1;
}

// Prints the clipboard's text (one line, escaped); exit code 1 without text.
int clipboardGet() {
  if (!openClipboard())
    return 1;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (text) {
    std::printf("%s\n", escaped(toUtf8(text)).c_str());
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text ? 0 : 1;
}

// One key for a popup menu: only WM_KEYDOWN, whose result says whether the
// menu was still there (the menu acts on the key down; a key up posted after
// it could find the menu gone already).
int menuKey(HWND menu, WPARAM vk) { return PostMessageW(menu, WM_KEYDOWN, vk, 1) ? 0 : 1; }

// The items of a popup menu window of another process, read by cwhook.dll
// inside that process: a hook on the menu's thread answers a registered
// message with the items (see cwhook.cpp). "ID STATE TEXT" a line.
LRESULT CALLBACK menuReceiver(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA)
    return DefWindowProcW(w, message, wParam, lParam);
  const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  std::wstring* out = reinterpret_cast<std::wstring*>(GetWindowLongPtrW(w, GWLP_USERDATA));
  out->assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
  return TRUE;
}

// Sends the registered message to a menu window with cwhook.dll hooked into
// its thread; returns the text the hook answered (may be empty).
std::wstring askMenuThread(HWND menuWindow, const wchar_t* message, LPARAM lParam) {
  DWORD thread = GetWindowThreadProcessId(menuWindow, nullptr);
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dll(path, n);
  dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"cwhook.dll";
  HMODULE module = LoadLibraryW(dll.c_str());
  HOOKPROC hook = module ? reinterpret_cast<HOOKPROC>(
                               reinterpret_cast<void*>(GetProcAddress(module, "cwdriveMenuHook")))
                         : nullptr;
  std::wstring lines;
  if (!thread || !hook) {
    std::fprintf(stderr, "cwdrive: no menu thread or no cwhook.dll\n");
    return lines;
  }
  WNDCLASSW wc = {};
  wc.lpfnWndProc = menuReceiver;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"cwdrive menu receiver";
  RegisterClassW(&wc);
  HWND receiver = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
  SetWindowLongPtrW(receiver, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&lines));
  HHOOK installed = SetWindowsHookExW(WH_CALLWNDPROC, hook, module, thread);
  DWORD_PTR result = 0;
  // While this waits, the hook's WM_COPYDATA to the receiver is delivered.
  if (installed)
    SendMessageTimeoutW(menuWindow, RegisterWindowMessageW(message),
                        reinterpret_cast<WPARAM>(receiver), lParam, SMTO_NORMAL, 10000, &result);
  if (installed)
    UnhookWindowsHookEx(installed);
  DestroyWindow(receiver);
  return lines;
}

// The items of the menu a window shows or, with an item id, of that item's
// submenu.
int menuItems(HWND menuWindow, int itemId) {
  std::wstring lines = askMenuThread(menuWindow, L"cwdrive read menu", itemId);
  if (lines.empty()) {
    std::fprintf(stderr, "cwdrive: the menu was not read\n");
    return 1;
  }
  std::printf("%s", toUtf8(lines).c_str());
  return 0;
}

// Ends the menu mode of the menu window's thread (EndMenu inside it), the
// submenus with it; waits until the window is gone.
int menuEnd(HWND menuWindow) {
  askMenuThread(menuWindow, L"cwdrive end menu", 0);
  for (int i = 0; i < 200 && IsWindowVisible(menuWindow); ++i)
    Sleep(50);
  if (!IsWindowVisible(menuWindow))
    return 0;
  std::fprintf(stderr, "cwdrive: the menu is still open\n");
  return 1;
}

// -1 when the command is not one of these.
int runShellCommand(const std::vector<std::wstring>& a) {
  size_t n = a.size();
  const std::wstring c = n > 0 ? a[0] : L"";
  if (c == L"button-click" && n == 3)
    return buttonClick(toWindow(a[1]), toInt(a[2]));
  if (c == L"set-text" && n == 4)
    return setText(toWindow(a[1]), toInt(a[2]), a[3]);
  if (c == L"select" && n == 4)
    return selectItem(toWindow(a[1]), toInt(a[2]), toInt(a[3]));
  if (c == L"state" && n == 3)
    return controlState(toWindow(a[1]), toInt(a[2]));
  if (c == L"focus" && n == 2)
    return focusState(toWindow(a[1]));
  if (c == L"rect" && n == 2)
    return windowRect(toWindow(a[1]));
  if (c == L"set-wallpaper" && n == 2)
    return setWallpaper(a[1]);
  if (c == L"redraw" && n == 2)
    return redraw(toWindow(a[1]));
  if (c == L"menu-key" && n == 3)
    return menuKey(toWindow(a[1]), static_cast<WPARAM>(toInt(a[2])));
  if (c == L"labels" && n == 2)
    return labels(toWindow(a[1]));
  if (c == L"menu-items" && (n == 2 || n == 3))
    return menuItems(toWindow(a[1]), n == 3 ? toInt(a[2]) : 0);
  if (c == L"menu-end" && n == 2)
    return menuEnd(toWindow(a[1]));
  if (c == L"wait-submenu" && n == 3)
    return waitSubmenu(toWindow(a[1]), static_cast<DWORD>(toInt(a[2])));
  if (c == L"clipboard-set" && n == 2)
    return clipboardSet(a[1]);
  if (c == L"clipboard-get" && n == 1)
    return clipboardGet();
  if (c == L"combo-items" && n == 3)
    return comboItems(toWindow(a[1]), toInt(a[2]));
  if (c == L"wait-owned" && n == 3)
    return waitOwned(toWindow(a[1]), static_cast<DWORD>(toInt(a[2])));
  if ((c == L"post" || c == L"send") && n == 5)
    return postOrSend(c == L"send", a[1], a[2], a[3], a[4]);
  if (c == L"tray-remove" && n == 3)
    return trayRemove(a[1], static_cast<UINT>(toInt(a[2])));
  return -1;
}

// ---- End of the chromaweave sub-commands --------------------------------

int usage() {
  std::fprintf(stderr,
      "usage: cwdrive COMMAND ...\n"
      "  wait-window CLASS|- TITLE|- TIMEOUT_MS   print the HWND of a top-level window\n"
      "  wait-gone HWND TIMEOUT_MS                wait until the window is hidden or destroyed\n"
      "  text HWND [CONTROL_ID]                   print a window's or control's text\n"
      "  msgbox HWND                              caption, text, buttons, default, icon\n"
      "  click HWND CONTROL_ID [GONE_MS]          WM_COMMAND BN_CLICKED from a control;\n"
      "                                           with GONE_MS, wait until HWND is gone\n"
      "  key HWND VK                              post WM_KEYDOWN and WM_KEYUP\n"
      "  close HWND                               post WM_SYSCOMMAND SC_CLOSE\n"
      "  command CLASS ID                         post WM_COMMAND ID to a window\n"
      "  tray-click CLASS LEFT|RIGHT|DOUBLE [ID]  post the tray callback (1024)\n"
      "  tray-ready TIMEOUT_MS                    wait until the tray takes icons\n"
      "  list-windows                             every top-level window\n"
      "  get-wallpaper                            the desktop wallpaper path\n"
      "  hold-mutex NAME [MS]                     hold a named mutex until killed\n"
      "  reg-create PATH...                       create keys under HKCU\n"
      "  reg-set PATH NAME dword:N|sz:TEXT ...   set values under HKCU (keys created)\n"
      "  reg-exists PATH                          exit code 0 iff the HKCU key exists\n"
      "  reg-deny-write PATH                      let everyone only read the HKCU key\n"
      "  reg-dump PATH                            print the HKCU key tree\n"
      "  button-click HWND CONTROL_ID             BM_CLICK on a dialog control\n"
      "  set-text HWND CONTROL_ID TEXT            WM_SETTEXT on a dialog control\n"
      "  select HWND CONTROL_ID INDEX             CB_SETCURSEL and CBN_SELCHANGE (drop-down list)\n"
      "  state HWND CONTROL_ID                    enabled, checked and selection\n"
      "  focus HWND                               focused control and its selection\n"
      "  rect HWND                                window rectangle: left top right bottom\n"
      "  set-wallpaper PATH                       set and save the system wallpaper\n"
      "  redraw HWND                              repaint a window and its children\n"
      "  menu-key HWND VK                         post WM_KEYDOWN to a popup menu\n"
      "  menu-items HWND [ITEM_ID]                the items of a popup menu (or of the\n"
      "                                           submenu of an item): ID STATE TEXT\n"
      "                                           (STATE: enabled|grayed[,checked][,default]\n"
      "                                           [,bitmap=RRGGBB-RRGGBB][,data=N])\n"
      "  menu-end HWND                            close a popup menu and its submenus\n"
      "  wait-submenu MENU_HWND TIMEOUT_MS        print the HWND of a submenu opened from it\n"
      "  clipboard-set TEXT                       put a text on the clipboard\n"
      "  clipboard-get                            print the clipboard's text\n"
      "  labels HWND                              a dialog's static and button texts: ID=TEXT\n"
      "  combo-items HWND CONTROL_ID              every item of a combo box\n"
      "  wait-owned HWND TIMEOUT_MS               print a visible window owned by HWND\n"
      "  post CLASS MSG WPARAM LPARAM             post a message (number or registered name)\n"
      "  send CLASS MSG WPARAM LPARAM             send it and print the result\n"
      "  tray-remove CLASS ID                     remove a window's tray icon\n"
      "  hold-event NAME                          hold a named event until killed\n");
  return 64;
}

int run(const std::vector<std::wstring>& a) {
  size_t n = a.size();
  const std::wstring c = n > 0 ? a[0] : L"";
  if (c == L"wait-window" && n == 4)
    return waitWindow(a[1], a[2], static_cast<DWORD>(toInt(a[3])));
  if (c == L"wait-gone" && n == 3)
    return waitGone(toWindow(a[1]), static_cast<DWORD>(toInt(a[2])));
  if (c == L"text" && (n == 2 || n == 3)) {
    HWND w = n == 3 ? control(toWindow(a[1]), toInt(a[2])) : toWindow(a[1]);
    if (!w || !IsWindow(w))
      return 1;
    std::printf("%s\n", escaped(toUtf8(windowText(w))).c_str());
    return 0;
  }
  if (c == L"msgbox" && n == 2)
    return IsWindow(toWindow(a[1])) ? describeMessageBox(toWindow(a[1])) : 1;
  if (c == L"click" && (n == 3 || n == 4)) {
    HWND w = toWindow(a[1]);
    int id = toInt(a[2]);
    HWND b = control(w, id);
    if (!b || !PostMessageW(w, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(b)))
      return 1;
    return n == 4 ? waitGone(w, static_cast<DWORD>(toInt(a[3]))) : 0;
  }
  if (c == L"key" && n == 3) {
    HWND w = toWindow(a[1]);
    WPARAM vk = static_cast<WPARAM>(toInt(a[2]));
    return PostMessageW(w, WM_KEYDOWN, vk, 1) && PostMessageW(w, WM_KEYUP, vk, 0xC0000001)
               ? 0 : 1;
  }
  if (c == L"close" && n == 2)
    return PostMessageW(toWindow(a[1]), WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
  if (c == L"command" && n == 3) {
    HWND w = findWindow(a[1], L"-");
    return w && PostMessageW(w, WM_COMMAND, MAKEWPARAM(toInt(a[2]), 0), 0) ? 0 : 1;
  }
  if (c == L"tray-click" && (n == 3 || n == 4))
    return trayClick(a[1], a[2], n == 4 ? static_cast<UINT>(toInt(a[3])) : 0);
  if (c == L"tray-ready" && n == 2)
    return trayReady(static_cast<DWORD>(toInt(a[1])));
  if (c == L"list-windows" && n == 1)
    return listWindows();
  if (c == L"get-wallpaper" && n == 1)
    return getWallpaper();
  if (c == L"hold-mutex" && (n == 2 || n == 3))
    return holdMutex(a[1], n == 3 ? static_cast<DWORD>(toInt(a[2])) : INFINITE);
  if (c == L"hold-event" && n == 2)
    return holdEvent(a[1]);
  if (c == L"reg-create" && n >= 2)
    return regCreate(std::vector<std::wstring>(a.begin() + 1, a.end()));
  if (c == L"reg-set" && n >= 4 && (n - 1) % 3 == 0)
    return regSet(std::vector<std::wstring>(a.begin() + 1, a.end()));
  if (c == L"reg-exists" && n == 2)
    return regExists(a[1]);
  if (c == L"reg-deny-write" && n == 2)
    return regDenyWrite(a[1]);
  if (c == L"reg-dump" && n == 2) {
    dumpKey(HKEY_CURRENT_USER, a[1], a[1]);
    return 0;
  }
  int shellResult = runShellCommand(a);
  if (shellResult >= 0)
    return shellResult;
  return usage();
}

std::wstring fromUtf8(const std::string& s) {
  if (s.empty())
    return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

// serve: runs one command per input line (arguments separated by tabs, UTF-8)
// and ends each answer with a line of the byte 0x1E and the exit code. One
// long-lived process answers far faster than a Wine start per command.
int serve() {
  static char line[65536];
  while (std::fgets(line, sizeof line, stdin)) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
      text.pop_back();
    std::vector<std::wstring> args;
    size_t start = 0;
    for (;;) {
      size_t tab = text.find('\t', start);
      args.push_back(fromUtf8(text.substr(start, tab - start)));
      if (tab == std::string::npos)
        break;
      start = tab + 1;
    }
    int result = args[0] == L"serve" || args[0] == L"hold-mutex" || args[0] == L"hold-event"
                     ? usage() : run(args);
    std::printf("\x1e%d\n", result);
    std::fflush(stdout);
    std::fflush(stderr);
  }
  return 0;
}

}  // namespace

int main() {
  // The wide command line keeps non-ASCII arguments (Japanese titles) intact.
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> a;
  for (int i = 1; i < count; ++i)
    a.push_back(args[i]);
  LocalFree(args);
  int result = a.size() == 1 && a[0] == L"serve" ? serve() : run(a);
  std::fflush(stdout);
  return result;
}
