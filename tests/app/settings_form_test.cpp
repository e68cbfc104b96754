// The settings dialog's checks in order, their messages and focus, storing,
// and the folder operations over a fake folder layer.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/resources/resource.h"
#include "app/settings_form.h"

namespace {

// A map of existing entries (true: folder); records every folder created.
class FakeFolders : public platform::Folders {
public:
    uint32_t drives = 1u << 2;  // C:
    std::map<std::string, bool> entries;
    std::vector<std::string> created;
    std::string refuse;  // creating this folder fails

    uint32_t logicalDrives() override { return drives; }
    bool findEntry(const char *path, bool *isDirectory) override {
        auto it = entries.find(path);
        if (it == entries.end()) return false;
        *isDirectory = it->second;
        return true;
    }
    bool createDirectory(const char *path) override {
        if (path == refuse || entries.count(path)) return false;
        entries[path] = true;
        created.push_back(path);
        return true;
    }
};

// Answers the questions with a prepared answer and records what it saw.
class FakePrompter : public FormPrompter {
public:
    int32_t answer = kAnswerYes;
    std::vector<FormMessage> shown;
    std::vector<int32_t> focused;
    int32_t show(const FormMessage &message) override {
        shown.push_back(message);
        return answer;
    }
    void focusAndSelect(int32_t control) override { focused.push_back(control); }
};

SettingsForm validForm(const char *folder) {
    SettingsForm f{};
    f.useCustom = false;
    f.presetIndex = 4;
    f.width = 100;
    f.height = 100;
    f.intervalCount = 10;
    f.unit = 1;
    f.folder = folder;
    f.restoreWallpaper = true;
    f.askOverWrite = true;
    return f;
}

}  // namespace

// ---- Folders

TEST(SettingsFormFolders, DriveRoots) {
    EXPECT_TRUE(isDriveRoot("C:"));
    EXPECT_TRUE(isDriveRoot("c:\\"));
    EXPECT_TRUE(isDriveRoot("Z:x"));  // C: and any one character
    EXPECT_FALSE(isDriveRoot("C:\\a"));
    EXPECT_FALSE(isDriveRoot("1:\\"));
    EXPECT_FALSE(isDriveRoot("\\\\"));
    EXPECT_FALSE(isDriveRoot("C"));
    EXPECT_FALSE(isDriveRoot(""));
}

TEST(SettingsFormFolders, ExistenceOfDrivesFoldersAndFiles) {
    FakeFolders folders;
    folders.drives = (1u << 2) | (1u << 25);  // C: and Z:
    EXPECT_TRUE(folderExists(folders, "C:\\"));
    EXPECT_TRUE(folderExists(folders, "z:"));
    EXPECT_FALSE(folderExists(folders, "D:\\"));
    folders.entries["C:\\dir"] = true;
    folders.entries["C:\\dir\\file.bmp"] = false;
    EXPECT_TRUE(folderExists(folders, "C:\\dir"));
    EXPECT_FALSE(folderExists(folders, "C:\\dir\\file.bmp"));
    EXPECT_TRUE(fileExists(folders, "C:\\dir\\file.bmp"));
    EXPECT_FALSE(fileExists(folders, "C:\\dir"));
    EXPECT_FALSE(fileExists(folders, "C:\\missing"));
}

TEST(SettingsFormFolders, NestedFoldersAreCreatedOutermostFirst) {
    FakeFolders folders;
    folders.entries["C:\\a"] = true;
    ASSERT_TRUE(createFolderPath(folders, "C:\\a\\b\\c", noLeadBytes));
    EXPECT_EQ(folders.created, (std::vector<std::string>{"C:\\a\\b", "C:\\a\\b\\c"}));
    // A trailing backslash names nothing more.
    folders.created.clear();
    ASSERT_TRUE(createFolderPath(folders, "C:\\x\\", noLeadBytes));
    EXPECT_EQ(folders.created, (std::vector<std::string>{"C:\\x"}));
    // A doubled backslash adds no folder of its own.
    folders.created.clear();
    ASSERT_TRUE(createFolderPath(folders, "C:\\a\\\\d", noLeadBytes));
    EXPECT_EQ(folders.created, (std::vector<std::string>{"C:\\a\\\\d"}));
}

TEST(SettingsFormFolders, CreationFailures) {
    FakeFolders folders;
    EXPECT_FALSE(createFolderPath(folders, "relative", noLeadBytes));
    EXPECT_FALSE(createFolderPath(folders, "", noLeadBytes));
    folders.refuse = "C:\\a\\b";
    EXPECT_FALSE(createFolderPath(folders, "C:\\a\\b\\c", noLeadBytes));
    EXPECT_EQ(folders.created, (std::vector<std::string>{"C:\\a"}));
    // A missing drive cannot be created.
    FakeFolders noDrive;
    noDrive.drives = 0;
    noDrive.refuse = "Q:\\";
    EXPECT_FALSE(createFolderPath(noDrive, "Q:\\", noLeadBytes));
    std::string tooLong = "C:\\" + std::string(257, 'a');
    EXPECT_FALSE(createFolderPath(folders, tooLong.c_str(), noLeadBytes));
}

TEST(SettingsFormFolders, DoubleByteNamesWhoseTrailByteIsABackslash) {
    // "表" in Shift-JIS is 0x95 0x5C: its trail byte is no separator.
    FakeFolders folders;
    const char path[] = "C:\\\x95\x5C\\sub";
    ASSERT_TRUE(createFolderPath(folders, path, shiftJisLeadByte));
    EXPECT_EQ(folders.created, (std::vector<std::string>{"C:\\\x95\x5C", path}));
    char out[kPathBytes];
    withoutTrailingBackslash("C:\\\x95\x5C", out, shiftJisLeadByte);
    EXPECT_STREQ(out, "C:\\\x95\x5C");
    withoutTrailingBackslash("C:\\\x95\x5C\\", out, shiftJisLeadByte);
    EXPECT_STREQ(out, "C:\\\x95\x5C");
}

TEST(SettingsFormFolders, BrowseStartKeepsDriveRoots) {
    char out[kPathBytes];
    withoutTrailingBackslash("C:\\", out, noLeadBytes);
    EXPECT_STREQ(out, "C:\\");
    withoutTrailingBackslash("C:\\pics\\", out, noLeadBytes);
    EXPECT_STREQ(out, "C:\\pics");
    withoutTrailingBackslash("C:\\pics", out, noLeadBytes);
    EXPECT_STREQ(out, "C:\\pics");
}

TEST(SettingsFormFolders, FolderTextsIgnoreLetterCaseOnly) {
    EXPECT_TRUE(sameFolderText("C:\\Pics", "c:\\PICS", noLeadBytes));
    EXPECT_FALSE(sameFolderText("C:\\Pics", "C:\\Pics2", noLeadBytes));
    EXPECT_FALSE(sameFolderText("C:\\Pics2", "C:\\Pics", noLeadBytes));
    // 0x82 0x61 and 0x82 0x41 are different characters, although the trail
    // bytes look like 'a' and 'A'.
    EXPECT_FALSE(sameFolderText("C:\\\x82\x61", "C:\\\x82\x41", shiftJisLeadByte));
    EXPECT_TRUE(sameFolderText("C:\\\x82\x61", "C:\\\x82\x61", shiftJisLeadByte));
}

// ---- Checks of OK

TEST(SettingsFormChecks, EachFailureWithItsMessageAndFocus) {
    SettingsForm f = validForm("C:\\pics");
    EXPECT_EQ(checkFormValues(f).textId, 0u);

    f.useCustom = true;
    f.width = 0;
    FormMessage m = checkFormValues(f);
    EXPECT_EQ(m.textId, IDS_BAD_SIZE);
    EXPECT_EQ(m.style, kBoxExclamation);
    EXPECT_EQ(m.focusControl, 0);
    f.width = 10;
    f.height = -3;
    EXPECT_EQ(checkFormValues(f).textId, IDS_BAD_SIZE);
    // A preset in use: the custom fields are not checked.
    f.useCustom = false;
    f.width = 0;
    EXPECT_EQ(checkFormValues(f).textId, 0u);

    f.intervalCount = 0;
    for (int32_t unit = 0; unit < 3; ++unit) {
        f.unit = unit;
        m = checkFormValues(f);
        EXPECT_EQ(m.textId, IDS_BAD_INTERVAL);
        EXPECT_EQ(m.focusControl, IDC_INTERVAL);
    }
}

TEST(SettingsFormChecks, IntervalsBeyondTheTimerAreRefused) {
    SettingsForm f = validForm("C:\\pics");
    f.unit = 2;  // hours
    f.intervalCount = 596;  // 2145600000 ms fits
    EXPECT_EQ(checkFormValues(f).textId, 0u);
    f.intervalCount = 597;  // 2149200000 ms does not
    EXPECT_EQ(checkFormValues(f).textId, IDS_BAD_INTERVAL);
    f.intervalCount = 1194;  // wraps to 3 ms as a 32-bit product
    EXPECT_EQ(checkFormValues(f).textId, IDS_BAD_INTERVAL);
    f.unit = 1;
    f.intervalCount = 32767;  // the spinner's top in minutes still fits
    EXPECT_EQ(checkFormValues(f).textId, 0u);
}

TEST(SettingsFormChecks, FolderLengthLeavesRoomForTheNumberedName) {
    // 27 bytes of "\chromaweave_0000000000.bmp" and the NUL: 232 is the limit.
    std::string folder = "C:\\" + std::string(229, 'a');
    ASSERT_EQ(folder.size(), 232u);
    EXPECT_EQ(checkFormValues(validForm(folder.c_str())).textId, 0u);
    folder += "b";
    EXPECT_EQ(checkFormValues(validForm(folder.c_str())).textId, IDS_FOLDER_TOO_LONG);
}

TEST(SettingsFormChecks, OrderStopsAtTheFirstFailure) {
    std::string folder = "C:\\" + std::string(240, 'a');
    SettingsForm f = validForm(folder.c_str());
    f.useCustom = true;
    f.width = 0;
    f.intervalCount = 0;
    FakeFolders folders;
    FakePrompter prompter;
    EXPECT_FALSE(validateSettingsForm(f, folders, prompter, noLeadBytes));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].textId, IDS_BAD_SIZE);
    EXPECT_TRUE(prompter.focused.empty());

    f.width = 5;
    prompter = FakePrompter();
    EXPECT_FALSE(validateSettingsForm(f, folders, prompter, noLeadBytes));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].textId, IDS_BAD_INTERVAL);
    EXPECT_EQ(prompter.focused, (std::vector<int32_t>{IDC_INTERVAL}));

    f.intervalCount = 1;
    prompter = FakePrompter();
    EXPECT_FALSE(validateSettingsForm(f, folders, prompter, noLeadBytes));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].textId, IDS_FOLDER_TOO_LONG);
    EXPECT_TRUE(folders.created.empty());
}

TEST(SettingsFormChecks, MissingFolderAskedThenCreated) {
    FakeFolders folders;
    FakePrompter prompter;
    SettingsForm f = validForm("C:\\one\\two");
    EXPECT_TRUE(validateSettingsForm(f, folders, prompter, noLeadBytes));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].textId, IDS_CREATE_FOLDER);
    EXPECT_EQ(prompter.shown[0].captionId, IDS_CREATE_FOLDER_CAPTION);
    EXPECT_EQ(prompter.shown[0].style, kBoxYesNo | kBoxQuestion);
    EXPECT_EQ(folders.created, (std::vector<std::string>{"C:\\one", "C:\\one\\two"}));
    // Now it exists: no question.
    prompter = FakePrompter();
    EXPECT_TRUE(validateSettingsForm(f, folders, prompter, noLeadBytes));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST(SettingsFormChecks, MissingFolderDeclinedOrNotCreatable) {
    FakeFolders folders;
    FakePrompter prompter;
    prompter.answer = 7;  // No
    SettingsForm f = validForm("C:\\one");
    EXPECT_FALSE(validateSettingsForm(f, folders, prompter, noLeadBytes));
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.focused, (std::vector<int32_t>{IDC_FOLDER}));
    EXPECT_TRUE(folders.created.empty());

    prompter = FakePrompter();
    folders.refuse = "C:\\one";
    EXPECT_FALSE(validateSettingsForm(f, folders, prompter, noLeadBytes));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].textId, IDS_FOLDER_NOT_CREATED);
    EXPECT_EQ(prompter.shown[1].style, kBoxExclamation);
}

// ---- Storing

TEST(SettingsFormStore, SizeChangesOnlyWhenTheSizeInEffectChanges) {
    Settings s;  // preset 4: 120 x 120
    SettingsForm f = validForm("C:\\pics");
    f.width = 0;  // stored although a preset is in use
    FormChanges c = storeSizeAndInterval(f, s);
    EXPECT_FALSE(c.sizeChanged);
    EXPECT_EQ(s.CustomWidth, 0);

    f.useCustom = true;
    f.width = 120;
    f.height = 120;
    EXPECT_FALSE(storeSizeAndInterval(f, s).sizeChanged);  // same size, other source
    f.height = 121;
    EXPECT_TRUE(storeSizeAndInterval(f, s).sizeChanged);
    f.useCustom = false;
    f.presetIndex = 9;
    EXPECT_TRUE(storeSizeAndInterval(f, s).sizeChanged);
    EXPECT_EQ(s.PresetIndex, 9);
}

TEST(SettingsFormStore, IntervalInUnits) {
    Settings s;
    s.Interval = 90000;  // shown as 1 minute
    SettingsForm f = validForm("C:\\pics");
    f.intervalCount = 1;
    FormChanges c = storeSizeAndInterval(f, s);
    EXPECT_TRUE(c.intervalChanged);
    EXPECT_EQ(s.Interval, 60000u);
    // 60 seconds is the same interval as 1 minute.
    f.intervalCount = 60;
    f.unit = 0;
    c = storeSizeAndInterval(f, s);
    EXPECT_FALSE(c.intervalChanged);
    EXPECT_EQ(s.IntervalUnit, 0);
    f.intervalCount = 10;
    f.unit = 2;
    c = storeSizeAndInterval(f, s);
    EXPECT_TRUE(c.intervalChanged);
    EXPECT_EQ(s.Interval, 36000000u);
    // No unit selected: the interval is left alone.
    f.unit = -1;
    f.intervalCount = 5;
    EXPECT_FALSE(storeSizeAndInterval(f, s).intervalChanged);
    EXPECT_EQ(s.IntervalUnit, 2);
}

TEST(SettingsFormStore, Switches) {
    Settings s;
    SettingsForm f = validForm("C:\\pics");
    f.useSequentialNo = true;
    f.restoreWallpaper = false;
    f.deleteFile = true;
    f.askOverWrite = false;
    f.noActiveDesktop = true;
    storeSwitches(f, s);
    EXPECT_TRUE(s.UseSequentialNo);
    EXPECT_FALSE(s.RestoreWallpaper);
    EXPECT_TRUE(s.DeleteFile);
    EXPECT_FALSE(s.AskOverWrite);
    EXPECT_TRUE(s.NoActiveDesktop);
}
