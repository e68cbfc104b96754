// tlImage: creating, rendering the layer stack into the composite picture,
// and resolution units.
#include "imaging/image.h"

#include <algorithm>

tlImage::tlImage() : background(tlColour::rgb(255, 255, 255)) {}

// Members go in reverse order: text info, layers, then the composite.
tlImage::~tlImage() = default;

bool tlImage::create(int32_t w, int32_t h, tlPixelFormat newFormat) {
    if (!picture.create(w, h, newFormat)) return false;
    width = w;
    height = h;
    model = newFormat.model;
    bits = newFormat.bits;
    channels = newFormat.channels;
    layers.clear();
    return true;
}

void tlImage::takePicture(tlPicture &created) {
    picture.moveFrom(created);
    width = picture.width;
    height = picture.height;
    model = picture.model;
    bits = picture.bits;
    channels = picture.channels;
    layers.clear();
}

void tlImage::setResolution(int32_t unit, int32_t x, int32_t y) {
    resolutionUnit = unit;
    resolutionX = x;
    resolutionY = y;
}

bool tlImage::addLayer(tlLayer *layer) { return layers.append(layer); }

void tlImage::render() { renderArea(tlRect{0, 0, width, height}, true); }

void tlImage::render(const tlRect &area) {
    tlRect clipped{std::max(0, area.left), std::max(0, area.top), std::min(area.right, width),
                   std::min(area.bottom, height)};
    renderArea(clipped, false);
}

// Background first, then each visible layer that overlaps the area, bottom
// to top, through blendFrom. A layer the kernels cannot blend is left out.
void tlImage::renderArea(const tlRect &area, bool whole) {
    if (area.left >= area.right || area.top >= area.bottom || picture.isEmpty()) return;
    if (backgroundEnabled) {
        if (whole)
            picture.fill(background);
        else
            picture.fill(area, background);
    } else {
        if (whole)
            picture.clear();
        else
            picture.clear(area);
    }
    for (int32_t i = 0; i < layers.count(); ++i) {
        const tlLayer *layer = layers.at(i);
        if (!layer->visible || layer->isEmpty()) continue;
        // 64-bit edges: a layer far out must not wrap around into the image.
        int64_t layerRight = static_cast<int64_t>(layer->x) + layer->width;
        int64_t layerBottom = static_cast<int64_t>(layer->y) + layer->height;
        if (layer->x >= area.right || layer->y >= area.bottom || area.left >= layerRight || area.top >= layerBottom)
            continue;
        int32_t dx = std::max(layer->x, area.left);
        int32_t dy = std::max(layer->y, area.top);
        int32_t sx = layer->x < area.left ? area.left - layer->x : 0;
        int32_t sy = layer->y < area.top ? area.top - layer->y : 0;
        int32_t w = static_cast<int32_t>(std::min<int64_t>(area.right, layerRight) - layer->x - sx);
        int32_t h = static_cast<int32_t>(std::min<int64_t>(area.bottom, layerBottom) - layer->y - sy);
        picture.blendFrom(dx, dy, *layer, sx, sy, w, h, layer->blendMode, layer->opacity);
    }
}

// Each conversion is value × numerator / denominator.
static bool unitFactor(int32_t from, int32_t to, int64_t &numerator, int64_t &denominator) {
    static const int64_t table[3][3][2] = {
        {{1, 1}, {100, 254}, {10000, 254}},  // from per inch
        {{254, 100}, {1, 1}, {100, 1}},      // from per centimetre
        {{254, 10000}, {1, 100}, {1, 1}},    // from per metre
    };
    if (from < 1 || from > 3 || to < 1 || to > 3) return false;
    numerator = table[from - 1][to - 1][0];
    denominator = table[from - 1][to - 1][1];
    return true;
}

bool convertResolution(int32_t fromUnit, int32_t toUnit, int32_t &x, int32_t &y) {
    if (fromUnit == toUnit) return true;
    int64_t numerator = 0, denominator = 1;
    if (!unitFactor(fromUnit, toUnit, numerator, denominator)) return false;
    int64_t nx = static_cast<int64_t>(x) * numerator / denominator;
    int64_t ny = static_cast<int64_t>(y) * numerator / denominator;
    if (nx < INT32_MIN || nx > INT32_MAX || ny < INT32_MIN || ny > INT32_MAX) return false;
    x = static_cast<int32_t>(nx);
    y = static_cast<int32_t>(ny);
    return true;
}
