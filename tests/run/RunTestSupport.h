// A run whose writer records every call, and an observer that records the run's calls.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "DiffFileConstructorUnit.h"

namespace lexmora::test {

// Writes the protocol as readable lines. Changed stretches show as [..] on the translated side
// and {..} on the edited side; a tag shows as <id>.
class TRecordingWriter : public TBaseFileCreator {
 public:
  TRecordingWriter(const TDiffFileConstructorSettings& ASettings, std::vector<std::string>& ALog)
      : TBaseFileCreator(ASettings), FLog(ALog) {}
  void AddCaption() override { FLog.push_back("Caption"); }
  void AddRow(bool AIsEqu, bool AIsLocked, const std::string& ARecNo, const std::string& ASrcText,
              const std::string& AMatchPercent, const std::string& ATrText, const std::string& AEdText,
              const std::string& AEditDistance) override {
    FLog.push_back("Row " + ARecNo + (AIsEqu ? " eq" : " ne") + (AIsLocked ? " locked" : "") + " src=" + ASrcText +
                   " match=" + AMatchPercent + " tr=" + ATrText + " ed=" + AEdText + " ED=" + AEditDistance);
  }
  void AddJoinRow(const std::string& AText) override { FLog.push_back("Join " + AText); }
  std::string GetFileExtention() const override { return ".rec"; }
  std::string ExecuteFileCreation(const std::string& ATrgLangPair, const TOnProgressCallback&) override {
    FLog.push_back("Save " + ATrgLangPair);
    if (ThrowSave) throw std::runtime_error("disk full\nmore detail");
    return FailSave ? "cannot save" : "";
  }
  std::string AddTotalInfo(std::int32_t ATotal, std::int32_t AChanged, const std::string& AEdDist) override {
    FLog.push_back("Total " + std::to_string(ATotal) + " " + std::to_string(AChanged) + " " + AEdDist);
    return {};
  }
  void AddStrToStr(bool AIsTrPart, std::string& ACurrStr, std::u32string_view ANewStr, std::int32_t ANewStrPos,
                   bool AIsNewStrTypeNormal, bool AIsLastStrTypeNormal, const TTagDict& ADict,
                   const TTagIDDict& AIDDict, TShowTagsFlag) override {
    if (AIsNewStrTypeNormal != AIsLastStrTypeNormal)
      ACurrStr += AIsNewStrTypeNormal ? (AIsTrPart ? "]" : "}") : (AIsTrPart ? "[" : "{");
    if (ANewStr.empty()) return;
    if (IsTagSymbol(ANewStr, ADict)) {
      for (const TTagIDDictRec& Rec : AIDDict)
        if (Rec.TagPos == ANewStrPos) ACurrStr += "<" + Rec.TagID + ">";
      return;
    }
    AppendUtf8(ACurrStr, ANewStr);
  }
  void FinishStr(std::string& ACurrStr, bool AIsLastStrTypeNormal, const TTagDict&, TShowTagsFlag) override {
    // The last opener in the cell tells its side.
    if (!AIsLastStrTypeNormal) ACurrStr += ACurrStr[ACurrStr.find_last_of("[{")] == '{' ? "}" : "]";
  }
  // The analysis goes to its own list, so the call protocols above stay as they are.
  void AddAnalysis(const TPairAnalysis& AAnalysis, const TPairingAudit& AAudit) override {
    if (Analyses) Analyses->push_back({AAnalysis, AAudit});
  }
  bool FailSave = false;
  std::vector<std::pair<TPairAnalysis, TPairingAudit>>* Analyses = nullptr;
  bool ThrowSave = false;

 private:
  std::vector<std::string>& FLog;
};

class TRecordingObserver : public TDiffFileConstructorObserver {
 public:
  void SetNewOperation(const std::string& AName, int APoints, int ABegin, int AEnd) override {
    Calls.push_back("Op " + AName + " " + std::to_string(APoints) + " " + std::to_string(ABegin) + "-" +
                    std::to_string(AEnd));
    if (OnOperation) OnOperation(AName);
  }
  void SetProgress(int APoint) override { Calls.push_back("Point " + std::to_string(APoint)); }
  void SetResult(TExecuteResult AResult, const std::string& AErrorLog, const std::string& AFiles) override {
    Calls.push_back("Result " + std::to_string(static_cast<int>(AResult)));
    ErrorLog = AErrorLog;
    Files = AFiles;
    ++ResultCount;
  }
  std::vector<std::string> Calls;
  std::function<void(const std::string&)> OnOperation;
  std::string ErrorLog, Files;
  int ResultCount = 0;
};

// A run that exposes its protected steps and records its writers' calls.
class TTestRun : public TDiffFileConstructor {
 public:
  TTestRun(const TDiffFileConstructorSettings& ASettings, TDiffFileConstructorObserver& AObserver)
      : TDiffFileConstructor(ASettings, AObserver), FSettingsCopy(ASettings) {}
  using TDiffFileConstructor::CreateDiffFile;
  using TDiffFileConstructor::MutableEditorFileData;
  using TDiffFileConstructor::MutableTranslatorFileData;
  using TDiffFileConstructor::ReportProgress;

  std::unique_ptr<TBaseFileCreator> NewFileCreator() override {
    auto Writer = std::make_unique<TRecordingWriter>(FSettingsCopy, WriterLog);
    Writer->FailSave = WriterCount == FailSaveOfWriter;
    Writer->ThrowSave = WriterCount == ThrowSaveOfWriter;
    Writer->Analyses = &Analyses;
    ++WriterCount;
    return Writer;
  }
  std::vector<std::string> WriterLog;
  std::vector<std::pair<TPairAnalysis, TPairingAudit>> Analyses;  // one per pair, in order
  int WriterCount = 0;
  int FailSaveOfWriter = -1;   // index of the writer whose save fails
  int ThrowSaveOfWriter = -1;  // index of the writer whose save throws

 private:
  TDiffFileConstructorSettings FSettingsCopy;
};

}  // namespace lexmora::test
