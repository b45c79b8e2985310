#include "ExcelCellValueUnit.h"

namespace lexmora {

namespace {
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
}  // namespace

bool IsPlainNumber(std::string_view AText) {
  const bool Negative = !AText.empty() && AText.front() == '-';
  if (Negative) AText.remove_prefix(1);
  const std::size_t Point = AText.find('.');
  const std::string_view Whole = AText.substr(0, Point);
  const std::string_view Fraction = Point == std::string_view::npos ? std::string_view() : AText.substr(Point + 1);
  if (Whole.empty() || (Whole.size() > 1 && Whole.front() == '0')) return false;
  // A number cell shows "1.5" for "1.50" and "0" for "-0".
  if (Point != std::string_view::npos && (Fraction.empty() || Fraction.back() == '0')) return false;
  if (Negative && Whole == "0" && Fraction.empty()) return false;
  if (Whole.size() + Fraction.size() > static_cast<std::size_t>(kMaxNumberDigits)) return false;
  for (const char C : Whole)
    if (!IsDigit(C)) return false;
  for (const char C : Fraction)
    if (!IsDigit(C)) return false;
  return true;
}

}  // namespace lexmora
