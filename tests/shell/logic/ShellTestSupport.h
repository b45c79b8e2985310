// Small file helpers of the shell's logic tests.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "TestPaths.h"

namespace lexmora::test_support {

inline std::string ReadFile(const std::filesystem::path& APath) {
  std::ifstream File(APath, std::ios::binary);
  std::ostringstream Buf;
  Buf << File.rdbuf();
  return Buf.str();
}

inline void WriteFile(const std::filesystem::path& APath, const std::string& AText) {
  std::ofstream File(APath, std::ios::binary | std::ios::trunc);
  File << AText;
}

inline std::filesystem::path ShellDataDir() { return std::filesystem::path(LEXMORA_TEST_DATA_DIR) / "shell"; }

// A fresh folder for one test, removed at its end.
class TScratchDir {
 public:
  explicit TScratchDir(const std::string& AName) {
    FPath = std::filesystem::temp_directory_path() / ("lexmora-shell-" + AName + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(FPath);
    std::filesystem::create_directories(FPath);
  }
  ~TScratchDir() {
    std::error_code Ec;
    std::filesystem::remove_all(FPath, Ec);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;
  const std::filesystem::path& Path() const { return FPath; }
  std::filesystem::path operator/(const std::string& AName) const { return FPath / AName; }

 private:
  std::filesystem::path FPath;
};

}  // namespace lexmora::test_support
