#include "ProgramPathsUnit.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace lexmora {

namespace fs = std::filesystem;

namespace {

std::mutex GOverrideLock;
std::string GOverride;

std::string HomeDir() {
  const char* Home = std::getenv("HOME");
  return Home && *Home ? Home : "/tmp";
}

std::string EnvOr(const char* AName, const std::string& AFallback) {
  const char* V = std::getenv(AName);
  return V && *V ? V : AFallback;
}

bool IsWritableDir(const fs::path& ADir) { return ::access(ADir.c_str(), W_OK | X_OK) == 0; }

// True when the program runs from its own writable folder (portable use).
bool IsPortable() {
  static const bool Portable = IsWritableDir(ExecutableDir());
  return Portable;
}

std::string OverrideDir() {
  std::lock_guard<std::mutex> Lock(GOverrideLock);
  return GOverride;
}

}  // namespace

std::string ExecutableDir() {
  std::error_code Ec;
  const fs::path Exe = fs::read_symlink("/proc/self/exe", Ec);
  if (Ec) return fs::current_path(Ec).string();
  return Exe.parent_path().string();
}

void SetProgramDataDirOverride(const std::string& ADir) {
  std::lock_guard<std::mutex> Lock(GOverrideLock);
  GOverride = ADir;
}

std::string ProgramDataDir() {
  const std::string Over = OverrideDir();
  if (!Over.empty()) return Over;
  if (IsPortable()) return ExecutableDir();
  return (fs::path(EnvOr("XDG_DATA_HOME", HomeDir() + "/.local/share")) / "LexmoraCT").string();
}

std::string SettingsFilePath() {
  if (!OverrideDir().empty() || IsPortable()) return (fs::path(ProgramDataDir()) / "Settings.ini").string();
  return (fs::path(EnvOr("XDG_CONFIG_HOME", HomeDir() + "/.config")) / "LexmoraCT" / "Settings.ini").string();
}

std::string LogsDir() { return (fs::path(ProgramDataDir()) / "Logs").string(); }

std::string TempDir() {
  if (!OverrideDir().empty() || IsPortable()) return (fs::path(ProgramDataDir()) / "Temp").string();
  return (fs::path(EnvOr("XDG_CACHE_HOME", HomeDir() + "/.cache")) / "LexmoraCT" / "Temp").string();
}

std::string ResultsDir() {
  if (!OverrideDir().empty() || IsPortable()) return (fs::path(ProgramDataDir()) / "Results").string();
  return (fs::path(HomeDir()) / "Documents" / "LexmoraCT Results").string();
}

}  // namespace lexmora
