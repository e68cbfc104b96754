// The Japanese and English interfaces of the built program side by side:
// every menu item, dialog control and string exists in both with the same
// ids, kinds and styles; the English texts are plain ASCII; and no English
// text is wider than its control in the dialog font.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/resources_win32.h"
#include "platform/string_table.h"
#include "tests/win32_resources/template_reader.h"

namespace {

const uint16_t japanese = 0x0411;
const uint16_t english = 0x0409;

platform::Win32Resources resourcesIn(uint16_t language) {
    return platform::Win32Resources(program(), language);
}

bool isAscii(const std::u16string &s) {
    for (char16_t c : s)
        if (c >= 0x80 || (c < 0x20 && c != 0 && c != '\r' && c != '\n')) return false;
    return true;
}

// The ids of one resource type that exist in a language.
std::vector<uint16_t> idsOf(LPCSTR type, uint16_t language) {
    struct Search {
        uint16_t language;
        std::vector<uint16_t> ids;
    } search{language, {}};
    EnumResourceNamesA(
        program(), type,
        [](HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param) -> BOOL {
            Search *s = reinterpret_cast<Search *>(param);
            if (IS_INTRESOURCE(name) && FindResourceExA(module, type, name, s->language))
                s->ids.push_back(uint16_t(reinterpret_cast<uintptr_t>(name)));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&search));
    return search.ids;
}

// ---- Dialog templates (DIALOG, not DIALOGEX)

struct Control {
    uint32_t style, exStyle;
    uint16_t id;
    std::u16string windowClass, text;  // "#n": an ordinal
};

struct DialogTemplate {
    uint32_t style, exStyle;
    std::u16string menu, windowClass, caption, font;
    std::vector<Control> controls;
};

bool readDialog(uint16_t language, uint16_t id, DialogTemplate *dialog) {
    uint32_t size = 0;
    const uint8_t *bytes =
        static_cast<const uint8_t *>(resourcesIn(language).find(RT_DIALOG, id, &size));
    if (!bytes) return false;
    TemplateReader r(bytes, size);
    dialog->style = r.dword();
    dialog->exStyle = r.dword();
    uint16_t count = r.word();
    r.skip(8);  // x, y, cx, cy
    dialog->menu = r.nameOrOrdinal();
    dialog->windowClass = r.nameOrOrdinal();
    dialog->caption = r.text();
    if (dialog->style & DS_SETFONT) {
        r.word();  // point size
        dialog->font = r.text();
    }
    for (uint16_t i = 0; i < count && r.ok(); ++i) {
        r.alignDword();
        Control c;
        c.style = r.dword();
        c.exStyle = r.dword();
        r.skip(8);  // x, y, cx, cy: English texts may need other places
        c.id = r.word();
        c.windowClass = r.nameOrOrdinal();
        c.text = r.nameOrOrdinal();
        r.skip(r.word());  // creation data
        dialog->controls.push_back(c);
    }
    return r.ok();
}

}  // namespace

TEST(Languages, EveryResourceExistsInBoth) {
    ASSERT_TRUE(program()) << "cannot load " << CW_MAIN_EXE;
    for (LPCSTR type : {RT_MENU, RT_DIALOG, RT_STRING}) {
        std::vector<uint16_t> ja = idsOf(type, japanese);
        EXPECT_FALSE(ja.empty());
        EXPECT_EQ(ja, idsOf(type, english)) << "resource type " << uintptr_t(type);
    }
}

// Every string of every block: present in English exactly where it is in
// Japanese, ASCII, with the same NUL-separated parts (the unit names, the
// save filter).
TEST(Languages, Strings) {
    for (uint16_t block : idsOf(RT_STRING, japanese)) {
        for (uint32_t id = (block - 1) * 16u; id < block * 16u; ++id) {
            std::u16string text[2];
            for (int i = 0; i < 2; ++i) {
                uint32_t size = 0;
                const uint8_t *bytes = static_cast<const uint8_t *>(
                    resourcesIn(i ? english : japanese).find(RT_STRING, block, &size));
                size_t offset = 0, units = 0;
                ASSERT_TRUE(bytes && platform::findBlockString(bytes, size, id, &offset, &units))
                    << "string " << id;
                for (size_t k = 0; k < units; ++k)
                    text[i] += char16_t(bytes[offset + 2 * k] | bytes[offset + 2 * k + 1] << 8);
            }
            SCOPED_TRACE(testing::Message() << "string " << id << " \"" << utf8(text[1]) << "\"");
            EXPECT_EQ(text[0].empty(), text[1].empty());
            EXPECT_TRUE(isAscii(text[1]));
            EXPECT_EQ(std::count(text[0].begin(), text[0].end(), u'\0'),
                      std::count(text[1].begin(), text[1].end(), u'\0'));
            EXPECT_EQ(text[1].find(u"??"), std::u16string::npos);
        }
    }
}

// The loader gives each language's own text in the ANSI code page, NULs
// inside kept, and cuts a text that does not fit after a whole character.
TEST(Languages, StringLoader) {
    char text[64];
    EXPECT_EQ(resourcesIn(english).loadString(300, text, sizeof text), 21);
    EXPECT_EQ(std::string(text, 21), std::string("seconds\0minutes\0hours", 21));
    EXPECT_EQ(resourcesIn(english).loadString(320, text, 6), 5);
    EXPECT_STREQ(text, "chrom");
    EXPECT_EQ(resourcesIn(english).loadString(301, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(resourcesIn(english).loadString(999, text, sizeof text), 0);
    if (GetACP() == 932) {
        // Shift-JIS: two bytes a character; "chromaweave " and two whole
        // characters fit 17 bytes, never half of the third.
        EXPECT_EQ(resourcesIn(japanese).loadString(320, text, 17), 16);
        EXPECT_STREQ(text, "chromaweave \x83\x47\x83\x89");
        EXPECT_EQ(resourcesIn(japanese).loadString(320, text, sizeof text), 18);
    }
}

TEST(Languages, Menus) {
    for (uint16_t id : idsOf(RT_MENU, japanese)) {
        HMENU menus[2] = {resourcesIn(japanese).loadMenu(id), resourcesIn(english).loadMenu(id)};
        ASSERT_TRUE(menus[0] && menus[1]) << "menu " << id;
        // Both walked side by side; access keys collected per language.
        std::vector<std::pair<HMENU, HMENU>> pending = {{menus[0], menus[1]}};
        std::map<wchar_t, int> keys[2];
        while (!pending.empty()) {
            auto [ja, en] = pending.back();
            pending.pop_back();
            ASSERT_EQ(GetMenuItemCount(ja), GetMenuItemCount(en)) << "menu " << id;
            for (int i = 0; i < GetMenuItemCount(ja); ++i) {
                MENUITEMINFOW item[2];
                wchar_t text[2][128];
                for (int k = 0; k < 2; ++k) {
                    item[k] = MENUITEMINFOW{};
                    item[k].cbSize = sizeof item[k];
                    item[k].fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
                    item[k].dwTypeData = text[k];
                    item[k].cch = 128;
                    GetMenuItemInfoW(k ? en : ja, i, TRUE, &item[k]);
                    std::u16string s(reinterpret_cast<const char16_t *>(text[k]));
                    size_t amp = s.find(u'&');
                    if (amp != s.npos && amp + 1 < s.size()) ++keys[k][towupper(s[amp + 1])];
                }
                SCOPED_TRACE(testing::Message() << "menu " << id << " item " << item[0].wID);
                if (!item[0].hSubMenu) {
                    EXPECT_EQ(item[0].wID, item[1].wID);
                }
                EXPECT_EQ(item[0].fType, item[1].fType);
                EXPECT_EQ(item[0].fState, item[1].fState);
                EXPECT_EQ(item[0].hSubMenu != nullptr, item[1].hSubMenu != nullptr);
                std::u16string en16(reinterpret_cast<const char16_t *>(text[1]));
                EXPECT_EQ(item[0].cch == 0, en16.empty());
                EXPECT_TRUE(isAscii(en16)) << utf8(en16);
                if (item[0].hSubMenu && item[1].hSubMenu)
                    pending.push_back({item[0].hSubMenu, item[1].hSubMenu});
            }
        }
        // English shares access keys no more than Japanese does.
        int shared[2] = {0, 0};
        for (int k = 0; k < 2; ++k)
            for (const auto &key : keys[k]) shared[k] += key.second - 1;
        EXPECT_LE(shared[1], shared[0]) << "menu " << id;
        DestroyMenu(menus[0]);
        DestroyMenu(menus[1]);
    }
}

// The items the program inserts into the tray menu (strings 352-356): in
// each language one access key each, which no other item of the menu has.
TEST(Languages, InsertedMenuItemsHaveKeysOfTheirOwn) {
    for (uint16_t language : {japanese, english}) {
        SCOPED_TRACE(testing::Message() << "language " << std::hex << language);
        std::map<wchar_t, int> keys;
        auto keyOf = [](const std::u16string &text) -> wchar_t {
            size_t amp = text.find(u'&');
            return amp != text.npos && amp + 1 < text.size() ? towupper(text[amp + 1]) : 0;
        };
        HMENU menu = resourcesIn(language).loadMenu(10);
        ASSERT_TRUE(menu);
        HMENU popup = GetSubMenu(menu, 0);
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            wchar_t text[128] = L"";
            GetMenuStringW(popup, UINT(i), text, 128, MF_BYPOSITION);
            ++keys[keyOf(reinterpret_cast<const char16_t *>(text))];
        }
        DestroyMenu(menu);
        std::vector<std::u16string> inserted;
        for (uint32_t id = 352; id <= 356; ++id) {
            uint32_t size = 0;
            const uint8_t *block = static_cast<const uint8_t *>(
                resourcesIn(language).find(RT_STRING, platform::stringBlockOf(id), &size));
            size_t offset = 0, units = 0;
            ASSERT_TRUE(block && platform::findBlockString(block, size, id, &offset, &units) && units)
                << "string " << id;
            std::u16string text;
            for (size_t k = 0; k < units; ++k)
                text += char16_t(block[offset + 2 * k] | block[offset + 2 * k + 1] << 8);
            inserted.push_back(text);
            ++keys[keyOf(text)];
        }
        for (const std::u16string &text : inserted) {
            wchar_t key = keyOf(text);
            EXPECT_TRUE(key >= L'A' && key <= L'Z') << utf8(text);
            EXPECT_EQ(keys[key], 1) << utf8(text);
        }
    }
}

TEST(Languages, Dialogs) {
    for (uint16_t id : idsOf(RT_DIALOG, japanese)) {
        DialogTemplate ja, en;
        ASSERT_TRUE(readDialog(japanese, id, &ja) && readDialog(english, id, &en)) << id;
        EXPECT_EQ(ja.style, en.style) << "dialog " << id;
        EXPECT_EQ(ja.exStyle, en.exStyle) << "dialog " << id;
        EXPECT_EQ(ja.menu, en.menu) << "dialog " << id;
        EXPECT_EQ(ja.windowClass, en.windowClass) << "dialog " << id;
        EXPECT_TRUE(isAscii(en.caption) && !en.caption.empty()) << "dialog " << id;
        EXPECT_EQ(utf8(en.font), "MS Shell Dlg") << "dialog " << id;
        ASSERT_EQ(ja.controls.size(), en.controls.size()) << "dialog " << id;
        for (size_t i = 0; i < ja.controls.size(); ++i) {
            const Control &j = ja.controls[i], &e = en.controls[i];
            SCOPED_TRACE(testing::Message() << "dialog " << id << " control " << i << " \""
                                            << utf8(e.text) << "\"");
            EXPECT_EQ(j.id, e.id);
            EXPECT_EQ(j.style, e.style);
            EXPECT_EQ(j.exStyle, e.exStyle);
            EXPECT_EQ(className(j.windowClass), className(e.windowClass));
            EXPECT_EQ(j.text.empty(), e.text.empty());
            EXPECT_TRUE(isAscii(e.text));
            // Texts that need no translation, the whole or their first line:
            // OK, "...", the link, an icon, the version line of the About text.
            std::u16string first = j.text.substr(0, j.text.find(u'\n'));
            if (isAscii(first)) {
                EXPECT_EQ(first, e.text.substr(0, e.text.find(u'\n')));
            }
        }
    }
}

// ---- Widths of the English texts

namespace {

const char16_t latinFont[] = u"DejaVu Sans";

// A copy of a dialog template with another font face. The controls keep
// their places relative to the (dword-aligned) start of the first one.
std::vector<uint8_t> withFont(const uint8_t *bytes, uint32_t size, const char16_t *face) {
    TemplateReader r(bytes, size);
    uint32_t style = r.dword();
    r.skip(6);  // extended style, control count
    r.skip(8);  // x, y, cx, cy
    r.nameOrOrdinal();
    r.nameOrOrdinal();
    r.text();
    if (!(style & DS_SETFONT)) return {};
    r.word();  // point size
    uint32_t faceAt = r.position();
    r.text();
    r.alignDword();
    std::vector<uint8_t> copy(bytes, bytes + faceAt);
    for (const char16_t *c = face;; ++c) {
        copy.push_back(uint8_t(*c));
        copy.push_back(uint8_t(*c >> 8));
        if (!*c) break;
    }
    while (copy.size() % 4) copy.push_back(0);
    copy.insert(copy.end(), bytes + r.position(), bytes + size);
    return copy;
}

INT_PTR CALLBACK quietDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The width a control needs besides its text: a check box or radio button
// draws its box (13 pixels at 96 dpi), a gap and a focus frame before the
// text; push buttons and group boxes keep a few pixels at either end.
int32_t decorationWidth(uint32_t style, int32_t dpi) {
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return (13 + 4 + 2) * dpi / 96;
    case BS_GROUPBOX: return 16 * dpi / 96;
    default: return 8 * dpi / 96;
    }
}

// The size of a control's text in its font as the control draws it: statics
// wrap at words within their width, buttons keep one line; "&" marks an
// access key and takes no room.
SIZE drawnSize(HWND control, const wchar_t *text, bool wraps, int32_t width) {
    HDC context = GetDC(control);
    HGDIOBJ old =
        SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT box = {0, 0, wraps ? width : 0, 0};
    DrawTextW(context, text, -1, &box,
              DT_CALCRECT | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(context, old);
    ReleaseDC(control, context);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

// Every text of an open dialog fits its control: no wider than it, and a
// static's wrapped lines no taller than it.
void expectTextsFit(HWND dialog, uint16_t id) {
    HDC screen = GetDC(dialog);
    int32_t dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(dialog, screen);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t text[256] = L"", kind[32] = L"";
        GetWindowTextW(c, text, 256);
        GetClassNameW(c, kind, 32);
        uint32_t style = uint32_t(GetWindowLongW(c, GWL_STYLE));
        bool isStatic = lstrcmpiW(kind, L"Static") == 0;
        bool isButton = lstrcmpiW(kind, L"Button") == 0;
        bool textStatic = isStatic && (style & SS_TYPEMASK) <= SS_RIGHT;
        if (!text[0] || !(isButton || textStatic)) continue;
        RECT client;
        GetClientRect(c, &client);
        int32_t room = client.right - (isButton ? decorationWidth(style, dpi) : 0);
        SIZE need = drawnSize(c, text, isStatic, room);
        SCOPED_TRACE(testing::Message()
                     << "dialog " << id << " control " << GetDlgCtrlID(c) << " \""
                     << utf8(reinterpret_cast<const char16_t *>(text)) << "\"");
        EXPECT_LE(need.cx, room);
        if (isStatic) {
            EXPECT_LE(need.cy, client.bottom);
        }
    }
}

}  // namespace

// Each English dialog is created hidden with its font face replaced by
// DejaVu Sans: the Latin font the English end-to-end prefix shows for
// "MS Shell Dlg", and wider than the fonts Windows maps it to. Dialog units
// follow the font, so the layout is measured as it scales.
TEST(Languages, EnglishTextsFitTheirControls) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    for (uint16_t id : idsOf(RT_DIALOG, english)) {
        uint32_t size = 0;
        const uint8_t *bytes =
            static_cast<const uint8_t *>(resourcesIn(english).find(RT_DIALOG, id, &size));
        std::vector<uint8_t> copy = withFont(bytes, size, latinFont);
        ASSERT_FALSE(copy.empty()) << "dialog " << id;
        HWND dialog = CreateDialogIndirectParamA(
            program(), reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), nullptr, quietDialog, 0);
        ASSERT_TRUE(dialog) << "dialog " << id;
        EXPECT_FALSE(IsWindowVisible(dialog));
        HDC context = GetDC(dialog);
        HGDIOBJ old = SelectObject(
            context, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
        wchar_t face[64] = L"";
        GetTextFaceW(context, 64, face);
        SelectObject(context, old);
        ReleaseDC(dialog, context);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t *>(face)), latinFont);
        expectTextsFit(dialog, id);
        DestroyWindow(dialog);
    }
}
