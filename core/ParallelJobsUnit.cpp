#include "ParallelJobsUnit.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace lexmora {

void RunJobs(const std::vector<std::function<void()>>& AJobs, unsigned AMaxThreads) {
  std::atomic<std::size_t> Next{0};
  std::mutex FailureLock;
  std::exception_ptr Failure;
  const auto Work = [&] {
    for (std::size_t I = Next++; I < AJobs.size(); I = Next++) {
      try {
        AJobs[I]();
      } catch (...) {
        const std::lock_guard<std::mutex> Lock(FailureLock);
        if (!Failure) Failure = std::current_exception();
      }
    }
  };
  const std::size_t Extra =
      std::min<std::size_t>(AJobs.empty() ? 0 : AJobs.size() - 1, AMaxThreads > 1 ? AMaxThreads - 1 : 0);
  std::vector<std::thread> Threads;
  try {
    Threads.reserve(Extra);
    for (std::size_t I = 0; I < Extra; ++I) Threads.emplace_back(Work);
  } catch (const std::exception&) {
    // No memory or no thread to be had: the threads started so far and this one do it all.
  }
  Work();
  for (std::thread& Thread : Threads) Thread.join();
  if (Failure) std::rethrow_exception(Failure);
}

TBackgroundJob::TBackgroundJob(std::function<void()> AJob) : FJob(std::move(AJob)) {
  try {
    FThread = std::thread([this] { Run(); });
    FAside = true;
  } catch (const std::exception&) {
    // No thread to be had: Wait runs the job.
  }
}

TBackgroundJob::~TBackgroundJob() {
  if (FThread.joinable()) FThread.join();
}

void TBackgroundJob::Run() noexcept {
  try {
    FJob();
  } catch (...) {
    FFailure = std::current_exception();
  }
}

void TBackgroundJob::Wait() {
  if (FDone) return;
  if (FThread.joinable())
    FThread.join();
  else
    Run();
  FDone = true;
  if (FFailure) std::rethrow_exception(std::exchange(FFailure, nullptr));
}

unsigned JobThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace lexmora
