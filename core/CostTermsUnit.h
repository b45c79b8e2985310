// What post-editing is paid by: a share of the full word rate for each edit-distance band, and
// optionally the full rate itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexmora {

// One band's share of the full rate.
struct TBandRate {
  int Bound = 0;       // the band's lower bound, as the edit-distance bands give it
  double Percent = 0;  // of the full rate, 0 to 100

  bool operator==(const TBandRate&) const = default;
};

// The terms of a run. Note: the rates' bounds are the analysis's bands, so each band has its rate.
struct TCostTerms {
  std::vector<TBandRate> Rates;     // highest bound first; empty: no cost is worked out
  std::optional<double> WordPrice;  // the full rate of one word
  std::string Currency;             // shown beside the price and the cost; may be empty

  bool HasRates() const { return !Rates.empty(); }
  // The rates' bounds, highest first.
  std::vector<int> Bounds() const;
};

// Reads "100:0,95:25,85:50,75:70,50:100,0:100" (blanks around the items allowed) into ARates.
// False, ARates unchanged, unless every bound is a whole number from 0 to 100, each lower than
// the one before, and every percent a plain decimal number from 0 to 100.
bool ParseBandRates(std::string_view AText, std::vector<TBandRate>& ARates);
// The text ParseBandRates reads back as ARates, with "." as the decimal separator.
std::string BandRatesText(const std::vector<TBandRate>& ARates);

// Reads a word price: a plain decimal number ("0.12", "3") up to a million.
bool ParseWordPrice(std::string_view AText, double& APrice);
// Whether ACurrency can stand in a report: 1 to 16 characters of printable UTF-8 text.
bool IsValidCurrency(std::string_view ACurrency);

}  // namespace lexmora
