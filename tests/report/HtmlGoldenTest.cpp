// A whole small HTML report compared byte for byte with its golden file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "ExportToHTMLUnit.h"
#include "TestPaths.h"
#include "WriterTestSupport.h"

namespace lexmora {
namespace {

const char* const GoldenFile = LEXMORA_TEST_DATA_DIR "/report/two_documents_tags_locked_tab.html";

// Folds one side of a comparison the way the report construction does: each entry is a
// character (empty for none on this side) and whether the step is kept.
std::string Side(THTMLFileCreator& W, bool AIsTr, const std::vector<std::pair<std::u32string, bool>>& ASteps,
                 const TTagDict& ADict, const TTagIDDict& AIDDict, TShowTagsFlag AFlag) {
  std::string Cell;
  bool Last = true;
  int Pos = 0;
  for (const auto& [Chr, Kept] : ASteps) {
    if (!Chr.empty()) ++Pos;
    W.AddStrToStr(AIsTr, Cell, Chr, Pos, Kept, Last, ADict, AIDDict, AFlag);
    Last = Kept;
  }
  W.FinishStr(Cell, Last, ADict, AFlag);
  return Cell;
}

std::vector<std::pair<std::u32string, bool>> Kept(const std::u32string& AText) {
  std::vector<std::pair<std::u32string, bool>> R;
  for (char32_t C : AText) R.push_back({std::u32string(1, C), true});
  return R;
}

std::string BuildSmallReport(bool AWithAnalysis = false) {
  TDiffFileConstructorSettings S;
  S.TranslatorFiles = {"/projects/R&D/manual.sdlxliff", "/projects/R&D/notes.sdlxliff"};
  S.EditorFiles = {"/review/manual.sdlxliff", "/review/notes.sdlxliff"};
  S.FillDiffRowColored = true;
  S.ShowTagsFlag = TShowTagsFlag::stfShowTagsID;
  const TShowTagsFlag F = S.ShowTagsFlag;
  THTMLFileCreator W(S);

  W.AddCaption();
  W.AddJoinRow("/tmp/work/manual.sdlxliff (en-US > de-DE)");
  // Row 1: a bold word kept, "Haus" -> "Hause" (one insertion).
  const TTagDict Tags = {{U"\u0A85", TTagType::ttBegin, "&#60;b&#62;"}, {U"\u0A86", TTagType::ttEnd, "&#60;/b&#62;"}};
  const TTagIDDict Ids = {{1, "7"}, {6, "7"}};
  const std::string Src1 = Side(W, true, Kept(U"\u0A85House\u0A86"), Tags, Ids, F);
  const std::string Tr1 =
      Side(W, true,
           {{U"\u0A85", true}, {U"H", true}, {U"a", true}, {U"u", true}, {U"s", true}, {U"", false}, {U"\u0A86", true}},
           Tags, Ids, F);
  const TTagIDDict EdIds = {{1, "7"}, {7, "7"}};
  const std::string Ed1 = Side(
      W, false,
      {{U"\u0A85", true}, {U"H", true}, {U"a", true}, {U"u", true}, {U"s", true}, {U"e", false}, {U"\u0A86", true}},
      Tags, EdIds, F);
  W.AddRow(false, false, "1", Src1, "", Tr1, Ed1, "83");
  // Row 2: locked and equal, with a TAB and an ampersand.
  const std::string Src2 = Side(W, true, Kept(U"Q&A\tok"), {}, {}, F);
  const std::string Tr2 = Side(W, true, Kept(U"F&A\tok"), {}, {}, F);
  W.AddRow(true, true, "2", Src2, "100", Tr2, Tr2, "100");

  W.AddJoinRow("/tmp/work/notes.sdlxliff (en-US > de-DE)");
  // Row 3: "<1>" replaced by "<2>", and a trailing deletion.
  const std::string Src3 = Side(W, true, Kept(U"Step <1>."), {}, {}, F);
  const std::string Tr3 = Side(W, true, {{U"<", true}, {U"1", false}, {U">", true}, {U"!", false}}, {}, {}, F);
  const std::string Ed3 = Side(W, false, {{U"<", true}, {U"2", false}, {U">", true}, {U"", false}}, {}, {}, F);
  W.AddRow(false, false, "3", Src3, "95", Tr3, Ed3, "50");

  W.AddTotalInfo(4, 2, "61.5%");
  if (AWithAnalysis) {
    TPairAnalysis Analysis;
    TSegmentFacts Facts;
    Facts.Document = "/projects/R&D/manual.sdlxliff";
    Facts.Source = {1, 5};
    Analysis.Add(Facts);
    TPairingAudit Audit;
    Audit.OnlyInEdited.push_back(
        {TAuditSide::asEdited, 0, "/review/notes.sdlxliff", "u<9>", "1", "en-US", "de-DE", "Neu & mehr", 0});
    W.AddAnalysis(Analysis, Audit);
  }
  return W.BuildPage();
}

// The golden file holds the page without the viewer block, so it shows that every byte before
// the block is as it was.
TEST(HtmlGolden, SmallReportMatchesGoldenFileWithTheViewerBeforeTheEnd) {
  const std::string Page = BuildSmallReport(), Tail = test_support::HtmlPageEnd();
  ASSERT_GT(Page.size(), Tail.size());
  ASSERT_EQ(Page.substr(Page.size() - Tail.size()), Tail);
  const std::string WithoutViewer = Page.substr(0, Page.size() - Tail.size()) + "</body>\r\n</html>\r\n";
  if (std::getenv("LEXMORA_UPDATE_GOLDEN")) {
    std::ofstream(GoldenFile, std::ios::binary) << WithoutViewer;
  }
  std::ifstream In(GoldenFile, std::ios::binary);
  ASSERT_TRUE(In) << "missing golden file " << GoldenFile;
  const std::string Golden((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  EXPECT_EQ(WithoutViewer, Golden);
}

TEST(HtmlGolden, AnalysisSectionLeavesEverythingBeforeItAsItWas) {
  // The golden page without its closing lines is where the section begins.
  const std::string Plain = BuildSmallReport(), Page = BuildSmallReport(true), Tail = test_support::HtmlPageEnd();
  ASSERT_EQ(Plain.substr(Plain.size() - Tail.size()), Tail);
  const std::string Before = Plain.substr(0, Plain.size() - Tail.size());
  EXPECT_EQ(Page.substr(0, Before.size()), Before);
  EXPECT_EQ(Page.substr(Before.size(), 22), "<div class=\"analysis\">");
  EXPECT_EQ(Page.substr(Page.size() - Tail.size()), Tail);
}

}  // namespace
}  // namespace lexmora
