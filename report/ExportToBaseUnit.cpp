#include "ExportToBaseUnit.h"

#include <fstream>
#include <stdexcept>

namespace lexmora {

TBaseFileCreator::TBaseFileCreator(const TDiffFileConstructorSettings& ASettings) : FSettings(ASettings) {}

TBaseFileCreator::~TBaseFileCreator() = default;

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
  for (char32_t C : AStr) {
    // Code points beyond Unicode or in the surrogate range cannot come from a decoded
    // UTF-8 text; they are written as U+FFFD rather than as invalid bytes.
    if (C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) C = 0xFFFD;
    if (C < 0x80) {
      AOut.push_back(static_cast<char>(C));
    } else if (C < 0x800) {
      AOut.push_back(static_cast<char>(0xC0 | (C >> 6)));
      AOut.push_back(static_cast<char>(0x80 | (C & 0x3F)));
    } else if (C < 0x10000) {
      AOut.push_back(static_cast<char>(0xE0 | (C >> 12)));
      AOut.push_back(static_cast<char>(0x80 | ((C >> 6) & 0x3F)));
      AOut.push_back(static_cast<char>(0x80 | (C & 0x3F)));
    } else {
      AOut.push_back(static_cast<char>(0xF0 | (C >> 18)));
      AOut.push_back(static_cast<char>(0x80 | ((C >> 12) & 0x3F)));
      AOut.push_back(static_cast<char>(0x80 | ((C >> 6) & 0x3F)));
      AOut.push_back(static_cast<char>(0x80 | (C & 0x3F)));
    }
  }
}

void TBaseFileCreator::WriteFileContent(const std::string& AFileName, std::string_view AContent) {
  std::ofstream Out(AFileName, std::ios::binary | std::ios::trunc);
  if (!Out) throw std::runtime_error("Cannot create file " + AFileName);
  Out.write(AContent.data(), static_cast<std::streamsize>(AContent.size()));
  Out.close();
  if (!Out) throw std::runtime_error("Cannot write file " + AFileName);
}

}  // namespace lexmora
