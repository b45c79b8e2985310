#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "ParallelJobsUnit.h"
#include "ThreadCountTestSupport.h"

using namespace lexmora;
using lexmora::test_support::ThreadCount;

namespace {

std::vector<std::function<void()>> CountingJobs(std::vector<std::atomic<int>>& ARuns) {
  std::vector<std::function<void()>> Jobs;
  for (std::size_t I = 0; I < ARuns.size(); ++I) Jobs.push_back([&ARuns, I] { ++ARuns[I]; });
  return Jobs;
}

TEST(RunJobs, EveryJobRunsExactlyOnceWhateverTheThreads) {
  for (const unsigned Threads : {0u, 1u, 2u, 3u, 8u, 64u}) {
    for (const std::size_t Count : {std::size_t(0), std::size_t(1), std::size_t(2), std::size_t(7), std::size_t(200)}) {
      std::vector<std::atomic<int>> Runs(Count);
      RunJobs(CountingJobs(Runs), Threads);
      for (std::size_t I = 0; I < Count; ++I)
        EXPECT_EQ(Runs[I], 1) << Threads << " threads, job " << I << " of " << Count;
    }
  }
}

TEST(RunJobs, OneThreadRunsTheJobsInOrderOnTheCaller) {
  std::vector<int> Order;
  std::vector<std::function<void()>> Jobs;
  const std::thread::id Caller = std::this_thread::get_id();
  bool AllOnCaller = true;
  for (int I = 0; I < 5; ++I)
    Jobs.push_back([&, I] {
      Order.push_back(I);
      AllOnCaller = AllOnCaller && std::this_thread::get_id() == Caller;
    });
  RunJobs(Jobs, 1);
  EXPECT_EQ(Order, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(AllOnCaller);
}

TEST(RunJobs, SeveralThreadsShareTheWork) {
  // Two jobs that wait for each other can only end when they run at the same time.
  std::atomic<int> Arrived{0};
  std::mutex Lock;
  std::set<std::thread::id> Ids;
  const auto Meet = [&] {
    {
      const std::lock_guard<std::mutex> Guard(Lock);
      Ids.insert(std::this_thread::get_id());
    }
    ++Arrived;
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Arrived < 2 && std::chrono::steady_clock::now() < Deadline) std::this_thread::yield();
  };
  RunJobs({Meet, Meet}, 2);
  EXPECT_EQ(Arrived, 2);
  EXPECT_EQ(Ids.size(), 2u);
}

TEST(RunJobs, AFailingJobIsRethrownAfterAllOthersEndedAndNoThreadStays) {
  const std::size_t Before = ThreadCount();
  for (const unsigned Threads : {1u, 2u, 4u}) {
    std::vector<std::atomic<int>> Runs(12);
    std::vector<std::function<void()>> Jobs = CountingJobs(Runs);
    Jobs[3] = [] { throw std::runtime_error("job three failed"); };
    Jobs[7] = [] { throw std::logic_error("job seven failed"); };
    try {
      RunJobs(Jobs, Threads);
      ADD_FAILURE() << "no exception with " << Threads << " threads";
    } catch (const std::exception& E) {
      // Either failure may come first when threads share the work; one of them is given.
      const std::string What = E.what();
      EXPECT_TRUE(What == "job three failed" || What == "job seven failed") << What;
      if (Threads == 1) {
        EXPECT_EQ(What, "job three failed");
      }
    }
    for (std::size_t I = 0; I < Runs.size(); ++I)
      if (I != 3 && I != 7) {
        EXPECT_EQ(Runs[I], 1) << Threads << " threads, job " << I;
      }
    EXPECT_EQ(ThreadCount(Before), Before) << Threads << " threads";
  }
}

}  // namespace

TEST(BackgroundJob, RunsBesideTheCallerAndRethrowsItsFailureOnce) {
  // The job can only end while the caller waits for it, so it really runs on another thread.
  std::atomic<bool> CallerArrived{false};
  std::thread::id JobThread;
  TBackgroundJob Job([&] {
    JobThread = std::this_thread::get_id();
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!CallerArrived && std::chrono::steady_clock::now() < Deadline) std::this_thread::yield();
    throw std::runtime_error("the audit failed");
  });
  CallerArrived = true;
  try {
    Job.Wait();
    ADD_FAILURE() << "the failure was not rethrown";
  } catch (const std::runtime_error& E) {
    EXPECT_STREQ(E.what(), "the audit failed");
  }
  EXPECT_NE(JobThread, std::this_thread::get_id());
  EXPECT_TRUE(Job.Aside());
  EXPECT_NO_THROW(Job.Wait());  // once is enough
}

TEST(BackgroundJob, AsideTellsWhetherTheJobRanOffTheCallersThread) {
  std::thread::id JobThread;
  TBackgroundJob Job([&] { JobThread = std::this_thread::get_id(); });
  Job.Wait();
  EXPECT_EQ(Job.Aside(), JobThread != std::this_thread::get_id());
}

TEST(BackgroundJob, TheDestructorWaitsForAJobNobodyWaitedFor) {
  const std::size_t Before = ThreadCount();
  std::atomic<int> Ended{0};
  {
    TBackgroundJob Job([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      ++Ended;
    });
  }
  EXPECT_EQ(Ended, 1);
  EXPECT_EQ(ThreadCount(), Before);
  // A failure nobody asked for is dropped with the job: thrown from the destructor, it would end
  // the test program.
  {
    TBackgroundJob Failing([] { throw std::runtime_error("unread"); });
  }
  EXPECT_EQ(ThreadCount(), Before);
}
