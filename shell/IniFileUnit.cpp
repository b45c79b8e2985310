#include "IniFileUnit.h"

#include <algorithm>

#include "AsciiTextUnit.h"

namespace lexmora {

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

std::string Trim(const std::string& AText) {
  std::size_t B = 0;
  std::size_t E = AText.size();
  while (B < E && IsBlank(AText[B])) ++B;
  while (E > B && IsBlank(AText[E - 1])) --E;
  return AText.substr(B, E - B);
}

}  // namespace

bool SameTextAscii(const std::string& A, const std::string& B) {
  return A.size() == B.size() &&
         std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) { return AsciiLower(X) == AsciiLower(Y); });
}

TIniDocument TIniDocument::Parse(const std::string& AText) {
  TIniDocument Doc;
  std::size_t Pos = AText.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  TSection* Current = nullptr;  // keys before the first section header belong to none and are skipped
  while (Pos < AText.size()) {
    std::size_t End = AText.find('\n', Pos);
    if (End == std::string::npos) End = AText.size();
    std::string Line = AText.substr(Pos, End - Pos);
    Pos = End + 1;
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    Line = Trim(Line);
    if (Line.empty() || Line[0] == ';' || Line[0] == '#') continue;
    if (Line[0] == '[') {
      const std::size_t Close = Line.find(']');
      if (Close == std::string::npos) {
        Current = nullptr;
        continue;
      }
      const std::string Name = Trim(Line.substr(1, Close - 1));
      Current = Doc.FindSection(Name);
      if (!Current) {
        Doc.FSections.push_back({Name, {}});
        Current = &Doc.FSections.back();
      }
      continue;
    }
    const std::size_t Eq = Line.find('=');
    if (!Current || Eq == std::string::npos) continue;
    const std::string Key = Trim(Line.substr(0, Eq));
    if (Key.empty()) continue;
    Current->Entries.push_back({Key, Trim(Line.substr(Eq + 1))});
  }
  return Doc;
}

TIniDocument::TSection* TIniDocument::FindSection(const std::string& AName) {
  for (TSection& S : FSections) {
    if (SameTextAscii(S.Name, AName)) return &S;
  }
  return nullptr;
}

const TIniDocument::TSection* TIniDocument::FindSection(const std::string& AName) const {
  return const_cast<TIniDocument*>(this)->FindSection(AName);
}

std::optional<std::string> TIniDocument::Value(const std::string& ASection, const std::string& AKey) const {
  if (const TSection* S = FindSection(ASection)) {
    for (const TEntry& E : S->Entries) {
      if (SameTextAscii(E.Key, AKey)) return E.Value;
    }
  }
  return std::nullopt;
}

void TIniDocument::SetValue(const std::string& ASection, const std::string& AKey, const std::string& AValue) {
  TSection* S = FindSection(ASection);
  if (!S) {
    FSections.push_back({ASection, {}});
    S = &FSections.back();
  }
  bool Found = false;
  for (auto It = S->Entries.begin(); It != S->Entries.end();) {
    if (!SameTextAscii(It->Key, AKey)) {
      ++It;
    } else if (!Found) {
      It->Value = AValue;
      Found = true;
      ++It;
    } else {
      It = S->Entries.erase(It);  // a later duplicate would shadow nothing but confuse readers
    }
  }
  if (!Found) S->Entries.push_back({AKey, AValue});
}

void TIniDocument::RemoveKey(const std::string& ASection, const std::string& AKey) {
  if (TSection* S = FindSection(ASection)) {
    std::erase_if(S->Entries, [&](const TEntry& E) { return SameTextAscii(E.Key, AKey); });
  }
}

std::string TIniDocument::ToText(const std::string& ALineEnd) const {
  std::string Text;
  for (std::size_t I = 0; I < FSections.size(); ++I) {
    if (I > 0) Text += ALineEnd;
    Text += "[" + FSections[I].Name + "]" + ALineEnd;
    for (const TEntry& E : FSections[I].Entries) Text += E.Key + "=" + E.Value + ALineEnd;
  }
  return Text;
}

}  // namespace lexmora
