// Path helpers and the cycle's pure decisions.
#include <gtest/gtest.h>

#include <string>

#include "app/cycle.h"

namespace {

TEST(Paths, JoinPath) {
    struct Case {
        const char *folder, *name, *expected;
    } cases[] = {
        {"C:\\wp", "a.bmp", "C:\\wp\\a.bmp"},
        {"C:\\wp\\", "a.bmp", "C:\\wp\\a.bmp"},
        {"C:\\", "a.bmp", "C:\\a.bmp"},
        {"", "a.bmp", "a.bmp"},
        // 0x95 0x5C is one Shift-JIS character whose trail byte is '\'.
        {"C:\\\x95\x5C", "a.bmp", "C:\\\x95\x5C\\a.bmp"},
        {"C:\\\x95\x5C\\", "a.bmp", "C:\\\x95\x5C\\a.bmp"},
        {"C:\\\x95", "a.bmp", "C:\\\x95\\a.bmp"},  // a lead byte at the very end
    };
    for (const Case &c : cases) {
        char out[260];
        EXPECT_TRUE(joinPath(c.folder, c.name, out, shiftJisLeadByte)) << c.folder;
        EXPECT_STREQ(out, c.expected) << c.folder;
    }
    // Without a double-byte code page the same bytes end in a backslash.
    char out[260];
    joinPath("C:\\\x95\x5C", "a.bmp", out, noLeadBytes);
    EXPECT_STREQ(out, "C:\\\x95\x5C"
                      "a.bmp");
}

TEST(Paths, JoinPathMustFit) {
    std::string folder(250, 'f');
    char out[260];
    EXPECT_TRUE(joinPath(folder.c_str(), "12345678", out, noLeadBytes));  // 259 bytes
    EXPECT_EQ(std::string(out).size(), 259u);
    EXPECT_FALSE(joinPath(folder.c_str(), "123456789", out, noLeadBytes));
    EXPECT_STREQ(out, "");
}

TEST(Paths, SequentialFileName) {
    struct Case {
        uint32_t count;
        const char *expected;
    } cases[] = {
        {0, "C:\\wp\\chromaweave_0000000001.bmp"},
        {7, "C:\\wp\\chromaweave_0000000008.bmp"},
        {4294967294u, "C:\\wp\\chromaweave_4294967295.bmp"},
        {4294967295u, "C:\\wp\\chromaweave_0000000000.bmp"},
    };
    for (const Case &c : cases) {
        char out[260];
        EXPECT_TRUE(sequentialFileName("C:\\wp", c.count, out, shiftJisLeadByte));
        EXPECT_STREQ(out, c.expected);
    }
}

TEST(Paths, FolderOfFile) {
    struct Case {
        const char *path, *expected;
    } cases[] = {
        {"C:\\x.bmp", "C:\\"},
        {"C:\\a\\x.bmp", "C:\\a"},
        {"C:\\a\\b\\x.bmp", "C:\\a\\b"},
        {"\\x.bmp", "\\"},
        {"C:\\\x95\x5Cx.bmp", "C:\\"},  // the trail byte is not a separator
        {"C:\\dir\\\x95\x5C.bmp", "C:\\dir"},
    };
    for (const Case &c : cases) {
        char out[260] = "untouched";
        EXPECT_TRUE(folderOfFile(c.path, out, shiftJisLeadByte)) << c.path;
        EXPECT_STREQ(out, c.expected) << c.path;
    }
    char out[260] = "untouched";
    EXPECT_FALSE(folderOfFile("x.bmp", out, shiftJisLeadByte));
    EXPECT_STREQ(out, "untouched");
}

TEST(CycleRules, ReverseBits) {
    struct Case {
        uint32_t v, expected;
    } cases[] = {
        {0, 0},           {1, 0x80000000u},           {0x80000000u, 1}, {0xFFFFFFFFu, 0xFFFFFFFFu},
        {5, 0xA0000000u}, {0x12345678u, 0x1E6A2C48u},
    };
    for (const Case &c : cases) EXPECT_EQ(reverseBits32(c.v), c.expected) << c.v;
    EXPECT_EQ(composerSeed(1, 0x1234), 0x80001234u);
}

TEST(CycleRules, ServeNowOrWait) {
    using platform::WorkerPoll;
    struct Case {
        bool exists;
        WorkerPoll poll;
        ChangeStep step;
    } cases[] = {
        {true, WorkerPoll::finished, ChangeStep::applyNow},     {true, WorkerPoll::running, ChangeStep::waitForWorker},
        {true, WorkerPoll::failed, ChangeStep::nothing},        {false, WorkerPoll::failed, ChangeStep::startWorker},
        {false, WorkerPoll::finished, ChangeStep::startWorker},
    };
    for (const Case &c : cases) EXPECT_EQ(decideChange(c.exists, c.poll), c.step);
}

TEST(CycleRules, ResumeArithmetic) {
    const uint32_t minute = 60000;
    struct Case {
        uint32_t last, pause, interval;
        bool pending, now;
        uint32_t delay;
    } cases[] = {
        {1000, 1000 + 3 * minute, 10 * minute, false, false, 7 * minute},
        {1000, 1000 + 10 * minute, 10 * minute, false, true, 0},  // ran out exactly
        {1000, 1000 + 25 * minute, 10 * minute, false, true, 0},
        {0xFFFFFF00u, 0xFFFFFF00u + 3 * minute, 10 * minute, false, false, 7 * minute},  // wraps
        {1000, 1000 + minute, 10 * minute, true, true, 0},                               // a pending change goes first
        {5000, 5000, 10 * minute, false, false, 10 * minute},                            // a fresh interval
    };
    for (const Case &c : cases) {
        ResumePlan plan = planResume(c.last, c.pause, c.interval, c.pending);
        EXPECT_EQ(plan.changeNow, c.now);
        if (!c.now) {
            EXPECT_EQ(plan.delay, c.delay);
        }
    }
    EXPECT_EQ(shiftByPause(0xFFFFFF00u, 0xFFFFFFF0u, 0x10u), 0xFFFFFF20u);  // a 0x20 ms pause
    EXPECT_EQ(shiftByPause(100, 200, 3600200), 3600100u);
}

}  // namespace
