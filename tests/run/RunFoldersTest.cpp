#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <thread>
#include <vector>

#include "RunFoldersUnit.h"

using namespace lexmora;
namespace fs = std::filesystem;

namespace {

class RunFolders : public testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("lexmora_run_folders_" + std::to_string(::getpid()) + "_" +
                                       testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  fs::path Dir;
};

}  // namespace

TEST_F(RunFolders, PrefixSkipsTakenTimesAndReservesAtomically) {
  const std::string A = ReserveResultPrefix(Dir.string(), "20260101_120000");
  EXPECT_EQ(A, (Dir / "Result_20260101_120000_").string());
  EXPECT_TRUE(fs::exists(A + ".lock"));
  // Reserved but not released: the next run of the same second gets a counter.
  const std::string B = ReserveResultPrefix(Dir.string(), "20260101_120000");
  EXPECT_EQ(B, (Dir / "Result_20260101_120000-2_").string());
  std::ofstream(Dir / "Result_20260101_120000-3_en_de.html") << "x";
  ReleaseResultPrefix(A);
  EXPECT_FALSE(fs::exists(A + ".lock"));
  std::ofstream(A + "en_de.html") << "x";
  EXPECT_EQ(ReserveResultPrefix(Dir.string(), "20260101_120000"), (Dir / "Result_20260101_120000-4_").string());
  EXPECT_EQ(ReserveResultPrefix((Dir / "missing").string(), "20260101_120000"), "");
  ReleaseResultPrefix("");  // nothing to release
}

TEST_F(RunFolders, ConcurrentReservationsNeverShareAPrefix) {
  constexpr int Runs = 16;
  std::vector<std::string> Got(Runs);
  std::vector<std::thread> Threads;
  for (int I = 0; I < Runs; ++I)
    Threads.emplace_back([&, I] { Got[I] = ReserveResultPrefix(Dir.string(), "20260101_120000"); });
  for (auto& T : Threads) T.join();
  const std::set<std::string> Distinct(Got.begin(), Got.end());
  EXPECT_EQ(Distinct.size(), static_cast<std::size_t>(Runs));
  EXPECT_FALSE(Distinct.contains(""));
}

TEST_F(RunFolders, TimeStampPattern) {
  EXPECT_TRUE(std::regex_match(ResultTimeStamp(), std::regex("[0-9]{8}_[0-9]{6}")));
}

TEST_F(RunFolders, APrivateWorkDirIsMadeAndRemovedWhole) {
  fs::path Made;
  {
    const TPrivateWorkDir Work(Dir / "parent" / "deeper", "LexmoraCT");
    Made = Work.Path();
    ASSERT_FALSE(Made.empty());
    EXPECT_EQ(Made.parent_path(), Dir / "parent" / "deeper");
    EXPECT_EQ(Made.filename().string().rfind("LexmoraCT-", 0), 0u);
#ifndef _WIN32  // an access list there, checked with the platform seam
    EXPECT_EQ(fs::status(Made).permissions() & fs::perms::all, fs::perms::owner_all);
#endif
    const TPrivateWorkDir Other(Dir / "parent" / "deeper", "LexmoraCT");
    EXPECT_NE(Other.Path(), Made);  // two runs never share one
    fs::create_directories(Made / "work" / "unpacked");
    std::ofstream(Made / "work" / "unpacked" / "a.sdlxliff") << "x";
  }
  EXPECT_FALSE(fs::exists(Made));
  EXPECT_TRUE(fs::exists(Dir / "parent" / "deeper"));  // only its own folder goes
}

TEST_F(RunFolders, AWorkDirThatCannotBeMadeIsEmpty) {
  std::ofstream(Dir / "a-file") << "x";
  const TPrivateWorkDir Work(Dir / "a-file" / "sub", "lexmora-compare");
  EXPECT_TRUE(Work.Path().empty());
  const TPrivateWorkDir NoParent(fs::path(), "lexmora-compare");
  EXPECT_TRUE(NoParent.Path().empty());
}

TEST_F(RunFolders, AReleasedWorkDirStays) {
  fs::path Kept;
  {
    TPrivateWorkDir Work(Dir, "LexmoraCT");
    Kept = Work.Release();
    EXPECT_TRUE(Work.Path().empty());
  }
  EXPECT_TRUE(fs::is_directory(Kept));
}
