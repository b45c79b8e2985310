// Pairing audit over the two sides' segments.
#include "PairingAuditUnit.h"

#include <string_view>
#include <unordered_set>

namespace lexmora {

std::string LanguageKey(const std::string& ACode) {
  std::string Result = ACode;
  for (char& C : Result)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Result;
}

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

// Keys of one side in reading order; the entries of identities met before go to ADuplicates.
std::vector<std::string> KeysOf(const TArrayOfDiffInfoRecord& ASide, TAuditSide AWhich, TDocumentNameFunc ADocumentName,
                                std::vector<TAuditEntry>& ADuplicates) {
  std::vector<std::string> Keys;
  Keys.reserve(ASide.size());
  for (const TDiffInfoRecord& Rec : ASide) Keys.push_back(SegmentIdentityKey(Rec));
  // The sets look at the keys where they are: no key is copied again.
  std::unordered_set<std::string_view> Seen;
  Seen.reserve(Keys.size());
  for (std::size_t I = 0; I < Keys.size(); ++I)
    if (!Seen.insert(Keys[I]).second) ADuplicates.push_back(EntryOf(AWhich, I, ASide[I], ADocumentName));
  return Keys;
}

}  // namespace

TPairingAudit ComputePairingAudit(const TArrayOfDiffInfoRecord& ASource, const TArrayOfDiffInfoRecord& AEdited,
                                  TDocumentNameFunc ADocumentName, std::string (*APlainText)(const std::string&)) {
  TPairingAudit Audit;
  const std::vector<std::string> SrcKeys = KeysOf(ASource, TAuditSide::asSource, ADocumentName, Audit.DuplicateIds);
  const std::vector<std::string> EdKeys = KeysOf(AEdited, TAuditSide::asEdited, ADocumentName, Audit.DuplicateIds);

  // Segments without a source text take no part in pairing (they get no report row).
  std::unordered_set<std::string_view> Paired, Edited(EdKeys.begin(), EdKeys.end());
  Paired.reserve(SrcKeys.size());
  for (std::size_t I = 0; I < ASource.size(); ++I) {
    if (ASource[I].SourceString.empty()) continue;
    Paired.insert(SrcKeys[I]);
    if (!Edited.count(SrcKeys[I]))
      Audit.MissingInEdited.push_back(EntryOf(TAuditSide::asSource, I, ASource[I], ADocumentName));
  }
  for (std::size_t I = 0; I < AEdited.size(); ++I) {
    if (AEdited[I].SourceString.empty() || Paired.count(EdKeys[I])) continue;
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
