// ConvertSegmentXml works on the parsed tree instead of serialising each segment and parsing it
// again as the content of a fresh "ROOT" element. These tests prove both give the same text: the
// reference below does the literal round trip (with blank-only text kept) through two different
// serialisers, on named documents and on thousands of random ones.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "ImportTestSupport.h"
#include "XmlDomUnit.h"

using namespace lexmora;
using namespace lexmora::test;

namespace {

const char* const kDefs =
    "<tag-defs><tag id=\"1\"><bpt>&lt;b&gt;</bpt><ept>&lt;/b&gt;</ept></tag><tag id=\"2\"><ph>&lt;br/&gt;</ph></tag>"
    "<tag id=\"q&quot;\"><ph>\xC2\xAB</ph></tag></tag-defs>";

class TEquivalence {
 public:
  TEquivalence() : FReader("/t/", "/in/a.sdlxliff", false) {
    pugi::xml_document Defs;
    LoadXmlText(Defs, kDefs, true);
    FReader.ReadTagDefs(Defs.document_element());
  }

  // The segment element: the first "mrk" of ASegmentXml parsed as the reader parses documents.
  void Check(const std::string& ASegmentXml, bool AWithPugiPrint = true) {
    pugi::xml_document Doc;
    LoadXmlText(Doc, "<seg-source>" + ASegmentXml + "</seg-source>", true);
    const pugi::xml_node Segment = Doc.document_element().first_child();
    ASSERT_TRUE(Segment) << ASegmentXml;
    const std::string Direct = FReader.ConvertNode(Segment);
    EXPECT_EQ(Direct, RoundTrip(SerializeXml(Segment, true))) << ASegmentXml;
    if (AWithPugiPrint) {
      std::ostringstream Printed;
      Segment.print(Printed, "", pugi::format_raw, pugi::encoding_utf8);
      EXPECT_EQ(Direct, RoundTrip(Printed.str())) << ASegmentXml;
    }
    ++FChecked;
  }

  int Checked() const { return FChecked; }

 private:
  // The literal re-reading: a fresh document, a "ROOT" element, the markup parsed as its content.
  std::string RoundTrip(const std::string& AMarkup) {
    pugi::xml_document Fresh;
    pugi::xml_node Root = Fresh.append_child("ROOT");
    ParseAsContent(Root, AMarkup, true);
    return FReader.ConvertNode(Root);
  }

  TOpenGroup01 FReader;
  int FChecked = 0;
};

TEST(ConvertSegmentEquivalence, NamedCases) {
  const char* Cases[] = {
      "<mrk mtype=\"seg\" mid=\"1\">plain</mrk>",
      "<mrk mtype=\"seg\" mid=\"1\"></mrk>",
      "<mrk mtype=\"seg\" mid=\"1\"/>",
      "<mrk mtype=\"seg\" mid=\"1\">   </mrk>",
      "<mrk mtype=\"seg\" mid=\"1\"> lead and trail\t\n</mrk>",
      "<mrk mtype=\"seg\" mid=\"1\"><g id=\"1\">a</g> <x id=\"2\"/>\n\t<x id=\"2\"/> </mrk>",
      "<mrk mtype=\"seg\" mid=\"1\">&amp;&lt;&gt;&quot;&apos; &#60;b&#62; &#x263A; &#169;</mrk>",
      "<mrk mtype=\"seg\" mid=\"1\">a<mrk mtype=\"x-sdl-comment\" sdl:cid=\"c\">b<mrk mtype=\"x-sdl-added\">c</mrk></mrk>d</mrk>",
      "<mrk mtype=\"seg\" mid=\"1\">a<mrk mtype=\"x-sdl-deleted\">gone <g id=\"1\">x</g></mrk>b</mrk>",
      "<mrk mtype=\"seg\" mid=\"1\"><g id=\"77\">undefined</g><x id=\"78\"/><g>no id</g><x/></mrk>",
      "<mrk mtype=\"seg\" mid=\"1\">a<!-- comment -->b<!--x--> <!--y--></mrk>",
      "<mrk mtype=\"seg\" mid=\"1\">a<![CDATA[in <cdata> ]]> ]]>b<![CDATA[]]> </mrk>",
      "<mrk mtype=\"seg\" mid=\"1\">a<?pi data?>b</mrk>",
      "<mrk mtype=\"seg\" mid=\"1\"><x id=\"q&quot;\"/><g id=\"1\" ctype=\"x&lt;&amp;\"><g id=\"1\"><g id=\"2\">deep</g></g></g></mrk>",
      "<mrk mtype=\"seg\" mid=\"1\">\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80</mrk>",
      "<mrk mtype=\"seg\" mid=\"1\">line\r\nbreaks\rhere</mrk>",
  };
  TEquivalence E;
  for (const char* C : Cases) E.Check(C);
  // Character references to control characters survive only with numeric references on output.
  E.Check("<mrk mtype=\"seg\" mid=\"1\">a&#13;b&#9;c&#1;d</mrk>", false);
}

// Random segments from a small grammar of what occurs inside segments.
class TRandomSegment {
 public:
  explicit TRandomSegment(unsigned ASeed) : FRng(ASeed) {}

  std::string Make() { return "<mrk mtype=\"seg\" mid=\"1\">" + Content(0) + "</mrk>"; }

 private:
  int Pick(int AN) { return std::uniform_int_distribution<int>(0, AN - 1)(FRng); }

  std::string Text() {
    static const char* const Pieces[] = {" ", "  ", "\t", "\n", "a", "word", "&amp;", "&lt;", "&gt;", "&quot;", "&apos;", "&#32;",
                                         "&#x20;", "\xC3\xA9", "\xC2\xAB", "'", "\"", ">", "x y"};
    std::string S;
    for (int I = Pick(4) + 1; I > 0; --I) S += Pieces[Pick(19)];
    return S;
  }

  std::string Content(int ADepth) {
    std::string S;
    for (int I = Pick(5); I > 0; --I) {
      switch (ADepth > 4 ? 0 : Pick(12)) {
        case 0: case 1: case 2: S += Text(); break;
        case 3: S += "<g id=\"1\">" + Content(ADepth + 1) + "</g>"; break;
        case 4: S += "<g id=\"" + std::string(Pick(2) ? "2" : "9") + "\">" + Content(ADepth + 1) + "</g>"; break;
        case 5: S += std::string("<x id=\"") + (Pick(2) ? "2" : "q&quot;") + "\"/>"; break;
        case 6: S += "<x/>"; break;
        case 7: {
          static const char* const Types[] = {"x-sdl-comment", "x-sdl-added", "x-sdl-deleted", "seg"};
          S += std::string("<mrk mtype=\"") + Types[Pick(4)] + "\">" + Content(ADepth + 1) + "</mrk>";
          break;
        }
        case 8: S += "<!--" + std::string(Pick(2) ? "c" : "") + "-->"; break;
        case 9: S += "<![CDATA[" + std::string(Pick(2) ? "z ]]" : "") + "]]>"; break;
        case 10: S += "<?p q?>"; break;
        default: S += "<g>" + Content(ADepth + 1) + "</g>"; break;
      }
    }
    return S;
  }

  std::mt19937 FRng;
};

TEST(ConvertSegmentEquivalence, ThousandsOfRandomSegments) {
  TEquivalence E;
  TRandomSegment Gen(20240611);
  for (int I = 0; I < 3000; ++I) {
    E.Check(Gen.Make());
    if (testing::Test::HasFailure()) break;
  }
  EXPECT_EQ(E.Checked(), 3000);
}

}  // namespace
