// Edit-distance bands and the rounding they share with the report rows.
#include "EditBandUnit.h"

#include <charconv>
#include <cmath>

#include "LocalizationUnit.h"

namespace lexmora {

double SegmentEditDistance(std::int64_t AEditSteps, std::int64_t ALength) {
  return 100.0 - static_cast<double>(AEditSteps) * 100.0 / static_cast<double>(ALength);
}

int RoundedEditDistance(std::int64_t AEditSteps, std::int64_t ALength) {
  if (ALength == 0) return 100;
  // The same rounding as the row text (FloatToRoundedStr with 0 decimals).
  return static_cast<int>(std::llrint(SegmentEditDistance(AEditSteps, ALength)));
}

std::string TotalEditDistanceText(std::int64_t ASumSteps, std::int64_t ASumLengths) {
  if (ASumLengths == 0) return {};
  return FloatToRoundedStr(1, SegmentEditDistance(ASumSteps, ASumLengths)) + "%";
}

TEditBands::TEditBands() : FBounds{100, 95, 85, 75, 50, 0} {}

bool TEditBands::SetBounds(const std::vector<int>& ABounds) {
  if (ABounds.empty()) return false;
  for (std::size_t I = 0; I < ABounds.size(); ++I) {
    if (ABounds[I] < 0 || ABounds[I] > 100) return false;
    if (I > 0 && ABounds[I] >= ABounds[I - 1]) return false;
  }
  FBounds = ABounds;
  return true;
}

bool TEditBands::ParseBounds(std::string_view AText) {
  std::vector<int> Bounds;
  std::size_t Pos = 0;
  while (true) {
    const std::size_t Comma = AText.find(',', Pos);
    std::string_view Item = AText.substr(Pos, Comma == std::string_view::npos ? std::string_view::npos : Comma - Pos);
    while (!Item.empty() && (Item.front() == ' ' || Item.front() == '\t')) Item.remove_prefix(1);
    while (!Item.empty() && (Item.back() == ' ' || Item.back() == '\t')) Item.remove_suffix(1);
    // Digits only: no sign, no fraction, no hexadecimal, nothing after the number.
    if (Item.empty() || Item.size() > 3 || Item.find_first_not_of("0123456789") != std::string_view::npos) return false;
    int Value = 0;
    std::from_chars(Item.data(), Item.data() + Item.size(), Value);
    Bounds.push_back(Value);
    if (Comma == std::string_view::npos) break;
    Pos = Comma + 1;
  }
  return SetBounds(Bounds);
}

std::size_t TEditBands::BandOf(int ARoundedEditDistance) const {
  for (std::size_t I = 0; I < FBounds.size(); ++I)
    if (ARoundedEditDistance >= FBounds[I]) return I;
  return FBounds.size() - 1;
}

std::string TEditBands::Label(std::size_t ABand) const {
  const int Low = FBounds[ABand];
  const int High = ABand == 0 ? 100 : FBounds[ABand - 1] - 1;
  if (ABand + 1 == FBounds.size() && Low > 0) return "\u2264" + std::to_string(High);
  if (Low == High) return std::to_string(Low);
  return std::to_string(Low) + "-" + std::to_string(High);
}

}  // namespace lexmora
