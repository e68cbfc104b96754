// tlRandom: MT19937 with the reference seeding, rejection-sampled bounded draws
// and the unit interval draw in extended precision.
#include "effects/core/random.h"

#include <cfloat>

static_assert(LDBL_MANT_DIG == 64, "unit() needs the 80-bit extended long double");

void tlRandom::seed(uint32_t value) {
    state[0] = value;
    for (uint32_t i = 1; i < 624; ++i) state[i] = 1812433253u * (state[i - 1] ^ (state[i - 1] >> 30)) + i;
    index = 624;
}

// Regenerates the 624 words in place, in increasing order, so that the words
// k + 397 >= 624 are read after their own update, as the reference does.
static inline uint32_t twist(uint32_t upper, uint32_t lower, uint32_t far) {
    uint32_t y = (upper & 0x80000000u) | (lower & 0x7FFFFFFFu);
    return far ^ (y >> 1) ^ ((y & 1u) ? 0x9908B0DFu : 0u);
}

void tlRandom::regenerate() {
    int32_t k = 0;
    for (; k < 624 - 397; ++k) state[k] = twist(state[k], state[k + 1], state[k + 397]);
    for (; k < 623; ++k) state[k] = twist(state[k], state[k + 1], state[k + 397 - 624]);
    state[623] = twist(state[623], state[0], state[396]);
    index = 0;
}

uint32_t tlRandom::next() { return tempered(); }

// Rejection keeps the draw unbiased: outputs above the largest multiple of n
// (minus one) are redrawn. The composer's sequences depend on how many raw
// numbers each call consumes, so the limit must be exactly this one.
static uint32_t rejectionLimit(uint32_t n) {
    if (n > 0x80000000u) return n - 1;
    uint32_t r = (0x80000000u % n) * 2u;
    if (r >= n) r -= n;  // r = 2^32 mod n
    return 0xFFFFFFFFu - r;
}

tlBound::tlBound(uint32_t bound) : n(bound) {
    if (n == 0) return;
    limit = rejectionLimit(n);
    reciprocal = UINT64_C(0xFFFFFFFFFFFFFFFF) / n + 1;
}

// The limit is at least 2^32 - n, so outputs up to there are accepted
// without it; only the rare larger ones pay for its division.
uint32_t tlRandom::below(uint32_t n) {
    if (n == 0) return 0;
    uint32_t v = next();
    if (v > 0u - n) {
        const uint32_t limit = rejectionLimit(n);
        while (v > limit) v = next();
    }
    return v % n;
}

// The quotient must be rounded to the 64-bit significand first and only then
// to double, on every thread. Windows starts threads with the x87 set to
// 53-bit precision, so the precision control is raised around the division.
double tlRandom::unit() {
    long double numerator = static_cast<long double>(next());
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    uint16_t saved;
    __asm__ __volatile__("fnstcw %0" : "=m"(saved));
    uint16_t extended = static_cast<uint16_t>(saved | 0x0300u);
    __asm__ __volatile__("fldcw %0" : : "m"(extended));
    // The empty statements tie the division between the two control word loads.
    __asm__ __volatile__("" : "+t"(numerator));
    long double quotient = numerator / 4294967295.0L;
    __asm__ __volatile__("" : "+t"(quotient));
    __asm__ __volatile__("fldcw %0" : : "m"(saved));
#else
    long double quotient = numerator / 4294967295.0L;
#endif
    return static_cast<double>(quotient);
}

tlRandom &sharedRandom() {
    // Static storage is zero-initialised; the shell seeds it before first use.
    static tlRandom instance;
    return instance;
}
