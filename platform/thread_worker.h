// A portable worker thread (std::thread) for running generation jobs outside
// the Windows shell, e.g. in tools. Completion is reported through a callback
// called on the worker thread after the job returned.
#pragma once

#include <atomic>
#include <thread>

#include "platform/shell.h"

namespace platform {

class ThreadWorker : public Worker {
public:
    // done(context, number) runs on the worker thread after the job.
    typedef void (*DoneCallback)(void *context, uint32_t number);
    ThreadWorker(JobEntry entry, DoneCallback done, void *context)
        : entry(entry), done(done), context(context) {}
    ~ThreadWorker() override;
    uint32_t start(GenerationJob *job) override;
    WorkerPoll poll() override;
    void join() override;

private:
    JobEntry entry;
    DoneCallback done;
    void *context;
    std::thread thread;
    std::atomic<bool> ended{false};
    uint32_t lastNumber = 0;
};

}  // namespace platform
