#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "LoggerUnit.h"
#include "PlatformTestSupport.h"

using namespace lexmora;
namespace fs = std::filesystem;

namespace {

const std::string kStamp = R"(\d{4}\.\d{2}\.\d{2} \d{2}:\d{2}:\d{2})";
const std::string kHyphens(47, '-');
const std::string kEquals(47, '=');
const std::string kRunStart = "\r\nHello!\r\nLogging started...\r\n" + kEquals + "\r\n";

std::string ReadFile(const fs::path& APath) {
  std::ifstream In(APath, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

// The file's lines; every line must end with CR LF.
std::vector<std::string> ReadLines(const fs::path& APath) {
  const std::string Text = ReadFile(APath);
  std::vector<std::string> Lines;
  std::size_t Pos = 0;
  while (Pos < Text.size()) {
    const std::size_t End = Text.find("\r\n", Pos);
    if (End == std::string::npos) {
      ADD_FAILURE() << "last line not ended by CR LF";
      break;
    }
    Lines.push_back(Text.substr(Pos, End - Pos));
    Pos = End + 2;
  }
  return Lines;
}

// An entry line of the level letter whose text (after "] - ") is ABody.
::testing::AssertionResult IsEntry(const std::string& ALine, char ALetter, const std::string& ABody) {
  const std::string Head = ALine.substr(0, std::min<std::size_t>(ALine.size(), 19));
  if (!std::regex_match(Head, std::regex(kStamp))) return ::testing::AssertionFailure() << "no time stamp: " << ALine;
  const std::string Expected = std::string(" [") + ALetter + "] - " + ABody;
  if (ALine.substr(Head.size()) != Expected) return ::testing::AssertionFailure() << "got '" << ALine << "'";
  return ::testing::AssertionSuccess();
}

class LoggerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("lexmora_log_" + std::to_string(test_support::ProcessId()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override {
    std::error_code Ec;
    fs::remove_all(Dir, Ec);
  }
  fs::path LogFile() const { return Dir / "Logs" / "Logger.log"; }
  fs::path Dir;
};

}  // namespace

TEST_F(LoggerTest, EachRunStartsWithFourLinesInAnEmptiedFile) {
  {
    TLogger First(true, false, true, Dir.string());
    EXPECT_EQ(First.LogFileName(), LogFile().string());
    EXPECT_TRUE(fs::is_directory(Dir / "Logs"));
    EXPECT_FALSE(fs::exists(LogFile())) << "nothing is written before the first entry";
    First.AddRunStart();
    First.AddInfo("first run");
  }
  EXPECT_EQ(ReadLines(LogFile()).size(), 5u);
  TLogger Second(true, false, true, Dir.string());
  Second.AddRunStart();
  EXPECT_EQ(ReadFile(LogFile()), kRunStart);
  Second.AddRunEnd();
  EXPECT_EQ(ReadFile(LogFile()), kRunStart + kEquals + "\r\nLogging is complete.\r\n");
}

TEST_F(LoggerTest, KeepsTheOldFileWhenNotClearing) {
  TLogger(true, false, true, Dir.string()).AddRunStart();
  TLogger(true, false, false, Dir.string()).AddRunStart();
  EXPECT_EQ(ReadFile(LogFile()), kRunStart + kRunStart);
}

TEST_F(LoggerTest, FileNamePerDayAndWithoutLogsFolder) {
  TLogger Daily(false, true, true, Dir.string());
  EXPECT_TRUE(std::regex_match(fs::path(Daily.LogFileName()).filename().string(),
                               std::regex(R"(Logger_\d{4}-\d{2}-\d{2}\.log)")))
      << Daily.LogFileName();
  EXPECT_EQ(fs::path(Daily.LogFileName()).parent_path(), Dir);
}

TEST_F(LoggerTest, AFileNameOfItsOwn) {
  TLogger Own(true, false, true, Dir.string(), "lexmora-compare.log");
  EXPECT_EQ(Own.LogFileName(), (Dir / "Logs" / "lexmora-compare.log").string());
  TLogger Daily(true, true, true, Dir.string(), "sub/../tool.log");  // only the name counts
  EXPECT_TRUE(
      std::regex_match(fs::path(Daily.LogFileName()).filename().string(), std::regex(R"(tool_\d{4}-\d{2}-\d{2}\.log)")))
      << Daily.LogFileName();
  EXPECT_EQ(fs::path(Daily.LogFileName()).parent_path(), Dir / "Logs");
  EXPECT_EQ(fs::path(TLogger(true, false, true, Dir.string(), "").LogFileName()).filename(), "Logger.log");
}

TEST_F(LoggerTest, EntryFormats) {
  TLogger L(true, false, true, Dir.string());
  L.AddInfo("plain");
  L.AddWarning("careful");
  L.AddInfo("");
  L.AddInfo("two\r\nlines");
  L.AddInfo("a\nb\rc\n");  // any line break splits; a final one adds no line
  L.AddInfo("Привет \xF0\x9F\x98\x80");
  L.AddDelimiter();
  L.AddSmallDelimiter();
  L.AddVarValue("Flag", true);
  L.AddVarValue("Flag", false);
  L.AddVarValue("Count", -42);
  L.AddVarValue("Name", std::string("x y"));
  L.AddStartInfo("raw text");
  L.AddStartInfo("");
  const auto Lines = ReadLines(LogFile());
  ASSERT_EQ(Lines.size(), 17u);
  EXPECT_TRUE(IsEntry(Lines[0], 'I', "plain"));
  EXPECT_TRUE(IsEntry(Lines[1], 'W', "careful"));
  EXPECT_TRUE(std::regex_match(Lines[2], std::regex(kStamp + R"( \[I\])")));
  EXPECT_TRUE(IsEntry(Lines[3], 'I', "two"));
  EXPECT_TRUE(IsEntry(Lines[4], 'I', "lines"));
  EXPECT_TRUE(IsEntry(Lines[5], 'I', "a"));
  EXPECT_TRUE(IsEntry(Lines[6], 'I', "b"));
  EXPECT_TRUE(IsEntry(Lines[7], 'I', "c"));
  EXPECT_TRUE(IsEntry(Lines[8], 'I', "Привет \xF0\x9F\x98\x80"));
  EXPECT_TRUE(IsEntry(Lines[9], 'I', kHyphens));
  EXPECT_TRUE(IsEntry(Lines[10], 'I', std::string(47, '.')));
  EXPECT_TRUE(IsEntry(Lines[11], 'I', "Flag = true"));
  EXPECT_TRUE(IsEntry(Lines[12], 'I', "Flag = false"));
  EXPECT_TRUE(IsEntry(Lines[13], 'I', "Count = -42"));
  EXPECT_TRUE(IsEntry(Lines[14], 'I', "Name = x y"));
  EXPECT_EQ(Lines[15], "raw text");
  EXPECT_EQ(Lines[16], "");
  EXPECT_FALSE(L.IsErrorsInLog());
}

TEST_F(LoggerTest, NestedMethodsIndentByTwoSpacesPerLevel) {
  TLogger L(true, false, true, Dir.string());
  L.EnterMethod("Outer");
  L.EnterMethod("Inner");
  L.AddInfo("deep\nsecond");
  L.ExitMethod("Inner");
  L.ExitMethod("Outer");
  L.AddInfo("flat");
  const auto Lines = ReadLines(LogFile());
  ASSERT_EQ(Lines.size(), 7u);
  EXPECT_TRUE(IsEntry(Lines[0], 'I', ">>> Outer"));
  EXPECT_TRUE(IsEntry(Lines[1], 'I', "  >>> Inner"));
  EXPECT_TRUE(IsEntry(Lines[2], 'I', "    deep"));
  EXPECT_TRUE(IsEntry(Lines[3], 'I', "    second"));
  EXPECT_TRUE(IsEntry(Lines[4], 'I', "  <<< Inner"));
  EXPECT_TRUE(IsEntry(Lines[5], 'I', "<<< Outer"));
  EXPECT_TRUE(IsEntry(Lines[6], 'I', "flat"));
}

TEST_F(LoggerTest, ErrorBlocksAreFramedByTheMethodName) {
  TLogger L(true, false, true, Dir.string());
  L.AddError("TImporter.Run", "bad file\r\nsecond line");
  L.AddError("TImporter.Run", "");
  L.AddException("TWriter.Save", std::runtime_error("disk full"));
  const auto Lines = ReadLines(LogFile());
  ASSERT_EQ(Lines.size(), 9u);
  EXPECT_TRUE(IsEntry(Lines[0], 'E', "TImporter.Run > " + kHyphens));
  EXPECT_TRUE(IsEntry(Lines[1], 'E', "TImporter.Run > bad file"));
  EXPECT_TRUE(IsEntry(Lines[2], 'E', "TImporter.Run > second line"));
  EXPECT_TRUE(IsEntry(Lines[3], 'E', "TImporter.Run > " + kHyphens));
  EXPECT_TRUE(IsEntry(Lines[4], 'E', "TImporter.Run > " + kHyphens)) << "empty message: frame only";
  EXPECT_TRUE(IsEntry(Lines[5], 'E', "TImporter.Run > " + kHyphens));
  EXPECT_TRUE(IsEntry(Lines[7], 'E', "TWriter.Save > disk full"));
  EXPECT_TRUE(L.IsErrorsInLog());
}

TEST_F(LoggerTest, ErrorTextFramesEachRunOfErrorLines) {
  fs::create_directories(Dir / "Logs");
  const std::string S = "2020.06.30 14:05:09";
  std::ofstream(LogFile(), std::ios::binary) << S << " [I] - a\r\n"
                                             << S << " [E] - b\r\n"
                                             << S << " [E] - c\r\n"
                                             << S << " [I] - d\r\n"
                                             << S << " [E] - e\r\n";
  TLogger L(true, false, true, Dir.string());
  EXPECT_EQ(L.GetLogFileErrorText(),
            "...\r\n" + S + " [E] - b\r\n" + S + " [E] - c\r\n...\r\n...\r\n" + S + " [E] - e\r\n");
}

TEST_F(LoggerTest, ErrorTextOfARealLog) {
  TLogger L(true, false, true, Dir.string());
  EXPECT_EQ(L.GetLogFileErrorText(), "") << "no file yet";
  L.AddInfo("start");
  EXPECT_EQ(L.GetLogFileErrorText(), "");
  L.AddError("M", "x");
  L.AddInfo("after");
  const auto Lines = ReadLines(LogFile());
  ASSERT_EQ(Lines.size(), 5u);
  EXPECT_EQ(L.GetLogFileErrorText(), "...\r\n" + Lines[1] + "\r\n" + Lines[2] + "\r\n" + Lines[3] + "\r\n...\r\n");
}

// Each row makes the log file impossible to open; logging must return quietly, every time.
TEST_F(LoggerTest, UnwritableLogNeverThrowsNorRecurses) {
  const struct {
    const char* Name;
    void (*Break)(const fs::path& ADir);
  } Rows[] = {
      {"log file is a folder", [](const fs::path& D) { fs::create_directories(D / "Logs" / "Logger.log"); }},
      {"program folder is a file", [](const fs::path& D) { std::ofstream(D / "Logs") << "x"; }},
  };
  for (const auto& Row : Rows) {
    fs::remove_all(Dir / "Logs");
    Row.Break(Dir);
    TLogger L(true, false, true, Dir.string());
    for (int I = 0; I < 3; ++I) {
      EXPECT_NO_THROW(L.AddRunStart()) << Row.Name;
      EXPECT_NO_THROW(L.AddError("T.M", "text")) << Row.Name;
      EXPECT_NO_THROW(L.AddException("T.M", std::runtime_error("e"))) << Row.Name;
    }
    EXPECT_EQ(L.GetLogFileErrorText(), "") << Row.Name;
    // Once the file can be written again, entries reach it.
    fs::remove_all(Dir / "Logs");
    fs::create_directories(Dir / "Logs");
    L.AddInfo("recovered");
    const auto Lines = ReadLines(LogFile());
    ASSERT_EQ(Lines.size(), 1u) << Row.Name;
    EXPECT_TRUE(IsEntry(Lines[0], 'I', "recovered")) << Row.Name;
  }
}

TEST_F(LoggerTest, EntriesFromManyThreadsNeverInterleave) {
  TLogger L(true, false, true, Dir.string());
  constexpr int kThreads = 6, kEntries = 150;
  std::vector<std::thread> Threads;
  for (int T = 0; T < kThreads; ++T) {
    Threads.emplace_back([&L, T] {
      for (int I = 0; I < kEntries; ++I) {
        if (I % 50 == 0)
          L.AddError("Thread" + std::to_string(T), "failure\nline two");
        else
          L.AddInfo("thread " + std::to_string(T) + " entry " + std::to_string(I));
      }
    });
  }
  for (auto& T : Threads) T.join();
  const auto Lines = ReadLines(LogFile());
  EXPECT_EQ(Lines.size(), static_cast<std::size_t>(kThreads * (kEntries - 3) + kThreads * 3 * 4));
  const std::regex Whole(kStamp + R"( \[(I\] - thread \d entry \d+|E\] - Thread\d > (failure|line two|-{47})))");
  for (const auto& Line : Lines) EXPECT_TRUE(std::regex_match(Line, Whole)) << Line;
  // The lines of one error block stay together.
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    if (Lines[I].find("> failure") == std::string::npos) continue;
    ASSERT_LT(I + 1, Lines.size());
    EXPECT_NE(Lines[I + 1].find("> line two"), std::string::npos);
  }
}

// The closing lines come from static destruction, so a front end that simply returns gets them.
TEST(GlobalLogger, ProgramEndClosesTheLog) {
  Logger().AddInfo("GlobalLogger test");
  const std::string File = Logger().LogFileName();
#ifdef _WIN32
  GTEST_SKIP() << "needs fork: a child that shares this process's log";
#else
  const pid_t Child = ::fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    Logger().AddInfo("child ends");
    std::exit(0);
  }
  int Status = 0;
  ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
  ASSERT_TRUE(WIFEXITED(Status));
  const std::string Text = ReadFile(File);
  const std::string Tail = " [I] - child ends\r\n" + kEquals + "\r\nLogging is complete.\r\n";
  ASSERT_GE(Text.size(), Tail.size());
  EXPECT_EQ(Text.substr(Text.size() - Tail.size()), Tail);
#endif
}
