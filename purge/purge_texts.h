// The removal tool's texts in its two languages, and the choice between them.
// The tool's target compiles this file with -fexec-charset=CP932, so the
// Japanese literals become the Shift-JIS bytes that MessageBoxA shows under
// code page 932; elsewhere (tests) they stay UTF-8. The English ones are ASCII.
#pragma once

#include <cstdint>

#include "purge/purge_logic.h"

namespace purge {

enum class Language { japanese, english };

// The same rule as chromaweave's (the tool shares no code with it): the
// texts are ANSI strings, so Japanese where the ANSI code page can show
// Japanese text — 932, and 65001 (UTF-8) under a Japanese user interface
// language — and English under every other code page.
inline Language languageFor(uint32_t ansiCodePage, uint16_t userInterfaceLanguage) {
    const uint16_t langJapanese = 0x11;  // PRIMARYLANGID of every Japanese LANGID
    if (ansiCodePage == 932) return Language::japanese;
    if (ansiCodePage == 65001 && (userInterfaceLanguage & 0x3FF) == langJapanese) return Language::japanese;
    return Language::english;
}

inline const Texts &japaneseTexts() {
    static const Texts t = {
        "chromaweave 設定情報の削除",
        "起動している chromaweave を終了させてから実行してください。",
        "設定情報はありません。",
        "chromaweave の設定情報を削除してもいいですか?\r\n"
        "(現在 chromaweave を起動している場合は、[OK] を押す前に終了させてください)",
        "レジストリのキーを削除できません。",
        "chromaweave の設定情報を削除しました。\r\n"
        "アンインストールするにはフォルダごと削除してください。",
    };
    return t;
}

inline const Texts &englishTexts() {
    static const Texts t = {
        "Deleting the chromaweave settings",
        "Please exit the running chromaweave before running this.",
        "There are no settings.",
        "Do you want to delete the chromaweave settings?\r\n"
        "(If chromaweave is running now, exit it before you press [OK].)",
        "The registry key cannot be deleted.",
        "The chromaweave settings were deleted.\r\n"
        "To uninstall, delete the whole folder.",
    };
    return t;
}

inline const Texts &textsFor(Language language) {
    return language == Language::japanese ? japaneseTexts() : englishTexts();
}

}  // namespace purge
