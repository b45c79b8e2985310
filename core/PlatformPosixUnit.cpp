// The platform seam on Linux and other POSIX systems; the calls the browser shares with them are
// in PlatformPosixCommonUnit.cpp.
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

#include "PlatformPosixCommonUnit.h"

namespace lexmora {

namespace {

std::atomic<TInterruptCallback> GInterruptCallback{nullptr};
static_assert(std::atomic<TInterruptCallback>::is_always_lock_free, "read in a signal handler");
struct sigaction GPreviousInterrupt {};

extern "C" void OnInterruptSignal(int ASignal) {
  const TInterruptCallback Callback = GInterruptCallback.load();
  if (Callback && !Callback()) {
    std::signal(ASignal, SIG_DFL);
    std::raise(ASignal);
  }
}

}  // namespace

std::string ProgramFilePath() {
  std::error_code Ec;
  const std::filesystem::path Exe = std::filesystem::read_symlink("/proc/self/exe", Ec);
  return Ec ? std::string() : Exe.string();
}

TFileOutcome RenameNoReplace(const std::string& AFrom, const std::string& ATo) {
  if (::renameat2(AT_FDCWD, AFrom.c_str(), AT_FDCWD, ATo.c_str(), RENAME_NOREPLACE) == 0) return {};
  if (errno != EINVAL && errno != ENOSYS) return PosixFileFailure(TFileStep::fsRename, errno);
  // File systems without the no-replace flag: a hard link fails just as well when ATo exists.
  if (::link(AFrom.c_str(), ATo.c_str()) != 0) return PosixFileFailure(TFileStep::fsRename, errno);
  ::unlink(AFrom.c_str());
  return {};
}

void InstallInterruptHandler(TInterruptCallback ACallback) {
  GInterruptCallback.store(ACallback);
  struct sigaction Action {};
  Action.sa_handler = OnInterruptSignal;
  sigemptyset(&Action.sa_mask);
  ::sigaction(SIGINT, &Action, &GPreviousInterrupt);
}

void RestoreInterruptHandler() {
  ::sigaction(SIGINT, &GPreviousInterrupt, nullptr);
  GInterruptCallback.store(nullptr);
}

}  // namespace lexmora
