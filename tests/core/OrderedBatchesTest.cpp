// Two threads prepare, one emits: whatever the timing, every item is emitted once and in order,
// an exception or a stop takes effect where a plain loop would have had it, and the worker
// really takes part.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "OrderedBatchesUnit.h"

using namespace lexmora;

namespace {

using TBatch = std::vector<std::size_t>;

// A prepare that records its items, after a random pause now and then so the threads interleave.
auto Squares(std::atomic<int>& APrepared, unsigned ASeed) {
  return [&APrepared, ASeed](std::size_t, std::size_t ABegin, std::size_t AEnd, TBatch& AOut) {
    std::minstd_rand Rng(ASeed + static_cast<unsigned>(ABegin));
    if (Rng() % 4 == 0) std::this_thread::sleep_for(std::chrono::microseconds(Rng() % 300));
    for (std::size_t I = ABegin; I < AEnd; ++I) AOut.push_back(I * I);
    ++APrepared;
  };
}

}  // namespace

TEST(OrderedBatches, EveryItemOnceInOrderWhateverTheSizes) {
  std::minstd_rand Rng(7);
  for (int Round = 0; Round < 200; ++Round) {
    const std::size_t Count = Rng() % 300, BatchSize = 1 + Rng() % 20, Window = Rng() % 5;
    SCOPED_TRACE("count " + std::to_string(Count) + ", batch " + std::to_string(BatchSize) + ", window " +
                 std::to_string(Window));
    std::atomic<int> Prepared{0};
    std::vector<std::size_t> Emitted;
    std::size_t NextBegin = 0;
    PrepareAndEmitInOrder<TBatch>(Count, BatchSize, Window, Squares(Prepared, Round),
                                  [&](std::size_t ABegin, std::size_t AEnd, TBatch& ABatch) {
                                    EXPECT_EQ(ABegin, NextBegin);
                                    EXPECT_EQ(ABatch.size(), AEnd - ABegin);
                                    NextBegin = AEnd;
                                    Emitted.insert(Emitted.end(), ABatch.begin(), ABatch.end());
                                    return true;
                                  });
    ASSERT_EQ(Emitted.size(), Count);
    for (std::size_t I = 0; I < Count; ++I) ASSERT_EQ(Emitted[I], I * I);
    EXPECT_EQ(static_cast<std::size_t>(Prepared.load()), (Count + BatchSize - 1) / BatchSize);
  }
}

TEST(OrderedBatches, AnExceptionComesWhereTheLoopWouldHaveThrownIt) {
  for (int Round = 0; Round < 50; ++Round) {
    const std::size_t Failing = 3 + Round % 7;  // the batch whose preparation throws
    std::vector<std::size_t> EmittedBatches;
    EXPECT_THROW(PrepareAndEmitInOrder<TBatch>(
                     40, 4, 3,
                     [&](std::size_t, std::size_t ABegin, std::size_t, TBatch&) {
                       if (ABegin / 4 == Failing) throw std::runtime_error("bad segment");
                     },
                     [&](std::size_t ABegin, std::size_t, TBatch&) {
                       EmittedBatches.push_back(ABegin / 4);
                       return true;
                     }),
                 std::runtime_error);
    ASSERT_EQ(EmittedBatches.size(), Failing);
    for (std::size_t B = 0; B < Failing; ++B) EXPECT_EQ(EmittedBatches[B], B);
  }
}

TEST(OrderedBatches, AStopEmitsNothingLaterAndPreparesLittleAhead) {
  std::atomic<int> Prepared{0};
  std::size_t Emitted = 0;
  PrepareAndEmitInOrder<TBatch>(10000, 10, 2, Squares(Prepared, 1), [&](std::size_t, std::size_t, TBatch&) {
    ++Emitted;
    return Emitted < 5;
  });
  EXPECT_EQ(Emitted, 5u);
  // The window bounds the preparation: the emitted batches, two ahead, and one in hand.
  EXPECT_LE(Prepared.load(), 5 + 2 + 1);
}

TEST(OrderedBatches, TheWorkerTakesPart) {
  // The thread preparing the first batch waits until the other thread has prepared one: only a
  // real second thread lets it go on (the wait gives up after a while, and the test fails).
  std::mutex Lock;
  std::condition_variable Done;
  bool WorkerPrepared = false, GaveUp = false;
  PrepareAndEmitInOrder<TBatch>(
      8, 1, 4,
      [&](std::size_t AThread, std::size_t ABegin, std::size_t, TBatch&) {
        std::unique_lock<std::mutex> Held(Lock);
        if (AThread == 1) {
          WorkerPrepared = true;
          Done.notify_all();
        } else if (ABegin == 0) {
          GaveUp = !Done.wait_for(Held, std::chrono::seconds(20), [&] { return WorkerPrepared; });
        }
      },
      [](std::size_t, std::size_t, TBatch&) { return true; });
  EXPECT_TRUE(WorkerPrepared);
  EXPECT_FALSE(GaveUp);
}
