// Report construction: pairs source and edited segments, compares them and feeds the writers.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <set>
#include <stdexcept>
#include <unordered_map>

#include "Diff.h"
#include "DiffFileConstructorUnit.h"
#include "ExportToBaseUnit.h"
#include "InternalTagParseUnit.h"
#include "LocalizationUnit.h"
#include "LoggerUnit.h"

namespace lexmora {

namespace {

// Language tags are case-insensitive; codes are compared by their ASCII upper-case form.
std::string LangKey(const std::string& ACode) {
  std::string Result = ACode;
  for (char& C : Result)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Result;
}

// A segment's identity for pairing: unit id and segment id exactly, languages without case.
// Note: the separator cannot occur in XML text, so two identities never run together.
std::string IdentityKey(const TDiffInfoRecord& ARec) {
  std::string Key;
  Key.reserve(ARec.UnitID.size() + ARec.SegmentID.size() + ARec.SourceLang.size() + ARec.TargetLang.size() + 3);
  Key += ARec.UnitID;
  Key += '\0';
  Key += ARec.SegmentID;
  Key += '\0';
  Key += LangKey(ARec.SourceLang);
  Key += '\0';
  Key += LangKey(ARec.TargetLang);
  return Key;
}

// One text of a segment in symbol form with its two dictionaries.
struct TSymbolText {
  std::u32string Symbols;
  TTagDict Dict;
  TTagIDDict IDDict;

  void Convert(const std::string& AMarkup) {
    Dict.clear();
    IDDict.clear();
    Symbols = ConvertTagsToSymbols(AMarkup, Dict, IDDict);
  }
};

void UnifyNoBreakSpaces(std::u32string& AText) { std::replace(AText.begin(), AText.end(), U'\u00A0', U' '); }

}  // namespace

bool TDiffFileConstructor::LangPairExists(const std::string& ASrcLang, const std::string& ATrgLang) const {
  const std::string Src = LangKey(ASrcLang), Trg = LangKey(ATrgLang);
  for (const TLangPair& Pair : FLangPairs)
    if (LangKey(Pair.SrcLang) == Src && LangKey(Pair.TrgLang) == Trg) return true;
  return false;
}

void TDiffFileConstructor::CollectLangPairs() {
  for (const TDiffInfoRecord& Rec : FTranslatorFileData)
    if (!LangPairExists(Rec.SourceLang, Rec.TargetLang)) FLangPairs.push_back({Rec.SourceLang, Rec.TargetLang});
}

bool TDiffFileConstructor::WritePairReport(TBaseFileCreator& AWriter, const std::string& ASuffix,
                                           const std::string& AReportFile) {
  std::string Message, Reason;
  try {
    Message = AWriter.ExecuteFileCreation(ASuffix, nullptr);
    if (Message.empty()) return true;
    Reason = AWriter.FailureReason();
  } catch (const std::exception& E) {
    Logger().AddException("TDiffFileConstructor.CreateDiffFile", E);
    Message = GetLocalizedText(TMsg::ReportFailed, FSettings.LocalizationLanguare);
    Reason = ShortReason(E.what());
  }
  AddError({TErrorSide::esReport, Message, AReportFile, {}, Reason});
  return false;
}

bool TDiffFileConstructor::CreateDiffFile() {
  bool Result = false;
  const TLocalizationLanguare Lang = FSettings.LocalizationLanguare;
  const TShowTagsFlag TagsFlag = FSettings.ShowTagsFlag;
  const int SegmentCount = static_cast<int>(FTranslatorFileData.size());
  StartOperation(GetLocalizedText(TMsg::CreateReportOperation, Lang), SegmentCount, 60, 100);
  std::string PendingReport;  // the pair being built, named when construction fails
  try {
    TDiff Diff;
    TSymbolText Src, Tr, Ed;
    int Progress = 0;
    CollectLangPairs();

    // The first edited segment of each identity, in reading order.
    std::unordered_map<std::string, std::size_t> EditedIndex;
    EditedIndex.reserve(FEditorFileData.size());
    for (std::size_t I = 0; I < FEditorFileData.size(); ++I)
      EditedIndex.try_emplace(IdentityKey(FEditorFileData[I]), I);

    std::set<std::string> UsedSuffixes;
    bool AllWritten = true;
    for (const TLangPair& Pair : FLangPairs) {
      std::string LastCaption;
      bool CaptionWritten = false;
      int RowNo = 0, Total = 0, Changed = 0;
      std::int64_t SumSteps = 0, SumLengths = 0;
      std::unique_ptr<TBaseFileCreator> Writer = NewFileCreator();
      if (!Writer) {
        Logger().AddError("TDiffFileConstructor.CreateDiffFile", "No report writer for the chosen format");
        AllWritten = false;
        continue;
      }
      const std::string PairSrc = LangKey(Pair.SrcLang), PairTrg = LangKey(Pair.TrgLang);
      PendingReport = Writer->ResultFileFor(SafeLangPairSuffix(Pair.SrcLang, Pair.TrgLang));

      for (const TDiffInfoRecord& S : FTranslatorFileData) {
        ReportProgress(Progress, false);
        if (IsTerminateSet()) break;
        if (S.SourceString.empty() || LangKey(S.SourceLang) != PairSrc || LangKey(S.TargetLang) != PairTrg) continue;
        ++Progress;
        ++Total;

        std::string Match, EditedText;
        if (const auto Found = EditedIndex.find(IdentityKey(S)); Found != EditedIndex.end()) {
          Match = FEditorFileData[Found->second].Match;
          EditedText = FEditorFileData[Found->second].ResultStr;
        }
        Src.Convert(S.SourceString);
        Tr.Convert(S.ResultStr);
        Ed.Convert(EditedText);
        if (FSettings.DoNotSeparateSpaces) {
          UnifyNoBreakSpaces(Tr.Symbols);
          UnifyNoBreakSpaces(Ed.Symbols);
        }

        // Locked segments and segments with a stored match never count for the total.
        const bool CountsForTotal = Match.empty() && !S.IsLocked;
        const std::int64_t Length = static_cast<std::int64_t>(std::max(Tr.Symbols.size(), Ed.Symbols.size()));
        if (CountsForTotal) SumLengths += Length;
        if (Tr.Symbols != Ed.Symbols)
          ++Changed;
        else if (FSettings.HideEquivalentString)
          continue;

        std::string Caption = S.FileName + " (" + S.SourceLang + " > " + S.TargetLang + ")";
        if (Caption != LastCaption) {
          LastCaption = std::move(Caption);
          if (!CaptionWritten) {
            Writer->AddCaption();
            CaptionWritten = true;
          }
          Writer->AddJoinRow(LastCaption);
        }
        ++RowNo;

        std::string SrcCell, TrCell, EdCell;
        for (std::size_t P = 0; P < Src.Symbols.size(); ++P)
          Writer->AddStrToStr(true, SrcCell, std::u32string_view(Src.Symbols).substr(P, 1), static_cast<int>(P + 1),
                              true, true, Src.Dict, Src.IDDict, TagsFlag);
        Writer->FinishStr(SrcCell, true, Src.Dict, TagsFlag);

        if (!Diff.Execute(Tr.Symbols, Ed.Symbols)) throw std::runtime_error("The difference engine did not run");
        int T = 0, E = 0, EditCount = 0;
        TChangeKind LastKind = TChangeKind::ckNone;
        for (const TCompareRec& Step : Diff.CompareList()) {
          const TChangeKind Kind = Step.Kind;
          if (Kind != TChangeKind::ckAdd) ++T;
          if (Kind != TChangeKind::ckDelete) ++E;
          if (Kind != TChangeKind::ckNone) ++EditCount;
          const std::u32string_view TrChr =
              Kind == TChangeKind::ckAdd ? std::u32string_view() : std::u32string_view(&Step.chr1, 1);
          const std::u32string_view EdChr =
              Kind == TChangeKind::ckDelete ? std::u32string_view() : std::u32string_view(&Step.chr2, 1);
          const bool Kept = Kind == TChangeKind::ckNone, LastKept = LastKind == TChangeKind::ckNone;
          Writer->AddStrToStr(true, TrCell, TrChr, T, Kept, LastKept, Tr.Dict, Tr.IDDict, TagsFlag);
          Writer->AddStrToStr(false, EdCell, EdChr, E, Kept, LastKept, Ed.Dict, Ed.IDDict, TagsFlag);
          LastKind = Kind;
        }
        Writer->FinishStr(TrCell, LastKind == TChangeKind::ckNone, Tr.Dict, TagsFlag);
        Writer->FinishStr(EdCell, LastKind == TChangeKind::ckNone, Ed.Dict, TagsFlag);
        if (CountsForTotal) SumSteps += EditCount;

        const std::string RowEd =
            Length == 0 ? std::string() : FloatToRoundedStr(0, 100.0 - EditCount * 100.0 / static_cast<double>(Length));
        Writer->AddRow(EditCount == 0, S.IsLocked, std::to_string(RowNo), SrcCell, Match, TrCell, EdCell, RowEd);
      }

      TPairSummary Summary;
      Summary.LangPair = Pair;
      Summary.TotalSegCount = Total;
      Summary.ChangedSegCount = Changed;
      if (SumLengths != 0)
        Summary.EdDist =
            FloatToRoundedStr(1, 100.0 - static_cast<double>(SumSteps) * 100.0 / static_cast<double>(SumLengths)) + "%";
      Writer->AddTotalInfo(Total, Changed, Summary.EdDist);

      // Two pairs whose codes differ only in unsafe characters must not share one file.
      std::string Suffix = SafeLangPairSuffix(Pair.SrcLang, Pair.TrgLang);
      for (int N = 2; !UsedSuffixes.insert(Suffix).second; ++N)
        Suffix = SafeLangPairSuffix(Pair.SrcLang, Pair.TrgLang) + "_" + std::to_string(N);
      Summary.ReportFile = Writer->ResultFileFor(Suffix);
      // A failed pair does not keep the next one from being written.
      Summary.Written = WritePairReport(*Writer, Suffix, Summary.ReportFile);
      if (Summary.Written) {
        if (!FResultFiles.empty()) FResultFiles += "\r\n";
        FResultFiles += Summary.ReportFile;
      }
      AllWritten = AllWritten && Summary.Written;
      FPairSummaries.push_back(std::move(Summary));
    }
    Result = !FLangPairs.empty() && AllWritten;
  } catch (const std::exception& E) {
    Logger().AddException("TDiffFileConstructor.CreateDiffFile", E);
    AddError(
        {TErrorSide::esReport, GetLocalizedText(TMsg::ReportFailed, Lang), PendingReport, {}, ShortReason(E.what())});
  }
  ReportProgress(SegmentCount, true);
  return Result;
}

}  // namespace lexmora
