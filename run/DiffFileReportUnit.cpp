// Report construction: pairs source and edited segments, compares them and feeds the writers.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <set>
#include <stdexcept>
#include <unordered_map>

#include "CsvSegmentsUnit.h"
#include "Diff.h"
#include "DiffFileConstructorUnit.h"
#include "ExportToBaseUnit.h"
#include "InternalTagParseUnit.h"
#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "OrderedBatchesUnit.h"
#include "ParallelJobsUnit.h"
#include "PostEditMetricsUnit.h"
#include "Utf8Unit.h"
#include "WordCountUnit.h"

namespace lexmora {

namespace {

// The document a segment comes from, as the label row and the analysis name it.
std::string DocumentNameOf(const TDiffInfoRecord& ARec) {
  return ARec.UserPath.empty() ? ARec.FileName : ARec.UserPath;
}

// A text in internal markup with its tags left out.
std::string PlainTextOf(const std::string& AMarkup) { return U32ToUtf8(TagFreeText(AMarkup)); }

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
  // The symbol text with its tags left out, in ABuffer when there are tags to leave out.
  std::u32string_view WithoutTags(std::u32string& ABuffer) const {
    if (Dict.empty()) return Symbols;
    AssignWithoutTagSymbols(ABuffer, Symbols, Dict);
    return ABuffer;
  }
};

// True when the two segments name the same languages, written alike.
bool SameLanguages(const TDiffInfoRecord& A, const TDiffInfoRecord& B) {
  return A.SourceLang == B.SourceLang && A.TargetLang == B.TargetLang;
}

void UnifyNoBreakSpaces(std::u32string& AText) { std::replace(AText.begin(), AText.end(), U'\u00A0', U' '); }

// Segments per batch of the two-thread comparison, and batches compared ahead of the one written.
constexpr std::size_t kRowsPerBatch = 256;
constexpr std::size_t kBatchesAhead = 8;

// What comparing a thread's segments needs of its own.
struct TSegmentWork {
  TDiff Diff;
  TSymbolText Src, Tr, Ed;
  TWordCounter Words;
  TSegmentMetrics Metrics{Words};
  std::u32string SrcPlain, TrPlain, EdPlain;
};

// The first edited segment of each identity key (the keys stay where they are).
using TEditedIndex = std::unordered_map<std::string_view, std::size_t>;

// One segment compared, ready to be written.
struct TPreparedRow {
  bool InPair = false;       // a segment of the pair being written, with a source text
  std::exception_ptr Error;  // thrown when the row's turn comes, as the loop would have thrown
  TSegmentFacts Facts;
  std::string Match, SrcCell, TrCell, EdCell;
  std::string SrcText, TrText, EdText;  // for the CSV export: tags as their display text
};
using TPreparedRows = std::vector<TPreparedRow>;

// Compares source segment AS (identity AKey) with its edited segment into ARow: the facts, and
// unless the row is an unchanged one that is not shown, the three cells. Uses only what the
// writer's cell folding reads, so it runs on either thread.
void PrepareRow(const TDiffInfoRecord& AS, std::string_view AKey, const TArrayOfDiffInfoRecord& AEdited,
                const TEditedIndex& AEditedIndex, const TDiffFileConstructorSettings& ASettings,
                TBaseFileCreator& AWriter, TSegmentWork& AWork, TPreparedRow& ARow) {
  static const std::string kNoEditedText;
  const std::string* EditedText = &kNoEditedText;
  if (const auto Found = AEditedIndex.find(AKey); Found != AEditedIndex.end()) {
    ARow.Match = AEdited[Found->second].Match;
    EditedText = &AEdited[Found->second].ResultStr;
  }
  TSymbolText& Src = AWork.Src;
  TSymbolText& Tr = AWork.Tr;
  TSymbolText& Ed = AWork.Ed;
  Src.Convert(AS.SourceString);
  Tr.Convert(AS.ResultStr);
  Ed.Convert(*EditedText);
  if (ASettings.WriteCsv) {
    ARow.SrcText = TextWithTagDisplay(Src.Symbols, Src.Dict);
    ARow.TrText = TextWithTagDisplay(Tr.Symbols, Tr.Dict);
    ARow.EdText = TextWithTagDisplay(Ed.Symbols, Ed.Dict);
  }
  if (ASettings.DoNotSeparateSpaces) {
    UnifyNoBreakSpaces(Tr.Symbols);
    UnifyNoBreakSpaces(Ed.Symbols);
  }

  // Locked segments and segments with a stored match never count for the total.
  TSegmentFacts& Facts = ARow.Facts;
  Facts.Document = DocumentNameOf(AS);
  Facts.Source = AWork.Words.Count(Src.WithoutTags(AWork.SrcPlain), AS.SourceLang);
  Facts.CountsForTotal = ARow.Match.empty() && !AS.IsLocked;
  Facts.Length = static_cast<std::int64_t>(std::max(Tr.Symbols.size(), Ed.Symbols.size()));
  Facts.Changed = Tr.Symbols != Ed.Symbols;
  // Measured before an unchanged row may leave: hidden rows count for the sums too.
  const std::u32string_view TrPlain = Tr.WithoutTags(AWork.TrPlain);
  Facts.Metrics =
      AWork.Metrics.Measure(TrPlain, Facts.Changed ? Ed.WithoutTags(AWork.EdPlain) : TrPlain, AS.TargetLang);
  if (!Facts.Changed && ASettings.HideEquivalentString) return;

  const TShowTagsFlag TagsFlag = ASettings.ShowTagsFlag;
  TRunFolder SrcRuns(AWriter, true, ARow.SrcCell, Src.Symbols, Src.Dict, Src.IDDict, TagsFlag);
  for (std::size_t P = 0; P < Src.Symbols.size(); ++P) SrcRuns.Step(true, true);
  SrcRuns.Finish();

  if (!AWork.Diff.Execute(Tr.Symbols, Ed.Symbols)) throw std::runtime_error("The difference engine did not run");
  // The steps give the translated text's characters in order on one side and the edited text's
  // on the other, so each side's runs are pieces of its symbol text.
  TRunFolder TrRuns(AWriter, true, ARow.TrCell, Tr.Symbols, Tr.Dict, Tr.IDDict, TagsFlag);
  TRunFolder EdRuns(AWriter, false, ARow.EdCell, Ed.Symbols, Ed.Dict, Ed.IDDict, TagsFlag);
  int EditCount = 0;
  for (const TCompareRec& Step : AWork.Diff.CompareList()) {
    const TChangeKind Kind = Step.Kind;
    const bool Kept = Kind == TChangeKind::ckNone;
    if (!Kept) ++EditCount;
    TrRuns.Step(Kept, Kind != TChangeKind::ckAdd);
    EdRuns.Step(Kept, Kind != TChangeKind::ckDelete);
  }
  TrRuns.Finish();
  EdRuns.Finish();
  Facts.EditSteps = EditCount;
}

// Appends a prepared segment to the CSV export; ARowNo 0 for a segment the report leaves out.
void AddCsvSegment(TCsvSegmentTable& ATable, const TDiffInfoRecord& AS, const TPreparedRow& ARow, int ARowNo,
                   const TEditBands& ABands) {
  const TSegmentFacts& Facts = ARow.Facts;
  TCsvSegment C;
  C.Row = ARowNo;
  C.Document = Facts.Document;
  C.UnitID = AS.UnitID;
  C.SegmentID = AS.SegmentID;
  C.SourceLang = AS.SourceLang;
  C.TargetLang = AS.TargetLang;
  C.Match = ARow.Match;
  C.Locked = AS.IsLocked;
  C.EditSteps = Facts.EditSteps;
  C.Length = Facts.Length;
  C.Metrics = &Facts.Metrics;
  C.SourceWords = Facts.Source.Words;
  C.SourceCharacters = Facts.Source.Characters;
  const std::string Band = ABands.Label(ABands.BandOf(RoundedEditDistance(Facts.EditSteps, Facts.Length)));
  C.Band = Band;
  C.SourceText = ARow.SrcText;
  C.TranslatedText = ARow.TrText;
  C.EditedText = ARow.EdText;
  ATable.Add(C);
}

}  // namespace

bool TDiffFileConstructor::LangPairExists(const std::string& ASrcLang, const std::string& ATrgLang) const {
  const std::string Src = LanguageKey(ASrcLang), Trg = LanguageKey(ATrgLang);
  for (const TLangPair& Pair : FLangPairs)
    if (LanguageKey(Pair.SrcLang) == Src && LanguageKey(Pair.TrgLang) == Trg) return true;
  return false;
}

void TDiffFileConstructor::CollectLangPairs() {
  const TDiffInfoRecord* Previous = nullptr;
  for (const TDiffInfoRecord& Rec : FTranslatorFileData) {
    // Segments come in runs of one document, so most have the languages of the one before.
    if (Previous && SameLanguages(*Previous, Rec)) continue;
    Previous = &Rec;
    if (!LangPairExists(Rec.SourceLang, Rec.TargetLang)) FLangPairs.push_back({Rec.SourceLang, Rec.TargetLang});
  }
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

bool TDiffFileConstructor::WriteCsvFile(const TCsvSegmentTable& ATable, const std::string& AFileName) {
  try {
    TBaseFileCreator::WriteNewFile(AFileName, ATable.Text());
    return true;
  } catch (const std::exception& E) {
    Logger().AddException("TDiffFileConstructor.WriteCsvFile", E);
    AddError({TErrorSide::esReport,
              GetLocalizedText(TMsg::ReportFailed, FSettings.LocalizationLanguare),
              AFileName,
              {},
              ShortReason(E.what())});
    return false;
  }
}

bool TDiffFileConstructor::CreateDiffFile() {
  bool Result = false;
  const TLocalizationLanguare Lang = FSettings.LocalizationLanguare;
  const int SegmentCount = static_cast<int>(FTranslatorFileData.size());
  StartOperation(GetLocalizedText(TMsg::CreateReportOperation, Lang), SegmentCount, 60, 100);
  std::string PendingReport;  // the pair being built, named when construction fails
  try {
    TSegmentWork Work[2];  // one per thread
    int Progress = 0;
    CollectLangPairs();

    // Rates name their bands, so without bands of its own the run takes theirs.
    TEditBands Bands;
    const std::vector<int> BandBounds =
        FSettings.EditBandBounds.empty() ? FSettings.Cost.Bounds() : FSettings.EditBandBounds;
    if (!BandBounds.empty() && !Bands.SetBounds(BandBounds))
      throw std::invalid_argument("The edit-distance bands are not strictly descending bounds from 0 to 100");

    // The identities of both sides, made once on two cores, then the first edited segment of each
    // (in reading order). The audit is wanted only after the first pair's rows, so it is made
    // beside the index and the comparison.
    std::vector<std::string> SourceKeys, EditedKeys;
    RunJobs({[&] { SourceKeys = SegmentIdentityKeys(FTranslatorFileData); },
             [&] { EditedKeys = SegmentIdentityKeys(FEditorFileData); }},
            2);
    TBackgroundJob AuditJob([&] {
      FAudit = ComputePairingAudit(FTranslatorFileData, FEditorFileData, SourceKeys, EditedKeys, DocumentNameOf,
                                   PlainTextOf);
    });
    TEditedIndex EditedIndex;
    EditedIndex.reserve(EditedKeys.size());
    for (std::size_t I = 0; I < EditedKeys.size(); ++I) EditedIndex.try_emplace(EditedKeys[I], I);
    std::vector<int> RowOfSource(FTranslatorFileData.size(), 0);

    std::set<std::string> UsedSuffixes;
    bool AllWritten = true;
    for (const TLangPair& Pair : FLangPairs) {
      TPairAnalysis Analysis(Bands, FSettings.Cost);
      TCsvSegmentTable Csv;
      std::string LastCaption;
      const TDiffInfoRecord* CaptionOf = nullptr;  // the segment LastCaption was made for
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

      // Each segment is compared on either of two threads; the rows are written here, in order.
      const auto Prepare = [&](std::size_t AThread, std::size_t ABegin, std::size_t AEnd, TPreparedRows& ARows) {
        ARows.resize(AEnd - ABegin);
        const TDiffInfoRecord* LangsOf = nullptr;  // the last segment whose languages were keyed
        bool LangsInPair = false;
        for (std::size_t I = ABegin; I < AEnd; ++I) {
          const TDiffInfoRecord& S = FTranslatorFileData[I];
          if (!LangsOf || !SameLanguages(*LangsOf, S)) {
            LangsOf = &S;
            LangsInPair = LanguageKey(S.SourceLang) == PairSrc && LanguageKey(S.TargetLang) == PairTrg;
          }
          if (S.SourceString.empty() || !LangsInPair) continue;
          TPreparedRow& Row = ARows[I - ABegin];
          Row.InPair = true;
          try {
            PrepareRow(S, SourceKeys[I], FEditorFileData, EditedIndex, FSettings, *Writer, Work[AThread], Row);
          } catch (...) {
            Row.Error = std::current_exception();
          }
        }
      };
      const auto Emit = [&](std::size_t ABegin, std::size_t AEnd, TPreparedRows& ARows) {
        for (std::size_t SrcIndex = ABegin; SrcIndex < AEnd; ++SrcIndex) {
          const TDiffInfoRecord& S = FTranslatorFileData[SrcIndex];
          ReportProgress(Progress, false);
          if (IsTerminateSet()) return false;
          TPreparedRow& Row = ARows[SrcIndex - ABegin];
          if (!Row.InPair) continue;
          ++Progress;
          ++Total;
          if (Row.Error) std::rethrow_exception(Row.Error);
          TSegmentFacts& Facts = Row.Facts;
          if (Facts.CountsForTotal) SumLengths += Facts.Length;
          if (Facts.Changed) {
            ++Changed;
          } else if (FSettings.HideEquivalentString) {
            Analysis.Add(Facts);  // unchanged: no edit steps
            if (FSettings.WriteCsv) AddCsvSegment(Csv, S, Row, 0, Analysis.Bands());
            continue;
          }

          // The label is made again only where the document or the languages change.
          if (!CaptionOf || CaptionOf->UserPath != S.UserPath || CaptionOf->FileName != S.FileName ||
              !SameLanguages(*CaptionOf, S)) {
            CaptionOf = &S;
            std::string Caption = Facts.Document + " (" + S.SourceLang + " > " + S.TargetLang + ")";
            if (Caption != LastCaption) {
              LastCaption = std::move(Caption);
              if (!CaptionWritten) {
                Writer->AddCaption();
                CaptionWritten = true;
              }
              Writer->AddJoinRow(LastCaption);
            }
          }
          ++RowNo;
          RowOfSource[SrcIndex] = RowNo;
          if (Facts.CountsForTotal) SumSteps += Facts.EditSteps;
          Analysis.Add(Facts);
          if (FSettings.WriteCsv) AddCsvSegment(Csv, S, Row, RowNo, Analysis.Bands());

          const std::string RowEd = Facts.Length == 0
                                        ? std::string()
                                        : FloatToRoundedStr(0, SegmentEditDistance(Facts.EditSteps, Facts.Length));
          Writer->AddRow(Facts.EditSteps == 0, S.IsLocked, std::to_string(RowNo), Row.SrcCell, Row.Match, Row.TrCell,
                         Row.EdCell, RowEd);
        }
        return true;
      };
      PrepareAndEmitInOrder<TPreparedRows>(FTranslatorFileData.size(), kRowsPerBatch, kBatchesAhead, Prepare, Emit);

      TPairSummary Summary;
      Summary.LangPair = Pair;
      Summary.TotalSegCount = Total;
      Summary.ChangedSegCount = Changed;
      Summary.EdDist = TotalEditDistanceText(SumSteps, SumLengths);
      Writer->AddTotalInfo(Total, Changed, Summary.EdDist);
      AuditJob.Wait();
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
      // The export was asked for: a pair whose export failed is not done, as with its report.
      bool CsvWritten = true;
      if (FSettings.WriteCsv) {
        CsvWritten = WriteCsvFile(Csv, CsvFileNameFor(Summary.ReportFile));
        if (CsvWritten) Summary.CsvFile = CsvFileNameFor(Summary.ReportFile);
      }
      AllWritten = AllWritten && Summary.Written && CsvWritten;
      FPairSummaries.push_back(std::move(Summary));
    }
    AuditJob.Wait();
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
