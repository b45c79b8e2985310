#include "DataTypeUnit.h"

namespace lexmora {

std::vector<std::string> SplitLines(const std::string& AText) {
  std::vector<std::string> Result;
  std::string Line;
  for (std::size_t I = 0; I < AText.size(); ++I) {
    const char C = AText[I];
    if (C == '\r' || C == '\n') {
      if (C == '\r' && I + 1 < AText.size() && AText[I + 1] == '\n') ++I;
      if (!Line.empty()) Result.push_back(Line);
      Line.clear();
    } else {
      Line.push_back(C);
    }
  }
  if (!Line.empty()) Result.push_back(Line);
  return Result;
}

}  // namespace lexmora
