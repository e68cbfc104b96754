// The language of the program's interface: Japanese where Japanese ANSI text
// can be shown, English everywhere else.
#pragma once

#include <cstdint>

enum class UiLanguage { japanese, english };

// The Windows values the decision spells (app/win32/sdk_values.cpp holds
// them equal to the SDK's).
const uint32_t kCodePageShiftJis = 932;
const uint32_t kCodePageUtf8 = 65001;          // CP_UTF8
const uint16_t kPrimaryLanguageMask = 0x3FF;   // PRIMARYLANGID
const uint16_t kLangJapanese = 0x11;           // LANG_JAPANESE
const uint16_t kLanguageIdJapanese = 0x0411;   // MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)
const uint16_t kLanguageIdEnglishUs = 0x0409;  // MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)

// The program's texts are ANSI strings, so what decides is the ANSI code
// page: Japanese under 932 (Shift-JIS), and under 65001 (UTF-8) when the user
// interface language is Japanese; English under every other code page, where
// Japanese text would lose its characters.
UiLanguage uiLanguageFor(uint32_t ansiCodePage, uint16_t userInterfaceLanguage);

// The language id (LANGID) of that language's menus, dialogs and strings.
uint16_t resourceLanguageOf(UiLanguage language);
