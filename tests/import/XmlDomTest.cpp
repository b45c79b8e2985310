#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <algorithm>
#include <random>

#include "XmlDomUnit.h"

using namespace lexmora;

namespace {

pugi::xml_document Parse(const std::string& AText, bool AKeepBlanks = true) {
  pugi::xml_document Doc;
  LoadXmlText(Doc, AText, AKeepBlanks);
  return Doc;
}

TEST(XmlDom, QualifiedNamesAsWrittenAndPrefixedLookups) {
  const auto Doc = Parse("<r xmlns:sdl=\"u\"><sdl:seg sdl:id=\"p\" id=\"e\" m:percent=\"5\"/><seg id=\"plain\"/></r>");
  const pugi::xml_node R = Doc.document_element();
  const pugi::xml_node First = FindChildElement(R, "seg");
  EXPECT_STREQ(First.name(), "sdl:seg");  // first child whose local part matches
  EXPECT_TRUE(IsElementNamed(First, "sdl:seg"));
  EXPECT_FALSE(IsElementNamed(First, "seg"));
  EXPECT_EQ(AttributeValue(First, "id"), "e");  // the exact name wins
  EXPECT_EQ(AttributeValue(First, "percent"), "5");
  EXPECT_EQ(AttributeValue(First, "absent"), "");
  EXPECT_FALSE(HasAttribute(First, "cent"));
  EXPECT_FALSE(FindChildElement(R, "eg"));
  EXPECT_TRUE(NameMatches("a:b:c", "b:c"));
  EXPECT_FALSE(NameMatches("ab", "b"));
}

TEST(XmlDom, BlankTextKeptOnlyOnRequest) {
  const std::string Text = "<r> <a/>\n<b> x </b></r>";
  int Kept = 0, Dropped = 0;
  for (pugi::xml_node N : Parse(Text, true).document_element().children()) Kept += N.type() == pugi::node_pcdata;
  for (pugi::xml_node N : Parse(Text, false).document_element().children()) Dropped += N.type() == pugi::node_pcdata;
  EXPECT_EQ(Kept, 2);
  EXPECT_EQ(Dropped, 0);
  EXPECT_EQ(Parse(Text, false).document_element().child("b").text().get(), std::string(" x "));
}

TEST(XmlDom, ElementTextOfSingleTextEmptyAndMixedContent) {
  const auto Doc = Parse("<r><a>t&amp;</a><b/><c><![CDATA[cd]]></c><d>x<e/></d></r>");
  const pugi::xml_node R = Doc.document_element();
  EXPECT_EQ(ElementText(R.child("a")), "t&");
  EXPECT_EQ(ElementText(R.child("b")), "");
  EXPECT_EQ(ElementText(R.child("c")), "cd");
  EXPECT_THROW(ElementText(R.child("d")), EXmlError);
}

TEST(XmlDom, SerialiseWritesNumericReferencesAndNoIndentation) {
  const auto Doc = Parse("<r><m a=\"&quot;&amp;&apos;&lt;&gt;\">&quot;&amp;&apos;&lt;&gt;<x/> </m></r>");
  pugi::xml_node M = Doc.document_element().child("m");
  M.append_child(pugi::node_cdata).set_value("a]]>b");  // cannot be written as one section
  EXPECT_EQ(SerializeXml(M, true),
            "<m a=\"&#34;&#38;&#39;&#60;&#62;\">&#34;&#38;&#39;&#60;&#62;<x/> <![CDATA[a]]]]><![CDATA[>b]]></m>");
  EXPECT_EQ(SerializeXml(M, false), "&#34;&#38;&#39;&#60;&#62;<x/> <![CDATA[a]]]]><![CDATA[>b]]>");
  EXPECT_EQ(SerializeXml(pugi::xml_node(), true), "");
}

TEST(XmlDom, ParseAsContentReplacesChildrenAndAcceptsPlainText) {
  pugi::xml_document Doc;
  pugi::xml_node Root = Doc.append_child("ROOT");
  ParseAsContent(Root, "<old/>", false);
  ParseAsContent(Root, "only text &amp; more", false);
  ASSERT_EQ(Root.first_child().type(), pugi::node_pcdata);
  EXPECT_STREQ(Root.first_child().value(), "only text & more");
  EXPECT_FALSE(Root.first_child().next_sibling());
  ParseAsContent(Root, " <a/> <b>t</b>", false);
  EXPECT_STREQ(Root.first_child().name(), "a");
  EXPECT_THROW(ParseAsContent(Root, "<a>", false), EXmlError);
  EXPECT_THROW(ParseAsContent(Root, "\xFF", false), EXmlError);
}

TEST(XmlDom, ByteOrderMarkSkippedAndParseErrorsThrow) {
  EXPECT_STREQ(Parse("\xEF\xBB\xBF<r/>").document_element().name(), "r");
  pugi::xml_document Doc;
  EXPECT_THROW(LoadXmlText(Doc, "", true), EXmlError);
  EXPECT_THROW(LoadXmlText(Doc, "<r>", true), EXmlError);
  EXPECT_THROW(LoadXmlFile(Doc, "/nonexistent/file.xml", true), EXmlError);
}

// The file is parsed in place from a buffer of its own; whatever the bytes, it must give what
// parsing the same bytes from memory gives: the same tree, or the same error.
TEST(XmlDom, FileAndMemoryParsesAgree) {
  namespace fs = std::filesystem;
  const fs::path Dir = fs::temp_directory_path() / ("lexmora_xmldom_" + std::to_string(::getpid()));
  fs::create_directories(Dir);
  std::string Utf16 = "\xFF\xFE";
  for (const char C : std::string("<r a=\"&#x10FFFF;\">x&#233;</r>")) Utf16 += std::string{C, '\0'};
  const std::pair<const char*, std::string> Cases[] = {
      {"empty", ""},
      {"bom only", "\xEF\xBB\xBF"},
      {"plain", "\xEF\xBB\xBF<r a=\"1\"><b> </b>t\r\nu</r>"},
      {"references", "<r a=\"&#34;&amp;\">&#x41;&#66;&lt;</r>"},
      {"surrogate reference in text", "<r>&#xD800;</r>"},
      {"surrogate reference in attribute", "<r a=\"&#55296;\"/>"},
      {"reference past the last character", "<r>&#x110000;</r>"},
      {"not utf-8", "<r>caf\xE9</r>"},
      {"unclosed", "<r><b></r>"},
      {"unclosed after a byte-order mark", "\xEF\xBB\xBF<r><b></r>"},
      {"text after the root after a byte-order mark", "\xEF\xBB\xBF<r/>x"},
      {"utf-16 with references", Utf16},
      {"blank text between elements", "<r>\n <a/>\n <b/>\n</r>"},
  };
  for (const auto& [Name, Bytes] : Cases) {
    const fs::path File = Dir / "case.xml";
    std::ofstream(File, std::ios::binary | std::ios::trunc).write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    for (const bool Blanks : {false, true}) {
      std::string FromFile, FromText;
      try {
        pugi::xml_document Doc;
        LoadXmlFile(Doc, File.string(), Blanks);
        FromFile = SerializeXml(Doc, false);
      } catch (const EXmlError& E) {
        FromFile = std::string("error: ") + E.what();
      }
      try {
        pugi::xml_document Doc;
        LoadXmlText(Doc, Bytes, Blanks);
        FromText = SerializeXml(Doc, false);
      } catch (const EXmlError& E) {
        FromText = std::string("error: ") + E.what();
      }
      EXPECT_EQ(FromFile, FromText) << Name << (Blanks ? " (blanks kept)" : "");
    }
  }
  // A folder is no document (the stream reading it fails).
  pugi::xml_document Doc;
  EXPECT_ANY_THROW(LoadXmlFile(Doc, Dir.string(), true));
  fs::remove_all(Dir);
}

TEST(XmlDom, Utf8Validation) {
  struct Row {
    const char* Name;
    std::string Bytes;
    bool Valid;
  };
  const Row Rows[] = {
      {"ascii", "abc", true},
      {"two-byte", "\xC3\xA9", true},
      {"three-byte", "\xE2\x82\xAC", true},
      {"four-byte", "\xF0\x9F\x98\x80", true},
      {"max", "\xF4\x8F\xBF\xBF", true},
      {"nul", std::string("a\0b", 3), true},
      {"lone continuation", "\x80", false},
      {"overlong slash", "\xC0\xAF", false},
      {"overlong three", "\xE0\x80\xAF", false},
      {"surrogate", "\xED\xA0\x80", false},
      {"past max", "\xF4\x90\x80\x80", false},
      {"cut", "\xE2\x82", false},
      {"latin1", "caf\xE9", false},
      {"bad continuation", "\xC3\x28", false},
  };
  for (const Row& R : Rows) EXPECT_EQ(IsValidUtf8(R.Bytes), R.Valid) << R.Name;
  // The same verdict wherever the sequence stands among ASCII bytes, so that the check's
  // eight-byte steps meet it at every alignment and with every length of ASCII after it.
  for (const Row& R : Rows)
    for (std::size_t Before = 0; Before <= 17; ++Before)
      for (std::size_t After = 0; After <= 17; ++After)
        ASSERT_EQ(IsValidUtf8(std::string(Before, 'a') + R.Bytes + std::string(After, 'z')), R.Valid)
            << R.Name << " after " << Before << ", before " << After;
}

// A plain byte-by-byte reading of the UTF-8 rules, to compare the fast check with.
bool ReferenceUtf8(std::string_view AData) {
  std::size_t I = 0;
  while (I < AData.size()) {
    const auto C = static_cast<unsigned char>(AData[I]);
    std::size_t Len = C < 0x80 ? 1 : (C & 0xE0) == 0xC0 ? 2 : (C & 0xF0) == 0xE0 ? 3 : (C & 0xF8) == 0xF0 ? 4 : 0;
    if (Len == 0 || I + Len > AData.size()) return false;
    std::uint32_t Cp = Len == 1 ? C : C & (0x7F >> Len);
    for (std::size_t K = 1; K < Len; ++K) {
      const auto D = static_cast<unsigned char>(AData[I + K]);
      if ((D & 0xC0) != 0x80) return false;
      Cp = Cp << 6 | (D & 0x3F);
    }
    const std::uint32_t Min[] = {0, 0, 0x80, 0x800, 0x10000};
    if (Cp < Min[Len] || Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) return false;
    I += Len;
  }
  return true;
}

TEST(XmlDom, Utf8ValidationAgreesWithTheRulesOnRandomText) {
  std::mt19937 Random(20261209);
  // Mostly ASCII with now and then a byte of a multi-byte sequence or a stray one.
  const unsigned char kHigh[] = {0x80, 0xBF, 0xC0, 0xC2, 0xC3, 0xDF, 0xE0, 0xE2, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF, 0xA0, 0x9F};
  int Valid = 0;
  for (int N = 0; N < 20000; ++N) {
    std::string Text(Random() % 40, 'x');
    for (char& C : Text)
      C = Random() % 6 == 0 ? static_cast<char>(kHigh[Random() % sizeof kHigh]) : static_cast<char>('a' + Random() % 26);
    const bool Expected = ReferenceUtf8(Text);
    Valid += Expected;
    ASSERT_EQ(IsValidUtf8(Text), Expected) << ::testing::PrintToString(Text);
  }
  EXPECT_GT(Valid, 100);  // the random texts hold valid ones too
}

TEST(XmlDom, BlanksAndTrimmingStopAtU0020) {
  EXPECT_TRUE(IsBlankText(""));
  EXPECT_TRUE(IsBlankText(" \t\r\n\x01"));
  EXPECT_FALSE(IsBlankText(" \xC2\xA0"));  // a no-break space is not a blank
  EXPECT_EQ(TrimBlanks(" \x1F a b \n"), "a b");
  EXPECT_EQ(TrimBlanks("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");
  EXPECT_EQ(TrimBlanks("   "), "");
  // In place it must give the same for every mix of blanks, text and bytes past ASCII.
  std::mt19937 Random(7);
  const std::string Alphabet = std::string(" \t\n\x01\x20\x21" "ab\xC2\xA0", 10);
  for (int N = 0; N < 3000; ++N) {
    std::string Text;
    for (std::size_t L = Random() % 12; L > 0; --L) Text += Alphabet[Random() % Alphabet.size()];
    std::string InPlace = Text;
    TrimBlanksInPlace(InPlace);
    ASSERT_EQ(InPlace, TrimBlanks(Text)) << "text of " << Text.size() << " bytes";
  }
}

// The reason a reader shows for a document that does not parse, as a user reads it.
std::string ReasonFor(const std::string& AText) {
  try {
    Parse(AText);
  } catch (const EXmlError& E) {
    return E.Reason();
  }
  return "(parsed)";
}

TEST(XmlDomReasons, ParseErrorsGiveLineAndColumnInCharacters) {
  // The mismatching end tag "</bodx>" stands on line 3; pugixml points into it.
  const std::string Doc = "<?xml version=\"1.0\"?>\n<xliff>\n  <file><body></bodx></file>\n</xliff>\n";
  const std::string R = ReasonFor(Doc);
  EXPECT_TRUE(R.starts_with("not well-formed XML at line 3, column ")) << R;
  EXPECT_NE(R.find("(start-end tags mismatch)"), std::string::npos) << R;
  // Characters before the error count once each, whatever their length in bytes, and a
  // byte-order mark counts for nothing.
  EXPECT_EQ(ReasonFor("<a>\xC3\xA4\xE2\x82\xAC<"), ReasonFor("<a>xy<"));
  EXPECT_EQ(ReasonFor("\xEF\xBB\xBF<a>xy<"), ReasonFor("<a>xy<"));
  EXPECT_EQ(ReasonFor("caf\xC3\xA9 <a/>"), ReasonFor("cafe <a/>"));
}

TEST(XmlDomReasons, EncodingAndReferenceFailuresHaveShortReasons) {
  EXPECT_EQ(ReasonFor("<a>caf\xE9</a>"), "not UTF-8");
  EXPECT_EQ(ReasonFor("<a>&#xD800;</a>"), "a character reference names no valid character");
  pugi::xml_document Doc;
  try {
    LoadXmlFile(Doc, "/no/such/folder/x.sdlxliff", true);
    ADD_FAILURE() << "a missing file loaded";
  } catch (const EXmlError& E) {
    EXPECT_EQ(E.Reason(), "cannot open the document");
  }
}

TEST(XmlDomReasons, TextPositionCountsLinesAndCharacters) {
  EXPECT_EQ(TextPositionAt("", 0).Line, 1u);
  EXPECT_EQ(TextPositionAt("", 0).Column, 1u);
  const std::string T =
      "ab\ncd\xC3\xA4"
      "e\n\nx";
  EXPECT_EQ(TextPositionAt(T, 2).Column, 3u);
  EXPECT_EQ(TextPositionAt(T, 3).Line, 2u);
  EXPECT_EQ(TextPositionAt(T, 3).Column, 1u);
  EXPECT_EQ(TextPositionAt(T, 7).Column, 4u);  // after "cd" and the two bytes of one character
  EXPECT_EQ(TextPositionAt(T, 100).Line, 4u);  // an offset past the end stops at the end
  // Property: the line is one more than the line feeds before the offset; the column one more
  // than the characters since the last one.
  for (std::size_t Off = 0; Off <= T.size(); ++Off) {
    const std::string Before = T.substr(0, Off);
    const std::size_t Lf = Before.find_last_of('\n');
    const std::string Tail = Lf == std::string::npos ? Before : Before.substr(Lf + 1);
    std::size_t Chars = 0;
    for (const unsigned char C : Tail) Chars += (C & 0xC0) != 0x80;
    EXPECT_EQ(TextPositionAt(T, Off).Line,
              1 + static_cast<std::size_t>(std::count(Before.begin(), Before.end(), '\n')));
    EXPECT_EQ(TextPositionAt(T, Off).Column, 1 + Chars) << Off;
  }
}

}  // namespace

// The name comparisons against a plain reference, on names that differ by a prefix, a character
// or a length: the exact name, else the first attribute whose part after its first colon matches.
TEST(XmlDom, NameLookupsAgreeWithAPlainReference) {
  const std::vector<std::string> Names = {"a", "ab", "b", "x:a", "x:ab", "xy:b", "a:", ":a", "x:y:a", "aa", "ba"};
  std::minstd_rand Rng(11);
  for (int Round = 0; Round < 300; ++Round) {
    std::string Doc = "<e";
    std::vector<std::string> Attrs;
    for (int I = static_cast<int>(Rng() % 4); I > 0; --I) {
      const std::string& N = Names[Rng() % Names.size()];
      if (std::find(Attrs.begin(), Attrs.end(), N) != Attrs.end()) continue;
      Attrs.push_back(N);
      Doc += " " + N + "=\"" + std::to_string(Attrs.size()) + "\"";
    }
    const std::string& ElementName = Names[Rng() % Names.size()];
    const auto D = Parse("<r><" + ElementName + Doc.substr(2) + "/></r>");
    const pugi::xml_node E = D.document_element().first_child();
    for (const std::string& Wanted : Names) {
      EXPECT_EQ(IsElementNamed(E, Wanted), ElementName == Wanted) << ElementName << " / " << Wanted;
      std::string Expected;
      for (std::size_t I = 0; I < Attrs.size() && Expected.empty(); ++I)
        if (Attrs[I] == Wanted) Expected = std::to_string(I + 1);
      for (std::size_t I = 0; I < Attrs.size() && Expected.empty(); ++I)
        if (const auto Colon = Attrs[I].find(':'); Colon != std::string::npos && Attrs[I].substr(Colon + 1) == Wanted)
          Expected = std::to_string(I + 1);
      EXPECT_EQ(AttributeValue(E, Wanted), Expected) << Doc << " / " << Wanted;
    }
  }
}

// Whatever the position of a control or a reference among plain bytes (the search goes eight
// bytes at a time), it is found or left as the rules say.
TEST(XmlDom, ForbiddenControlsFoundAtEveryPosition) {
  const struct {
    std::string Piece, Replaced;
  } Pieces[] = {{"\x01", "\uFFFD"}, {"\x1F", "\uFFFD"}, {"&#1;", "\uFFFD"}, {"&#x1f;", "\uFFFD"},
                {"\t", "\t"},       {"\r\n", "\r\n"},   {"&amp;", "&amp;"}, {"&#32;", "&#32;"},
                {"\xC3\xA9", "\xC3\xA9"}, {" ", " "}};
  for (const auto& P : Pieces)
    for (std::size_t Pos = 0; Pos <= 24; ++Pos) {
      const std::string Plain(24, 'a');
      std::string S = Plain.substr(0, Pos) + P.Piece + Plain.substr(Pos);
      ReplaceForbiddenControls(S);
      EXPECT_EQ(S, Plain.substr(0, Pos) + P.Replaced + Plain.substr(Pos)) << "piece at " << Pos;
    }
}
