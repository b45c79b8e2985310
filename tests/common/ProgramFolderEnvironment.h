// Gives each test process its own program folder, so the global log of one test process is never
// emptied by another one running at the same time (ctest -j).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "ProgramPathsUnit.h"

namespace lexmora::test_support {

class TProgramFolderEnvironment : public ::testing::Environment {
 public:
  explicit TProgramFolderEnvironment(std::string APrefix) : FPrefix(std::move(APrefix)) {}
  void SetUp() override {
    FDir = std::filesystem::temp_directory_path() / (FPrefix + "-" + std::to_string(::getpid()));
    std::filesystem::create_directories(FDir);
    SetProgramDataDirOverride(FDir.string());
  }
  void TearDown() override {
    std::error_code Ec;
    std::filesystem::remove_all(FDir, Ec);
  }

 private:
  std::string FPrefix;
  std::filesystem::path FDir;
};

}  // namespace lexmora::test_support
