// The settings dialog's checks, storing and folder operations.
#include "app/settings_form.h"

#include <cstring>

#include "app/resources/resource.h"
#include "platform/shell.h"

namespace {

// The longest name written into the wallpaper folder, with its separator.
const char kLongestWallpaperName[] = "\\chromaweave_0000000000.bmp";

// Index of the first backslash at or after from that is a character of its
// own, or the length of path. from must be at a character boundary.
size_t nextBackslash(const char *path, size_t from, LeadByteTest isLeadByte) {
    size_t i = from;
    while (path[i]) {
        if (isLeadByte(static_cast<uint8_t>(path[i])) && path[i + 1]) {
            i += 2;
            continue;
        }
        if (path[i] == '\\') return i;
        ++i;
    }
    return i;
}

// Whether the last character of path is a backslash of its own.
bool endsInBackslash(const char *path, LeadByteTest isLeadByte) {
    size_t length = std::strlen(path);
    if (length == 0) return false;
    size_t last = length;
    for (size_t i = 0; i < length;) {
        last = i;
        i += (isLeadByte(static_cast<uint8_t>(path[i])) && path[i + 1]) ? 2 : 1;
    }
    return path[last] == '\\';
}

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char foldCase(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

void report(FormPrompter &prompter, const FormMessage &message) {
    if (message.textId) prompter.show(message);
    if (message.focusControl) prompter.focusAndSelect(message.focusControl);
}

}  // namespace

// ---- Folders

bool isDriveRoot(const char *path) {
    if (!isAsciiLetter(path[0]) || path[1] != ':') return false;
    return path[2] == '\0' || path[3] == '\0';
}

bool folderExists(platform::Folders &folders, const char *path) {
    if (isDriveRoot(path)) {
        char letter = path[0];
        uint32_t bit = (letter >= 'a' && letter <= 'z') ? uint32_t(letter - 'a')
                                                        : uint32_t(letter - 'A');
        return (folders.logicalDrives() >> bit) & 1;
    }
    bool isDirectory = false;
    return folders.findEntry(path, &isDirectory) && isDirectory;
}

bool fileExists(platform::Folders &folders, const char *path) {
    bool isDirectory = true;
    return folders.findEntry(path, &isDirectory) && !isDirectory;
}

bool createFolderPath(platform::Folders &folders, const char *path, LeadByteTest isLeadByte) {
    size_t length = std::strlen(path);
    if (length >= size_t(kPathBytes)) return false;
    size_t first = nextBackslash(path, 0, isLeadByte);
    if (first == length) return false;
    char prefix[kPathBytes];
    bool creating = false;  // once one folder was missing, all below it are
    for (size_t start = first + 1;;) {
        size_t end = nextBackslash(path, start, isLeadByte);
        std::memcpy(prefix, path, end);
        prefix[end] = '\0';
        // A doubled backslash adds no folder; only the drive alone ("C:\")
        // is tested as it is.
        bool noFolder = end == start && !(start == first + 1 && end == length);
        if (!noFolder && (creating || !folderExists(folders, prefix))) {
            creating = true;
            if (!folders.createDirectory(prefix)) return false;
        }
        // A trailing backslash names no further folder.
        if (end == length || end + 1 == length) return true;
        start = end + 1;
    }
}

void withoutTrailingBackslash(const char *path, char *out, LeadByteTest isLeadByte) {
    size_t length = std::strlen(path);
    if (length >= size_t(kPathBytes)) length = kPathBytes - 1;
    std::memmove(out, path, length);
    out[length] = '\0';
    if (!isDriveRoot(out) && endsInBackslash(out, isLeadByte)) out[std::strlen(out) - 1] = '\0';
}

bool sameFolderText(const char *a, const char *b, LeadByteTest isLeadByte) {
    size_t i = 0;
    for (;;) {
        if (isLeadByte(static_cast<uint8_t>(a[i])) && a[i + 1]) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            i += 2;
            continue;
        }
        if (foldCase(a[i]) != foldCase(b[i])) return false;
        if (a[i] == '\0') return true;
        ++i;
    }
}

// ---- Checks of OK

FormMessage checkFormValues(const SettingsForm &form) {
    if (form.useCustom && (form.width <= 0 || form.height <= 0))
        return FormMessage{IDS_BAD_SIZE, 0, kBoxExclamation, 0};
    // A product beyond the timer's range would wrap around to a short or
    // zero interval: refused like a zero count.
    uint64_t factor = unitFactor(form.unit);
    uint64_t interval = uint64_t(form.intervalCount) * factor;
    if (form.intervalCount == 0 || interval > platform::kLongestTimerPeriod)
        return FormMessage{IDS_BAD_INTERVAL, 0, kBoxExclamation, IDC_INTERVAL};
    if (std::strlen(form.folder) + std::strlen(kLongestWallpaperName) >= size_t(kPathBytes))
        return FormMessage{IDS_FOLDER_TOO_LONG, 0, kBoxExclamation, 0};
    return FormMessage{0, 0, 0, 0};
}

FormMessage missingFolderQuestion() {
    return FormMessage{IDS_CREATE_FOLDER, IDS_CREATE_FOLDER_CAPTION, kBoxYesNo | kBoxQuestion, 0};
}

FormMessage missingFolderDeclined() { return FormMessage{0, 0, 0, IDC_FOLDER}; }

FormMessage folderNotCreated() {
    return FormMessage{IDS_FOLDER_NOT_CREATED, 0, kBoxExclamation, 0};
}

bool validateSettingsForm(const SettingsForm &form, platform::Folders &folders,
                          FormPrompter &prompter, LeadByteTest isLeadByte) {
    FormMessage failure = checkFormValues(form);
    if (failure.textId) {
        report(prompter, failure);
        return false;
    }
    if (folderExists(folders, form.folder)) return true;
    if (prompter.show(missingFolderQuestion()) != kAnswerYes) {
        report(prompter, missingFolderDeclined());
        return false;
    }
    if (!createFolderPath(folders, form.folder, isLeadByte)) {
        report(prompter, folderNotCreated());
        return false;
    }
    return true;
}

// ---- Storing

FormChanges storeSizeAndInterval(const SettingsForm &form, Settings &settings) {
    int32_t oldWidth = 0, oldHeight = 0;
    pictureSize(settings, &oldWidth, &oldHeight);
    settings.UseCustomSize = form.useCustom;
    if (form.presetIndex >= 0 && form.presetIndex < kPresetCount)
        settings.PresetIndex = form.presetIndex;
    // Kept even while a preset is in use; the next start repairs values
    // below 1.
    settings.CustomWidth = form.width;
    settings.CustomHeight = form.height;
    int32_t width = 0, height = 0;
    pictureSize(settings, &width, &height);

    uint32_t oldInterval = settings.Interval;
    if (isValidUnit(form.unit)) {
        settings.IntervalUnit = form.unit;
        settings.Interval = unitsToInterval(form.intervalCount, form.unit);
    }
    return FormChanges{width != oldWidth || height != oldHeight, settings.Interval != oldInterval};
}

void storeSwitches(const SettingsForm &form, Settings &settings) {
    settings.UseSequentialNo = form.useSequentialNo;
    settings.RestoreWallpaper = form.restoreWallpaper;
    settings.DeleteFile = form.deleteFile;
    settings.AskOverWrite = form.askOverWrite;
    settings.NoActiveDesktop = form.noActiveDesktop;
}
