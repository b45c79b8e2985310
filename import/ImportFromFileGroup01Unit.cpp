#include "ImportFromFileGroup01Unit.h"

#include <filesystem>
#include <functional>

#include "AsciiTextUnit.h"
#include "Utf8PathUnit.h"
#include "XmlDomUnit.h"
#include "XmlEscapeUnit.h"

namespace lexmora {

namespace {

const char* const kGetDataName = "TImporterFromGroup01.GetDataFromFile";

// A segment "mrk": has "mtype" and "mid", and the mtype is "seg".
bool IsSegmentMrk(pugi::xml_node AMrk) {
  const pugi::xml_attribute MType = FindAttribute(AMrk, "mtype");
  return MType && HasAttribute(AMrk, "mid") && std::string_view(MType.value()) == "seg";
}

// ConvertNode's view of the SDL elements.
class TSDLSegmentConverter : public TSegmentConverter {
 public:
  explicit TSDLSegmentConverter(const TImporterFromGroup01& AReader) : FReader(AReader) {}

  bool EnterElement(pugi::xml_node AElement, std::string& AOut) override {
    // Note: a pending tracked deletion is not part of the current text; an addition is.
    if (IsElementNamed(AElement, "mrk") && AttributeValue(AElement, "mtype") == "x-sdl-deleted") return false;
    if (const TSDLTagDictRecord* Def = TagDefOf(AElement)) {
      const std::string ID = FindAttribute(AElement, "id").value();
      AOut += InternalTagMarkup(Def->FIsBeginEndTag ? 'x' : 'z', ID, Def->FTagContentBegin);
    }
    return true;
  }

  void LeaveElement(pugi::xml_node AElement, std::string& AOut) override {
    if (const TSDLTagDictRecord* Def = TagDefOf(AElement); Def && Def->FIsBeginEndTag)
      AOut += InternalTagMarkup('y', FindAttribute(AElement, "id").value(), Def->FTagContentEnd);
  }

 private:
  const TSDLTagDictRecord* TagDefOf(pugi::xml_node AElement) const {
    if (!IsElementNamed(AElement, "g") && !IsElementNamed(AElement, "x")) return nullptr;
    const pugi::xml_attribute ID = FindAttribute(AElement, "id");
    return ID ? FReader.FindTagDef(ID.value()) : nullptr;
  }

  const TImporterFromGroup01& FReader;
};

}  // namespace

TImporterFromGroup01::TImporterFromGroup01(const std::string& ATempDir, const std::string& AFileFullName,
                                           bool ADoNotSeparateSpaces)
    : TImporter(ATempDir, AFileFullName, ADoNotSeparateSpaces),
      FTempFileName(ATempDir + Utf8FromPath(PathFromUtf8(AFileFullName).filename())) {
  FBodySliceBytes = TSlicedDocument::kSliceBytes;
}

TExtractFilesResult TImporterFromGroup01::ExtractFile() { return ExtractSingleDocument(FTempFileName); }

void TImporterFromGroup01::DefineSrcAndTrgLanguages() {
  ReadLanguagesOfFirstFile(FTempFileName, "TImporterFromGroup01.DefineSrcAndTrgLanguages");
}

void TImporterFromGroup01::GetSrcFileNames() { FUnpackedFiles = {FTempFileName}; }

bool TImporterFromGroup01::GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                                           TArrayOfDiffInfoRecord& AResultData) {
  return WalkDocument(
      ASrcFile, AIsTerminateSet, [&](pugi::xml_node AChild) { ReadFileChild(AChild, ASrcFile, AResultData); },
      kGetDataName);
}

bool TImporterFromGroup01::GetDataFromText(std::string_view AData, const std::string& AFileName,
                                           const TIsTerminateSetFunc& AIsTerminateSet,
                                           TArrayOfDiffInfoRecord& AResultData) {
  return WalkDocumentText(
      AData, AIsTerminateSet, [&](pugi::xml_node AChild) { ReadFileChild(AChild, AFileName, AResultData); },
      kGetDataName);
}

void TImporterFromGroup01::ReadFileChild(pugi::xml_node AFileChild, const std::string& AFileName,
                                         TArrayOfDiffInfoRecord& AResultData) {
  if (IsElementNamed(AFileChild, "header")) {
    // Read before a following body, so its definitions are known there.
    for (pugi::xml_node C = AFileChild.first_child(); C; C = C.next_sibling())
      if (IsElementNamed(C, "tag-defs")) ReadTagDefs(C);
  } else if (IsElementNamed(AFileChild, "body")) {
    WalkBody(AFileChild, [&](pugi::xml_node AUnit) { ReadTransUnit(AUnit, AFileName, AResultData); });
  }
}

const TSDLTagDictRecord* TImporterFromGroup01::FindTagDef(std::string_view AID) const {
  const auto It = FFagIndex.find(AID);
  return It == FFagIndex.end() ? nullptr : &FFagDict[It->second];
}

std::string TImporterFromGroup01::ConvertNode(pugi::xml_node ANode) const {
  TSDLSegmentConverter Converter(*this);
  return ConvertTree(ANode, Converter);
}

void TImporterFromGroup01::ReadTagDefs(pugi::xml_node ATagDefs) {
  for (pugi::xml_node C = ATagDefs.first_child(); C; C = C.next_sibling()) {
    TSDLTagDictRecord Rec = ReadTagDef(C);
    if (Rec.FTagID.empty()) continue;
    // Real documents define one tag per occurrence; the index keeps the first of an id.
    FFagIndex.emplace(Rec.FTagID, FFagDict.size());
    FFagDict.push_back(std::move(Rec));
  }
}

TSDLTagDictRecord TImporterFromGroup01::ReadTagDef(pugi::xml_node ANode) {
  TSDLTagDictRecord Rec;
  if (!IsElementNamed(ANode, "tag") || !HasAttribute(ANode, "id")) return Rec;
  Rec.FTagID = AttributeValue(ANode, "id");
  for (pugi::xml_node C = ANode.first_child(); C; C = C.next_sibling()) {
    if (IsElementNamed(C, "bpt")) {
      Rec.FIsBeginEndTag = true;
      Rec.FTagContentBegin = TagDefText(C);
    } else if (IsElementNamed(C, "ept")) {
      Rec.FTagContentEnd = TagDefText(C);
    } else if (IsElementNamed(C, "ph") || IsElementNamed(C, "st")) {
      Rec.FIsBeginEndTag = false;
      Rec.FTagContentBegin = TagDefText(C);
    }
  }
  return Rec;
}

std::string TImporterFromGroup01::TagDefText(pugi::xml_node ANode) {
  std::string Out;
  if (ANode.type() == pugi::node_pcdata) return EscapeXmlText(ANode.value());
  // Concatenated text of every descendant text node, in document order; iterative.
  pugi::xml_node Cur = ANode.first_child();
  while (Cur) {
    if (Cur.type() == pugi::node_pcdata) AppendEscapedXmlText(Out, Cur.value());
    if (Cur.first_child()) {
      Cur = Cur.first_child();
      continue;
    }
    while (Cur != ANode && !Cur.next_sibling()) Cur = Cur.parent();
    if (Cur == ANode) break;
    Cur = Cur.next_sibling();
  }
  return Out;
}

void TImporterFromGroup01::ReadTransUnit(pugi::xml_node AUnit, const std::string& AFileName,
                                         TArrayOfDiffInfoRecord& AResultData) {
  const std::string UnitID = AttributeValue(AUnit, "id");
  if (UnitID.empty()) return;
  pugi::xml_node SegSource, Target, SegDefs;
  for (pugi::xml_node C = AUnit.first_child(); C; C = C.next_sibling()) {
    if (IsElementNamed(C, "seg-source"))
      SegSource = C;
    else if (IsElementNamed(C, "target"))
      Target = C;
    else if (IsElementNamed(C, "sdl:seg-defs"))
      SegDefs = C;
  }
  ReadSourceSegments(SegSource, Target, SegDefs, UnitID, AFileName, AResultData);
}

void TImporterFromGroup01::ReadSourceSegments(pugi::xml_node ASegSource, pugi::xml_node ATarget,
                                              pugi::xml_node ASegDefs, const std::string& AUnitID,
                                              const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData) {
  if (!ASegSource) return;
  // Indexes are built on the first segment, so a unit costs time linear in its size.
  bool Indexed = false;
  TNodeIndex Targets, Defs;
  ForEachOutermost(ASegSource, "mrk", [&](pugi::xml_node AMrk) {
    if (!IsSegmentMrk(AMrk)) return;  // a comment or revision mark hides whatever it wraps
    const std::string Mid = AttributeValue(AMrk, "mid");
    if (Mid.empty()) return;
    if (!Indexed) {
      Targets = IndexTargetSegments(ATarget);
      Defs = IndexSegmentDefs(ASegDefs);
      Indexed = true;
    }
    std::string ResultStr = FindTargetSegment(Mid, Targets);
    std::string Match;
    bool IsLocked = false;
    FindSegmentDef(Mid, Defs, Match, IsLocked);
    TSDLSegmentConverter Converter(*this);
    std::string SourceStr = ConvertSegmentXml(AMrk, Converter);
    AppendSegmentRecord(AFileName, AUnitID, Mid, std::move(SourceStr), std::move(ResultStr), Match, IsLocked,
                        AResultData);
  });
}

TImporterFromGroup01::TNodeIndex TImporterFromGroup01::IndexTargetSegments(pugi::xml_node ATarget) {
  TNodeIndex Index;
  ForEachOutermost(ATarget, "mrk", [&](pugi::xml_node AMrk) {
    if (IsSegmentMrk(AMrk)) Index.Add(FindAttribute(AMrk, "mid").value(), AMrk);
  });
  return Index;
}

TImporterFromGroup01::TNodeIndex TImporterFromGroup01::IndexSegmentDefs(pugi::xml_node ASegDefs) {
  TNodeIndex Index;
  ForEachOutermost(ASegDefs, "sdl:seg", [&](pugi::xml_node ASeg) {
    if (const pugi::xml_attribute ID = FindAttribute(ASeg, "id")) Index.Add(ID.value(), ASeg);
  });
  return Index;
}

std::string TImporterFromGroup01::FindTargetSegment(std::string_view AMid, const TNodeIndex& ATargets) const {
  const pugi::xml_node Target = ATargets.Find(AMid);
  if (!Target) return {};
  TSDLSegmentConverter Converter(*this);
  std::string Text = ConvertSegmentXml(Target, Converter);
  TrimBlanksInPlace(Text);
  return Text;
}

void TImporterFromGroup01::FindSegmentDef(std::string_view AMid, const TNodeIndex& ASegDefs, std::string& AMatch,
                                          bool& AIsLocked) {
  AMatch.clear();
  AIsLocked = false;
  const pugi::xml_node Def = ASegDefs.Find(AMid);
  if (!Def) return;
  AMatch = AttributeValue(Def, "percent");
  AIsLocked = AsciiLowerCase(AttributeValue(Def, "locked")) == "true";
}

void TImporterFromGroup01::TNodeIndex::Add(std::string_view AKey, pugi::xml_node ANode) {
  if (!FMap.empty()) {
    FMap.emplace(AKey, ANode);
    return;
  }
  for (const auto& [Key, Node] : FList)
    if (Key == AKey) return;
  FList.emplace_back(AKey, ANode);
  if (FList.size() <= kListed) return;
  FMap.reserve(FList.size() * 2);
  for (const auto& [Key, Node] : FList) FMap.emplace(Key, Node);
  FList.clear();
}

pugi::xml_node TImporterFromGroup01::TNodeIndex::Find(std::string_view AKey) const {
  if (!FMap.empty()) {
    const auto It = FMap.find(AKey);
    return It == FMap.end() ? pugi::xml_node() : It->second;
  }
  for (const auto& [Key, Node] : FList)
    if (Key == AKey) return Node;
  return {};
}

}  // namespace lexmora
