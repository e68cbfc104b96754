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
// the kept size: a picture of the rendering size with 4 bytes a pixel (the
// working format of wallpapers). Other pictures are seldom of that size,
// and keeping their stores would only add to the memory a wallpaper needs at
// its peak. Everything else goes to the heap as without a cache. Stores are
// plain heap blocks, so a picture made with a cache may be released on any
// thread.
class tlPictureCache {
public:
    // At most this many stores are kept; more are freed. One is enough for
    // the layer and each effect's destination to take turns (the effect
    // writes a new picture, the layer's old one is released, the next effect
    // takes it), and keeping more would raise a wallpaper's peak memory:
    // the kept stores are resident while the job's own pictures are alive.
    static constexpr int32_t kMaxKept = 1;

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
    // Keeps store (size bytes, from malloc) when size is the kept size and
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
