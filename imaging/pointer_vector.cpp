// tlPointerVector: the growable pointer array under the layer and effect lists.
#include "imaging/picture.h"

#include <cstdlib>
#include <cstring>

tlPointerVector::~tlPointerVector() { releaseStorage(); }

bool tlPointerVector::reserve(int32_t n) {
    if (n <= capacity) return true;
    void **grown = static_cast<void **>(std::realloc(items, static_cast<size_t>(n) * sizeof(void *)));
    if (grown == nullptr) return false;
    items = grown;
    capacity = n;
    return true;
}

bool tlPointerVector::insert(int32_t index, void *item) {
    if (index < 0 || index > count) return false;
    if (count == capacity) {
        if (capacity > INT32_MAX / 2) return false;
        if (!reserve(capacity == 0 ? 16 : capacity * 2)) return false;
    }
    std::memmove(items + index + 1, items + index, static_cast<size_t>(count - index) * sizeof(void *));
    items[index] = item;
    ++count;
    return true;
}

void *tlPointerVector::removeAt(int32_t index) {
    if (index < 0 || index >= count) return nullptr;
    void *item = items[index];
    std::memmove(items + index, items + index + 1, static_cast<size_t>(count - index - 1) * sizeof(void *));
    --count;
    if (count == 0) releaseStorage();
    return item;
}

void *tlPointerVector::at(int32_t index) const {
    if (index < 0 || index >= count) return nullptr;
    return items[index];
}

void tlPointerVector::clear() {
    if (count > 0) releaseStorage();
}

void tlPointerVector::releaseStorage() {
    std::free(items);
    items = nullptr;
    count = 0;
    capacity = 0;
}
