// Runs handed to the writers give the very cell texts that the same steps give one at a time.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ExportToExcelUnit.h"
#include "ExportToHTMLUnit.h"
#include "WriterTestSupport.h"

namespace lexmora {
namespace {

using test_support::Fold;
using test_support::TStep;

// The same steps through the shared folding into runs.
std::string FoldRuns(TBaseFileCreator& W, bool AIsTr, const std::vector<TStep>& ASteps, const TTagDict& ADict,
                     const TTagIDDict& AIDDict, TShowTagsFlag AFlag) {
  std::u32string Symbols;
  for (const TStep& S : ASteps)
    if (S.Chr) Symbols.push_back(S.Chr);
  std::string Cell;
  TRunFolder Runs(W, AIsTr, Cell, Symbols, ADict, AIDDict, AFlag);
  for (const TStep& S : ASteps) Runs.Step(S.Kept, S.Chr != 0);
  Runs.Finish();
  return Cell;
}

TEST(RunFolding, RunsGiveWhatSingleStepsGive) {
  // Characters that matter to the writers: plain, escaped, not allowed in XML, a tab, two tag
  // symbols and a character beyond the basic plane.
  const char32_t Chars[] = {U'a', U'&', U'<', U'>', U'\x01', U'\t', U'\u0A85', U'\u0A86', U'\U0001F600', U'_'};
  const TTagDict Dict = {{U"\u0A85", TTagType::ttBegin, "&#60;b&#62;"}, {U"\u0A86", TTagType::ttFull, "x<y>"}};
  const TShowTagsFlag Flags[] = {TShowTagsFlag::stfDontShowTags, TShowTagsFlag::stfShowTagsOnly,
                                 TShowTagsFlag::stfShowTagsID, TShowTagsFlag::stfShowTagsContent};
  TDiffFileConstructorSettings Settings;
  THTMLFileCreator Html(Settings);
  TExcelFileCreator Excel(Settings);
  std::uint32_t Seed = 7;
  const auto Next = [&Seed] {
    Seed = Seed * 1664525u + 1013904223u;
    return Seed >> 16;
  };
  for (int Case = 0; Case < 2000; ++Case) {
    std::vector<TStep> Steps;
    const int Count = static_cast<int>(Next() % 12);
    for (int I = 0; I < Count; ++I) {
      const bool Kept = Next() % 3 == 0;
      // A kept step always has its character; a change may have none on this side.
      const bool HasChar = Kept || Next() % 3 != 0;
      Steps.push_back({HasChar ? Chars[Next() % std::size(Chars)] : char32_t(0), Kept});
    }
    TTagIDDict IDDict;
    for (int Pos = 1; Pos <= Count; ++Pos)
      if (Next() % 2) IDDict.push_back({Pos, "id" + std::to_string(Pos)});
    const bool IsTr = Case % 2 == 0;
    const TTagDict& UsedDict = Case % 3 ? Dict : TTagDict{};
    for (const TShowTagsFlag Flag : Flags) {
      EXPECT_EQ(FoldRuns(Html, IsTr, Steps, UsedDict, IDDict, Flag), Fold(Html, IsTr, Steps, UsedDict, IDDict, Flag))
          << "html case " << Case;
      EXPECT_EQ(FoldRuns(Excel, IsTr, Steps, UsedDict, IDDict, Flag), Fold(Excel, IsTr, Steps, UsedDict, IDDict, Flag))
          << "xlsx case " << Case;
    }
  }
}

// A writer without runs of its own gets the steps one by one from the default.
class TStepWriter : public THTMLFileCreator {
 public:
  using THTMLFileCreator::THTMLFileCreator;
  void AddRun(bool AIsTrPart, std::string& ACurrStr, const TTextRun& ARun, bool APrevKept, const TTagDict& ADict,
              const TTagIDDict& AIDDict, TShowTagsFlag AShowTagsFlag) override {
    TBaseFileCreator::AddRun(AIsTrPart, ACurrStr, ARun, APrevKept, ADict, AIDDict, AShowTagsFlag);
  }
};

TEST(RunFolding, DefaultRunHandsOverEveryCharacterAndEveryMarkChange) {
  TDiffFileConstructorSettings Settings;
  TStepWriter W(Settings);
  // Kept "ab", an insertion with nothing on this side, replaced "c", kept "d".
  const std::vector<TStep> Steps = {{U'a', true}, {U'b', true}, {0, false}, {U'c', false}, {U'd', true}};
  EXPECT_EQ(FoldRuns(W, true, Steps, {}, {}, TShowTagsFlag::stfShowTagsOnly),
            "ab<span class=\"dbg\">c</span>d");
  EXPECT_EQ(FoldRuns(W, true, {{0, false}}, {}, {}, TShowTagsFlag::stfShowTagsOnly), "<span class=\"dbg\"></span>");
  EXPECT_EQ(FoldRuns(W, true, {}, {}, {}, TShowTagsFlag::stfShowTagsOnly), "");
}

}  // namespace
}  // namespace lexmora
