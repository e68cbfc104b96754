// Portable worker thread on std::thread.
#include "platform/thread_worker.h"

#include <system_error>

namespace platform {

ThreadWorker::~ThreadWorker() { join(); }

uint32_t ThreadWorker::start(GenerationJob *job) {
    if (thread.joinable()) return 0;
    uint32_t number = lastNumber + 1;
    if (number == 0) number = 1;
    ended = false;
    // std::thread reports a failed start by an exception; the layer turns it
    // into the 0 result every caller expects.
    try {
        thread = std::thread([this, job, number] {
            entry(job);
            if (done) done(context, number);
            ended = true;
        });
    } catch (const std::system_error &) {
        return 0;
    }
    lastNumber = number;
    return number;
}

WorkerPoll ThreadWorker::poll() {
    if (!thread.joinable()) return WorkerPoll::failed;
    return ended ? WorkerPoll::finished : WorkerPoll::running;
}

void ThreadWorker::join() {
    if (thread.joinable()) thread.join();
}

}  // namespace platform
