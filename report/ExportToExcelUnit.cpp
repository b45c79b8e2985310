#include "ExportToExcelUnit.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <random>
#include <stdexcept>

#include "ExcelAnalysisSheetUnit.h"
#include "ExcelCellValueUnit.h"
#include "ExcelItemTextUnit.h"
#include "ExcelLayoutUnit.h"
#include "ExcelPackagePartsUnit.h"
#include "InternalTagParseUnit.h"
#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "ParallelJobsUnit.h"
#include "PlatformUnit.h"
#include "ResourceUnit.h"
#include "RunErrorUnit.h"
#include "SevenZipHelper.h"
#include "Utf8Unit.h"

namespace lexmora {

namespace {

const char* const kColumns = "ABCDEFG";
constexpr int kStyleText = 1, kStyleNumber = 2, kStyleLabel = 3, kStyleCaptionCentred = 4, kStyleCaptionLeft = 5,
              kStyleLocked = 6, kStyleTotalsCaption = 7, kStyleTotalsValue = 8, kStyleColouredNumber = 9,
              kStyleColouredText = 10;

// AHeight: the row's wrapped texts; a row taller than the default gets its height set.
std::string RowStart(std::int32_t ARow, const TExcelRowHeight& AHeight = {}) {
  // Row 1 is tall: it carries the logo picture.
  if (ARow == 1) return R"(    <row r="1" spans="1:7" ht="44.25" customHeight="1" x14ac:dyDescent="0.25">)";
  return R"(    <row r=")" + std::to_string(ARow) + R"(" spans="1:7")" + AHeight.Attributes() +
         R"( x14ac:dyDescent="0.25">)";
}
const std::string kRowEnd = "    </row>";

std::string CellRef(char ALetter, std::int32_t ARow) { return ALetter + std::to_string(ARow); }

// A cell's opening line, `<c r="B7" s="3"` followed by ATail, put into the list in pieces.
void AddCellOpening(TLineList& ALines, char ALetter, std::int32_t ARow, int AStyle, std::string_view ATail) {
  ALines.Add({R"(      <c r=")", {&ALetter, 1}, TDecimalText(ARow), R"(" s=")", TDecimalText(AStyle), ATail});
}

std::string MergeEntry(char AFirst, char ALast, std::int32_t ARow) {
  return R"(<mergeCell ref=")" + CellRef(AFirst, ARow) + ":" + CellRef(ALast, ARow) + R"("/>)";
}

// A changed run: the cells' font in red (translated text) or blue (edited text). The whole font
// is named, as readers fill what a run leaves out from their own defaults, not from the cell.
const std::string& RunProperties(bool AIsTrPart) {
  static const std::string kTr =
      "      <rPr>\r\n" + ExcelFontElements("        ", "rFont", false, "FFFF0000") + "      </rPr>\r\n";
  static const std::string kEd =
      "      <rPr>\r\n" + ExcelFontElements("        ", "rFont", false, "FF0000FF") + "      </rPr>\r\n";
  return AIsTrPart ? kTr : kEd;
}

std::string OpenRun(bool AIsTrPart, bool AIsNormal) {
  std::string Result = "    <r>\r\n";
  if (!AIsNormal) Result += RunProperties(AIsTrPart);
  return Result + "      <t xml:space=\"preserve\">";
}

std::string SwitchRun(bool AIsTrPart, bool AIsNormal) { return "</t>\r\n    </r>\r\n" + OpenRun(AIsTrPart, AIsNormal); }

// Windows takes \ as well as / between folders, and its own paths are made with \.
#ifdef _WIN32
constexpr const char* kPathSeparators = "/\\";
#else
constexpr const char* kPathSeparators = "/";
#endif

// AFileName with the part of its name from the last dot on replaced by AExt (or AExt appended).
std::string ChangeFileExt(const std::string& AFileName, const std::string& AExt) {
  const std::size_t Slash = AFileName.find_last_of(kPathSeparators);
  const std::size_t Dot = AFileName.find_last_of('.');
  if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)) return AFileName + AExt;
  return AFileName.substr(0, Dot) + AExt;
}

// A name no other writer, in this process or another, picks at the same time.
std::string UniqueToken() {
  static std::atomic<unsigned> Counter{0};
  static thread_local std::mt19937 Random{std::random_device{}()};
  char Buf[64];
  std::snprintf(Buf, sizeof Buf, "%ld-%u-%08x", static_cast<long>(::getpid()), ++Counter,
                static_cast<unsigned>(Random()));
  return Buf;
}

}  // namespace

TExcelFileCreator::TExcelFileCreator(const TDiffFileConstructorSettings& ASettings) : TBaseFileCreator(ASettings) {
  FArchiveToken = UniqueToken();
  // An empty file list still counts as one line here, though the totals give it no row.
  const auto K = static_cast<std::int32_t>(FSettings.TranslatorFiles.size());
  const auto M = static_cast<std::int32_t>(FSettings.EditorFiles.size());
  FCurrentRow = std::max(1, K) + std::max(1, M) + 7;
}

TExcelFileCreator::~TExcelFileCreator() {
  FinishEarlyDeflates(true);
  StopRowBuilder();
}

std::string TExcelFileCreator::ArchiveFileName() const {
  return ChangeFileExt(FSettings.ResultFileName, "." + FArchiveToken + ".zip");
}

std::string TExcelFileCreator::WrapTextItem(const std::string& AText) {
  return AText.empty() ? std::string("    <t/>") : "    <t>" + AText + "</t>";
}

void TExcelFileCreator::AddSharedString(const std::string& AText) {
  FFileSharedStrings.Add("  <si>");
  if (IsItemTextReady(AText))
    FFileSharedStrings.Add(AText);
  else
    FFileSharedStrings.Add(PrepareItemText(AText));
  FFileSharedStrings.Add("  </si>");
  ++FCurrentSharedStringID;
}

// Every row adds seven cells of up to three lines each: they go into the list in pieces, with no
// string made for a line first.
void TExcelFileCreator::AddStyledCell(TLineList& ALines, char ALetter, std::int32_t ARow, int AStyle) {
  AddCellOpening(ALines, ALetter, ARow, AStyle, R"(" t="s">)");
  ALines.Add({"        <v>", TDecimalText(FCurrentSharedStringID - 1), "</v>"});
  ALines.Add("      </c>");
}

void TExcelFileCreator::AddEmptyCell(TLineList& ALines, char ALetter, std::int32_t ARow, int AStyle) {
  AddCellOpening(ALines, ALetter, ARow, AStyle, R"("/>)");
}

void TExcelFileCreator::AddValueCell(TLineList& ALines, const std::string& AItemText, const std::string& AValue,
                                     char ALetter, std::int32_t ARow, int AStyle) {
  // The string stays in the table though the cell does not use it: the other cells' indexes and
  // the shared strings are the same whether a value is a number or not.
  AddSharedString(AItemText);
  if (!IsPlainNumber(AValue)) {
    AddStyledCell(ALines, ALetter, ARow, AStyle);
    return;
  }
  AddCellOpening(ALines, ALetter, ARow, AStyle, R"(">)");
  ALines.Add({"        <v>", AValue, "</v>"});
  ALines.Add("      </c>");
}

void TExcelFileCreator::AddTextCell(TLineList& ALines, const std::string& AItemText, char ALetter, std::int32_t ARow,
                                    int AStyle) {
  AddSharedString(AItemText);
  AddStyledCell(ALines, ALetter, ARow, AStyle);
}

void TExcelFileCreator::AddCaption() {
  TRowJob Job;
  Job.Kind = TRowJob::TKind::Caption;
  Job.Row = ++FCurrentRow;
  FCaptionRow = FCurrentRow;
  Submit(std::move(Job));
}

void TExcelFileCreator::AddJoinRow(const std::string& AText) {
  TRowJob Job;
  Job.Kind = TRowJob::TKind::Join;
  Job.Row = ++FCurrentRow;
  Job.SrcText = AText;
  Submit(std::move(Job));
  FMarginSheetPart.Add("    " + MergeEntry('A', 'G', FCurrentRow));
}

void TExcelFileCreator::AddRow(bool AIsEqu, bool AIsLocked, const std::string& ARecNo, const std::string& ASrcText,
                               const std::string& AMatchPercent, const std::string& ATrText, const std::string& AEdText,
                               const std::string& AEditDistance) {
  TRowJob Job;
  Job.Row = ++FCurrentRow;
  Job.IsEqu = AIsEqu;
  Job.IsLocked = AIsLocked;
  Job.RecNo = ARecNo;
  Job.SrcText = ASrcText;
  Job.MatchPercent = AMatchPercent;
  Job.TrText = ATrText;
  Job.EdText = AEdText;
  Job.EditDistance = AEditDistance;
  Submit(std::move(Job));
}

void TExcelFileCreator::BuildCaption(std::int32_t ARow) {
  static const struct {
    TMsg Msg;
    int Style;
  } kCaptions[] = {
      {TMsg::XlsxColumnNo, kStyleCaptionCentred},      {TMsg::XlsxColumnMatch, kStyleCaptionCentred},
      {TMsg::XlsxColumnSourceText, kStyleCaptionLeft}, {TMsg::XlsxColumnTranslatedText, kStyleCaptionLeft},
      {TMsg::XlsxColumnEditedText, kStyleCaptionLeft}, {TMsg::XlsxColumnEditDistance, kStyleCaptionCentred},
      {TMsg::XlsxColumnNotes, kStyleCaptionLeft}};
  std::string Items[7];
  TExcelRowHeight Height;
  for (int I = 0; I < 7; ++I) {
    Items[I] = WrapTextItem(GetLocalizedText(kCaptions[I].Msg, FSettings.LocalizationLanguare));
    Height.AddCell(Items[I], I, I, true);
  }
  FFileSheet1.Add(RowStart(ARow, Height));
  for (int I = 0; I < 7; ++I) AddTextCell(FFileSheet1, Items[I], kColumns[I], ARow, kCaptions[I].Style);
  FFileSheet1.Add(kRowEnd);
}

void TExcelFileCreator::BuildJoinRow(const std::string& AText, std::int32_t ARow) {
  const std::string Item = WrapTextItem(EscapeText(AText));
  TExcelRowHeight Height;
  Height.AddCell(Item, 0, kExcelColumnCount - 1, true);
  AddSharedString(Item);
  FFileSheet1.Add(RowStart(ARow, Height));
  AddStyledCell(FFileSheet1, 'A', ARow, kStyleLabel);
  for (char Letter = 'B'; Letter <= 'G'; ++Letter) AddEmptyCell(FFileSheet1, Letter, ARow, kStyleLabel);
  FFileSheet1.Add(kRowEnd);
}

void TExcelFileCreator::BuildSegmentRow(const TRowJob& AJob) {
  const bool Coloured = FSettings.FillDiffRowColored && !AJob.IsEqu;
  const int Number = Coloured ? kStyleColouredNumber : kStyleNumber;
  const int Text = Coloured ? kStyleColouredText : kStyleText;
  const std::int32_t Row = AJob.Row;
  const std::string RecNo = WrapTextItem(AJob.RecNo);
  // The match value comes from the input file, so it is escaped like every other input text.
  const std::string Match = WrapTextItem(EscapeText(AJob.MatchPercent));
  const std::string Distance = WrapTextItem(AJob.EditDistance);
  TExcelRowHeight Height;
  Height.AddCell(RecNo, 0, 0, true);
  Height.AddCell(Match, 1, 1, true);
  Height.AddCell(AJob.SrcText, 2, 2, false);
  Height.AddCell(AJob.TrText, 3, 3, false);
  Height.AddCell(AJob.EdText, 4, 4, false);
  Height.AddCell(Distance, 5, 5, true);
  FFileSheet1.Add(RowStart(Row, Height));
  AddTextCell(FFileSheet1, RecNo, 'A', Row, Number);
  AddValueCell(FFileSheet1, Match, AJob.MatchPercent, 'B', Row, Number);
  AddTextCell(FFileSheet1, AJob.SrcText, 'C', Row, AJob.IsLocked ? kStyleLocked : Text);
  AddTextCell(FFileSheet1, AJob.TrText, 'D', Row, Text);
  AddTextCell(FFileSheet1, AJob.EdText, 'E', Row, Text);
  AddValueCell(FFileSheet1, Distance, AJob.EditDistance, 'F', Row, Number);
  AddTextCell(FFileSheet1, WrapTextItem(""), 'G', Row, Text);
  FFileSheet1.Add(kRowEnd);
}

bool TExcelFileCreator::WorkAside() const { return JobThreads() > 1; }
void TExcelFileCreator::BeforeRow(std::int32_t /*ARow*/) {}

void TExcelFileCreator::BuildRow(const TRowJob& AJob) {
  BeforeRow(AJob.Row);
  switch (AJob.Kind) {
    case TRowJob::TKind::Caption:
      BuildCaption(AJob.Row);
      break;
    case TRowJob::TKind::Join:
      BuildJoinRow(AJob.SrcText, AJob.Row);
      break;
    case TRowJob::TKind::Segment:
      BuildSegmentRow(AJob);
      break;
  }
}

namespace {
// Rows handed over at a time, and how many may wait before the caller waits for the builder
// (so that the rows waiting never hold much memory).
constexpr std::size_t kRowBatch = 64;
constexpr std::size_t kMaxWaitingRows = 4096;
}  // namespace

void TExcelFileCreator::Submit(TRowJob&& AJob) {
  FinishEarlyDeflates(true);  // a row after the totals: the parts deflated ahead are stale
  std::unique_lock<std::mutex> Lock(FRowLock);
  if (FRowFailure) std::rethrow_exception(std::exchange(FRowFailure, nullptr));
  if (!FBuilderTried) {
    FBuilderTried = true;
    if (WorkAside()) {
      try {
        FRowBuilder = std::thread([this] { RunRowBuilder(); });
      } catch (const std::exception&) {
        // No thread (or no memory for one) to be had: the rows are built here.
      }
    }
  }
  if (!FRowBuilder.joinable()) {
    Lock.unlock();
    BuildRow(AJob);
    return;
  }
  FRowsBuilt.wait(Lock, [this] { return FRowJobs.size() < kMaxWaitingRows || FRowFailure; });
  FRowJobs.push_back(std::move(AJob));
  if (FRowJobs.size() % kRowBatch == 0) FRowsGiven.notify_one();
}

void TExcelFileCreator::RunRowBuilder() {
  std::vector<TRowJob> Taken;
  std::unique_lock<std::mutex> Lock(FRowLock);
  for (;;) {
    FRowsGiven.wait(Lock, [this] { return !FRowJobs.empty() || FStopBuilder; });
    if (FRowJobs.empty()) return;  // asked to stop, nothing left
    Taken.swap(FRowJobs);
    FBuilding = true;
    FRowsBuilt.notify_all();  // room for the caller again
    Lock.unlock();
    std::exception_ptr Failure;
    try {
      for (const TRowJob& Job : Taken) BuildRow(Job);
    } catch (...) {
      Failure = std::current_exception();
    }
    Taken.clear();
    Lock.lock();
    FBuilding = false;
    if (Failure && !FRowFailure) FRowFailure = Failure;
    // After a failure the rows still given are not built: the report is lost anyway.
    if (FRowFailure) FRowJobs.clear();
    FRowsBuilt.notify_all();
  }
}

void TExcelFileCreator::WaitForRows() const {
  std::unique_lock<std::mutex> Lock(FRowLock);
  FRowsGiven.notify_one();
  FRowsBuilt.wait(Lock, [this] { return FRowJobs.empty() && !FBuilding; });
  if (FRowFailure) std::rethrow_exception(std::exchange(FRowFailure, nullptr));
}

void TExcelFileCreator::StopRowBuilder() {
  {
    const std::lock_guard<std::mutex> Lock(FRowLock);
    FStopBuilder = true;
    FRowJobs.clear();
  }
  FRowsGiven.notify_one();
  if (FRowBuilder.joinable()) FRowBuilder.join();
}

std::string TExcelFileCreator::GetFileExtention() const { return ".xlsx"; }

void TExcelFileCreator::AddTotalInfoRow(const std::string& ACaption, const std::string& AValue, std::int32_t ARow) {
  const std::string Caption = WrapTextItem(ACaption);
  const std::string Value = WrapTextItem(AValue);
  TExcelRowHeight Height;
  Height.AddCell(Caption, 0, 2, false);
  Height.AddCell(Value, 3, kExcelColumnCount - 1, false);
  FTotalInfo.Add(RowStart(ARow, Height));
  AddTextCell(FTotalInfo, Caption, 'A', ARow, kStyleTotalsCaption);
  AddEmptyCell(FTotalInfo, 'B', ARow, kStyleTotalsCaption);
  AddEmptyCell(FTotalInfo, 'C', ARow, kStyleTotalsCaption);
  AddTextCell(FTotalInfo, Value, 'D', ARow, kStyleTotalsValue);
  for (char Letter = 'E'; Letter <= 'G'; ++Letter) AddEmptyCell(FTotalInfo, Letter, ARow, kStyleTotalsValue);
  FTotalInfo.Add(kRowEnd);
  FMarginSheetPart.Add("    " + MergeEntry('A', 'C', ARow));
  FMarginSheetPart.Add("    " + MergeEntry('D', 'G', ARow));
}

std::string TExcelFileCreator::AddTotalInfo(std::int32_t ATotalSegCount, std::int32_t AChangedSegCount,
                                            const std::string& AEdDist) {
  // The totals' shared strings come after the rows'.
  FinishEarlyDeflates(true);
  WaitForRows();
  const auto Lang = FSettings.LocalizationLanguare;
  std::int32_t Row = 1;
  AddTotalInfoRow("", "", Row++);
  const auto AddFiles = [&](const std::vector<std::string>& AFileList, TMsg ACaptionMsg) {
    bool First = true;
    for (const std::string& File : AFileList) {
      AddTotalInfoRow(First ? GetLocalizedText(ACaptionMsg, Lang) : std::string(), EscapeText(File), Row++);
      First = false;
    }
  };
  AddFiles(FSettings.TranslatorFiles, TMsg::XlsxSourceFiles);
  AddFiles(FSettings.EditorFiles, TMsg::XlsxEditedFiles);
  AddTotalInfoRow(
      GetLocalizedText(TMsg::XlsxIdenticalSegments, Lang),
      GetLocalizedText(
          FSettings.HideEquivalentString ? TMsg::XlsxIdenticalSegmentsHidden : TMsg::XlsxIdenticalSegmentsShown, Lang),
      Row++);
  AddTotalInfoRow(
      GetLocalizedText(TMsg::XlsxSpaceDifference, Lang),
      GetLocalizedText(
          FSettings.DoNotSeparateSpaces ? TMsg::XlsxSpacesNotDifferentiated : TMsg::XlsxSpacesDifferentiated, Lang),
      Row++);
  AddTotalInfoRow(GetLocalizedText(TMsg::XlsxTotalSegments, Lang), std::to_string(ATotalSegCount), Row++);
  AddTotalInfoRow(GetLocalizedText(TMsg::XlsxEditedSegments, Lang), std::to_string(AChangedSegCount), Row++);
  AddTotalInfoRow(GetLocalizedText(TMsg::XlsxTotalEditDistance, Lang), AEdDist, Row++);
  AddTotalInfoRow("", "", Row);
  StartEarlyDeflates();
  return {};
}

std::string TExcelFileCreator::TagMarker(std::u32string_view ASymbol, const TTagDict& ADict,
                                         TShowTagsFlag AShowTagsFlag) {
  if (AShowTagsFlag == TShowTagsFlag::stfDontShowTags) return {};
  for (const TTagDictRec& Rec : ADict) {
    if (Rec.Symbol != ASymbol) continue;
    switch (Rec.TagType) {
      case TTagType::ttBegin:
        return "\xE2\x97\x84";  // ◄
      case TTagType::ttEnd:
        return "\xE2\x96\xBA";  // ►
      case TTagType::ttFull:
        return "\xE2\x97\x84\xE2\x96\xBA";  // ◄►
      case TTagType::ttNotNeeded:
        return {};
    }
    return {};
  }
  return {};
}

void TExcelFileCreator::AddStrToStr(bool AIsTrPart, std::string& ACurrStr, std::u32string_view ANewStr,
                                    std::int32_t /*ANewStrPos*/, bool AIsNewStrTypeNormal, bool AIsLastStrTypeNormal,
                                    const TTagDict& ADict, const TTagIDDict& /*AIDDict*/, TShowTagsFlag AShowTagsFlag) {
  // Note: an empty fragment (no character on this side) opens, closes and switches nothing.
  if (ANewStr.empty()) return;
  std::string Fragment;
  if (IsSpecialChar(ANewStr))
    Fragment = EscapeChar(ANewStr);
  else if (IsTagSymbol(ANewStr, ADict))
    Fragment = TagMarker(ANewStr, ADict, AShowTagsFlag);
  else
    AppendUtf8(Fragment, ANewStr);
  if (ACurrStr.empty())
    ACurrStr = OpenRun(AIsTrPart, AIsNewStrTypeNormal);
  else if (AIsNewStrTypeNormal != AIsLastStrTypeNormal)
    ACurrStr += SwitchRun(AIsTrPart, AIsNewStrTypeNormal);
  ACurrStr += Fragment;
}

void TExcelFileCreator::AddRun(bool AIsTrPart, std::string& ACurrStr, const TTextRun& ARun, bool APrevKept,
                               const TTagDict& ADict, const TTagIDDict& /*AIDDict*/, TShowTagsFlag AShowTagsFlag) {
  for (std::size_t I = 0; I < ARun.Text.size(); ++I) {
    // A run switches the spreadsheet run at its first character only when that character is its
    // first step; after a step without a character here the text goes on in the current run.
    if (ACurrStr.empty())
      ACurrStr = OpenRun(AIsTrPart, ARun.Kept);
    else if (I == 0 && ARun.OpensWithChar && ARun.Kept != APrevKept)
      ACurrStr += SwitchRun(AIsTrPart, ARun.Kept);
    const char32_t C = ARun.Text[I];
    if (AppendSpecialChar(ACurrStr, C)) continue;
    if (C < 0x80) {  // the common case, and never a tag symbol (LowestTagSymbol)
      ACurrStr.push_back(static_cast<char>(C));
      continue;
    }
    const std::u32string_view One = ARun.Text.substr(I, 1);
    if (C >= LowestTagSymbol && !ADict.empty() && IsTagSymbol(One, ADict))
      ACurrStr += TagMarker(One, ADict, AShowTagsFlag);
    else
      lexmora::AppendUtf8(ACurrStr, C);
  }
}

void TExcelFileCreator::FinishStr(std::string& ACurrStr, bool /*AIsLastStrTypeNormal*/, const TTagDict& /*ADict*/,
                                  TShowTagsFlag /*AShowTagsFlag*/) {
  if (ACurrStr.empty())
    ACurrStr = "    <t/>";
  else
    ACurrStr += "</t>\r\n    </r>";
}

TPartPieces TExcelFileCreator::Sheet1Pieces() const {
  WaitForRows();
  return Sheet1PartPieces(FTotalInfo, FFileSheet1, FMarginSheetPart, FCurrentRow, SegmentTable());
}

TPartPieces TExcelFileCreator::SharedStringsPieces() const {
  WaitForRows();
  return SharedStringsPartPieces(FFileSharedStrings, FCurrentSharedStringID);
}

TExcelTable TExcelFileCreator::SegmentTable() const {
  if (FCaptionRow == 0) return {};
  return {FCaptionRow, FCurrentRow, kColumns[kExcelColumnCount - 1]};
}

std::string TExcelFileCreator::BuildSheet1() const { return Sheet1Pieces().Joined(); }
std::string TExcelFileCreator::BuildSharedStrings() const { return SharedStringsPieces().Joined(); }

void TExcelFileCreator::StartEarlyDeflates() {
  if (!WorkAside()) return;
  FinishEarlyDeflates(true);
  const std::pair<const char*, TPartPieces (TExcelFileCreator::*)() const> kBig[] = {
      {"xl/worksheets/sheet1.xml", &TExcelFileCreator::Sheet1Pieces},
      {"xl/sharedStrings.xml", &TExcelFileCreator::SharedStringsPieces}};
  for (const auto& [Path, Build] : kBig) {
    // Only a head start: whatever fails here is done again, and fails if it must, in its step.
    try {
      auto Early = std::make_unique<TEarlyDeflate>();
      Early->Path = Path;
      Early->Pieces = (this->*Build)();
      TEarlyDeflate* const E = Early.get();
      // Kept before its thread starts, so that no running thread is ever dropped unjoined.
      FEarlyDeflates.push_back(std::move(Early));
      try {
        E->Thread = std::thread([this, E] {
          try {
            E->Result = std::make_shared<const TDeflatedPart>(
                DeflateZipPart(TZipPart(E->Path, E->Pieces.Pieces()), &FCancelEarlyDeflates));
          } catch (...) {
            E->Result.reset();
          }
        });
      } catch (...) {
        FEarlyDeflates.pop_back();
        throw;
      }
    } catch (...) {
    }
  }
}

void TExcelFileCreator::FinishEarlyDeflates(bool ADiscard) {
  if (FEarlyDeflates.empty()) return;
  if (ADiscard) FCancelEarlyDeflates = true;
  for (const auto& Early : FEarlyDeflates)
    if (Early->Thread.joinable()) Early->Thread.join();
  if (ADiscard) FEarlyDeflates.clear();
  FCancelEarlyDeflates = false;
}

std::string TExcelFileCreator::BuildRels() const { return BuildRelsPart(); }
std::string TExcelFileCreator::BuildApp() const { return BuildAppPart(FSettings.LocalizationLanguare, HasAnalysis()); }
std::string TExcelFileCreator::BuildCore() const { return BuildCorePart(std::time(nullptr)); }
std::string TExcelFileCreator::BuildWorkbookRels() const { return BuildWorkbookRelsPart(HasAnalysis()); }
std::string TExcelFileCreator::BuildStyles() const { return BuildStylesPart(); }
std::string TExcelFileCreator::BuildWorkbook() const {
  return BuildWorkbookPart(FSettings.LocalizationLanguare, HasAnalysis(), SegmentTable(), FAnalysisSheet.Table);
}
std::string TExcelFileCreator::BuildContentTypes() const { return BuildContentTypesPart(HasAnalysis()); }
std::string TExcelFileCreator::BuildSheet2() const { return FAnalysisSheet.Xml; }

void TExcelFileCreator::AddAnalysis(const TPairAnalysis& AAnalysis, const TPairingAudit& AAudit) {
  FAnalysisSheet = BuildAnalysisSheetPart(AAnalysis, AAudit, FSettings.LocalizationLanguare);
}
std::string TExcelFileCreator::BuildDrawing() const { return BuildDrawingPart(); }
std::string TExcelFileCreator::BuildDrawingRels() const { return BuildDrawingRelsPart(); }
std::string TExcelFileCreator::BuildSheetRels() const { return BuildSheetRelsPart(); }

std::vector<std::string> TExcelFileCreator::PartFiles() const {
  std::vector<std::string> Files = PackageFiles();
  if (HasAnalysis()) Files.push_back("xl/worksheets/sheet2.xml");
  return Files;
}

const std::vector<std::string>& TExcelFileCreator::PackageFiles() {
  static const std::vector<std::string> kFiles = {"_rels/.rels",
                                                  "docProps/app.xml",
                                                  "docProps/core.xml",
                                                  "xl/_rels/workbook.xml.rels",
                                                  "xl/worksheets/sheet1.xml",
                                                  "xl/sharedStrings.xml",
                                                  "xl/styles.xml",
                                                  "xl/workbook.xml",
                                                  "[Content_Types].xml",
                                                  "xl/drawings/drawing1.xml",
                                                  "xl/drawings/_rels/drawing1.xml.rels",
                                                  "xl/media/image1.png",
                                                  "xl/worksheets/_rels/sheet1.xml.rels"};
  return kFiles;
}

void TExcelFileCreator::BeforeStep(std::string_view /*AStepName*/) {}

bool TExcelFileCreator::WritePart(const char* AStepName, const std::string& ARelPath,
                                  std::string (TExcelFileCreator::*ABuild)() const) {
  return WritePart(AStepName, ARelPath, nullptr, ABuild);
}

bool TExcelFileCreator::WritePart(const char* AStepName, const std::string& ARelPath,
                                  TPartPieces (TExcelFileCreator::*ABuildPieces)() const,
                                  std::string (TExcelFileCreator::*ABuild)() const) {
  try {
    BeforeStep(AStepName);
    TBuiltPart Part;
    Part.Path = ARelPath;
    if (ABuildPieces)
      Part.Pieces = (this->*ABuildPieces)();
    else
      Part.Pieces.AddOwn((this->*ABuild)());
    FParts.push_back(std::move(Part));
    return true;
  } catch (const std::exception& E) {
    Logger().AddException(std::string("TExcelFileCreator.") + AStepName, E);
    NoteFailure(ShortReason(E.what()));
    return false;
  }
}

bool TExcelFileCreator::CreateFileImage1() {
  try {
    BeforeStep("CreateFileImage1");
    // A program without its logo logs that and goes on: packing then finds the part missing.
    const std::optional<std::string_view> Logo = FindResource("R004");
    if (Logo) {
      TBuiltPart Part;
      Part.Path = "xl/media/image1.png";
      Part.Pieces.AddView(*Logo);
      FParts.push_back(std::move(Part));
    } else
      Logger().AddError("TExcelFileCreator.CreateFileImage1", "The program holds no resource R004");
    return true;
  } catch (const std::exception& E) {
    Logger().AddException("TExcelFileCreator.CreateFileImage1", E);
    NoteFailure(ShortReason(E.what()));
    return false;
  }
}

bool TExcelFileCreator::PackToXlsx(const std::string& ATrgLangPair, const TOnProgressCallback& ACallback) {
  try {
    BeforeStep("PackToXlsx");
    // The big parts deflated ahead go in as they are (when one failed, it is deflated now).
    FinishEarlyDeflates(false);
    for (const auto& Early : FEarlyDeflates)
      for (TBuiltPart& Part : FParts)
        if (Part.Path == Early->Path) Part.Deflated = Early->Result;
    // The parts go in the package's order, whatever order they were built in.
    std::vector<TZipPart> Parts;
    for (const std::string& File : PartFiles()) {
      const auto Found =
          std::find_if(FParts.begin(), FParts.end(), [&](const auto& APart) { return APart.Path == File; });
      if (Found == FParts.end()) {
        Logger().AddError("TExcelFileCreator.PackToXlsx", "Part to pack not built: " + File);
        NoteFailure("the part " + File + " is missing");
        return false;
      }
      Parts.emplace_back(File, Found->Pieces.Pieces(), Found->Deflated);
    }
    const std::string Archive = ArchiveFileName();
    std::string Reason;
    if (!CreateZipFromParts(Parts, Archive, ACallback, &Reason)) {
      NoteFailure(Reason.empty() ? std::string("cannot write the archive") : Reason);
      return false;
    }
    FParts.clear();
    FinishEarlyDeflates(true);
    const TFileOutcome Moved = RenameNoReplace(Archive, ResultFileFor(ATrgLangPair));
    if (Moved) return true;
    // The only failure that keeps the archive (every part is in it), for inspection.
    NoteFailure((Moved.Result == TFileResult::frExists ? std::string("a report of this name exists")
                                                       : "cannot rename the archive: " + Moved.Reason()) +
                "; the archive is kept at " + Archive);
    return false;
  } catch (const std::exception& E) {
    Logger().AddException("TExcelFileCreator.PackToXlsx", E);
    NoteFailure(ShortReason(E.what()));
    return false;
  }
}

std::string TExcelFileCreator::ExecuteFileCreation(const std::string& ATrgLangPair,
                                                   const TOnProgressCallback& ACallback) {
  const auto Fail = [this](TMsg AMsg) {
    FinishEarlyDeflates(true);
    FParts.clear();
    return GetLocalizedText(AMsg, FSettings.LocalizationLanguare);
  };
  using TBuild = std::string (TExcelFileCreator::*)() const;
  using TBuildPieces = TPartPieces (TExcelFileCreator::*)() const;
  static const struct {
    const char* Step;
    const char* Path;
    TBuild Build;
    TMsg Msg;
    TBuildPieces BuildPieces = nullptr;  // the big parts: views of the line lists, not copies
  } kParts[] = {
      {"CreateFileRels", "_rels/.rels", &TExcelFileCreator::BuildRels, TMsg::XlsxRelsFailed},
      {"CreateFileApp", "docProps/app.xml", &TExcelFileCreator::BuildApp, TMsg::XlsxAppPropsFailed},
      {"CreateFileCore", "docProps/core.xml", &TExcelFileCreator::BuildCore, TMsg::XlsxCorePropsFailed},
      {"CreateFileWorkbookXML", "xl/_rels/workbook.xml.rels", &TExcelFileCreator::BuildWorkbookRels,
       TMsg::XlsxWorkbookRelsFailed},
      {"CreateFileSheet1", "xl/worksheets/sheet1.xml", &TExcelFileCreator::BuildSheet1, TMsg::XlsxSheetFailed,
       &TExcelFileCreator::Sheet1Pieces},
      {"CreateFileSharedStrings", "xl/sharedStrings.xml", &TExcelFileCreator::BuildSharedStrings,
       TMsg::XlsxSharedStringsFailed, &TExcelFileCreator::SharedStringsPieces},
      {"CreateFileStyles", "xl/styles.xml", &TExcelFileCreator::BuildStyles, TMsg::XlsxStylesFailed},
      {"CreateFileWorkbook", "xl/workbook.xml", &TExcelFileCreator::BuildWorkbook, TMsg::XlsxWorkbookFailed},
      {"CreateFileContentTypes", "[Content_Types].xml", &TExcelFileCreator::BuildContentTypes,
       TMsg::XlsxContentTypesFailed},
      {"CreateFileDrawing1", "xl/drawings/drawing1.xml", &TExcelFileCreator::BuildDrawing, TMsg::XlsxDrawingFailed},
      {"CreateFileDrawing1Rels", "xl/drawings/_rels/drawing1.xml.rels", &TExcelFileCreator::BuildDrawingRels,
       TMsg::XlsxDrawingRelsFailed},
  };
  FParts.clear();
  for (const auto& Part : kParts)
    if (!WritePart(Part.Step, Part.Path, Part.BuildPieces, Part.Build)) return Fail(Part.Msg);
  if (HasAnalysis() && !WritePart("CreateFileSheet2", "xl/worksheets/sheet2.xml", &TExcelFileCreator::BuildSheet2))
    return Fail(TMsg::XlsxSheet2Failed);
  if (!CreateFileImage1()) return Fail(TMsg::XlsxImageFailed);
  if (!WritePart("CreateFileSheet1Rels", "xl/worksheets/_rels/sheet1.xml.rels", &TExcelFileCreator::BuildSheetRels))
    return Fail(TMsg::XlsxSheetRelsFailed);
  if (!PackToXlsx(ATrgLangPair, ACallback)) return Fail(TMsg::XlsxPackFailed);
  return {};
}

}  // namespace lexmora
