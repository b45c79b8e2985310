#include "ProgramPathsUnit.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "PlatformUnit.h"
#include "Utf8PathUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr const char* kAppFolder = "Lexmora";
#else
constexpr const char* kAppFolder = "LexmoraCT";
#endif

std::mutex GOverrideLock;
std::string GOverride;

std::string HomeDir() {
  std::string Home = UserHomeDir();
  return Home.empty() ? Utf8FromPath(fs::temp_directory_path()) : Home;
}

#ifdef _WIN32
// The local application data folder: the log and the working copies belong to this machine, so
// nothing of them roams with the user's profile. The reports go to Documents, as on Linux.
TProgramFolders UserFolders() {
  const char* Local = std::getenv("LOCALAPPDATA");
  const fs::path Data =
      (Local && *Local ? PathFromUtf8(Local) : PathFromUtf8(HomeDir()) / "AppData" / "Local") / kAppFolder;
  TProgramFolders F;
  F.DataDir = Utf8FromPath(Data);
  F.SettingsFile = Utf8FromPath(Data / "Settings.ini");
  F.LogsDir = Utf8FromPath(Data / "Logs");
  F.TempDir = Utf8FromPath(Data / "Temp");
  F.ResultsDir = Utf8FromPath(PathFromUtf8(HomeDir()) / "Documents" / "LexmoraCT Results");
  return F;
}
#else
// An XDG variable counts only when it holds an absolute path.
fs::path XdgDir(const char* AName, const char* AHomeRelativeDefault) {
  const char* V = std::getenv(AName);
  if (V && *V == '/') return PathFromUtf8(V);
  return PathFromUtf8(HomeDir()) / AHomeRelativeDefault;
}

TProgramFolders UserFolders() {
  TProgramFolders F;
  const fs::path Data = XdgDir("XDG_DATA_HOME", ".local/share") / kAppFolder;
  F.DataDir = Utf8FromPath(Data);
  F.SettingsFile = Utf8FromPath(XdgDir("XDG_CONFIG_HOME", ".config") / kAppFolder / "Settings.ini");
  F.LogsDir = Utf8FromPath(Data / "Logs");
  F.TempDir = Utf8FromPath(XdgDir("XDG_CACHE_HOME", ".cache") / kAppFolder / "Temp");
  F.ResultsDir = Utf8FromPath(PathFromUtf8(HomeDir()) / "Documents" / "LexmoraCT Results");
  return F;
}
#endif

std::string OverrideDir() {
  std::lock_guard<std::mutex> Lock(GOverrideLock);
  return GOverride;
}

}  // namespace

std::string ExecutableDir() {
  const std::string Exe = ProgramFilePath();
  std::error_code Ec;
  if (Exe.empty()) return Utf8FromPath(fs::current_path(Ec));
  return Utf8FromPath(PathFromUtf8(Exe).parent_path());
}

bool IsWritableDir(const std::string& ADir) {
  std::error_code Ec;
  return !ADir.empty() && fs::is_directory(PathFromUtf8(ADir), Ec) && CanCreateFilesIn(ADir);
}

TProgramFolders PortableFolders(const std::string& ADir) {
  const fs::path Base = PathFromUtf8(ADir);
  TProgramFolders F;
  F.IsPortable = true;
  F.DataDir = Utf8FromPath(Base);
  F.SettingsFile = Utf8FromPath(Base / "Settings.ini");
  F.LogsDir = Utf8FromPath(Base / "Logs");
  F.TempDir = Utf8FromPath(Base / "Temp");
  F.ResultsDir = Utf8FromPath(Base / "Results");
  return F;
}

bool IsInstalledProgramDir(const std::string& AProgramDir) {
  std::error_code Ec;
#ifdef _WIN32
  // A per-user installation lies in a folder its user can write to; its uninstaller tells it from
  // a portable copy.
  return !AProgramDir.empty() && fs::exists(PathFromUtf8(AProgramDir) / "Uninstall.exe", Ec);
#else
  return !AProgramDir.empty() &&
         fs::exists(PathFromUtf8(AProgramDir) / ".." / "share" / "applications" / "lexmora-ct.desktop", Ec);
#endif
}

TProgramFolders ResolveProgramFolders(const std::string& AProgramDir) {
  if (IsWritableDir(AProgramDir) && !IsInstalledProgramDir(AProgramDir)) return PortableFolders(AProgramDir);
  return UserFolders();
}

TProgramFolders ProgramFolders() {
  const std::string Over = OverrideDir();
  if (!Over.empty()) return PortableFolders(Over);
  // Decided once, so that a run never splits its files between two places.
  static const TProgramFolders Default = ResolveProgramFolders(ExecutableDir());
  return Default;
}

void SetProgramDataDirOverride(const std::string& ADir) {
  std::lock_guard<std::mutex> Lock(GOverrideLock);
  GOverride = ADir;
}

std::string ProgramDataDir() { return ProgramFolders().DataDir; }
std::string SettingsFilePath() { return ProgramFolders().SettingsFile; }
std::string LogsDir() { return ProgramFolders().LogsDir; }
std::string TempDir() { return ProgramFolders().TempDir; }
std::string ResultsDir() { return ProgramFolders().ResultsDir; }

}  // namespace lexmora
