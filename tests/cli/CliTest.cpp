// lexmora-compare called as a function: usage errors, options, result prefixes, exit statuses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "CliUnit.h"
#include "InputFolderUnit.h"
#include "LocalizationUnit.h"
#include "PlatformTestSupport.h"
#include "TestPaths.h"

namespace lexmora {
namespace {

namespace fs = std::filesystem;

const std::string Data = LEXMORA_TEST_DATA_DIR "/run/";
const std::string GoodSource = Data + "source/three_units_en-US_de-DE.sdlxliff";
const std::string GoodEdited = Data + "edited/three_units_en-US_de-DE.sdlxliff";

// A program's path as the command interpreter takes it (Windows's wants backslashes).
std::string ProgramCommand(const fs::path& AProgram) { return fs::path(AProgram).make_preferred().string(); }

struct TUsageCase {
  const char* Name;
  std::vector<std::string> Args;
  std::string Message;
};

void PrintTo(const TUsageCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class CliUsage : public testing::TestWithParam<TUsageCase> {};

TEST_P(CliUsage, BadUsageGivesStatus2WithMessageAndUsage) {
  std::ostringstream Out, Err;
  EXPECT_EQ(RunCli(GetParam().Args, Out, Err), 2);
  EXPECT_EQ(Out.str(), "");
  EXPECT_NE(Err.str().find(GetParam().Message), std::string::npos) << Err.str();
  EXPECT_NE(Err.str().find("Usage: lexmora-compare"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliUsage,
    testing::Values(
        TUsageCase{"NoArguments", {}, "no source file"}, TUsageCase{"NoEdited", {"-s", "a.sdlxliff"}, "no edited file"},
        TUsageCase{"NoSource", {"--edited", "b.sdlxliff"}, "no source file"},
        TUsageCase{"MissingValue", {"-e", "b.sdlxliff", "-s"}, "option -s needs a value"},
        TUsageCase{"EmptyValue", {"-s", "", "-e", "b"}, "non-empty"},
        TUsageCase{"UnknownOption", {"-s", "a", "-e", "b", "--fast"}, "unknown option '--fast'"},
        TUsageCase{"UnknownFormat", {"-s", "a", "-e", "b", "-f", "pdf"}, "unknown format 'pdf'"},
        TUsageCase{"UnknownTagMode", {"-s", "a", "-e", "b", "--tags=all"}, "unknown tag mode 'all'"},
        TUsageCase{"UnknownLanguage", {"-s", "a", "-e", "b", "--lang", "de"}, "unknown language 'de'"},
        TUsageCase{"FlagWithValue", {"-s", "a", "-e", "b", "--json=yes"}, "takes no value"},
        TUsageCase{"BadRates", {"-s", "a", "-e", "b", "--rates", "100:0,95"}, "bad rate list '100:0,95'"},
        TUsageCase{"RateAbove100", {"-s", "a", "-e", "b", "--rates=0:120"}, "bad rate list '0:120'"},
        TUsageCase{
            "BadPrice", {"-s", "a", "-e", "b", "--rates=0:100", "--word-price", "0,12"}, "bad word price '0,12'"},
        TUsageCase{"BadCurrency",
                   {"-s", "a", "-e", "b", "--rates=0:100", "--word-price=1", "--currency", "A\tB"},
                   "bad currency"},
        TUsageCase{"PriceWithoutRates", {"-s", "a", "-e", "b", "--word-price=1"}, "needs --rates"},
        TUsageCase{
            "CurrencyWithoutPrice", {"-s", "a", "-e", "b", "--rates=0:100", "--currency=EUR"}, "needs --word-price"},
        TUsageCase{"RatesOtherThanBands",
                   {"-s", "a", "-e", "b", "--rates=100:0,0:100", "--bands=100,50,0"},
                   "not those of --bands"},
        TUsageCase{"CsvWithValue", {"-s", "a", "-e", "b", "--csv=1"}, "takes no value"}),
    [](const testing::TestParamInfo<TUsageCase>& AInfo) { return std::string(AInfo.param.Name); });

TEST(CliOptions, DefaultsAreTheDesktopDefaults) {
  TCliOptions O;
  std::string Error;
  ASSERT_TRUE(ParseCliArgs({"-s", "a", "--source=b", "-e", "c"}, O, Error)) << Error;
  EXPECT_EQ(O.SourceFiles, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(O.EditedFiles, (std::vector<std::string>{"c"}));
  EXPECT_FALSE(O.ShowIdentical);
  EXPECT_FALSE(O.IgnoreNbsp);
  EXPECT_FALSE(O.NoHighlight);
  EXPECT_EQ(O.ShowTags, TShowTagsFlag::stfShowTagsOnly);
  EXPECT_EQ(O.Format, TResultFileFormat::rffHTML);
  EXPECT_EQ(O.Lang, TLocalizationLanguare::llEN);
  EXPECT_EQ(O.OutputDir, "Results");
  ASSERT_TRUE(ParseCliArgs({"-s", "a", "-e", "c", "--tags", "full", "-f", "xlsx", "--lang=ru", "--ignore-nbsp",
                            "--no-highlight", "--show-identical", "-q", "--json", "-o", "out"},
                           O, Error));
  EXPECT_EQ(O.ShowTags, TShowTagsFlag::stfShowTagsContent);
  EXPECT_EQ(O.Format, TResultFileFormat::rffXLSX);
  EXPECT_EQ(O.Lang, TLocalizationLanguare::llRU);
  EXPECT_TRUE(O.IgnoreNbsp && O.NoHighlight && O.ShowIdentical && O.Quiet && O.Json);
  EXPECT_EQ(O.OutputDir, "out");
  EXPECT_FALSE(O.Cost.HasRates() || O.Csv);
  ASSERT_TRUE(ParseCliArgs({"-s", "a", "-e", "c", "--rates", "100:0,50:40,0:100", "--bands=100,50,0", "--word-price",
                            "0.12", "--currency=EUR", "--csv"},
                           O, Error))
      << Error;
  EXPECT_EQ(O.Cost.Rates, (std::vector<TBandRate>{{100, 0}, {50, 40}, {0, 100}}));
  EXPECT_EQ(O.Cost.WordPrice, 0.12);
  EXPECT_EQ(O.Cost.Currency, "EUR");
  EXPECT_TRUE(O.Csv);
}

TEST(CliOptions, HelpAndVersionNeedNoFiles) {
  std::ostringstream Out, Err;
  EXPECT_EQ(RunCli({"--help"}, Out, Err), 0);
  EXPECT_TRUE(Out.str().starts_with("Usage: lexmora-compare"));
  std::ostringstream Out2;
  EXPECT_EQ(RunCli({"--version"}, Out2, Err), 0);
  EXPECT_TRUE(Out2.str().starts_with("lexmora-compare "));
}

TEST(CliBinary, TheProgramAnswersLikeTheFunction) {
  std::ostringstream Out, Err;
  ASSERT_EQ(RunCli({"--version"}, Out, Err), 0);
  FILE* Pipe = test_support::OpenCommandOutput(ProgramCommand(LEXMORA_COMPARE_BINARY) + " --version");
  ASSERT_NE(Pipe, nullptr);
  std::string Text;
  char Buffer[256];
  while (std::fgets(Buffer, sizeof Buffer, Pipe)) Text += Buffer;
  EXPECT_EQ(test_support::CloseCommandOutput(Pipe), 0);
  EXPECT_EQ(Text, Out.str());
}

TEST(CliJson, StringsAreEscaped) {
  EXPECT_EQ(JsonString("a\"b\\c\r\n\t\x01"), "\"a\\\"b\\\\c\\r\\n\\t\\u0001\"");
  EXPECT_EQ(JsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
  EXPECT_EQ(JsonString("bad\xFF"), "\"bad\xEF\xBF\xBD\"");
}

class CliFolder : public testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("lexmora_cli_" + std::to_string(::getpid()) + "_" +
                                       testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  fs::path Dir;
};

// The tool logs into a file of its own beside the desktop program's log, which it leaves alone.
TEST_F(CliFolder, TheBinaryLogsBesideTheDesktopLogWithoutTouchingIt) {
  const fs::path Program = Dir / "program";
  fs::create_directories(Program / "Logs");
  const fs::path Copy = Program / (std::string("lexmora-compare") + test_support::kProgramSuffix);
  fs::copy_file(LEXMORA_COMPARE_BINARY, Copy);  // portable: its folders beside it
  const std::string DesktopLog = "2026.01.01 12:00:00 [I] - the desktop program is running\r\n";
  std::ofstream(Program / "Logs" / "Logger.log", std::ios::binary) << DesktopLog;
  // A document that is no XML: its reader logs the reason, so the run writes log entries.
  std::ofstream(Dir / "broken.sdlxliff") << "<xliff";
  const std::string Command = ProgramCommand(Copy) + " -q -s " + (Dir / "broken.sdlxliff").string() + " -s " +
                              GoodSource + " -e " + GoodEdited + " -o " + (Dir / "out").string() + " > " +
                              test_support::kNullDevice + " 2>&1";
  ASSERT_EQ(std::system(Command.c_str()), 0);
  std::ifstream Desktop(Program / "Logs" / "Logger.log", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(Desktop), {}), DesktopLog);
  std::ifstream Own(Program / "Logs" / "lexmora-compare.log", std::ios::binary);
  const std::string OwnText(std::istreambuf_iterator<char>(Own), {});
  EXPECT_NE(OwnText.find("Logging started..."), std::string::npos) << OwnText;
  EXPECT_NE(OwnText.find("[E]"), std::string::npos) << OwnText;
}

TEST_F(CliFolder, RunWritesReportAndPrintsItsPath) {
  std::ostringstream Out, Err;
  const int Status = RunCli({"-s", GoodSource, "-e", GoodEdited, "-o", (Dir / "out").string(), "-q"}, Out, Err);
  EXPECT_EQ(Status, 0) << Err.str();
  const std::string Path = Out.str().substr(0, Out.str().find('\n'));
  EXPECT_TRUE(Path.starts_with((Dir / "out" / "Result_").string()));
  EXPECT_TRUE(Path.ends_with("_en-US_de-DE.html"));
  EXPECT_TRUE(fs::exists(Path));
  // The reservation is released; only the report remains.
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir / "out"), fs::directory_iterator()), 1);
  // -q: nothing went wrong, so nothing is said.
  EXPECT_EQ(Err.str(), "");
  std::ostringstream Out2, Err2;
  ASSERT_EQ(RunCli({"-s", GoodSource, "-e", GoodEdited, "-o", (Dir / "out").string()}, Out2, Err2), 0);
  EXPECT_NE(Err2.str().find(GetLocalizedText(TMsg::ReportCreated, TLocalizationLanguare::llEN)), std::string::npos);
  EXPECT_NE(Err2.str().find(GetLocalizedText(TMsg::ComparisonStarted, TLocalizationLanguare::llEN)), std::string::npos);
}

TEST_F(CliFolder, ProgressGoesToTheErrorStreamAsPlainLines) {
  std::ostringstream Out, Err;
  ASSERT_EQ(RunCli({"-s", GoodSource, "-e", GoodEdited, "-o", (Dir / "out").string()}, Out, Err), 0);
  const auto L = [](TMsg AId) { return GetLocalizedText(AId, TLocalizationLanguare::llEN); };
  const std::string E = Err.str();
  // Each finished operation leaves its line, in order, and no terminal control codes.
  const std::size_t A = E.find(L(TMsg::ReadSourceFilesOperation) + L(TMsg::ProgressOperationCompleted)),
                    B = E.find(L(TMsg::ReadEditedFilesOperation) + L(TMsg::ProgressOperationCompleted)),
                    C = E.find(L(TMsg::CreateReportOperation));
  EXPECT_TRUE(A != std::string::npos && B != std::string::npos && C != std::string::npos && A < B && B < C) << E;
  EXPECT_EQ(E.find('\x1b'), std::string::npos);
  EXPECT_EQ(Out.str().find(L(TMsg::ComparisonStarted)), std::string::npos);
}

TEST_F(CliFolder, PerFileErrorsDoNotChangeTheStatusAndNameTheFileAsGiven) {
  // A relative path is shown as it was typed, not as the full path the run works with.
  const fs::path Before = fs::current_path();
  fs::current_path(Dir);
  std::ostringstream Out, Err;
  const int Status =
      RunCli({"-s", GoodSource, "-e", "gone.sdlxliff", "-o", (Dir / "out").string(), "-q", "--json", "--lang", "ru"},
             Out, Err);
  fs::current_path(Before);
  EXPECT_EQ(Status, 0);
  const std::string Missing = GetLocalizedText(TMsg::EditedNotFound, TLocalizationLanguare::llRU);
  EXPECT_EQ(Err.str(), Missing + ": gone.sdlxliff\n");
  EXPECT_NE(Out.str().find("\"errors\": [\n    {\"side\": \"edited\", \"path\": \"gone.sdlxliff\", \"document\": \"\", "
                           "\"message\": " +
                           JsonString(Missing) + ", \"reason\": \"\"}\n  ]"),
            std::string::npos)
      << Out.str();
  EXPECT_NE(Out.str().find("\"result\": \"ok\""), std::string::npos);
  EXPECT_NE(Out.str().find("\"written\": true, \"report\": \""), std::string::npos) << Out.str();
}

TEST_F(CliFolder, FoldersAreReadInNameOrderAndOtherFilesSkipped) {
  fs::create_directories(Dir / "src" / "b");
  fs::create_directories(Dir / "src" / "a" / "deep");
  fs::copy_file(GoodSource, Dir / "src" / "b" / "x.sdlxliff");
  fs::copy_file(GoodSource, Dir / "src" / "a" / "deep" / "y.sdlxliff");
  std::ofstream(Dir / "src" / "a" / "notes.txt") << "skip me";
  std::ofstream(Dir / "src" / "a" / "UPPER.SDLXLIFF") << "skip me too: extensions are exact";
  fs::create_directories(Dir / "nothing" / "inside");
  std::ofstream(Dir / "nothing" / "inside" / "readme.md") << "x";
  const std::string Src = (Dir / "src").string();
  EXPECT_EQ(SupportedFilesBelow(Src), (std::vector<std::string>{Src + "/a/deep/y.sdlxliff", Src + "/b/x.sdlxliff"}));
  std::ostringstream Out, Err;
  const int Status = RunCli({"-s", Src, "-s", (Dir / "nothing").string(), "-e", GoodEdited, "-o",
                             (Dir / "out").string(), "-q", "--json", "--show-identical"},
                            Out, Err);
  EXPECT_EQ(Status, 0) << Err.str();
  // Both documents were read (six source segments, one pair), the empty folder is one error.
  EXPECT_NE(Out.str().find("\"total\": 6"), std::string::npos) << Out.str();
  EXPECT_EQ(Err.str(), GetLocalizedText(TMsg::SourceNoProcessor, TLocalizationLanguare::llEN) + ": " +
                           (Dir / "nothing").string() + ": a folder with no supported file\n");
}

TEST_F(CliFolder, NothingReadableGivesStatus1) {
  std::ostringstream Out, Err;
  const int Status = RunCli(
      {"-s", Data + "source/unsupported_extension.txt", "-e", GoodEdited, "-o", (Dir / "out").string(), "-q", "--json"},
      Out, Err);
  EXPECT_EQ(Status, 1);
  EXPECT_NE(Out.str().find("\"result\": \"create-diff-file-error\""), std::string::npos);
  EXPECT_NE(Out.str().find("\"reports\": []"), std::string::npos);
  // -q still says what went wrong.
  EXPECT_NE(Err.str().find(GetLocalizedText(TMsg::ReportFailed, TLocalizationLanguare::llEN)), std::string::npos);
  EXPECT_NE(Err.str().find("unsupported_extension.txt: unsupported file type (.txt)"), std::string::npos) << Err.str();
}

TEST_F(CliFolder, UnusableOutputFolderGivesStatus1) {
  std::ofstream(Dir / "file") << "x";
  std::ostringstream Out, Err;
  EXPECT_EQ(RunCli({"-s", GoodSource, "-e", GoodEdited, "-o", (Dir / "file").string(), "-q"}, Out, Err), 1);
  // The window's lines, even when quiet: the folder as it was given.
  EXPECT_NE(Err.str().find(GetLocalizedText(TMsg::ResultsFolderNotWritable, TLocalizationLanguare::llEN) +
                           (Dir / "file").string()),
            std::string::npos)
      << Err.str();
}

TEST_F(CliFolder, GivenTempFolderIsNeverWiped) {
  fs::create_directories(Dir / "mine");
  std::ofstream(Dir / "mine" / "keep.txt") << "keep";
  std::ostringstream Out, Err;
  EXPECT_EQ(RunCli({"-s", GoodSource, "-e", GoodEdited, "-o", (Dir / "out").string(), "-q", "--temp-dir",
                    (Dir / "mine").string()},
                   Out, Err),
            0);
  EXPECT_TRUE(fs::exists(Dir / "mine" / "keep.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir / "mine"), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace lexmora
