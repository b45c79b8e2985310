// Counts the threads of the test process, to show that work done on threads leaves none behind.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <thread>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>
#endif

namespace lexmora::test_support {

// The threads of this process (each has an entry in /proc/self/task on Linux; Windows lists them
// in a snapshot of the system's threads). With AExpected, waits up to
// two seconds for the count to come to it: a joined thread's entry may outlive the join a moment,
// while a thread still running stays.
inline std::size_t ThreadCount(std::size_t AExpected = 0) {
  const auto Count = [] {
#ifdef _WIN32
    std::size_t N = 0;
    const HANDLE Snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 Entry{};
    Entry.dwSize = sizeof Entry;
    for (BOOL More = ::Thread32First(Snapshot, &Entry); More; More = ::Thread32Next(Snapshot, &Entry))
      if (Entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++N;
    ::CloseHandle(Snapshot);
    return N;
#else
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/task"), std::filesystem::directory_iterator()));
#endif
  };
  std::size_t Result = Count();
  for (int I = 0; AExpected != 0 && I < 200 && Result != AExpected; ++I) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Result = Count();
  }
  return Result;
}

}  // namespace lexmora::test_support
