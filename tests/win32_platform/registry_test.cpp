// The Windows registry layer against a scratch key under HKEY_CURRENT_USER,
// deleted afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/settings.h"
#include "platform/registry_win32.h"

namespace {

class ScratchKey : public ::testing::Test {
protected:
    void SetUp() override {
        std::snprintf(path, sizeof path, "Software\\kelpworks\\chromaweave_scratch_%lu",
                      static_cast<unsigned long>(GetCurrentProcessId()));
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, path);
        HKEY key;
        EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key), ERROR_SUCCESS);
    }
    char path[128];
    platform::Win32Registry registry;
};

TEST_F(ScratchKey, MissingKeyOpensOnlyWithCreate) {
    platform::RegistryKey key = nullptr;
    EXPECT_FALSE(registry.openKey(platform::RegistryRoot::currentUser, path, platform::RegistryAccess::read, &key));
    ASSERT_TRUE(registry.openKey(platform::RegistryRoot::currentUser, path, platform::RegistryAccess::create, &key));
    registry.closeKey(key);
    ASSERT_TRUE(registry.openKey(platform::RegistryRoot::currentUser, path, platform::RegistryAccess::read, &key));
    registry.closeKey(key);
}

TEST_F(ScratchKey, EveryValueType) {
    RegSettings reg(registry);
    ASSERT_TRUE(reg.open(platform::RegistryRoot::currentUser, path, 2));
    EXPECT_TRUE(reg.writeInt("Number", 0xDEADBEEF));
    EXPECT_TRUE(reg.writeString("Text", "C:\\walls"));
    HKEY raw;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_WRITE, &raw), ERROR_SUCCESS);
    const BYTE two[2] = {0x34, 0x12};
    RegSetValueExA(raw, "Short", 0, REG_BINARY, two, 2);
    RegSetValueExA(raw, "NoNul", 0, REG_SZ, reinterpret_cast<const BYTE *>("abc"), 3);
    std::string tooLong(300, 'y');
    RegSetValueExA(raw, "TooLong", 0, REG_SZ, reinterpret_cast<const BYTE *>(tooLong.c_str()), 301);
    RegCloseKey(raw);
    reg.close();

    ASSERT_TRUE(reg.open(platform::RegistryRoot::currentUser, path, 1));
    uint32_t number = 0;
    EXPECT_TRUE(reg.readInt("Number", &number));
    EXPECT_EQ(number, 0xDEADBEEFu);
    EXPECT_TRUE(reg.readInt("Short", &number));
    EXPECT_EQ(number, 0x1234u);
    number = 7;
    EXPECT_FALSE(reg.readInt("Missing", &number));
    EXPECT_FALSE(reg.readInt("Text", &number));  // 9 bytes do not fit into 4
    EXPECT_EQ(number, 7u);

    char buffer[260];
    EXPECT_TRUE(reg.readString("Text", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "C:\\walls");
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_TRUE(reg.readString("NoNul", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "abc");
    std::strcpy(buffer, "previous");
    EXPECT_FALSE(reg.readString("TooLong", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "previous");
    EXPECT_FALSE(reg.readString("Missing", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "previous");
    reg.close();
}

TEST_F(ScratchKey, QueryReportsSizesAndTypes) {
    platform::RegistryKey key = nullptr;
    ASSERT_TRUE(registry.openKey(platform::RegistryRoot::currentUser, path, platform::RegistryAccess::create, &key));
    const char text[] = "hello";
    EXPECT_TRUE(registry.setValue(key, "Greeting", platform::RegistryType::string, text, 6));
    char small[4];
    uint32_t size = sizeof small;
    platform::RegistryType type = platform::RegistryType::none;
    EXPECT_EQ(registry.queryValue(key, "Greeting", small, &size, &type), platform::RegistryResult::moreData);
    EXPECT_EQ(size, 6u);
    char big[16];
    size = sizeof big;
    EXPECT_EQ(registry.queryValue(key, "Greeting", big, &size, &type), platform::RegistryResult::ok);
    EXPECT_EQ(type, platform::RegistryType::string);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(registry.queryValue(key, "Nothing", big, &size, &type), platform::RegistryResult::missing);
    registry.closeKey(key);
}

}  // namespace
