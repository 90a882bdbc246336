// ParallelFiles: results reach the consumer in file order whatever thread made them, a stop
// stops, and a worker's exception reaches the caller.
#include "statistics/ParallelFiles.h"

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
