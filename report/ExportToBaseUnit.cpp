#include "ExportToBaseUnit.h"

#include <fstream>
#include <stdexcept>

#include "Utf8Unit.h"

namespace lexmora {

TBaseFileCreator::TBaseFileCreator(const TDiffFileConstructorSettings& ASettings) : FSettings(ASettings) {}

TBaseFileCreator::~TBaseFileCreator() = default;

void TBaseFileCreator::AddAnalysis(const TPairAnalysis& /*AAnalysis*/, const TPairingAudit& /*AAudit*/) {}

std::string TBaseFileCreator::ResultFileFor(const std::string& ATrgLangPair) const {
  return FSettings.ResultFileName + ATrgLangPair + GetFileExtention();
}

bool TBaseFileCreator::IsSpecialChar(std::u32string_view AStr) {
  return AStr.size() == 1 && (AStr[0] == U'&' || AStr[0] == U'<' || AStr[0] == U'>');
}

std::string TBaseFileCreator::EscapeChar(std::u32string_view AStr) {
  if (AStr.size() == 1) {
    switch (AStr[0]) {
      case U'&':
        return "&amp;";
      case U'<':
        return "&lt;";
      case U'>':
        return "&gt;";
      default:
        break;
    }
  }
  std::string Result;
  AppendUtf8(Result, AStr);
  return Result;
}

bool TBaseFileCreator::IsTagSymbol(std::u32string_view AStr, const TTagDict& ADict) {
  for (const TTagDictRec& Rec : ADict)
    if (Rec.Symbol == AStr) return true;
  return false;
}

std::string TBaseFileCreator::EscapeText(std::string_view AText) {
  // One pass gives the same result as the three ordered replace-all passes: an inserted
  // entity's "&" is never looked at again.
  std::string Result;
  Result.reserve(AText.size() + AText.size() / 8);
  for (const char C : AText) {
    switch (C) {
      case '&':
        Result += "&amp;";
        break;
      case '<':
        Result += "&lt;";
        break;
      case '>':
        Result += "&gt;";
        break;
      default:
        Result.push_back(C);
        break;
    }
  }
  return Result;
}

void TBaseFileCreator::AppendUtf8(std::string& AOut, std::u32string_view AStr) {
  for (const char32_t C : AStr) lexmora::AppendUtf8(AOut, C);
}

void TBaseFileCreator::WriteFileContent(const std::string& AFileName, std::string_view AContent) {
  std::ofstream Out(AFileName, std::ios::binary | std::ios::trunc);
  if (!Out) throw std::runtime_error("Cannot create file " + AFileName);
  Out.write(AContent.data(), static_cast<std::streamsize>(AContent.size()));
  Out.close();
  if (!Out) throw std::runtime_error("Cannot write file " + AFileName);
}

}  // namespace lexmora
