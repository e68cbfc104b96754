// tlPictureCache, the stores of released pictures of one size kept for the
// next pictures of that size, so that rendering wallpaper after wallpaper
// reuses memory it has touched already instead of touching fresh pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

// Pictures created or copied on a thread that uses a cache take a kept store
// of their byte size when there is one (a created picture's is zeroed, as a
// fresh one is); pictures released there give their store back when it has
// one of the kept sizes: a picture of the rendering size in any pixel
// format. Everything else goes to the heap as without a cache. Stores are
// plain heap blocks, so a picture made with a cache may be released on any
// thread.
class tlPictureCache {
public:
    // At most this many stores are kept; more are freed.
    static constexpr int32_t kMaxKept = 8;

    tlPictureCache() = default;
    tlPictureCache(const tlPictureCache &) = delete;
    tlPictureCache &operator=(const tlPictureCache &) = delete;
    // Frees what it keeps. No thread may use it any longer.
    ~tlPictureCache();

    // The size of the pictures about to be rendered: another one than the
    // last frees everything kept, which was of the old size.
    void setSize(int32_t width, int32_t height);
    // Frees everything kept (the size stays).
    void release();
    int32_t keptCount();
    size_t keptBytes();

    // The cache of the calling thread (null, the default: the heap alone).
    // The caller keeps it alive while it is in use.
    static void use(tlPictureCache *cache);
    static tlPictureCache *current();

    // A kept store of exactly size bytes, or null. Its bytes are those its
    // last picture left.
    uint8_t *take(size_t size);
    // Keeps store (size bytes, from malloc) when size is a kept size and
    // there is room; false leaves it to the caller.
    bool give(uint8_t *store, size_t size);

private:
    bool keeps(size_t size) const;

    std::mutex mutex;  // the owner releases while the rendering thread may give
    int32_t width = 0, height = 0;
    uint8_t *stores[kMaxKept] = {};
    size_t sizes[kMaxKept] = {};
    int32_t count = 0;
};
