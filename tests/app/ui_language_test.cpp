// The interface language follows the ANSI code page, not the user interface
// language (except under UTF-8, where both Japanese and English can be shown).
#include <gtest/gtest.h>

#include "app/ui_language.h"

TEST(UiLanguage, FollowsTheAnsiCodePage) {
    const UiLanguage ja = UiLanguage::japanese, en = UiLanguage::english;
    const struct {
        uint32_t codePage;
        uint16_t uiLanguage;
        UiLanguage want;
    } cases[] = {
        {932, 0x0411, ja},                        // Japanese Windows
        {932, 0x0409, ja},                        // Japanese code page, English interface
        {932, 0x0000, ja},   {1252, 0x0409, en},  // Western Windows
        {1252, 0x0411, en},                       // Western code page, Japanese interface: no Shift-JIS
        {65001, 0x0411, ja},                      // UTF-8 with a Japanese interface
        {65001, 0x0811, ja},                      // any Japanese sublanguage
        {65001, 0x0409, en}, {65001, 0x0011, ja}, {65001, 0x0412, en},  // Korean
        {936, 0x0411, en},  // any other code page: English, whatever the interface
        {949, 0x0411, en},   {1251, 0x0419, en},  {0, 0x0411, en},
    };
    for (const auto &c : cases)
        EXPECT_EQ(uiLanguageFor(c.codePage, c.uiLanguage), c.want) << c.codePage << " " << std::hex << c.uiLanguage;
}

TEST(UiLanguage, ResourceLanguages) {
    EXPECT_EQ(resourceLanguageOf(UiLanguage::japanese), 0x0411);
    EXPECT_EQ(resourceLanguageOf(UiLanguage::english), 0x0409);
}
