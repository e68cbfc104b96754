// The history of recent wallpapers: value texts parsed strictly, values
// that are not to be trusted skipped, the order kept over a reload, the
// oldest entry making room, a shown entry moving up in its own value.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/history.h"
#include "platform/memory_registry.h"

namespace {

// The text of a recipe with no effects: distinct for every width.
std::string recipeText(int32_t width) {
    tlRecipe recipe;
    recipe.width = width;
    recipe.height = 7;
    char text[kRecipeTextCapacity];
    EXPECT_TRUE(encodeRecipeText(recipe, text, sizeof text).ok());
    return text;
}

std::string valueText(uint32_t serial, uint64_t time, int32_t width) {
    return "h1 " + std::to_string(serial) + " " + std::to_string(time) + " " + recipeText(width);
}

void put(platform::MemoryRegistry &registry, const char *name, const std::string &text) {
    registry.putString(historyKeyPath, name, text.c_str());
}

// The recipe widths of the entries, newest first.
std::string widths(const History &history) {
    std::string out;
    for (int32_t i = 0; i < history.count(); ++i) {
        tlRecipe recipe;
        EXPECT_TRUE(decodeRecipeText(history.entry(i).recipe, recipe).ok());
        out += (i ? " " : "") + std::to_string(recipe.width);
    }
    return out;
}

}  // namespace

TEST(HistoryValue, ParsedStrictly) {
    const std::string recipe = recipeText(5);
    struct Case {
        std::string text;
        bool ok;
    } cases[] = {
        {"h1 7 1700000000 " + recipe, true},
        {"h1 4294967295 0 " + recipe, true},
        {"h2 7 1700000000 " + recipe, false},  // a version this build does not know
        {"H1 7 1700000000 " + recipe, false},
        {"h1 0 1700000000 " + recipe, false},  // serials start at 1
        {"h1 07 1700000000 " + recipe, false},
        {"h1 4294967296 1 " + recipe, false},
        {"h1 7 18446744073709551616 " + recipe, false},
        {"h1 -7 1 " + recipe, false},
        {"h1  7 1 " + recipe, false},
        {"h1 7 1  " + recipe, false},
        {"h1 7 1 " + recipe + " ", false},
        {"h1 7 1 " + recipe.substr(0, recipe.size() - 1), false},  // cut: the checksum fails
        {"h1 7 1 x" + recipe.substr(1), false},
        {"h1 7 1 ", false},
        {"h1 7 1", false},
        {"", false},
    };
    for (const Case &c : cases) {
        HistoryEntry entry;
        entry.serial = 99;
        EXPECT_EQ(parseHistoryValue(c.text.c_str(), c.text.size(), entry), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_EQ(entry.serial, 99u) << "written on failure: " << c.text;
        }
    }
    // A NUL inside the text is not part of a recipe.
    std::string inner = "h1 7 1 " + recipe;
    inner[inner.size() - 3] = '\0';
    HistoryEntry entry;
    EXPECT_FALSE(parseHistoryValue(inner.data(), inner.size(), entry));
    // What is written is read back the same.
    entry.serial = 12;
    entry.time = 1700000123;
    std::strcpy(entry.recipe, recipe.c_str());
    char text[kRecipeTextCapacity + 64];
    ASSERT_TRUE(formatHistoryValue(entry, text, sizeof text));
    EXPECT_EQ(std::string(text), valueText(12, 1700000123, 5));
    EXPECT_FALSE(formatHistoryValue(entry, text, 20));
}

// Values of the wrong type, corrupt values, doubles and names outside the
// slots are skipped; the rest comes newest first.
TEST(History, LoadSkipsWhatCannotBeTrusted) {
    platform::MemoryRegistry registry;
    put(registry, "0", valueText(3, 100, 30));
    put(registry, "1", valueText(9, 900, 90));
    put(registry, "2", "h1 5 500 cw1-garbage");
    put(registry, "3", valueText(5, 500, 50));
    put(registry, "4", valueText(4, 400, 90));  // the recipe again, older: dropped
    put(registry, "5", valueText(5, 501, 51));  // the serial again: dropped
    put(registry, "6", "h9 6 600 " + recipeText(60));
    registry.putDword(historyKeyPath, "7", 7);
    std::string binary = valueText(8, 800, 80);
    registry.putValue(historyKeyPath, "8", platform::RegistryType::binary, binary.data(), uint32_t(binary.size()));
    put(registry, "20", valueText(20, 2000, 200));  // not a slot
    put(registry, "-1", valueText(21, 2100, 210));
    std::string unterminated = valueText(2, 200, 20);  // no NUL at the end: still a string
    registry.putValue(historyKeyPath, "19", platform::RegistryType::string, unterminated.data(),
                      uint32_t(unterminated.size()));
    std::string huge(5000, 'h');
    put(registry, "10", huge);
    History history;
    history.load(registry);
    EXPECT_EQ(widths(history), "90 50 30 20");
    EXPECT_EQ(history.entry(0).time, 900u);
    EXPECT_EQ(history.entry(0).slot, 1);
    EXPECT_EQ(history.entry(3).slot, 19);
    EXPECT_EQ(history.find(5), 1);
    EXPECT_EQ(history.find(4), -1);
    EXPECT_EQ(registry.openKeys(), 0);
    // No key at all: no entries.
    platform::MemoryRegistry none;
    history.load(none);
    EXPECT_EQ(history.count(), 0);
}

// Each showing writes one value; the order survives a reload; a listed
// wallpaper moves up in its own value; the oldest makes room for the 21st.
TEST(History, RecordKeepsTheLastTwenty) {
    platform::MemoryRegistry registry;
    put(registry, "4", "broken");
    History history;
    history.load(registry);
    tlThumbnail none;
    for (int32_t w = 1; w <= 3; ++w) history.record(registry, recipeText(w).c_str(), 1000 + w, none);
    EXPECT_EQ(widths(history), "3 2 1");
    EXPECT_EQ(history.entry(2).slot, 0);  // free slots from the first
    EXPECT_EQ(*registry.findValue(historyKeyPath, "0")->data.data(), 'h');
    // Shown again: moved up, written in its own slot with a new serial.
    uint32_t serial = history.record(registry, recipeText(1).c_str(), 2000, none);
    EXPECT_EQ(serial, 4u);
    EXPECT_EQ(widths(history), "1 3 2");
    EXPECT_EQ(history.entry(0).slot, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(registry.findValue(historyKeyPath, "0")->data.data())),
              valueText(4, 2000, 1));
    for (int32_t w = 4; w <= 21; ++w) history.record(registry, recipeText(w).c_str(), 3000 + w, none);
    ASSERT_EQ(history.count(), kHistoryCapacity);
    EXPECT_EQ(history.findRecipe(recipeText(2).c_str()), -1);  // the oldest left
    History again;
    again.load(registry);
    EXPECT_EQ(widths(again), widths(history));
    for (int32_t i = 0; i < again.count(); ++i) {
        EXPECT_EQ(again.entry(i).serial, history.entry(i).serial);
        EXPECT_EQ(again.entry(i).time, history.entry(i).time);
    }
    EXPECT_EQ(registry.openKeys(), 0);
}

// A stored serial at the very top is believed only as an order: the entries
// are numbered again and newer ones still sort first.
TEST(History, SerialsNumberedAgainAtTheTop) {
    platform::MemoryRegistry registry;
    put(registry, "0", valueText(4294967295u, 1, 10));
    put(registry, "1", valueText(5, 1, 11));
    History history;
    history.load(registry);
    tlThumbnail none;
    EXPECT_EQ(history.record(registry, recipeText(12).c_str(), 2, none), 3u);
    History again;
    again.load(registry);
    EXPECT_EQ(widths(again), "12 10 11");
}

// Thumbnails: a made one is kept with its entry; a failed one is not asked
// for again; the newest entry waiting comes first.
TEST(History, Thumbnails) {
    platform::MemoryRegistry registry;
    put(registry, "0", valueText(1, 1, 10));
    put(registry, "1", valueText(2, 1, 11));
    History history;
    history.load(registry);
    EXPECT_EQ(history.nextWithoutThumbnail(), 0);
    history.thumbnailFailed(2);
    EXPECT_EQ(history.nextWithoutThumbnail(), 1);
    tlThumbnail made;
    made.made = true;
    made.rgb[0] = 42;
    history.setThumbnail(1, made);
    history.setThumbnail(77, made);  // gone: ignored
    EXPECT_EQ(history.nextWithoutThumbnail(), -1);
    EXPECT_EQ(history.entry(1).thumbnail.rgb[0], 42);
    // Recording with a made thumbnail gives the entry that one.
    made.rgb[0] = 43;
    history.record(registry, recipeText(10).c_str(), 5, made);
    EXPECT_EQ(history.entry(0).thumbnail.rgb[0], 43);
}
