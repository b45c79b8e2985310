// Pairing audit over the two sides' segments.
#include "PairingAuditUnit.h"

#include <string_view>
#include <unordered_set>

#include "AsciiTextUnit.h"

namespace lexmora {

std::string LanguageKey(const std::string& ACode) { return AsciiUpperCase(ACode); }

std::string SegmentIdentityKey(const TDiffInfoRecord& ARec) {
  std::string Key;
  Key.reserve(ARec.UnitID.size() + ARec.SegmentID.size() + ARec.SourceLang.size() + ARec.TargetLang.size() + 3);
  Key += ARec.UnitID;
  Key += '\0';
  Key += ARec.SegmentID;
  Key += '\0';
  Key += LanguageKey(ARec.SourceLang);
  Key += '\0';
  Key += LanguageKey(ARec.TargetLang);
  return Key;
}

std::vector<std::string> SegmentIdentityKeys(const TArrayOfDiffInfoRecord& ARecords) {
  std::vector<std::string> Keys;
  Keys.reserve(ARecords.size());
  for (const TDiffInfoRecord& Rec : ARecords) Keys.push_back(SegmentIdentityKey(Rec));
  return Keys;
}

void TPairingAudit::SetRows(const std::vector<int>& ARows) {
  for (std::vector<TAuditEntry>* List : {&MissingInEdited, &OnlyInEdited, &DuplicateIds})
    for (TAuditEntry& E : *List)
      if (E.Side == TAuditSide::asSource && E.Index < ARows.size()) E.Row = ARows[E.Index];
}

namespace {

TAuditEntry EntryOf(TAuditSide ASide, std::size_t AIndex, const TDiffInfoRecord& ARec,
                    TDocumentNameFunc ADocumentName) {
  TAuditEntry E;
  E.Side = ASide;
  E.Index = AIndex;
  E.Document = ADocumentName ? ADocumentName(ARec) : ARec.FileName;
  E.UnitID = ARec.UnitID;
  E.SegmentID = ARec.SegmentID;
  E.SourceLang = ARec.SourceLang;
  E.TargetLang = ARec.TargetLang;
  return E;
}

// The entries of one side whose identity (AKeys, in reading order) was met before go to ADuplicates;
// gives the set of the side's identities.
std::unordered_set<std::string_view> NoteDuplicates(const TArrayOfDiffInfoRecord& ASide,
                                                    const std::vector<std::string>& AKeys, TAuditSide AWhich,
                                                    TDocumentNameFunc ADocumentName,
                                                    std::vector<TAuditEntry>& ADuplicates) {
  // The sets look at the keys where they are: no key is copied again.
  std::unordered_set<std::string_view> Seen;
  Seen.reserve(AKeys.size());
  for (std::size_t I = 0; I < AKeys.size(); ++I)
    if (!Seen.insert(AKeys[I]).second) ADuplicates.push_back(EntryOf(AWhich, I, ASide[I], ADocumentName));
  return Seen;
}

}  // namespace

TPairingAudit ComputePairingAudit(const TArrayOfDiffInfoRecord& ASource, const TArrayOfDiffInfoRecord& AEdited,
                                  TDocumentNameFunc ADocumentName, std::string (*APlainText)(const std::string&)) {
  return ComputePairingAudit(ASource, AEdited, SegmentIdentityKeys(ASource), SegmentIdentityKeys(AEdited), ADocumentName,
                             APlainText);
}

TPairingAudit ComputePairingAudit(const TArrayOfDiffInfoRecord& ASource, const TArrayOfDiffInfoRecord& AEdited,
                                  const std::vector<std::string>& ASourceKeys, const std::vector<std::string>& AEditedKeys,
                                  TDocumentNameFunc ADocumentName, std::string (*APlainText)(const std::string&)) {
  TPairingAudit Audit;
  NoteDuplicates(ASource, ASourceKeys, TAuditSide::asSource, ADocumentName, Audit.DuplicateIds);
  const std::unordered_set<std::string_view> Edited =
      NoteDuplicates(AEdited, AEditedKeys, TAuditSide::asEdited, ADocumentName, Audit.DuplicateIds);

  // Segments without a source text take no part in pairing (they get no report row).
  std::unordered_set<std::string_view> Paired;
  Paired.reserve(ASourceKeys.size());
  for (std::size_t I = 0; I < ASource.size(); ++I) {
    if (ASource[I].SourceString.empty()) continue;
    Paired.insert(ASourceKeys[I]);
    if (!Edited.count(ASourceKeys[I]))
      Audit.MissingInEdited.push_back(EntryOf(TAuditSide::asSource, I, ASource[I], ADocumentName));
  }
  for (std::size_t I = 0; I < AEdited.size(); ++I) {
    if (AEdited[I].SourceString.empty() || Paired.count(AEditedKeys[I])) continue;
    TAuditEntry E = EntryOf(TAuditSide::asEdited, I, AEdited[I], ADocumentName);
    E.Text = APlainText ? APlainText(AEdited[I].ResultStr) : AEdited[I].ResultStr;
    Audit.OnlyInEdited.push_back(std::move(E));
  }
  return Audit;
}

TPairingAudit AuditForPair(const TPairingAudit& AAudit, const TLangPair& APair, const TLangPairs& AReported) {
  const auto SamePair = [](const TAuditEntry& E, const TLangPair& P) {
    return LanguageKey(E.SourceLang) == LanguageKey(P.SrcLang) && LanguageKey(E.TargetLang) == LanguageKey(P.TrgLang);
  };
  const auto Wanted = [&](const TAuditEntry& E) {
    if (SamePair(E, APair)) return true;
    for (const TLangPair& P : AReported)
      if (SamePair(E, P)) return false;
    return true;
  };
  TPairingAudit Result;
  const std::pair<const std::vector<TAuditEntry>*, std::vector<TAuditEntry>*> Lists[] = {
      {&AAudit.MissingInEdited, &Result.MissingInEdited},
      {&AAudit.OnlyInEdited, &Result.OnlyInEdited},
      {&AAudit.DuplicateIds, &Result.DuplicateIds}};
  for (const auto& [From, To] : Lists)
    for (const TAuditEntry& E : *From)
      if (Wanted(E)) To->push_back(E);
  return Result;
}

}  // namespace lexmora
