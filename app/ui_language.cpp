// The interface language decision.
#include "app/ui_language.h"

namespace {

const uint32_t codePageShiftJis = 932;
const uint32_t codePageUtf8 = 65001;
const uint16_t primaryLanguageMask = 0x3FF;  // PRIMARYLANGID
const uint16_t langJapanese = 0x11;          // LANG_JAPANESE

}  // namespace

UiLanguage uiLanguageFor(uint32_t ansiCodePage, uint16_t userInterfaceLanguage) {
    if (ansiCodePage == codePageShiftJis) return UiLanguage::japanese;
    bool japaneseUser = (userInterfaceLanguage & primaryLanguageMask) == langJapanese;
    if (ansiCodePage == codePageUtf8 && japaneseUser) return UiLanguage::japanese;
    return UiLanguage::english;
}

uint16_t resourceLanguageOf(UiLanguage language) {
    // MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
    return language == UiLanguage::japanese ? 0x0411 : 0x0409;
}
