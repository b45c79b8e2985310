// The SDLXLIFF reader on small documents, one named row per behaviour.
#include <gtest/gtest.h>

#include <vector>

#include "ImportTestSupport.h"

using namespace lexmora;
using namespace lexmora::test;

namespace {

struct TExpected {
  std::string Unit, Seg, Src, Res, Match;
  bool Locked = false;
};

struct TCase {
  const char* Name;
  std::string Doc;
  std::vector<TExpected> Records;
};

// Tag 1 paired (bold), tag 2 standalone (line break), tag 3 standalone with a guillemet.
const std::string kDefs =
    "<tag-defs><tag id=\"1\"><bpt>&lt;b&gt;</bpt><ept>&lt;/b&gt;</ept></tag>"
    "<tag id=\"2\"><ph>&lt;br/&gt;</ph></tag><tag id=\"3\"><ph>\xC2\xAB</ph></tag></tag-defs>";
const std::string kB = "<x id=\"1\">&lt;b&gt;</x>";
const std::string kEndB = "<y id=\"1\">&lt;/b&gt;</y>";
const std::string kBr = "<z id=\"2\">&lt;br/&gt;</z>";

std::string Unit(const std::string& AId, const std::string& ASrc, const std::string& ATrg, const std::string& ADefs = "") {
  return "<trans-unit id=\"" + AId + "\"><source>ignored</source><seg-source>" + ASrc + "</seg-source>" + ATrg + ADefs +
         "</trans-unit>";
}
std::string Seg(const std::string& AMid, const std::string& AText) {
  return "<mrk mtype=\"seg\" mid=\"" + AMid + "\">" + AText + "</mrk>";
}
std::string Target(const std::string& AContent) { return "<target>" + AContent + "</target>"; }
std::string SegDefs(const std::string& AContent) { return "<sdl:seg-defs>" + AContent + "</sdl:seg-defs>"; }

std::vector<TCase> Cases() {
  return {
      {"TwoSegmentsInOneUnitInSourceOrder",
       SdlDoc(Unit("u1", Seg("1", "A") + " " + Seg("2", "B"), Target(Seg("2", "b") + Seg("1", "a")))),
       {{"u1", "1", "A", "a", ""}, {"u1", "2", "B", "b", ""}}},
      {"TargetTrimmedSourceNot", SdlDoc(Unit("u", Seg("1", " Hi "), Target(Seg("1", " \tHallo\n ")))),
       {{"u", "1", " Hi ", "Hallo", ""}}},
      {"LockedInAnyLetterCase",
       SdlDoc(Unit("u", Seg("1", "a") + Seg("2", "b") + Seg("3", "c") + Seg("4", "d"), "",
                   SegDefs("<sdl:seg id=\"1\" locked=\"True\"/><sdl:seg id=\"2\" locked=\"false\"/>"
                           "<sdl:seg id=\"3\"/><sdl:seg id=\"4\" locked=\"TRUE\" percent=\"99\"/>"))),
       {{"u", "1", "a", "", "", true}, {"u", "2", "b", "", ""}, {"u", "3", "c", "", ""}, {"u", "4", "d", "", "99", true}}},
      {"PercentZeroIsKept", SdlDoc(Unit("u", Seg("1", "a"), "", SegDefs("<sdl:seg id=\"1\" percent=\"0\"/>"))),
       {{"u", "1", "a", "", "0"}}},
      {"CommentMarkerAroundASourceSegmentHidesIt",
       SdlDoc(Unit("u", "<mrk mtype=\"x-sdl-comment\" sdl:cid=\"c1\">" + Seg("1", "A") + "</mrk>" + Seg("2", "B"),
                   Target(Seg("1", "a") + Seg("2", "b")))),
       {{"u", "2", "B", "b", ""}}},
      {"GuillemetInATagDefinitionIsCarriedUnchanged", SdlDoc(Unit("u", Seg("1", "x<x id=\"3\"/>"), ""), kDefs),
       {{"u", "1", "x<z id=\"3\">\xC2\xAB</z>", "", ""}}},
      {"MissingTargetAndSegDefs", SdlDoc(Unit("u", Seg("1", "a"), "")), {{"u", "1", "a", "", ""}}},
      {"UnitWithoutIdOrWithEmptyIdGivesNothing",
       SdlDoc("<trans-unit><seg-source>" + Seg("1", "a") + "</seg-source></trans-unit>" + Unit("", Seg("1", "b"), "")),
       {}},
      {"UnitIdIsTrimmed", SdlDoc(Unit(" 12 ", Seg("1", "a"), "")), {{"12", "1", "a", "", ""}}},
      {"UnitWithoutSegSourceOrSegmentMarks",
       SdlDoc("<trans-unit id=\"s\" translate=\"no\"><source><x id=\"2\"/></source></trans-unit>" +
              Unit("t", "<x id=\"2\"/> text", Target("x"))),
       {}},
      {"MarksThatAreNotSegmentsAreSkipped",
       SdlDoc(Unit("u", "<mrk mtype=\"seg\">no mid</mrk><mrk mtype=\"seg\" mid=\"\">empty mid</mrk>"
                        "<mrk mid=\"5\">no mtype</mrk><mrk mtype=\"Seg\" mid=\"6\">case</mrk>" + Seg("7", "ok"),
                   "")),
       {{"u", "7", "ok", "", ""}}},
      {"HeaderAfterBodyDefinesNothingForThatBody",
       "<xliff><file source-language=\"en\" target-language=\"de\"><body>" +
           Unit("u", Seg("1", "<g id=\"1\">A</g><x id=\"2\"/>"), "") + "</body><header>" + kDefs +
           "</header></file><file><body>" + Unit("v", Seg("1", "<g id=\"1\">A</g><x id=\"2\"/>"), "") +
           "</body></file></xliff>",
       {{"u", "1", "A", "", ""}, {"v", "1", kB + "A" + kEndB + kBr, "", ""}}},
      {"FirstDefinitionOfAnIdWins",
       SdlDoc(Unit("u", Seg("1", "<x id=\"9\"/>"), ""),
              "<tag-defs><tag id=\"9\"><ph>first</ph></tag><tag id=\"9\"><ph>second</ph></tag>"
              "<tag><ph>no id</ph></tag><other id=\"8\"/></tag-defs>"),
       {{"u", "1", "<z id=\"9\">first</z>", "", ""}}},
      {"LaterPartOfADefinitionWinsAndTextIsConcatenated",
       SdlDoc(Unit("u", Seg("1", "<g id=\"4\">a</g><g id=\"5\">b</g><x id=\"6\"/>"), ""),
              "<tag-defs><tag id=\"4\"><bpt>open</bpt><ph>ph<sub>inner</sub>text</ph></tag>"
              "<tag id=\"5\"><ph>p</ph><bpt>b &amp; \"q\"</bpt><ept>e</ept></tag><tag id=\"6\"/></tag-defs>"),
       {{"u", "1", "<z id=\"4\">phinnertext</z>a<x id=\"5\">b &amp; &quot;q&quot;</x>b<y id=\"5\">e</y><z id=\"6\"></z>", "",
         ""}}},
      {"PendingDeletionsLeftOutAdditionsAndCommentsKept",
       SdlDoc(Unit("u", Seg("1", "The old house"),
                   Target(Seg("1", "Das <mrk mtype=\"x-sdl-deleted\" sdl:revid=\"r1\">alte <g id=\"1\">fette</g> </mrk>"
                                   "<mrk mtype=\"x-sdl-added\" sdl:revid=\"r2\">neue </mrk>Haus"
                                   "<mrk mtype=\"x-sdl-comment\" sdl:cid=\"c\">!</mrk>"))),
              kDefs),
       {{"u", "1", "The old house", "Das neue Haus!", ""}}},
      {"IdsAreEscapedInTheMarkup",
       SdlDoc(Unit("u", Seg("1", "<x id=\"a&quot;&lt;&amp;'\"/>"), ""),
              "<tag-defs><tag id=\"a&quot;&lt;&amp;'\"><ph>v</ph></tag></tag-defs>"),
       {{"u", "1", "<z id=\"a&quot;&lt;&amp;&apos;\">v</z>", "", ""}}},
      {"BlankBetweenTagsIsKept",
       SdlDoc(Unit("u", Seg("1", "<g id=\"1\">A</g> <x id=\"2\"/>\n<x id=\"2\"/>"),
                   Target(Seg("1", " <x id=\"2\"/> <x id=\"2\"/> "))),
              kDefs),
       {{"u", "1", kB + "A" + kEndB + " " + kBr + "\n" + kBr, kBr + " " + kBr, ""}}},
      {"BlankOnlySegmentsKeepTheirBlanksInTheSourceOnly",
       SdlDoc(Unit("u", Seg("1", "  "), Target(Seg("1", " \n ")))), {{"u", "1", "  ", "", ""}}},
      {"TagsWithoutDefinitionOrIdGiveOnlyTheirContent",
       SdlDoc(Unit("u", Seg("1", "<g id=\"99\">X</g><x id=\"98\"/><g>Y</g><x/><bx id=\"1\"/>Z"), ""), kDefs),
       {{"u", "1", "XYZ", "", ""}}},
      {"SegmentsInsideGroupsAndInsideTargetFormatting",
       SdlDoc("<group><group>" + Unit("u", "<g id=\"1\">" + Seg("1", "S") + "</g>", Target("<g id=\"1\">" + Seg("1", "T") + "</g>")) +
                  "</group></group>",
              kDefs),
       {{"u", "1", "S", "T", ""}}},
      {"EntitiesAreDecodedAndEscapedAgain",
       SdlDoc(Unit("u", Seg("1", "a &amp; b &lt; c &#62; &#x263A; &apos;&quot;"), "")),
       {{"u", "1", "a &amp; b &lt; c &gt; \xE2\x98\xBA &apos;&quot;", "", ""}}},
      {"CdataAndCommentsContributeNothing",
       SdlDoc(Unit("u", Seg("1", "A<![CDATA[hidden]]>B<!-- note -->C"), "")), {{"u", "1", "ABC", "", ""}}},
      {"TargetInsideAnotherMarkIsNotFound",
       SdlDoc(Unit("u", Seg("1", "a"), Target("<mrk mtype=\"x-sdl-comment\">" + Seg("1", "hidden") + "</mrk>"))),
       {{"u", "1", "a", "", ""}}},
      {"FirstMatchingTargetAndSegDefWin",
       SdlDoc(Unit("u", Seg("1", "a"), Target(Seg("1", "first") + Seg("1", "second")),
                   SegDefs("<sdl:seg percent=\"1\"/><sdl:seg id=\"1\" percent=\"50\"><sdl:seg id=\"1\" percent=\"7\"/></sdl:seg>"
                           "<sdl:seg id=\"1\" percent=\"60\"/>"))),
       {{"u", "1", "a", "first", "50"}}},
      {"LastOfRepeatedUnitChildrenCounts",
       SdlDoc(Unit("u", Seg("1", "a"), Target(Seg("1", "old")) + Target(Seg("1", "new")),
                   SegDefs("<sdl:seg id=\"1\" percent=\"1\"/>") + SegDefs("<sdl:seg id=\"1\" percent=\"2\"/>"))),
       {{"u", "1", "a", "new", "2"}}},
      {"PrefixedAttributeNamesAreAccepted",
       SdlDoc(Unit("u", "<mrk sdl:mtype=\"seg\" sdl:mid=\"1\">a</mrk>", "",
                   SegDefs("<sdl:seg sdl:id=\"1\" sdl:percent=\"80\"/>"))),
       {{"u", "1", "a", "", "80"}}},
      {"OnlyFileChildrenOfTheRootAreRead",
       "<xliff><body>" + Unit("x", Seg("1", "no"), "") + "</body><file/><file source-language=\"en\"><body>" +
           Unit("y", Seg("1", "yes"), "") + "</body></file><sdl:file><body>" + Unit("z", Seg("1", "no"), "") +
           "</body></sdl:file></xliff>",
       {{"y", "1", "yes", "", ""}}},
      {"UnitsInsideUnitsAreNotReadTwice",
       SdlDoc("<trans-unit id=\"outer\"><seg-source>" + Seg("1", "o") + "</seg-source>" + Unit("inner", Seg("1", "i"), "") +
              "</trans-unit>"),
       {{"outer", "1", "o", "", ""}}},
  };
}

// A unit of many segments, targets and definitions in reverse order and each mid given twice:
// the first of a mid wins however many there are.
TEST(SdlReaderUnits, ManySegmentsFindTheirFirstTargetAndDefinition) {
  for (const int Count : {1, 7, 8, 9, 30}) {
    SCOPED_TRACE(Count);
    std::string Src, Trg, Defs;
    for (int M = 1; M <= Count; ++M) Src += Seg(std::to_string(M), "s" + std::to_string(M));
    for (int M = Count; M >= 1; --M) {
      Trg += Seg(std::to_string(M), "t" + std::to_string(M));
      Defs += "<sdl:seg id=\"" + std::to_string(M) + "\" percent=\"" + std::to_string(M) + "\"/>";
    }
    for (int M = 1; M <= Count; ++M) {  // the second of each mid, never taken
      Trg += Seg(std::to_string(M), "late");
      Defs += "<sdl:seg id=\"" + std::to_string(M) + "\" percent=\"0\" locked=\"true\"/>";
    }
    TArrayOfDiffInfoRecord Records;
    ASSERT_TRUE(ReadSdl(SdlDoc(Unit("u", Src, Target(Trg), SegDefs(Defs))), Records));
    ASSERT_EQ(Records.size(), static_cast<std::size_t>(Count));
    for (int M = 1; M <= Count; ++M) {
      const TDiffInfoRecord& R = Records[static_cast<std::size_t>(M - 1)];
      EXPECT_EQ(R.SegmentID, std::to_string(M));
      EXPECT_EQ(R.ResultStr, "t" + std::to_string(M));
      EXPECT_EQ(R.Match, std::to_string(M));
      EXPECT_FALSE(R.IsLocked);
    }
  }
}

class SdlReaderCase : public testing::TestWithParam<TCase> {};

TEST_P(SdlReaderCase, GivesTheExpectedRecords) {
  const TCase& C = GetParam();
  TArrayOfDiffInfoRecord Records;
  ASSERT_TRUE(ReadSdl(C.Doc, Records));
  ASSERT_EQ(Records.size(), C.Records.size());
  for (std::size_t I = 0; I < Records.size(); ++I) {
    const TDiffInfoRecord& R = Records[I];
    const TExpected& E = C.Records[I];
    SCOPED_TRACE("record " + std::to_string(I));
    EXPECT_EQ(R.UnitID, E.Unit);
    EXPECT_EQ(R.SegmentID, E.Seg);
    EXPECT_EQ(R.SourceString, E.Src);
    EXPECT_EQ(R.ResultStr, E.Res);
    EXPECT_EQ(R.Match, E.Match);
    EXPECT_EQ(R.IsLocked, E.Locked);
    EXPECT_EQ(R.FileName, "doc.sdlxliff");
  }
}

INSTANTIATE_TEST_SUITE_P(Sdl, SdlReaderCase, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<TCase>& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace
