#include "RunFoldersUnit.h"

#include "LocalTimeUnit.h"
#include "PlatformUnit.h"
#include "Utf8PathUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

bool AnyFileStartsWith(const fs::path& ADir, const std::string& APrefix, const std::string& AExcept) {
  std::error_code Ec;
  for (fs::directory_iterator It(ADir, Ec), End; !Ec && It != End; It.increment(Ec)) {
    const std::string Name = Utf8FromPath(It->path().filename());
    if (Name != AExcept && Name.rfind(APrefix, 0) == 0) return true;
  }
  return false;
}

}  // namespace

std::string ResultTimeStamp() { return FormatLocalTime("%Y%m%d_%H%M%S"); }

std::string ReserveResultPrefix(const std::string& AOutputDir, const std::string& ATimeStamp) {
  const fs::path Dir = PathFromUtf8(AOutputDir);
  for (int N = 1; N < 10000; ++N) {
    // Appended piece by piece: GCC 12 at -O3 (the Windows release build) takes "-" + a temporary
    // for an overlapping copy and warns.
    std::string Prefix = "Result_" + ATimeStamp;
    if (N > 1) (Prefix += '-') += std::to_string(N);
    Prefix += '_';
    if (AnyFileStartsWith(Dir, Prefix, "")) continue;
    const std::string Lock = Prefix + ".lock";
    const TFileOutcome Reserved = CreateNewFile(Utf8FromPath(Dir / Lock));
    if (Reserved.Result == TFileResult::frExists) continue;
    if (!Reserved) return {};
    // Another run may have taken the prefix between the look and the reservation.
    if (AnyFileStartsWith(Dir, Prefix, Lock)) {
      std::error_code Ec;
      fs::remove(Dir / Lock, Ec);
      continue;
    }
    return Utf8FromPath(Dir / Prefix);
  }
  return {};
}

void ReleaseResultPrefix(const std::string& APrefix) {
  if (APrefix.empty()) return;
  std::error_code Ec;
  fs::remove(PathFromUtf8(APrefix + ".lock"), Ec);
}

TPrivateWorkDir::TPrivateWorkDir(const fs::path& AParent, const std::string& AName) {
  if (AParent.empty()) return;
  std::error_code Ec;
  fs::create_directories(AParent, Ec);
  FPath = MakePrivateFolder(AParent, AName);
}

TPrivateWorkDir::~TPrivateWorkDir() {
  std::error_code Ec;
  if (!FPath.empty()) fs::remove_all(FPath, Ec);
}

fs::path TPrivateWorkDir::Release() {
  fs::path P = std::move(FPath);
  FPath.clear();
  return P;
}

}  // namespace lexmora
