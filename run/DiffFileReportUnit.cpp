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
#include "Utf8Unit.h"
#include "WordCountUnit.h"

namespace lexmora {

namespace {

// The document a segment comes from, as the label row and the analysis name it.
std::string DocumentNameOf(const TDiffInfoRecord& ARec) {
  return ARec.UserPath.empty() ? ARec.FileName : ARec.UserPath;
}

// A text in internal markup with its tags left out.
std::string PlainTextOf(const std::string& AMarkup) {
  TTagDict Dict;
  TTagIDDict IDDict;
  return U32ToUtf8(WithoutTagSymbols(ConvertTagsToSymbols(AMarkup, Dict, IDDict), Dict));
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
  const std::string Src = LanguageKey(ASrcLang), Trg = LanguageKey(ATrgLang);
  for (const TLangPair& Pair : FLangPairs)
    if (LanguageKey(Pair.SrcLang) == Src && LanguageKey(Pair.TrgLang) == Trg) return true;
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
      EditedIndex.try_emplace(SegmentIdentityKey(FEditorFileData[I]), I);

    TEditBands Bands;
    if (!FSettings.EditBandBounds.empty() && !Bands.SetBounds(FSettings.EditBandBounds))
      throw std::invalid_argument("The edit-distance bands are not strictly descending bounds from 0 to 100");
    TWordCounter Words;
    FAudit = ComputePairingAudit(FTranslatorFileData, FEditorFileData, DocumentNameOf, PlainTextOf);
    std::vector<int> RowOfSource(FTranslatorFileData.size(), 0);

    std::set<std::string> UsedSuffixes;
    bool AllWritten = true;
    for (const TLangPair& Pair : FLangPairs) {
      TPairAnalysis Analysis(Bands);
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
      const std::string PairSrc = LanguageKey(Pair.SrcLang), PairTrg = LanguageKey(Pair.TrgLang);
      PendingReport = Writer->ResultFileFor(SafeLangPairSuffix(Pair.SrcLang, Pair.TrgLang));

      for (std::size_t SrcIndex = 0; SrcIndex < FTranslatorFileData.size(); ++SrcIndex) {
        const TDiffInfoRecord& S = FTranslatorFileData[SrcIndex];
        ReportProgress(Progress, false);
        if (IsTerminateSet()) break;
        if (S.SourceString.empty() || LanguageKey(S.SourceLang) != PairSrc || LanguageKey(S.TargetLang) != PairTrg)
          continue;
        ++Progress;
        ++Total;

        std::string Match, EditedText;
        if (const auto Found = EditedIndex.find(SegmentIdentityKey(S)); Found != EditedIndex.end()) {
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
        TSegmentFacts Facts;
        Facts.Document = DocumentNameOf(S);
        Facts.Source = Words.Count(WithoutTagSymbols(Src.Symbols, Src.Dict), S.SourceLang);
        Facts.CountsForTotal = CountsForTotal;
        Facts.Length = Length;
        Facts.Changed = Tr.Symbols != Ed.Symbols;
        if (Facts.Changed) {
          ++Changed;
        } else if (FSettings.HideEquivalentString) {
          Analysis.Add(Facts);  // unchanged: no edit steps
          continue;
        }

        std::string Caption = Facts.Document + " (" + S.SourceLang + " > " + S.TargetLang + ")";
        if (Caption != LastCaption) {
          LastCaption = std::move(Caption);
          if (!CaptionWritten) {
            Writer->AddCaption();
            CaptionWritten = true;
          }
          Writer->AddJoinRow(LastCaption);
        }
        ++RowNo;
        RowOfSource[SrcIndex] = RowNo;

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
        Facts.EditSteps = EditCount;
        Analysis.Add(Facts);

        const std::string RowEd =
            Length == 0 ? std::string() : FloatToRoundedStr(0, SegmentEditDistance(EditCount, Length));
        Writer->AddRow(EditCount == 0, S.IsLocked, std::to_string(RowNo), SrcCell, Match, TrCell, EdCell, RowEd);
      }

      TPairSummary Summary;
      Summary.LangPair = Pair;
      Summary.TotalSegCount = Total;
      Summary.ChangedSegCount = Changed;
      Summary.EdDist = TotalEditDistanceText(SumSteps, SumLengths);
      Writer->AddTotalInfo(Total, Changed, Summary.EdDist);
      FAudit.SetRows(RowOfSource);
      Writer->AddAnalysis(Analysis, AuditForPair(FAudit, Pair, FLangPairs));
      Summary.Analysis = std::move(Analysis);

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
