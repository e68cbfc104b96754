// libFuzzer entry: recipes, as text (input starting with 'T': the rest is
// the text) or as a body (any other first byte, then the body). Every
// result is a known code with a text; an accepted recipe writes back to the
// very body and text it came from and renders, at a size cut to 64 x 64 at
// most so that runs stay fast, without a fault or a failure.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "compose/recipe.h"
#include "imaging/image.h"

namespace {

void checkDescribed(const tlRecipeStatus &status) {
    if (static_cast<int32_t>(status.result) < 0 ||
        static_cast<int32_t>(status.result) > static_cast<int32_t>(tlRecipeResult::EffectFailed))
        __builtin_trap();
    char text[512];
    if (!describeRecipeStatus(status, text, sizeof text)) __builtin_trap();
}

// The body of the recipe, which must be the input body itself when given.
void checkWrittenBack(const tlRecipe &recipe, const uint8_t *body, size_t size) {
    uint8_t again[kRecipeBodyCapacity];
    size_t length = 0;
    if (!encodeRecipeBody(recipe, again, sizeof again, length).ok()) __builtin_trap();
    if (body != nullptr && (length != size || std::memcmp(again, body, size) != 0)) __builtin_trap();
    char text[kRecipeTextCapacity];
    tlRecipe back;
    if (!encodeRecipeText(recipe, text, sizeof text).ok() || !decodeRecipeText(text, back).ok()) __builtin_trap();
    char second[kRecipeTextCapacity];
    if (!encodeRecipeText(back, second, sizeof second).ok() || std::strcmp(text, second) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1 || size > 16384) return 0;
    tlRecipe recipe;
    tlRecipeStatus status;
    const bool text = data[0] == 'T';
    if (text) {
        const std::string line(reinterpret_cast<const char *>(data + 1), size - 1);
        status = decodeRecipeText(line.c_str(), recipe);
    } else {
        status = decodeRecipeBody(data + 1, size - 1, recipe);
    }
    checkDescribed(status);
    if (!status.ok()) return 0;
    checkWrittenBack(recipe, text ? nullptr : data + 1, size - 1);

    if (recipe.width > 64) recipe.width = 64;
    if (recipe.height > 64) recipe.height = 64;
    tlImage *image = nullptr;
    status = renderRecipe(recipe, image);
    checkDescribed(status);
    if (!status.ok() || image == nullptr || image->picture.width != recipe.width) __builtin_trap();
    delete image;
    return 0;
}
