// PAM (netpbm P7) pictures for the lab: TUPLTYPE RGB, RGB_ALPHA, GRAYSCALE
// and GRAYSCALE_ALPHA with MAXVAL 255 or 65535 (16-bit samples big-endian),
// so every non-indexed picture format round-trips exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/lab/picture_io.h"

class tlPicture;

// Largest width or height accepted from a file.
constexpr int32_t kPamMaxSide = 1 << 20;
// Longest header accepted, comments included.
constexpr size_t kPamMaxHeader = 65536;

// Decodes a PAM file held in memory; out is replaced only on success.
bool decodePam(const uint8_t *data, size_t size, tlPicture &out, std::string &error);
// Encodes a picture; indexed pictures are written as RGB (with alpha when
// they have it) through their palette.
bool encodePam(const tlPicture &picture, labBytes &out, std::string &error);
