// The kept stores of tlPictureCache and the cache of each thread.
#include "imaging/picture_cache.h"

#include <cstdlib>

#include "imaging/picture.h"

namespace {

thread_local tlPictureCache *threadCache = nullptr;

}  // namespace

tlPictureCache::~tlPictureCache() { release(); }

void tlPictureCache::setSize(int32_t w, int32_t h) {
    if (w == width && h == height) return;
    release();
    std::lock_guard<std::mutex> lock(mutex);
    width = w;
    height = h;
}

void tlPictureCache::release() {
    std::lock_guard<std::mutex> lock(mutex);
    for (int32_t i = 0; i < count; ++i) std::free(stores[i]);
    count = 0;
}

int32_t tlPictureCache::keptCount() {
    std::lock_guard<std::mutex> lock(mutex);
    return count;
}

size_t tlPictureCache::keptBytes() {
    std::lock_guard<std::mutex> lock(mutex);
    size_t total = 0;
    for (int32_t i = 0; i < count; ++i) total += sizes[i];
    return total;
}

void tlPictureCache::use(tlPictureCache *cache) { threadCache = cache; }

tlPictureCache *tlPictureCache::current() { return threadCache; }

uint8_t *tlPictureCache::take(size_t size) {
    std::lock_guard<std::mutex> lock(mutex);
    for (int32_t i = count - 1; i >= 0; --i) {
        if (sizes[i] != size) continue;
        uint8_t *store = stores[i];
        --count;
        stores[i] = stores[count];
        sizes[i] = sizes[count];
        return store;
    }
    return nullptr;
}

bool tlPictureCache::give(uint8_t *store, size_t size) {
    std::lock_guard<std::mutex> lock(mutex);
    if (store == nullptr || count == kMaxKept || !keeps(size)) return false;
    stores[count] = store;
    sizes[count] = size;
    ++count;
    return true;
}

bool tlPictureCache::keeps(size_t size) const {
    return width > 0 && height > 0 && size == static_cast<size_t>(strideFor(32, width)) * static_cast<size_t>(height);
}
