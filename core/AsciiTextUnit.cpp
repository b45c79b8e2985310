#include "AsciiTextUnit.h"

namespace lexmora {

std::string AsciiLowerCase(std::string AText) {
  for (char& C : AText) C = AsciiLower(C);
  return AText;
}

std::string AsciiUpperCase(std::string AText) {
  for (char& C : AText)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return AText;
}

std::string LowerFirst(std::string AText) {
  if (!AText.empty()) AText[0] = AsciiLower(AText[0]);
  return AText;
}

}  // namespace lexmora
