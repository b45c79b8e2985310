#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "PlatformTestSupport.h"
#include "ProgramPathsUnit.h"

using namespace lexmora;
using lexmora::test_support::TScopedEnv;
namespace fs = std::filesystem;

namespace {

class ProgramPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("lexmora_paths_" + std::to_string(test_support::ProcessId()));
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
#ifdef _WIN32
  GTEST_SKIP() << "the XDG folders are Linux's; Windows has its own test below";
#endif
  std::ofstream(Dir / "a_file") << "x";
  const fs::path Home = Dir / "home";
  TScopedEnv H("HOME", Home.string().c_str());
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
#ifdef _WIN32
  GTEST_SKIP() << "an installation's menu entry and the XDG folders are Linux's";
#endif
  const fs::path Home = Dir / "home";
  TScopedEnv H("HOME", Home.string().c_str());
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
#ifdef _WIN32
  GTEST_SKIP() << "the XDG folders are Linux's";
#endif
  TScopedEnv H("HOME", (Dir / "home").string().c_str());
  TScopedEnv D("XDG_DATA_HOME", (Dir / "data").string().c_str());
  TScopedEnv C("XDG_CONFIG_HOME", "relative/config");  // not absolute: ignored
  TScopedEnv K("XDG_CACHE_HOME", (Dir / "cache").string().c_str());
  const TProgramFolders F = ResolveProgramFolders((Dir / "missing").string());
  EXPECT_EQ(F.LogsDir, (Dir / "data/LexmoraCT/Logs").string());
  EXPECT_EQ(F.SettingsFile, (Dir / "home/.config/LexmoraCT/Settings.ini").string());
  EXPECT_EQ(F.TempDir, (Dir / "cache/LexmoraCT/Temp").string());
}

TEST_F(ProgramPathsTest, OverridePutsEverythingInOneFolder) {
  const std::string Default = SettingsFilePath();
  SetProgramDataDirOverride((Dir / "portable").string());
  EXPECT_EQ(ProgramDataDir(), (Dir / "portable").string());
  EXPECT_EQ(SettingsFilePath(), (Dir / "portable" / "Settings.ini").string());
  EXPECT_EQ(LogsDir(), (Dir / "portable" / "Logs").string());
  EXPECT_EQ(TempDir(), (Dir / "portable" / "Temp").string());
  EXPECT_EQ(ResultsDir(), (Dir / "portable" / "Results").string());
  SetProgramDataDirOverride("");
  EXPECT_EQ(SettingsFilePath(), Default);
}

TEST_F(ProgramPathsTest, DefaultFollowsTheExecutableFolder) {
  // The test binary sits in a writable build folder, so it runs portable.
  EXPECT_TRUE(fs::exists(fs::path(ExecutableDir()) / (std::string("core_tests") + test_support::kProgramSuffix)));
  EXPECT_EQ(ProgramFolders().SettingsFile, ResolveProgramFolders(ExecutableDir()).SettingsFile);
}

TEST_F(ProgramPathsTest, ReadOnlyFolderIsNotWritable) {
  LEXMORA_SKIP_UNLESS_MODES_LOCK();
  fs::create_directories(Dir / "ro");
  fs::permissions(Dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(IsWritableDir((Dir / "ro").string()));
  EXPECT_FALSE(ResolveProgramFolders((Dir / "ro").string()).IsPortable);
  fs::permissions(Dir / "ro", fs::perms::owner_all);
}

#ifdef _WIN32
// Windows keeps the user's files in the local application data folder, its usual place in the
// profile when the variable is missing, and the reports in Documents.
TEST_F(ProgramPathsTest, UnwritableProgramFolderFallsBackToLocalAppData) {
  std::ofstream(Dir / "a_file") << "x";
  const fs::path Home = Dir / "home";
  TScopedEnv H("USERPROFILE", Home.string().c_str());
  TScopedEnv L("LOCALAPPDATA", (Dir / "local").string().c_str());
  const fs::path Data = Dir / "local" / "Lexmora";
  for (const fs::path& Candidate : {Dir / "missing", Dir / "a_file", fs::path()}) {
    EXPECT_FALSE(IsWritableDir(Candidate.string())) << Candidate;
    const TProgramFolders F = ResolveProgramFolders(Candidate.string());
    EXPECT_FALSE(F.IsPortable) << Candidate;
    EXPECT_EQ(F.DataDir, Data.string());
    EXPECT_EQ(F.SettingsFile, (Data / "Settings.ini").string());
    EXPECT_EQ(F.LogsDir, (Data / "Logs").string());
    EXPECT_EQ(F.TempDir, (Data / "Temp").string());
    EXPECT_EQ(F.ResultsDir, (Home / "Documents" / "LexmoraCT Results").string());
  }
  TScopedEnv NoLocal("LOCALAPPDATA", nullptr);
  EXPECT_EQ(ResolveProgramFolders("").DataDir, (Home / "AppData" / "Local" / "Lexmora").string());
}

// A per-user installation is writable by its user; its uninstaller keeps it from being taken for
// a portable copy.
TEST_F(ProgramPathsTest, InstalledProgramFolderIsNotPortable) {
  EXPECT_TRUE(ResolveProgramFolders(Dir.string()).IsPortable);
  std::ofstream(Dir / "Uninstall.exe") << "x";
  EXPECT_FALSE(ResolveProgramFolders(Dir.string()).IsPortable);
}
#endif
