// The written forms of a recipe: the binary body (varints, fields in
// catalogue order) and the text ("cw1-", base64url of the body and its
// CRC-32).
#include "compose/recipe.h"

#include <cstdio>
#include <cstring>

#include "effects/catalogue.h"

namespace {

tlRecipeStatus failure(tlRecipeResult result, const char *detail = nullptr) {
    tlRecipeStatus status;
    status.result = result;
    status.detail = detail;
    return status;
}

// ---- body writing ----

class tlBodyWriter {
public:
    tlBodyWriter(uint8_t *out, size_t size) : out(out), size(size) {}

    void byte(uint32_t v) {
        if (length < size)
            out[length] = static_cast<uint8_t>(v);
        else
            full = true;
        ++length;
    }
    // Unsigned LEB128: seven bits a byte, low bits first, the top bit set on
    // every byte but the last.
    void varint(uint32_t v) {
        for (; v >= 0x80; v >>= 7) byte((v & 0x7F) | 0x80);
        byte(v);
    }
    // Zigzag: 0, −1, 1, −2 … become 0, 1, 2, 3 …, so small negatives stay short.
    void zigzag(int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        varint((u << 1) ^ (v < 0 ? 0xFFFFFFFFu : 0u));
    }

    uint8_t *out;
    size_t size;
    size_t length = 0;
    bool full = false;
};

// The parts of the format byte of a colour.
constexpr uint32_t kColourModelMask = 3;
constexpr uint32_t kColourDeep = 4;
constexpr int32_t kColourChannelShift = 3;
constexpr uint32_t kColourUnused = 0xE0;

uint32_t load32(const uint8_t *s) { return s[0] | s[1] << 8 | s[2] << 16 | static_cast<uint32_t>(s[3]) << 24; }

void writeColour(tlBodyWriter &w, const tlColour &c) {
    const uint32_t model = static_cast<uint32_t>(c.model) & kColourModelMask;
    const bool deep = c.bits == 16;
    const int32_t channels = ((c.channels - 1) & 3) + 1;
    w.byte(model | (deep ? kColourDeep : 0) | static_cast<uint32_t>(channels - 1) << kColourChannelShift);
    for (int32_t i = 0; i < channels; ++i) {
        uint32_t v;
        if (model == 1 && channels == 1)
            v = load32(c.samples);
        else
            v = deep ? (c.samples[2 * i] | c.samples[2 * i + 1] << 8) : c.samples[i];
        w.byte(v & 0xFF);
        if (deep) w.byte(v >> 8 & 0xFF);
    }
}

// ---- body reading ----

class tlBodyReader {
public:
    tlBodyReader(const uint8_t *body, size_t size) : body(body), size(size) {}

    bool byte(uint32_t &v) {
        if (at >= size) return fail("it ends too soon");
        v = body[at++];
        return true;
    }
    // At most five bytes and 32 bits, and no needless high zero bytes, so
    // that every recipe has one body only.
    bool varint(uint32_t &v) {
        v = 0;
        for (int32_t shift = 0;; shift += 7) {
            uint32_t b;
            if (!byte(b)) return false;
            if (shift == 28 && b > 0x0F) return fail("a number does not fit 32 bits");
            v |= (b & 0x7F) << shift;
            if ((b & 0x80) == 0) return b != 0 || shift == 0 ? true : fail("a number has needless bytes");
        }
    }
    bool zigzag(int32_t &v) {
        uint32_t u;
        if (!varint(u)) return false;
        const uint32_t bits = (u >> 1) ^ (0u - (u & 1));
        std::memcpy(&v, &bits, sizeof v);
        return true;
    }
    bool fail(const char *why) {
        if (problem == nullptr) problem = why;
        return false;
    }
    bool atEnd() const { return at == size; }

    const char *problem = nullptr;

private:
    const uint8_t *body;
    size_t size;
    size_t at = 0;
};

bool readColour(tlBodyReader &r, tlColour &c) {
    uint32_t format;
    if (!r.byte(format)) return false;
    if (format & kColourUnused) return r.fail("a colour has an unknown format");
    const int32_t model = static_cast<int32_t>(format & kColourModelMask);
    const bool deep = (format & kColourDeep) != 0;
    const int32_t channels = static_cast<int32_t>(format >> kColourChannelShift & 3) + 1;
    c = tlColour();
    c.model = static_cast<tlColourModel>(model);
    c.bits = deep ? 16 : 8;
    c.channels = channels;
    for (int32_t i = 0; i < channels; ++i) {
        uint32_t low, high = 0;
        if (!r.byte(low) || (deep && !r.byte(high))) return false;
        const uint32_t v = low | high << 8;
        if (model == 1 && channels == 1) {
            c.samples[0] = static_cast<uint8_t>(low);
            c.samples[1] = static_cast<uint8_t>(high);
        } else if (deep) {
            c.samples[2 * i] = static_cast<uint8_t>(low);
            c.samples[2 * i + 1] = static_cast<uint8_t>(high);
        } else {
            c.samples[i] = static_cast<uint8_t>(v);
        }
    }
    return true;
}

// One effect after its type identifier; false with r.problem set, or with
// status set for a value that cannot even be held.
bool readEffect(tlBodyReader &r, const tlEffectInfo &info, int32_t index, tlRecipeEffect &e, tlRecipeStatus &status) {
    uint32_t transparency, blend;
    if (!r.varint(transparency) || !r.varint(blend)) return false;
    if (transparency > 65535 || blend > 17) {
        status.result = tlRecipeResult::BadValue;
        status.effect = index;
        status.typeId = e.typeId;
        status.field = transparency > 65535 ? "opacity" : "blendMode";
        status.value = transparency > 65535 ? 65535 - static_cast<int64_t>(transparency) : blend;
        status.high = transparency > 65535 ? 65535 : 17;
        return false;
    }
    e.opacity = 65535 - transparency;
    e.blendMode = static_cast<int32_t>(blend);
    for (int32_t k = 0; k < info.fieldCount; ++k) {
        uint32_t flag;
        switch (info.fields[k].kind) {
        case tlFieldKind::Int:
            if (!r.zigzag(e.numbers[k])) return false;
            break;
        case tlFieldKind::Bool:
            if (!r.byte(flag)) return false;
            e.numbers[k] = static_cast<int32_t>(flag);  // validation refuses all but 0 and 1
            break;
        case tlFieldKind::Colour:
            if (!readColour(r, e.colours[k])) return false;
            break;
        }
    }
    return true;
}

// ---- CRC-32 and base64url ----

// CRC-32 (reflected polynomial 0xEDB88320, as in zip and PNG) of the
// format byte followed by the body: a body of one format never passes for
// another's.
uint32_t recipeChecksum(const uint8_t *body, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    auto add = [&crc](uint8_t b) {
        crc ^= b;
        for (int32_t k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    };
    add(static_cast<uint8_t>(kRecipeFormat));
    for (size_t i = 0; i < size; ++i) add(body[i]);
    return ~crc;
}

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int32_t alphabetIndex(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '-') return 62;
    if (c == '_') return 63;
    return -1;
}

// Base64url without padding into out (size bytes, zero-terminated); false
// when it does not fit.
bool toBase64(const uint8_t *data, size_t n, char *out, size_t size) {
    const size_t need = (n / 3) * 4 + (n % 3 ? n % 3 + 1 : 0);
    if (need + 1 > size) return false;
    size_t o = 0;
    for (size_t i = 0; i < n; i += 3) {
        const uint32_t v = static_cast<uint32_t>(data[i]) << 16 | (i + 1 < n ? data[i + 1] << 8 : 0) |
                           (i + 2 < n ? data[i + 2] : 0);
        const size_t chars = i + 2 < n ? 4 : n - i + 1;
        for (size_t k = 0; k < chars; ++k) out[o++] = kAlphabet[v >> (18 - 6 * k) & 63];
    }
    out[o] = '\0';
    return true;
}

// Characters already known to be in the alphabet. A length that leaves one
// character over, or a last character whose spare bits are set, cannot come
// from the encoder: such texts were changed or cut.
bool fromBase64(const char *text, size_t n, uint8_t *out, size_t &length) {
    if (n % 4 == 1) return false;
    uint32_t acc = 0;
    int32_t bits = 0;
    length = 0;
    for (size_t i = 0; i < n; ++i) {
        acc = (acc << 6 | static_cast<uint32_t>(alphabetIndex(text[i]))) & 0xFFFFFF;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out[length++] = static_cast<uint8_t>(acc >> bits);
        }
    }
    return (acc & ((1u << bits) - 1)) == 0;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// "cw", the format number (no sign, no leading zero) and "-". Sets
// version and the length of the prefix; false when the text does not start so.
bool readPrefix(const char *text, size_t n, int32_t &version, size_t &length) {
    if (n < 4 || text[0] != 'c' || text[1] != 'w' || text[2] < '1' || text[2] > '9') return false;
    int64_t v = 0;
    size_t i = 2;
    for (; i < n && text[i] >= '0' && text[i] <= '9' && i < 11; ++i) v = v * 10 + (text[i] - '0');
    if (i >= n || text[i] != '-') return false;
    version = static_cast<int32_t>(v);
    length = i + 1;
    return true;
}

}  // namespace

tlRecipeStatus encodeRecipeBody(const tlRecipe &recipe, uint8_t *out, size_t size, size_t &length) {
    length = 0;
    if (recipe.effectCount < 0 || recipe.effectCount > kRecipeMaxEffects) {
        tlRecipeStatus status = failure(tlRecipeResult::TooManyEffects);
        status.value = recipe.effectCount;
        status.high = kRecipeMaxEffects;
        return status;
    }
    tlBodyWriter w(out, size);
    w.varint(static_cast<uint32_t>(recipe.width));
    w.varint(static_cast<uint32_t>(recipe.height));
    w.varint(static_cast<uint32_t>(recipe.effectCount));
    for (int32_t i = 0; i < recipe.effectCount; ++i) {
        const tlRecipeEffect &e = recipe.effects[i];
        const tlEffectInfo *info = findEffectInfo(e.typeId);
        if (info == nullptr) {
            tlRecipeStatus status = failure(tlRecipeResult::UnknownEffect);
            status.effect = i;
            status.typeId = e.typeId;
            return status;
        }
        w.varint(static_cast<uint32_t>(e.typeId));
        w.varint(65535u - e.opacity);
        w.varint(static_cast<uint32_t>(e.blendMode));
        for (int32_t k = 0; k < info->fieldCount; ++k) {
            switch (info->fields[k].kind) {
            case tlFieldKind::Int: w.zigzag(e.numbers[k]); break;
            case tlFieldKind::Bool: w.byte(static_cast<uint32_t>(e.numbers[k])); break;
            case tlFieldKind::Colour: writeColour(w, e.colours[k]); break;
            }
        }
    }
    if (w.full) return failure(tlRecipeResult::TooLong);
    length = w.length;
    return tlRecipeStatus();
}

tlRecipeStatus decodeRecipeBody(const uint8_t *body, size_t size, tlRecipe &out) {
    tlBodyReader r(body, size);
    tlRecipe recipe;
    uint32_t w, h, count;
    if (!r.varint(w) || !r.varint(h) || !r.varint(count)) return failure(tlRecipeResult::Malformed, r.problem);
    if (w > INT32_MAX || h > INT32_MAX || w < 1 || h < 1 || w > kRecipeMaxSide || h > kRecipeMaxSide) {
        tlRecipeStatus status = failure(tlRecipeResult::BadSize);
        status.width = w;
        status.height = h;
        return status;
    }
    recipe.width = static_cast<int32_t>(w);
    recipe.height = static_cast<int32_t>(h);
    if (count > static_cast<uint32_t>(kRecipeMaxEffects)) {
        tlRecipeStatus status = failure(tlRecipeResult::TooManyEffects);
        status.value = count;
        status.high = kRecipeMaxEffects;
        return status;
    }
    recipe.effectCount = static_cast<int32_t>(count);
    for (int32_t i = 0; i < recipe.effectCount; ++i) {
        tlRecipeEffect &e = recipe.effects[i];
        uint32_t typeId;
        if (!r.varint(typeId)) return failure(tlRecipeResult::Malformed, r.problem);
        const tlEffectInfo *info = typeId <= INT32_MAX ? findEffectInfo(static_cast<int32_t>(typeId)) : nullptr;
        e.typeId = static_cast<int32_t>(typeId);
        if (info == nullptr) {
            tlRecipeStatus status = failure(tlRecipeResult::UnknownEffect);
            status.effect = i;
            status.typeId = e.typeId;
            return status;
        }
        tlRecipeStatus status;
        if (!readEffect(r, *info, i, e, status))
            return status.ok() ? failure(tlRecipeResult::Malformed, r.problem) : status;
    }
    if (!r.atEnd()) return failure(tlRecipeResult::Malformed, "bytes follow the last effect");
    const tlRecipeStatus status = validateRecipe(recipe);
    if (status.ok()) out = recipe;
    return status;
}

tlRecipeStatus recipeTextOfBody(const uint8_t *body, size_t length, char *out, size_t size) {
    if (size > 0) out[0] = '\0';
    uint8_t payload[kRecipeBodyCapacity + 4];
    if (length > kRecipeBodyCapacity) return failure(tlRecipeResult::TooLong);
    if (length > 0) std::memcpy(payload, body, length);
    const uint32_t crc = recipeChecksum(payload, length);
    for (int32_t k = 0; k < 4; ++k) payload[length++] = static_cast<uint8_t>(crc >> (8 * k));
    char prefix[16];
    const size_t prefixLength = static_cast<size_t>(std::snprintf(prefix, sizeof prefix, "cw%d-", kRecipeFormat));
    if (size <= prefixLength || !toBase64(payload, length, out + prefixLength, size - prefixLength)) {
        if (size > 0) out[0] = '\0';
        return failure(tlRecipeResult::TooLong);
    }
    std::memcpy(out, prefix, prefixLength);
    return tlRecipeStatus();
}

tlRecipeStatus encodeRecipeText(const tlRecipe &recipe, char *out, size_t size) {
    if (size > 0) out[0] = '\0';
    tlRecipeStatus status = validateRecipe(recipe);
    if (!status.ok()) return status;
    uint8_t body[kRecipeBodyCapacity];
    size_t length = 0;
    status = encodeRecipeBody(recipe, body, sizeof body, length);
    return status.ok() ? recipeTextOfBody(body, length, out, size) : status;
}

tlRecipeStatus decodeRecipeText(const char *text, tlRecipe &out) {
    size_t first = 0, end = std::strlen(text);
    while (first < end && isSpace(text[first])) ++first;
    while (end > first && isSpace(text[end - 1])) --end;
    int32_t version = 0;
    size_t prefix = 0;
    if (!readPrefix(text + first, end - first, version, prefix)) return failure(tlRecipeResult::NotARecipe);
    if (version > kRecipeFormat) {
        tlRecipeStatus status = failure(tlRecipeResult::NewerFormat);
        status.version = version;
        return status;
    }
    if (version != kRecipeFormat) return failure(tlRecipeResult::NotARecipe);
    const char *chars = text + first + prefix;
    const size_t n = end - first - prefix;
    for (size_t i = 0; i < n; ++i) {
        if (alphabetIndex(chars[i]) < 0) {
            tlRecipeStatus status = failure(tlRecipeResult::BadCharacter);
            status.position = static_cast<int32_t>(first + prefix + i);
            return status;
        }
    }
    uint8_t payload[kRecipeBodyCapacity + 4];
    if (n > (sizeof payload / 3) * 4) return failure(tlRecipeResult::Malformed, "it is longer than any recipe");
    size_t length = 0;
    if (!fromBase64(chars, n, payload, length) || length < 4) return failure(tlRecipeResult::Damaged);
    length -= 4;
    const uint32_t crc = load32(payload + length);
    if (crc != recipeChecksum(payload, length)) return failure(tlRecipeResult::Damaged);
    return decodeRecipeBody(payload, length, out);
}
