#include "ExportToBaseUnit.h"

#include <filesystem>
#include <stdexcept>

#include "PlatformUnit.h"
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

bool TBaseFileCreator::AppendSpecialChar(std::string& AOut, char32_t AChar) {
  switch (AChar) {
    case U'&':
      AOut += "&amp;";
      return true;
    case U'<':
      AOut += "&lt;";
      return true;
    case U'>':
      AOut += "&gt;";
      return true;
    default:
      return false;
  }
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

void TBaseFileCreator::AddRun(bool AIsTrPart, std::string& ACurrStr, const TTextRun& ARun, bool APrevKept,
                              const TTagDict& ADict, const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag) {
  bool Last = APrevKept;
  if (!ARun.OpensWithChar) {
    // The steps before the first character have none on this side; one of them stands for all.
    AddStrToStr(AIsTrPart, ACurrStr, {}, ARun.FirstPos - 1, ARun.Kept, Last, ADict, AIDDict, AShowTagsFlag);
    Last = ARun.Kept;
  }
  for (std::size_t I = 0; I < ARun.Text.size(); ++I) {
    AddStrToStr(AIsTrPart, ACurrStr, ARun.Text.substr(I, 1), ARun.FirstPos + static_cast<std::int32_t>(I), ARun.Kept,
                Last, ADict, AIDDict, AShowTagsFlag);
    Last = ARun.Kept;
  }
}

void TBaseFileCreator::AppendUtf8(std::string& AOut, std::u32string_view AStr) {
  for (const char32_t C : AStr) lexmora::AppendUtf8(AOut, C);
}

void TBaseFileCreator::WriteFileContent(const std::string& AFileName, std::string_view AContent) {
  const TFileOutcome Written = WriteFilePieces(AFileName, {AContent});
  if (Written) return;
  throw std::runtime_error((Written.Step == TFileStep::fsCreate ? "Cannot create file " : "Cannot write file ") +
                           AFileName + ": " + Written.Reason());
}

void TBaseFileCreator::WriteNewFile(const std::string& AFileName, std::string_view AContent) {
  WriteNewFile(AFileName, std::vector<std::string_view>{AContent});
}

void TBaseFileCreator::WriteNewFile(const std::string& AFileName, const std::vector<std::string_view>& APieces) {
  std::string Temp;
  if (const TFileOutcome Created = CreateUniqueFile(AFileName + ".", ".tmp", Temp); !Created)
    throw std::runtime_error("cannot create a temporary file: " + Created.Reason());
  const auto Fail = [&Temp](const std::string& AWhat) {
    std::error_code Ec;
    std::filesystem::remove(Temp, Ec);
    throw std::runtime_error(AWhat);
  };
  if (const TFileOutcome Written = WriteFilePieces(Temp, APieces); !Written) Fail("cannot write: " + Written.Reason());
  if (const TFileOutcome Moved = RenameNoReplace(Temp, AFileName); !Moved) {
    if (Moved.Result == TFileResult::frExists) Fail("a file of this name exists already");
    Fail("cannot rename the temporary file: " + Moved.Reason());
  }
}

}  // namespace lexmora
