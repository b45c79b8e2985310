#include "RunErrorUnit.h"

namespace lexmora {

const char* ErrorSideName(TErrorSide ASide) {
  switch (ASide) {
    case TErrorSide::esSource:
      return "source";
    case TErrorSide::esEdited:
      return "edited";
    case TErrorSide::esReport:
      return "report";
  }
  return "source";
}

std::string ErrorPathText(const TRunError& AError) {
  if (AError.Document.empty()) return AError.Path;
  return AError.Path + " (" + AError.Document + ")";
}

std::string FormatErrorLine(const TRunError& AError) {
  std::string Line = AError.Message + ": " + ErrorPathText(AError);
  if (!AError.Reason.empty()) Line += ": " + AError.Reason;
  return Line;
}

std::string ShortReason(const std::string& AText) {
  std::string R = AText.substr(0, AText.find_first_of("\r\n"));
  while (!R.empty() && (R.back() == '.' || R.back() == ' ')) R.pop_back();
  return R;
}

}  // namespace lexmora
