// Code point texts made readable in failure messages.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace lexmora::test_support {

// AText with printable ASCII as it is and every other code point as <U+XXXX>.
inline std::string ShownText(std::u32string_view AText) {
  std::string Out;
  for (const char32_t C : AText)
    if (C >= 0x20 && C < 0x7F) {
      Out += static_cast<char>(C);
    } else {
      char Buf[16];
      std::snprintf(Buf, sizeof Buf, "<U+%04X>", static_cast<unsigned>(C));
      Out += Buf;
    }
  return Out;
}

}  // namespace lexmora::test_support
