// The HTML writer: fragment protocol, tag labels, rows, totals and whole pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ExportToHTMLUnit.h"
#include "PlatformTestSupport.h"
#include "TestPaths.h"
#include "WriterTestSupport.h"

namespace lexmora {
namespace {

using test_support::Fold;
using test_support::TStep;

namespace fs = std::filesystem;

TDiffFileConstructorSettings Settings() {
  TDiffFileConstructorSettings S;
  S.TranslatorFiles = {"/in/a.sdlxliff"};
  S.EditorFiles = {"/out/a.sdlxliff"};
  S.FillDiffRowColored = true;
  S.ShowTagsFlag = TShowTagsFlag::stfShowTagsOnly;
  return S;
}

// The settings of a writer whose pages go to ADir (made here) as "Result_x_<pair>.html".
TDiffFileConstructorSettings SettingsSavingIn(const fs::path& ADir) {
  fs::create_directories(ADir);
  TDiffFileConstructorSettings S = Settings();
  S.ResultFileName = (ADir / "Result_x_").string();
  return S;
}

TEST(HtmlHelpers, EscapeTextKeepsQuotesAndEscapesAmpersandFirst) {
  EXPECT_EQ(TBaseFileCreator::EscapeText("a&lt;b"), "a&amp;lt;b");
  EXPECT_EQ(TBaseFileCreator::EscapeText("x<y>z&"), "x&lt;y&gt;z&amp;");
  EXPECT_EQ(TBaseFileCreator::EscapeText("\"it's\""), "\"it's\"");
}

TEST(HtmlHelpers, SpecialCharsAndTagSymbols) {
  EXPECT_TRUE(TBaseFileCreator::IsSpecialChar(U"&"));
  EXPECT_FALSE(TBaseFileCreator::IsSpecialChar(U"&&"));
  EXPECT_FALSE(TBaseFileCreator::IsSpecialChar(U""));
  EXPECT_EQ(TBaseFileCreator::EscapeChar(U">"), "&gt;");
  EXPECT_EQ(TBaseFileCreator::EscapeChar(U"\u00e9"), "\xC3\xA9");
  EXPECT_EQ(TBaseFileCreator::EscapeChar(U"\U0001F600"), "\xF0\x9F\x98\x80");
  const TTagDict Dict = {{U"\u0A85", TTagType::ttBegin, "b"}};
  EXPECT_TRUE(TBaseFileCreator::IsTagSymbol(U"\u0A85", Dict));
  EXPECT_FALSE(TBaseFileCreator::IsTagSymbol(U"\u0A86", Dict));
  EXPECT_FALSE(TBaseFileCreator::IsTagSymbol(U"\u0A85", {}));
}

TEST(HtmlFragments, InsertionLeavesEmptyMarkOnTranslatedSide) {
  THTMLFileCreator W(Settings());
  // abc against abxc: kept a, kept b, added x, kept c.
  EXPECT_EQ(Fold(W, true, {{'a', true}, {'b', true}, {0, false}, {'c', true}}), "ab<span class=\"dbg\"></span>c");
  EXPECT_EQ(Fold(W, false, {{'a', true}, {'b', true}, {'x', false}, {'c', true}}), "ab<span class=\"mbg\">x</span>c");
}

TEST(HtmlFragments, ConsecutiveChangesFormOneStretchAndSpecialsAreEscaped) {
  THTMLFileCreator W(Settings());
  EXPECT_EQ(Fold(W, true, {{'a', true}, {'<', false}, {'&', false}, {'b', true}}),
            "a<span class=\"dbg\">&lt;&amp;</span>b");
  // Ending inside a change: FinishStr closes the mark.
  EXPECT_EQ(Fold(W, false, {{'a', true}, {'>', false}}), "a<span class=\"mbg\">&gt;</span>");
  EXPECT_EQ(Fold(W, false, {}), "");
  // A character outside the Basic Multilingual Plane stays whole.
  EXPECT_EQ(Fold(W, false, {{U'\U0001F600', false}}), "<span class=\"mbg\">\xF0\x9F\x98\x80</span>");
}

TEST(HtmlFragments, WithoutDictionaryNoCharacterIsATag) {
  THTMLFileCreator W(Settings());
  EXPECT_EQ(Fold(W, true, {{U'\u0A85', true}, {'x', true}}), "\xE0\xAA\x85x");
}

struct TTagCase {
  const char* Name;
  TShowTagsFlag Flag;
  TTagType Type;
  std::string Content;
  std::string Id;
  std::string Expected;
};

class HtmlTagSpan : public testing::TestWithParam<TTagCase> {};

TEST_P(HtmlTagSpan, RendersLabel) {
  const TTagCase& C = GetParam();
  const TTagDict Dict = {{U"\u0A85", C.Type, C.Content}};
  const TTagIDDict Ids = {{2, C.Id}};
  THTMLFileCreator W(Settings());
  EXPECT_EQ(Fold(W, true, {{'a', true}, {U'\u0A85', true}}, Dict, Ids, C.Flag), "a" + C.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, HtmlTagSpan,
    testing::Values(
        TTagCase{"Hidden", TShowTagsFlag::stfDontShowTags, TTagType::ttBegin, "b", "3", ""},
        TTagCase{"OnlyBegin", TShowTagsFlag::stfShowTagsOnly, TTagType::ttBegin, "b", "3",
                 "<span class=\"tagX\"></span>"},
        TTagCase{"IdBegin", TShowTagsFlag::stfShowTagsID, TTagType::ttBegin, "b", "3", "<span class=\"tagX\">3</span>"},
        TTagCase{"IdEscaped", TShowTagsFlag::stfShowTagsID, TTagType::ttEnd, "b", "<i>&",
                 "<span class=\"tagY\">&lt;i&gt;&amp;</span>"},
        TTagCase{"ContentReferencesKept", TShowTagsFlag::stfShowTagsContent, TTagType::ttFull, "&#60;br/&#62;", "1",
                 "<span class=\"tagZ\">&#60;br/&#62;</span>"},
        TTagCase{"ContentMarkupNeutralised", TShowTagsFlag::stfShowTagsContent, TTagType::ttBegin, "<script>x</script>",
                 "1", "<span class=\"tagX\">&lt;script&gt;x&lt;/script&gt;</span>"},
        TTagCase{"NotNeededIsDropped", TShowTagsFlag::stfShowTagsContent, TTagType::ttNotNeeded, "b", "1", ""}),
    [](const testing::TestParamInfo<TTagCase>& AInfo) { return std::string(AInfo.param.Name); });

TEST(HtmlTagSpan, MissingIdEntryGivesNothing) {
  const TTagDict Dict = {{U"\u0A85", TTagType::ttBegin, "b"}};
  EXPECT_EQ(THTMLFileCreator::RenderTagSpan(U"\u0A85", 5, Dict, TShowTagsFlag::stfShowTagsID, {{1, "1"}}), "");
  EXPECT_EQ(THTMLFileCreator::RenderTagSpan(U"\u0A85", 1, Dict, TShowTagsFlag::stfShowTagsID, {{1, "1"}}),
            "<span class=\"tagX\">1</span>");
}

std::string Body(const std::string& APage) {
  const std::size_t Start = APage.find("</p>\r\n");
  return APage.substr(Start + 6);
}

TEST(HtmlPage, RowsTabsLockAndJoinLabel) {
  THTMLFileCreator W(Settings());
  W.AddCaption();
  W.AddJoinRow("/tmp/R&D <1>.sdlxliff (en-US > de-DE)");
  W.AddRow(false, true, "1", "a\tb", "<99>", "c", "d", "0");
  W.AddTotalInfo(1, 1, "0%");
  const std::string B = Body(W.BuildPage());
  EXPECT_NE(B.find("/tmp/R&amp;D &lt;1&gt;.sdlxliff (en-US &gt; de-DE)\r\n"), std::string::npos);
  EXPECT_NE(B.find("<tr class=\"ne\">\r\n<td class=\"ac\">1</td>\r\n<td class=\"ac\">&lt;99&gt;</td>\r\n"
                   "<td class=\"lbg\">a<span class=\"tab\">\t</span>b</td>\r\n<td>c</td>\r\n<td>d</td>\r\n"
                   "<td class=\"ac\">0</td>\r\n</tr>\r\n</table>\r\n\r\n" +
                   test_support::HtmlPageEnd()),
            std::string::npos);
  EXPECT_NE(B.find("<th class=\"ac\" width=\"3%\">No</th>\r\n"), std::string::npos);
}

TEST(HtmlPage, CharactersXmlCannotHoldNeverReachThePage) {
  TDiffFileConstructorSettings S = Settings();
  S.TranslatorFiles = {"/in/bad\x01name\xFF.sdlxliff"};
  THTMLFileCreator W(S);
  W.AddCaption();
  W.AddJoinRow("x\x02y \xEF\xBF\xBF");
  std::string Cell;
  W.AddStrToStr(true, Cell, U"\x03", 1, true, true, {}, {}, TShowTagsFlag::stfShowTagsOnly);
  W.AddStrToStr(true, Cell, U"\t", 2, true, true, {}, {}, TShowTagsFlag::stfShowTagsOnly);
  EXPECT_EQ(Cell, "\xEF\xBF\xBD\t");
  W.AddRow(false, false, "1", "s", "\x04", Cell, "e", "0");
  W.AddTotalInfo(1, 1, "0%");
  const std::string Page = W.BuildPage();
  EXPECT_NE(Page.find("x\xEF\xBF\xBDy \xEF\xBF\xBD\r\n"), std::string::npos);
  EXPECT_NE(Page.find("/in/bad\xEF\xBF\xBDname\xEF\xBF\xBD.sdlxliff<br />"), std::string::npos);
  for (const char C : Page) {
    const unsigned char U = static_cast<unsigned char>(C);
    EXPECT_TRUE(U >= 0x20 || C == '\t' || C == '\r' || C == '\n') << "control character " << int(U);
  }
}

TEST(HtmlPage, NoRowGivesHeadlineAndNoTable) {
  TDiffFileConstructorSettings S = Settings();
  S.TranslatorFiles = {"/in/a&b.sdlxliff", "/in/c.sdlxliff"};
  S.HideEquivalentString = true;
  S.FillDiffRowColored = false;
  THTMLFileCreator W(S);
  W.AddTotalInfo(2, 0, "100%");
  const std::string Page = W.BuildPage();
  EXPECT_EQ(Page.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_NE(Page.find(".ne{background-color:#fff;}\r\n"), std::string::npos);
  EXPECT_NE(Page.find("<td>/in/a&amp;b.sdlxliff<br />/in/c.sdlxliff<br /></td>"), std::string::npos);
  EXPECT_NE(Page.find("<td>hide identical segments</td>"), std::string::npos);
  EXPECT_TRUE(Page.ends_with("</table>\r\n\r\n<h4>Differences between files are not found!</h4>\r\n" +
                             test_support::HtmlPageEnd()));
  EXPECT_EQ(Page.find("class=\"t02\""), std::string::npos);
  EXPECT_EQ(Body(Page).find("<br"), Body(Page).find("<br />/in/c"));
}

TEST(HtmlPage, LogoIsBase64InLinesOf64) {
  THTMLFileCreator W(Settings());
  const std::string Page = W.BuildPage();
  const std::string Open = "<img src=\"data:image/png;base64,\r\n";
  std::size_t Pos = Page.find(Open);
  ASSERT_NE(Pos, std::string::npos);
  Pos += Open.size();
  const std::string Tail = "\" width=\"212\" height=\"68\" alt=\"Lexmora\"/>\r\n";
  const std::size_t End = Page.find(Tail, Pos);
  ASSERT_NE(End, std::string::npos);
  std::istringstream Lines(Page.substr(Pos, End - Pos));
  std::string Line, All;
  std::vector<std::size_t> Lengths;
  while (std::getline(Lines, Line)) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    Lengths.push_back(Line.size());
    All += Line;
  }
  ASSERT_GE(Lengths.size(), 2u);
  for (std::size_t I = 0; I + 1 < Lengths.size(); ++I) EXPECT_EQ(Lengths[I], 64u);
  EXPECT_LE(Lengths.back(), 64u);
  // The PNG signature and a 212 x 68 header.
  EXPECT_EQ(All.substr(0, 12), "iVBORw0KGgoA");
  EXPECT_EQ(All.substr(16, 16), "SUhEUgAAANQAAABE");  // "IHDR", 212, 68
}

TEST(HtmlPage, ATableOfManyMiBIsSavedWholeAndInOrder) {
  // Far more rows than one text of the table holds: every row once, in order, in file and page.
  const fs::path Dir = fs::temp_directory_path() / ("lexmora_html_big_" + std::to_string(::getpid()));
  THTMLFileCreator W(SettingsSavingIn(Dir));
  W.AddCaption();
  const std::string Cell(300, 'x');
  constexpr int kRows = 12000;
  for (int R = 1; R <= kRows; ++R) {
    if (R % 1000 == 1) W.AddJoinRow("doc" + std::to_string(R));
    W.AddRow(false, false, std::to_string(R), Cell + "\t" + std::to_string(R), "", Cell, Cell, "1");
  }
  W.AddTotalInfo(kRows, kRows, "1");
  ASSERT_EQ(W.ExecuteFileCreation("en_de", nullptr), "");
  std::ifstream In(Dir / "Result_x_en_de.html", std::ios::binary);
  const std::string Saved((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  In.close();  // Windows removes no open file
  fs::remove_all(Dir);
  const std::string Page = W.BuildPage();
  ASSERT_GT(Page.size(), std::size_t(8) << 20);
  EXPECT_TRUE(Saved == Page) << "the saved file differs from the page (" << Saved.size() << " and " << Page.size()
                             << " bytes)";
  std::size_t At = 0;
  for (int R = 1; R <= kRows; ++R) {
    const std::string Row = "<td class=\"ac\">" + std::to_string(R) + "</td>\r\n";
    const std::size_t Found = Page.find(Row, At);
    ASSERT_NE(Found, std::string::npos) << "row " << R << " is missing or out of order";
    const std::string Source = "<td>" + Cell + "<span class=\"tab\">\t</span>" + std::to_string(R) + "</td>";
    ASSERT_EQ(Page.find(Source, Found), Found + Row.size() + std::string("<td class=\"ac\"></td>\r\n").size());
    At = Found + Row.size();
  }
  EXPECT_EQ(Page.find("<td class=\"ac\">" + std::to_string(kRows + 1) + "</td>"), std::string::npos);
  EXPECT_NE(Page.rfind("</table>"), std::string::npos);
  EXPECT_GT(Page.rfind("</table>"), At);
}

TEST(HtmlPage, SavesExactlyThePageAndFailsLoudlyOnMissingFolder) {
  const fs::path Dir = fs::temp_directory_path() / ("lexmora_html_" + std::to_string(::getpid()));
  THTMLFileCreator W(SettingsSavingIn(Dir));
  W.AddTotalInfo(0, 0, "");
  EXPECT_EQ(W.GetFileExtention(), ".html");
  EXPECT_EQ(W.ExecuteFileCreation("en_de", nullptr), "");
  std::ifstream In(Dir / "Result_x_en_de.html", std::ios::binary);
  const std::string Saved((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  In.close();  // Windows removes no open file
  EXPECT_EQ(Saved, W.BuildPage());
  // A second page of the same name never replaces the first, and leaves no temporary file.
  try {
    W.ExecuteFileCreation("en_de", nullptr);
    ADD_FAILURE() << "an existing report was replaced";
  } catch (const std::runtime_error& E) {
    EXPECT_STREQ(E.what(), "a file of this name exists already");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);
  fs::remove_all(Dir);
  try {
    W.ExecuteFileCreation("en_de", nullptr);
    ADD_FAILURE() << "a page was written into a missing folder";
  } catch (const std::runtime_error& E) {
    EXPECT_EQ(E.what(), "cannot create a temporary file: " + test_support::MissingFolderReason());
  }
}

}  // namespace
}  // namespace lexmora
