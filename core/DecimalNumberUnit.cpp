#include "DecimalNumberUnit.h"

#include <charconv>
#include <cmath>
#include <string>

#if !defined(__cpp_lib_to_chars)
#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#endif

namespace lexmora {

bool ParseDecimalNumber(std::string_view AText, double& AValue) {
  // Note: from_chars also reads "inf" and "nan", strtod besides "+", blanks and hexadecimal; none
  // of them is a plain decimal.
  if (AText.empty()) return false;
  const char First = AText.front();
  if (First != '-' && First != '.' && (First < '0' || First > '9')) return false;
  if (AText.find_first_not_of("0123456789.eE+-") != std::string_view::npos) return false;
#if defined(__cpp_lib_to_chars)
  const auto [End, Ec] = std::from_chars(AText.data(), AText.data() + AText.size(), AValue);
  return Ec == std::errc() && End == AText.data() + AText.size();
#else
  static const locale_t CLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const std::string Text(AText);
  char* End = nullptr;
  errno = 0;
  AValue = ::strtod_l(Text.c_str(), &End, CLocale);
  if (End != Text.c_str() + Text.size()) return false;
  // Note: a result between zero and the smallest normal number comes with ERANGE but is kept, as
  // from_chars keeps it; only what lies outside double's range fails.
  return errno != ERANGE || (AValue != 0 && std::isfinite(AValue));
#endif
}

}  // namespace lexmora
