// A whole small XLSX report: its worksheet and shared strings compared byte for byte with golden files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "ExportToExcelUnit.h"
#include "TestPaths.h"

namespace lexmora {
namespace {

const char* const GoldenSheet = LEXMORA_TEST_DATA_DIR "/report/xlsx_two_documents_tags_locked_sheet1.xml";
const char* const GoldenStrings = LEXMORA_TEST_DATA_DIR "/report/xlsx_two_documents_tags_locked_sharedStrings.xml";

using TSteps = std::vector<std::pair<std::u32string, bool>>;

// Folds one side the way the report construction does: a character (empty for none) and whether it is kept.
std::string Side(TExcelFileCreator& W, bool AIsTr, const TSteps& ASteps, const TTagDict& ADict, TShowTagsFlag AFlag) {
  std::string Cell;
  bool Last = true;
  int Pos = 0;
  for (const auto& [Chr, Kept] : ASteps) {
    if (!Chr.empty()) ++Pos;
    W.AddStrToStr(AIsTr, Cell, Chr, Pos, Kept, Last, ADict, {}, AFlag);
    Last = Kept;
  }
  W.FinishStr(Cell, Last, ADict, AFlag);
  return Cell;
}

TSteps Kept(const std::u32string& AText) {
  TSteps R;
  for (char32_t C : AText) R.push_back({std::u32string(1, C), true});
  return R;
}

void BuildSmallReport(TExcelFileCreator& W, TShowTagsFlag F) {
  W.AddCaption();
  W.AddJoinRow("/tmp/work/manual.sdlxliff (en-US > de-DE)");
  // Row 1: a bold word kept, "Haus" -> "Hause" (one insertion).
  const TTagDict Tags = {{U"\u0A85", TTagType::ttBegin, "&#60;b&#62;"}, {U"\u0A86", TTagType::ttEnd, "&#60;/b&#62;"}};
  const std::string Src1 = Side(W, true, Kept(U"\u0A85House\u0A86"), Tags, F);
  const std::string Tr1 =
      Side(W, true,
           {{U"\u0A85", true}, {U"H", true}, {U"a", true}, {U"u", true}, {U"s", true}, {U"", false}, {U"\u0A86", true}},
           Tags, F);
  const std::string Ed1 = Side(
      W, false,
      {{U"\u0A85", true}, {U"H", true}, {U"a", true}, {U"u", true}, {U"s", true}, {U"e", false}, {U"\u0A86", true}},
      Tags, F);
  W.AddRow(false, false, "1", Src1, "", Tr1, Ed1, "83");
  // Row 2: locked and equal, with a TAB and an ampersand.
  const std::string Src2 = Side(W, true, Kept(U"Q&A\tok"), {}, F);
  const std::string Tr2 = Side(W, true, Kept(U"F&A\tok"), {}, F);
  W.AddRow(true, true, "2", Src2, "100", Tr2, Tr2, "100");

  W.AddJoinRow("/tmp/work/notes.sdlxliff (en-US > de-DE)");
  // Row 3: "<1>" replaced by "<2>", and a trailing deletion.
  const std::string Src3 = Side(W, true, Kept(U"Step <1>."), {}, F);
  const std::string Tr3 = Side(W, true, {{U"<", true}, {U"1", false}, {U">", true}, {U"!", false}}, {}, F);
  const std::string Ed3 = Side(W, false, {{U"<", true}, {U"2", false}, {U">", true}, {U"", false}}, {}, F);
  W.AddRow(false, false, "3", Src3, "95", Tr3, Ed3, "50");

  W.AddTotalInfo(4, 2, "61.5%");
}

void CompareWithGolden(const std::string& AText, const char* AGolden) {
  if (std::getenv("LEXMORA_UPDATE_GOLDEN")) std::ofstream(AGolden, std::ios::binary) << AText;
  std::ifstream In(AGolden, std::ios::binary);
  ASSERT_TRUE(In) << "missing golden file " << AGolden;
  const std::string Golden((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  EXPECT_EQ(AText, Golden) << AGolden;
}

TEST(ExcelGolden, SmallReportMatchesGoldenFiles) {
  TDiffFileConstructorSettings S;
  S.TranslatorFiles = {"/projects/R&D/manual.sdlxliff", "/projects/R&D/notes.sdlxliff"};
  S.EditorFiles = {"/review/manual.sdlxliff", "/review/notes.sdlxliff"};
  S.FillDiffRowColored = true;
  S.ShowTagsFlag = TShowTagsFlag::stfShowTagsID;
  S.ResultFileName = "/nonexistent/Results/Result_20261209_080000_";
  TExcelFileCreator W(S);
  BuildSmallReport(W, S.ShowTagsFlag);
  CompareWithGolden(W.BuildSheet1(), GoldenSheet);
  CompareWithGolden(W.BuildSharedStrings(), GoldenStrings);
}

}  // namespace
}  // namespace lexmora
