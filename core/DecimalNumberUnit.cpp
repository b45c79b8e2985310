#include "DecimalNumberUnit.h"

#include <charconv>
#include <locale>
#include <sstream>
#include <string>

namespace lexmora {

bool ParseDecimalNumber(std::string_view AText, double& AValue) {
  if (AText.empty()) return false;
#if defined(__cpp_lib_to_chars)
  const auto [End, Ec] = std::from_chars(AText.data(), AText.data() + AText.size(), AValue);
  return Ec == std::errc() && End == AText.data() + AText.size();
#else
  // A stream also takes "+", blanks, hexadecimal and "inf", which from_chars refuses.
  const char First = AText.front();
  if (First != '-' && First != '.' && (First < '0' || First > '9')) return false;
  if (AText.find_first_not_of("0123456789.eE+-") != std::string_view::npos) return false;
  std::istringstream In{std::string(AText)};
  In.imbue(std::locale::classic());
  In >> AValue;
  return !In.fail() && In.peek() == std::char_traits<char>::eof();
#endif
}

}  // namespace lexmora
