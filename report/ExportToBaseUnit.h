// The abstract report writer and the text helpers that every writer shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "DataTypeUnit.h"
#include "PairAnalysisUnit.h"
#include "PairingAuditUnit.h"

namespace lexmora {

// One writer per language pair and report format. The report construction drives it in this
// order: AddCaption (at most once, before the first row), then per shown segment AddJoinRow
// when the file/language label changes, the three cell texts built by TRunFolder (each run of
// kept or changed steps to AddRun, then FinishStr), AddRow; then AddTotalInfo once, AddAnalysis
// once, GetFileExtention, ExecuteFileCreation once.
// A writer keeps the whole report in memory; only ExecuteFileCreation touches the disk.
// The cell folding (AddStrToStr, AddRun, FinishStr) only reads the writer's settings and writes
// the cell it is given: the report construction calls it from two threads at once.
class TBaseFileCreator {
 public:
  explicit TBaseFileCreator(const TDiffFileConstructorSettings& ASettings);
  virtual ~TBaseFileCreator();
  TBaseFileCreator(const TBaseFileCreator&) = delete;
  TBaseFileCreator& operator=(const TBaseFileCreator&) = delete;

  // The eight operations, in slot order.

  // Opens the comparison table with its column captions.
  virtual void AddCaption() = 0;
  // One segment row; the three cell texts are already in the writer's markup.
  virtual void AddRow(bool AIsEqu, bool AIsLocked, const std::string& ARecNo, const std::string& ASrcText,
                      const std::string& AMatchPercent, const std::string& ATrText, const std::string& AEdText,
                      const std::string& AEditDistance) = 0;
  // A label row naming the document and its languages, handed over unescaped.
  virtual void AddJoinRow(const std::string& AText) = 0;
  // The report file's extension with its dot.
  virtual std::string GetFileExtention() const = 0;
  // Writes ResultFileName + ATrgLangPair + extension; empty on success, else the failure text.
  // Note: a writer may also let the exception of a failing file operation escape.
  virtual std::string ExecuteFileCreation(const std::string& ATrgLangPair, const TOnProgressCallback& ACallback) = 0;
  // The totals of the language pair; the returned text is not used by the caller.
  virtual std::string AddTotalInfo(std::int32_t ATotalSegCount, std::int32_t AChangedSegCount,
                                   const std::string& AEdDist) = 0;
  // Appends one fragment to the cell text ACurrStr in place. ANewStr is one code point of a
  // symbol text, or empty when the difference step has no character on this side; ANewStrPos
  // is its 1-based position (the key of AIDDict). AIsTrPart selects the deletion mark (source
  // and translated text) or the insertion mark (edited text).
  virtual void AddStrToStr(bool AIsTrPart, std::string& ACurrStr, std::u32string_view ANewStr, std::int32_t ANewStrPos,
                           bool AIsNewStrTypeNormal, bool AIsLastStrTypeNormal, const TTagDict& ADict,
                           const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag) = 0;
  // Closes whatever the last fragment left open in ACurrStr.
  virtual void FinishStr(std::string& ACurrStr, bool AIsLastStrTypeNormal, const TTagDict& ADict,
                         TShowTagsFlag AShowTagsFlag) = 0;

  // A run of a cell text: consecutive difference steps of one kind (kept or changed) on one side.
  struct TTextRun {
    bool Kept = true;
    bool OpensWithChar = true;  // the run's first step has a character on this side
    std::u32string_view Text;   // the run's characters on this side (empty when no step has one)
    std::int32_t FirstPos = 1;  // 1-based position of Text's first character in its symbol text
  };
  // Appends ARun to ACurrStr as AddStrToStr would, step by step; APrevKept is the kind of the run
  // before (true for the first). The writers give a faster equal of this default, which hands
  // each character to AddStrToStr.
  virtual void AddRun(bool AIsTrPart, std::string& ACurrStr, const TTextRun& ARun, bool APrevKept,
                      const TTagDict& ADict, const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag);

  // After the totals: the pair's post-editing analysis and the audit entries this report names.
  // The base writes nothing of it.
  virtual void AddAnalysis(const TPairAnalysis& AAnalysis, const TPairingAudit& AAudit);

  // Full name of the report file for a language-pair suffix.
  std::string ResultFileFor(const std::string& ATrgLangPair) const;

  // Why the last ExecuteFileCreation failed, in one short clause (RunErrorUnit.h); may be empty.
  const std::string& FailureReason() const { return FFailureReason; }

  // Shared helpers.

  // True when AStr is exactly "&", "<" or ">".
  static bool IsSpecialChar(std::u32string_view AStr);
  // The entity of "&", "<" or ">"; any other text as UTF-8, unchanged.
  static std::string EscapeChar(std::u32string_view AStr);
  // True when some entry of ADict has AStr as its symbol (exact comparison; empty dictionary: false).
  static bool IsTagSymbol(std::u32string_view AStr, const TTagDict& ADict);
  // Appends the entity of "&", "<" or ">" and answers true; any other character: false, nothing appended.
  static bool AppendSpecialChar(std::string& AOut, char32_t AChar);
  // AText with "&", then "<", then ">" replaced by entities; quotes stay as they are.
  static std::string EscapeText(std::string_view AText);
  // Appends the UTF-8 form of the code points of AStr to AOut.
  static void AppendUtf8(std::string& AOut, std::u32string_view AStr);

  // Writes AContent to a new temporary file beside AFileName, then renames it to AFileName unless
  // a file of that name exists, so AFileName never names an incomplete file. Every failure
  // removes the temporary file and throws std::runtime_error with a short reason (no path).
  static void WriteNewFile(const std::string& AFileName, std::string_view AContent);
  // The same with the content as pieces written one after another, so a large one is not joined first.
  static void WriteNewFile(const std::string& AFileName, const std::vector<std::string_view>& APieces);

 protected:
  // Writes AContent to AFileName as it is, replacing an existing file.
  // Throws std::runtime_error naming the file and the system's reason when it cannot be written
  // completely.
  static void WriteFileContent(const std::string& AFileName, std::string_view AContent);

  // A writer notes the reason of a failure before ExecuteFileCreation returns its failure text.
  void NoteFailure(std::string AReason) { FFailureReason = std::move(AReason); }

  TDiffFileConstructorSettings FSettings;

 private:
  std::string FFailureReason;
};

// Folds the difference steps of one side into runs and hands them to the writer: the one place
// where steps become runs, for every writer. Characters are taken from ASymbols in order.
class TRunFolder {
 public:
  TRunFolder(TBaseFileCreator& AWriter, bool AIsTrPart, std::string& ACell, std::u32string_view ASymbols,
             const TTagDict& ADict, const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag)
      : FWriter(AWriter),
        FIsTrPart(AIsTrPart),
        FCell(ACell),
        FSymbols(ASymbols),
        FDict(ADict),
        FIDDict(AIDDict),
        FShowTagsFlag(AShowTagsFlag) {}
  // One step: kept or changed, with or without a character on this side.
  void Step(bool AKept, bool AHasChar) {
    if (!FOpen || AKept != FRun.Kept) {
      Flush();
      FOpen = true;
      FRun.Kept = AKept;
      FRun.OpensWithChar = AHasChar;
      FRunStart = FUsed;
    }
    if (AHasChar) ++FUsed;
  }
  // Hands over the last run and closes the cell.
  void Finish() {
    Flush();
    FWriter.FinishStr(FCell, FPrevKept, FDict, FShowTagsFlag);
  }

 private:
  void Flush() {
    if (!FOpen) return;
    FRun.Text = FSymbols.substr(FRunStart, FUsed - FRunStart);
    FRun.FirstPos = static_cast<std::int32_t>(FRunStart + 1);
    FWriter.AddRun(FIsTrPart, FCell, FRun, FPrevKept, FDict, FIDDict, FShowTagsFlag);
    FPrevKept = FRun.Kept;
    FOpen = false;
  }

  TBaseFileCreator& FWriter;
  bool FIsTrPart;
  std::string& FCell;
  std::u32string_view FSymbols;
  const TTagDict& FDict;
  const TTagIDDict& FIDDict;
  TShowTagsFlag FShowTagsFlag;
  TBaseFileCreator::TTextRun FRun;
  bool FOpen = false;
  bool FPrevKept = true;
  std::size_t FRunStart = 0, FUsed = 0;
};

}  // namespace lexmora
