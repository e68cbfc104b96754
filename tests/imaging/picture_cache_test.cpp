// The picture cache: which stores it keeps, that a reused store comes back
// zeroed or copied over as a fresh one would, and when it lets them go.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/picture.h"
#include "imaging/picture_cache.h"
#include "tests/support/formats.h"
#include "tests/support/pictures.h"

namespace {

// Uses the cache on this thread for the scope.
struct CacheScope {
    explicit CacheScope(tlPictureCache &cache) { tlPictureCache::use(&cache); }
    ~CacheScope() { tlPictureCache::use(nullptr); }
};

struct KeepCase {
    int32_t w, h;
    tlPixelFormat format;
    bool kept;
};

// The cache renders 37 × 23: a picture of that size with 4 bytes a pixel
// is kept, others are not.
const KeepCase kKeepCases[] = {
    {37, 23, kRGBA8, true},   {37, 23, kGrayA16, true}, {37, 23, kRGB8, false},  {37, 23, kGray8, false},
    {37, 23, kRGBA16, false}, {24, 37, kRGBA8, false},  {36, 23, kRGBA8, false}, {37, 22, kRGBA8, false},
};

TEST(PictureCache, KeepsStoresOfTheRenderingSizeAndReusesThemAsFresh) {
    tlPictureCache cache;
    cache.setSize(37, 23);
    CacheScope scope(cache);
    uint32_t seed = 1;
    for (const KeepCase &c : kKeepCases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " " << c.format);
        cache.release();  // what the last case's pictures gave back
        const uint8_t *store = nullptr;
        {
            tlPicture p;
            ASSERT_TRUE(randomPicture(p, c.w, c.h, c.format, ++seed));
            store = p.store;
        }
        EXPECT_EQ(cache.keptCount(), c.kept ? 1 : 0);
        if (c.kept) {
            EXPECT_EQ(cache.keptBytes(), size_t(148) * 23);
        }
        tlPicture fresh, plain, source;
        ASSERT_TRUE(fresh.create(c.w, c.h, c.format));
        tlPictureCache::use(nullptr);
        ASSERT_TRUE(plain.create(c.w, c.h, c.format));
        ASSERT_TRUE(randomPicture(source, c.w, c.h, c.format, ++seed));
        tlPictureCache::use(&cache);
        EXPECT_TRUE(sameSizeAndBytes(fresh, plain));  // zeroed
        // (Not kept, the heap may hand out the freed block again too.)
        if (c.kept) {
            EXPECT_EQ(fresh.store, store);
        }
        // A copy takes a kept store too and holds the source's bytes.
        fresh.release();
        tlPicture copy(source);
        EXPECT_TRUE(sameSizeAndBytes(copy, source));
        if (c.kept) {
            EXPECT_EQ(copy.store, store);
        }
    }
}

// At most kMaxKept stores; another size frees them all, the same size
// keeps them, release frees them.
TEST(PictureCache, BoundedAndFreedWhenTheSizeChanges) {
    tlPictureCache cache;
    cache.setSize(9, 5);
    {
        CacheScope scope(cache);
        tlPicture pictures[tlPictureCache::kMaxKept + 2];
        for (tlPicture &p : pictures) ASSERT_TRUE(p.create(9, 5, kRGBA8));
    }
    EXPECT_EQ(cache.keptCount(), tlPictureCache::kMaxKept);
    EXPECT_EQ(cache.keptBytes(), size_t(tlPictureCache::kMaxKept) * 36 * 5);
    cache.setSize(9, 5);
    EXPECT_EQ(cache.keptCount(), tlPictureCache::kMaxKept);
    cache.setSize(5, 9);
    EXPECT_EQ(cache.keptCount(), 0);
    {
        CacheScope scope(cache);
        tlPicture p;
        ASSERT_TRUE(p.create(5, 9, kGrayA16));
    }
    EXPECT_EQ(cache.keptCount(), 1);
    cache.release();
    EXPECT_EQ(cache.keptCount(), 0);
}

}  // namespace
