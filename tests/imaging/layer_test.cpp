// The layer list and the text info layers carry.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/layer.h"

TEST(TextInfo, CopiesDuplicateEveryText) {
    tlTextInfo info;
    ASSERT_TRUE(info.add("Title", "waves"));
    ASSERT_TRUE(info.add("Author", nullptr));
    tlTextInfo copy(info);
    ASSERT_EQ(copy.count, 2);
    EXPECT_STREQ(copy.entries[0].key, "Title");
    EXPECT_STREQ(copy.entries[0].value, "waves");
    EXPECT_STREQ(copy.entries[1].value, "");
    EXPECT_NE(copy.entries[0].key, info.entries[0].key);
    info.clear();
    EXPECT_EQ(info.count, 0);
    EXPECT_STREQ(copy.entries[1].key, "Author");
}

namespace {

// A layer that records when it is deleted.
class TracedLayer : public tlLayer {
public:
    TracedLayer(int id, std::vector<int> &deleted) : id(id), deleted(deleted) {}
    ~TracedLayer() override { deleted.push_back(id); }
    bool hasSubLayers() const override { return false; }
    tlLayer *clone() const override { return nullptr; }
    bool update() override { return true; }
    int id;
    std::vector<int> &deleted;
};

// A group of layers: counts its own layers when counting nested.
class GroupLayer : public TracedLayer {
public:
    using TracedLayer::TracedLayer;
    bool hasSubLayers() const override { return true; }
    const tlLayerList *subLayers() const override { return &inner; }
    tlLayerList inner;
};

}  // namespace

TEST(LayerList, DeletesLastFirstAndCountsNestedLayers) {
    std::vector<int> deleted;
    {
        tlLayerList list;
        EXPECT_FALSE(list.append(nullptr));
        ASSERT_TRUE(list.append(new TracedLayer(1, deleted)));
        GroupLayer *group = new GroupLayer(2, deleted);
        ASSERT_TRUE(group->inner.append(new TracedLayer(20, deleted)));
        ASSERT_TRUE(group->inner.append(new TracedLayer(21, deleted)));
        ASSERT_TRUE(group->inner.append(new TracedLayer(22, deleted)));
        ASSERT_TRUE(list.append(group));
        ASSERT_TRUE(list.append(new TracedLayer(3, deleted)));
        EXPECT_EQ(list.count(false), 3);
        EXPECT_EQ(list.count(true), 5);

        tlLayer *taken = list.removeAt(0);
        ASSERT_NE(taken, nullptr);
        delete taken;
        EXPECT_EQ(list.count(), 2);
        EXPECT_EQ(list.removeAt(5), nullptr);
    }
    EXPECT_EQ(deleted, (std::vector<int>{1, 3, 22, 21, 20, 2}));
}
