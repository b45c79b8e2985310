// The platform seam's calls that POSIX systems and the browser's emulated POSIX share.
#include "PlatformPosixCommonUnit.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace lexmora {

namespace {

// Closes AFd keeping the errno of the failure that made the caller give up.
TFileOutcome CloseAfterFailure(int AFd, TFileStep AStep, int AErrno) {
  ::close(AFd);
  return PosixFileFailure(AStep, AErrno);
}

}  // namespace

TFileOutcome PosixFileFailure(TFileStep AStep, int AErrno) {
  TFileOutcome R;
  R.Result = AErrno == EEXIST ? TFileResult::frExists : TFileResult::frFailed;
  R.Step = AStep;
  R.Error = std::error_code(AErrno, std::generic_category());
  return R;
}

std::string UserHomeDir() {
  const char* Home = std::getenv("HOME");
  if (Home && *Home) return Home;
  if (const passwd* Pw = ::getpwuid(::getuid()); Pw && Pw->pw_dir && *Pw->pw_dir) return Pw->pw_dir;
  return {};
}

bool CanCreateFilesIn(const std::string& ADir) { return ::access(ADir.c_str(), W_OK | X_OK) == 0; }

std::string RegionalDecimalSeparator() {
  std::string R = ".";
  if (locale_t L = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr))) {
    const char* D = ::nl_langinfo_l(RADIXCHAR, L);
    if (D && *D) R = D;
    ::freelocale(L);
  }
  return R;
}

std::tm LocalBrokenDownTime(std::time_t ATime) {
  std::tm R{};
  if (!::localtime_r(&ATime, &R)) return std::tm{};
  return R;
}

std::tm UtcBrokenDownTime(std::time_t ATime) {
  std::tm R{};
  if (!::gmtime_r(&ATime, &R)) return std::tm{};
  return R;
}

TFileOutcome CreateNewFile(const std::string& APath) {
  const int Fd = ::open(APath.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
  if (Fd < 0) return PosixFileFailure(TFileStep::fsCreate, errno);
  ::close(Fd);  // nothing was written, so nothing can be lost
  return {};
}

TFileOutcome CreateUniqueFile(const std::string& APrefix, const std::string& ASuffix, std::string& ACreated) {
  std::string Template = APrefix + "XXXXXX" + ASuffix;
  const int Fd = ::mkostemps(Template.data(), static_cast<int>(ASuffix.size()), O_CLOEXEC);
  if (Fd < 0) return PosixFileFailure(TFileStep::fsCreate, errno);
  // mkostemps makes the file 0600.
  ::fchmod(Fd, 0644);
  ::close(Fd);
  ACreated = std::move(Template);
  return {};
}

TFileOutcome WriteFilePieces(const std::string& APath, const std::vector<std::string_view>& APieces, bool AFlush) {
  const int Fd = ::open(APath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (Fd < 0) return PosixFileFailure(TFileStep::fsCreate, errno);
  for (const std::string_view Piece : APieces) {
    const char* P = Piece.data();
    std::size_t Left = Piece.size();
    while (Left > 0) {
      const ssize_t N = ::write(Fd, P, Left);
      if (N < 0 && errno == EINTR) continue;
      if (N <= 0) return CloseAfterFailure(Fd, TFileStep::fsWrite, N == 0 ? EIO : errno);
      P += N;
      Left -= static_cast<std::size_t>(N);
    }
  }
  if (AFlush && ::fsync(Fd) != 0) return CloseAfterFailure(Fd, TFileStep::fsFlush, errno);
  if (::close(Fd) != 0) return PosixFileFailure(TFileStep::fsClose, errno);
  return {};
}

std::filesystem::path MakePrivateFolder(const std::filesystem::path& AParent, const std::string& AName) {
  std::string Template = (AParent / (AName + "-XXXXXX")).string();
  if (!::mkdtemp(Template.data())) return {};
  return Template;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void PrepareStandardStreams() {}

}  // namespace lexmora
