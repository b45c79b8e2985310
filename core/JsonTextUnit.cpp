#include "JsonTextUnit.h"

#include "Utf8Unit.h"

namespace lexmora {

std::string JsonString(const std::string& AText) {
  static const char* const Hex = "0123456789abcdef";
  std::string Out = "\"";
  // Paths need not be valid UTF-8; invalid bytes become U+FFFD so the JSON stays valid.
  for (const char C : U32ToUtf8(Utf8ToU32(AText))) {
    const unsigned char U = static_cast<unsigned char>(C);
    switch (C) {
      case '"':
        Out += "\\\"";
        break;
      case '\\':
        Out += "\\\\";
        break;
      case '\n':
        Out += "\\n";
        break;
      case '\r':
        Out += "\\r";
        break;
      case '\t':
        Out += "\\t";
        break;
      default:
        if (U < 0x20) {
          Out += "\\u00";
          Out.push_back(Hex[U >> 4]);
          Out.push_back(Hex[U & 15]);
        } else {
          Out.push_back(C);
        }
    }
  }
  Out += "\"";
  return Out;
}

}  // namespace lexmora
