// tlRandom: agreement with the reference MT19937, the exact consumption of
// bounded draws, and the unit draw rounded through extended precision.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "effects/core/random.h"
#include "platform/fpu.h"

namespace {

// Inverse of the tempering, so a test can make next() return chosen values.
uint32_t untemper(uint32_t y) {
    y ^= y >> 18;
    y ^= (y << 15) & 0xEFC60000u;
    uint32_t x = y;
    for (int i = 0; i < 5; ++i) x = y ^ ((x << 7) & 0x9D2C5680u);
    y = x;
    x = y;
    for (int i = 0; i < 3; ++i) x = y ^ (x >> 11);
    return x;
}

// A generator whose next outputs are exactly the given values.
tlRandom scripted(const std::vector<uint32_t> &outputs) {
    tlRandom random;
    random.seed(1);
    for (size_t i = 0; i < outputs.size(); ++i) random.state[i] = untemper(outputs[i]);
    random.index = 0;
    return random;
}

// v / (2^32 - 1) rounded to nearest even with a significand of `digits` bits,
// then (when digits > 53) rounded again to double, computed exactly.
double exactQuotient(uint32_t v, int digits) {
    if (v == 0) return 0.0;
    const unsigned __int128 d = 0xFFFFFFFFu;
    int k = 0;
    while (((static_cast<unsigned __int128>(v) << k) / d) >> (digits - 1) == 0) ++k;
    unsigned __int128 n = static_cast<unsigned __int128>(v) << k;
    unsigned __int128 q = n / d, rem = n % d;
    if (2 * rem > d) ++q;  // d is odd: no exact ties
    if (digits > 53) {
        unsigned __int128 low = q & 0x7FF;
        q >>= 11;
        k -= 11;
        if (low > 0x400 || (low == 0x400 && (q & 1))) ++q;
    }
    return std::ldexp(static_cast<double>(q), -k);
}

}  // namespace

TEST(Random, MatchesReferenceAcrossRegenerations) {
    for (uint32_t s : {0u, 1u, 5489u, 19650218u, 0xFFFFFFFFu}) {
        tlRandom random;
        random.seed(s);
        std::mt19937 reference(s);
        for (int i = 0; i < 2000; ++i) ASSERT_EQ(random.next(), reference()) << "seed " << s << " draw " << i;
    }
}

TEST(Random, DefaultSeedAndRegenerationPoints) {
    tlRandom random;
    random.seed(5489);
    EXPECT_EQ(random.index, 624);
    EXPECT_EQ(random.next(), 3499211612u);
    EXPECT_EQ(random.index, 1);
    for (int i = 1; i < 624; ++i) random.next();
    EXPECT_EQ(random.index, 624);
    random.next();  // the 625th draw regenerates
    EXPECT_EQ(random.index, 1);
}

TEST(Random, BelowZeroAndOneConsumption) {
    tlRandom random;
    random.seed(7);
    random.next();
    tlRandom before = random;
    EXPECT_EQ(random.below(0), 0u);
    EXPECT_EQ(random.index, before.index);
    EXPECT_EQ(std::memcmp(random.state, before.state, sizeof random.state), 0);
    EXPECT_EQ(random.below(1), 0u);
    EXPECT_EQ(random.index, before.index + 1);
}

TEST(Random, BelowRejectsExactlyAboveTheLimit) {
    struct Case {
        uint32_t n;
        std::vector<uint32_t> outputs;
        uint32_t result;
        int32_t draws;
    };
    const Case cases[] = {
        {3, {4294967295u, 7}, 1, 2},  // only 2^32 - 1 is rejected
        {3, {4294967294u}, 2, 1},
        {32, {4294967295u}, 31, 1},  // powers of two never reject
        {3000000000u, {3000000000u, 4000000000u, 2999999999u}, 2999999999u, 3},
        {3000000000u, {4294967295u, 5}, 5, 2},
        {0x80000001u, {0x80000001u, 0x80000000u}, 0x80000000u, 2},
        {0x80000000u, {0xFFFFFFFFu}, 0x7FFFFFFFu, 1},
        {10, {4294967295u, 4294967290u, 4294967289u}, 9, 3},  // 2^32 mod 10 = 6
    };
    for (const Case &c : cases) {
        tlRandom random = scripted(c.outputs);
        EXPECT_EQ(random.below(c.n), c.result) << c.n;
        EXPECT_EQ(random.index, c.draws) << c.n;
    }
}

TEST(Random, UnitEndpoints) {
    tlRandom low = scripted({0}), high = scripted({0xFFFFFFFFu});
    EXPECT_EQ(low.unit(), 0.0);
    EXPECT_EQ(high.unit(), 1.0);
}

// The quotient is rounded to 64 bits, then to 53. Some outputs round
// differently when divided at double precision directly; the test includes
// such outputs and checks them on the main thread and on a new thread, which
// Windows starts at 53-bit x87 precision.
TEST(Random, UnitRoundsThroughExtendedPrecision) {
    std::vector<uint32_t> sensitive;
    std::mt19937 pick(11);
    while (sensitive.size() < 64) {
        uint32_t v = pick();
        if (exactQuotient(v, 64) != exactQuotient(v, 53)) sensitive.push_back(v);
    }
    auto check = [&sensitive](int &failures) {
        for (uint32_t v : sensitive) {
            tlRandom random = scripted({v});
            if (random.unit() != exactQuotient(v, 64)) ++failures;
        }
    };
    int mainFailures = 0, threadFailures = 0;
    check(mainFailures);
    std::thread worker([&] { check(threadFailures); });
    worker.join();
    EXPECT_EQ(mainFailures, 0);
    EXPECT_EQ(threadFailures, 0);
}

TEST(Random, ExtendedPrecisionHelper) {
    EXPECT_TRUE(platform::hasExtendedPrecision());  // the main thread of both builds
    bool inThread = false;
    std::thread worker([&] {
        platform::useExtendedPrecision();
        inThread = platform::hasExtendedPrecision();
    });
    worker.join();
    EXPECT_TRUE(inThread);
}

TEST(Random, SharedInstanceIsOneObject) {
    EXPECT_EQ(&sharedRandom(), &sharedRandom());
    sharedRandom().seed(42);
    std::mt19937 reference(42);
    EXPECT_EQ(sharedRandom().next(), reference());
}

namespace {

// below(n) exactly as the rule states it: the limit from 2^31 mod n, then
// redraws above it, then the remainder by division.
uint32_t plainBelow(tlRandom &random, uint32_t n) {
    if (n == 0) return 0;
    uint32_t limit;
    if (n > 0x80000000u) {
        limit = n - 1;
    } else {
        uint32_t r = (0x80000000u % n) * 2u;
        if (r >= n) r -= n;
        limit = 0xFFFFFFFFu - r;
    }
    uint32_t v;
    do {
        v = random.next();
    } while (v > limit);
    return v % n;
}

// Bounds around the places where the limit and the remainder change form.
std::vector<uint32_t> edgeBounds() {
    std::vector<uint32_t> bounds = {1,           2,           3,           5,           6,           7,
                                    10,          51,          65,          255,         256,         257,
                                    641,         65535,       65536,       65537,       1000000007u, 0x7FFFFFFFu,
                                    0x80000000u, 0x80000001u, 3000000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
    for (int32_t k = 0; k < 32; ++k) bounds.push_back(1u << k), bounds.push_back((1u << k) + 1u);
    return bounds;
}

// Outputs on both sides of every bound's limit, and of 2^32 - n, below
// which the limit is not consulted.
std::vector<uint32_t> outputsAround(uint32_t n) {
    const tlBound bound(n);
    std::vector<uint32_t> outputs;
    for (uint32_t edge : {bound.limit, 0u - n, 0xFFFFFFFFu, n, 0u})
        for (int32_t d = -2; d <= 2; ++d) outputs.push_back(edge + static_cast<uint32_t>(d));
    return outputs;
}

}  // namespace

// The reciprocal remainder against the division: edge values of v for edge
// bounds, then millions of random pairs over all magnitudes.
TEST(Random, BoundRemainderIsExact) {
    for (uint32_t n : edgeBounds()) {
        const tlBound bound(n);
        std::vector<uint32_t> values = {0, 1, 2, n - 1, n, n + 1, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
        for (uint64_t q : {uint64_t(1), uint64_t(2), uint64_t(3), uint64_t(0xFFFFFFFFu) / n})
            for (int32_t d = -1; d <= 1; ++d) values.push_back(static_cast<uint32_t>(q * n + static_cast<uint64_t>(d)));
        for (uint32_t v : values) ASSERT_EQ(bound.remainder(v), v % n) << v << " mod " << n;
    }
    std::mt19937 pick(2718);
    int32_t failures = 0;
    for (int32_t i = 0; i < 4000000; ++i) {
        uint32_t n = pick() >> (pick() & 31);  // every magnitude of bound
        if (n == 0) continue;
        const tlBound bound(n);
        for (int32_t j = 0; j < 4; ++j) {
            uint32_t v = pick() >> (j * 9);
            if (bound.remainder(v) != v % n) ++failures;
        }
    }
    EXPECT_EQ(failures, 0);
}

// below(n), below(bound) and the counted form agree with the plain rule in
// results and in the raw numbers consumed, at the limits.
TEST(Random, BoundedDrawsMatchThePlainRule) {
    for (uint32_t n : edgeBounds()) {
        const std::vector<uint32_t> outputs = outputsAround(n);
        const tlBound bound(n);
        tlRandom plain = scripted(outputs), viaN = plain, viaBound = plain, counted = plain;
        uint32_t results[32];
        counted.below(bound, results, 5);
        for (int32_t k = 0; k < 5; ++k) {
            const uint32_t expected = plainBelow(plain, n);
            ASSERT_EQ(viaN.below(n), expected) << n << " draw " << k;
            ASSERT_EQ(viaBound.below(bound), expected) << n << " draw " << k;
            ASSERT_EQ(results[k], expected) << n << " draw " << k;
            ASSERT_EQ(viaN.index, plain.index) << n;
            ASSERT_EQ(viaBound.index, plain.index) << n;
        }
        EXPECT_EQ(counted.index, plain.index) << n;
    }
}

// The counted form across regenerations, with rejections inside a batch,
// and with the bounds 0 and 1.
TEST(Random, CountedDrawsFollowTheSequence) {
    for (uint32_t n : {0u, 1u, 3u, 51u, 256u, 3000000000u}) {
        const tlBound bound(n);
        tlRandom plain, counted;
        plain.seed(n + 5);
        counted.seed(n + 5);
        for (int32_t count : {0, 1, 15, 5, 600, 3, 624, 625, 2000, 7}) {
            std::vector<uint32_t> results(static_cast<size_t>(count) + 1, 0xABCDu);
            counted.below(bound, results.data(), count);
            for (int32_t k = 0; k < count; ++k) ASSERT_EQ(results[k], plainBelow(plain, n)) << n << " " << count;
            ASSERT_EQ(results[count], 0xABCDu);  // nothing written past the count
            ASSERT_EQ(counted.index, plain.index);
            ASSERT_EQ(counted.next(), plain.next());
        }
    }
    // A rejected output in the middle of a batch is redrawn in place.
    tlRandom random = scripted({1, 2, 0xFFFFFFFFu, 4, 5});
    uint32_t results[4];
    random.below(tlBound(3), results, 4);
    EXPECT_EQ(results[0], 1u);
    EXPECT_EQ(results[1], 2u);
    EXPECT_EQ(results[2], 1u);
    EXPECT_EQ(results[3], 2u);
    EXPECT_EQ(random.index, 5);
}
