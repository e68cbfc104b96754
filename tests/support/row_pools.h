// Row pools for the tests of the parallel paths: one pool per thread count,
// started on first use and kept for the test program's life, and a scope that
// installs one for a test's body.
#pragma once

#include <cstdint>
#include <thread>

#include "imaging/progress.h"
#include "imaging/row_pool.h"
#include "platform/fpu.h"

// The thread counts every parallel path is checked with: the calling thread
// alone behind an installed pool, one helper, and more helpers than most
// pictures of the tests have rows.
constexpr int32_t kThreadCounts[] = {1, 2, 7};

// Helpers compute as the programs' do: long double with the 64-bit
// significand.
inline void prepareTestHelper(void *) { platform::useExtendedPrecision(); }

// A pool of threads − 1 helpers (1 ≤ threads ≤ 8) that splits operations of
// any size, so that the tests' small pictures take the parallel paths.
inline tlRowPool &testRowPool(int32_t threads) {
    static tlRowPool pools[8];
    tlRowPool &pool = pools[threads - 1];
    pool.setSmallestSplit(0);
    if (threads > 1 && pool.helperCount() == 0) pool.start(threads - 1, prepareTestHelper, nullptr);
    return pool;
}

// Installs a pool for the scope; without one the operations run alone.
class RowPoolScope {
public:
    explicit RowPoolScope(tlRowPool *pool) { tlRowPool::install(pool); }
    ~RowPoolScope() { tlRowPool::install(nullptr); }
    RowPoolScope(const RowPoolScope &) = delete;
    RowPoolScope &operator=(const RowPoolScope &) = delete;
};

// Counts steps, answers false from step stopAt on, and notes whether any
// step came from another thread than the one that made the observer.
struct ThreadCheckingProgress : tlProgress {
    explicit ThreadCheckingProgress(int32_t stopAt = INT32_MAX) : stopAt(stopAt) {}
    void begin(int32_t t) override { total = t; }
    bool step() override {
        if (std::this_thread::get_id() != owner) foreignSteps++;
        return ++steps < stopAt;
    }

    std::thread::id owner = std::this_thread::get_id();
    int32_t total = -1;
    int32_t steps = 0;
    int32_t stopAt;
    int32_t foreignSteps = 0;
};
