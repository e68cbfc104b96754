// The BMP corpus in the shared folder: every file loads with the result code
// its table gives. Read in place; skipped when the corpus is absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "bmp_test_util.h"

using namespace bmptest;

TEST(BMPSuite, EveryFileLoadsWithItsTableCode) {
    const std::string dir = corpusDir();
    if (dir.empty()) GTEST_SKIP() << "BMP corpus not found under " CW_SHARED_DIR "/bmpsuite";
    const std::vector<CorpusEntry> entries = readCorpusTable(dir);
    ASSERT_EQ(entries.size(), 91u) << "the corpus table lists 91 files";
    int loaded = 0;
    for (const CorpusEntry &e : entries) {
        ASSERT_FALSE(e.codes.empty()) << e.file;
        tlImage image;
        const int32_t code = loadPath(dir + "/" + e.file, image);
        std::ostringstream allowed;
        for (int32_t c : e.codes) allowed << c << ' ';
        EXPECT_NE(std::find(e.codes.begin(), e.codes.end(), code), e.codes.end())
            << e.file << " loaded with " << code << ", the table allows " << allowed.str();
        EXPECT_EQ(code == 0, !image.picture.isEmpty()) << e.file;
        if (code == 0) ++loaded;
    }
    EXPECT_EQ(loaded, 45);  // 43 files, and the two 16-bit files that this reader decodes
}

TEST(BMPSuite, TheHugeFileFailsToBeCreated) {
    const std::string dir = corpusDir();
    if (dir.empty()) GTEST_SKIP() << "BMP corpus not found under " CW_SHARED_DIR "/bmpsuite";
    tlImage image;
    EXPECT_EQ(loadPath(dir + "/b/reallybig.bmp", image), 8);
}

TEST(BMPSuite, AWrongFileSizeFieldDoesNotMatter) {
    const std::string dir = corpusDir();
    if (dir.empty()) GTEST_SKIP() << "BMP corpus not found under " CW_SHARED_DIR "/bmpsuite";
    tlImage good, bad;
    ASSERT_EQ(loadPath(dir + "/g/pal1.bmp", good), 0);
    ASSERT_EQ(loadPath(dir + "/b/badfilesize.bmp", bad), 0);
    EXPECT_EQ(rgbaOf(bad.picture), rgbaOf(good.picture));
}
