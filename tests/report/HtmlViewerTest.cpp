// The viewer block of the HTML report: texts go into the script safely, the block keeps the page
// well-formed and holds exactly one script.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <random>

#include "HtmlViewerUnit.h"
#include "LocalizationUnit.h"
#include "Utf8Unit.h"

namespace lexmora {
namespace {

// The text a string literal of the script stands for, read the way a script engine reads it
// (the escapes the writer may use; anything else fails the test).
std::string ReadLiteral(std::string_view ALiteral) {
  EXPECT_TRUE(ALiteral.size() >= 2 && ALiteral.front() == '"' && ALiteral.back() == '"') << ALiteral;
  std::u32string Out;
  const std::u32string In = Utf8ToU32(ALiteral.substr(1, ALiteral.size() - 2));
  for (std::size_t I = 0; I < In.size(); ++I) {
    if (In[I] == U'"') ADD_FAILURE() << "bare quote inside " << ALiteral;
    if (In[I] != U'\\') {
      Out.push_back(In[I]);
      continue;
    }
    const char32_t E = In.at(++I);
    if (E == U'u') {
      Out.push_back(static_cast<char32_t>(std::stoul(U32ToUtf8(In.substr(I + 1, 4)), nullptr, 16)));
      I += 4;
    } else if (E == U'"' || E == U'\\') {
      Out.push_back(E);
    } else {
      ADD_FAILURE() << "unexpected escape in " << ALiteral;
    }
  }
  return U32ToUtf8(Out);
}

// Nothing in the literal can end the script (HTML) or its CDATA section (XHTML) or a line.
void ExpectInert(const std::string& ALiteral) {
  for (const char C : ALiteral) {
    EXPECT_FALSE(C == '<' || C == '>' || C == '&') << ALiteral;
    EXPECT_GE(static_cast<unsigned char>(C), 0x20) << ALiteral;
  }
  EXPECT_EQ(ALiteral.find("\xE2\x80\xA8"), std::string::npos);
  EXPECT_EQ(ALiteral.find("\xE2\x80\xA9"), std::string::npos);
}

TEST(HtmlViewer, StringLiteralsEscapeWhatWouldBreakThePage) {
  struct TCase {
    const char* Name;
    std::string Text, Literal;
  };
  const TCase Cases[] = {
      {"plain", "Search", "\"Search\""},
      {"quotes", "say \"hi\" 'there'", "\"say \\\"hi\\\" 'there'\""},
      {"backslash", "a\\b", "\"a\\\\b\""},
      {"script end", "</script>", "\"\\u003c/script\\u003e\""},
      {"CDATA end", "]]>", "\"]]\\u003e\""},
      {"entity", "&amp;", "\"\\u0026amp;\""},
      {"controls", "a\r\nb\x01", "\"a\\u000d\\u000ab\\u0001\""},
      {"line separators", "\xE2\x80\xA8\xE2\x80\xA9", "\"\\u2028\\u2029\""},
      {"Cyrillic as it is", "Поиск", "\"Поиск\""},
  };
  for (const TCase& C : Cases) EXPECT_EQ(ScriptStringLiteral(C.Text), C.Literal) << C.Name;
}

TEST(HtmlViewer, StringLiteralsReadBackAsTheirTextAndStayInert) {
  const std::u32string Alphabet = U"a \"'\\<>&/]![-\r\n\t\x01\u2028\u2029\u00e9\u0416\U0001F600";
  std::mt19937 Random(7);
  for (int Round = 0; Round < 500; ++Round) {
    std::u32string Text;
    for (int N = Random() % 12; N > 0; --N) Text.push_back(Alphabet[Random() % Alphabet.size()]);
    const std::string Utf8 = U32ToUtf8(Text), Literal = ScriptStringLiteral(Utf8);
    ExpectInert(Literal);
    EXPECT_EQ(ReadLiteral(Literal), Utf8);
  }
}

// The block with every text replaced by AText, parsed as the page's body.
struct TParsedBlock {
  std::string Block;
  pugi::xml_document Doc;
  pugi::xml_parse_result Result;
};
void Parse(TParsedBlock& AOut, const std::function<std::string(TMsg)>& ATextOf) {
  AOut.Block = RenderHtmlViewer(ATextOf);
  AOut.Result = AOut.Doc.load_string(("<body>" + AOut.Block + "</body>").c_str());
}

TEST(HtmlViewer, HostileTextsLeaveOneWellFormedScript) {
  const std::string Hostile = "</script><script>alert(1)</script> \"q\" 'a' ]]> <!-- & \\";
  TParsedBlock P;
  Parse(P, [&](TMsg) { return Hostile; });
  ASSERT_TRUE(P.Result) << P.Result.description();
  // A browser reading the page as HTML ends the script at the first "</script".
  EXPECT_EQ(P.Block.find("</script"), P.Block.rfind("</script>\r\n"));
  EXPECT_EQ(P.Block.find("<!--"), std::string::npos);
  EXPECT_EQ(P.Block.find("]]>"), P.Block.rfind("//]]>\r\n</script>") + 2);
  const pugi::xml_node Body = P.Doc.child("body");
  EXPECT_EQ(std::distance(Body.children("script").begin(), Body.children("script").end()), 1);
  EXPECT_EQ(std::distance(Body.children("style").begin(), Body.children("style").end()), 1);
  std::string Script;  // the text around the CDATA section and the section itself
  for (const pugi::xml_node Part : Body.child("script").children()) Script += Part.value();
  const std::string Literal = ScriptStringLiteral(Hostile);
  EXPECT_NE(Script.find(":" + Literal + ","), std::string::npos);
  EXPECT_EQ(ReadLiteral(Literal), Hostile);
}

TEST(HtmlViewer, BlockCarriesTheReportLanguageInPageLineEnds) {
  for (const auto Lang : {TLocalizationLanguare::llEN, TLocalizationLanguare::llRU}) {
    const std::string Block = RenderHtmlViewer(Lang);
    for (std::size_t At = Block.find('\n'); At != std::string::npos; At = Block.find('\n', At + 1))
      EXPECT_EQ(Block[At - 1], '\r') << "bare line feed at " << At;
    for (const TMsg M : {TMsg::ViewerShowEdited, TMsg::ViewerSearch, TMsg::ViewerRowsShown, TMsg::ViewerLinkHint})
      EXPECT_NE(Block.find(ScriptStringLiteral(GetLocalizedText(M, Lang))), std::string::npos);
  }
  EXPECT_NE(RenderHtmlViewer(TLocalizationLanguare::llEN), RenderHtmlViewer(TLocalizationLanguare::llRU));
}

}  // namespace
}  // namespace lexmora
