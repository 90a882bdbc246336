#pragma once
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Runs one piece of work per file on worker threads and hands the results back on the calling
// thread in file order, so that whatever consumes them (a product writer, standard output)
// never sees a thread and sees exactly the order of a serial run. Workers run at most a few
// files ahead of the consumer: memory stays flat in the number of files.
template <class Result> class ParallelFiles {
public:
  using Work = std::function<Result(size_t file)>;
  // Returns false to stop: no further result is handed over and no new file is started.
  using Take = std::function<bool(size_t file, Result &result)>;

  // The number of cores, at least 1: the default of --jobs.
  static int DefaultJobs() { return int(std::max(1u, std::thread::hardware_concurrency())); }

  // One job runs everything on the calling thread, one file after the other. A worker's
  // exception is thrown again here, in file order.
  static void Run(size_t files, int jobs, const Work &work, const Take &take) {
    if (jobs <= 1 || files <= 1) {
      for (size_t i = 0; i < files; ++i) {
        Result result = work(i);
        if (!take(i, result))
          return;
      }
      return;
    }
    ParallelFiles run(files, size_t(jobs), work);
    run.Consume(take);
  }

private:
  struct Slot {
    std::optional<Result> result;
    std::exception_ptr failure;
  };

  ParallelFiles(size_t files, size_t jobs, const Work &work)
      : work(work), slots(files), ahead(2 * jobs) {
    for (size_t t = 0; t < std::min(jobs, files); ++t)
      threads.emplace_back([this] { Serve(); });
  }

  ~ParallelFiles() {
    {
      std::lock_guard lock(mutex);
      stopped = true;
    }
    wake.notify_all();
    for (std::thread &t : threads)
      t.join();
  }

  void Serve() {
    std::unique_lock lock(mutex);
    for (;;) {
      wake.wait(lock, [this] { return stopped || (next < slots.size() && next < taken + ahead); });
      if (stopped || next >= slots.size())
        return;
      const size_t i = next++;
      lock.unlock();
      Slot slot;
      try {
        slot.result.emplace(work(i));
      } catch (...) {
        slot.failure = std::current_exception();
      }
      lock.lock();
      slots[i] = std::move(slot);
      done.notify_all();
    }
  }

  void Consume(const Take &take) {
    for (size_t i = 0; i < slots.size(); ++i) {
      Slot slot;
      {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return slots[i].result || slots[i].failure; });
        slot = std::move(slots[i]);
        slots[i] = Slot{};
        taken = i + 1;
      }
      wake.notify_all();
      if (slot.failure)
        std::rethrow_exception(slot.failure);
      if (!take(i, *slot.result))
        return;
    }
  }

  const Work &work;
  std::vector<Slot> slots;
  const size_t ahead; // files started beyond the one the consumer waits for
  size_t next = 0;    // the next file to start
  size_t taken = 0;   // files handed to the consumer
  bool stopped = false;
  std::mutex mutex;
  std::condition_variable wake; // workers: a file may be started or the run is over
  std::condition_variable done; // the consumer: a result arrived
  std::vector<std::thread> threads;
};
