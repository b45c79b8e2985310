#include "LocalizationUnit.h"

#include <cmath>
#include <cstdlib>
#include <unordered_set>

#include "PlatformUnit.h"

namespace lexmora {

namespace {

const TMessageEntry kMessages[] = {
#include "MessageTable.inc"
};

// The user's decimal separator, asked once: the environment does not change during a run.
std::string LocaleDecimalSeparator() {
  static const std::string Sep = RegionalDecimalSeparator();
  return Sep;
}

}  // namespace

const TMessageEntry* MessageTable() { return kMessages; }
std::size_t MessageTableSize() { return std::size(kMessages); }

std::string GetLocalizedText(int AId, TLocalizationLanguare ALang) {
  for (const TMessageEntry& E : kMessages) {
    if (E.Id != AId) continue;
    switch (ALang) {
      case TLocalizationLanguare::llEN:
        return E.En;
      case TLocalizationLanguare::llRU:
        return E.Ru;
    }
    return {};
  }
  return {};
}

bool CheckLocalizationTable(const TMessageEntry* ATable, std::size_t ACount) {
  std::unordered_set<int> Seen;
  for (std::size_t I = 0; I < ACount; ++I) {
    const TMessageEntry& E = ATable[I];
    if (!E.En || !*E.En || !E.Ru || !*E.Ru) return false;
    if (!Seen.insert(E.Id).second) return false;
  }
  return true;
}

bool CheckLocalizationIds() { return CheckLocalizationTable(kMessages, std::size(kMessages)); }

std::string FloatToRoundedStr(std::uint8_t ADigits, double AValue, const std::string& ADecimalSeparator) {
  double Scale = 1;
  for (int I = 0; I < ADigits; ++I) Scale *= 10;
  // llrint under the default rounding mode rounds halves to the even neighbour.
  const long long Scaled = std::llrint(AValue * Scale);
  std::string Digits = std::to_string(Scaled);
  std::string Sign;
  if (!Digits.empty() && Digits[0] == '-') {
    Sign = "-";
    Digits.erase(0, 1);
  }
  if (ADigits == 0) return Sign + Digits;
  std::string IntPart, Frac;
  if (Digits.size() > ADigits) {
    IntPart = Digits.substr(0, Digits.size() - ADigits);
    Frac = Digits.substr(Digits.size() - ADigits);
  } else {
    IntPart = "0";
    Frac = std::string(ADigits - Digits.size(), '0') + Digits;
  }
  while (!Frac.empty() && Frac.back() == '0') Frac.pop_back();
  if (!Frac.empty()) return Sign + IntPart + ADecimalSeparator + Frac;
  return Sign + IntPart;
}

std::string FloatToRoundedStr(std::uint8_t ADigits, double AValue) {
  return FloatToRoundedStr(ADigits, AValue, LocaleDecimalSeparator());
}

}  // namespace lexmora
