#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "ProgramPathsUnit.h"

using namespace lexmora;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one scope and restores the old value.
class TScopedEnv {
 public:
  TScopedEnv(const char* AName, const char* AValue) : FName(AName) {
    if (const char* Old = std::getenv(AName)) FOld = Old;
    if (AValue)
      ::setenv(AName, AValue, 1);
    else
      ::unsetenv(AName);
  }
  ~TScopedEnv() {
    if (FOld)
      ::setenv(FName, FOld->c_str(), 1);
    else
      ::unsetenv(FName);
  }

 private:
  const char* FName;
  std::optional<std::string> FOld;
};

class ProgramPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("lexmora_paths_" + std::to_string(::getpid()));
    fs::remove_all(Dir);
    fs::create_directories(Dir / "home");
  }
  void TearDown() override {
    SetProgramDataDirOverride("");
    fs::remove_all(Dir);
  }
  fs::path Dir;
};

}  // namespace

TEST_F(ProgramPathsTest, WritableProgramFolderKeepsEverythingBesideIt) {
  const TProgramFolders F = ResolveProgramFolders(Dir.string());
  EXPECT_TRUE(F.IsPortable);
  EXPECT_EQ(F.DataDir, Dir.string());
  EXPECT_EQ(F.SettingsFile, (Dir / "Settings.ini").string());
  EXPECT_EQ(F.LogsDir, (Dir / "Logs").string());
  EXPECT_EQ(F.TempDir, (Dir / "Temp").string());
  EXPECT_EQ(F.ResultsDir, (Dir / "Results").string());
}

// Rows: program folders this process cannot write to. Missing and non-folder paths stand in for a
// read-only install folder, which root (as in CI containers) could still write.
TEST_F(ProgramPathsTest, UnwritableProgramFolderFallsBackToTheUserFolders) {
  std::ofstream(Dir / "a_file") << "x";
  const fs::path Home = Dir / "home";
  TScopedEnv H("HOME", Home.c_str());
  TScopedEnv D("XDG_DATA_HOME", nullptr);
  TScopedEnv C("XDG_CONFIG_HOME", nullptr);
  TScopedEnv K("XDG_CACHE_HOME", nullptr);
  for (const fs::path& Candidate : {Dir / "missing", Dir / "a_file", fs::path()}) {
    EXPECT_FALSE(IsWritableDir(Candidate.string())) << Candidate;
    const TProgramFolders F = ResolveProgramFolders(Candidate.string());
    EXPECT_FALSE(F.IsPortable) << Candidate;
    EXPECT_EQ(F.DataDir, (Home / ".local/share/LexmoraCT").string());
    EXPECT_EQ(F.SettingsFile, (Home / ".config/LexmoraCT/Settings.ini").string());
    EXPECT_EQ(F.LogsDir, (Home / ".local/share/LexmoraCT/Logs").string());
    EXPECT_EQ(F.TempDir, (Home / ".cache/LexmoraCT/Temp").string());
    EXPECT_EQ(F.ResultsDir, (Home / "Documents/LexmoraCT Results").string());
  }
}

// An installed program keeps nothing beside itself, even when its folder could be written.
TEST_F(ProgramPathsTest, AnInstalledProgramUsesTheUserFolders) {
  const fs::path Home = Dir / "home";
  TScopedEnv H("HOME", Home.c_str());
  TScopedEnv D("XDG_DATA_HOME", nullptr);
  fs::create_directories(Dir / "prefix" / "bin");
  EXPECT_TRUE(ResolveProgramFolders((Dir / "prefix" / "bin").string()).IsPortable);
  fs::create_directories(Dir / "prefix" / "share" / "applications");
  std::ofstream(Dir / "prefix" / "share" / "applications" / "lexmora-ct.desktop") << "[Desktop Entry]\n";
  EXPECT_TRUE(IsInstalledProgramDir((Dir / "prefix" / "bin").string()));
  const TProgramFolders F = ResolveProgramFolders((Dir / "prefix" / "bin").string());
  EXPECT_FALSE(F.IsPortable);
  EXPECT_EQ(F.DataDir, (Home / ".local/share/LexmoraCT").string());
  EXPECT_FALSE(IsInstalledProgramDir(""));
}

TEST_F(ProgramPathsTest, FallbackHonoursAbsoluteXdgFoldersOnly) {
  TScopedEnv H("HOME", (Dir / "home").c_str());
  TScopedEnv D("XDG_DATA_HOME", (Dir / "data").c_str());
  TScopedEnv C("XDG_CONFIG_HOME", "relative/config");  // not absolute: ignored
  TScopedEnv K("XDG_CACHE_HOME", (Dir / "cache").c_str());
  const TProgramFolders F = ResolveProgramFolders((Dir / "missing").string());
  EXPECT_EQ(F.LogsDir, (Dir / "data/LexmoraCT/Logs").string());
  EXPECT_EQ(F.SettingsFile, (Dir / "home/.config/LexmoraCT/Settings.ini").string());
  EXPECT_EQ(F.TempDir, (Dir / "cache/LexmoraCT/Temp").string());
}

TEST_F(ProgramPathsTest, OverridePutsEverythingInOneFolder) {
  const std::string Default = SettingsFilePath();
  SetProgramDataDirOverride((Dir / "portable").string());
  EXPECT_EQ(ProgramDataDir(), (Dir / "portable").string());
  EXPECT_EQ(SettingsFilePath(), (Dir / "portable/Settings.ini").string());
  EXPECT_EQ(LogsDir(), (Dir / "portable/Logs").string());
  EXPECT_EQ(TempDir(), (Dir / "portable/Temp").string());
  EXPECT_EQ(ResultsDir(), (Dir / "portable/Results").string());
  SetProgramDataDirOverride("");
  EXPECT_EQ(SettingsFilePath(), Default);
}

TEST_F(ProgramPathsTest, DefaultFollowsTheExecutableFolder) {
  // The test binary sits in a writable build folder, so it runs portable.
  EXPECT_TRUE(fs::exists(fs::path(ExecutableDir()) / "core_tests"));
  EXPECT_EQ(ProgramFolders().SettingsFile, ResolveProgramFolders(ExecutableDir()).SettingsFile);
}

TEST_F(ProgramPathsTest, ReadOnlyFolderIsNotWritable) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  fs::create_directories(Dir / "ro");
  fs::permissions(Dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(IsWritableDir((Dir / "ro").string()));
  EXPECT_FALSE(ResolveProgramFolders((Dir / "ro").string()).IsPortable);
  fs::permissions(Dir / "ro", fs::perms::owner_all);
}
