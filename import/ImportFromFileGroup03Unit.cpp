#include "ImportFromFileGroup03Unit.h"

#include <filesystem>

#include "AsciiTextUnit.h"
#include "Utf8PathUnit.h"
#include "XmlDomUnit.h"
#include "XmlEscapeUnit.h"

namespace lexmora {

namespace {

const char* const kGetDataName = "TImporterFromGroup03.GetDataFromFile";
const char* const kLanguagesName = "TImporterFromGroup03.DefineSrcAndTrgLanguages";

// Note: text inside a pending tracked deletion is not part of the current text; an insertion is.
bool IsTrackedDeletion(pugi::xml_node AElement) {
  return IsElementNamed(AElement, "mrk") && AttributeValue(AElement, "mtype") == "x-mq-tc" &&
         AttributeValue(AElement, "mq:tctype") == "del";
}

char TagLetter(TTagType AType) {
  switch (AType) {
    using enum TTagType;
    case ttBegin:
      return 'x';
    case ttEnd:
      return 'y';
    default:
      return 'z';
  }
}

}  // namespace

// ConvertNode's view of the memoQ elements.
class TImporterFromGroup03::TMemoQConverter : public TSegmentConverter {
 public:
  void AppendText(pugi::xml_node AText, std::string& AOut) override {
    if (AText.type() != pugi::node_pcdata) return;
    // Note: "{}" is memoQ's stand-in for an empty tag; alone it is no text.
    std::string Text = EscapeXmlText(AText.value());
    if (Text != "{}") AOut += Text;
  }
  bool EnterElement(pugi::xml_node AElement, std::string& AOut) override {
    if (IsTrackedDeletion(AElement)) return false;
    const TTagType Kind = ClassifyTag(AElement);
    if (Kind != TTagType::ttNotNeeded) {
      AOut += '<';
      AOut += TagLetter(Kind);
      AOut += " id=\"";
      AOut += EscapeXmlText(FindAttribute(AElement, "id").value());  // an id with a quote must not break the markup
      AOut += "\">";
    }
    return true;
  }
  void LeaveElement(pugi::xml_node AElement, std::string& AOut) override {
    const TTagType Kind = ClassifyTag(AElement);
    if (Kind == TTagType::ttNotNeeded) return;
    AOut += "</";
    AOut += TagLetter(Kind);
    AOut += '>';
  }
};

TImporterFromGroup03::TImporterFromGroup03(const std::string& ATempDir, const std::string& AFileFullName,
                                           bool ADoNotSeparateSpaces)
    : TImporter(ATempDir, AFileFullName, ADoNotSeparateSpaces),
      FTempFileName(ATempDir + Utf8FromPath(PathFromUtf8(AFileFullName).filename())) {
  FBodySliceBytes = TSlicedDocument::kSliceBytes;
}

TExtractFilesResult TImporterFromGroup03::ExtractFile() { return ExtractSingleDocument(FTempFileName); }

void TImporterFromGroup03::DefineSrcAndTrgLanguages() { ReadLanguagesOfFirstFile(FTempFileName, kLanguagesName); }

void TImporterFromGroup03::GetSrcFileNames() { FUnpackedFiles.push_back(FTempFileName); }

bool TImporterFromGroup03::GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                                           TArrayOfDiffInfoRecord& AResultData) {
  return WalkDocument(
      ASrcFile, AIsTerminateSet, [&](pugi::xml_node AChild) { ReadFileChild(AChild, ASrcFile, AResultData); },
      kGetDataName);
}

bool TImporterFromGroup03::GetDataFromText(std::string_view AData, const std::string& AFileName,
                                           const TIsTerminateSetFunc& AIsTerminateSet,
                                           TArrayOfDiffInfoRecord& AResultData) {
  return WalkDocumentText(
      AData, AIsTerminateSet, [&](pugi::xml_node AChild) { ReadFileChild(AChild, AFileName, AResultData); },
      kGetDataName);
}

void TImporterFromGroup03::ReadFileChild(pugi::xml_node AFileChild, const std::string& AFileName,
                                         TArrayOfDiffInfoRecord& AResultData) {
  if (IsElementNamed(AFileChild, "body"))
    WalkBody(AFileChild, [&](pugi::xml_node AUnit) { ReadTransUnit(AUnit, AFileName, AResultData); });
}

void TImporterFromGroup03::ReadTransUnit(pugi::xml_node AUnit, const std::string& AFileName,
                                         TArrayOfDiffInfoRecord& AResultData) {
  const std::string Guid = AttributeValue(AUnit, "mq:segmentguid");
  if (Guid.empty()) return;
  const std::string Match = AttributeValue(AUnit, "mq:translatorcommitmatchrate");
  const bool IsLocked =
      HasAttribute(AUnit, "mq:locked") && AsciiLowerCase(AttributeValue(AUnit, "mq:locked")) == "locked";
  // Direct children only: older versions kept in mq:historical-unit are never the unit's text.
  const pugi::xml_node Source = LastChildNamed(AUnit, "source");
  const pugi::xml_node Target = LastChildNamed(AUnit, "target");
  if (!Source) return;
  if (!Target) throw EXmlError("The unit with the segment guid \"" + Guid + "\" has no target");
  std::string SourceText = ConvertNode(Source);
  std::string TargetText = ConvertNode(Target);
  AppendSegmentRecord(AFileName, Guid, "", std::move(SourceText), std::move(TargetText), Match, IsLocked, AResultData);
}

TTagType TImporterFromGroup03::ClassifyTag(pugi::xml_node AElement) {
  using enum TTagType;
  if (!HasAttribute(AElement, "id")) return ttNotNeeded;
  if (ElementText(AElement) == "{}") return ttNotNeeded;  // throws on mixed content
  if (IsElementNamed(AElement, "bpt")) return ttBegin;
  if (IsElementNamed(AElement, "ept")) return ttEnd;
  return ttFull;
}

std::string TImporterFromGroup03::ConvertNode(pugi::xml_node ANode) {
  TMemoQConverter Converter;
  return ConvertTree(ANode, Converter);
}

}  // namespace lexmora
