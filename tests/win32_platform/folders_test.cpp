// The Windows folder layer in a scratch folder under the temporary folder,
// removed afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/folders_win32.h"

TEST(Win32Folders, EntriesDrivesAndNewFolders) {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    char scratch[MAX_PATH];
    std::snprintf(scratch, sizeof scratch, "%schromaweave_folders_%lu", temp,
                  static_cast<unsigned long>(GetCurrentProcessId()));
    const std::string inner = std::string(scratch) + "\\inner", file = std::string(scratch) + "\\file.bmp";
    platform::Win32Folders folders;

    bool isDirectory = false;
    EXPECT_FALSE(folders.findEntry(scratch, &isDirectory));
    EXPECT_FALSE(folders.createDirectory(inner.c_str()));  // its parent is missing
    ASSERT_TRUE(folders.createDirectory(scratch));
    EXPECT_FALSE(folders.createDirectory(scratch));  // already there
    ASSERT_TRUE(folders.findEntry(scratch, &isDirectory));
    EXPECT_TRUE(isDirectory);
    EXPECT_TRUE(folders.createDirectory(inner.c_str()));
    HANDLE created =
        CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);
    ASSERT_TRUE(folders.findEntry(file.c_str(), &isDirectory));
    EXPECT_FALSE(isDirectory);

    // The drive of the temporary folder exists.
    const char letter = static_cast<char>(temp[0] & ~0x20);
    ASSERT_TRUE(letter >= 'A' && letter <= 'Z') << temp;
    EXPECT_NE(folders.logicalDrives() & (1u << (letter - 'A')), 0u);

    DeleteFileA(file.c_str());
    RemoveDirectoryA(inner.c_str());
    RemoveDirectoryA(scratch);
    EXPECT_FALSE(folders.findEntry(scratch, &isDirectory));
}
