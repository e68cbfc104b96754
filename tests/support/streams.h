// Memory streams in the tests: filled from bytes, read back as bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "imagefiles/stream.h"

// A memory stream holding bytes, at its start.
inline void fillStream(tlMemoryStream &stream, const std::vector<uint8_t> &bytes) {
    stream.assign(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// Everything the stream holds, wherever its position.
inline std::vector<uint8_t> streamBytes(tlMemoryStream &stream) {
    return std::vector<uint8_t>(stream.data(), stream.data() + stream.size());
}
