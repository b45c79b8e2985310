#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "LoggerUnit.h"
#include "PlatformTestSupport.h"
#include "ProgramPathsUnit.h"
#include "ResourceUnit.h"

using namespace lexmora;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& APath) {
  std::ifstream In(APath, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

std::uint32_t BigEndian32(const std::string& AData, std::size_t AAt) {
  std::uint32_t V = 0;
  for (std::size_t I = 0; I < 4; ++I) V = (V << 8) | static_cast<unsigned char>(AData[AAt + I]);
  return V;
}

std::size_t CountLogLines(const std::string& ANeedle) {
  const std::string Log = ReadFile(Logger().LogFileName());
  std::size_t Count = 0;
  for (std::size_t At = Log.find(ANeedle); At != std::string::npos; At = Log.find(ANeedle, At + 1)) ++Count;
  return Count;
}

class ResourceTest : public ::testing::Test {
 protected:
  static fs::path ProgramDir() {
    return fs::temp_directory_path() / ("lexmora_res_prog_" + std::to_string(test_support::ProcessId()));
  }
  // A log of this process's own: a test process started meanwhile empties the shared one.
  static void SetUpTestSuite() { SetProgramDataDirOverride(ProgramDir().string()); }
  static void TearDownTestSuite() {
    SetProgramDataDirOverride("");
    fs::remove_all(ProgramDir());
  }
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("lexmora_res_" + std::to_string(test_support::ProcessId()));
    fs::remove_all(Dir);
    fs::create_directories(Dir);
    Logger().AddInfo("ResourceTest");  // the log exists before counting its lines
  }
  void TearDown() override { fs::remove_all(Dir); }
  fs::path Dir;
};

}  // namespace

TEST_F(ResourceTest, LogoIsA150By39Png) {
  const auto Data = FindResource("R004");
  ASSERT_TRUE(Data.has_value());
  const std::string Png(*Data);
  ASSERT_GT(Png.size(), 33u);
  EXPECT_EQ(Png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(Png.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian32(Png, 16), 150u);
  EXPECT_EQ(BigEndian32(Png, 20), 39u);
  EXPECT_EQ(Png.substr(Png.size() - 8, 4), "IEND");
}

TEST_F(ResourceTest, UnknownNamesAreNotFound) {
  EXPECT_FALSE(FindResource("R005").has_value());
  EXPECT_FALSE(FindResource("r004").has_value());
  EXPECT_FALSE(FindResource("").has_value());
}

TEST_F(ResourceTest, ExtractCopiesBytesAndTruncatesExistingFile) {
  const fs::path Target = Dir / "image1.png";
  { std::ofstream(Target, std::ios::binary) << std::string(5000, 'x'); }
  ExtractResToFile("R004", Target.string());
  EXPECT_EQ(ReadFile(Target), std::string(*FindResource("R004")));
}

TEST_F(ResourceTest, MissingResourceLogsAndRemovesTheTarget) {
  const fs::path Target = Dir / "stale.bin";
  { std::ofstream(Target, std::ios::binary) << "old"; }
  const std::size_t Before = CountLogLines("TMainForm.ExtractResToFile > ");
  EXPECT_NO_THROW(ExtractResToFile("NOPE", Target.string()));
  EXPECT_FALSE(fs::exists(Target));
  EXPECT_GT(CountLogLines("TMainForm.ExtractResToFile > "), Before);
}

TEST_F(ResourceTest, UncreatableFileLogsAndLeavesFoldersAlone) {
  const std::size_t Before = CountLogLines("TMainForm.ExtractResToFile > ");
  EXPECT_NO_THROW(ExtractResToFile("R004", (Dir / "no" / "such" / "dir" / "f.png").string()));
  EXPECT_FALSE(fs::exists(Dir / "no"));
  // A folder in the file's place cannot be written and must survive the clean-up.
  fs::create_directories(Dir / "folder");
  EXPECT_NO_THROW(ExtractResToFile("R004", (Dir / "folder").string()));
  EXPECT_TRUE(fs::is_directory(Dir / "folder"));
  EXPECT_GE(CountLogLines("TMainForm.ExtractResToFile > "), Before + 2 * 2);  // two framed blocks
}

TEST_F(ResourceTest, PartialWriteLeavesNoFile) {
  // A file-size limit smaller than the logo makes the copy fail half-way, in a child process.
  const fs::path Target = Dir / "partial.png";
#ifdef _WIN32
  GTEST_SKIP() << "needs fork and a file-size limit, which Windows has neither of";
#else
  const pid_t Child = ::fork();
  ASSERT_NE(Child, -1);
  if (Child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit Limit{100, 100};
    ::setrlimit(RLIMIT_FSIZE, &Limit);
    ExtractResToFile("R004", Target.string());
    ::_exit(fs::exists(Target) ? 1 : 0);
  }
  int Status = 0;
  ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
  ASSERT_TRUE(WIFEXITED(Status));
  EXPECT_EQ(WEXITSTATUS(Status), 0) << "a partial copy stayed behind";
#endif
}
