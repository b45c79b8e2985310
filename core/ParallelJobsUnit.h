// Runs independent pieces of work on the machine's cores.
#pragma once

#include <exception>
#include <functional>
#include <thread>
#include <vector>

namespace lexmora {

// Runs every job of AJobs once, on the calling thread and on up to AMaxThreads - 1 threads more
// (0 or 1: the calling thread alone), each thread taking the next job not yet taken, so jobs
// start in their order. Returns when every job has ended and every thread it started is joined.
// The first exception a job throws is rethrown then; the jobs after it still run. A thread that
// cannot be started leaves its share to the others.
void RunJobs(const std::vector<std::function<void()>>& AJobs, unsigned AMaxThreads);

// One job run beside the calling thread's own work: on a thread of its own when one can be had,
// otherwise by Wait. The destructor waits for a started job without rethrowing, so a job never
// outlives what it refers to.
class TBackgroundJob {
 public:
  explicit TBackgroundJob(std::function<void()> AJob);
  ~TBackgroundJob();
  TBackgroundJob(const TBackgroundJob&) = delete;
  TBackgroundJob& operator=(const TBackgroundJob&) = delete;

  // Returns when the job has ended, rethrowing what it threw (once); later calls return at once.
  void Wait();
  // Whether the job runs on a thread of its own; otherwise Wait runs it on the calling thread.
  bool Aside() const { return FAside; }

 private:
  void Run() noexcept;

  std::function<void()> FJob;
  std::thread FThread;
  std::exception_ptr FFailure;
  bool FDone = false;
  bool FAside = false;
};

// The threads RunJobs should use here: the cores of the machine, at least 1.
unsigned JobThreads();

}  // namespace lexmora
