// The pairing audit: which segments found no counterpart, and which identities occur twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "DataTypeUnit.h"

namespace lexmora {

// A language code in the form pairs are compared in: ASCII letters upper-cased.
std::string LanguageKey(const std::string& ACode);

// A segment's identity for pairing: unit id and segment id exactly, the two language codes
// without regard to case. Note: the separator cannot occur in XML text, so two identities
// never run together.
std::string SegmentIdentityKey(const TDiffInfoRecord& ARec);
// The keys of every record of ARecords, in order.
std::vector<std::string> SegmentIdentityKeys(const TArrayOfDiffInfoRecord& ARecords);

// Which side of the comparison a segment comes from.
enum class TAuditSide : std::uint8_t { asSource = 0, asEdited = 1 };

// One segment the audit names.
struct TAuditEntry {
  TAuditSide Side = TAuditSide::asSource;
  std::size_t Index = 0;  // position in that side's segments
  std::string Document;   // the document as the user named it
  std::string UnitID;
  std::string SegmentID;
  std::string SourceLang;
  std::string TargetLang;
  std::string Text;  // only-in-edited entries: the edited text, tags left out
  int Row = 0;       // report row of a source segment; 0 when it has none
};

// The audit of one run.
struct TPairingAudit {
  // Source segments with a source text whose identity has no edited segment.
  std::vector<TAuditEntry> MissingInEdited;
  // Edited segments with a source text whose identity no source segment with a source text has.
  std::vector<TAuditEntry> OnlyInEdited;
  // On either side, every segment whose identity already occurred earlier on the same side
  // (source side first, then edited side, each in reading order).
  std::vector<TAuditEntry> DuplicateIds;

  bool Empty() const { return MissingInEdited.empty() && OnlyInEdited.empty() && DuplicateIds.empty(); }
  // Sets Row of every source-side entry from ARows (indexed by source position; 0: no row).
  void SetRows(const std::vector<int>& ARows);
};

// The name of a segment's document as the audit and the analysis show it.
using TDocumentNameFunc = std::string (*)(const TDiffInfoRecord& ARec);

// The audit of two sides; ADocumentName names each entry's document, APlainText gives the
// text of an only-in-edited entry (nullptr: the markup as it is). Rows are left at 0.
TPairingAudit ComputePairingAudit(const TArrayOfDiffInfoRecord& ASource, const TArrayOfDiffInfoRecord& AEdited,
                                  TDocumentNameFunc ADocumentName, std::string (*APlainText)(const std::string&));
// The same with the identity keys of both sides already made (SegmentIdentityKeys).
TPairingAudit ComputePairingAudit(const TArrayOfDiffInfoRecord& ASource, const TArrayOfDiffInfoRecord& AEdited,
                                  const std::vector<std::string>& ASourceKeys, const std::vector<std::string>& AEditedKeys,
                                  TDocumentNameFunc ADocumentName, std::string (*APlainText)(const std::string&));

// The entries one language pair's report names: those of its own pair (codes without regard
// to case), and those of pairs that no report covers (found only on the edited side), so
// that no report leaves them out.
TPairingAudit AuditForPair(const TPairingAudit& AAudit, const TLangPair& APair, const TLangPairs& AReported);

}  // namespace lexmora
