#pragma once
#include "ParallelStreams.h"

#include <cstddef>
#include <functional>
#include <thread>

// Runs one piece of work per file on worker threads and hands the results back on the calling
// thread in file order (ParallelStreams with one result per file and no batches).
template <class Result> class ParallelFiles {
public:
  using Work = std::function<Result(std::size_t file)>;
  // Returns false to stop: no further result is handed over and no new file is started.
  using Take = std::function<bool(std::size_t file, Result &result)>;

  // The number of cores, at least 1: the default of --jobs.
  static int DefaultJobs() { return int(std::max(1u, std::thread::hardware_concurrency())); }

  static void Run(std::size_t files, int jobs, const Work &work, const Take &take) {
    struct NoBatch {};
    ParallelStreams<NoBatch, Result>::Run(
        files, jobs, 1, [&](std::size_t i, const auto &) { return work(i); },
        [](std::size_t, NoBatch &) { return true; }, take);
  }
};
