// The streams: the file stream's open flags and creation modes, reading,
// writing and moving, and the memory stream against the file stream.
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
    tlFileStream s;
    if (!s.open(path.c_str(), flags)) return false;
    uint32_t n = static_cast<uint32_t>(std::strlen(text));
    return s.write(text, n) == n;
}

std::string readText(const std::string &path) {
    tlFileStream s;
    if (!s.open(path.c_str(), tlFileStream::Read | tlFileStream::OpenExisting)) return "<none>";
    std::string text(s.size(), '\0');
    text.resize(s.read(&text[0], static_cast<uint32_t>(text.size())));
    return text;
}

}  // namespace

TEST(Stream, ContradictoryFlagsAreRefusedBeforeAnything) {
    TempPath file("flags.bin");
    tlFileStream s;
    EXPECT_FALSE(s.open(file.path.c_str(), tlFileStream::Write | tlFileStream::OpenExisting | tlFileStream::CreateNew));
    EXPECT_FALSE(s.open(file.path.c_str(), tlFileStream::Write | tlFileStream::Truncate));
    EXPECT_FALSE(s.open(file.path.c_str(), tlFileStream::Write | tlFileStream::Truncate | tlFileStream::OpenExisting));
    EXPECT_EQ(s.state, 0);
    EXPECT_EQ(s.holder, nullptr);
    EXPECT_FALSE(file.exists());
}

TEST(Stream, CreationModes) {
    TempPath file("modes.bin");
    const uint32_t w = tlFileStream::Write;
    EXPECT_FALSE(writeText(file.path, "x", w | tlFileStream::OpenExisting));  // missing file
    EXPECT_FALSE(writeText(file.path, "x", w | tlFileStream::CreateNew | tlFileStream::Truncate));
    EXPECT_TRUE(writeText(file.path, "first", w | tlFileStream::CreateNew));
    EXPECT_FALSE(writeText(file.path, "x", w | tlFileStream::CreateNew));     // exists
    EXPECT_TRUE(writeText(file.path, "AB", w | tlFileStream::OpenExisting));  // overwrites in place
    EXPECT_EQ(readText(file.path), "ABrst");
    EXPECT_TRUE(writeText(file.path, "cd", w | tlFileStream::CreateNew | tlFileStream::Truncate));
    EXPECT_EQ(readText(file.path), "cd");
    EXPECT_TRUE(writeText(file.path, "replaced", w));  // create always
    EXPECT_EQ(readText(file.path), "replaced");
}

TEST(Stream, AccessFollowsTheFlags) {
    TempPath file("access.bin");
    ASSERT_TRUE(writeText(file.path, "data", tlFileStream::Write));
    tlFileStream reader;
    ASSERT_TRUE(reader.open(file.path.c_str(), tlFileStream::Read | tlFileStream::OpenExisting));
    EXPECT_EQ(reader.write("zz", 2), 0u);
    reader.close();
    tlFileStream writer;
    ASSERT_TRUE(writer.open(file.path.c_str(), tlFileStream::Write | tlFileStream::OpenExisting));
    char buffer[4];
    EXPECT_EQ(writer.read(buffer, 4), 0u);
}

TEST(Stream, ReadSeekTellAndEnd) {
    TempPath file("seek.bin");
    ASSERT_TRUE(writeText(file.path, "0123456789", tlFileStream::Write));
    tlFileStream s;
    ASSERT_TRUE(s.open(file.path.c_str(), tlFileStream::Read | tlFileStream::OpenExisting));
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
    ASSERT_TRUE(writeText(a.path, "aaa", tlFileStream::Write));
    ASSERT_TRUE(writeText(b.path, "bb", tlFileStream::Write));
    tlFileStream s;
    ASSERT_TRUE(s.open(a.path.c_str(), tlFileStream::Read | tlFileStream::OpenExisting));
    ASSERT_TRUE(s.open(b.path.c_str(), tlFileStream::Read | tlFileStream::OpenExisting));
    EXPECT_EQ(s.size(), 2u);
}

TEST(Stream, FoldersAndMissingPathsDoNotOpen) {
    tlFileStream s;
    std::string folder = std::filesystem::temp_directory_path().string();
    EXPECT_FALSE(s.open(folder.c_str(), tlFileStream::Read | tlFileStream::OpenExisting));
    EXPECT_FALSE(s.open((folder + "/cw_no_such_dir/x.bin").c_str(), tlFileStream::Write));
    EXPECT_EQ(s.holder, nullptr);
}

namespace {

// One step of a script run on two streams alike.
struct StreamStep {
    enum Kind { Write, Read, Seek, Tell, Size } kind;
    const char *text;  // Write: the bytes
    int32_t a, b;      // Read: count; Seek: distance, origin
};

// Every answer of the script, and the stream's contents at the end.
std::string runScript(tlStream &s, const StreamStep *steps, size_t n) {
    std::string log;
    char buffer[64];
    for (size_t i = 0; i < n; ++i) {
        const StreamStep &step = steps[i];
        switch (step.kind) {
        case StreamStep::Write:
            log += std::to_string(s.write(step.text, static_cast<uint32_t>(std::strlen(step.text)))) + " ";
            break;
        case StreamStep::Read: {
            const uint32_t got = s.read(buffer, static_cast<uint32_t>(step.a));
            log += "[" + std::string(buffer, got) + "] ";
            break;
        }
        case StreamStep::Seek: log += s.seek(step.a, step.b) ? "t " : "f "; break;
        case StreamStep::Tell: log += std::to_string(s.tell()) + " "; break;
        case StreamStep::Size: log += std::to_string(s.size()) + " "; break;
        }
    }
    s.seek(0, 0);
    std::string all(64, '\0');
    all.resize(s.read(&all[0], 64));
    return log + "| " + all;
}

}  // namespace

TEST(MemoryStream, AnswersAsAFileStreamDoes) {
    const StreamStep steps[] = {
        {StreamStep::Write, "0123456789", 0, 0}, {StreamStep::Size, nullptr, 0, 0},
        {StreamStep::Seek, nullptr, -3, 2},      {StreamStep::Tell, nullptr, 0, 0},
        {StreamStep::Read, nullptr, 16, 0},      {StreamStep::Read, nullptr, 4, 0},  // at the end
        {StreamStep::Seek, nullptr, 2, 0},       {StreamStep::Seek, nullptr, 3, 1},
        {StreamStep::Tell, nullptr, 0, 0},       {StreamStep::Seek, nullptr, 1, 3},    // no such origin
        {StreamStep::Seek, nullptr, -1, -1},     {StreamStep::Seek, nullptr, -20, 1},  // before the start
        {StreamStep::Tell, nullptr, 0, 0},       {StreamStep::Write, "ab", 0, 0},
        {StreamStep::Seek, nullptr, 3, 2},       {StreamStep::Write, "yz", 0, 0},  // the gap reads as zeros
        {StreamStep::Size, nullptr, 0, 0},       {StreamStep::Tell, nullptr, 0, 0},
        {StreamStep::Seek, nullptr, -6, 1},      {StreamStep::Read, nullptr, 6, 0},
    };
    const size_t n = sizeof steps / sizeof steps[0];
    TempPath file("script.bin");
    tlFileStream onDisk;
    ASSERT_TRUE(onDisk.open(file.path.c_str(), tlFileStream::Read | tlFileStream::Write));
    tlMemoryStream inMemory;
    const std::string expected = runScript(onDisk, steps, n);
    EXPECT_EQ(runScript(inMemory, steps, n), expected);
    EXPECT_EQ(expected.substr(expected.size() - 15), std::string("01234ab789\0\0\0yz", 15));
}

TEST(MemoryStream, AssignAndWriteLimit) {
    tlMemoryStream s;
    EXPECT_EQ(s.size(), 0u);
    EXPECT_EQ(s.data(), nullptr);
    ASSERT_TRUE(s.assign("abcdef", 6));
    EXPECT_EQ(s.tell(), 0u);
    char buffer[8] = {};
    EXPECT_EQ(s.read(buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "ab");
    s.setWriteLimit(8);
    EXPECT_EQ(s.write("0123456", 7), 6u);  // stops at the limit
    EXPECT_EQ(s.write("x", 1), 0u);
    EXPECT_EQ(s.size(), 8u);
    EXPECT_EQ(std::memcmp(s.data(), "ab012345", 8), 0);
    ASSERT_TRUE(s.assign(nullptr, 0));
    EXPECT_EQ(s.size(), 0u);
    EXPECT_EQ(s.read(buffer, 1), 0u);
}
