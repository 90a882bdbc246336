// ParallelFiles and ParallelStreams: results and batches reach the consumer in file order
// whatever thread made them, a worker waits while its file holds as many batches as it may, a
// stop stops, and a worker's exception reaches the caller.
#include "statistics/ParallelFiles.h"
#include "statistics/ParallelStreams.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Work whose length falls with the file number, so that later files finish first.
std::string Spin(size_t file, size_t files) {
  volatile unsigned sink = 0;
  for (size_t k = 0; k < (files - file) * 200000; ++k)
    sink = sink + unsigned(k);
  return "file " + std::to_string(file);
}

} // namespace

TEST(ParallelFilesTest, ResultsComeInFileOrderForEveryNumberOfJobs) {
  constexpr size_t files = 12;
  for (int jobs : {1, 2, 3, 8}) {
    std::vector<std::string> taken;
    ParallelFiles<std::string>::Run(
        files, jobs, [&](size_t i) { return Spin(i, files); },
        [&](size_t i, std::string &result) {
          EXPECT_EQ(i, taken.size());
          taken.push_back(result);
          return true;
        });
    ASSERT_EQ(taken.size(), files) << jobs << " jobs";
    for (size_t i = 0; i < files; ++i)
      EXPECT_EQ(taken[i], "file " + std::to_string(i)) << jobs << " jobs";
  }
}

TEST(ParallelFilesTest, AStopEndsTheRunAndAFailureReachesTheCaller) {
  constexpr size_t files = 40;
  for (int jobs : {1, 3}) {
    std::atomic<size_t> started{0};
    std::vector<size_t> taken;
    ParallelFiles<size_t>::Run(
        files, jobs,
        [&](size_t i) {
          ++started;
          return i;
        },
        [&](size_t i, size_t &) {
          taken.push_back(i);
          return i < 2;
        });
    EXPECT_EQ(taken, (std::vector<size_t>{0, 1, 2})) << jobs << " jobs";
    // Workers run only a few files ahead of the consumer.
    EXPECT_LT(started.load(), files / 2) << jobs << " jobs";

    taken.clear();
    EXPECT_THROW(ParallelFiles<size_t>::Run(
                     files, jobs,
                     [](size_t i) {
                       if (i == 5)
                         throw std::runtime_error("unreadable");
                       return i;
                     },
                     [&](size_t i, size_t &) {
                       taken.push_back(i);
                       return true;
                     }),
                 std::runtime_error);
    EXPECT_EQ(taken, (std::vector<size_t>{0, 1, 2, 3, 4})) << "the files before, in order";
  }
}

TEST(ParallelFilesTest, BatchesComeInOrderAndAWorkerWaitsForTheConsumer) {
  constexpr size_t files = 6, batches = 50, limit = 3;
  for (int jobs : {1, 2, 4}) {
    std::vector<std::string> seen;
    std::atomic<size_t> handed{0}, taken{0};
    size_t mostAhead = 0;
    ParallelStreams<std::string, size_t>::Run(
        files, jobs, limit,
        [&](size_t i, const auto &emit) {
          for (size_t b = 0; b < batches; ++b) {
            Spin(b % 3, 3);
            ++handed;
            emit(std::to_string(i) + "." + std::to_string(b));
          }
          return i;
        },
        [&](size_t, std::string &batch) {
          ++taken;
          mostAhead = std::max(mostAhead, handed.load() - taken.load());
          seen.push_back(batch);
          return true;
        },
        [&](size_t i, size_t &result) {
          EXPECT_EQ(result, i);
          seen.push_back("end " + std::to_string(i));
          return true;
        });
    ASSERT_EQ(seen.size(), files * (batches + 1)) << jobs << " jobs";
    for (size_t i = 0, k = 0; i < files; ++i) {
      for (size_t b = 0; b < batches; ++b)
        ASSERT_EQ(seen[k++], std::to_string(i) + "." + std::to_string(b)) << jobs << " jobs";
      ASSERT_EQ(seen[k++], "end " + std::to_string(i)) << jobs << " jobs";
    }
    // Held batches: at most `limit` per file of the few files running ahead.
    EXPECT_LE(mostAhead, 2 * size_t(jobs) * limit + 1) << jobs << " jobs";

    // A stop in the middle of a file's batches ends the run there.
    seen.clear();
    ParallelStreams<std::string, size_t>::Run(
        files, jobs, limit,
        [&](size_t i, const auto &emit) {
          for (size_t b = 0; b < batches; ++b)
            emit(std::to_string(i) + "." + std::to_string(b));
          return i;
        },
        [&](size_t, std::string &batch) {
          seen.push_back(batch);
          return batch != "1.7";
        },
        [&](size_t, size_t &) { return true; });
    EXPECT_EQ(seen.size(), batches + 8) << jobs << " jobs";
    EXPECT_EQ(seen.back(), "1.7") << jobs << " jobs";
  }
}
