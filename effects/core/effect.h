// tlEffect: base of every image operation, and tlEffectList, the list that
// owns the effects of a picture layer.
#pragma once

#include <cstdint>

#include "imaging/picture.h"
#include "imaging/progress.h"

class tlStream;

class tlEffect {
public:
    tlEffect() = default;
    tlEffect(const tlEffect &) = default;
    tlEffect &operator=(const tlEffect &) = default;

    // Virtual operations in slot order.
    virtual ~tlEffect();
    virtual int32_t typeId() const { return 0; }
    virtual bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress);
    virtual bool producesPicture() const { return false; }
    virtual bool producePicture(const tlPicture &picture, tlPicture *&out, tlProgress *progress);
    virtual tlEffect *clone() const = 0;
    virtual bool equals(const tlEffect &other) const;
    virtual bool load(tlStream &stream);
    virtual bool save(tlStream &stream) const;

    uint32_t opacity = 65535;
    int32_t blendMode = 0;
};

// What every effect class with a parameter record declares: its fixed type
// identifier, the payload length of its record, and the operations it
// overrides (apply in its family's source, the record operations beside it).
#define TL_EFFECT_RECORD_OPERATIONS(id, length)                                                 \
    static constexpr int32_t classTypeId = id;                                                  \
    static constexpr uint32_t payloadLength = length;                                           \
    int32_t typeId() const override { return classTypeId; }                                     \
    bool apply(const tlPicture &source, tlPicture &destination, tlProgress *progress) override; \
    tlEffect *clone() const override;                                                           \
    bool equals(const tlEffect &other) const override;                                          \
    bool load(tlStream &stream) override;                                                       \
    bool save(tlStream &stream) const override;

// Owns its effects; built on tlPointerVector.
class tlEffectList {
public:
    tlEffectList() = default;
    tlEffectList(const tlEffectList &) = delete;
    tlEffectList &operator=(const tlEffectList &) = delete;
    ~tlEffectList() { clear(); }

    // Empties this list and appends a clone of each effect of other (a null
    // clone is appended as it is).
    void copyFrom(const tlEffectList &other) {
        clear();
        vector.reserve(other.count());
        for (int32_t i = 0; i < other.count(); ++i) vector.append(other.at(i)->clone());
    }
    // Deletes every effect, the last first, and frees the storage.
    void clear() {
        for (int32_t i = vector.count - 1; i >= 0; --i) delete static_cast<tlEffect *>(vector.items[i]);
        vector.releaseStorage();
    }
    bool append(tlEffect *effect) { return vector.append(effect); }
    tlEffect *removeAt(int32_t index) { return static_cast<tlEffect *>(vector.removeAt(index)); }
    tlEffect *at(int32_t index) const { return static_cast<tlEffect *>(vector.at(index)); }
    int32_t count() const { return vector.count; }
    int32_t capacity() const { return vector.capacity; }

private:
    tlPointerVector vector;
};
