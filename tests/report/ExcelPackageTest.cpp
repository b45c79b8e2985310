// Writing the XLSX package: steps, failure messages and log names, archive layout, concurrency,
// and the finished workbook opened with a real spreadsheet reader.
#include <gtest/gtest.h>
#include <zip.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <set>

#include "ExportToExcelUnit.h"
#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "PlatformTestSupport.h"
#include "ResourceUnit.h"

namespace lexmora {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& APath) {
  std::ifstream In(APath, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

std::size_t CountInLog(const std::string& ANeedle) {
  const std::string Log = ReadFile(Logger().LogFileName());
  std::size_t Count = 0;
  for (auto At = Log.find(ANeedle); At != std::string::npos; At = Log.find(ANeedle, At + 1)) ++Count;
  return Count;
}

// Entry names and contents of a ZIP archive, in archive order.
std::vector<std::pair<std::string, std::string>> ReadZip(const fs::path& APath) {
  std::vector<std::pair<std::string, std::string>> Entries;
  int Err = 0;
  zip_t* Zip = zip_open(APath.string().c_str(), ZIP_RDONLY, &Err);
  if (!Zip) return Entries;
  const zip_int64_t N = zip_get_num_entries(Zip, 0);
  for (zip_int64_t I = 0; I < N; ++I) {
    zip_stat_t St;
    zip_stat_index(Zip, I, 0, &St);
    std::string Data(St.size, '\0');
    zip_file_t* F = zip_fopen_index(Zip, I, 0);
    if (F) {
      zip_fread(F, Data.data(), St.size);
      zip_fclose(F);
    }
    Entries.emplace_back(St.name, Data);
  }
  zip_close(Zip);
  return Entries;
}

class ExcelPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string Name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(Name.begin(), Name.end(), '/', '_');  // parameterised names hold a slash
    Dir = fs::temp_directory_path() / ("lexmora_xlsx_" + std::to_string(test_support::ProcessId()) + "_" + Name);
    fs::remove_all(Dir);
    fs::create_directories(Dir / "Results");
    Logger().AddInfo("ExcelPackage");  // the log file exists before lines are counted
  }
  void TearDown() override { fs::remove_all(Dir); }

  TDiffFileConstructorSettings Settings() const {
    TDiffFileConstructorSettings S;
    S.TranslatorFiles = {"/in/a.sdlxliff"};
    S.EditorFiles = {"/out/a.sdlxliff"};
    S.FillDiffRowColored = true;
    S.ResultFileFormat = TResultFileFormat::rffXLSX;
    S.ResultFileName = (Dir / "Results" / "Result_20261209_080000_").string();
    return S;
  }

  // A small report: one label, one changed segment (deletion "b", insertion "x"), totals.
  static void Fill(TExcelFileCreator& W) {
    W.AddCaption();
    W.AddJoinRow("/tmp/a.sdlxliff (en-US > de-DE)");
    std::string Src, Tr, Ed;
    for (char32_t C : std::u32string(U"abc"))
      W.AddStrToStr(true, Src, std::u32string(1, C), 1, true, true, {}, {}, TShowTagsFlag::stfDontShowTags);
    W.FinishStr(Src, true, {}, TShowTagsFlag::stfDontShowTags);
    // Steps: kept a, modify b->x, kept c.
    const struct {
      char32_t T, E;
      bool Kept;
    } kSteps[] = {{U'a', U'a', true}, {U'b', U'x', false}, {U'c', U'c', true}};
    bool Last = true;
    for (const auto& S : kSteps) {
      W.AddStrToStr(true, Tr, std::u32string(1, S.T), 1, S.Kept, Last, {}, {}, TShowTagsFlag::stfDontShowTags);
      W.AddStrToStr(false, Ed, std::u32string(1, S.E), 1, S.Kept, Last, {}, {}, TShowTagsFlag::stfDontShowTags);
      Last = S.Kept;
    }
    W.FinishStr(Tr, true, {}, TShowTagsFlag::stfDontShowTags);
    W.FinishStr(Ed, true, {}, TShowTagsFlag::stfDontShowTags);
    W.AddRow(false, false, "1", Src, "", Tr, Ed, "67");
    W.AddTotalInfo(1, 1, "66.7%");
  }

  fs::path Dir;
};

TEST_F(ExcelPackage, WritesTheReportAndLeavesNothingElse) {
  TExcelFileCreator W(Settings());
  Fill(W);
  const fs::path Report = W.ResultFileFor("en-US_de-DE");
  EXPECT_EQ(W.ExecuteFileCreation("en-US_de-DE", nullptr), "");
  EXPECT_EQ(Report, Dir / "Results" / "Result_20261209_080000_en-US_de-DE.xlsx");
  ASSERT_TRUE(fs::is_regular_file(Report));
  std::set<std::string> Left;
  for (const auto& E : fs::directory_iterator(Dir / "Results")) Left.insert(E.path().filename().string());
  EXPECT_EQ(Left, (std::set<std::string>{"Result_20261209_080000_en-US_de-DE.xlsx"}));

  const auto Entries = ReadZip(Report);
  std::vector<std::string> Names;
  for (const auto& E : Entries) Names.push_back(E.first);
  EXPECT_EQ(Names, (std::vector<std::string>{
                       "_rels/.rels", "docProps/app.xml", "docProps/core.xml", "xl/_rels/workbook.xml.rels",
                       "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml", "xl/workbook.xml",
                       "[Content_Types].xml", "xl/drawings/drawing1.xml", "xl/drawings/_rels/drawing1.xml.rels",
                       "xl/media/image1.png", "xl/worksheets/_rels/sheet1.xml.rels"}));
  for (const auto& [Name, Data] : Entries) {
    SCOPED_TRACE(Name);
    if (Name.ends_with(".png")) {
      EXPECT_EQ(Data, std::string(*FindResource("R004")));
      continue;
    }
    EXPECT_EQ(Data.substr(0, 3), "\xEF\xBB\xBF");
    pugi::xml_document Doc;
    EXPECT_TRUE(Doc.load_buffer(Data.data(), Data.size()));
  }
  EXPECT_EQ(Entries[4].second, W.BuildSheet1());
  EXPECT_EQ(Entries[5].second, W.BuildSharedStrings());
}

TEST_F(ExcelPackage, TwoLanguagePairsOneAfterTheOther) {
  for (const char* Pair : {"en-US_de-DE", "en-US_fr-FR"}) {
    TExcelFileCreator W(Settings());
    Fill(W);
    EXPECT_EQ(W.ExecuteFileCreation(Pair, nullptr), "") << Pair;
    EXPECT_TRUE(fs::is_regular_file(W.ResultFileFor(Pair)));
  }
  EXPECT_FALSE(fs::exists(Dir / "Results" / "tempEEDir"));
}

TEST_F(ExcelPackage, ExistingReportIsKeptAndPackingFails) {
  TExcelFileCreator W(Settings());
  Fill(W);
  const fs::path Report = W.ResultFileFor("en-US_de-DE");
  { std::ofstream(Report, std::ios::binary) << "keep me"; }
  EXPECT_EQ(W.ExecuteFileCreation("en-US_de-DE", nullptr), "Error when packing the result in xlsx file!");
  EXPECT_EQ(ReadFile(Report), "keep me");
  // The one failure that keeps the archive, whole, for inspection; the reason says where it is.
  EXPECT_EQ(W.FailureReason(), "a report of this name exists; the archive is kept at " + W.ArchiveFileName());
  EXPECT_TRUE(fs::is_regular_file(W.ArchiveFileName()));
  EXPECT_EQ(ReadZip(W.ArchiveFileName()).size(), TExcelFileCreator::PackageFiles().size());
  EXPECT_EQ(fs::path(W.ArchiveFileName()).parent_path(), Dir / "Results");
  EXPECT_TRUE(W.ArchiveFileName().ends_with(".zip"));
  EXPECT_FALSE(fs::exists(Dir / "Results" / "tempEEDir"));
}

TEST_F(ExcelPackage, UnwritableResultsFolderFailsPackingAndLeavesNothing) {
  // A file where the results folder should be: nothing can be made below it, root or not.
  { std::ofstream(Dir / "NotAFolder") << "x"; }
  for (const auto Lang : {TLocalizationLanguare::llEN, TLocalizationLanguare::llRU}) {
    TDiffFileConstructorSettings S = Settings();
    S.ResultFileName = (Dir / "NotAFolder" / "Result_").string();
    S.LocalizationLanguare = Lang;
    TExcelFileCreator W(S);
    Fill(W);
    EXPECT_EQ(W.ExecuteFileCreation("en_de", nullptr), GetLocalizedText(TMsg::XlsxPackFailed, Lang));
    EXPECT_TRUE(W.FailureReason().starts_with("cannot create the archive: ")) << W.FailureReason();
  }
  std::set<std::string> Left;
  for (const auto& E : fs::recursive_directory_iterator(Dir)) Left.insert(E.path().filename().string());
  EXPECT_EQ(Left, (std::set<std::string>{"NotAFolder", "Results"}));
}

// A writer whose chosen step fails (as building a part that does not fit in memory would), and
// that looks at the results folder just before packing.
class TFailingStepWriter : public TExcelFileCreator {
 public:
  TFailingStepWriter(const TDiffFileConstructorSettings& S, std::string AStep)
      : TExcelFileCreator(S), FStep(std::move(AStep)), FResults(fs::path(S.ResultFileName).parent_path()) {}
  bool NothingWrittenWhenPacking = false;

 protected:
  void BeforeStep(std::string_view AStepName) override {
    if (AStepName == "PackToXlsx") {
      std::error_code Ec;
      NothingWrittenWhenPacking = fs::is_directory(FResults) && fs::is_empty(FResults, Ec);
    }
    if (AStepName == FStep) throw std::runtime_error("Step " + FStep + " broken by the test");
  }

 private:
  std::string FStep;
  fs::path FResults;
};

struct TStepCase {
  const char* Step;
  TMsg Msg;
};

class ExcelStepFailure : public ExcelPackage, public ::testing::WithParamInterface<TStepCase> {};

TEST_P(ExcelStepFailure, FailingStepIsLoggedUnderItsNameAndStopsTheRun) {
  const auto& P = GetParam();
  TFailingStepWriter W(Settings(), P.Step);
  Fill(W);
  const std::string LogName = std::string("TExcelFileCreator.") + P.Step + " > ";
  const std::size_t Before = CountInLog(LogName);
  EXPECT_EQ(W.ExecuteFileCreation("en_de", nullptr), GetLocalizedText(P.Msg, TLocalizationLanguare::llEN));
  EXPECT_GT(CountInLog(LogName), Before);
  EXPECT_EQ(W.FailureReason(), std::string("Step ") + P.Step + " broken by the test");
  // Nothing of the writer outlives the failure: no report, no archive, no working folder.
  EXPECT_FALSE(fs::exists(W.ResultFileFor("en_de")));
  EXPECT_FALSE(fs::exists(W.ArchiveFileName()));
  EXPECT_FALSE(fs::exists(Dir / "Results" / "tempEEDir"));
}

const TStepCase kSteps[] = {
    {"CreateFileRels", TMsg::XlsxRelsFailed},
    {"CreateFileApp", TMsg::XlsxAppPropsFailed},
    {"CreateFileCore", TMsg::XlsxCorePropsFailed},
    {"CreateFileWorkbookXML", TMsg::XlsxWorkbookRelsFailed},
    {"CreateFileSheet1", TMsg::XlsxSheetFailed},
    {"CreateFileSharedStrings", TMsg::XlsxSharedStringsFailed},
    {"CreateFileStyles", TMsg::XlsxStylesFailed},
    {"CreateFileWorkbook", TMsg::XlsxWorkbookFailed},
    {"CreateFileContentTypes", TMsg::XlsxContentTypesFailed},
    {"CreateFileDrawing1", TMsg::XlsxDrawingFailed},
    {"CreateFileDrawing1Rels", TMsg::XlsxDrawingRelsFailed},
    {"CreateFileImage1", TMsg::XlsxImageFailed},
    {"CreateFileSheet1Rels", TMsg::XlsxSheetRelsFailed},
    {"PackToXlsx", TMsg::XlsxPackFailed},
};
std::string StepName(const ::testing::TestParamInfo<TStepCase>& AInfo) { return AInfo.param.Step; }

INSTANTIATE_TEST_SUITE_P(Steps, ExcelStepFailure, ::testing::ValuesIn(kSteps), StepName);

TEST_F(ExcelPackage, PartsArePackedFromMemoryNeverWrittenAsFiles) {
  TFailingStepWriter W(Settings(), "none");
  Fill(W);
  EXPECT_EQ(W.ExecuteFileCreation("en_de", nullptr), "");
  EXPECT_TRUE(W.NothingWrittenWhenPacking);
  EXPECT_TRUE(fs::is_regular_file(W.ResultFileFor("en_de")));
}

TEST_F(ExcelPackage, ProgressHookIsHandedToTheArchive) {
  TExcelFileCreator W(Settings());
  Fill(W);
  std::int64_t Last = -1, Max = 0;
  EXPECT_EQ(W.ExecuteFileCreation("en_de", [&](std::int64_t AValue, std::int64_t AMax) { Last = AValue, Max = AMax; }),
            "");
  EXPECT_GT(Max, 0);
  EXPECT_EQ(Last, Max);
}

TEST_F(ExcelPackage, ConcurrentProcessesInOneResultsFolderAllSucceed) {
  // Same results folder, same name prefix, same moment: only the language pairs differ.
#ifdef _WIN32
  GTEST_SKIP() << "needs fork: children that share this process's settings";
#else
  constexpr int kProcesses = 4, kReports = 5;
  std::vector<pid_t> Children;
  for (int P = 0; P < kProcesses; ++P) {
    const pid_t Child = ::fork();
    ASSERT_NE(Child, -1);
    if (Child == 0) {
      int Failures = 0;
      for (int R = 0; R < kReports; ++R) {
        TExcelFileCreator W(Settings());
        Fill(W);
        if (!W.ExecuteFileCreation("p" + std::to_string(P) + "_r" + std::to_string(R), nullptr).empty()) ++Failures;
      }
      ::_exit(Failures);
    }
    Children.push_back(Child);
  }
  for (const pid_t Child : Children) {
    int Status = 0;
    ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
    ASSERT_TRUE(WIFEXITED(Status));
    EXPECT_EQ(WEXITSTATUS(Status), 0) << "failed reports in one process";
  }
  std::size_t Reports = 0;
  for (const auto& E : fs::directory_iterator(Dir / "Results")) {
    EXPECT_EQ(E.path().extension(), ".xlsx") << E.path();
    ++Reports;
  }
  EXPECT_EQ(Reports, static_cast<std::size_t>(kProcesses * kReports));
#endif
}

// The finished workbook as a spreadsheet reader sees it.
TEST_F(ExcelPackage, RealReaderOpensTheWorkbook) {
#ifdef _WIN32
  GTEST_SKIP() << "runs Linux's python3 with its spreadsheet reader";
#endif
  ASSERT_EQ(std::system((std::string(LEXMORA_PYTHON3) + " -c 'import openpyxl' 2>/dev/null").c_str()), 0)
      << LEXMORA_PYTHON3 << " cannot import openpyxl; run scripts/install-deps.sh";
  TDiffFileConstructorSettings S = Settings();
  S.LocalizationLanguare = TLocalizationLanguare::llRU;
  TExcelFileCreator W(S);
  Fill(W);
  W.AddJoinRow(std::string("ctl\x01 & _x0041_"));
  ASSERT_EQ(W.ExecuteFileCreation("en-US_de-DE", nullptr), "");
  const fs::path Out = Dir / "dump.txt";
  const std::string Command = std::string(LEXMORA_PYTHON3) + " " + LEXMORA_XLSX_DUMP + " '" +
                              W.ResultFileFor("en-US_de-DE") + "' > '" + Out.string() + "' 2>&1";
  const int Rc = std::system(Command.c_str());
  const std::string Dump = ReadFile(Out);
  ASSERT_EQ(Rc, 0) << Dump;
  auto Has = [&](const std::string& ALine) { return Dump.find(ALine + "\n") != std::string::npos; };
  EXPECT_TRUE(
      Has("TITLE \xD0\x9B\xD0\xB8\xD1\x81\xD1\x82"
          "1"))
      << Dump;  // "Лист1"
  EXPECT_TRUE(Has("ROW1HEIGHT 44.25")) << Dump;
  EXPECT_TRUE(Has("PART [Content_Types].xml")) << Dump;
  EXPECT_TRUE(Has("CELL A11 /tmp/a.sdlxliff (en-US > de-DE)")) << Dump;
  EXPECT_TRUE(Has("CELL A12 1")) << Dump;
  EXPECT_TRUE(Has("CELL C12 abc")) << Dump;
  EXPECT_TRUE(Has("CELL D12 abc")) << Dump;
  EXPECT_TRUE(Has("CELL E12 axc")) << Dump;
  EXPECT_TRUE(Has("CELL F12 67")) << Dump;
  EXPECT_TRUE(Has("CELL D8 66.7%")) << Dump;
  EXPECT_TRUE(Has("CELL A6 " + GetLocalizedText(TMsg::XlsxTotalSegments, TLocalizationLanguare::llRU))) << Dump;
  EXPECT_TRUE(Has("MERGE A11:G11")) << Dump;
  EXPECT_TRUE(Has("MERGE A13:G13")) << Dump;
  EXPECT_TRUE(Has("MERGE A1:C1")) << Dump;
  EXPECT_TRUE(Has("MERGE D9:G9")) << Dump;
  EXPECT_TRUE(Has("RUN D12 - a")) << Dump;
  EXPECT_TRUE(Has("RUN D12 FFFF0000 b")) << Dump;
  EXPECT_TRUE(Has("RUN D12 - c")) << Dump;
  EXPECT_TRUE(Has("RUN E12 FF0000FF x")) << Dump;
  EXPECT_TRUE(Has("RUN C12 - abc")) << Dump;
  EXPECT_TRUE(Has(std::string("RUN A13 - ctl\x01 & _x0041_"))) << Dump;
}

}  // namespace
}  // namespace lexmora
