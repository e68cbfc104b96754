// Multiple-precision evaluation of sin, cos, atan, exp and log in unsigned
// fixed point: a number is an integer limb and up to 16 fraction limbs of 64
// bits, most significant first. Every operation truncates, so each adds less
// than one unit of the last fraction bit ("unit" below); the evaluations
// carry a bound, in units, on the distance of their result from the true
// value, and the caller rounds only when the bound decides the rounding.
#include "imaging/fpmath_wide.h"

namespace fpm {
namespace detail {

const uint64_t kTwoOverPi[kTwoOverPiWords] = {
    0xa2f9836e4e441529ull, 0xfc2757d1f534ddc0ull, 0xdb6295993c439041ull, 0xfe5163abdebbc561ull, 0xb7246e3a424dd2e0ull,
    0x06492eea09d1921cull, 0xfe1deb1cb129a73eull, 0xe88235f52ebb4484ull, 0xe99c7026b45f7e41ull, 0x3991d639835339f4ull,
    0x9c845f8bbdf9283bull, 0x1ff897ffde05980full, 0xef2f118b5a0a6d1full, 0x6d367ecf27cb09b7ull, 0x4f463f669e5fea2dull,
    0x7527bac7ebe5f17bull, 0x3d0739f78a5292eaull, 0x6bfb5fb11f8d5d08ull, 0x56033046fc7b6babull, 0xf0cfbc209af4361dull,
    0xa9e391615ee61b08ull, 0x6599855f14a06840ull, 0x8dffd8804d732731ull, 0x06061556ca73a8c9ull, 0x60e27bc08c6b47c4ull,
    0x19c367cddce8092aull, 0x8359c4768b961ca6ull, 0xddaf44d15719053eull, 0xa5ff07053f7e33e8ull, 0x32c2de4f98327dbbull,
    0xc33d26ef6b1e5ef8ull, 0x9f3a1f35caf27f1dull, 0x87f121907c7c246aull, 0xfa6ed5772d30433bull, 0x15c614b59d19c3c2ull,
    0xc4ad414d2c5d000cull, 0x467d862d71e39ac6ull, 0x9b0062337cd2b497ull, 0xa7b4d55537f63ed7ull, 0x1810a3fc764d2a9dull,
    0x64abd770f87c6357ull, 0xb07ae715175649c0ull, 0xd9d63b3884a7cb23ull, 0x24778ad623545ab9ull, 0x1f001b0af1dfce19ull,
    0xff319f6a1e666157ull, 0x9947fbacd87f7eb7ull, 0x652289e83260bfe6ull, 0xcdc4ef09366cd43full, 0x5dd7de16de3b5892ull,
    0x9bde2822d2e88628ull, 0x4d58e232cac616e3ull, 0x08cb7de050c017a7ull, 0x1df35be01834132eull, 0x6212830148835b8eull,
    0xf57fb0adf2e91e43ull, 0x4a48d36710d8ddaaull, 0x425faece616aa428ull, 0x0ab499d3f2a6067full, 0x775c83c2a3883c61ull,
    0x78738a5a8cafbdd7ull, 0x6f63a62dcbbff4efull, 0x818d67c12645ca55ull, 0x36d9cad2a8288d61ull, 0xc277c9121426049bull,
    0x4612c459c444c5c8ull, 0x91b24df31700ad43ull, 0xd4e5492910d5fdfcull, 0xbe00cc941eeece70ull, 0xf53e1380f1ecc3e7ull,
    0xb328f8c79405933eull, 0x71c1b3092ef3450bull, 0x9c12887b20ab9fb5ull, 0x2ec292472f327b6dull, 0x550c90a7721fe76bull,
    0x96cb314a1679e279ull, 0x4189dff49794e884ull, 0xe6e29731996bed88ull, 0x365f5f0efdbbb49aull, 0x486ca46742727132ull,
    0x5d8db8159f09e5bcull, 0x25318d3974f71c05ull, 0x30010c0d68084b58ull, 0xee2c90aa4702e774ull, 0x24d6bda67df77248ull,
    0x6eef169fa6948ef6ull, 0x91b45153d1f20acfull, 0x3398207e4bf56863ull, 0xb25f3edd035d407full, 0x8985295255c06437ull,
    0x10d86d324832754cull, 0x5bd4714e6e5445c1ull, 0x090b69f52ad56614ull, 0x9d072750045ddb3bull, 0xb4c576ea17f9877dull,
    0x6b49ba271d296996ull, 0xacccc65414ad6ae2ull, 0x9089d98850722cbeull, 0xa4049407777030f3ull, 0x27fc00a871ea49c2ull,
    0x663de06483dd9797ull, 0x3fa3fd94438c860dull, 0xde41319d39928c70ull, 0xdde7b7173bdf082bull, 0x3715a0805c93805aull,
    0x921110d8e80faf80ull, 0x6c4bffdb0f903876ull, 0x185915a562bbcb61ull, 0xb989c7bd401004f2ull, 0xd2277549f6b6ebbbull,
    0x22dbaa140a2f2689ull, 0x768364333b091a94ull, 0x0eaa3a51c2a31daeull, 0xedaf12265c4dc26dull, 0x9c7a2d9756c0833full,
    0x03f6f0098c402b99ull, 0x316d07b43915200cull, 0x5bc3d8c492f54badull, 0xc6a5ca4ecd37a736ull, 0xa9e69492ab6842ddull,
    0xde6319ef8c76528bull, 0x6837dbfcaba1ae31ull, 0x15dfa1ae00dafb0cull, 0x664d64b705ed3065ull, 0x29bf56573aff47b9ull,
    0xf96af3be75df9328ull, 0x3080abf68c6615cbull, 0x040622fa1de4d9a4ull, 0xb33d8f1b5709cd36ull, 0xe9424ea4be13b523ull,
    0x331aaaf0a8654fa5ull, 0xc1d20f3f0bcd785bull, 0x76f923048b7b7217ull, 0x8953a6c6e26e6f00ull, 0xebef584a9bb7dac4ull,
    0xba66aacfcf761d02ull, 0xd12df1b1c1998c77ull, 0xadc3da4886a05df7ull, 0xf480c62ff0ac9aecull, 0xddbc5c3f6dded01full,
    0xc790b6db2a3a25a3ull, 0x9aaf009353ad0457ull, 0xb6b42d297e804ba7ull, 0x07da0eaa76a1597bull, 0x2a12162db7dcfde5ull,
    0xfafedb89fdbe896cull, 0x76e4fca90670803eull, 0x156e85ff87fd073eull, 0x2833676186182aeaull, 0xbd4dafe7b36e6d8full,
    0x3967955bbf3148d7ull, 0x8416df30432dc735ull, 0x6125ce70c9b8cb30ull, 0xfd6cbfa200a4e46cull, 0x05a0dd5a476f21d2ull,
    0x1262845cb9496170ull, 0xe0566b0152993755ull, 0x50b7d51ec4f1335full, 0x6e13e4305da92e85ull, 0xc3b21d3632a1a4b7ull,
    0x08d4b1ea21f716e4ull, 0x698f77ff2780030cull, 0x2d408da0cd4f99a5ull, 0x20d3a2b30a5d2f42ull, 0xf9b4cbda11d0be7dull,
    0xc1db9bbd17ab81a2ull, 0xca5c6a0817552e55ull, 0x0027f0147f8607e1ull, 0x640b148d4196debeull, 0x872afddab6256b34ull,
    0x897bfef3059ebfb9ull, 0x4f6a68a82a4a5ac4ull, 0x4fbcf82d985ad795ull, 0xc7f48d4d0da63a20ull, 0x5f57a4b13f149538ull,
    0x800120cc86dd71b6ull, 0xdec9f560bf11654dull, 0x6b0701acb08cd0c0ull, 0xb24855510efb1ec3ull, 0x72953b06a33540c0ull,
    0x7bdc06cc45e0fa29ull, 0x4ec8cad641f3e8deull, 0x647cd8649b31bed9ull, 0xc397a4d45877c5e3ull, 0x6913daf03c3aba46ull,
    0x18465f7555f5bdd2ull, 0xc6926e5d2eaced44ull, 0x0e423e1c87c461e9ull, 0xfd29f3d6e7ca7c22ull, 0x35916fc5e0088dd7ull,
    0xffe26a6ec6fdb0c1ull, 0x0893745d7cb2ad6bull, 0x9d6ecd7b723e6a11ull, 0xc6a9cff7df7329baull, 0xc9b55100b70db2e2ull,
    0x24ba74607de58ad8ull, 0x742c150d0c188194ull, 0x667e162901767a9full, 0xbefdfdef4556367eull, 0xd913d9ecb9ba8bfcull,
    0x97c427a831c36ef1ull, 0x36c59456a8d8b5a8ull, 0xb40ecccf2d891234ull, 0x576f89562ce3ce99ull, 0xb920d6aa5e6b9c2aull,
    0x3ecc5f114a0bfdfbull, 0xf4e16d3b8e2c86e2ull, 0x84d4e9a9b4fcd1eeull, 0xefc9352e61392f44ull, 0x2138c8d91b0afc81ull,
    0x6a4afbd81c2f84b4ull, 0x538c994ecc2254dcull, 0x552ad6c6c096190bull, 0xb8701a649569605aull, 0x26ee523f0f117f11ull,
    0xb5f4f5cbfc2dbc34ull, 0xeebc34cc5de8605eull, 0xdd9b8e67ef3392b8ull, 0x17c99b5861bc57e1ull, 0xc68351103ed84871ull,
    0xdddd1c2da118af46ull, 0x2c21d7f359987ad9ull, 0xc0549efa864ffc06ull, 0x56ae79e536228922ull, 0xad38dc9367aae855ull,
    0x3826829be7caa40dull, 0x51b133990ed7a948ull, 0x0569f0b265a7887full, 0x974c8836d1f9b392ull, 0x214a827b21cf98dcull,
    0x9f405547dc3a74e1ull, 0x42eb67df9dfe5fd4ull, 0x5ea4677b7aacbaa2ull, 0xf65523882b55ba41ull, 0x086e59862a218347ull,
    0x39e6e389d49ee540ull, 0xfb49e956ffca0f1cull, 0x8a59c52bfa94c5c1ull, 0xd3cfc50fae5adb86ull, 0xc5476243853b8621ull,
    0x94792c8761107b4cull, 0x2a1a2c8012bf4390ull, 0x2688893c78e4c4a8ull, 0x7bdbe5c23ac4eaf4ull, 0x268a67f7bf920d2bull,
    0xa365b1933d0b7cbdull, 0xdc51a463dd27dde1ull, 0x6919949a9529a828ull, 0xce68b4ed09209f44ull, 0xca984e638270237cull,
    0x7e32b90f8ef5a7e7ull, 0x561408f1212a9db5ull, 0x4d7e6f5119a5abf9ull, 0xb5d6df8261dd9602ull, 0x36169f3ac4a1a283ull,
    0x6ded727a8d39a9b8ull, 0x825c326b5b2746edull, 0x34007700d255f4fcull, 0x4d59018071e0e13full, 0x89b295f364a8f1aeull,
    0xa74b38fc4ceab2bbull, 0x47270babc3a734baull, 0x6052dd34f8563aebull, 0x7e8a31bb365895b7ull, 0x47f7a994c3aad392ull,
    0x251e7f3ed8974ebbull, 0xa94fd8ae01e661b4ull, 0x393d8ea523aa3306ull, 0x8e1633b53bb1881dull, 0x3a9d4013d0cc1be5ull,
    0xf862e73bf28f39b5ull, 0xbf0bc23522747ea2ull, 0x47c0d52d1f19add3ull, 0x9094df9311d0b42bull, 0x25496db2e264b25eull,
    0xf1353bc6a41a4ad0ull, 0xaac92e64e8865730ull, 0x91982cfb311b1a08ull, 0x728bbdcee160e142ull, 0xeb641dd0bba3e559ull,
};

}  // namespace detail
}  // namespace fpm

namespace {

using fpm::detail::tlBinaryNumber;
using fpm::detail::tlWideFunction;

typedef unsigned __int128 u128;

// The fraction bits of π/2 and ln 2, truncated: 1088 bits each.
constexpr uint64_t kPio2Fraction[17] = {
    0x921fb54442d18469ull, 0x898cc51701b839a2ull, 0x52049c1114cf98e8ull, 0x04177d4c76273644ull, 0xa29410f31c6809bbull,
    0xdf2a33679a748636ull, 0x605614dbe4be286eull, 0x9fc26adadaa3848bull, 0xc90b6aecc4bcfd8dull, 0xe89885d34c6fdad6ull,
    0x17feb96de80d6fdbull, 0xdc70d7f6b5133f4bull, 0x5d3e4822f8963fccull, 0x9250cca3d9c8b67bull, 0x8400f97142c77e0bull,
    0x31b4906c38aba734ull, 0xd22c7f51fa499ebfull,
};
constexpr uint64_t kLn2Fraction[17] = {
    0xb17217f7d1cf79abull, 0xc9e3b39803f2f6afull, 0x40f343267298b62dull, 0x8a0d175b8baafa2bull, 0xe7b876206debac98ull,
    0x559552fb4afa1b10ull, 0xed2eae35c1382144ull, 0x27573b291169b825ull, 0x3e96ca16224ae8c5ull, 0x1acbda11317c387eull,
    0xb9ea9bc3b136603bull, 0x256fa0ec7657f74bull, 0x72ce87b19d6548caull, 0xf5dfa6bd38303248ull, 0x655fa1872f20e3a2ull,
    0xda2d97c50f3fd5c6ull, 0x07f4ca11fb5bfb90ull,
};

constexpr int32_t kMaxFraction = 16;
constexpr int32_t kMaxLimbs = kMaxFraction + 1;

// value = w[0] + w[1]·2^−64 + … + w[n]·2^−64n for n fraction limbs; the
// limbs past n are ignored.
struct tlWide {
    uint64_t w[kMaxLimbs];
};

tlWide zero() {
    tlWide a;
    for (uint64_t &v : a.w) v = 0;
    return a;
}

tlWide integer(uint64_t v) {
    tlWide a = zero();
    a.w[0] = v;
    return a;
}

tlWide constant(uint64_t integerPart, const uint64_t *fraction, int32_t n) {
    tlWide a = integer(integerPart);
    for (int32_t i = 1; i <= n; ++i) a.w[i] = fraction[i - 1];
    return a;
}

bool isZero(const tlWide &a, int32_t n) {
    for (int32_t i = 0; i <= n; ++i)
        if (a.w[i] != 0) return false;
    return true;
}

int32_t compare(const tlWide &a, const tlWide &b, int32_t n) {
    for (int32_t i = 0; i <= n; ++i)
        if (a.w[i] != b.w[i]) return a.w[i] < b.w[i] ? -1 : 1;
    return 0;
}

tlWide add(const tlWide &a, const tlWide &b, int32_t n) {
    tlWide r = zero();
    uint64_t carry = 0;
    for (int32_t i = n; i >= 0; --i) {
        const u128 s = static_cast<u128>(a.w[i]) + b.w[i] + carry;
        r.w[i] = static_cast<uint64_t>(s);
        carry = static_cast<uint64_t>(s >> 64);
    }
    return r;
}

// a − b for a >= b.
tlWide subtract(const tlWide &a, const tlWide &b, int32_t n) {
    tlWide r = zero();
    uint64_t borrow = 0;
    for (int32_t i = n; i >= 0; --i) {
        const uint64_t d = a.w[i] - b.w[i] - borrow;
        borrow = (a.w[i] < b.w[i] || (a.w[i] == b.w[i] && borrow)) ? 1 : 0;
        r.w[i] = d;
    }
    return r;
}

// |a − b|, and whether a < b.
tlWide difference(const tlWide &a, const tlWide &b, int32_t n, bool &less) {
    less = compare(a, b, n) < 0;
    return less ? subtract(b, a, n) : subtract(a, b, n);
}

// a·b truncated (products below 2^64).
tlWide multiply(const tlWide &a, const tlWide &b, int32_t n) {
    uint64_t p[2 * kMaxLimbs] = {};  // a·b·2^128n, least significant first
    for (int32_t i = 0; i <= n; ++i) {
        uint64_t carry = 0;
        for (int32_t j = 0; j <= n; ++j) {
            const u128 t = static_cast<u128>(a.w[n - i]) * b.w[n - j] + p[i + j] + carry;
            p[i + j] = static_cast<uint64_t>(t);
            carry = static_cast<uint64_t>(t >> 64);
        }
        p[i + n + 1] = carry;
    }
    tlWide r = zero();
    for (int32_t j = 0; j <= n; ++j) r.w[j] = p[2 * n - j];
    return r;
}

tlWide multiplySmall(const tlWide &a, uint64_t v, int32_t n) {
    tlWide r = zero();
    uint64_t carry = 0;
    for (int32_t i = n; i >= 0; --i) {
        const u128 t = static_cast<u128>(a.w[i]) * v + carry;
        r.w[i] = static_cast<uint64_t>(t);
        carry = static_cast<uint64_t>(t >> 64);
    }
    return r;
}

// a/d truncated, d > 0.
tlWide divideSmall(const tlWide &a, uint64_t d, int32_t n) {
    tlWide r = zero();
    u128 rest = 0;
    for (int32_t i = 0; i <= n; ++i) {
        const u128 cur = (rest << 64) | a.w[i];
        r.w[i] = static_cast<uint64_t>(cur / d);
        rest = cur % d;
    }
    return r;
}

tlWide shiftRight(const tlWide &a, int32_t bits, int32_t n) {
    tlWide r = zero();
    const int32_t words = bits / 64, s = bits % 64;
    for (int32_t i = n; i >= words; --i) {
        const int32_t from = i - words;
        r.w[i] = s == 0 ? a.w[from] : (a.w[from] >> s) | (from > 0 ? a.w[from - 1] << (64 - s) : 0);
    }
    return r;
}

// a·2^bits; the bits pushed out of the integer limb are lost.
tlWide shiftLeft(const tlWide &a, int32_t bits, int32_t n) {
    tlWide r = zero();
    const int32_t words = bits / 64, s = bits % 64;
    for (int32_t i = 0; i + words <= n; ++i) {
        const int32_t from = i + words;
        r.w[i] = s == 0 ? a.w[from] : (a.w[from] << s) | (from < n ? a.w[from + 1] >> (64 - s) : 0);
    }
    return r;
}

// Zero bits above the highest one, counted from the top of the integer limb.
int32_t leadingZeros(const tlWide &a, int32_t n) {
    int32_t z = 0;
    for (int32_t i = 0; i <= n; ++i) {
        if (a.w[i] == 0) {
            z += 64;
            continue;
        }
        uint64_t v = a.w[i];
        while (!(v >> 63)) v <<= 1, ++z;
        return z;
    }
    return z;
}

// Little-endian helpers for the integer division and square root below.
bool lessLe(const uint64_t *a, const uint64_t *b, int32_t size) {
    for (int32_t i = size - 1; i >= 0; --i)
        if (a[i] != b[i]) return a[i] < b[i];
    return false;
}

void subtractLe(uint64_t *a, const uint64_t *b, int32_t size) {
    uint64_t borrow = 0;
    for (int32_t i = 0; i < size; ++i) {
        const uint64_t d = a[i] - b[i] - borrow;
        borrow = (a[i] < b[i] || (a[i] == b[i] && borrow)) ? 1 : 0;
        a[i] = d;
    }
}

// a/b truncated, b > 0 (quotients below 2^64): restoring division of
// a·2^128n by b·2^64n, one bit at a time.
tlWide divide(const tlWide &a, const tlWide &b, int32_t n) {
    const int32_t size = n + 2;
    uint64_t divisor[kMaxLimbs + 1] = {}, rest[kMaxLimbs + 1] = {};
    for (int32_t i = 0; i <= n; ++i) divisor[i] = b.w[n - i];
    tlWide q = zero();
    const int32_t bits = 64 * (2 * n + 1);
    for (int32_t k = bits - 1; k >= 0; --k) {
        // rest = 2·rest + bit k of a·2^64n (whose limb j holds a.w[2n − j] for j >= n)
        for (int32_t i = size - 1; i > 0; --i) rest[i] = (rest[i] << 1) | (rest[i - 1] >> 63);
        const int32_t limb = k / 64;
        const uint64_t bit = limb >= n ? (a.w[2 * n - limb] >> (k % 64)) & 1 : 0;
        rest[0] = (rest[0] << 1) | bit;
        if (!lessLe(rest, divisor, size)) {
            subtractLe(rest, divisor, size);
            if (k < 64 * (n + 1)) q.w[n - k / 64] |= 1ull << (k % 64);
        }
    }
    return q;
}

// √a truncated: the integer square root of a·2^128n, two bits at a time.
tlWide squareRoot(const tlWide &a, int32_t n) {
    const int32_t size = 2 * n + 2;
    uint64_t rest[2 * kMaxLimbs] = {}, root[2 * kMaxLimbs] = {}, trial[2 * kMaxLimbs] = {};
    for (int32_t i = 0; i <= n; ++i) rest[n + i] = a.w[n - i];
    for (int32_t k = 64 * (2 * n + 1) / 2 - 1; k >= 0; --k) {
        // trial = root·2^(k+1) + 2^2k, compared with the rest; root gains bit k.
        for (int32_t i = 0; i < size; ++i) trial[i] = 0;
        for (int32_t i = 0; i < size; ++i) {
            if (root[i] == 0) continue;
            const int32_t shift = k + 1, w = shift / 64, s = shift % 64;
            if (i + w < size) trial[i + w] |= root[i] << s;
            if (s != 0 && i + w + 1 < size) trial[i + w + 1] |= root[i] >> (64 - s);
        }
        trial[(2 * k) / 64] |= 1ull << ((2 * k) % 64);
        if (!lessLe(rest, trial, size)) {
            subtractLe(rest, trial, size);
            root[k / 64] |= 1ull << (k % 64);
        }
    }
    tlWide r = zero();
    for (int32_t i = 0; i <= n; ++i) r.w[n - i] = root[i];
    return r;
}

// ---- the evaluations --------------------------------------------------------

// A result: value·2^scale with value = magnitude, at most `error` units away
// from the true one.
struct tlApproximation {
    tlWide magnitude;
    int32_t scale;
    uint64_t error;
    bool negative;
};

// x = mantissa·2^exponent with mantissa in [2^63, 2^64): the top bit moved up.
void normalize(uint64_t significand, int32_t exponent, uint64_t &mantissa, int32_t &top) {
    int32_t shift = 0;
    while (!(significand >> 63)) significand <<= 1, ++shift;
    mantissa = significand;
    top = exponent - shift;
}

// a in [2^−64, 1) as V·2^s with V in [1/2, 1): returns s, scales V's error.
int32_t normalizeFraction(tlWide &a, uint64_t &error, int32_t n) {
    const int32_t up = leadingZeros(a, n) - 64;
    a = shiftLeft(a, up, n);
    error <<= up;
    return -up;
}

// Σ ±terms of a series in u, with term_k = term_{k−1}·u / divisor(k) (or,
// for the arctangent-like series, u^k / divisor(k)); alternating when asked.
// Adds the error bound (K + 2)·(3 + uError) for K terms.
tlWide series(const tlWide &u, uint64_t uError, int32_t n, bool alternating, uint64_t (*divisor)(int32_t), bool powers,
              uint64_t &error) {
    tlWide plus = integer(1), minus = zero(), term = integer(1), power = integer(1);
    int32_t k = 1;
    for (;; ++k) {
        if (powers) {
            power = multiply(power, u, n);
            term = divideSmall(power, divisor(k), n);
        } else {
            term = divideSmall(multiply(term, u, n), divisor(k), n);
        }
        if (isZero(term, n)) break;
        if (alternating && (k & 1))
            minus = add(minus, term, n);
        else
            plus = add(plus, term, n);
    }
    error += static_cast<uint64_t>(k + 2) * (3 + uError);
    return subtract(plus, minus, n);
}

uint64_t sineDivisor(int32_t k) { return static_cast<uint64_t>(2 * k) * (2 * k + 1); }
uint64_t cosineDivisor(int32_t k) { return static_cast<uint64_t>(2 * k - 1) * (2 * k); }
uint64_t oddDivisor(int32_t k) { return static_cast<uint64_t>(2 * k + 1); }
uint64_t factorialDivisor(int32_t k) { return static_cast<uint64_t>(k); }

// The reduced argument of sin and cos: |x| = quadrant·π/2 ± Y·2^scale, with
// Y in [1/2, 1) at most `error` units off.
struct tlReduced {
    tlWide y;
    int32_t scale;
    uint64_t error;
    int32_t quadrant;
    bool negative;
};

// Bits [pos, pos + 64) of the little-endian number p of `size` limbs (zeros
// beyond it).
uint64_t bitsAt(const uint64_t *p, int32_t size, int32_t pos) {
    if (pos < 0) return pos <= -64 ? 0 : bitsAt(p, size, 0) << -pos;
    const int32_t k = pos / 64, s = pos % 64;
    const uint64_t low = k < size ? p[k] >> s : 0;
    const uint64_t high = (s != 0 && k + 1 < size) ? p[k + 1] << (64 - s) : 0;
    return low | high;
}

// m times 64·words bits of 2/π after its first `skip` bits: words + 1 limbs,
// least significant first.
void multiplyByTwoOverPi(uint64_t m, int32_t skip, int32_t words, uint64_t *product) {
    using fpm::detail::kTwoOverPi;
    const int32_t j = skip / 64, s = skip % 64;
    uint64_t carry = 0;
    for (int32_t k = words - 1; k >= 0; --k) {
        const uint64_t w = s == 0 ? kTwoOverPi[j + k] : (kTwoOverPi[j + k] << s) | (kTwoOverPi[j + k + 1] >> (64 - s));
        const u128 t = static_cast<u128>(m) * w + carry;
        product[words - 1 - k] = static_cast<uint64_t>(t);
        carry = static_cast<uint64_t>(t >> 64);
    }
    product[words] = carry;
}

// The pt bits of p below its binary point as limbs f[0 .. limbs), most
// significant first; when they are 1/2 or more, 1 − f instead, and true.
bool fractionOf(const uint64_t *p, int32_t size, int32_t pt, uint64_t *f, int32_t limbs) {
    for (int32_t i = 0; i < limbs; ++i) f[i] = bitsAt(p, size, pt - 64 * (i + 1));
    if (!(f[0] >> 63)) return false;
    const int32_t spare = 64 * limbs - pt;  // zero bits at the bottom of f[limbs − 1]
    for (int32_t i = 0; i < limbs; ++i) f[i] = ~f[i];
    f[limbs - 1] &= spare == 0 ? ~0ull : ~((1ull << spare) - 1);
    uint64_t add = 1ull << spare;
    for (int32_t i = limbs - 1; i >= 0 && add != 0; --i) {
        f[i] += add;
        add = f[i] < add ? 1 : 0;
    }
    return true;
}

// Payne–Hanek with `words` words of 2/π: x = m·2^e, the bits of 2/π that
// make x·(2/π) a multiple of 4 are skipped and the next 64·words multiplied
// by m. The product has pt bits below the binary point; its two bits above
// give the quadrant, the fraction f (or 1 − f, then the next quadrant) the
// reduced argument f·π/2. The 2/π bits left out are worth less than 2^64
// units of the product's last bit. False when f has too few significant
// bits for n fraction limbs (the caller takes more words).
bool reduceWith(uint64_t m, int32_t e, int32_t n, int32_t words, tlReduced &r, int32_t &leading) {
    const int32_t skip = e > 2 ? e - 2 : 0;
    if (skip / 64 + words + 1 > fpm::detail::kTwoOverPiWords) return false;
    uint64_t product[64] = {}, f[64] = {};
    multiplyByTwoOverPi(m, skip, words, product);
    const int32_t size = words + 1, pt = 64 * words + skip - e, limbs = (pt + 63) / 64;
    r.quadrant = static_cast<int32_t>(bitsAt(product, size, pt) & 3);
    r.negative = fractionOf(product, size, pt, f, limbs);
    if (r.negative) ++r.quadrant;
    leading = 0;
    int32_t first = 0;
    while (first < limbs && f[first] == 0) ++first, leading += 64;
    if (first == limbs) return false;
    for (uint64_t v = f[first]; !(v >> 63); v <<= 1) ++leading;
    // f's error below 2^(64 − pt) must stay under one unit of its leading 64n bits.
    if (pt - leading - 64 * n < 66) return false;
    // Y_f = f·2^leading in [1/2, 1), truncated to n limbs.
    tlWide yf = zero();
    for (int32_t i = 1; i <= n; ++i) {
        const int32_t bit = leading + 64 * (i - 1);  // offset from the top of f
        const int32_t k = bit / 64, b = bit % 64;
        const uint64_t hi = k < limbs ? f[k] << b : 0;
        const uint64_t lo = (b != 0 && k + 1 < limbs) ? f[k + 1] >> (64 - b) : 0;
        yf.w[i] = hi | lo;
    }
    // y = Y_f·(π/2)·2^−leading: Y_f is 2 units off (truncation, 2/π),
    // π/2 one, the product one more: at most 2·π/2 + 1 + 1 < 6.
    tlWide z = multiply(yf, constant(1, kPio2Fraction, n), n);
    r.scale = -leading;
    r.error = 6;
    if (z.w[0] != 0) {  // in [1, π/2): halve, one more unit
        z = shiftRight(z, 1, n);
        r.scale += 1;
        r.error = 4;
    }
    r.y = z;
    return true;
}

// |x| = m·2^e (m < 2^64) reduced to |y| <= π/4; below 0.78125 y is x.
bool reduce(uint64_t m, int32_t e, int32_t n, tlReduced &r) {
    uint64_t mt;
    int32_t top;
    normalize(m, e, mt, top);  // |x| = mt·2^top, mt in [2^63, 2^64)
    if (top + 64 < 0 || (top + 64 == 0 && mt < 0xC800000000000000ull)) {
        r.y = zero();
        r.y.w[1] = mt;
        r.scale = top + 64;
        r.error = 0;
        r.quadrant = 0;
        r.negative = false;
        return true;
    }
    int32_t words = n + 4, leading = 0;
    while (words < 60) {
        if (reduceWith(m, e, n, words, r, leading)) return true;
        words += leading / 64 + 2;
    }
    return false;
}

// sin or cos of |x| = m·2^e; the caller gives the sign of sin.
bool sineOrCosine(uint64_t m, int32_t e, bool cosine, int32_t n, tlApproximation &a) {
    tlReduced r;
    if (!reduce(m, e, n, r)) return false;
    // sin|x| by quadrant: sin y, cos y, −sin y, −cos y; cos|x|: cos y, −sin y, −cos y, sin y.
    const int32_t q = (r.quadrant + (cosine ? 1 : 0)) & 3;
    const bool useCosine = (q & 1) != 0;
    a.negative = (q >= 2) != (!useCosine && r.negative);
    // u = y² = Y²·2^2s: 2·error + 1 units from Y and the product, one from the shift.
    const tlWide u = shiftRight(multiply(r.y, r.y, n), -2 * r.scale, n);
    const uint64_t uError = 2 * r.error + 2;
    a.error = 0;
    if (useCosine) {
        a.magnitude = series(u, uError, n, true, cosineDivisor, false, a.error);
        a.scale = 0;
    } else {
        const tlWide s = series(u, uError, n, true, sineDivisor, false, a.error);
        a.magnitude = multiply(r.y, s, n);
        a.error += r.error + 1;
        a.scale = r.scale;
    }
    return true;
}

// atan|x| for |x| = m·2^e. v = |x| or 1/|x| (then atan|x| = π/2 − atan v),
// halved h times by v ← v / (1 + √(1 + v²)) until below 1/16, then
// atan v = v·Σ (−v²)^k / (2k + 1) and scaled back by 2^h.
bool arctangent(uint64_t m, int32_t e, int32_t n, tlApproximation &a) {
    uint64_t mt;
    int32_t top;
    normalize(m, e, mt, top);
    tlWide v = zero();
    int32_t scale;
    uint64_t error = 0;
    const bool rest = top + 64 > 1 || (top + 64 == 1 && mt != 1ull << 63);
    if (!rest) {
        v.w[1] = mt;
        scale = top + 64;
    } else {  // 1/|x| = (2^63/mt)·2^(1 − top − 64)
        v = divideSmall(integer(1ull << 63), mt, n);
        error = 1;
        scale = 1 - top - 64;
        if (v.w[0] != 0) v = shiftRight(v, 1, n), scale += 1;  // mt = 2^63
    }
    int32_t halvings = 0;
    while (scale > -4) {
        // v in absolute terms: scale <= 0 except v = 1 (scale 1, exact).
        tlWide va = scale > 0 ? shiftLeft(v, scale, n) : shiftRight(v, -scale, n);
        uint64_t ve = scale > 0 ? error << scale : (error >> -scale) + 2;
        const tlWide d = add(squareRoot(add(multiply(va, va, n), integer(1), n), n), integer(1), n);
        // d is off by ve + 2.5, d >= 2: the quotient by ve/2 + (ve + 2.5)/4 + 1.
        v = divide(va, d, n);
        error = ve + 4;
        scale = normalizeFraction(v, error, n);
        ++halvings;
    }
    const tlWide u = shiftRight(multiply(v, v, n), -2 * scale, n);
    tlWide sum = series(u, 2 * error + 2, n, true, oddDivisor, true, error);
    a.magnitude = multiply(v, sum, n);  // V and the sum below 1
    a.error = error + 1;
    a.scale = scale + halvings;
    a.negative = false;
    if (rest) {
        const tlWide t = shiftRight(a.magnitude, -a.scale, n);
        a.magnitude = subtract(constant(1, kPio2Fraction, n), t, n);
        a.error = (a.error >> -a.scale) + 3;
        a.scale = 0;
    }
    return true;
}

// e^x for x = ±m·2^e: x = k·ln 2 + r, e^r by its series, times 2^k.
bool exponential(uint64_t m, int32_t e, bool negative, int32_t n, tlApproximation &a) {
    // |x| in fixed point (below 2^14), one unit off.
    tlWide x = e >= 0 ? integer(m << e) : shiftRight(integer(m), -e, n);
    const double approximate = static_cast<double>(x.w[0]) + static_cast<double>(x.w[1]) * 0x1p-64;
    const int32_t k = static_cast<int32_t>(approximate * 1.4426950408889634 + 0.5);  // |x| / ln 2, about
    const tlWide kLn2 = multiplySmall(constant(0, kLn2Fraction, n), static_cast<uint64_t>(k), n);
    bool below;
    const tlWide r = difference(x, kLn2, n, below);  // |x| − k·ln 2, off by 1 + k units
    const bool rNegative = negative != below;
    const uint64_t rError = 1 + static_cast<uint64_t>(k);
    // |r| <= 0.35, so every term is below 1 and each is off by at most
    // 4 + 2·rError units, which the series' bound covers.
    a.error = 0;
    a.magnitude = series(r, 2 * rError + 1, n, rNegative, factorialDivisor, false, a.error);
    a.scale = negative ? -k : k;
    a.negative = false;
    return true;
}

// ln x for x = m·2^e: x = m″·2^E with m″ in [√½, √2], f = (m″ − 1)/(m″ + 1),
// ln m″ = 2f·Σ f^2k / (2k + 1), ln x = E·ln 2 + ln m″.
bool logarithm(uint64_t m, int32_t e, int32_t n, tlApproximation &a) {
    uint64_t mt;
    int32_t top;
    normalize(m, e, mt, top);
    int32_t exponent = top + 63;  // x = (mt/2^63)·2^exponent
    tlWide mm = zero();
    if (mt > 0xB504F333F9DE6484ull) {  // above √2: halve
        mm.w[1] = mt;
        ++exponent;
    } else {
        mm.w[0] = 1;
        mm.w[1] = mt << 1;
    }
    bool below;
    tlWide num = difference(mm, integer(1), n, below);
    const tlWide ln2 = constant(0, kLn2Fraction, n);
    const uint64_t ke = static_cast<uint64_t>(exponent < 0 ? -exponent : exponent);
    a.negative = exponent < 0;
    a.scale = 0;
    if (isZero(num, n)) {  // a power of two
        a.magnitude = multiplySmall(ln2, ke, n);
        a.error = ke;
        return true;
    }
    uint64_t error = 0;
    const int32_t numScale = normalizeFraction(num, error, n);  // exact
    tlWide f = divide(num, add(mm, integer(1), n), n);          // in [0.2, 0.6), one unit
    error = 1;
    const int32_t scale = normalizeFraction(f, error, n) + numScale;
    const tlWide u = shiftRight(multiply(f, f, n), -2 * scale, n);
    const tlWide sum = series(u, 2 * error + 2, n, false, oddDivisor, true, error);
    tlWide logM = multiply(f, sum, n);  // ln m″ = ±logM·2^(scale + 1)
    error = 2 * error + 2;
    if (exponent == 0) {
        a.magnitude = logM;
        a.scale = scale + 1;
        a.error = error;
        a.negative = below;
        return true;
    }
    logM = shiftRight(logM, -(scale + 1), n);
    error = (error >> -(scale + 1)) + 2;
    const tlWide kLn2 = multiplySmall(ln2, ke, n);
    a.magnitude = (below == (exponent < 0)) ? add(kLn2, logM, n) : subtract(kLn2, logM, n);
    a.error = error + ke;
    return true;
}

// ---- rounding ---------------------------------------------------------------

// a·2^scale rounded to nearest; false when exactly half way.
bool roundFixed(const tlWide &a, int32_t n, int32_t scale, int32_t precision, int32_t minExponent,
                tlBinaryNumber &out) {
    out.negative = false;
    const int32_t lz = leadingZeros(a, n);
    if (lz == 64 * (n + 1)) {
        out.significand = 0, out.exponent = minExponent;
        return true;
    }
    // Bit i of the integer V = a·2^64n weighs 2^(i − 64n + scale).
    uint64_t v[kMaxLimbs];
    for (int32_t i = 0; i <= n; ++i) v[i] = a.w[n - i];
    const int32_t size = n + 1, p = 64 * size - 1 - lz;
    int32_t g = p - precision + 1;
    const int32_t lowest = minExponent + 64 * n - scale;
    if (g < lowest) g = lowest;
    if (g <= 0) {  // exact
        out.significand = bitsAt(v, size, g);
        out.exponent = g - 64 * n + scale;
        return true;
    }
    const uint64_t mask = precision == 64 ? ~0ull : (1ull << precision) - 1;
    uint64_t significand = bitsAt(v, size, g) & mask;
    const bool half = ((bitsAt(v, size, g - 1)) & 1) != 0;
    bool sticky = false;
    for (int32_t i = 0; i < size && !sticky; ++i) {
        const int32_t below = g - 1 - 64 * i;  // bits of limb i under the half bit
        if (below <= 0) break;
        sticky = (below >= 64 ? v[i] : v[i] & ((1ull << below) - 1)) != 0;
    }
    if (half && !sticky) return false;
    if (half) {
        ++significand;
        if ((significand & mask) == 0 || (precision < 64 && significand >> precision)) {
            significand = 1ull << (precision - 1);
            ++g;
        }
    }
    out.significand = significand;
    out.exponent = g - 64 * n + scale;
    return true;
}

bool evaluate(tlWideFunction f, const tlBinaryNumber &x, int32_t n, tlApproximation &a) {
    switch (f) {
    case tlWideFunction::sine:
        if (!sineOrCosine(x.significand, x.exponent, false, n, a)) return false;
        a.negative = a.negative != x.negative;
        return true;
    case tlWideFunction::cosine: return sineOrCosine(x.significand, x.exponent, true, n, a);
    case tlWideFunction::arctangent:
        if (!arctangent(x.significand, x.exponent, n, a)) return false;
        a.negative = x.negative;
        return true;
    case tlWideFunction::exponential: return exponential(x.significand, x.exponent, x.negative, n, a);
    case tlWideFunction::logarithm: return logarithm(x.significand, x.exponent, n, a);
    }
    return false;
}

}  // namespace

namespace fpm {
namespace detail {

tlBinaryNumber correctlyRounded(tlWideFunction f, tlBinaryNumber x, int32_t precision, int32_t minExponent) {
    tlBinaryNumber best = {0, minExponent, false};
    for (int32_t n = 2; n <= kMaxFraction; n *= 2) {
        tlApproximation a;
        if (!evaluate(f, x, n, a)) continue;
        roundFixed(a.magnitude, n, a.scale, precision, minExponent, best);
        best.negative = a.negative;
        tlWide bound = zero();
        bound.w[n] = a.error;
        if (compare(a.magnitude, bound, n) <= 0) continue;
        // Rounding is monotonic: when both ends of the interval round alike,
        // so does every value inside it.
        tlBinaryNumber low, high;
        if (!roundFixed(subtract(a.magnitude, bound, n), n, a.scale, precision, minExponent, low)) continue;
        if (!roundFixed(add(a.magnitude, bound, n), n, a.scale, precision, minExponent, high)) continue;
        if (low.significand == high.significand && low.exponent == high.exponent) {
            low.negative = a.negative;
            return low;
        }
    }
    // No argument of a double or long double needs this much precision.
    return best;
}

}  // namespace detail
}  // namespace fpm
