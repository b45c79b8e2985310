// TImporterFromGroup01: reader of SDL bilingual documents (.sdlxliff).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ImportFromBaseUnit.h"

namespace lexmora {

// One tag definition of a document header.
struct TSDLTagDictRecord {
  bool FIsBeginEndTag = false;   // paired tag (opening and closing part)
  std::string FTagID;
  std::string FTagContentBegin;  // escaped text of the opening part, or of the standalone tag
  std::string FTagContentEnd;    // escaped text of the closing part; empty for a standalone tag
};

class TImporterFromGroup01 : public TImporter {
 public:
  // Working copy: ATempDir + the input's file name. Touches no file.
  TImporterFromGroup01(const std::string& ATempDir, const std::string& AFileFullName, bool ADoNotSeparateSpaces);

  TExtractFilesResult ExtractFile() override;
  void DefineSrcAndTrgLanguages() override;  // logs "TImporterFromGroup01.DefineSrcAndTrgLanguages"
  void GetSrcFileNames() override;
  bool GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                       TArrayOfDiffInfoRecord& AResultData) override;  // logs "TImporterFromGroup01.GetDataFromFile"

  // The document walk over a document held in memory; records name AFileName as their file.
  bool GetDataFromText(std::string_view AData, const std::string& AFileName, const TIsTerminateSetFunc& AIsTerminateSet,
                       TArrayOfDiffInfoRecord& AResultData);

  const std::string& TempFileName() const { return FTempFileName; }
  const std::vector<TSDLTagDictRecord>& FagDict() const { return FFagDict; }

  // The first definition with exactly the id AID, or nullptr. A hash lookup.
  const TSDLTagDictRecord* FindTagDef(std::string_view AID) const;

  // A node and its content in internal markup (g/x by definition, deleted revisions left out).
  std::string ConvertNode(pugi::xml_node ANode) const;

 protected:
  // Segment elements of one unit by mid (target) or id (seg-defs); the first in document order wins.
  // Nearly every unit has one segment: a few are looked through, a hash map takes over beyond.
  class TNodeIndex {
   public:
    void Add(std::string_view AKey, pugi::xml_node ANode);
    pugi::xml_node Find(std::string_view AKey) const;  // empty when absent

   private:
    static constexpr std::size_t kListed = 8;
    std::vector<std::pair<std::string_view, pugi::xml_node>> FList;
    std::unordered_map<std::string_view, pugi::xml_node> FMap;  // all of them, once there are many
  };

  // Appends the definitions of a "tag-defs" element to FFagDict.
  void ReadTagDefs(pugi::xml_node ATagDefs);
  // One definition; FTagID stays empty unless ANode is a "tag" with an "id".
  static TSDLTagDictRecord ReadTagDef(pugi::xml_node ANode);
  // Escaped text content of a definition part.
  static std::string TagDefText(pugi::xml_node ANode);

  void ReadTransUnit(pugi::xml_node AUnit, const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData);
  void ReadSourceSegments(pugi::xml_node ASegSource, pugi::xml_node ATarget, pugi::xml_node ASegDefs,
                          const std::string& AUnitID, const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData);
  static TNodeIndex IndexTargetSegments(pugi::xml_node ATarget);
  static TNodeIndex IndexSegmentDefs(pugi::xml_node ASegDefs);
  // The target segment with mid AMid converted and trimmed; empty when there is none.
  std::string FindTargetSegment(std::string_view AMid, const TNodeIndex& ATargets) const;
  // Match text and lock flag of segment AMid; empty and false when there is none.
  static void FindSegmentDef(std::string_view AMid, const TNodeIndex& ASegDefs, std::string& AMatch, bool& AIsLocked);

  // Reads a "header" or "body" child of a "file" element.
  void ReadFileChild(pugi::xml_node AFileChild, const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData);

  std::string FTempFileName;
  std::vector<TSDLTagDictRecord> FFagDict;

 private:
  // Lets FindTagDef look up a string_view without building a string.
  struct TIdHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view AID) const { return std::hash<std::string_view>{}(AID); }
  };
  std::unordered_map<std::string, std::size_t, TIdHash, std::equal_to<>> FFagIndex;  // id -> first entry of FFagDict
};

}  // namespace lexmora
