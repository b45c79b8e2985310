// Gives each test process its own program folder, so the global log of one test process is never
// emptied by another one running at the same time (ctest -j).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "ProgramPathsUnit.h"

namespace {

class TReportTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    FDir = std::filesystem::temp_directory_path() / ("lexmora-report-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(FDir);
    lexmora::SetProgramDataDirOverride(FDir.string());
  }
  void TearDown() override {
    std::error_code Ec;
    std::filesystem::remove_all(FDir, Ec);
  }

 private:
  std::filesystem::path FDir;
};

[[maybe_unused]] ::testing::Environment* const GEnvironment = ::testing::AddGlobalTestEnvironment(new TReportTestEnvironment);

}  // namespace
