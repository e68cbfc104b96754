// Finding strings in string-table blocks, well-formed and cut short.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/string_table.h"

namespace {

// A block of sixteen strings (ASCII here, one unit per character).
std::vector<uint8_t> blockOf(const std::vector<std::string> &strings) {
    std::vector<uint8_t> block;
    for (size_t i = 0; i < 16; ++i) {
        std::string s = i < strings.size() ? strings[i] : std::string();
        block.push_back(uint8_t(s.size()));
        block.push_back(uint8_t(s.size() >> 8));
        for (char c : s) {
            block.push_back(uint8_t(c));
            block.push_back(0);
        }
    }
    return block;
}

std::string textAt(const std::vector<uint8_t> &block, size_t offset, size_t units) {
    std::string s;
    for (size_t i = 0; i < units; ++i) s += char(block[offset + 2 * i]);
    return s;
}

}  // namespace

TEST(StringTable, BlockOfAnId) {
    const uint32_t cases[][2] = {{0, 1},    {15, 1},   {16, 2},   {300, 19}, {303, 19},
                                 {304, 20}, {346, 22}, {351, 22}, {352, 23}};
    for (const auto &c : cases) EXPECT_EQ(platform::stringBlockOf(c[0]), c[1]) << c[0];
}

TEST(StringTable, FindsEveryStringWithItsNuls) {
    // Block 19 (ids 288-303) as the program has it: only 300 is present,
    // three names separated by NULs.
    std::vector<std::string> strings(16);
    strings[12] = std::string("sec\0min\0hours", 13);
    strings[13] = "x";
    strings[15] = "last";
    std::vector<uint8_t> block = blockOf(strings);
    for (uint32_t id = 288; id < 304; ++id) {
        size_t offset = 0, units = 99;
        ASSERT_TRUE(platform::findBlockString(block.data(), block.size(), id, &offset, &units)) << id;
        EXPECT_EQ(textAt(block, offset, units), strings[id - 288]) << id;
    }
}

TEST(StringTable, BlockCutShortFindsNothingPastTheCut) {
    std::vector<std::string> strings(16, "ab");
    std::vector<uint8_t> block = blockOf(strings);  // 6 bytes per string
    const struct {
        size_t size;
        uint32_t id;
        bool found;
    } cases[] = {
        {0, 0, false}, {1, 0, false},  {2, 0, false}, {5, 0, false},   {6, 0, true},
        {7, 1, false}, {11, 1, false}, {12, 1, true}, {95, 15, false}, {96, 15, true},
    };
    for (const auto &c : cases) {
        size_t offset = 0, units = 0;
        EXPECT_EQ(platform::findBlockString(block.data(), c.size, c.id, &offset, &units), c.found)
            << c.size << " " << c.id;
        if (c.found) {
            EXPECT_LE(offset + 2 * units, c.size);
        }
    }
    // A length that claims more than the block holds.
    block[0] = 0xFF;
    size_t offset = 0, units = 0;
    EXPECT_FALSE(platform::findBlockString(block.data(), block.size(), 0, &offset, &units));
}
