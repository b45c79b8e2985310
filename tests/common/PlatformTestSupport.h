// What tests need of the system beyond the standard library, on Linux and under Windows alike.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace lexmora::test_support {

// Skips a test that locks a file or folder with Unix modes: root passes through them, and Windows
// has only its access lists, which std::filesystem::permissions does not set.
#ifdef _WIN32
#define LEXMORA_SKIP_UNLESS_MODES_LOCK() GTEST_SKIP() << "Unix file modes lock nothing on Windows"
#else
#define LEXMORA_SKIP_UNLESS_MODES_LOCK() \
  if (::geteuid() == 0) GTEST_SKIP() << "root passes through read-only modes"
#endif

// What the name of a program file ends with.
#ifdef _WIN32
inline constexpr const char* kProgramSuffix = ".exe";
#else
inline constexpr const char* kProgramSuffix = "";
#endif

// Where a command line sends output that nobody reads.
#ifdef _WIN32
inline constexpr const char* kNullDevice = "NUL";
#else
inline constexpr const char* kNullDevice = "/dev/null";
#endif

// Runs ACommand through the system's command interpreter with its standard output to read.
inline FILE* OpenCommandOutput(const std::string& ACommand) {
#ifdef _WIN32
  return ::_popen(ACommand.c_str(), "r");
#else
  return ::popen(ACommand.c_str(), "r");
#endif
}

// Waits for the command of OpenCommandOutput; its exit status, -1 when it cannot be told.
inline int CloseCommandOutput(FILE* APipe) {
#ifdef _WIN32
  return ::_pclose(APipe);
#else
  return ::pclose(APipe);
#endif
}

// The reason the system gives for a file whose folder is missing, as error lines show it.
inline std::string MissingFolderReason() {
#ifdef _WIN32
  return std::system_category().message(3);  // ERROR_PATH_NOT_FOUND
#else
  return "No such file or directory";
#endif
}

inline int ProcessId() {
#ifdef _WIN32
  return ::_getpid();
#else
  return static_cast<int>(::getpid());
#endif
}

// Sets (or with nullptr removes) an environment variable.
inline void SetEnvironment(const char* AName, const char* AValue) {
#ifdef _WIN32
  ::_putenv_s(AName, AValue ? AValue : "");  // an empty value removes the variable
#else
  AValue ? ::setenv(AName, AValue, 1) : ::unsetenv(AName);
#endif
}

// Sets an environment variable for one scope and restores the old value.
class TScopedEnv {
 public:
  TScopedEnv(const char* AName, const char* AValue) : FName(AName) {
    if (const char* Old = std::getenv(AName)) FOld = Old;
    SetEnvironment(AName, AValue);
  }
  ~TScopedEnv() { SetEnvironment(FName, FOld ? FOld->c_str() : nullptr); }
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

 private:
  const char* FName;
  std::optional<std::string> FOld;
};

}  // namespace lexmora::test_support
