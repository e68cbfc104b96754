// The Windows values the portable code spells out, held equal to the SDK's
// own definitions at compile time: the portable headers cannot include
// <windows.h>, so each keeps a named copy, and a copy that drifted would
// only show as a wrong box, timer or wallpaper at run time.
#include <windows.h>
// The Active Desktop part of shlobj.h, with the WPSTYLE_ values, is only
// there after wininet.h.
#include <wininet.h>
#include <shlobj.h>

#include "app/desktop.h"
#include "app/messages.h"
#include "app/settings_form.h"
#include "app/ui_language.h"
#include "platform/registry.h"
#include "platform/shell.h"

// Message boxes of the settings checks.
static_assert(kBoxExclamation == MB_ICONEXCLAMATION, "MB_ICONEXCLAMATION");
static_assert(kBoxQuestion == MB_ICONQUESTION, "MB_ICONQUESTION");
static_assert(kBoxYesNo == MB_YESNO, "MB_YESNO");
static_assert(kAnswerYes == IDYES, "IDYES");

// Timers and the main window's own messages.
static_assert(platform::kLongestTimerPeriod == USER_TIMER_MAXIMUM, "USER_TIMER_MAXIMUM");
static_assert(kMsgTray >= WM_USER && kMsgJobDone >= WM_USER && kMsgSaveFailed >= WM_USER &&
                  kMsgTray < WM_APP && kMsgJobDone < WM_APP && kMsgSaveFailed < WM_APP,
              "the main window's messages lie in its class's own range, WM_USER to WM_APP");

// Wallpaper styles, the same in the Active Desktop and the classic way.
static_assert(kWpStyleCenter == WPSTYLE_CENTER, "WPSTYLE_CENTER");
static_assert(kWpStyleTile == WPSTYLE_TILE, "WPSTYLE_TILE");
static_assert(kWpStyleStretch == WPSTYLE_STRETCH, "WPSTYLE_STRETCH");

// Registry value types, passed through as they are.
static_assert(uint32_t(platform::RegistryType::none) == REG_NONE, "REG_NONE");
static_assert(uint32_t(platform::RegistryType::string) == REG_SZ, "REG_SZ");
static_assert(uint32_t(platform::RegistryType::binary) == REG_BINARY, "REG_BINARY");
static_assert(uint32_t(platform::RegistryType::dword) == REG_DWORD, "REG_DWORD");

// The interface language decision.
static_assert(kCodePageUtf8 == CP_UTF8, "CP_UTF8");
static_assert(kPrimaryLanguageMask == PRIMARYLANGID(0xFFFF), "PRIMARYLANGID");
static_assert(kLangJapanese == LANG_JAPANESE, "LANG_JAPANESE");
static_assert(kLanguageIdJapanese == MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), "ja LANGID");
static_assert(kLanguageIdEnglishUs == MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), "en LANGID");
