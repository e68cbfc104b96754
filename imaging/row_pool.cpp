// The helper threads of tlRowPool and the band runner tlRowSplit.
#include "imaging/row_pool.h"

#include <chrono>
#include <new>

namespace {

// The pool picture operations use; null runs them on the calling thread.
std::atomic<tlRowPool *> installedPool{nullptr};

// Bands per worker: enough that a worker slowed down by the rest of the
// machine leaves its share to the others, few enough that bands which prime
// running state repeat little of it.
constexpr int32_t kBandsPerWorker = 4;

}  // namespace

// One operation as the pool's threads see it. Lives on the calling thread's
// stack for the length of runJob.
struct tlRowJob {
    static constexpr int32_t kMaxBands = 256;
    typedef bool (*BandFunction)(void *context, int32_t first, int32_t end, tlRowSteps &steps);

    BandFunction function;
    void *context;
    int32_t units;
    int32_t workers;
    int32_t bands;
    tlProgress *progress;
    std::atomic<int32_t> nextBand{0};
    std::atomic<bool> stop{false};
    std::atomic<int32_t> done[kMaxBands]{};  // finished units of each band

    // Progress reported so far (calling thread only).
    int32_t reportBand = 0;
    int32_t reported = 0;  // steps given for units of reportBand

    int32_t firstOf(int32_t band) const { return static_cast<int32_t>(static_cast<int64_t>(units) * band / bands); }

    // Steps the observer once for every unit of the finished prefix not yet
    // reported; a false answer stops the job.
    void report() {
        while (!stop.load(std::memory_order_relaxed) && reportBand < bands) {
            const int32_t size = firstOf(reportBand + 1) - firstOf(reportBand);
            const int32_t finished = done[reportBand].load(std::memory_order_acquire);
            while (reported < finished) {
                ++reported;
                if (!progress->step()) {
                    stop.store(true, std::memory_order_relaxed);
                    return;
                }
            }
            if (reported < size) return;
            ++reportBand;
            reported = 0;
        }
    }
};

bool tlRowSteps::next() {
    if (job == nullptr) return progress == nullptr || progress->step();
    job->done[band].store(++finished, std::memory_order_release);
    if (workerIndex == 0 && job->progress != nullptr) job->report();
    return !job->stop.load(std::memory_order_relaxed);
}

// ------------------------------------------------------------------ tlRowPool

tlRowPool::~tlRowPool() {
    tlRowPool *self = this;
    installedPool.compare_exchange_strong(self, nullptr);
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    for (int32_t i = 0; i < helpers; ++i) threads[i].join();
    delete[] threads;
}

// std::thread reports a refused thread by an exception; it ends the starting
// here, and the pool keeps the helpers it has.
int32_t tlRowPool::start(int32_t count, StartHook hook, void *context) {
    if (threads != nullptr || count <= 0) return helpers;
    if (count > kMaxHelpers) count = kMaxHelpers;
    threads = new (std::nothrow) std::thread[count];
    if (threads == nullptr) return 0;
    for (int32_t i = 0; i < count; ++i) {
        try {
            threads[i] = std::thread(&tlRowPool::helperMain, this, hook, context);
        } catch (...) {
            break;
        }
        ++helpers;
    }
    return helpers;
}

void tlRowPool::install(tlRowPool *pool) { installedPool.store(pool); }

tlRowPool *tlRowPool::installed() { return installedPool.load(); }

// Waits for jobs; joins each while it still needs workers.
void tlRowPool::helperMain(StartHook hook, void *context) {
    if (hook != nullptr) hook(context);
    std::unique_lock<std::mutex> lock(mutex);
    uint64_t seen = 0;  // every job offered, even one offered before this thread got here
    for (;;) {
        wake.wait(lock, [&] { return stopping || (job != nullptr && generation != seen); });
        if (stopping) return;
        seen = generation;
        if (joined >= job->workers - 1) continue;
        tlRowJob &current = *job;
        const int32_t worker = ++joined;
        ++active;
        lock.unlock();
        work(current, worker);
        lock.lock();
        if (--active == 0) idle.notify_all();
    }
}

// Takes bands in increasing order until none is left or the job stops.
void tlRowPool::work(tlRowJob &job, int32_t worker) {
    while (!job.stop.load(std::memory_order_relaxed)) {
        const int32_t band = job.nextBand.fetch_add(1, std::memory_order_relaxed);
        if (band >= job.bands) return;
        tlRowSteps steps(&job, job.progress, worker, band);
        if (!job.function(job.context, job.firstOf(band), job.firstOf(band + 1), steps))
            job.stop.store(true, std::memory_order_relaxed);
    }
}

void tlRowPool::runJob(tlRowJob &current) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        job = &current;
        ++generation;
        joined = 0;
    }
    wake.notify_all();
    work(current, 0);
    std::unique_lock<std::mutex> lock(mutex);
    job = nullptr;  // helpers that wake only now leave it alone
    if (current.progress == nullptr) {
        idle.wait(lock, [&] { return active == 0; });
        return;
    }
    // The observer is stepped from this thread while the helpers finish.
    while (active > 0) {
        idle.wait_for(lock, std::chrono::milliseconds(1));
        lock.unlock();
        current.report();
        lock.lock();
    }
    lock.unlock();
    current.report();
}

// ----------------------------------------------------------------- tlRowSplit

tlRowSplit::tlRowSplit(int32_t count, int64_t pixels) : units(count) {
    tlRowPool *installed = tlRowPool::installed();
    if (installed == nullptr || installed->helpers == 0 || units < 2 || pixels < installed->smallestSplit) return;
    if (installed->claimed.exchange(true, std::memory_order_acquire)) return;
    pool = installed;
    workerCount = pool->helpers + 1 < units ? pool->helpers + 1 : units;
}

tlRowSplit::~tlRowSplit() {
    if (pool != nullptr) pool->claimed.store(false, std::memory_order_release);
}

bool tlRowSplit::runBands(int32_t count, tlProgress *progress, BandFunction function, void *context) {
    if (pool == nullptr || count < 2) {
        tlRowSteps steps(nullptr, progress, 0, 0);
        return function(context, 0, count, steps);
    }
    tlRowJob job;
    job.function = function;
    job.context = context;
    job.units = count;
    job.workers = workerCount < count ? workerCount : count;
    int64_t bands = static_cast<int64_t>(job.workers) * kBandsPerWorker;
    if (bands > count) bands = count;
    if (bands > tlRowJob::kMaxBands) bands = tlRowJob::kMaxBands;
    job.bands = static_cast<int32_t>(bands);
    job.progress = progress;
    pool->runJob(job);
    return !job.stop.load(std::memory_order_relaxed);
}
