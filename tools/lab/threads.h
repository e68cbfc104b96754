// --threads N of the commands that render: the helper threads their picture
// operations share, installed for the command's run.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/picture_cache.h"
#include "imaging/row_pool.h"
#include "tools/lab/args.h"

// The option the rendering commands take.
const labOption kThreadsOption = {"threads", true};
// Its usage text.
#define LAB_THREADS_USAGE "[--threads N]"

// The processor count the system reports (at least 1).
int32_t labProcessorCount();

// Owns the row pool of one command run and the cache of pictures its
// thread renders with (kept stores of the size last rendered, so that
// --count and bench reuse them as the tray program's worker does). N threads are the command's own and
// N − 1 helpers; 1 runs every operation on the command's thread.
class labThreads {
public:
    labThreads() = default;
    labThreads(const labThreads &) = delete;
    labThreads &operator=(const labThreads &) = delete;
    // Uninstalls and stops the helpers; frees the kept pictures.
    ~labThreads();

    // Reads --threads (1 .. 64, default: the processor count), starts the
    // helpers and installs them. False with a message for a bad value; a
    // system that refuses threads leaves fewer, which count() tells.
    bool start(const labArgs &args, std::string &error);
    // Threads in use: the command's and the helpers that started.
    int32_t count() const { return pool.helperCount() + 1; }
    // Picture operations from now on use every thread (true) or only the
    // command's (false).
    void useAll(bool all);

private:
    tlRowPool pool;
    tlPictureCache pictures;
};
