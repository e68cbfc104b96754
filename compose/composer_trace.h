// A composition observer that writes the effect stack as JSON lines, and the
// picture digest used to compare compositions between builds.
#pragma once

#include <cstdint>
#include <string>

#include "compose/composer.h"

class tlPicture;

// Appends one JSON object per line to out:
//   {"add":"GlassTile","typeId":29,"opacity":O,"blendMode":B,"params":{...}}
//   {"contrast":N}
//   {"failed":"GlassTile"}
// params lists every catalogue field of the class, stored or not.
class tlComposeTrace : public tlComposeObserver {
public:
    explicit tlComposeTrace(std::string &out) : out(out) {}

    void effectAdded(const tlEffect &effect) override;
    void effectFailed(const tlEffect &effect) override;
    void allocationFailed(int32_t typeId) override;
    void contrastMeasured(int32_t contrast) override;

    // {"wallpaper":k,"width":W,"height":H}, written before each composition.
    void wallpaper(int32_t number, int32_t width, int32_t height);

private:
    std::string &out;
};

// FNV-1a 64 of the picture's pixel bytes, row by row without the row padding
// (0 offset basis for an empty picture).
uint64_t pictureDigest(const tlPicture &picture);
