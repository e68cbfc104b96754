// Picture layers: a picture rendered from a source picture through an effect
// list, and applyEffect, which runs one effect on a picture.
#include "effects/core/picture_layer.h"

#include <new>

// ------------------------------------------------------------ tlPictureLayer

tlPictureLayer::tlPictureLayer(const tlPictureLayer &other)
    : tlLayer(other), layerWidth(other.layerWidth), layerHeight(other.layerHeight) {
    effects.copyFrom(other.effects);
    if (other.source) source = new (std::nothrow) tlPicture(*other.source);
}

tlPictureLayer::~tlPictureLayer() { delete source; }

bool tlPictureLayer::create(int32_t w, int32_t h, tlPixelFormat newFormat) {
    if (!tlPicture::create(w, h, newFormat)) return false;
    layerWidth = w;
    layerHeight = h;
    effects.clear();
    setSource(nullptr);
    return true;
}

// A format "holds less" when converting to it can lose information: a change
// of colour model other than gray to RGB, fewer bits or fewer channels.
static bool losesInformation(const tlPixelFormat &from, const tlPixelFormat &to) {
    const bool grayToRGB = from.model == tlColourModel::Gray && to.model == tlColourModel::RGB;
    bool modelLoss = to.model != from.model && !grayToRGB;
    return modelLoss || to.bits < from.bits || to.channels < from.channels;
}

bool tlPictureLayer::convert(tlPixelFormat newFormat) {
    if (newFormat == format()) return true;
    // The source is narrowed first so that update renders from what the new
    // format can hold; widening leaves it as it is.
    if (source && losesInformation(format(), newFormat) && !source->convert(newFormat)) return false;
    // Re-created as a plain picture: effects and source stay.
    if (!tlPicture::create(layerWidth, layerHeight, newFormat)) return false;
    update();
    return true;
}

bool tlPictureLayer::update() {
    if (layerWidth != width || layerHeight != height || isEmpty()) {
        if (!tlPicture::create(layerWidth, layerHeight, format())) return false;
    }
    if (source)
        copyFrom(0, 0, *source);
    else
        clear();
    for (int32_t i = 0; i < effects.count(); ++i) {
        tlEffect *effect = effects.at(i);
        if (effect) applyEffect(*this, *effect);
    }
    return true;
}

bool tlPictureLayer::addEffect(tlEffect *effect, bool applyNow) {
    if (!effect || !effects.append(effect)) return false;
    if (applyNow && !applyEffect(*this, *effect)) {
        effects.removeAt(effects.count() - 1);
        return false;
    }
    return true;
}

bool tlPictureLayer::removeEffect(int32_t index, bool updateAfter) {
    if (!effects.removeAt(index)) return false;
    if (updateAfter) update();
    return true;
}

void tlPictureLayer::setSource(tlPicture *newSource) {
    if (newSource == source) return;
    delete source;
    source = newSource;
}

// True when copy holds everything of original that copying duplicates.
static bool completeCopy(const tlPictureLayer &copy, const tlPictureLayer &original) {
    if (original.store && !copy.store) return false;
    if (original.palette && (!copy.palette || copy.palette->count != original.palette->count)) return false;
    if (copy.textInfo.count != original.textInfo.count) return false;
    if (copy.effects.count() != original.effects.count()) return false;
    for (int32_t i = 0; i < copy.effects.count(); ++i)
        if (original.effects.at(i) && !copy.effects.at(i)) return false;
    if (original.source) {
        if (!copy.source) return false;
        if (original.source->store && !copy.source->store) return false;
    }
    return true;
}

tlLayer *tlPictureLayer::clone() const {
    tlPictureLayer *copy = new (std::nothrow) tlPictureLayer(*this);
    if (copy && !completeCopy(*copy, *this)) {
        delete copy;
        copy = nullptr;
    }
    return copy;
}

// --------------------------------------------------------------- applyEffect

// An effect at full opacity in normal mode writes straight into the picture
// from a copy of it. Otherwise it writes into the copy, which is then
// composited onto the picture with the effect's mode and opacity.
bool applyEffect(tlPicture &picture, tlEffect &effect) {
    if (effect.producesPicture()) {
        tlPicture *produced = nullptr;
        if (!effect.producePicture(picture, produced, nullptr) || !produced) return false;
        picture.moveFrom(*produced);
        delete produced;
        return true;
    }
    tlPicture copy(picture);
    if (copy.isEmpty() && !picture.isEmpty()) return false;  // no memory for the copy
    if (effect.opacity == 65535 && effect.blendMode == 0) return effect.apply(copy, picture, nullptr);
    if (!effect.apply(picture, copy, nullptr)) return false;
    picture.blendFrom(0, 0, copy, 0, 0, copy.width, copy.height, effect.blendMode, effect.opacity);
    return true;
}
