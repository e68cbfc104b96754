// The row pool of a lab command: --threads, the helpers' floating-point
// set-up, and switching between one thread and all.
#include "tools/lab/threads.h"

#include <thread>

#include "platform/fpu.h"

namespace {

// Helpers compute as the command's thread does: long double with the 64-bit
// significand (Windows starts threads at 53 bits).
void prepareHelper(void *) { platform::useExtendedPrecision(); }

}  // namespace

int32_t labProcessorCount() {
    const unsigned n = std::thread::hardware_concurrency();
    if (n < 1) return 1;
    return n > tlRowPool::kMaxHelpers + 1 ? tlRowPool::kMaxHelpers + 1 : static_cast<int32_t>(n);
}

labThreads::~labThreads() {
    tlRowPool::install(nullptr);
    tlPictureCache::use(nullptr);
}

bool labThreads::start(const labArgs &args, std::string &error) {
    int32_t threads = labProcessorCount();
    if (!args.getInt(kThreadsOption.name, 1, tlRowPool::kMaxHelpers + 1, threads, error)) return false;
    pool.start(threads - 1, prepareHelper, nullptr);
    useAll(true);
    tlPictureCache::use(&pictures);
    return true;
}

void labThreads::useAll(bool all) { tlRowPool::install(all && pool.helperCount() > 0 ? &pool : nullptr); }
