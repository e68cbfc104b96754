// tlRandom: MT19937 with the reference seeding, unbiased bounded draws, and
// the process-wide shared instance that random effects reseed.
#pragma once

#include <cstdint>

// A bound n prepared for many bounded draws: the rejection limit of
// tlRandom::below and a reciprocal that gives v mod n by two multiplications
// instead of a division.
struct tlBound {
    explicit tlBound(uint32_t n);

    // v mod n for every 32-bit v (n >= 1): the fraction v / n in 64-bit
    // fixed point, times n, keeps the remainder in its upper word.
    uint32_t remainder(uint32_t v) const {
#ifdef __SIZEOF_INT128__
        return static_cast<uint32_t>((static_cast<unsigned __int128>(reciprocal * v) * n) >> 64);
#else
        return v % n;
#endif
    }

    uint32_t n = 0;
    uint32_t limit = 0;       // largest accepted raw output
    uint64_t reciprocal = 0;  // ceil(2^64 / n) modulo 2^64, so 0 for n = 1
};

class tlRandom {
public:
    void seed(uint32_t value);
    uint32_t next();
    uint32_t below(uint32_t n);
    double unit();

    // below(bound.n) with the limit and remainder prepared: the same result
    // and the same raw numbers consumed, inlined for loops that draw millions.
    uint32_t below(const tlBound &bound) {
        if (bound.n == 0) return 0;
        uint32_t v;
        do {
            v = tempered();
        } while (v > bound.limit);
        return bound.remainder(v);
    }

    // count results of below(bound) into out, in draw order. Usually the
    // words are there and none is rejected: then they are tempered in one
    // loop the compiler can vectorise, and the remainders taken after it.
    // out must not overlap the state.
    void below(const tlBound &bound, uint32_t *out, int32_t count) {
        const int32_t i = index;
        if (count <= 0) return;
        if (bound.n == 0 || count > 624 - i) return belowOneByOne(bound, out, count);
        const uint32_t *words = state + i;
        for (int32_t k = 0; k < count; ++k) out[k] = temper(words[k]);
        const uint32_t limit = bound.limit;
        for (int32_t k = 0; k < count; ++k) {
            if (out[k] > limit) {
                index = i + k;  // the draw that is rejected, and the rest, once more
                return belowOneByOne(bound, out + k, count - k);
            }
            out[k] = bound.remainder(out[k]);
        }
        index = i + count;
    }

    // The same, one draw after the other.
    void belowOneByOne(const tlBound &bound, uint32_t *out, int32_t count) {
        if (bound.n == 0) {
            for (int32_t k = 0; k < count; ++k) out[k] = 0;
            return;
        }
        int32_t i = index;
        for (int32_t k = 0; k < count; ++k) {
            uint32_t v;
            do {
                if (i >= 624) {
                    regenerate();
                    i = 0;
                }
                v = temper(state[i++]);
            } while (v > bound.limit);
            out[k] = bound.remainder(v);
        }
        index = i;
    }

    uint32_t state[624];
    int32_t index = 624;

private:
    void regenerate();  // all 624 words, index 0

    static uint32_t temper(uint32_t y) {
        y ^= y >> 11;
        y ^= (y << 7) & 0x9D2C5680u;
        y ^= (y << 15) & 0xEFC60000u;
        y ^= y >> 18;
        return y;
    }

    uint32_t tempered() {
        if (index >= 624) regenerate();
        return temper(state[index++]);
    }
};

// The one deliberate global of the effects: the generator random effects draw
// from. It needs no owner because it carries nothing from one effect to the
// next: every random effect reseeds it from its own seed parameter before it
// draws, so a picture depends only on its effects' parameters. It is not
// guarded: one worker renders at a time, and nothing else applies effects
// while it runs.
tlRandom &sharedRandom();
