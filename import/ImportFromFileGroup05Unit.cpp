#include "ImportFromFileGroup05Unit.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "AsciiTextUnit.h"
#include "DecimalNumberUnit.h"
#include "LocalizationUnit.h"
#include "Utf8PathUnit.h"
#include "Xliff2ReadUnit.h"
#include "XmlDomUnit.h"
#include "XmlEscapeUnit.h"

namespace lexmora {

namespace {

const char* const kGetDataName = "TImporterFromGroup05.GetDataFromFile";
const char* const kLanguagesName = "TImporterFromGroup05.DefineSrcAndTrgLanguages";

// Replaces every occurrence of AFrom in AText, left to right, without overlaps.
void ReplaceInText(std::string_view AText, const std::string& AFrom, const std::string& ATo, std::string& AOut) {
  std::size_t Start = 0;
  for (std::size_t Pos = AText.find(AFrom); Pos != std::string_view::npos; Pos = AText.find(AFrom, Start)) {
    AOut.append(AText.substr(Start, Pos - Start));
    AOut += ATo;
    Start = Pos + AFrom.size();
  }
  AOut.append(AText.substr(Start));
}

// Where the markup construct starting at APos ("<" in serialised XML) ends.
std::size_t MarkupEnd(const std::string& AText, std::size_t APos) {
  const auto After = [&](const char* AClose) {
    const std::size_t End = AText.find(AClose, APos + 1);
    return End == std::string::npos ? AText.size() : End + std::char_traits<char>::length(AClose);
  };
  if (AText.compare(APos, 9, "<![CDATA[") == 0) return After("]]>");
  if (AText.compare(APos, 4, "<!--") == 0) return After("-->");
  if (AText.compare(APos, 2, "<?") == 0) return After("?>");
  return After(">");
}

// Replaces every occurrence of AFrom in the text of the serialised XML AText, never inside
// markup: a token standing in an attribute value or a comment must not receive an element.
// Tokens hold no "<" (it is serialised as "&#60;"), so a match never spans markup.
void ReplaceAll(std::string& AText, const std::string& AFrom, const std::string& ATo) {
  if (AFrom.empty() || AText.find(AFrom) == std::string::npos) return;
  std::string Out;
  Out.reserve(AText.size() + ATo.size());
  std::size_t Pos = 0;
  while (Pos < AText.size()) {
    if (AText[Pos] == '<') {
      const std::size_t End = MarkupEnd(AText, Pos);
      Out.append(AText, Pos, End - Pos);
      Pos = End;
      continue;
    }
    std::size_t End = AText.find('<', Pos);
    if (End == std::string::npos) End = AText.size();
    ReplaceInText(std::string_view(AText).substr(Pos, End - Pos), AFrom, ATo, Out);
    Pos = End;
  }
  AText = std::move(Out);
}

// A decimal number with "," as separator: blanks, sign, digits, optional fraction and exponent.
bool ParseCommaDecimal(std::string_view AText, double& AValue) {
  const auto IsBlank = [](char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n'; };
  while (!AText.empty() && IsBlank(AText.front())) AText.remove_prefix(1);
  while (!AText.empty() && IsBlank(AText.back())) AText.remove_suffix(1);
  std::string Plain;
  std::size_t I = 0;
  if (I < AText.size() && (AText[I] == '+' || AText[I] == '-')) Plain += AText[I++];
  std::size_t Digits = 0;
  while (I < AText.size() && AText[I] >= '0' && AText[I] <= '9') Plain += AText[I++], ++Digits;
  if (I < AText.size() && AText[I] == ',') {
    Plain += '.';
    ++I;
    while (I < AText.size() && AText[I] >= '0' && AText[I] <= '9') Plain += AText[I++], ++Digits;
  }
  if (Digits == 0) return false;
  if (I < AText.size() && (AText[I] == 'e' || AText[I] == 'E')) {
    Plain += 'e';
    ++I;
    if (I < AText.size() && (AText[I] == '+' || AText[I] == '-')) Plain += AText[I++];
    std::size_t ExpDigits = 0;
    while (I < AText.size() && AText[I] >= '0' && AText[I] <= '9') Plain += AText[I++], ++ExpDigits;
    if (ExpDigits == 0) return false;
  }
  if (I != AText.size()) return false;
  // ParseDecimalNumber takes no "+"
  return ParseDecimalNumber(std::string_view(Plain).substr(Plain[0] == '+' ? 1 : 0), AValue) && std::isfinite(AValue);
}

}  // namespace

TImporterFromGroup05::TImporterFromGroup05(const std::string& ATempDir, const std::string& AFileFullName,
                                           bool ADoNotSeparateSpaces)
    : TImporter(ATempDir, AFileFullName, ADoNotSeparateSpaces),
      FTempFileName(ATempDir + Utf8FromPath(PathFromUtf8(AFileFullName).filename())) {
  FBodySliceBytes = TSlicedDocument::kSliceBytes;
}

TExtractFilesResult TImporterFromGroup05::ExtractFile() { return ExtractSingleDocument(FTempFileName); }

void TImporterFromGroup05::DefineSrcAndTrgLanguages() { ReadLanguagesOfFirstFile(FTempFileName, kLanguagesName); }

void TImporterFromGroup05::GetSrcFileNames() { FUnpackedFiles.push_back(FTempFileName); }

bool TImporterFromGroup05::GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                                           TArrayOfDiffInfoRecord& AResultData) {
  TXliff2Walker Walker;
  return WalkDocument(
      ASrcFile, AIsTerminateSet, [&](pugi::xml_node AChild) { ReadFileChild(AChild, Walker, ASrcFile, AResultData); },
      kGetDataName);
}

bool TImporterFromGroup05::GetDataFromText(std::string_view AData, const std::string& AFileName,
                                           const TIsTerminateSetFunc& AIsTerminateSet,
                                           TArrayOfDiffInfoRecord& AResultData) {
  TXliff2Walker Walker;
  return WalkDocumentText(
      AData, AIsTerminateSet, [&](pugi::xml_node AChild) { ReadFileChild(AChild, Walker, AFileName, AResultData); },
      kGetDataName);
}

void TImporterFromGroup05::ReadFileChild(pugi::xml_node AFileChild, TXliff2Walker& AWalker,
                                         const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData) {
  if (AWalker.IsXliff2(AFileChild)) {
    AWalker.WalkUnits(AFileChild, [&](pugi::xml_node AUnit, bool, TXmlNamespaceScope& AScope) {
      ReadUnit(AUnit, AScope, AFileName, AResultData);
    });
  } else if (IsElementNamed(AFileChild, "body")) {
    WalkBody(AFileChild, [&](pugi::xml_node AUnit) { ReadTransUnit(AUnit, AFileName, AResultData); });
  }
}

TImporterFromGroup05::TUnitState TImporterFromGroup05::UnitState(pugi::xml_node AUnit) {
  TUnitState S;
  S.ID = AttributeValue(AUnit, "id");
  S.IsLocked = HasAttribute(AUnit, "m:locked") && AsciiLowerCase(AttributeValue(AUnit, "m:locked")) == "true";
  S.Match = HasAttribute(AUnit, "m:score") ? ScoreToMatch(AttributeValue(AUnit, "m:score")) : "";
  return S;
}

void TImporterFromGroup05::ReadUnit(pugi::xml_node AUnit, TXmlNamespaceScope& AScope, const std::string& AFileName,
                                    TArrayOfDiffInfoRecord& AResultData) {
  const TUnitState Unit = UnitState(AUnit);
  if (Unit.ID.empty()) return;
  const pugi::xml_node SourceTags = LastChildNamed(AUnit, "m:tunit-metadata");
  const pugi::xml_node TargetTags = LastChildNamed(AUnit, "m:tunit-target-metadata");
  for (const TXliff2Segment& S : ReadXliff2Segments(AUnit, AScope, TXmlEscaping::xeNumeric))
    AppendSegmentRecord(AFileName, Unit.ID, S.SegmentID, ReplacePlaceholders(S.Source, SourceTags),
                        ReplacePlaceholders(S.Target, TargetTags), Unit.Match, Unit.IsLocked, AResultData);
}

void TImporterFromGroup05::ReadTransUnit(pugi::xml_node AUnit, const std::string& AFileName,
                                         TArrayOfDiffInfoRecord& AResultData) {
  const auto [ID, IsLocked, Match] = UnitState(AUnit);
  if (ID.empty()) return;
  const pugi::xml_node Source = LastChildNamed(AUnit, "source");
  const pugi::xml_node Target = LastChildNamed(AUnit, "target");
  if (!Source || !Target) throw EXmlError("The unit \"" + ID + "\" has no " + (Source ? "target" : "source"));
  std::string SourceText = ReplacePlaceholders(SerializeXml(Source, false), LastChildNamed(AUnit, "m:tunit-metadata"));
  std::string TargetText =
      ReplacePlaceholders(SerializeXml(Target, false), LastChildNamed(AUnit, "m:tunit-target-metadata"));
  AppendSegmentRecord(AFileName, ID, "", std::move(SourceText), std::move(TargetText), Match, IsLocked, AResultData);
}

std::string TImporterFromGroup05::ScoreToMatch(const std::string& AScore) {
  std::string Text = AScore;
  for (char& C : Text)
    if (C == '.') C = ',';
  double Value = 0;
  if (!ParseCommaDecimal(Text, Value)) Value = 0;
  if (!(Value > 0.001)) return "";
  const double Percent = Value * 100.0;
  // Scores are fractions of 1; anything beyond the 64-bit range is no percentage to round.
  if (Percent >= 9.2e18) return "";
  const int OldMode = std::fegetround();
  std::fesetround(FE_TONEAREST);  // halves to the even neighbour
  const double Rounded = std::nearbyint(Percent);
  std::fesetround(OldMode);
  return std::to_string(static_cast<std::int64_t>(Rounded));
}

TMemsourceTagDict TImporterFromGroup05::ReadTagMetadata(pugi::xml_node AMetadata) {
  TMemsourceTagDict Dict;
  if (!AMetadata) return Dict;
  for (pugi::xml_node Mark = AMetadata.first_child(); Mark; Mark = Mark.next_sibling()) {
    if (!IsElementNamed(Mark, "m:mark") || !HasAttribute(Mark, "id")) continue;
    TMemsourceTagDictRecord& R = Dict.emplace_back();
    R.FTagID = AttributeValue(Mark, "id");
    if (const pugi::xml_node Content = FindChildElement(Mark, "m:content"))
      R.FTagContent = SerializeXml(Content, false);
  }
  return Dict;
}

std::string TImporterFromGroup05::ReplacePlaceholders(const std::string& ASerialised, pugi::xml_node AMetadata) {
  std::string Text = ASerialised;
  for (const TMemsourceTagDictRecord& Tag : ReadTagMetadata(AMetadata)) {
    // Note: an empty id would turn every literal "{}" of the text into a tag.
    if (Tag.FTagID.empty()) continue;
    // As the serialiser writes text, so a token of an unusual id is found as it stands.
    std::string ID;
    AppendEscapedXmlText(ID, Tag.FTagID, TXmlEscaping::xeNumeric);
    ReplaceAll(Text, "{" + ID + "&#62;", InternalTagMarkup('x', Tag.FTagID, Tag.FTagContent));
    ReplaceAll(Text, "&#60;" + ID + "}", InternalTagMarkup('y', Tag.FTagID, Tag.FTagContent));
    ReplaceAll(Text, "{" + ID + "}", InternalTagMarkup('z', Tag.FTagID, Tag.FTagContent));
  }
  return Text;
}

}  // namespace lexmora
