// Layers: the layer base, the layer list and the text info layers carry.
#include "imaging/layer.h"

#include <cstring>
#include <new>

// ---------------------------------------------------------------- tlTextInfo

namespace {

char *duplicateText(const char *text) {
    if (!text) text = "";
    size_t n = std::strlen(text) + 1;
    char *copy = new (std::nothrow) char[n];
    if (copy) std::memcpy(copy, text, n);
    return copy;
}

}  // namespace

tlTextInfo::tlTextInfo(const tlTextInfo &other) { copyFrom(other); }

tlTextInfo::~tlTextInfo() { clear(); }

void tlTextInfo::clear() {
    for (int32_t i = 0; i < count; ++i) {
        delete[] entries[i].key;
        delete[] entries[i].value;
    }
    delete[] entries;
    entries = nullptr;
    count = 0;
}

bool tlTextInfo::add(const char *key, const char *value) {
    Entry *grown = new (std::nothrow) Entry[static_cast<size_t>(count) + 1];
    char *k = duplicateText(key);
    char *v = duplicateText(value);
    if (!grown || !k || !v) {
        delete[] grown;
        delete[] k;
        delete[] v;
        return false;
    }
    for (int32_t i = 0; i < count; ++i) grown[i] = entries[i];
    grown[count].key = k;
    grown[count].value = v;
    delete[] entries;
    entries = grown;
    ++count;
    return true;
}

bool tlTextInfo::copyFrom(const tlTextInfo &other) {
    if (&other == this) return true;
    clear();
    for (int32_t i = 0; i < other.count; ++i) {
        if (!add(other.entries[i].key, other.entries[i].value)) {
            clear();
            return false;
        }
    }
    return true;
}

// ------------------------------------------------------------------- tlLayer

tlLayer::tlLayer(const tlLayer &other)
    : tlPicture(other),
      x(other.x),
      y(other.y),
      visible(other.visible),
      blendMode(other.blendMode),
      opacity(other.opacity),
      textInfo(other.textInfo) {}

tlLayer::~tlLayer() = default;

// --------------------------------------------------------------- tlLayerList

bool tlLayerList::append(tlLayer *layer) { return layer && vector.append(layer); }

tlLayer *tlLayerList::removeAt(int32_t index) { return static_cast<tlLayer *>(vector.removeAt(index)); }

int32_t tlLayerList::count(bool nested) const {
    if (!nested) return vector.count;
    int32_t total = 0;
    for (int32_t i = 0; i < vector.count; ++i) {
        const tlLayer *layer = at(i);
        const tlLayerList *inner = layer->hasSubLayers() ? layer->subLayers() : nullptr;
        total += inner ? inner->count(true) : 1;
    }
    return total;
}

void tlLayerList::clear() {
    for (int32_t i = vector.count - 1; i >= 0; --i) delete static_cast<tlLayer *>(vector.items[i]);
    vector.releaseStorage();
}
