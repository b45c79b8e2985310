// Band rates, word price and currency read from text.
#include "CostTermsUnit.h"

#include "DecimalNumberUnit.h"
#include "EditBandUnit.h"
#include "LocalizationUnit.h"
#include "Utf8Unit.h"

namespace lexmora {

namespace {

std::string_view Trimmed(std::string_view AText) {
  while (!AText.empty() && (AText.front() == ' ' || AText.front() == '\t')) AText.remove_prefix(1);
  while (!AText.empty() && (AText.back() == ' ' || AText.back() == '\t')) AText.remove_suffix(1);
  return AText;
}

// Digits with at most one "." between digits: no sign, no exponent, nothing a locale could read
// otherwise.
bool IsPlainDecimal(std::string_view AText) {
  const std::size_t Dot = AText.find('.');
  const std::string_view Whole = AText.substr(0, Dot);
  const std::string_view Fraction = Dot == std::string_view::npos ? std::string_view() : AText.substr(Dot + 1);
  const auto Digits = [](std::string_view A) { return A.find_first_not_of("0123456789") == std::string_view::npos; };
  return !Whole.empty() && Digits(Whole) && Digits(Fraction) && (Dot == std::string_view::npos || !Fraction.empty());
}

// Far above any real price, and low enough for a cost of ten thousand million words to print in
// whole hundredths.
constexpr double kMaxWordPrice = 1e6;

}  // namespace

std::vector<int> TCostTerms::Bounds() const {
  std::vector<int> Result;
  for (const TBandRate& R : Rates) Result.push_back(R.Bound);
  return Result;
}

bool ParseBandRates(std::string_view AText, std::vector<TBandRate>& ARates) {
  std::vector<TBandRate> Rates;
  std::string Bounds;
  std::size_t Pos = 0;
  while (true) {
    const std::size_t Comma = AText.find(',', Pos);
    const std::string_view Item =
        AText.substr(Pos, Comma == std::string_view::npos ? std::string_view::npos : Comma - Pos);
    const std::size_t Colon = Item.find(':');
    if (Colon == std::string_view::npos) return false;
    const std::string_view Percent = Trimmed(Item.substr(Colon + 1));
    TBandRate Rate;
    if (!IsPlainDecimal(Percent) || !ParseDecimalNumber(Percent, Rate.Percent) || Rate.Percent > 100) return false;
    if (!Rates.empty()) Bounds += ',';
    Bounds += Item.substr(0, Colon);
    Rates.push_back(Rate);
    if (Comma == std::string_view::npos) break;
    Pos = Comma + 1;
  }
  // The bounds follow the bands' own rules.
  TEditBands Bands;
  if (!Bands.ParseBounds(Bounds)) return false;
  for (std::size_t I = 0; I < Rates.size(); ++I) Rates[I].Bound = Bands.Bounds()[I];
  ARates = std::move(Rates);
  return true;
}

std::string BandRatesText(const std::vector<TBandRate>& ARates) {
  std::string Result;
  for (const TBandRate& R : ARates) {
    if (!Result.empty()) Result += ',';
    Result += std::to_string(R.Bound);
    Result += ':';
    Result += FloatToRoundedStr(6, R.Percent, ".");
  }
  return Result;
}

bool ParseWordPrice(std::string_view AText, double& APrice) {
  AText = Trimmed(AText);
  double Price = 0;
  if (!IsPlainDecimal(AText) || !ParseDecimalNumber(AText, Price) || Price > kMaxWordPrice) return false;
  APrice = Price;
  return true;
}

bool IsValidCurrency(std::string_view ACurrency) {
  const std::u32string Characters = Utf8ToU32(ACurrency);
  if (Characters.empty() || Characters.size() > 16) return false;
  // Invalid UTF-8 decodes to U+FFFD, which no currency is written with.
  for (const char32_t C : Characters)
    if (C < 0x20 || (C >= 0x7F && C < 0xA0) || C == ReplacementChar) return false;
  return true;
}

}  // namespace lexmora
