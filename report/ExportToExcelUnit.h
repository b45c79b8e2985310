// The XLSX report: one worksheet with coloured changes, packed as an Office Open XML workbook.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "ExcelAnalysisSheetUnit.h"
#include "ExcelPackagePartsUnit.h"
#include "ExportToBaseUnit.h"
#include "SevenZipHelper.h"

namespace lexmora {

class TExcelFileCreator : public TBaseFileCreator {
 public:
  // Reserves the rows of the totals block, which arrives last but stands at the top.
  explicit TExcelFileCreator(const TDiffFileConstructorSettings& ASettings);
  // Waits for the row builder (see AddRow) and ends it.
  ~TExcelFileCreator() override;

  // The caption, join and segment rows are made into worksheet and shared-string lines on a
  // thread of the writer's own while the caller goes on comparing, in the order they came; a
  // failure there (it can only run out of memory) is thrown by the next call of the writer, by
  // AddTotalInfo at the latest. On a machine with one core the caller makes them itself.
  void AddCaption() override;
  void AddRow(bool AIsEqu, bool AIsLocked, const std::string& ARecNo, const std::string& ASrcText,
              const std::string& AMatchPercent, const std::string& ATrText, const std::string& AEdText,
              const std::string& AEditDistance) override;
  void AddJoinRow(const std::string& AText) override;
  std::string GetFileExtention() const override;  // ".xlsx"
  // Builds the package parts in memory, packs them into an archive of its own beside the report
  // (named with the writer's unique name) and renames that to the report file. Answers empty on
  // success, else the message of the first step that failed. Never throws.
  std::string ExecuteFileCreation(const std::string& ATrgLangPair, const TOnProgressCallback& ACallback) override;
  std::string AddTotalInfo(std::int32_t ATotalSegCount, std::int32_t AChangedSegCount,
                           const std::string& AEdDist) override;
  // Empty fragments are ignored; changed runs are red in the Tr part and blue in the Ed part.
  void AddStrToStr(bool AIsTrPart, std::string& ACurrStr, std::u32string_view ANewStr, std::int32_t ANewStrPos,
                   bool AIsNewStrTypeNormal, bool AIsLastStrTypeNormal, const TTagDict& ADict,
                   const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag) override;
  void FinishStr(std::string& ACurrStr, bool AIsLastStrTypeNormal, const TTagDict& ADict,
                 TShowTagsFlag AShowTagsFlag) override;
  void AddRun(bool AIsTrPart, std::string& ACurrStr, const TTextRun& ARun, bool APrevKept, const TTagDict& ADict,
              const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag) override;

  // The "Analysis" worksheet after the first one.
  void AddAnalysis(const TPairAnalysis& AAnalysis, const TPairingAudit& AAudit) override;
  bool HasAnalysis() const { return !FAnalysisSheet.Xml.empty(); }
  // xl/worksheets/sheet2.xml as it will be saved; empty without an analysis.
  std::string BuildSheet2() const;

  // The segment table: the caption row down to the last row, columns A to G; absent while no
  // caption is written.
  TExcelTable SegmentTable() const;

  // xl/worksheets/sheet1.xml and xl/sharedStrings.xml as they will be saved.
  std::string BuildSheet1() const;
  std::string BuildSharedStrings() const;

  // The marker glyph of a tag symbol: "◄" begin, "►" end, "◄►" standalone; empty when tags
  // are not shown. Every show-tags mode other than stfDontShowTags looks the same.
  static std::string TagMarker(std::u32string_view ASymbol, const TTagDict& ADict, TShowTagsFlag AShowTagsFlag);
  // A plain item text: "    <t>" + AText + "</t>", or "    <t/>" when empty.
  static std::string WrapTextItem(const std::string& AText);

  // The intermediate archive packed before the rename; unique to the writer, so that runs sharing
  // a results folder never share it.
  std::string ArchiveFileName() const;
  std::int32_t CurrentRow() const { return FCurrentRow; }

  // The parts' names in the package, in the order they are packed (without the analysis sheet;
  // PartFiles adds it when there is one).
  static const std::vector<std::string>& PackageFiles();
  std::vector<std::string> PartFiles() const;

 protected:
  // Called before each step of ExecuteFileCreation with the step's name; lets tests disturb
  // the file system at a chosen point.
  virtual void BeforeStep(std::string_view AStepName);
  // Whether the writer works on threads of its own, rows built aside and the big parts deflated
  // as soon as they are complete (asked at the first row and at the totals): when the machine
  // has more than one core.
  virtual bool WorkAside() const;
  // Called before a row is built, on the thread that builds it; lets tests make one fail.
  virtual void BeforeRow(std::int32_t ARow);

 private:
  // A caption, join or segment row given to the row builder: the calls' arguments.
  struct TRowJob {
    enum class TKind { Caption, Join, Segment } Kind = TKind::Segment;
    std::int32_t Row = 0;
    bool IsEqu = false, IsLocked = false;
    std::string RecNo, SrcText, MatchPercent, TrText, EdText, EditDistance;  // Join: SrcText
  };
  void Submit(TRowJob&& AJob);
  void BuildRow(const TRowJob& AJob);
  void BuildCaption(std::int32_t ARow);
  void BuildJoinRow(const std::string& AText, std::int32_t ARow);
  void BuildSegmentRow(const TRowJob& AJob);
  void RunRowBuilder();
  // Returns once every row given so far is built; throws what building one threw.
  void WaitForRows() const;
  void StopRowBuilder();

  // The worksheet and the shared strings as pieces that view the line lists.
  TPartPieces Sheet1Pieces() const;
  TPartPieces SharedStringsPieces() const;
  // Deflates both on threads of their own once the totals are in, while the rest is made.
  void StartEarlyDeflates();
  // Waits for them; ADiscard throws their work away (the lists change or the writer goes).
  void FinishEarlyDeflates(bool ADiscard);

  void AddSharedString(const std::string& AText);
  void AddStyledCell(TLineList& ALines, char ALetter, std::int32_t ARow, int AStyle);
  static void AddEmptyCell(TLineList& ALines, char ALetter, std::int32_t ARow, int AStyle);
  void AddTextCell(TLineList& ALines, const std::string& AItemText, char ALetter, std::int32_t ARow, int AStyle);
  // A cell of AValue shown as AItemText: a number cell when AValue is a plain number, else text.
  void AddValueCell(TLineList& ALines, const std::string& AItemText, const std::string& AValue, char ALetter,
                    std::int32_t ARow, int AStyle);
  void AddTotalInfoRow(const std::string& ACaption, const std::string& AValue, std::int32_t ARow);

  bool WritePart(const char* AStepName, const std::string& ARelPath, std::string (TExcelFileCreator::*ABuild)() const);
  // The same for a part given by ABuildPieces when that is not null.
  bool WritePart(const char* AStepName, const std::string& ARelPath,
                 TPartPieces (TExcelFileCreator::*ABuildPieces)() const,
                 std::string (TExcelFileCreator::*ABuild)() const);
  bool CreateFileImage1();
  bool PackToXlsx(const std::string& ATrgLangPair, const TOnProgressCallback& ACallback);

  std::string BuildRels() const;
  std::string BuildApp() const;
  std::string BuildCore() const;
  std::string BuildWorkbookRels() const;
  std::string BuildStyles() const;
  std::string BuildWorkbook() const;
  std::string BuildContentTypes() const;
  std::string BuildDrawing() const;
  std::string BuildDrawingRels() const;
  std::string BuildSheetRels() const;

  std::string FArchiveToken;  // the writer's unique name, part of its archive's
  std::int32_t FCurrentRow = 0;
  TLineList FFileSharedStrings;
  TLineList FTotalInfo;
  TLineList FFileSheet1;
  TLineList FMarginSheetPart;
  std::int32_t FCurrentSharedStringID = 0;
  TAnalysisSheetPart FAnalysisSheet;
  std::int32_t FCaptionRow = 0;  // the segment table's caption; 0 while there is none
  // A part built for the package: its path, its bytes (a text of its own or views of the line
  // lists) and, for a big one, the same bytes deflated ahead when that was done.
  struct TBuiltPart {
    std::string Path;
    TPartPieces Pieces;
    std::shared_ptr<const TDeflatedPart> Deflated;
  };
  // The parts built so far, in the order they were built.
  std::vector<TBuiltPart> FParts;
  // A big part being deflated ahead: what it deflates, the stream once done (null when it
  // failed or was called off) and its thread.
  struct TEarlyDeflate {
    std::string Path;
    TPartPieces Pieces;
    std::shared_ptr<const TDeflatedPart> Result;
    std::thread Thread;
  };
  std::vector<std::unique_ptr<TEarlyDeflate>> FEarlyDeflates;
  std::atomic<bool> FCancelEarlyDeflates{false};

  // The row builder: rows given and not yet taken, whether it is building some, the first
  // failure, and its thread (started with the first row; not started on one core).
  mutable std::mutex FRowLock;
  mutable std::condition_variable FRowsGiven, FRowsBuilt;
  std::vector<TRowJob> FRowJobs;
  bool FBuilding = false, FStopBuilder = false, FBuilderTried = false;
  mutable std::exception_ptr FRowFailure;
  std::thread FRowBuilder;
};

}  // namespace lexmora
