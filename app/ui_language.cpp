// The interface language decision.
#include "app/ui_language.h"

UiLanguage uiLanguageFor(uint32_t ansiCodePage, uint16_t userInterfaceLanguage) {
    if (ansiCodePage == kCodePageShiftJis) return UiLanguage::japanese;
    bool japaneseUser = (userInterfaceLanguage & kPrimaryLanguageMask) == kLangJapanese;
    if (ansiCodePage == kCodePageUtf8 && japaneseUser) return UiLanguage::japanese;
    return UiLanguage::english;
}

uint16_t resourceLanguageOf(UiLanguage language) {
    return language == UiLanguage::japanese ? kLanguageIdJapanese : kLanguageIdEnglishUs;
}
