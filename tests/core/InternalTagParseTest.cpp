#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "InternalTagParseUnit.h"
#include "ShownTextTestSupport.h"
#include "TagConversionOutcome.h"
#include "Utf8Unit.h"

using namespace lexmora;

namespace {

struct TIdAt {
  int Pos;
  const char* Id;
};

struct TConvertRow {
  const char* Name;
  std::string Markup;
  std::u32string Symbols;
  std::vector<TIdAt> Ids;
  std::size_t DictSize;
};

const std::vector<TConvertRow>& ConvertRows() {
  static const std::vector<TConvertRow> Rows = {
      {"OpeningAndClosingTag",
       "Hello <x id=\"1\">b</x>world<y id=\"1\">/b</y>!",
       U"Hello \u0A85world\u0A86!",
       {{7, "1"}, {13, "1"}},
       2},
      {"IdenticalStandaloneTagsShareASymbol",
       "<z id=\"1\">br</z>a<z id=\"2\">br</z>",
       U"\u0A85a\u0A85",
       {{1, "1"}, {3, "2"}},
       1},
      {"SameContentOtherTypeIsAnotherTag",
       "<x id=\"1\">t</x><y id=\"1\">t</y>",
       U"\u0A85\u0A86",
       {{1, "1"}, {2, "1"}},
       2},
      {"TextWithFirstSymbolSkipsIt", "\xE0\xAA\x85<z id=\"1\">t</z>", U"\u0A85\u0A86", {{2, "1"}}, 1},
      {"SymbolAsReferenceSkipsIt", "&#x0A85;&#2694;<z id=\"1\">t</z>", U"\u0A85\u0A86\u0A87", {{3, "1"}}, 1},
      {"SymbolOnlyInsideATagSkipsIt", "<z id=\"1\">\xE0\xAA\x85</z>", U"\u0A86", {{1, "1"}}, 1},
      {"SpaceBetweenTagsIsKept", "<z id=\"1\">a</z> <z id=\"2\">b</z>", U"\u0A85 \u0A86", {{1, "1"}, {3, "2"}}, 2},
      {"BlanksAroundTagsAreKept", " \t<z id=\"1\">a</z>\n ", U" \t\u0A85\n ", {{3, "1"}}, 1},
      {"OnlyBlanksGiveTheBlanks", "   ", U"   ", {}, 0},
      {"LeadingAndTrailingBlanksOfTextStay", "  a b  ", U"  a b  ", {}, 0},
      {"EscapedAmpersandIsPlain", "Tom &amp; Jerry", U"Tom & Jerry", {}, 0},
      {"AllFiveEntitiesAndNumericReferences",
       "&lt;&gt;&quot;&apos;&amp;&#233;&#x1F600;",
       U"<>\"'&\u00E9\U0001F600",
       {},
       0},
      {"OtherElementVanishesWithItsText", "a<g id=\"1\">bold<z id=\"2\">t</z></g>c", U"ac", {}, 0},
      {"NameIsCaseSensitive", "a<X id=\"1\">t</X>c", U"ac", {}, 0},
      {"CdataCommentAndPiVanish", "a<![CDATA[b]]>c<!--d-->e<?p q?>f", U"acef", {}, 0},
      {"TagWithoutIdHasEmptyId", "a<z>t</z>", U"a\u0A85", {{2, ""}}, 1},
      {"PositionsCountCodePoints",
       "\xF0\x9F\x98\x80\xF0\x9F\x98\x81<z id=\"9\">t</z>",
       U"\U0001F600\U0001F601\u0A85",
       {{3, "9"}},
       1},
      {"CrLfIsNormalisedLikeAnyXml", "a\r\nb", U"a\nb", {}, 0},
  };
  return Rows;
}

using test_support::ShownText;

pugi::xml_node ParseFirstChild(pugi::xml_document& ADoc, const char* AMarkup) {
  EXPECT_TRUE(ADoc.load_string(AMarkup, pugi::parse_default | pugi::parse_ws_pcdata));
  return ADoc.first_child();
}

}  // namespace

TEST(InternalTagParse, ConvertTable) {
  for (const auto& Row : ConvertRows()) {
    SCOPED_TRACE(Row.Name);
    TTagDict Dict;
    TTagIDDict IDDict;
    const std::u32string Result = ConvertTagsToSymbols(Row.Markup, Dict, IDDict);
    EXPECT_EQ(ShownText(Result), ShownText(Row.Symbols));
    ASSERT_EQ(IDDict.size(), Row.Ids.size());
    for (std::size_t I = 0; I < IDDict.size(); ++I) {
      EXPECT_EQ(IDDict[I].TagPos, Row.Ids[I].Pos);
      EXPECT_EQ(IDDict[I].TagID, Row.Ids[I].Id);
      // TagPos points at a symbol of the dictionary.
      const char32_t AtPos = Result.at(static_cast<std::size_t>(IDDict[I].TagPos - 1));
      bool InDict = false;
      for (const auto& Rec : Dict) InDict = InDict || Rec.Symbol == std::u32string(1, AtPos);
      EXPECT_TRUE(InDict);
    }
    EXPECT_EQ(Dict.size(), Row.DictSize);
    // Same text, fresh dictionaries: same result.
    TTagDict Dict2;
    TTagIDDict IDDict2;
    EXPECT_EQ(ConvertTagsToSymbols(Row.Markup, Dict2, IDDict2), Result);
  }
}

TEST(InternalTagParse, DictionaryRecordsTypeAndContent) {
  TTagDict Dict;
  TTagIDDict IDDict;
  ConvertTagsToSymbols("Hello <x id=\"1\">b</x>world<y id=\"1\">/b</y>!<z id=\"3\">&lt;br/&gt;</z>", Dict, IDDict);
  ASSERT_EQ(Dict.size(), 3u);
  EXPECT_EQ(Dict[0].Symbol, U"\u0A85");
  EXPECT_EQ(Dict[0].TagType, TTagType::ttBegin);
  EXPECT_EQ(Dict[0].TagContent, "b");
  EXPECT_EQ(Dict[1].TagType, TTagType::ttEnd);
  EXPECT_EQ(Dict[1].TagContent, "/b");
  EXPECT_EQ(Dict[2].TagType, TTagType::ttFull);
  EXPECT_EQ(Dict[2].TagContent, "&#60;br/&#62;");
}

TEST(InternalTagParse, EmptyTextLeavesDictionariesAlone) {
  TTagDict Dict = {{U"\u0A85", TTagType::ttFull, "x"}};
  TTagIDDict IDDict = {{1, "1"}};
  EXPECT_TRUE(ConvertTagsToSymbols("", Dict, IDDict).empty());
  EXPECT_EQ(Dict.size(), 1u);
  EXPECT_EQ(IDDict.size(), 1u);
}

TEST(InternalTagParse, DictionariesAreAppendedAcrossCalls) {
  TTagDict Dict;
  TTagIDDict IDDict;
  EXPECT_EQ(ConvertTagsToSymbols("<z id=\"1\">a</z>", Dict, IDDict), U"\u0A85");
  EXPECT_EQ(ConvertTagsToSymbols("<z id=\"2\">b</z>x<z id=\"3\">a</z>", Dict, IDDict), U"\u0A86x\u0A85");
  ASSERT_EQ(IDDict.size(), 3u);
  EXPECT_EQ(IDDict[2].TagPos, 3);
  EXPECT_EQ(IDDict[2].TagID, "3");
}

TEST(InternalTagParse, TagsAtTheSamePlaceOfTwoTextsGetTheSameSymbol) {
  TTagDict Dict1, Dict2;
  TTagIDDict IDs1, IDs2;
  const auto T1 = ConvertTagsToSymbols("a<x id=\"1\">b</x>c", Dict1, IDs1);
  const auto T2 = ConvertTagsToSymbols("a<x id=\"7\">strong</x>c", Dict2, IDs2);
  EXPECT_EQ(T1, T2);
}

TEST(InternalTagParse, SurplusDistinctTagsAreDropped) {
  std::string Markup;
  for (int I = 1; I <= 120; ++I) Markup += "<z id=\"" + std::to_string(I) + "\">t" + std::to_string(I) + "</z>";
  Markup += "<z id=\"999\">t1</z>";  // an earlier tag again still gets its symbol
  TTagDict Dict;
  TTagIDDict IDDict;
  const std::u32string Result = ConvertTagsToSymbols(Markup, Dict, IDDict);
  ASSERT_EQ(Result.size(), 117u);
  EXPECT_EQ(Result.substr(0, 116), std::u32string(TagSymbolChars));
  EXPECT_EQ(Result[116], U'\u0A85');
  EXPECT_EQ(Dict.size(), 116u);
  ASSERT_EQ(IDDict.size(), 117u);
  EXPECT_EQ(IDDict[115].TagID, "116");
  EXPECT_EQ(IDDict[116].TagID, "999");
  EXPECT_EQ(IDDict[116].TagPos, 117);
}

TEST(InternalTagParse, SymbolTableIsExact) {
  const std::u32string Expected =
      U"\u0A85\u0A86\u0A87\u0A88\u0A89\u0A8A\u0A8B\u0A8F\u0A90\u0A93\u0A94\u0A95\u0A96\u0A97\u0A98\u0A99"
      U"\u0A9A\u0A9B\u0A9C\u0A9D\u0A9E\u0A9F\u0AA0\u0AA1\u0AA2\u0AA3\u0AA4\u0AA5\u0AA6\u0AA7\u0AA8\u0AAA"
      U"\u0AAB\u0AAC\u0AAD\u0AAE\u0AAF\u0AB0\u0AB2\u0AB5\u0AB6\u0AB7\u0AB8\u0AB9\u0AB3"
      U"\uFE8D\uFE8F\uFE95\uFE99\uFE9D\uFEA1\uFEA5\uFEA9\uFEAB\uFEAD\uFEAF\uFEB1\uFEB5\uFEB9\uFEBD\uFEC1"
      U"\uFEC5\uFEC9\uFECD\uFED1\uFED5\uFED9\uFEDD\uFEE1\uFEE5\uFEE9\uFEED\uFEF1"
      U"\u10D0\u10D1\u10D2\u10D3\u10D4\u10D5\u10D6\u10F1\u10D7\u10D8\u10D9\u10DA\u10DB\u10DC\u10F2\u10DD"
      U"\u10DE\u10DF\u10E0\u10E1\u10E2\u10F3\u10E3\u10F7\u10E4\u10E5\u10E6\u10E7\u10F8\u10E8\u10E9\u10EA"
      U"\u10EB\u10EC\u10ED\u10EE\u10F4\u10EF\u10F0\u10F5\u10F6\u10F9\u10FA";
  ASSERT_EQ(Expected.size(), 116u);
  EXPECT_EQ(std::u32string(TagSymbolChars), Expected);
  EXPECT_EQ(std::set<char32_t>(Expected.begin(), Expected.end()).size(), 116u);
}

TEST(InternalTagParse, GetTagSymbolRefusesTakenCandidates) {
  TTagDict Dict = {{U"\u0A85", TTagType::ttBegin, "b"}};
  const TTextTag Same{TTagType::ttBegin, "42", "b"};
  EXPECT_EQ(GetTagSymbol(Same, "\xE0\xAA\x85", Dict), U"\u0A85");  // equal tag: existing symbol, text not asked
  EXPECT_EQ(Dict.size(), 1u);
  const TTextTag Other{TTagType::ttBegin, "1", "i"};
  // U+0A85 is in the dictionary, U+0A86 literally and U+0A87 as a reference in the text.
  EXPECT_EQ(GetTagSymbol(Other, "\xE0\xAA\x86 &#x0a87;", Dict), U"\u0A88");
  ASSERT_EQ(Dict.size(), 2u);
  EXPECT_EQ(Dict[1].TagType, TTagType::ttBegin);
  EXPECT_EQ(Dict[1].TagContent, "i");
}

TEST(InternalTagParse, GetTagSymbolGivesNothingWhenAllAreTaken) {
  TTagDict Dict;
  for (int I = 0; I < 115; ++I)
    Dict.push_back(
        {std::u32string(1, TagSymbolChars[static_cast<std::size_t>(I)]), TTagType::ttFull, std::to_string(I)});
  const std::string TextWithLast = U32ToUtf8(std::u32string(1, TagSymbolChars[115]));
  EXPECT_TRUE(GetTagSymbol({TTagType::ttFull, "", "new"}, TextWithLast, Dict).empty());
  EXPECT_EQ(Dict.size(), 115u);
  EXPECT_EQ(GetTagSymbol({TTagType::ttFull, "", "new"}, "plain", Dict), std::u32string(1, TagSymbolChars[115]));
}

struct TTagRow {
  const char* Name;
  const char* Element;
  TTagType Type;
  const char* Id;
  const char* Content;
};

const TTagRow kTagRows[] = {
    {"Opening", "<x id=\"1\">b</x>", TTagType::ttBegin, "1", "b"},
    {"Closing", "<y id=\"2\">/b</y>", TTagType::ttEnd, "2", "/b"},
    {"Standalone", "<z id=\"a&amp;b\">br</z>", TTagType::ttFull, "a&b", "br"},
    {"OtherName", "<g id=\"1\">t</g>", TTagType::ttNotNeeded, "1", "t"},
    {"NoId", "<z>t</z>", TTagType::ttFull, "", "t"},
    {"EmptyContent", "<z id=\"1\"/>", TTagType::ttFull, "1", ""},
    {"SpecialCharactersAsNumericReferences", "<x id=\"1\">&lt;b class=&quot;q&quot;&gt; &amp; &apos;</x>",
     TTagType::ttBegin, "1", "&#60;b class=&#34;q&#34;&#62; &#38; &#39;"},
    {"NestedElementsAsMarkup", "<z id=\"1\">a<i k=\"v&amp;&lt;\">b<u>c</u></i><e/>d</z>", TTagType::ttFull, "1",
     "a<i k=\"v&#38;&#60;\">b<u>c</u></i><e/>d"},
    {"BlanksInsideKept", "<z id=\"1\"> <b> </b> </z>", TTagType::ttFull, "1", " <b> </b> "},
};

TEST(InternalTagParse, GetTextTagTable) {
  for (const auto& Row : kTagRows) {
    SCOPED_TRACE(Row.Name);
    pugi::xml_document Doc;
    const TTextTag Tag = GetTextTag(ParseFirstChild(Doc, Row.Element));
    EXPECT_EQ(Tag.TagType, Row.Type);
    EXPECT_EQ(Tag.TagID, Row.Id);
    EXPECT_EQ(Tag.TagContent, Row.Content);
  }
}

TEST(InternalTagParse, DeeplyNestedTagContentIsSerialisedWithoutRecursion) {
  constexpr int Depth = 200000;
  std::string Markup = "a<z id=\"1\">";
  for (int I = 0; I < Depth; ++I) Markup += "<n>";
  Markup += "t";
  for (int I = 0; I < Depth; ++I) Markup += "</n>";
  Markup += "</z>b";
  TTagDict Dict;
  TTagIDDict IDDict;
  EXPECT_EQ(ConvertTagsToSymbols(Markup, Dict, IDDict), U"a\u0A85b");
  ASSERT_EQ(Dict.size(), 1u);
  EXPECT_EQ(Dict[0].TagContent.size(), static_cast<std::size_t>(Depth) * 7 + 1);
}

struct TBadRow {
  const char* Name;
  std::string Markup;
};

TEST(InternalTagParse, MalformedMarkupRaises) {
  const TBadRow Rows[] = {
      {"UnescapedLessThan", "a < b"},
      {"UnescapedAmpersand", "Tom & Jerry"},
      {"UnknownEntity", "a&nbsp;b"},
      {"AmpersandAtEnd", "abc&"},
      {"EmptyCharacterReference", "a&#;b"},
      {"ReferenceToNul", "a&#0;b"},
      {"ReferenceToSurrogate", "a&#xD800;b"},
      {"ReferenceBeyondUnicode", "a&#x110000;b"},
      {"RawControlCharacter",
       "a\x01"
       "b"},
      {"RawNul", std::string("a\0b", 3)},
      {"UnclosedElement", "<x id=\"1\">a"},
      {"StrayClosingTag", "a</x>"},
      {"ClosingTheWrapper", "a</ROOT>b"},
      {"UnquotedAttribute", "<x id=1>t</x>"},
      {"AmpersandInAttribute", "<x id=\"a&b\">t</x>"},
      {"CrossedElements", "<x id=\"1\"><b>t</x></b>"},
  };
  for (const auto& Row : Rows) {
    SCOPED_TRACE(Row.Name);
    TTagDict Dict;
    TTagIDDict IDDict;
    EXPECT_THROW(ConvertTagsToSymbols(Row.Markup, Dict, IDDict), TTagMarkupError);
    EXPECT_TRUE(Dict.empty());
    EXPECT_TRUE(IDDict.empty());
  }
}

TEST(InternalTagParse, AmpersandInsideCdataOrCommentIsNotAReference) {
  TTagDict Dict;
  TTagIDDict IDDict;
  EXPECT_EQ(ConvertTagsToSymbols("a<!-- & -->b<![CDATA[ & ]]>c", Dict, IDDict), U"abc");
}

using test_support::TagConversionOutcome;

// The direct reading of simple markup and the XML parser agree on every text, simple or not:
// pieces the readers write, pieces only a hand could write, and broken ones.
TEST(InternalTagParse, DirectReadingAgreesWithTheParser) {
  const std::vector<std::string> Pieces = {
      "Text ", "a&amp;b", "&lt;&gt;", "&quot;&apos;", "&#65;&#x42;&#x10D0;", "\xE0\xAA\x85", " ", "\t", "\n",
      "<x id=\"1\">&lt;b&gt;</x>", "<y id=\"1\">&lt;/b&gt;</y>", "<z id=\"2\">&lt;br/&gt;</z>", "<z id=\"3\"/>",
      "<x id=\"a&amp;&quot;b\">{}</x>", "<x id='q'>c&#39;d</x>", "<z class=\"k\" id=\"4\">\"'</z>",
      "<z id=\"5\" id=\"6\">dup</z>", "<w id=\"7\">other</w>", "<x>no id</x>", "<x id=\"8\"></x>",
      "<x id=\"9\"> </x>", "<z id=\"t\tab\">v</z>", "<z id=\"10\" >sp</z>", "<z id = \"11\">eq</z>",
      "<x id=\"12\"><b>nested</b></x>", "<![CDATA[cd]]>", "<!--c-->", "<?pi x?>", "a\r\nb", "\r",
      "<x id=\"13\">a</x >", "<x id=\"14\">open", "</y>", "<", "&", "&bogus;", "&#0;", "&#xD800;", "\x01",
      "<1 id=\"x\"/>", "<z id=\"15\"/ >", "<z id=\"16\">&#x10D0;\xE1\x83\x90</z>", "> ]]> ",
      "<x id=\"17\" a=\"<\">lt</x>", "<z id=\"18\" b='\"'>q</z>"};
  std::uint32_t Seed = 12345;
  const auto Next = [&Seed] {
    Seed = Seed * 1103515245u + 12345u;
    return (Seed >> 8) & 0xFFFF;
  };
  int Simple = 0;
  for (int Case = 0; Case < 3000; ++Case) {
    std::string Text;
    const int Count = 1 + static_cast<int>(Next() % 6);
    for (int I = 0; I < Count; ++I) Text += Pieces[Next() % Pieces.size()];
    // Half of the cases start from a dictionary that already holds a tag.
    TTagDict Start;
    if (Case % 2) Start.push_back(TTagDictRec{U"\u0A86", TTagType::ttFull, "&#60;br/&#62;"});
    const std::string Direct = TagConversionOutcome(&ConvertTagsToSymbols, Text, Start);
    const std::string Parsed = TagConversionOutcome(&ConvertTagsToSymbolsWithParser, Text, Start);
    EXPECT_EQ(Direct, Parsed) << "markup: " << Text;
    if (Direct != "refused") ++Simple;
  }
  EXPECT_GT(Simple, 300);  // the generator must reach well-formed markup often
}
