// The settings dialog's decisions over the values of its controls: the
// checks of OK in their order with their messages and focus, storing the
// values, and the folder operations (drive roots, existence, creating a
// nested folder) over an injected folder layer (platform/folders.h).
#pragma once

#include <cstdint>

#include "app/paths.h"
#include "app/settings.h"
#include "platform/folders.h"

// Message-box styles and answers, as the Windows message box takes them
// (app/win32/sdk_values.cpp holds them equal to the SDK's).
const uint32_t kBoxExclamation = 0x30;  // MB_ICONEXCLAMATION
const uint32_t kBoxQuestion = 0x20;     // MB_ICONQUESTION
const uint32_t kBoxYesNo = 0x04;        // MB_YESNO
const int32_t kAnswerYes = 6;           // IDYES

// What OK reads from the dialog.
struct SettingsForm {
    bool useCustom;           // radio "specify" checked
    int32_t presetIndex;      // selection of the preset list
    int32_t width;            // signed; text that is no number reads as 0
    int32_t height;
    uint32_t intervalCount;   // unsigned; text that is no number reads as 0
    int32_t unit;             // selection of the unit list; -1 when none
    const char *folder;       // at most 259 characters
    bool useSequentialNo;
    bool restoreWallpaper;
    bool deleteFile;
    bool askOverWrite;
    bool noActiveDesktop;
};

// One message box of the checks and where the focus goes after it.
struct FormMessage {
    uint32_t textId;        // IDS_*; 0: no message, the check passed
    uint32_t captionId;     // IDS_*; 0: the default caption
    uint32_t style;
    int32_t focusControl;   // IDC_*; 0: the focus stays; else focus it and select all
};

// ---- Folders

// A letter, ':' and then the end or one more character (C:, C:\, C:x).
// Only ASCII letters name drives.
bool isDriveRoot(const char *path);
bool folderExists(platform::Folders &folders, const char *path);
bool fileExists(platform::Folders &folders, const char *path);
// Creates every missing folder of path, outermost first; the part before
// the first backslash (the drive) is never tested or created. False for a
// path without a backslash, one longer than 259 bytes, or when a folder
// cannot be created.
bool createFolderPath(platform::Folders &folders, const char *path, LeadByteTest isLeadByte);
// path without one trailing backslash, unless it is a drive root: the form
// the browse dialog opens at and the documents folder is used in. out holds
// 260 bytes and may be path itself.
void withoutTrailingBackslash(const char *path, char *out, LeadByteTest isLeadByte);
// Whether two folder texts name the same folder. The program compares as
// the system does, folding every letter case its code page knows
// (full-width, Greek, Cyrillic); sameFolderText is the portable stand-in.
typedef bool (*FolderTextsEqual)(const char *a, const char *b);
// Folder texts compared without regard to ASCII letter case; double-byte
// characters compare exactly (a trail byte may look like a letter).
bool sameFolderText(const char *a, const char *b, LeadByteTest isLeadByte);

// ---- Checks of OK

// The checks that need no folder access, in order: the custom size, the
// interval (zero, or longer than the timer can run), the folder's length.
FormMessage checkFormValues(const SettingsForm &form);
// The question asked for a missing folder, the reaction to any answer but
// Yes, and the message when creating it failed.
FormMessage missingFolderQuestion();
FormMessage missingFolderDeclined();
FormMessage folderNotCreated();

// The dialog's side of the checks.
class FormPrompter {
public:
    virtual ~FormPrompter() {}
    // Shows the message box with the dialog as owner; returns the answer.
    virtual int32_t show(const FormMessage &message) = 0;
    // Focuses the control and selects all of its text.
    virtual void focusAndSelect(int32_t control) = 0;
};

// Every check in order, stopping at the first failure (its message shown,
// the focus moved). True when the values may be stored; a missing folder
// is created after the user agreed.
bool validateSettingsForm(const SettingsForm &form, platform::Folders &folders,
                          FormPrompter &prompter, LeadByteTest isLeadByte);

// ---- Storing

struct FormChanges {
    bool sizeChanged;      // the picture size in effect differs
    bool intervalChanged;  // Interval in milliseconds differs
};
// Size and interval fields; the folder and the switches follow separately
// because a folder change must still see the old UseSequentialNo.
FormChanges storeSizeAndInterval(const SettingsForm &form, Settings &settings);
void storeSwitches(const SettingsForm &form, Settings &settings);
