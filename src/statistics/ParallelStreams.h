#pragma once
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Runs one piece of work per file on worker threads. Each hands its output on in batches as it
// goes and a result at its end; the calling thread takes them in file order as they come, so
// that whatever consumes them (a product writer, standard output) never sees a thread and sees
// exactly the order of a serial run. Memory stays bounded: workers run at most a few files ahead
// of the consumer, and a worker waits while its file holds `limit` batches not yet taken.
template <class Batch, class Result> class ParallelStreams {
public:
  // Hands one batch on; it may wait for the consumer.
  using Emit = std::function<void(Batch &&batch)>;
  using Work = std::function<Result(std::size_t file, const Emit &emit)>;
  // Each returns false to stop: nothing more is handed over and no new file is started.
  using TakeBatch = std::function<bool(std::size_t file, Batch &batch)>;
  using Take = std::function<bool(std::size_t file, Result &result)>;

  // Files the workers may have started beyond the one the consumer waits for.
  static std::size_t FilesAhead(int jobs) { return 2 * std::size_t(std::max(jobs, 1)); }

  // One job runs everything on the calling thread, one file after the other, each batch taken
  // as it is emitted. A worker's exception is thrown again here, in file order.
  static void Run(std::size_t files, int jobs, std::size_t limit, const Work &work,
                  const TakeBatch &takeBatch, const Take &take) {
    if (jobs <= 1 || files <= 1) {
      bool going = true;
      for (std::size_t i = 0; i < files && going; ++i) {
        Result result = work(i, [&](Batch &&batch) { going = going && takeBatch(i, batch); });
        going = going && take(i, result);
      }
      return;
    }
    ParallelStreams run(files, std::size_t(jobs), std::max<std::size_t>(1, limit), work);
    run.Consume(takeBatch, take);
  }

private:
  struct Slot {
    std::deque<Batch> batches;
    std::optional<Result> result;
    std::exception_ptr failure;
    bool ended = false;
  };

  ParallelStreams(std::size_t files, std::size_t jobs, std::size_t limit, const Work &work)
      : work(work), slots(files), ahead(FilesAhead(int(jobs))), limit(limit) {
    for (std::size_t t = 0; t < std::min(jobs, files); ++t)
      threads.emplace_back([this] { Serve(); });
  }

  ~ParallelStreams() {
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
      const std::size_t i = next++;
      lock.unlock();
      std::optional<Result> result;
      std::exception_ptr failure;
      try {
        result.emplace(work(i, [this, i](Batch &&batch) { Hand(i, std::move(batch)); }));
      } catch (...) {
        failure = std::current_exception();
      }
      lock.lock();
      slots[i].result = std::move(result);
      slots[i].failure = failure;
      slots[i].ended = true;
      done.notify_all();
    }
  }

  // A worker's batch; dropped once the run has stopped.
  void Hand(std::size_t i, Batch &&batch) {
    std::unique_lock lock(mutex);
    wake.wait(lock, [&] { return stopped || slots[i].batches.size() < limit; });
    if (stopped)
      return;
    slots[i].batches.push_back(std::move(batch));
    done.notify_all();
  }

  void Consume(const TakeBatch &takeBatch, const Take &take) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
      for (;;) {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return !slots[i].batches.empty() || slots[i].ended; });
        if (!slots[i].batches.empty()) {
          Batch batch = std::move(slots[i].batches.front());
          slots[i].batches.pop_front();
          lock.unlock();
          wake.notify_all();
          if (!takeBatch(i, batch))
            return;
          continue;
        }
        Slot slot = std::move(slots[i]);
        slots[i] = Slot{};
        taken = i + 1;
        lock.unlock();
        wake.notify_all();
        if (slot.failure)
          std::rethrow_exception(slot.failure);
        if (!take(i, *slot.result))
          return;
        break;
      }
    }
  }

  const Work &work;
  std::vector<Slot> slots;
  const std::size_t ahead; // files started beyond the one the consumer waits for
  const std::size_t limit; // batches a file may hold before its worker waits
  std::size_t next = 0;    // the next file to start
  std::size_t taken = 0;   // files handed to the consumer
  bool stopped = false;
  std::mutex mutex;
  std::condition_variable wake; // workers: a file may be started, a batch handed, or the end
  std::condition_variable done; // the consumer: a batch or a file's end arrived
  std::vector<std::thread> threads;
};
