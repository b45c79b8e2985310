#include "ImportFromFileGroup03Unit.h"

#include <filesystem>

#include "LocalizationUnit.h"
#include "XmlDomUnit.h"

namespace lexmora {

namespace {

const char* const kGetDataName = "TImporterFromGroup03.GetDataFromFile";
const char* const kLanguagesName = "TImporterFromGroup03.DefineSrcAndTrgLanguages";

std::string AsciiLower(std::string AText) {
  for (char& C : AText)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  return AText;
}

// Note: text inside a pending tracked deletion is not part of the current text; an insertion is.
bool IsTrackedDeletion(pugi::xml_node AElement) {
  return IsElementNamed(AElement, "mrk") && AttributeValue(AElement, "mtype") == "x-mq-tc" &&
         AttributeValue(AElement, "mq:tctype") == "del";
}

char TagLetter(TTagType AType) {
  switch (AType) {
    using enum TTagType;
    case ttBegin: return 'x';
    case ttEnd: return 'y';
    default: return 'z';
  }
}


}  // namespace

TImporterFromGroup03::TImporterFromGroup03(const std::string& ATempDir, const std::string& AFileFullName, bool ADoNotSeparateSpaces)
    : TImporter(ATempDir, AFileFullName, ADoNotSeparateSpaces),
      FTempFileName(ATempDir + std::filesystem::path(AFileFullName).filename().string()) {}

TExtractFilesResult TImporterFromGroup03::ExtractFile() { return ExtractSingleDocument(FTempFileName); }

void TImporterFromGroup03::DefineSrcAndTrgLanguages() { ReadLanguagesOfFirstFile(FTempFileName, kLanguagesName); }

void TImporterFromGroup03::GetSrcFileNames() { FUnpackedFiles.push_back(FTempFileName); }

bool TImporterFromGroup03::GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                                           TArrayOfDiffInfoRecord& AResultData) {
  return WalkDocument(
      ASrcFile, AIsTerminateSet, [&](pugi::xml_node AChild) { ReadFileChild(AChild, ASrcFile, AResultData); }, kGetDataName);
}

bool TImporterFromGroup03::GetDataFromText(std::string_view AData, const std::string& AFileName,
                                           const TIsTerminateSetFunc& AIsTerminateSet, TArrayOfDiffInfoRecord& AResultData) {
  return WalkDocumentText(
      AData, AIsTerminateSet, [&](pugi::xml_node AChild) { ReadFileChild(AChild, AFileName, AResultData); }, kGetDataName);
}

void TImporterFromGroup03::ReadFileChild(pugi::xml_node AFileChild, const std::string& AFileName,
                                         TArrayOfDiffInfoRecord& AResultData) {
  if (IsElementNamed(AFileChild, "body"))
    WalkBody(AFileChild, [&](pugi::xml_node AUnit) { ReadTransUnit(AUnit, AFileName, AResultData); });
}

void TImporterFromGroup03::ReadTransUnit(pugi::xml_node AUnit, const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData) {
  const std::string Guid = AttributeValue(AUnit, "mq:segmentguid");
  if (Guid.empty()) return;
  const std::string Match = AttributeValue(AUnit, "mq:translatorcommitmatchrate");
  const bool IsLocked = HasAttribute(AUnit, "mq:locked") && AsciiLower(AttributeValue(AUnit, "mq:locked")) == "locked";
  // Direct children only: older versions kept in mq:historical-unit are never the unit's text.
  const pugi::xml_node Source = LastChildNamed(AUnit, "source");
  const pugi::xml_node Target = LastChildNamed(AUnit, "target");
  if (!Source) return;
  if (!Target) throw EXmlError("The unit with the segment guid \"" + Guid + "\" has no target");
  const std::string SourceText = ConvertNode(Source);
  const std::string TargetText = ConvertNode(Target);
  AppendSegmentRecord(AFileName, Guid, "", SourceText, TargetText, Match, IsLocked, AResultData);
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
  std::string Out;
  if (!ANode) return Out;
  // Appends what Cur stands for; true when its children are to be converted.
  const auto Enter = [&](pugi::xml_node Cur) {
    if (Cur.type() == pugi::node_pcdata) {
      // Note: "{}" is memoQ's stand-in for an empty tag; alone it is no text.
      std::string Text = EscapeXmlText(Cur.value());
      if (Text != "{}") Out += Text;
      return false;
    }
    if (Cur.type() != pugi::node_element || IsTrackedDeletion(Cur)) return false;
    const TTagType Kind = ClassifyTag(Cur);
    if (Kind != TTagType::ttNotNeeded) {
      Out += '<';
      Out += TagLetter(Kind);
      Out += " id=\"";
      Out += EscapeXmlText(FindAttribute(Cur, "id").value());  // an id with a quote must not break the markup
      Out += "\">";
    }
    return true;
  };
  const auto Leave = [&](pugi::xml_node Cur) {
    const TTagType Kind = ClassifyTag(Cur);
    if (Kind == TTagType::ttNotNeeded) return;
    Out += "</";
    Out += TagLetter(Kind);
    Out += '>';
  };
  if (!Enter(ANode)) return Out;
  // Pre-order walk over parent links: no recursion, so nesting depth is no danger.
  pugi::xml_node Cur = ANode.first_child();
  while (Cur) {
    const bool Entered = Enter(Cur);
    if (Entered && Cur.first_child()) {
      Cur = Cur.first_child();
      continue;
    }
    if (Entered) Leave(Cur);
    while (Cur != ANode && !Cur.next_sibling()) {
      Cur = Cur.parent();
      if (Cur != ANode) Leave(Cur);
    }
    if (Cur == ANode) break;
    Cur = Cur.next_sibling();
  }
  Leave(ANode);
  return Out;
}

}  // namespace lexmora
