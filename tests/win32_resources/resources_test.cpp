// The resources compiled into chromaweave.exe, read back from the built
// program in their Japanese language: menu 10, dialogs 20 and 21 and the
// strings 300-346 must stay exactly what the program has always shown.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/win32_resources/template_reader.h"

namespace {

const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// The bytes of one Japanese resource; empty when there is none.
std::vector<uint8_t> resourceBytes(LPCSTR type, WORD id) {
    HRSRC found = FindResourceExA(program(), type, MAKEINTRESOURCEA(id), japanese);
    if (!found) return {};
    const uint8_t *data = static_cast<const uint8_t *>(LockResource(LoadResource(program(), found)));
    return std::vector<uint8_t>(data, data + SizeofResource(program(), found));
}

struct MenuItem {
    uint16_t flags;
    uint16_t id;  // 0 for the popup
    std::u16string text;
};

TEST(Resources, TrayMenu) {
    const MenuItem want[] = {
        {MF_POPUP | MF_END, 0, u"chromaweave"},
        {0, 100, u"設定(&O)..."},
        {0, 0, u""},
        {0, 101, u"壁紙を保存(&S)"},
        {0, 102, u"名前を付けて壁紙を保存(&A)..."},
        {0, 103, u"壁紙を変更(&C)"},
        {0, 0, u""},
        {0, 104, u"壁紙変更の停止(&P)"},
        {0, 0, u""},
        {0, 105, u"バージョン情報(&A)..."},
        {0, 0, u""},
        {MF_END, 106, u"終了(&X)"},
    };
    std::vector<uint8_t> bytes = resourceBytes(MAKEINTRESOURCEA(4) /* RT_MENU */, 10);
    ASSERT_FALSE(bytes.empty()) << "no Japanese menu 10 in " << CW_MAIN_EXE;
    TemplateReader r(bytes);
    EXPECT_EQ(r.dword(), 0u);  // version 0, header offset 0: a plain menu
    for (const MenuItem &item : want) {
        uint16_t flags = r.word();
        uint16_t id = (flags & MF_POPUP) ? 0 : r.word();
        std::u16string text = r.text();
        EXPECT_EQ(flags, item.flags) << utf8(item.text);
        EXPECT_EQ(id, item.id) << utf8(item.text);
        EXPECT_EQ(utf8(text), utf8(item.text));
    }
    EXPECT_TRUE(r.atEnd());
}

struct Control {
    uint32_t style;
    int16_t x, y, cx, cy;
    uint16_t id;
    const char *windowClass;  // upper case
    std::u16string text;      // "#n": the resource n (an icon)
};

struct Dialog {
    uint32_t style;
    int16_t x, y, cx, cy;
    std::u16string caption;
    uint16_t pointSize;
    std::u16string font;
    std::vector<Control> controls;
};

void expectDialog(WORD id, const Dialog &want) {
    std::vector<uint8_t> bytes = resourceBytes(MAKEINTRESOURCEA(5) /* RT_DIALOG */, id);
    ASSERT_FALSE(bytes.empty()) << "no Japanese dialog " << id;
    TemplateReader r(bytes);
    EXPECT_EQ(r.dword(), want.style) << "dialog " << id;
    EXPECT_EQ(r.dword(), 0u) << "extended style of dialog " << id;
    uint16_t count = r.word();
    ASSERT_EQ(count, want.controls.size()) << "dialog " << id;
    int16_t box[4];
    for (int16_t &v : box) v = int16_t(r.word());
    EXPECT_EQ(box[0], want.x);
    EXPECT_EQ(box[1], want.y);
    EXPECT_EQ(box[2], want.cx);
    EXPECT_EQ(box[3], want.cy);
    EXPECT_EQ(utf8(r.nameOrOrdinal()), "") << "menu of dialog " << id;
    EXPECT_EQ(utf8(r.nameOrOrdinal()), "") << "class of dialog " << id;
    EXPECT_EQ(utf8(r.text()), utf8(want.caption));
    EXPECT_EQ(r.word(), want.pointSize);
    EXPECT_EQ(utf8(r.text()), utf8(want.font));
    for (const Control &c : want.controls) {
        r.alignDword();
        SCOPED_TRACE(testing::Message() << "dialog " << id << " control " << c.id << " " << utf8(c.text));
        EXPECT_EQ(r.dword(), c.style);
        EXPECT_EQ(r.dword(), 0u);
        int16_t place[4];
        for (int16_t &v : place) v = int16_t(r.word());
        EXPECT_EQ(place[0], c.x);
        EXPECT_EQ(place[1], c.y);
        EXPECT_EQ(place[2], c.cx);
        EXPECT_EQ(place[3], c.cy);
        EXPECT_EQ(r.word(), c.id);
        EXPECT_EQ(className(r.nameOrOrdinal()), c.windowClass);
        EXPECT_EQ(utf8(r.nameOrOrdinal()), utf8(c.text));
        EXPECT_EQ(r.word(), 0u);  // no creation data
    }
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.atEnd());
}

// Styles: a visible child; buttons, edits and lists take the tab stop.
const uint32_t child = WS_CHILD | WS_VISIBLE;
const uint32_t popupDialog = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
const uint32_t digitsEdit = child | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL;
const uint32_t spinner = child | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_NOTHOUSANDS;
const uint32_t checkBox = child | WS_TABSTOP | BS_AUTOCHECKBOX;
const uint16_t none = 0xFFFF;  // a control without an id (-1)

TEST(Resources, SettingsDialog) {
    expectDialog(
        20,
        Dialog{
            popupDialog,
            0,
            0,
            172,
            218,
            u"chromaweave 設定",
            9,
            u"ＭＳ Ｐゴシック",
            {
                {child | WS_TABSTOP | BS_DEFPUSHBUTTON, 64, 196, 48, 14, 1, "BUTTON", u"OK"},
                {child | WS_TABSTOP | BS_PUSHBUTTON, 116, 196, 48, 14, 2, "BUTTON", u"キャンセル"},
                {child | BS_GROUPBOX, 8, 8, 156, 72, none, "BUTTON", u"画像の大きさ"},
                {child | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 16, 20, 128, 8, 200, "BUTTON",
                 u"リストから選ぶ(&L)"},
                {child | BS_AUTORADIOBUTTON, 16, 48, 48, 8, 201, "BUTTON", u"指定する(&S)"},
                {child | CBS_DROPDOWNLIST | WS_VSCROLL | WS_GROUP | WS_TABSTOP, 24, 32, 64, 128, 202, "COMBOBOX", u""},
                {child | WS_GROUP | SS_LEFT, 24, 62, 24, 8, 203, "STATIC", u"幅(&W):"},
                {digitsEdit, 52, 60, 32, 12, 204, "EDIT", u""},
                {spinner, 74, 60, 10, 12, 205, "MSCTLS_UPDOWN32", u""},
                {child | WS_GROUP | SS_LEFT, 88, 62, 32, 8, 206, "STATIC", u"高さ(&H):"},
                {digitsEdit, 124, 60, 32, 12, 207, "EDIT", u""},
                {spinner, 46, 60, 10, 12, 208, "MSCTLS_UPDOWN32", u""},
                {child | WS_GROUP | SS_LEFT, 8, 90, 36, 8, none, "STATIC", u"変更間隔(&I):"},
                {digitsEdit, 52, 88, 32, 12, 209, "EDIT", u""},
                {spinner, 74, 88, 10, 12, 210, "MSCTLS_UPDOWN32", u""},
                {child | CBS_DROPDOWNLIST | WS_TABSTOP, 88, 88, 32, 64, 211, "COMBOBOX", u""},
                {child | WS_GROUP | SS_LEFT, 8, 104, 104, 8, none, "STATIC", u"壁紙ファイルの保存先フォルダ(&F):"},
                {child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 16, 116, 132, 12, 212, "EDIT", u""},
                {child | WS_TABSTOP | BS_PUSHBUTTON, 152, 116, 12, 12, 213, "BUTTON", u"..."},
                {checkBox, 8, 132, 136, 9, 214, "BUTTON", u"壁紙ファイルに連番を付けて保存する(&N)"},
                {checkBox, 8, 144, 96, 8, 215, "BUTTON", u"終了時に壁紙を元に戻す(&R)"},
                {checkBox, 16, 156, 120, 9, 216, "BUTTON", u"終了時に壁紙ファイルを削除する(&D)"},
                {checkBox, 8, 168, 104, 9, 217, "BUTTON", u"上書き保存時に確認を取る(&O)"},
                {checkBox, 8, 180, 112, 9, 218, "BUTTON", u"Active Desktop を検出しない(&A)"},
            }});
}

TEST(Resources, AboutDialog) {
    expectDialog(21, Dialog{popupDialog,
                            0,
                            0,
                            160,
                            74,
                            u"バージョン情報",
                            9,
                            u"ＭＳ Ｐゴシック",
                            {
                                {child | WS_TABSTOP | BS_DEFPUSHBUTTON, 56, 52, 48, 14, 1, "BUTTON", u"OK"},
                                {child | SS_ICON, 8, 8, 16, 16, none, "STATIC", u"#1"},
                                {child | WS_GROUP | SS_CENTER, 32, 8, 120, 16, none, "STATIC",
                                 u"chromaweave ver.0.1.2\nタイル壁紙を織り続けるソフト"},
                                {child | SS_CENTER | SS_NOTIFY, 44, 24, 96, 9, 200, "STATIC",
                                 u"https://kelpworks.example.jp/chromaweave/"},
                                {child | WS_GROUP | SS_LEFT, 32, 36, 48, 8, none, "STATIC", u"壁紙変更回数:"},
                                {child | WS_GROUP | SS_LEFT, 84, 36, 68, 8, 201, "STATIC", u""},
                            }});
}

// String i of the Japanese string table (blocks of 16, each string a
// length and that many UTF-16 units); "absent" when it has no text.
std::u16string tableString(uint16_t id, bool *present) {
    std::vector<uint8_t> block = resourceBytes(MAKEINTRESOURCEA(6) /* RT_STRING */, WORD(id / 16 + 1));
    TemplateReader r(block);
    std::u16string s;
    for (uint16_t i = 0; i <= id % 16 && r.ok() && !block.empty(); ++i) {
        uint16_t length = r.word();
        s.clear();
        for (uint16_t k = 0; k < length; ++k) s += char16_t(r.word());
    }
    *present = !block.empty() && r.ok() && !s.empty();
    return s;
}

TEST(Resources, StringTable) {
    struct Entry {
        uint16_t id;
        std::u16string text;
    };
    const Entry want[] = {
        {300, std::u16string(u"秒\0分\0時間", 6)},
        {310, u"壁紙ファイルの保存先フォルダを選択してください。"},
        {311, std::u16string(u"BMPファイル(*.bmp)\0*.bmp\0すべてのファイル\0*.*\0", 34)},
        {320, u"chromaweave エラー"},
        {330, u"画像の大きさが正しくありません。"},
        {331, u"変更間隔が正しくありません。"},
        {332, u"壁紙の保存先のフォルダが存在しません。\r\n新しく作成しますか?"},
        {333, u"フォルダ作成の確認"},
        {334, u"保存先のフォルダのパスが長すぎます。"},
        {340, u"ファイルの保存ができません。"},
        {341, u"壁紙が設定できません。"},
        {342, u"壁紙が保存できません。\r\n壁紙ファイルのパスが正しいか確認してください。"},
        {343, u"ウィンドウクラスの登録ができません。"},
        {344, u"ウィンドウが作成できません。"},
        {345, u"フォルダが作成できません。"},
        {346, u"Mutex が作成できません。"},
    };
    ASSERT_TRUE(program()) << "cannot load " << CW_MAIN_EXE;
    size_t next = 0;
    for (uint16_t id = 300; id <= 346; ++id) {
        bool present = false;
        std::u16string text = tableString(id, &present);
        const bool listed = next < sizeof want / sizeof want[0] && want[next].id == id;
        EXPECT_EQ(present, listed) << "string " << id;
        if (!listed) continue;
        EXPECT_EQ(utf8(text), utf8(want[next].text)) << "string " << id;
        EXPECT_EQ(text.size(), want[next].text.size()) << "string " << id;
        ++next;
    }
}

}  // namespace
