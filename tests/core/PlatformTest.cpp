#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "PlatformUnit.h"

using namespace lexmora;
namespace fs = std::filesystem;

namespace {

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() /
           ("lexmora-platform-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override { fs::remove_all(FDir); }

  std::string At(const std::string& AName) const { return (FDir / AName).string(); }
  static void Write(const std::string& APath, const std::string& AText) { std::ofstream(APath) << AText; }
  static std::string Read(const std::string& APath) {
    std::ifstream In(APath);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
  }

  fs::path FDir;
};

constexpr fs::perms kReadable =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;

TEST_F(PlatformTest, RenameNoReplaceMovesOnlyOntoAFreeName) {
  Write(At("from"), "new");
  Write(At("to"), "old");
  EXPECT_EQ(RenameNoReplace(At("from"), At("to")).Result, TFileResult::frExists);
  EXPECT_EQ(Read(At("from")) + Read(At("to")), "newold");

  EXPECT_TRUE(RenameNoReplace(At("from"), At("free")));
  EXPECT_FALSE(fs::exists(At("from")));
  EXPECT_EQ(Read(At("free")), "new");

  const TFileOutcome Missing = RenameNoReplace(At("from"), At("other"));
  EXPECT_EQ(Missing.Result, TFileResult::frFailed);
  EXPECT_EQ(Missing.Reason(), "No such file or directory");  // the text error lines show
}

TEST_F(PlatformTest, CreateNewFileNeverOpensWhatExists) {
  EXPECT_TRUE(CreateNewFile(At("lock")));
  EXPECT_EQ(fs::status(At("lock")).permissions() & ~kReadable, fs::perms::none);
  Write(At("kept"), "content");
  EXPECT_EQ(CreateNewFile(At("kept")).Result, TFileResult::frExists);
  EXPECT_EQ(Read(At("kept")), "content");
  fs::create_symlink(At("nowhere"), At("dangling"));
  EXPECT_EQ(CreateNewFile(At("dangling")).Result, TFileResult::frExists);
  EXPECT_FALSE(fs::exists(At("nowhere")));
  EXPECT_EQ(CreateNewFile(At("missing/lock")).Result, TFileResult::frFailed);
}

TEST_F(PlatformTest, UniqueFilesAreNewDistinctAndReadable) {
  const std::string Prefix = At("Result_x.html.");
  std::set<std::string> Names;
  for (int I = 0; I < 20; ++I) {
    std::string Name;
    ASSERT_TRUE(CreateUniqueFile(Prefix, ".tmp", Name));
    EXPECT_EQ(Name.substr(0, Prefix.size()) + Name.substr(Prefix.size() + 6), Prefix + ".tmp");
    EXPECT_EQ(fs::status(Name).permissions(), kReadable);
    Names.insert(Name);
  }
  EXPECT_EQ(Names.size(), 20u);
  std::string Name;
  EXPECT_EQ(CreateUniqueFile(At("missing/x."), "", Name).Result, TFileResult::frFailed);
}

TEST_F(PlatformTest, WriteFilePiecesReplacesTheWholeContent) {
  Write(At("out"), "a much longer old content");
  EXPECT_TRUE(WriteFilePieces(At("out"), {"one ", "", "two"}, true));
  EXPECT_EQ(Read(At("out")), "one two");
  const TFileOutcome IntoFolder = WriteFilePieces(FDir.string(), {"x"});
  EXPECT_EQ(IntoFolder.Step, TFileStep::fsCreate);
  EXPECT_EQ(IntoFolder.Reason(), "Is a directory");
}

TEST_F(PlatformTest, PrivateFoldersAreDistinctAndOnlyTheUsers) {
  const fs::path A = MakePrivateFolder(FDir, "run");
  const fs::path B = MakePrivateFolder(FDir, "run");
  ASSERT_FALSE(A.empty() || B.empty());
  EXPECT_NE(A, B);
  EXPECT_EQ(A.parent_path(), FDir);
  EXPECT_EQ(A.filename().string().rfind("run-", 0), 0u);
  EXPECT_EQ(A.filename().string().size(), 10u);
  EXPECT_EQ(fs::status(A).permissions(), fs::perms::owner_all);
  EXPECT_TRUE(MakePrivateFolder(FDir / "missing", "run").empty());
}

std::string Stamp(const std::tm& ATime) {
  char Buffer[32];
  return std::string(Buffer, std::strftime(Buffer, sizeof Buffer, "%Y-%m-%d %H:%M:%S", &ATime));
}

TEST(PlatformTime, BrokenDownTimeOfKnownMoments) {
  EXPECT_EQ(Stamp(UtcBrokenDownTime(0)), "1970-01-01 00:00:00");
  EXPECT_EQ(Stamp(UtcBrokenDownTime(951827696)), "2000-02-29 12:34:56");
  const char* Old = std::getenv("TZ");
  const std::string Saved = Old ? Old : "";
  ::setenv("TZ", "Europe/Berlin", 1);
  ::tzset();
  EXPECT_EQ(Stamp(LocalBrokenDownTime(1719835200)), "2024-07-01 14:00:00");  // summer time
  EXPECT_EQ(Stamp(LocalBrokenDownTime(1704110400)), "2024-01-01 13:00:00");
  // Read back through mktime, local time gives the moment again, across the year's changes.
  for (std::time_t T = 1704067200; T < 1735689600; T += 86400 * 7 + 3607) {
    std::tm Local = LocalBrokenDownTime(T);
    EXPECT_EQ(std::mktime(&Local), T);
  }
  Old ? ::setenv("TZ", Saved.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
}

std::atomic<int> GCalls{0};
std::atomic<int> GPreviousCalls{0};
extern "C" void PreviousHandler(int) { GPreviousCalls.fetch_add(1); }

TEST(PlatformInterrupt, CallbackWhileInstalledThenThePreviousHandler) {
  const auto Previous = std::signal(SIGINT, PreviousHandler);
  InstallInterruptHandler([] { return GCalls.fetch_add(1) >= 0; });
  std::raise(SIGINT);
  std::raise(SIGINT);
  RestoreInterruptHandler();
  EXPECT_EQ(GCalls.load(), 2);
  EXPECT_EQ(GPreviousCalls.load(), 0);
  std::raise(SIGINT);
  EXPECT_EQ(GPreviousCalls.load(), 1);
  std::signal(SIGINT, Previous);
}

TEST(PlatformInterruptDeathTest, CallbackAnsweringFalseEndsTheProcessAsCtrlCDoes) {
  EXPECT_EXIT(
      {
        InstallInterruptHandler([] { return false; });
        std::raise(SIGINT);
      },
      ::testing::KilledBySignal(SIGINT), "");
}

}  // namespace
