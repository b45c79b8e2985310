#include "ExcelItemTextUnit.h"

#include <vector>

#include "Utf8Unit.h"

namespace lexmora {

namespace {

// One character of element text: a code point, or an entity kept as written.
struct TTextUnit {
  char32_t Cp = 0;
  std::string_view Entity;  // non-empty for "&amp;" and the like
};

bool IsForbidden(char32_t C) { return (C < 0x20 && C != 0x09 && C != 0x0A && C != 0x0D) || C == 0xFFFE || C == 0xFFFF; }

bool IsHexDigit(char32_t C) { return (C >= U'0' && C <= U'9') || (C >= U'a' && C <= U'f') || (C >= U'A' && C <= U'F'); }

std::size_t Width(const TTextUnit& AUnit) { return AUnit.Cp > 0xFFFF ? 2 : 1; }

// Splits escaped element text into characters; an "&" that starts no entity counts as itself.
std::vector<TTextUnit> SplitText(std::string_view AText) {
  std::vector<TTextUnit> Units;
  std::size_t I = 0;
  while (I < AText.size()) {
    if (AText[I] == '&') {
      const std::size_t End = AText.find(';', I);
      if (End != std::string_view::npos && End - I <= 10) {
        TTextUnit U;
        U.Entity = AText.substr(I, End - I + 1);
        Units.push_back(U);
        I = End + 1;
        continue;
      }
      Units.push_back({U'&', "&amp;"});
      ++I;
      continue;
    }
    std::size_t Next = AText.find('&', I);
    if (Next == std::string_view::npos) Next = AText.size();
    for (const char32_t C : Utf8ToU32(AText.substr(I, Next - I))) Units.push_back({C, {}});
    I = Next;
  }
  return Units;
}

// True when the underscore at AAt would be read as the start of an escape: "x", four hex
// digits and a closing "_" follow, where a forbidden character counts as "_" because its own
// escape begins with one.
bool StartsEscape(const std::vector<TTextUnit>& AUnits, std::size_t AAt, std::size_t AEnd) {
  if (AAt + 6 >= AEnd) return false;
  auto Cp = [&](std::size_t K) { return AUnits[K].Entity.empty() ? AUnits[K].Cp : char32_t(0); };
  if (Cp(AAt + 1) != U'x') return false;
  for (std::size_t K = AAt + 2; K < AAt + 6; ++K)
    if (!IsHexDigit(Cp(K))) return false;
  const char32_t Last = Cp(AAt + 6);
  return Last == U'_' || (AUnits[AAt + 6].Entity.empty() && IsForbidden(Last));
}

void AppendEscape(std::string& AOut, char32_t C) {
  static const char kHex[] = "0123456789ABCDEF";
  AOut += "_x";
  for (int Shift = 12; Shift >= 0; Shift -= 4) AOut.push_back(kHex[(C >> Shift) & 0xF]);
  AOut.push_back('_');
}

// Writes units [0, AEnd) of one element text.
void AppendText(std::string& AOut, const std::vector<TTextUnit>& AUnits, std::size_t AEnd) {
  for (std::size_t K = 0; K < AEnd; ++K) {
    const TTextUnit& U = AUnits[K];
    if (!U.Entity.empty()) {
      AOut += U.Entity;
    } else if (IsForbidden(U.Cp)) {
      AppendEscape(AOut, U.Cp);
    } else if (U.Cp == U'_' && StartsEscape(AUnits, K, AEnd)) {
      AOut += "_x005F_";
    } else {
      AppendUtf8(AOut, U.Cp);
    }
  }
}

// Where the text of the next "<t>" element starts (after its start tag), or npos.
std::size_t FindTextStart(std::string_view AItem, std::size_t AFrom) {
  for (std::size_t At = AItem.find("<t", AFrom); At != std::string_view::npos; At = AItem.find("<t", At + 2)) {
    const char After = At + 2 < AItem.size() ? AItem[At + 2] : '\0';
    if (After != '>' && After != ' ') continue;  // "<tx>" or the like
    const std::size_t Close = AItem.find('>', At);
    if (Close == std::string_view::npos) return std::string_view::npos;
    if (AItem[Close - 1] == '/') continue;  // "<t/>": no text
    return Close + 1;
  }
  return std::string_view::npos;
}

// Length of the valid UTF-8 sequence at AAt that encodes a character XML allows (the
// non-characters U+FFFE and U+FFFF excluded), or 0; AUnits gets its UTF-16 length.
std::size_t PlainSequence(std::string_view AText, std::size_t AAt, std::size_t& AUnits) {
  const auto Byte = [&](std::size_t K) { return K < AText.size() ? static_cast<unsigned char>(AText[K]) : 0u; };
  const unsigned Lead = Byte(AAt);
  const auto Cont = [&](std::size_t K, unsigned ALo = 0x80, unsigned AHi = 0xBF) {
    const unsigned B = Byte(K);
    return B >= ALo && B <= AHi;
  };
  AUnits = 1;
  if (Lead >= 0xC2 && Lead <= 0xDF) return Cont(AAt + 1) ? 2 : 0;
  if (Lead >= 0xE0 && Lead <= 0xEF) {
    const unsigned Lo = Lead == 0xE0 ? 0xA0 : 0x80, Hi = Lead == 0xED ? 0x9F : 0xBF;
    if (!Cont(AAt + 1, Lo, Hi) || !Cont(AAt + 2)) return 0;
    if (Lead == 0xEF && Byte(AAt + 1) == 0xBF && Byte(AAt + 2) >= 0xBE) return 0;  // U+FFFE, U+FFFF
    return 3;
  }
  if (Lead >= 0xF0 && Lead <= 0xF4) {
    const unsigned Lo = Lead == 0xF0 ? 0x90 : 0x80, Hi = Lead == 0xF4 ? 0x8F : 0xBF;
    AUnits = 2;
    return Cont(AAt + 1, Lo, Hi) && Cont(AAt + 2) && Cont(AAt + 3) ? 4 : 0;
  }
  return 0;
}

// True when the element text AText needs no change: every character valid and allowed, no
// underscore (which might need protecting), every "&" starting an entity. Adds its length in
// UTF-16 units (an entity counts one) to AUnits.
bool IsPlainText(std::string_view AText, std::size_t& AUnits) {
  std::size_t I = 0;
  while (I < AText.size()) {
    const unsigned char C = static_cast<unsigned char>(AText[I]);
    if (C >= 0x20 && C < 0x80 && C != '&' && C != '_') {
      ++I;
      ++AUnits;
    } else if (C == '\t' || C == '\n' || C == '\r') {
      ++I;
      ++AUnits;
    } else if (C == '&') {
      const std::size_t End = AText.find(';', I);
      if (End == std::string_view::npos || End - I > 10) return false;
      I = End + 1;
      ++AUnits;
    } else {
      std::size_t Units = 0;
      const std::size_t Length = C >= 0x80 ? PlainSequence(AText, I, Units) : 0;
      if (Length == 0) return false;
      I += Length;
      AUnits += Units;
    }
  }
  return true;
}

}  // namespace

bool IsItemTextReady(std::string_view AItemText, std::size_t AMaxLength) {
  // Nearly every item needs no change: that is found without taking its texts apart.
  std::size_t Units = 0, From = 0;
  for (;;) {
    const std::size_t Begin = FindTextStart(AItemText, From);
    if (Begin == std::string_view::npos) break;
    std::size_t End = AItemText.find("</t>", Begin);
    if (End == std::string_view::npos) End = AItemText.size();
    if (!IsPlainText(AItemText.substr(Begin, End - Begin), Units)) return false;
    From = End;
  }
  return Units <= AMaxLength || AMaxLength == 0;
}

std::string PrepareItemText(std::string_view AItemText, std::size_t AMaxLength) {
  if (IsItemTextReady(AItemText, AMaxLength)) return std::string(AItemText);
  // Collect the element texts first: the cut needs the total length.
  struct TPiece {
    std::size_t Begin, End;  // the text between "<t ...>" and "</t>"
    std::vector<TTextUnit> Units;
  };
  std::vector<TPiece> Pieces;
  std::size_t Total = 0;
  std::size_t From = 0;
  for (;;) {
    const std::size_t Begin = FindTextStart(AItemText, From);
    if (Begin == std::string_view::npos) break;
    std::size_t End = AItemText.find("</t>", Begin);
    if (End == std::string_view::npos) End = AItemText.size();
    TPiece P{Begin, End, SplitText(AItemText.substr(Begin, End - Begin))};
    for (const auto& U : P.Units) Total += Width(U);
    Pieces.push_back(std::move(P));
    From = End;
  }

  std::string Result;
  Result.reserve(AItemText.size() + 16);
  const bool Cut = Total > AMaxLength && AMaxLength > 0;
  std::size_t Budget = Cut ? AMaxLength - 1 : Total;  // room left before the "…"
  std::size_t Copied = 0;                             // AItemText up to here is in Result
  for (const TPiece& P : Pieces) {
    Result.append(AItemText.substr(Copied, P.Begin - Copied));
    std::size_t Keep = 0;
    while (Keep < P.Units.size() && Width(P.Units[Keep]) <= Budget) Budget -= Width(P.Units[Keep++]);
    AppendText(Result, P.Units, Keep);
    Copied = P.End;
    if (Keep < P.Units.size()) {
      // The cut falls in this element: end the text here and close the run around it.
      Result += "\xE2\x80\xA6</t>";
      const std::size_t RunOpen = AItemText.rfind("<r>", P.Begin);
      const std::size_t RunClose = AItemText.rfind("</r>", P.Begin);
      if (RunOpen != std::string_view::npos && (RunClose == std::string_view::npos || RunClose < RunOpen))
        Result += "\r\n    </r>";
      return Result;
    }
  }
  Result.append(AItemText.substr(Copied));
  return Result;
}

}  // namespace lexmora
