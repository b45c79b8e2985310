#include "ComparisonRunUnit.h"

#include <filesystem>
#include <mutex>

#include "InputFolderUnit.h"
#include "LoggerUnit.h"
#include "RunFoldersUnit.h"
#include "Utf8PathUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

// AGiven with every folder replaced by its supported files, each as a full path, and AGivenByFull
// told how the user named each. A folder without any supported file is kept as it is, so the run
// names it in an error line.
std::vector<std::string> CollectInputs(const std::vector<std::string>& AGiven,
                                       std::map<std::string, std::string>& AGivenByFull) {
  std::vector<std::string> Full;
  const auto Add = [&](const std::string& AGivenPath) {
    std::error_code Ec;
    const fs::path Abs = fs::absolute(PathFromUtf8(AGivenPath), Ec);
    Full.push_back(Ec ? AGivenPath : Utf8FromPath(Abs.lexically_normal()));
    AGivenByFull.emplace(Full.back(), AGivenPath);
  };
  for (const std::string& G : AGiven) {
    std::error_code Ec;
    const std::vector<std::string> Files =
        fs::is_directory(PathFromUtf8(G), Ec) ? SupportedFilesBelow(G) : std::vector<std::string>();
    if (Files.empty()) {
      Add(G);
    } else {
      for (const std::string& F : Files) Add(F);
    }
  }
  return Full;
}

}  // namespace

// The run's calls, passed on to the front end's observer; the result is read from the run itself.
class TComparisonRun::TObserverBridge : public TDiffFileConstructorObserver {
 public:
  TRunObserver* Target = nullptr;

  void SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin,
                       int APercentEnd) override {
    Target->SetNewOperation(AOperationName, APointCount, APercentBegin, APercentEnd);
  }
  void SetProgress(int ACurrentPoint) override { Target->SetProgress(ACurrentPoint); }
  void SetResult(TExecuteResult, const std::string&, const std::string&) override {}
};

TComparisonRun::TComparisonRun(TRunRequest ARequest) : FRequest(std::move(ARequest)) {}

TComparisonRun::~TComparisonRun() { Release(); }

bool TComparisonRun::Prepare() {
  const auto Refuse = [this](TRunSetup AWhy, const std::string& AFolder) {
    FOutcome.Setup = AWhy;
    FOutcome.SetupFolder = AFolder;
    Release();
    return false;
  };
  if (FRequest.SourceFiles.empty() || FRequest.EditedFiles.empty()) return Refuse(TRunSetup::rsNoFiles, {});

  std::error_code Ec;
  const fs::path OutputDir = fs::absolute(PathFromUtf8(FRequest.OutputDir), Ec).lexically_normal();
  if (!Ec) fs::create_directories(OutputDir, Ec);
  std::string Dir = Utf8FromPath(OutputDir);
  while (Dir.size() > 1 && Dir.back() == '/') Dir.pop_back();
  FPrefix = Ec ? std::string() : ReserveResultPrefix(Dir, ResultTimeStamp());
  if (FPrefix.empty()) {
    Logger().AddWarning("TComparisonRun.Prepare: the results folder cannot be written: " + FRequest.OutputDir);
    return Refuse(TRunSetup::rsResultsFolder, FRequest.OutputDir);
  }

  // Note: the readers wipe their working folder for every input, so they get a folder of their
  // own inside a private one, never a folder the user named.
  const fs::path Parent =
      FRequest.WorkParent.empty() ? fs::temp_directory_path(Ec) : fs::absolute(PathFromUtf8(FRequest.WorkParent), Ec);
  TPrivateWorkDir WorkDir(Ec ? fs::path() : Parent, FRequest.WorkFolderName);
  if (WorkDir.Path().empty()) {
    Logger().AddWarning("TComparisonRun.Prepare: cannot create a working folder in " + FRequest.WorkParent);
    return Refuse(TRunSetup::rsWorkFolder, FRequest.WorkParent);
  }
  FWorkDir = Utf8FromPath(WorkDir.Release());

  TDiffFileConstructorSettings& S = FSettings;
  S.TranslatorFiles = CollectInputs(FRequest.SourceFiles, FSourceGiven);
  S.EditorFiles = CollectInputs(FRequest.EditedFiles, FEditedGiven);
  S.HideEquivalentString = FRequest.HideEquivalentString;
  S.DoNotSeparateSpaces = FRequest.DoNotSeparateSpaces;
  S.FillDiffRowColored = FRequest.FillDiffRowColored;
  S.ShowTagsFlag = FRequest.ShowTagsFlag;
  S.TempDirectory = Utf8FromPath(PathFromUtf8(FWorkDir) / "work") + "/";
  S.ResultFileName = FPrefix;
  S.ResultFileFormat = FRequest.ResultFileFormat;
  S.LocalizationLanguare = FRequest.LocalizationLanguare;
  S.EditBandBounds = FRequest.EditBandBounds;
  S.Cost = FRequest.Cost;
  S.WriteCsv = FRequest.WriteCsv;

  FBridge = std::make_unique<TObserverBridge>();
  FRun = std::make_unique<TDiffFileConstructor>(FSettings, *FBridge);
  return true;
}

void TComparisonRun::Terminate() {
  FStopAsked.store(true);
  const std::lock_guard<std::mutex> Guard(FRunLock);
  if (FRun) FRun->Terminate();
}

const TRunOutcome& TComparisonRun::Execute(TRunObserver& AObserver) {
  if (!FRun) return FOutcome;
  FBridge->Target = &AObserver;
  // A stop asked between Prepare and here.
  if (FStopAsked.load()) FRun->Terminate();
  FRun->Execute();

  FOutcome.Result = FRun->ExecuteResult();
  FOutcome.Errors = FRun->Errors();
  for (TRunError& E : FOutcome.Errors) {
    const auto* Given = E.Side == TErrorSide::esSource   ? &FSourceGiven
                        : E.Side == TErrorSide::esEdited ? &FEditedGiven
                                                         : nullptr;
    if (!Given) continue;
    if (const auto It = Given->find(E.Path); It != Given->end()) E.Path = It->second;
  }
  for (const std::string& File : SplitLines(FRun->ResultFiles())) {
    std::error_code Ec;
    FOutcome.Reports.push_back({File, fs::exists(PathFromUtf8(File), Ec)});
  }
  FOutcome.Pairs = FRun->PairSummaries();
  FOutcome.Audit = FRun->Audit();
  try {
    AObserver.SetOutcome(FOutcome);
  } catch (const std::exception& E) {
    Logger().AddException("TComparisonRun.Execute", E);
  } catch (...) {
    Logger().AddError("TComparisonRun.Execute", "unknown exception");
  }
  // The records of a large run take a while to free: done here, on the run's thread.
  std::unique_ptr<TDiffFileConstructor> Done;
  {
    const std::lock_guard<std::mutex> Guard(FRunLock);
    Done = std::move(FRun);
  }
  Done.reset();
  Release();
  return FOutcome;
}

void TComparisonRun::Release() {
  if (!FWorkDir.empty()) {
    std::error_code Ec;
    fs::remove_all(PathFromUtf8(FWorkDir), Ec);
    if (Ec) Logger().AddWarning("Cannot remove the working folder " + FWorkDir + ": " + Ec.message());
    FWorkDir.clear();
  }
  ReleaseResultPrefix(FPrefix);
  FPrefix.clear();
}

}  // namespace lexmora
