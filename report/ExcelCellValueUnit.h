// Which report values a worksheet stores as numbers rather than as text.
#pragma once

#include <string_view>

namespace lexmora {

// Most significant digits a number cell keeps exactly (a double's 15).
inline constexpr int kMaxNumberDigits = 15;

// Whether AText reads back from a number cell as the same text: an optional "-", digits without
// a needless leading zero, optionally "." and digits without a trailing zero, at most
// kMaxNumberDigits digits in all. Note: "95%", " 95", "+5", "1e3", "07", "5.", "1.50", "-0" and
// the empty text stay text.
bool IsPlainNumber(std::string_view AText);

}  // namespace lexmora
