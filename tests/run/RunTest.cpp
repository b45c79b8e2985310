// The whole run on real files: error-log lines, outcomes, stopping and progress throttling.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "LocalizationUnit.h"
#include "RunTestSupport.h"
#include "TestPaths.h"

namespace lexmora {
namespace {

namespace fs = std::filesystem;
using test::TRecordingObserver;
using test::TTestRun;

const std::string Data = LEXMORA_TEST_DATA_DIR "/run/";
const std::string GoodSource = Data + "source/three_units_en-US_de-DE.sdlxliff";
const std::string GoodEdited = Data + "edited/three_units_en-US_de-DE.sdlxliff";

std::string Msg(TMsg AId) { return GetLocalizedText(AId, TLocalizationLanguare::llEN); }

class RunOnFiles : public testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("lexmora_run_" + std::to_string(::getpid()) + "_" +
                                       testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir / "out");
    Settings.TempDirectory = (Dir / "temp").string() + "/";
    Settings.ResultFileName = (Dir / "out" / "Result_").string();
    Settings.HideEquivalentString = false;
  }
  void TearDown() override { fs::remove_all(Dir); }

  TExecuteResult Execute(const std::string& ASources, const std::string& AEdited) {
    Settings.TranslatorFiles = SplitLines(ASources);
    Settings.EditorFiles = SplitLines(AEdited);
    Run = std::make_unique<TDiffFileConstructor>(Settings, Observer);
    Run->Execute();
    EXPECT_EQ(Observer.ResultCount, 1);
    return Run->ExecuteResult();
  }

  fs::path Dir;
  TDiffFileConstructorSettings Settings;
  TRecordingObserver Observer;
  std::unique_ptr<TDiffFileConstructor> Run;
};

TEST_F(RunOnFiles, GoodPairGivesOneHtmlReport) {
  EXPECT_EQ(Execute(GoodSource + "\r\n", GoodEdited + "\r\n"), TExecuteResult::erOk);
  EXPECT_EQ(Observer.ErrorLog, "");
  const std::string Report = (Dir / "out" / "Result_en-US_de-DE.html").string();
  EXPECT_EQ(Observer.Files, Report);
  EXPECT_TRUE(fs::exists(Report));
  ASSERT_EQ(Run->PairSummaries().size(), 1u);
  EXPECT_EQ(Run->PairSummaries()[0].TotalSegCount, 3);
  EXPECT_EQ(Run->PairSummaries()[0].ChangedSegCount, 2);
  // The readers' working folder is gone once each input has been read.
  EXPECT_FALSE(fs::exists(Dir / "temp"));
  // Three operations in order, with their shares of the whole.
  std::vector<std::string> Ops;
  for (const std::string& C : Observer.Calls)
    if (C.starts_with("Op ")) Ops.push_back(C);
  EXPECT_EQ(Ops, (std::vector<std::string>{"Op " + Msg(TMsg::ReadSourceFilesOperation) + " 1 0-30",
                                           "Op " + Msg(TMsg::ReadEditedFilesOperation) + " 1 30-60",
                                           "Op " + Msg(TMsg::CreateReportOperation) + " 3 60-100"}));
  EXPECT_EQ(Observer.Calls.back(), "Result 3");
}

TEST_F(RunOnFiles, UnsupportedFileIsLoggedAndTheRunGoesOn) {
  EXPECT_EQ(Execute(Data + "source/unsupported_extension.txt\r\n" + GoodSource + "\r\n", GoodEdited + "\r\n"),
            TExecuteResult::erOk);
  EXPECT_EQ(Observer.ErrorLog, Msg(TMsg::SourceNoProcessor) + ": " + Data +
                                   "source/unsupported_extension.txt: unsupported file type (.txt)\r\n");
  EXPECT_EQ(Run->TranslatorFileData().size(), 3u);
  ASSERT_EQ(Run->Errors().size(), 1u);
  EXPECT_EQ(Run->Errors()[0].Side, TErrorSide::esSource);
  EXPECT_EQ(Run->Errors()[0].Path, Data + "source/unsupported_extension.txt");
}

TEST_F(RunOnFiles, MissingEditedFileUsesTheEditedSideMessage) {
  EXPECT_EQ(Execute(GoodSource + "\r\n", Data + "edited/not_there.sdlxliff\r\n"), TExecuteResult::erOk);
  EXPECT_EQ(Observer.ErrorLog, Msg(TMsg::EditedNotFound) + ": " + Data + "edited/not_there.sdlxliff\r\n");
  ASSERT_EQ(Run->Errors().size(), 1u);
  EXPECT_EQ(Run->Errors()[0].Side, TErrorSide::esEdited);
  EXPECT_EQ(Run->Errors()[0].Reason, "");
  // Without counterparts every translated text shows as deleted.
  EXPECT_EQ(Run->PairSummaries()[0].ChangedSegCount, 3);
}

TEST_F(RunOnFiles, UnreadableDocumentGivesReadFailure) {
  EXPECT_EQ(Execute(Data + "source/truncated_document.sdlxliff\r\n", GoodEdited + "\r\n"),
            TExecuteResult::erCreateDiffFileError);
  const std::string Start =
      Msg(TMsg::SourceReadFailed) + ": " + Data + "source/truncated_document.sdlxliff: not well-formed XML at line ";
  EXPECT_TRUE(Observer.ErrorLog.starts_with(Start)) << Observer.ErrorLog;
  EXPECT_TRUE(Observer.ErrorLog.ends_with(")\r\n")) << Observer.ErrorLog;
  // No report was written, so none is named.
  EXPECT_EQ(Observer.Files, "");
}

TEST_F(RunOnFiles, FoldersAndWrongFilesSayWhatTheyAre) {
  fs::create_directories(Dir / "in" / "empty" / "sub");
  fs::create_directories(Dir / "in" / "full");
  fs::copy_file(GoodSource, Dir / "in" / "full" / "a.sdlxliff");
  fs::create_directories(Dir / "in" / "dir.sdlxliff");
  const std::string Empty = (Dir / "in" / "empty").string(), Full = (Dir / "in" / "full").string(),
                    Dotted = (Dir / "in" / "dir.sdlxliff").string();
  EXPECT_EQ(Execute(Empty + "\r\n" + Full + "\r\n" + Dotted + "\r\n" + GoodSource + "\r\n", GoodEdited + "\r\n"),
            TExecuteResult::erOk);
  ASSERT_EQ(Run->Errors().size(), 3u);
  EXPECT_EQ(FormatErrorLine(Run->Errors()[0]),
            Msg(TMsg::SourceNoProcessor) + ": " + Empty + ": a folder with no supported file");
  EXPECT_EQ(FormatErrorLine(Run->Errors()[1]), Msg(TMsg::SourceNoProcessor) + ": " + Full + ": a folder, not a file");
  EXPECT_EQ(FormatErrorLine(Run->Errors()[2]), Msg(TMsg::SourceCopyFailed) + ": " + Dotted + ": a folder, not a file");
  // The log holds the same lines, in order.
  std::string Log;
  for (const TRunError& E : Run->Errors()) Log += FormatErrorLine(E) + "\r\n";
  EXPECT_EQ(Observer.ErrorLog, Log);
}

TEST_F(RunOnFiles, EveryReportFailureIsOneLineNamingTheReport) {
  // A file stands where the report must go: the page is not written and no temporary file stays.
  const fs::path Report = Dir / "out" / "Result_en-US_de-DE.html";
  {
    std::ofstream Existing(Report);
    Existing << "someone else's";
  }
  EXPECT_EQ(Execute(GoodSource + "\r\n", GoodEdited + "\r\n"), TExecuteResult::erCreateDiffFileError);
  EXPECT_EQ(Observer.ErrorLog,
            Msg(TMsg::ReportFailed) + ": " + Report.string() + ": a file of this name exists already\r\n");
  EXPECT_EQ(Observer.Files, "");
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir / "out"), fs::directory_iterator()), 1);
  std::ifstream In(Report);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(In), {}), "someone else's");
  ASSERT_EQ(Run->PairSummaries().size(), 1u);
  EXPECT_FALSE(Run->PairSummaries()[0].Written);
}

TEST_F(RunOnFiles, DocumentWithoutSegmentsIsNamedAndTheRunGoesOn) {
  const std::string EmptyXlf = (Dir / "empty.xlf").string();
  const std::string EmptyMx = (Dir / "no units.mxliff").string();
  std::ofstream(EmptyXlf) << "<xliff version=\"2.0\" srcLang=\"en-US\" trgLang=\"de-DE\"><file id=\"f\"/></xliff>";
  std::ofstream(EmptyMx) << "<xliff version=\"1.2\"><file source-language=\"en-US\" target-language=\"de-DE\"><body>"
                            "<trans-unit><source>no id, no record</source><target>x</target></trans-unit></body></file></xliff>";
  EXPECT_EQ(Execute(EmptyXlf + "\r\n" + GoodSource + "\r\n", GoodEdited + "\r\n" + EmptyMx + "\r\n"), TExecuteResult::erOk);
  EXPECT_EQ(Observer.ErrorLog, Msg(TMsg::SourceNoSegments) + ": " + EmptyXlf + ": no segments found\r\n" +
                                   Msg(TMsg::EditedNoSegments) + ": " + EmptyMx + ": no segments found\r\n");
  EXPECT_EQ(Run->PairSummaries().at(0).TotalSegCount, 3);
  // In the run's language, and not for a document that could not be read at all.
  Settings.LocalizationLanguare = TLocalizationLanguare::llRU;
  Observer = {};
  EXPECT_EQ(Execute(EmptyXlf + "\r\n" + Data + "source/truncated_document.sdlxliff\r\n", GoodEdited + "\r\n"),
            TExecuteResult::erCreateDiffFileError);
  const std::string Truncated = Data + "source/truncated_document.sdlxliff";
  const std::string Log = Observer.ErrorLog;
  EXPECT_EQ(Log.rfind(GetLocalizedText(TMsg::SourceNoSegments, TLocalizationLanguare::llRU) + ": " + EmptyXlf +
                          ": no segments found\r\n" + GetLocalizedText(TMsg::SourceReadFailed, TLocalizationLanguare::llRU) +
                          ": " + Truncated + ": not well-formed XML at line ",
                      0),
            0u)
      << Log;
}

TEST_F(RunOnFiles, EmptySourceListReadsEditedFilesAndFails) {
  EXPECT_EQ(Execute("", GoodEdited + "\r\n"), TExecuteResult::erCreateDiffFileError);
  EXPECT_EQ(Observer.Calls.front(), "Op " + Msg(TMsg::ReadSourceFilesOperation) + " 0 0-30");
  EXPECT_EQ(Run->EditorFileData().size(), 3u);
  EXPECT_EQ(Observer.Files, "");
}

TEST_F(RunOnFiles, StopWhileReadingSourcesSkipsEverythingElse) {
  Settings.TranslatorFiles = {GoodSource, GoodSource};
  Settings.EditorFiles = {GoodEdited};
  Run = std::make_unique<TDiffFileConstructor>(Settings, Observer);
  Observer.OnOperation = [this](const std::string& AName) {
    if (AName == Msg(TMsg::ReadSourceFilesOperation)) Run->Terminate();
  };
  Run->Execute();
  EXPECT_EQ(Run->ExecuteResult(), TExecuteResult::erTerminatedByUser);
  EXPECT_TRUE(Run->EditorFileData().empty());
  EXPECT_TRUE(Run->TranslatorFileData().empty());
  EXPECT_EQ(Observer.ErrorLog, "");
  EXPECT_EQ(Observer.Files, "");
  EXPECT_EQ(Observer.ResultCount, 1);
  EXPECT_TRUE(fs::is_empty(Dir / "out"));
}

TEST_F(RunOnFiles, SidesReadTogetherLogInTheOrderOfTheLists) {
  // The edited side is read on a second thread; its lines still follow the source side's, each
  // side in the order of its list, and each side's working folder is gone afterwards.
  const std::string Missing = Data + "source/not_there.sdlxliff";
  const std::string Unsupported = Data + "source/unsupported_extension.txt";
  const std::string Truncated = Data + "source/truncated_document.sdlxliff";
  const std::string Empty = (Dir / "empty.xlf").string();
  std::ofstream(Empty) << "<xliff version=\"2.0\" srcLang=\"en-US\" trgLang=\"de-DE\"><file id=\"f\"/></xliff>";
  EXPECT_EQ(Execute(Missing + "\r\n" + Empty + "\r\n" + GoodSource + "\r\n",
                    Missing + "\r\n" + Unsupported + "\r\n" + Truncated + "\r\n" + GoodEdited + "\r\n" + Empty + "\r\n"),
            TExecuteResult::erOk);
  const std::string Log = Observer.ErrorLog;
  const std::string Head = Msg(TMsg::SourceNotFound) + ": " + Missing + "\r\n" + Msg(TMsg::SourceNoSegments) + ": " + Empty +
                           ": no segments found\r\n" + Msg(TMsg::EditedNotFound) + ": " + Missing + "\r\n" +
                           Msg(TMsg::EditedNoProcessor) + ": " + Unsupported + ": unsupported file type (.txt)\r\n" +
                           Msg(TMsg::EditedReadFailed) + ": " + Truncated + ": not well-formed XML at line ";
  EXPECT_EQ(Log.rfind(Head, 0), 0u) << Log;
  const std::string Tail = "\r\n" + Msg(TMsg::EditedNoSegments) + ": " + Empty + ": no segments found\r\n";
  EXPECT_TRUE(Log.ends_with(Tail)) << Log;
  // The records behind the lines, in the same order, each with its side.
  const std::vector<TErrorSide> Sides{TErrorSide::esSource, TErrorSide::esSource, TErrorSide::esEdited,
                                      TErrorSide::esEdited, TErrorSide::esEdited, TErrorSide::esEdited};
  ASSERT_EQ(Run->Errors().size(), Sides.size());
  std::string Lines;
  for (std::size_t I = 0; I < Sides.size(); ++I) {
    EXPECT_EQ(Run->Errors()[I].Side, Sides[I]) << I;
    Lines += FormatErrorLine(Run->Errors()[I]) + "\r\n";
  }
  EXPECT_EQ(Lines, Log);
  EXPECT_EQ(Run->TranslatorFileData().size(), 3u);
  EXPECT_EQ(Run->EditorFileData().size(), 3u);
  EXPECT_EQ(Run->PairSummaries()[0].ChangedSegCount, 2);
  EXPECT_FALSE(fs::exists(Dir / "temp"));
  EXPECT_FALSE(fs::exists(Dir / "temp-edited"));
  // The edited operation's points count its files, after the source operation's.
  bool InEdited = false;
  for (const std::string& C : Observer.Calls) {
    if (C.starts_with("Op ")) InEdited = C.starts_with("Op " + Msg(TMsg::ReadEditedFilesOperation));
    if (InEdited && C.starts_with("Point ")) {
      EXPECT_LE(std::stoi(C.substr(6)), 3) << C;
    }
  }
}

TEST_F(RunOnFiles, StopWhileReadingEditedFilesWritesNothing) {
  Settings.TranslatorFiles = {GoodSource};
  Settings.EditorFiles = {GoodEdited, GoodEdited};
  Run = std::make_unique<TDiffFileConstructor>(Settings, Observer);
  Observer.OnOperation = [this](const std::string& AName) {
    if (AName == Msg(TMsg::ReadEditedFilesOperation)) Run->Terminate();
  };
  Run->Execute();
  EXPECT_EQ(Run->ExecuteResult(), TExecuteResult::erTerminatedByUser);
  EXPECT_EQ(Run->TranslatorFileData().size(), 3u);
  EXPECT_EQ(Observer.ResultCount, 1);
  EXPECT_TRUE(fs::is_empty(Dir / "out"));
  EXPECT_FALSE(fs::exists(Dir / "temp-edited"));
}

TEST_F(RunOnFiles, StopWhileBuildingTheReportStillWritesIt) {
  Settings.TranslatorFiles = {GoodSource};
  Settings.EditorFiles = {GoodEdited};
  Run = std::make_unique<TDiffFileConstructor>(Settings, Observer);
  Observer.OnOperation = [this](const std::string& AName) {
    if (AName == Msg(TMsg::CreateReportOperation)) Run->Terminate();
  };
  Run->Execute();
  EXPECT_EQ(Run->ExecuteResult(), TExecuteResult::erOk);
  EXPECT_TRUE(fs::exists(Dir / "out" / "Result_en-US_de-DE.html"));
  EXPECT_EQ(Run->PairSummaries()[0].TotalSegCount, 0);
}

TEST_F(RunOnFiles, UnwritableResultsFolderFailsTheReport) {
  Settings.ResultFileName = (Dir / "no_such_folder" / "Result_").string();
  EXPECT_EQ(Execute(GoodSource + "\r\n", GoodEdited + "\r\n"), TExecuteResult::erCreateDiffFileError);
  EXPECT_FALSE(fs::exists(Dir / "no_such_folder"));
}

TEST(RunProgress, UnforcedPointsAreThrottledAcrossTheTickWrap) {
  TRecordingObserver Observer;
  TTestRun Run(TDiffFileConstructorSettings{}, Observer);
  std::uint32_t Now = 1000;
  Run.SetTickSource([&Now] { return Now; });
  const auto Points = [&Observer] {
    std::vector<std::string> P = Observer.Calls;
    Observer.Calls.clear();
    return P;
  };
  Run.ReportProgress(1, false);  // 1000 ms after the start value 0
  Now = 1100;
  Run.ReportProgress(2, false);  // 100 ms later: dropped
  Run.ReportProgress(3, true);   // forced: always passes
  Now = 1350;
  Run.ReportProgress(4, false);  // exactly 250 ms: dropped
  Now = 1351;
  Run.ReportProgress(5, false);
  EXPECT_EQ(Points(), (std::vector<std::string>{"Point 1", "Point 3", "Point 5"}));

  Now = 0xFFFFFF00u;
  Run.ReportProgress(6, true);
  Now = 0x00000010u;  // the counter wrapped: 272 ms later
  Run.ReportProgress(7, false);
  Now = 0x00000074u;  // 100 ms after that
  Run.ReportProgress(8, false);
  EXPECT_EQ(Points(), (std::vector<std::string>{"Point 6", "Point 7"}));
}

TEST(RunWriters, EveryFormatHasItsWriterOrAClearAbsence) {
  TDiffFileConstructorSettings S;
  S.ResultFileFormat = TResultFileFormat::rffHTML;
  auto Html = TDiffFileConstructor::CreateFileCreator(S);
  ASSERT_TRUE(Html);
  EXPECT_EQ(Html->GetFileExtention(), ".html");
  S.ResultFileFormat = TResultFileFormat::rffXLSX;
  if (auto Xlsx = TDiffFileConstructor::CreateFileCreator(S)) {
    EXPECT_EQ(Xlsx->GetFileExtention(), ".xlsx");
  }
}

}  // namespace
}  // namespace lexmora
