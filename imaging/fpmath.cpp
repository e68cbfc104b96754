// Deterministic sin, cos and atan: argument reduction and polynomial kernels
// in double arithmetic, with exact error terms (Dekker products, two-sums)
// where a rounding would otherwise reach the last bit.
#include "imaging/fpmath.h"

#include <cstdint>
#include <cstring>

namespace {

// π/2 in four parts. The first three have 33 significant bits, so n·part is
// exact for n < 2^20; the fourth is the rest rounded.
constexpr double kPio2Part1 = 0x1.921fb544p+0;
constexpr double kPio2Part2 = 0x1.0b4611a6p-34;
constexpr double kPio2Part3 = 0x1.3198a2ep-69;
constexpr double kPio2Part4 = 0x1.b839a252049c1p-104;
constexpr double kPio2Hi = 0x1.921fb54442d18p+0;  // π/2 = hi + lo to 107 bits
constexpr double kPio2Lo = 0x1.1a62633145c07p-54;
constexpr double kInvPio2 = 0x1.45f306dc9c883p-1;  // 2/π rounded
constexpr double kRoundToInteger = 0x1.8p52;       // (v + this) − this = v to nearest, |v| < 2^51
constexpr double kMediumLimit = 0x1.921fb54442d18p+20;  // 2^20·π/2

// 2/π = 0.a2f9836e4e44… in binary, 1280 bits, most significant word first.
constexpr uint64_t kTwoOverPi[20] = {
    0xa2f9836e4e441529ull, 0xfc2757d1f534ddc0ull, 0xdb6295993c439041ull, 0xfe5163abdebbc561ull,
    0xb7246e3a424dd2e0ull, 0x06492eea09d1921cull, 0xfe1deb1cb129a73eull, 0xe88235f52ebb4484ull,
    0xe99c7026b45f7e41ull, 0x3991d639835339f4ull, 0x9c845f8bbdf9283bull, 0x1ff897ffde05980full,
    0xef2f118b5a0a6d1full, 0x6d367ecf27cb09b7ull, 0x4f463f669e5fea2dull, 0x7527bac7ebe5f17bull,
    0x3d0739f78a5292eaull, 0x6bfb5fb11f8d5d08ull, 0x56033046fc7b6babull, 0xf0cfbc209af4361dull,
};

// Taylor coefficients (−1)^k/(2k+1)! and (−1)^k/(2k)!: on |y| <= π/4 the
// first omitted terms are below 2^−63 of the result.
constexpr double kS3 = -0x1.5555555555555p-3, kS5 = 0x1.1111111111111p-7, kS7 = -0x1.a01a01a01a01ap-13,
                 kS9 = 0x1.71de3a556c734p-19, kS11 = -0x1.ae64567f544e4p-26, kS13 = 0x1.6124613a86d09p-33,
                 kS15 = -0x1.ae7f3e733b81fp-41, kS17 = 0x1.952c77030ad4ap-49;
constexpr double kS3Lo = -0x1.5555555555555p-57;  // −1/6 − kS3
constexpr double kC4 = 0x1.5555555555555p-5, kC6 = -0x1.6c16c16c16c17p-10, kC8 = 0x1.a01a01a01a01ap-16,
                 kC10 = -0x1.27e4fb7789f5cp-22, kC12 = 0x1.1eed8eff8d898p-29, kC14 = -0x1.93974a8c07c9dp-37,
                 kC16 = 0x1.ae7f3e733b81fp-45, kC18 = -0x1.6827863b97d97p-53;

// atan(k/64) and π/2 − atan(k/64) for k = 0 .. 64, each as hi + lo.
struct tlAtanEntry {
    double atanHi, atanLo, restHi, restLo;
};
constexpr tlAtanEntry kAtanTable[65] = {
    {0x0.0p+0, 0x0.0p+0, 0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54},
    {0x1.fff555bbb729bp-7, -0x1.220c39d4dff50p-61, 0x1.8e1fca98cb633p+0, 0x1.1299ee93be016p-56},
    {0x1.ffd55bba97625p-6, -0x1.5ec431444912cp-60, 0x1.8a205fd558740p+0, -0x1.30228c09a91b4p-54},
    {0x1.7fb818430da2ap-5, -0x1.86ef8f794f105p-63, 0x1.8621f4822a647p+0, -0x1.26d12837ecc05p-57},
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60, 0x1.82250768ac529p+0, -0x1.e78c96d05afcbp-58},
    {0x1.3f59f0e7c559dp-4, 0x1.ac4ce285df847p-58, 0x1.7e2a1635c67bep+0, 0x1.bf9d9508e7c82p-54},
    {0x1.7ee182602f10fp-4, -0x1.cfb654c0c3d98p-58, 0x1.7a319d1e3fe07p+0, 0x1.775dc87d51fe0p-54},
    {0x1.be39ebe6f07c3p-4, 0x1.f7b8f29a05987p-58, 0x1.763c1685d3c9cp+0, 0x1.d736a03d2b373p-57},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59, 0x1.7249faa996a21p+0, 0x1.a8cc1e7480c68p-54},
    {0x1.1e1fafb043727p-3, -0x1.b485914dacf8cp-59, 0x1.6e5bbf4e3a633p+0, 0x1.a8068fbbb3283p-54},
    {0x1.3d6eee8c6626cp-3, 0x1.61a3b0ce9281bp-57, 0x1.6a71d772b60cbp+0, -0x1.11d212e88c8fdp-54},
    {0x1.5c9811e3ec26ap-3, -0x1.054ab2c010f3dp-58, 0x1.668cb307c54cbp+0, 0x1.55b872ea367d6p-57},
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58, 0x1.62acbeaca61b8p+0, 0x1.c6ac9f134fa91p-60},
    {0x1.9a6a8e96c8626p-3, 0x1.cf601e7b4348ep-59, 0x1.5ed2637169c54p+0, -0x1.f4189dc29459ep-54},
    {0x1.b90d7529260a2p-3, 0x1.17b10d2e0e5abp-61, 0x1.5afe069f1e104p+0, 0x1.8330116e9a3b9p-58},
    {0x1.d77d5df205736p-3, 0x1.c648d1534597ep-57, 0x1.5730098602231p+0, 0x1.e1994906dd0d7p-54},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57, 0x1.5368c951e9cfdp+0, -0x1.96f47948a99f1p-54},
    {0x1.09dc597d86362p-2, 0x1.62e47390cb865p-56, 0x1.4fa89ee4e1440p+0, -0x1.3e56b9b2ed212p-54},
    {0x1.18bf5a30bf178p-2, 0x1.30ca4748b1bf9p-57, 0x1.4befdeb8130bap+0, 0x1.e89234905f110p-55},
    {0x1.278372057ef46p-2, -0x1.077cdd36dfc81p-56, 0x1.483ed8c2e3147p+0, -0x1.477ccb02049b2p-55},
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57, 0x1.4495d86823225p+0, 0x1.4d29adbab2a62p-54},
    {0x1.44aa436c2af0ap-2, -0x1.5d5e43c55b3bap-56, 0x1.40f5246938156p+0, -0x1.1c8c17bac6e15p-55},
    {0x1.530ad9951cd4ap-2, -0x1.2566480884082p-57, 0x1.3d5cfedefb9c6p+0, -0x1.81e1a79b537d2p-55},
    {0x1.614840309cfe2p-2, -0x1.a725715711f00p-56, 0x1.39cda5381b920p+0, -0x1.ef5101e3d70e5p-56},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56, 0x1.3647503caf55cp+0, 0x1.17e21d9a42c9ap-55},
    {0x1.7d5604b63b3f7p-2, 0x1.69c885c2b249ap-56, 0x1.32ca3416b401ap+0, 0x1.bff041c0992e0p-54},
    {0x1.8b24d394a1b25p-2, 0x1.b6d0ba3748fa8p-56, 0x1.2f56805f1a64fp+0, -0x1.4d472d7231f8dp-56},
    {0x1.98cd5454d6b18p-2, 0x1.9e6c988fd0a77p-56, 0x1.2bec602f0d252p+0, 0x1.658e7a1aa32d2p-55},
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56, 0x1.288bfa3512419p+0, 0x1.8e684e7a2281bp-56},
    {0x1.b3a911da65c6cp-2, 0x1.ae187b1ca5040p-56, 0x1.253570cda95fdp+0, 0x1.5db888d438feep-55},
    {0x1.c0db4c94ec9f0p-2, -0x1.cc1ce70934c34p-56, 0x1.21e8e21f07a9cp+0, 0x1.8d699cf392f14p-54},
    {0x1.cde53432c1351p-2, -0x1.a2cfa4418f1adp-56, 0x1.1ea6683792844p+0, 0x1.062c9883530e4p-55},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56, 0x1.1b6e192ebbe44p+0, 0x1.b1b466a88828ep-54},
    {0x1.e77eb7f175a34p-2, 0x1.0e53dc1bf3435p-56, 0x1.18400747e568bp+0, 0x1.ad9ad85491df3p-55},
    {0x1.f40dd0b541418p-2, -0x1.a3992dc382a23p-57, 0x1.151c4116f2812p+0, 0x1.4ed588e9b614bp-54},
    {0x1.0039c73c1a40cp-1, -0x1.b32c949c9d593p-55, 0x1.1202d1a635b12p+0, 0x1.f3f8ad7f946d1p-54},
    {0x1.0657e94db30d0p-1, -0x1.d5b495f6349e6p-56, 0x1.0ef3c09d694b0p+0, 0x1.8fcf88aed2e80p-54},
    {0x1.0c6145b5b43dap-1, 0x1.974fa13b5404fp-58, 0x1.0bef126968b2bp+0, 0x1.00ed691d90802p-54},
    {0x1.1255d9bfbd2a9p-1, -0x1.2bdaee1c0ee35p-58, 0x1.08f4c864643c4p+0, -0x1.a5bfdbd9f2a2cp-55},
    {0x1.1835a88be7c13p-1, 0x1.c621cec00c301p-55, 0x1.0604e0fe4ef0fp+0, -0x1.c8ae842ec057ap-54},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58, 0x1.031f57e54adbep+0, 0x1.338b4259c0270p-54},
    {0x1.23b71e2cc9e6ap-1, 0x1.c421c9f38224ep-57, 0x1.0044262dddde3p+0, 0x1.c3bc53e5aaf7ap-55},
    {0x1.2958e59308e31p-1, -0x1.09e73b0c6c087p-56, 0x1.fae684f57cc00p-1, -0x1.46479c173e7afp-55},
    {0x1.2ee628406cbcap-1, 0x1.c5d5e9ff0cf8dp-55, 0x1.f559424818e66p-1, 0x1.bbbb718dfa201p-57},
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55, 0x1.efe068bba2275p-1, 0x1.24a3b2e61a70bp-55},
    {0x1.39c391cd4171ap-1, -0x1.2304331d8bf46p-55, 0x1.ea7bd8bb44317p-1, -0x1.506e0cffd1159p-56},
    {0x1.3f13fb89e96f4p-1, 0x1.ecf8b492644f0p-56, 0x1.e52b6efe9c33cp-1, 0x1.3e486c1959596p-55},
    {0x1.445065b795b56p-1, -0x1.f76d0163f79c8p-56, 0x1.dfef04d0efedbp-1, -0x1.9f0971d6f161cp-56},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56, 0x1.dac670561bb4fp-1, 0x1.a2b7f222f65e2p-55},
    {0x1.4e8de5bb6ec04p-1, 0x1.4a33dbeb3796cp-55, 0x1.d5b184cd16e2cp-1, 0x1.d521d4eea7d44p-56},
    {0x1.538f57b89061fp-1, -0x1.1bb74abda520cp-55, 0x1.d0b012cff5412p-1, -0x1.5f07ddbf9ebccp-56},
    {0x1.587d81f732fbbp-1, -0x1.5e5c9d8c5a950p-56, 0x1.cbc1e89152a76p-1, -0x1.1c0cead74734ap-55},
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57, 0x1.c6e6d2171bf18p-1, 0x1.f4ba8d3373e1bp-55},
    {0x1.6220d115d7b8ep-1, -0x1.2b785350ee8c1p-57, 0x1.c21e9972adea3p-1, -0x1.805d24c938dc2p-55},
    {0x1.66d663923e087p-1, -0x1.6ea6febe8bbbap-56, 0x1.bd6906f6479aap-1, -0x1.13e7ba3e2ea15p-55},
    {0x1.6b798920b3d99p-1, -0x1.a80386188c50ep-55, 0x1.b8c5e167d1c98p-1, -0x1.19bd9c2741720p-58},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56, 0x1.b434ee31013fdp-1, -0x1.0520d0701d877p-55},
    {0x1.748978fba8e0fp-1, 0x1.7b2a6165884a1p-59, 0x1.afb5f18cdcc22p-1, -0x1.e2eddfb3cd03cp-55},
    {0x1.78f6bbd5d315ep-1, 0x1.406a089803740p-55, 0x1.ab48aeb2b28d2p-1, 0x1.e8b57b951019bp-56},
    {0x1.7d528289fa093p-1, 0x1.560821e2f3aa9p-55, 0x1.a6ece7fe8b99dp-1, 0x1.bd7948ff2fac9p-56},
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56, 0x1.a2a25f172cfe4p-1, -0x1.d700509dad6cep-56},
    {0x1.85d69576cc2c5p-1, 0x1.6b66e7fc8b8c3p-57, 0x1.9e68d511b976bp-1, 0x1.d9eb0c63689ddp-55},
    {0x1.89ff5ff57f1f8p-1, -0x1.55b9a5e177a1bp-55, 0x1.9a400a9306839p-1, -0x1.d6064eeff375dp-57},
    {0x1.8e17aa99cc05ep-1, -0x1.ec182ab042f61p-56, 0x1.9627bfeeb99d3p-1, -0x1.aa5e488aa6084p-56},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55, 0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
};

// s + e = a + b exactly (any magnitudes).
inline void twoSum(double a, double b, double &s, double &e) {
    s = a + b;
    const double bv = s - a;
    e = (a - (s - bv)) + (b - bv);
}

// s + e = a + b exactly when |a| >= |b| or a is 0.
inline void fastTwoSum(double a, double b, double &s, double &e) {
    s = a + b;
    e = b - (s - a);
}

// a = hi + lo with hi holding the top 26 bits (|a| below 2^996).
inline void split(double a, double &hi, double &lo) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    hi = c - (c - a);
    lo = a - hi;
}

// p + e = a·b exactly (Dekker; no fused multiply-add).
inline void twoProduct(double a, double b, double &p, double &e) {
    p = a * b;
    double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

inline uint64_t bitsOf(double x) {
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// 2^k for normal results (−1022 <= k <= 1023).
inline double powerOfTwo(int32_t k) {
    const uint64_t b = static_cast<uint64_t>(k + 1023) << 52;
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// x = n·π/2 + y0 + y1 for |x| < 2^20·π/2. n is x·2/π rounded; x − n·part1
// is exact (Sterbenz), and the later parts are taken off with exact sums so
// that even the closest doubles to multiples of π/2 keep 60 good bits.
int32_t reduceMedium(double x, double &y0, double &y1) {
    const double fn = (x * kInvPio2 + kRoundToInteger) - kRoundToInteger;
    const double r = x - fn * kPio2Part1;
    double a, ea, b, eb;
    twoSum(r, -(fn * kPio2Part2), a, ea);
    twoSum(a, -(fn * kPio2Part3), b, eb);
    twoSum(b, (ea + eb) - fn * kPio2Part4, y0, y1);
    return static_cast<int32_t>(fn);
}

// The 64 bits of the 256-bit number limb[0] (lowest) .. limb[3] that start at
// bit pos (0 <= pos < 256).
uint64_t bitWindow(const uint64_t limb[4], int32_t pos) {
    const int32_t k = pos / 64, s = pos % 64;
    uint64_t w = limb[k] >> s;
    if (s != 0 && k + 1 < 4) w |= limb[k + 1] << (64 - s);
    return w;
}

// 192 bits of 2/π after its first skip bits, most significant word first.
void twoOverPiWindow(int32_t skip, uint64_t w[3]) {
    const int32_t j = skip / 64, s = skip % 64;
    for (int32_t k = 0; k < 3; ++k)
        w[k] = s == 0 ? kTwoOverPi[j + k] : (kTwoOverPi[j + k] << s) | (kTwoOverPi[j + k + 1] >> (64 - s));
}

// f·2^−128 for a 128-bit f (hi, lo words) as y0 + y1, keeping its top 106 bits.
void fractionToDouble(uint64_t hi, uint64_t lo, double &y0, double &y1) {
    if (hi == 0 && lo == 0) {
        y0 = y1 = 0.0;
        return;
    }
    int32_t shift = 0;  // leading zeros of the 128 bits
    while (hi == 0) hi = lo, lo = 0, shift += 64;
    while (!(hi >> 63)) hi = (hi << 1) | (lo >> 63), lo <<= 1, ++shift;
    const uint64_t top = hi >> 11;                                // 53 bits
    const uint64_t next = ((hi & 0x7FFu) << 42) | (lo >> 22);     // the 53 after them
    const double h = static_cast<double>(top) * powerOfTwo(-53 - shift);
    const double l = static_cast<double>(next) * powerOfTwo(-106 - shift);
    fastTwoSum(h, l, y0, y1);
}

// x = n·π/2 + y0 + y1 for large finite x >= 2^20·π/2 (Payne–Hanek): with x =
// m·2^e, the bits of 2/π that make m·2^e·(2/π) a multiple of 8 are skipped,
// the next 192 multiplied by m in integers; the integer part gives n mod 8,
// the next 128 bits the fraction, which becomes y after × π/2.
int32_t reduceLarge(double x, double &y0, double &y1) {
    const uint64_t bits = bitsOf(x);
    const int32_t e = static_cast<int32_t>((bits >> 52) & 0x7FF) - 1075;
    const uint64_t m = (bits & 0xFFFFFFFFFFFFFull) | (1ull << 52);
    const int32_t skip = e > 3 ? e - 3 : 0;
    uint64_t w[3];
    twoOverPiWindow(skip, w);
    // m·w: 245 bits in four words, lowest first.
    typedef unsigned __int128 u128;
    const u128 t2 = static_cast<u128>(m) * w[2];
    const u128 t1 = static_cast<u128>(m) * w[1] + (t2 >> 64);
    const u128 t0 = static_cast<u128>(m) * w[0] + (t1 >> 64);
    const uint64_t limb[4] = {static_cast<uint64_t>(t2), static_cast<uint64_t>(t1), static_cast<uint64_t>(t0),
                              static_cast<uint64_t>(t0 >> 64)};
    const int32_t point = 192 + skip - e;  // bits below the binary point: 189 .. 224
    int32_t n = static_cast<int32_t>(bitWindow(limb, point) & 7u);
    uint64_t fHi = bitWindow(limb, point - 64), fLo = bitWindow(limb, point - 128);
    bool negative = false;
    if (fHi >> 63) {  // fraction >= 1/2: take 1 − fraction from the next n
        ++n;
        negative = true;
        fHi = ~fHi, fLo = ~fLo;
        if (++fLo == 0) ++fHi;
    }
    double f0, f1, p, pe;
    fractionToDouble(fHi, fLo, f0, f1);
    twoProduct(f0, kPio2Hi, p, pe);
    pe += f0 * kPio2Lo + f1 * kPio2Hi;
    fastTwoSum(p, pe, y0, y1);
    if (negative) y0 = -y0, y1 = -y1;
    return n;
}

// x = n·π/2 + y0 + y1 with |y0 + y1| <= about π/4, for finite x; only n mod
// 4 matters to the callers.
int32_t reduce(double x, double &y0, double &y1) {
    const double ax = x < 0.0 ? -x : x;
    if (ax < kMediumLimit) return reduceMedium(x, y0, y1);
    const int32_t n = reduceLarge(ax, y0, y1);
    if (x > 0.0) return n;
    y0 = -y0, y1 = -y1;
    return -n;
}

// sin(y0 + y1) for |y0| <= about π/4, |y1| tiny: y0 − y0³/6 + y0⁵·S(y0²) +
// y1·cos y0. y0³/6 is up to a tenth of the result, so it is formed to about
// 100 bits (exact products, −1/6 as hi + lo) and only the final sum rounds.
// z + zl = y0² exactly, shared with cosKernel.
double sinKernel(double y0, double y1, double z, double zl) {
    double v, vl, w, wl;
    twoProduct(z, y0, v, vl);
    vl += zl * y0;
    twoProduct(v, kS3, w, wl);
    wl += v * kS3Lo + vl * kS3;
    const double s = kS5 + z * (kS7 + z * (kS9 + z * (kS11 + z * (kS13 + z * (kS15 + z * kS17)))));
    double r, re;
    twoSum(y0, w, r, re);
    return r + (re + (wl + ((v * z) * s + y1 * (1.0 - 0.5 * z))));
}

// cos(y0 + y1): 1 − y0²/2 + y0⁴·C(y0²) − y1·y0. y0² is formed exactly and the
// rounding of 1 − y0²/2 kept, since that term alone is as large as the result.
double cosKernel(double y0, double y1, double z, double zl) {
    const double hz = 0.5 * z;
    const double w = 1.0 - hz;
    const double c = kC4 + z * (kC6 + z * (kC8 + z * (kC10 + z * (kC12 + z * (kC14 + z * (kC16 + z * kC18))))));
    return w + ((((1.0 - w) - hz) - 0.5 * zl) + ((z * z) * c - y0 * y1));
}

bool isFinite(double x) { return (bitsOf(x) & 0x7FF0000000000000ull) != 0x7FF0000000000000ull; }

bool isTiny(double x) { return (bitsOf(x) & 0x7FFFFFFFFFFFFFFFull) < bitsOf(0x1p-27); }

// atan(num/(1 + x·c)) + table for the grid point c = k/64 next to x, x in 0 .. 1
// given as x0 + x1; the quotient is carried to about 100 bits.
double atanNear(double x0, double x1, bool rest) {
    const int32_t k = static_cast<int32_t>(x0 * 64.0 + 0.5);
    const double c = k * (1.0 / 64);
    double nh, nl;  // x − c: x0 − c is exact (Sterbenz, or c = 0)
    twoSum(x0 - c, x1, nh, nl);
    double xh, xl;  // x0·c = xh·c + xl·c exactly: c has at most 7 bits
    split(x0, xh, xl);
    double p, pe, dh, dl;
    fastTwoSum(xh * c, xl * c + x1 * c, p, pe);
    fastTwoSum(1.0, p, dh, dl);
    dl += pe;
    const double t0 = nh / dh;
    double qh, ql;
    twoProduct(t0, dh, qh, ql);
    const double t1 = ((((nh - qh) - ql) + nl) - t0 * dl) / dh;
    const double u = t0 * t0;
    // atan t = t − t³/3 + t⁵/5 − t⁷/7 + t⁹/9, |t| <= 1/128: the rest is below 2^−70·t.
    const double tail = t1 + (t0 * u) * (-1.0 / 3 + u * (1.0 / 5 + u * (-1.0 / 7 + u * (1.0 / 9))));
    const tlAtanEntry &a = kAtanTable[k];
    double s, e;
    if (rest) {
        twoSum(a.restHi, -t0, s, e);
        return s + ((e + a.restLo) - tail);
    }
    twoSum(a.atanHi, t0, s, e);
    return s + ((e + a.atanLo) + tail);
}

}  // namespace

namespace fpm {

// Below 2^−27, x − x³/6 and 1 − x²/2 round to x and 1; answering early also
// keeps the sign of −0.
double sin(double x) {
    if (!isFinite(x)) return x - x;
    if (isTiny(x)) return x;
    double y0, y1, z, zl;
    const int32_t n = reduce(x, y0, y1) & 3;
    twoProduct(y0, y0, z, zl);
    if (n == 0) return sinKernel(y0, y1, z, zl);
    if (n == 1) return cosKernel(y0, y1, z, zl);
    if (n == 2) return -sinKernel(y0, y1, z, zl);
    return -cosKernel(y0, y1, z, zl);
}

double cos(double x) {
    if (!isFinite(x)) return x - x;
    if (isTiny(x)) return 1.0;
    double y0, y1, z, zl;
    const int32_t n = reduce(x, y0, y1) & 3;
    twoProduct(y0, y0, z, zl);
    if (n == 0) return cosKernel(y0, y1, z, zl);
    if (n == 1) return -sinKernel(y0, y1, z, zl);
    if (n == 2) return -cosKernel(y0, y1, z, zl);
    return sinKernel(y0, y1, z, zl);
}

void sinCos(double x, double &s, double &c) {
    if (!isFinite(x)) {
        s = c = x - x;
        return;
    }
    if (isTiny(x)) {
        s = x, c = 1.0;
        return;
    }
    double y0, y1, z, zl;
    const int32_t n = reduce(x, y0, y1) & 3;
    twoProduct(y0, y0, z, zl);
    const double sy = sinKernel(y0, y1, z, zl), cy = cosKernel(y0, y1, z, zl);
    s = n == 0 ? sy : n == 1 ? cy : n == 2 ? -sy : -cy;
    c = n == 0 ? cy : n == 1 ? -sy : n == 2 ? -cy : sy;
}

// |x| <= 1: the grid on x; 1 < |x| < 2^60: π/2 − atan(1/x) with 1/x carried
// as two doubles; beyond, π/2 rounded.
double atan(double x) {
    if (x != x) return x + x;
    const bool negative = (bitsOf(x) >> 63) != 0;  // −0 included
    const double ax = negative ? -x : x;
    double r;
    if (ax <= 1.0) {
        r = atanNear(ax, 0.0, false);
    } else if (ax < 0x1p60) {
        const double u0 = 1.0 / ax;
        double ph, pl;
        twoProduct(u0, ax, ph, pl);
        const double u1 = ((1.0 - ph) - pl) / ax;
        r = atanNear(u0, u1, true);
    } else {
        r = kPio2Hi;
    }
    return negative ? -r : r;
}

}  // namespace fpm
