// The one entry of every front end: what it refuses before starting, what it hands the run, and
// that it leaves nothing behind but the reports.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ComparisonRunUnit.h"
#include "TestPaths.h"

namespace lexmora {
namespace {

namespace fs = std::filesystem;

const std::string Data = LEXMORA_TEST_DATA_DIR "/run/";

class TCountingObserver : public TRunObserver {
 public:
  void SetNewOperation(const std::string&, int, int, int) override { ++Operations; }
  void SetProgress(int) override {}
  void SetOutcome(const TRunOutcome& AOutcome) override {
    ++Outcomes;
    Result = AOutcome.Result;
  }
  int Operations = 0;
  int Outcomes = 0;
  TExecuteResult Result = TExecuteResult::erUnknown;
};

std::vector<std::string> Names(const fs::path& ADir) {
  std::vector<std::string> Result;
  std::error_code Ec;
  for (const auto& E : fs::directory_iterator(ADir, Ec)) Result.push_back(E.path().filename().string());
  std::sort(Result.begin(), Result.end());
  return Result;
}

class ComparisonRun : public testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("lexmora_entry_" + std::to_string(::getpid()) + "_" +
                                       testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir / "work");
    Request.SourceFiles = {Data + "source/three_units_en-US_de-DE.sdlxliff"};
    Request.EditedFiles = {Data + "edited/three_units_en-US_de-DE.sdlxliff"};
    Request.OutputDir = (Dir / "out").string();
    Request.WorkParent = (Dir / "work").string();
  }
  void TearDown() override { fs::remove_all(Dir); }

  fs::path Dir;
  TRunRequest Request;
};

TEST_F(ComparisonRun, RefusesBeforeWritingAnything) {
  struct TCase {
    const char* Name;
    std::function<void(TRunRequest&)> Spoil;
    TRunSetup Why;
    std::string Folder;
  };
  std::ofstream(Dir / "a-file") << "x";
  const std::string AFile = (Dir / "a-file").string();
  const std::vector<TCase> Cases = {
      {"no source", [](TRunRequest& R) { R.SourceFiles.clear(); }, TRunSetup::rsNoFiles, ""},
      {"no edited", [](TRunRequest& R) { R.EditedFiles.clear(); }, TRunSetup::rsNoFiles, ""},
      {"output below a file", [&](TRunRequest& R) { R.OutputDir = AFile + "/out"; }, TRunSetup::rsResultsFolder,
       AFile + "/out"},
      {"work folder below a file", [&](TRunRequest& R) { R.WorkParent = AFile; }, TRunSetup::rsWorkFolder, AFile},
  };
  for (const TCase& C : Cases) {
    TRunRequest R = Request;
    C.Spoil(R);
    TComparisonRun Run(R);
    EXPECT_FALSE(Run.Prepare()) << C.Name;
    EXPECT_EQ(Run.Outcome().Setup, C.Why) << C.Name;
    EXPECT_EQ(Run.Outcome().SetupFolder, C.Folder) << C.Name;
    // A refused run holds no reservation and no working folder.
    EXPECT_TRUE(Names(Dir / "out").empty()) << C.Name;
    EXPECT_TRUE(Names(Dir / "work").empty()) << C.Name;
  }
}

TEST_F(ComparisonRun, FoldersStandForTheirFilesAndErrorsNameInputsAsGiven) {
  const fs::path Old = fs::current_path();
  fs::current_path(Data);
  Request.SourceFiles = {"source"};  // a good, a truncated and an unsupported file
  Request.EditedFiles = {"./edited/three_units_en-US_de-DE.sdlxliff", "edited/missing.sdlxliff"};
  TComparisonRun Run(Request);
  const bool Prepared = Run.Prepare();
  fs::current_path(Old);
  ASSERT_TRUE(Prepared);
  // The run gets full paths in the system's own form (backslashes on Windows); the folder's
  // unsupported file is not among them.
  const auto Full = [](const std::string& APath) { return fs::path(APath).lexically_normal().string(); };
  EXPECT_EQ(Run.Settings().TranslatorFiles,
            (std::vector<std::string>{Full(Data + "source/three_units_en-US_de-DE.sdlxliff"),
                                      Full(Data + "source/truncated_document.sdlxliff")}));
  EXPECT_EQ(Run.Settings().EditorFiles.size(), 2u);
  for (const std::string& F : Run.Settings().EditorFiles) EXPECT_TRUE(fs::path(F).is_absolute()) << F;
  EXPECT_EQ(Names(Dir / "work").size(), 1u);

  TCountingObserver Observer;
  const TRunOutcome& Outcome = Run.Execute(Observer);
  EXPECT_EQ(Observer.Outcomes, 1);
  EXPECT_EQ(Observer.Operations, 3);
  EXPECT_EQ(Outcome.Result, TExecuteResult::erOk);
  ASSERT_EQ(Outcome.Errors.size(), 2u);
  EXPECT_EQ(Outcome.Errors[0].Path, "source/truncated_document.sdlxliff");
  EXPECT_EQ(Outcome.Errors[1].Path, "edited/missing.sdlxliff");
  ASSERT_EQ(Outcome.Reports.size(), 1u);
  EXPECT_TRUE(Outcome.Reports[0].Exists);
  ASSERT_EQ(Outcome.Pairs.size(), 1u);
  EXPECT_EQ(Outcome.Pairs[0].ReportFile, Outcome.Reports[0].Path);
  // Only the report stays: the reservation and the working folder are gone.
  EXPECT_EQ(Names(Dir / "out"), std::vector<std::string>{fs::path(Outcome.Reports[0].Path).filename().string()});
  EXPECT_TRUE(Names(Dir / "work").empty());
}

TEST_F(ComparisonRun, AStopBeforeTheStartEndsTheRunWithoutReports) {
  TComparisonRun Run(Request);
  ASSERT_TRUE(Run.Prepare());
  Run.Terminate();
  TCountingObserver Observer;
  EXPECT_EQ(Run.Execute(Observer).Result, TExecuteResult::erTerminatedByUser);
  EXPECT_EQ(Observer.Result, TExecuteResult::erTerminatedByUser);
  EXPECT_TRUE(Run.Outcome().Reports.empty());
  EXPECT_TRUE(Names(Dir / "out").empty());
  EXPECT_TRUE(Names(Dir / "work").empty());
}

// A front end may prepare a run and then not start it (the window closes): nothing stays.
TEST_F(ComparisonRun, APreparedRunThatNeverRanLeavesNothing) {
  {
    TComparisonRun Run(Request);
    ASSERT_TRUE(Run.Prepare());
    EXPECT_EQ(Names(Dir / "out").size(), 1u);  // the reservation
  }
  EXPECT_TRUE(Names(Dir / "out").empty());
  EXPECT_TRUE(Names(Dir / "work").empty());
}

}  // namespace
}  // namespace lexmora
