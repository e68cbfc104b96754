// tlStream: open flags and creation modes, reading, writing and moving.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "imagefiles/stream.h"

namespace {

struct TempPath {
    std::string path;
    explicit TempPath(const char *name)
        : path((std::filesystem::temp_directory_path() / (std::string("cw_stream_") + name)).string()) {
        std::remove(path.c_str());
    }
    ~TempPath() { std::remove(path.c_str()); }
    bool exists() const { return std::filesystem::exists(path); }
};

bool writeText(const std::string &path, const char *text, uint32_t flags) {
    tlStream s;
    if (!s.open(path.c_str(), flags)) return false;
    uint32_t n = static_cast<uint32_t>(std::strlen(text));
    return s.write(text, n) == n;
}

std::string readText(const std::string &path) {
    tlStream s;
    if (!s.open(path.c_str(), tlStream::Read | tlStream::OpenExisting)) return "<none>";
    std::string text(s.size(), '\0');
    text.resize(s.read(&text[0], static_cast<uint32_t>(text.size())));
    return text;
}

}  // namespace

TEST(Stream, ContradictoryFlagsAreRefusedBeforeAnything) {
    TempPath file("flags.bin");
    tlStream s;
    EXPECT_FALSE(s.open(file.path.c_str(), tlStream::Write | tlStream::OpenExisting | tlStream::CreateNew));
    EXPECT_FALSE(s.open(file.path.c_str(), tlStream::Write | tlStream::Truncate));
    EXPECT_FALSE(s.open(file.path.c_str(), tlStream::Write | tlStream::Truncate | tlStream::OpenExisting));
    EXPECT_EQ(s.state, 0);
    EXPECT_EQ(s.holder, nullptr);
    EXPECT_FALSE(file.exists());
}

TEST(Stream, CreationModes) {
    TempPath file("modes.bin");
    const uint32_t w = tlStream::Write;
    EXPECT_FALSE(writeText(file.path, "x", w | tlStream::OpenExisting));   // missing file
    EXPECT_FALSE(writeText(file.path, "x", w | tlStream::CreateNew | tlStream::Truncate));
    EXPECT_TRUE(writeText(file.path, "first", w | tlStream::CreateNew));
    EXPECT_FALSE(writeText(file.path, "x", w | tlStream::CreateNew));      // exists
    EXPECT_TRUE(writeText(file.path, "AB", w | tlStream::OpenExisting));   // overwrites in place
    EXPECT_EQ(readText(file.path), "ABrst");
    EXPECT_TRUE(writeText(file.path, "cd", w | tlStream::CreateNew | tlStream::Truncate));
    EXPECT_EQ(readText(file.path), "cd");
    EXPECT_TRUE(writeText(file.path, "replaced", w));                      // create always
    EXPECT_EQ(readText(file.path), "replaced");
}

TEST(Stream, AccessFollowsTheFlags) {
    TempPath file("access.bin");
    ASSERT_TRUE(writeText(file.path, "data", tlStream::Write));
    tlStream reader;
    ASSERT_TRUE(reader.open(file.path.c_str(), tlStream::Read | tlStream::OpenExisting));
    EXPECT_EQ(reader.write("zz", 2), 0u);
    reader.close();
    tlStream writer;
    ASSERT_TRUE(writer.open(file.path.c_str(), tlStream::Write | tlStream::OpenExisting));
    char buffer[4];
    EXPECT_EQ(writer.read(buffer, 4), 0u);
}

TEST(Stream, ReadSeekTellAndEnd) {
    TempPath file("seek.bin");
    ASSERT_TRUE(writeText(file.path, "0123456789", tlStream::Write));
    tlStream s;
    ASSERT_TRUE(s.open(file.path.c_str(), tlStream::Read | tlStream::OpenExisting));
    EXPECT_EQ(s.state, 1);
    EXPECT_EQ(s.size(), 10u);
    char buffer[16] = {};
    EXPECT_TRUE(s.seek(-3, 2));
    EXPECT_EQ(s.tell(), 7u);
    EXPECT_EQ(s.read(buffer, 16), 3u);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(s.read(buffer, 4), 0u);  // at the end
    EXPECT_TRUE(s.seek(2, 0));
    EXPECT_TRUE(s.seek(3, 1));
    EXPECT_EQ(s.tell(), 5u);
    EXPECT_FALSE(s.seek(1, 3));
    EXPECT_FALSE(s.seek(1, -1));
    EXPECT_EQ(s.tell(), 5u);
    EXPECT_TRUE(s.close());
    EXPECT_EQ(s.state, 0);
    EXPECT_EQ(s.holder, nullptr);
    EXPECT_TRUE(s.close());
    EXPECT_EQ(s.read(buffer, 1), 0u);
}

TEST(Stream, ReopeningClosesThePreviousFile) {
    TempPath a("reopen_a.bin"), b("reopen_b.bin");
    ASSERT_TRUE(writeText(a.path, "aaa", tlStream::Write));
    ASSERT_TRUE(writeText(b.path, "bb", tlStream::Write));
    tlStream s;
    ASSERT_TRUE(s.open(a.path.c_str(), tlStream::Read | tlStream::OpenExisting));
    ASSERT_TRUE(s.open(b.path.c_str(), tlStream::Read | tlStream::OpenExisting));
    EXPECT_EQ(s.size(), 2u);
}

TEST(Stream, FoldersAndMissingPathsDoNotOpen) {
    tlStream s;
    std::string folder = std::filesystem::temp_directory_path().string();
    EXPECT_FALSE(s.open(folder.c_str(), tlStream::Read | tlStream::OpenExisting));
    EXPECT_FALSE(s.open((folder + "/cw_no_such_dir/x.bin").c_str(), tlStream::Write));
    EXPECT_EQ(s.holder, nullptr);
}
