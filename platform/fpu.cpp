// x87 precision control for threads that compute in long double.
#include "platform/fpu.h"

#include <cfloat>
#include <cstdint>

namespace platform {

void useExtendedPrecision() {
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    uint16_t control;
    __asm__ __volatile__("fnstcw %0" : "=m"(control));
    control = static_cast<uint16_t>(control | 0x0300u);  // precision control 11: 64 bits
    __asm__ __volatile__("fldcw %0" : : "m"(control));
#endif
}

bool hasExtendedPrecision() {
    // 1 + LDBL_EPSILON rounds back to 1 unless the sum keeps 64 bits.
    volatile long double one = 1.0L;
    volatile long double epsilon = LDBL_EPSILON;
    long double sum = one + epsilon;
    return LDBL_MANT_DIG == 64 && sum != one;
}

}  // namespace platform
