// Small integer helpers shared by the pixel kernels: sample access, depth
// changes, the rounded divisions by 255 and 65535 and clamps.
#pragma once

#include <cstdint>

// 8-bit sample to 16 bits: v × 257, so 255 becomes 65535.
inline uint32_t widen8To16(uint32_t v) { return v * 257u; }

// 16-bit sample to 8 bits: the high byte, v >> 8.
inline uint32_t narrow16To8(uint32_t v) { return v >> 8; }

// v / 255 rounded to nearest, as (v + 128 + ((v + 128) >> 8)) >> 8; v below 2^24.
inline uint32_t div255Round(uint32_t v) { return (v + 128u + ((v + 128u) >> 8)) >> 8; }

// v / 65535 rounded to nearest, as (v + 32768 + ((v + 32768) >> 16)) >> 16.
inline uint64_t div65535Round(uint64_t v) { return (v + 32768u + ((v + 32768u) >> 16)) >> 16; }

// v cut to at most hi (unsigned).
inline uint32_t clampHigh(uint64_t v, uint32_t hi) { return v > hi ? hi : static_cast<uint32_t>(v); }

// v cut to lo .. hi (signed).
inline int64_t clampRange(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Arithmetic right shift that rounds toward minus infinity for negative v too.
inline int64_t shiftRightFloor(int64_t v, int s) { return v >= 0 ? (v >> s) : ~((~v) >> s); }

// Reads the 16-bit little-endian sample at p.
inline uint32_t load16(const uint8_t *p) { return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8); }

// Writes v as a 16-bit little-endian sample at p.
inline void store16(uint8_t *p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// The largest sample of a depth, which is also opaque alpha: 255 or 65535.
template <int Bits>
constexpr uint32_t sampleMax() {
    return Bits == 8 ? 255u : 65535u;
}
inline uint32_t sampleMax(int32_t bits) { return bits == 8 ? 255u : 65535u; }

// Sample i of a run of samples: a byte at 8 bits, a little-endian word at 16.
template <int Bits>
inline uint32_t readSample(const uint8_t *p, int32_t i) {
    return Bits == 8 ? p[i] : load16(p + 2 * i);
}
inline uint32_t readSample(const uint8_t *p, int32_t bits, int32_t i) { return bits == 8 ? p[i] : load16(p + 2 * i); }

// Writes sample i: the low byte of v at 8 bits, its low word at 16.
template <int Bits>
inline void writeSample(uint8_t *p, int32_t i, uint32_t v) {
    if (Bits == 8)
        p[i] = static_cast<uint8_t>(v);
    else
        store16(p + 2 * i, v);
}
inline void writeSample(uint8_t *p, int32_t bits, int32_t i, uint32_t v) {
    if (bits == 8)
        p[i] = static_cast<uint8_t>(v);
    else
        store16(p + 2 * i, v);
}

// A sample taken from one depth to another: × 257 from 8 to 16 bits, the
// high byte from 16 to 8, unchanged otherwise.
template <int From, int To>
inline uint32_t changeDepth(uint32_t v) {
    if (From == To) return v;
    return From == 8 ? widen8To16(v) : narrow16To8(v);
}
inline uint32_t changeDepth(uint32_t v, int32_t from, int32_t to) {
    if (from == to) return v;
    return from == 8 ? widen8To16(v) : narrow16To8(v);
}
