// The abstract report writer and the text helpers that every writer shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "DataTypeUnit.h"
#include "PairAnalysisUnit.h"
#include "PairingAuditUnit.h"

namespace lexmora {

// One writer per language pair and report format. The report construction drives it in this
// order: AddCaption (at most once, before the first row), then per shown segment AddJoinRow
// when the file/language label changes, the three cell texts folded with AddStrToStr and
// FinishStr, AddRow; then AddTotalInfo once, AddAnalysis once, GetFileExtention,
// ExecuteFileCreation once.
// A writer keeps the whole report in memory; only ExecuteFileCreation touches the disk.
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
  // AText with "&", then "<", then ">" replaced by entities; quotes stay as they are.
  static std::string EscapeText(std::string_view AText);
  // Appends the UTF-8 form of the code points of AStr to AOut.
  static void AppendUtf8(std::string& AOut, std::u32string_view AStr);

 protected:
  // Writes AContent to AFileName as it is, replacing an existing file.
  // Throws std::runtime_error naming the file and the system's reason when it cannot be written
  // completely.
  static void WriteFileContent(const std::string& AFileName, std::string_view AContent);

  // Writes AContent to a new temporary file beside AFileName, then renames it to AFileName unless
  // a file of that name exists, so AFileName never names an incomplete file. Every failure
  // removes the temporary file and throws std::runtime_error with a short reason (no path).
  static void WriteNewFile(const std::string& AFileName, std::string_view AContent);

  // Moves AFrom to ATo unless ATo exists; atomic, so a file that appears meanwhile is never
  // replaced. False with errno set (EEXIST when ATo exists) on failure.
  static bool RenameNoReplace(const std::string& AFrom, const std::string& ATo);

  // A writer notes the reason of a failure before ExecuteFileCreation returns its failure text.
  void NoteFailure(std::string AReason) { FFailureReason = std::move(AReason); }

  TDiffFileConstructorSettings FSettings;

 private:
  std::string FFailureReason;
};

}  // namespace lexmora
