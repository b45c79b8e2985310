// Work on a sequence that is prepared on two threads and consumed in order on the calling one.
//
// The items [0, ACount) are cut into batches of ABatchSize. The calling thread and one worker
// prepare batches (APrepare(AThread, ABegin, AEnd, ABatch), AThread 0 for the calling thread and
// 1 for the worker, so each may keep state of its own); the calling thread hands every batch to
// AEmit(ABegin, AEnd, ABatch) in order, as soon as it is ready, and prepares batches itself while
// it waits. At most AWindow batches are prepared ahead of the one emitted, so memory stays
// bounded. AEmit answering false ends the work: no later batch is emitted, the worker stops after
// the batch it is on. APrepare must depend on nothing but its batch (it runs on either thread, in
// any order); an exception it lets out is thrown by the call when that batch's turn to be
// emitted comes, as the same work done in one loop would have thrown it there. The worker is
// joined before the call returns or throws; when no thread can be started, the calling thread
// does all the work.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace lexmora {

template <typename TBatch, typename TPrepare, typename TEmit>
void PrepareAndEmitInOrder(std::size_t ACount, std::size_t ABatchSize, std::size_t AWindow, TPrepare&& APrepare,
                           TEmit&& AEmit) {
  ABatchSize = std::max<std::size_t>(ABatchSize, 1);
  const std::size_t Batches = (ACount + ABatchSize - 1) / ABatchSize;
  if (Batches == 0) return;
  const auto Begin = [&](std::size_t B) { return B * ABatchSize; };
  const auto End = [&](std::size_t B) { return std::min(ACount, (B + 1) * ABatchSize); };
  if (Batches == 1) {  // nothing to share
    TBatch Batch;
    APrepare(std::size_t{0}, Begin(0), End(0), Batch);
    AEmit(Begin(0), End(0), Batch);
    return;
  }

  struct TSlot {
    TBatch Data;
    std::exception_ptr Error;
    bool Done = false;
  };
  std::vector<TSlot> Slots(std::clamp<std::size_t>(AWindow, 1, Batches));  // batch B lives in slot B % size
  std::mutex Lock;
  std::condition_variable Changed;
  std::size_t NextToClaim = 0, NextToEmit = 0;
  bool Quit = false;

  // Prepares the next unclaimed batch if the window allows one; false when it does not.
  const auto PrepareOne = [&](std::unique_lock<std::mutex>& AHeld, std::size_t AThread) {
    if (Quit || NextToClaim >= Batches || NextToClaim >= NextToEmit + Slots.size()) return false;
    const std::size_t B = NextToClaim++;
    AHeld.unlock();
    TBatch Data;
    std::exception_ptr Error;
    try {
      APrepare(AThread, Begin(B), End(B), Data);
    } catch (...) {
      Error = std::current_exception();
    }
    AHeld.lock();
    TSlot& S = Slots[B % Slots.size()];
    S.Data = std::move(Data);
    S.Error = Error;
    S.Done = true;
    Changed.notify_all();
    return true;
  };

  std::thread Worker;
  try {
    Worker = std::thread([&] {
      std::unique_lock<std::mutex> Held(Lock);
      while (!Quit && NextToClaim < Batches)
        if (!PrepareOne(Held, 1)) Changed.wait(Held);
    });
  } catch (const std::system_error&) {
    // No thread to be had: the calling thread prepares every batch itself, as it waits.
  }
  struct TJoin {
    std::mutex& Lock;
    std::condition_variable& Changed;
    bool& Quit;
    std::thread& Worker;
    ~TJoin() {
      {
        const std::lock_guard<std::mutex> Held(Lock);
        Quit = true;
      }
      Changed.notify_all();
      if (Worker.joinable()) Worker.join();
    }
  } Join{Lock, Changed, Quit, Worker};

  for (std::size_t B = 0; B < Batches; ++B) {
    TSlot& S = Slots[B % Slots.size()];
    {
      std::unique_lock<std::mutex> Held(Lock);
      while (!S.Done)
        if (!PrepareOne(Held, 0)) Changed.wait(Held);
    }
    // The slot is the emitter's until NextToEmit moves past it.
    if (S.Error) std::rethrow_exception(S.Error);
    const bool GoOn = AEmit(Begin(B), End(B), S.Data);
    {
      const std::lock_guard<std::mutex> Held(Lock);
      S.Data = TBatch();
      S.Done = false;
      ++NextToEmit;
    }
    Changed.notify_all();
    if (!GoOn) break;
  }
}

}  // namespace lexmora
