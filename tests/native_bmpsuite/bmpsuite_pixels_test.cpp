// The BMP corpus compared pixel by pixel with ImageMagick, an independent
// decoder: every file that loads must give its pictures, except where the
// corpus table says this reader reads differently. Linux only (runs convert).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/imagefiles/bmp_test_util.h"

using namespace bmptest;

namespace {

// ImageMagick's picture as R, G, B, A bytes, top row first; empty on failure.
Bytes decodeWithImageMagick(const std::string &path) {
    const std::string command = "convert '" + path + "' -depth 8 rgba:- 2>/dev/null";
    Bytes out;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.insert(out.end(), buffer, buffer + n);
    pclose(pipe);
    return out;
}

bool haveImageMagick() { return std::system("convert -version >/dev/null 2>&1") == 0; }

size_t countDifferentPixels(const Bytes &a, const Bytes &b) {
    size_t n = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4)
        if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2] || a[i + 3] != b[i + 3]) ++n;
    return n;
}

// The count in "differs (N px)", or 0.
size_t tableDifferences(const std::string &column) {
    size_t at = column.find("differs (");
    return at == std::string::npos ? 0 : std::strtoul(column.c_str() + at + 9, nullptr, 10);
}

// Run-length decoding that stopped early: in decoding order (bottom row
// first, left to right) ours agrees with ImageMagick up to the stop and holds
// palette entry 0 from there on.
::testing::AssertionResult stoppedEarly(const tlPicture &p, const Bytes &ours, const Bytes &theirs) {
    const uint8_t *zero = p.palette->entries;
    bool stopped = false;
    for (int32_t y = p.height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < p.width; ++x) {
            const size_t i = (static_cast<size_t>(y) * p.width + x) * 4;
            const bool same = std::equal(ours.begin() + i, ours.begin() + i + 4, theirs.begin() + i);
            stopped = stopped || !same;
            if (stopped && (ours[i] != zero[0] || ours[i + 1] != zero[1] || ours[i + 2] != zero[2]))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") after the stop";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(BMPSuitePixels, LoadedFilesMatchImageMagick) {
    const std::string dir = corpusDir();
    if (dir.empty()) GTEST_SKIP() << "BMP corpus not found under " CW_SHARED_DIR "/bmpsuite";
    if (!haveImageMagick()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    int compared = 0;
    for (const CorpusEntry &e : readCorpusTable(dir)) {
        const std::string path = dir + "/" + e.file;
        tlImage image;
        if (loadPath(path, image) != 0) continue;
        const std::string &how = e.pixels;
        if (how.find("ImageMagick fails") != std::string::npos) continue;  // checked against g/pal1.bmp elsewhere
        SCOPED_TRACE(e.file + ": " + how);
        const Bytes ours = rgbaOf(image.picture);
        const Bytes theirs = decodeWithImageMagick(path);
        ASSERT_EQ(theirs.size(), ours.size());
        ++compared;
        const size_t differing = countDifferentPixels(ours, theirs);
        if (how == "same" || how.rfind("ours open", 0) == 0) {
            // The 16-bit files are decoded 5-5-5 with bit repetition, as ImageMagick does.
            EXPECT_EQ(differing, 0u);
        } else if (how.find("alpha only") != std::string::npos) {
            EXPECT_EQ(differing, tableDifferences(how));
            for (size_t i = 0; i < ours.size(); i += 4)
                ASSERT_TRUE(std::equal(ours.begin() + i, ours.begin() + i + 3, theirs.begin() + i)) << i / 4;
        } else if (how.find("upside down") != std::string::npos) {
            EXPECT_EQ(differing, tableDifferences(how));
            const size_t row = static_cast<size_t>(image.width) * 4;
            for (int32_t y = 0; y < image.height; ++y)
                ASSERT_TRUE(
                    std::equal(ours.begin() + y * row, ours.begin() + (y + 1) * row, theirs.end() - (y + 1) * row))
                    << "row " << y;
        } else if (how.find("stops at") != std::string::npos || how.find("as b/badrle") != std::string::npos) {
            EXPECT_TRUE(stoppedEarly(image.picture, ours, theirs));
            // Whether the in-range part of the run crossing the edge is
            // written is open: the count may be lower by that part.
            EXPECT_LE(differing, tableDifferences(how));
            EXPECT_GE(differing + 20, tableDifferences(how));
        } else if (how.find("zeroed entries") != std::string::npos) {
            EXPECT_EQ(differing, tableDifferences(how));
            for (size_t i = 0; i < ours.size(); i += 4) {
                if (!std::equal(ours.begin() + i, ours.begin() + i + 4, theirs.begin() + i)) {
                    ASSERT_TRUE(ours[i] == 0 && ours[i + 1] == 0 && ours[i + 2] == 0) << i / 4;
                }
            }
        } else {
            ADD_FAILURE() << "no rule for the pixels column";
        }
    }
    EXPECT_EQ(compared, 44);
}
