// Runs independent pieces of work on the machine's cores.
#pragma once

#include <functional>
#include <vector>

namespace lexmora {

// Runs every job of AJobs once, on the calling thread and on up to AMaxThreads - 1 threads more
// (0 or 1: the calling thread alone), each thread taking the next job not yet taken, so jobs
// start in their order. Returns when every job has ended and every thread it started is joined.
// The first exception a job throws is rethrown then; the jobs after it still run. A thread that
// cannot be started leaves its share to the others.
void RunJobs(const std::vector<std::function<void()>>& AJobs, unsigned AMaxThreads);

// The threads RunJobs should use here: the cores of the machine, at least 1.
unsigned JobThreads();

}  // namespace lexmora
