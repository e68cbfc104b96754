// tlRowPool, helper threads that share the rows of a picture operation with
// the thread that runs it, and tlRowSplit, which splits one operation's rows
// (or columns, or cell rows) into bands for them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <type_traits>

#include "imaging/progress.h"

class tlRowSteps;
struct tlRowJob;

// Elements of T from the start of one worker's scratch to the next worker's
// when each uses count of them: a cache line more than count, so that
// workers writing small scratch areas of their own never share a line
// (sharing one makes every write of one worker evict the other's copy).
template <typename T>
constexpr size_t tlWorkerStride(size_t count) {
    return count + (64 + sizeof(T) - 1) / sizeof(T);
}

// A fixed set of helper threads, started once and kept until destruction, so
// that an owner can keep one pool for the life of a program and use it for
// every picture it renders. It does nothing by itself: an operation borrows
// it through tlRowSplit. Picture operations find the pool installed for the
// process (install); with none, or with no helper, they run on the calling
// thread exactly as they would without threads.
class tlRowPool {
public:
    // Runs first on every helper thread, before any band: the owner's
    // floating-point and priority set-up, the same as its rendering thread's.
    typedef void (*StartHook)(void *context);

    static constexpr int32_t kMaxHelpers = 63;

    tlRowPool() = default;
    tlRowPool(const tlRowPool &) = delete;
    tlRowPool &operator=(const tlRowPool &) = delete;
    // Stops and joins the helpers; uninstalls the pool when it is installed.
    // No operation may be using it.
    ~tlRowPool();

    // Starts up to helpers threads (at most kMaxHelpers); call once. Returns
    // how many run: fewer when the system refuses a thread, and the pool then
    // works with those (none: every operation stays on its calling thread).
    int32_t start(int32_t helpers, StartHook hook = nullptr, void *context = nullptr);
    int32_t helperCount() const { return helpers; }

    // Operations of fewer pixels run on their calling thread: waking helpers
    // would cost them more than it saves. Set before installing.
    static constexpr int64_t kDefaultSmallestSplit = 65536;
    void setSmallestSplit(int64_t pixels) { smallestSplit = pixels; }

    // The pool of the process, for every picture operation on any thread
    // (null, the default: no helpers). The installer keeps it alive until it
    // installs another one or null, and does so only while no picture
    // operation runs.
    static void install(tlRowPool *pool);
    static tlRowPool *installed();

private:
    friend class tlRowSplit;

    void helperMain(StartHook hook, void *context);
    // Offers the job to the helpers, works on it on the calling thread, then
    // waits for every helper that joined it.
    void runJob(tlRowJob &job);
    static void work(tlRowJob &job, int32_t worker);

    std::thread *threads = nullptr;  // helpers entries
    int32_t helpers = 0;
    int64_t smallestSplit = kDefaultSmallestSplit;
    std::atomic<bool> claimed{false};  // an operation is using the pool

    std::mutex mutex;
    std::condition_variable wake;  // helpers wait here for a job
    std::condition_variable idle;  // the caller waits here for its helpers
    bool stopping = false;
    uint64_t generation = 0;  // counts the jobs offered
    tlRowJob *job = nullptr;  // the job offered, null once closed
    int32_t joined = 0;       // helpers that took the current job
    int32_t active = 0;       // of those, the ones still working on it
};

// Handed to each band: which worker runs it (its scratch index) and the
// counting of finished units.
class tlRowSteps {
public:
    // 0 .. workers − 1; 0 is the calling thread. Bands of one worker run one
    // after the other, so per-worker scratch needs no lock.
    int32_t worker() const { return workerIndex; }
    // Call after each finished unit, in order; false asks the band to stop
    // at once (the operation then answers false).
    bool next();

private:
    friend class tlRowSplit;
    friend class tlRowPool;
    tlRowSteps(tlRowJob *job, tlProgress *progress, int32_t worker, int32_t band)
        : job(job), progress(progress), workerIndex(worker), band(band) {}

    tlRowJob *job;         // null: the whole range on the calling thread
    tlProgress *progress;  // stepped directly when job is null
    int32_t workerIndex;
    int32_t band;
    int32_t finished = 0;  // units of this band done
};

// One operation's units split into consecutive bands that the calling thread
// and the installed pool's helpers take in increasing order. Each unit is
// computed the same way on whatever thread runs it, so the result does not
// depend on the split; bands that carry running state along their units
// (sliding windows, running sums) start it afresh at their first unit.
//
// Progress: the caller's observer sees step() once per unit, always from the
// calling thread and in unit order, after that unit (and every unit before
// it) is done; when step() answers false no further unit is started, the
// units already running finish, and run answers false. Without helpers the
// whole range is one band run on the calling thread, stepping after each
// unit and stopping at once: exactly a plain loop.
class tlRowSplit {
public:
    // Claims the installed pool when there is one with helpers, it is not in
    // use (an operation started from inside another's band, or on another
    // thread at the same time, runs alone), units is 2 or more and the
    // operation computes at least the pool's smallest split in pixels. An
    // operation of several passes gives the largest unit count.
    tlRowSplit(int32_t units, int64_t pixels);
    ~tlRowSplit();
    tlRowSplit(const tlRowSplit &) = delete;
    tlRowSplit &operator=(const tlRowSplit &) = delete;

    // Threads that may run bands (1: the calling thread alone); per-worker
    // scratch is allocated for this many, before run.
    int32_t workers() const { return workerCount; }

    // band(first, end, steps) → bool computes units first .. end − 1, calling
    // steps.next() after each; it answers false to stop the operation (when
    // next() did, or when it failed). run answers true when every unit was
    // done.
    template <class Band>
    bool run(tlProgress *progress, Band &&band) {
        return run(units, progress, band);
    }
    // The same over count units: a further pass of the operation (columns
    // after rows), on the same workers and their scratch.
    template <class Band>
    bool run(int32_t count, tlProgress *progress, Band &&band) {
        auto call = [](void *context, int32_t first, int32_t end, tlRowSteps &steps) {
            return (*static_cast<typename std::remove_reference<Band>::type *>(context))(first, end, steps);
        };
        return runBands(count, progress, call, &band);
    }

private:
    typedef bool (*BandFunction)(void *context, int32_t first, int32_t end, tlRowSteps &steps);
    bool runBands(int32_t count, tlProgress *progress, BandFunction function, void *context);

    tlRowPool *pool = nullptr;  // claimed, or null
    int32_t units;
    int32_t workerCount = 1;
};

// Runs row(y) for y = first .. end − 1 (rows of width pixels), each computed
// from unchanged input only, over the installed pool, with a progress step
// after each row.
template <class Row>
bool forEachRow(int32_t first, int32_t end, int32_t width, tlProgress *progress, Row &&row) {
    tlRowSplit split(end - first, static_cast<int64_t>(end - first) * width);
    return split.run(progress, [&](int32_t a, int32_t b, tlRowSteps &steps) {
        for (int32_t i = a; i < b; ++i) {
            row(first + i);
            if (!steps.next()) return false;
        }
        return true;
    });
}
