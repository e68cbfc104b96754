// The language of the program's interface: Japanese where Japanese ANSI text
// can be shown, English everywhere else.
#pragma once

#include <cstdint>

enum class UiLanguage { japanese, english };

// The program's texts are ANSI strings, so what decides is the ANSI code
// page: Japanese under 932 (Shift-JIS), and under 65001 (UTF-8) when the user
// interface language is Japanese; English under every other code page, where
// Japanese text would lose its characters.
UiLanguage uiLanguageFor(uint32_t ansiCodePage, uint16_t userInterfaceLanguage);

// The language id (LANGID) of that language's menus, dialogs and strings.
uint16_t resourceLanguageOf(UiLanguage language);
