// The analysis the report construction hands each writer: every segment in its band, the
// documents' sums, and the audit with report rows.
#include <gtest/gtest.h>

#include "RunTestSupport.h"

namespace lexmora {
namespace {

using test::TRecordingObserver;
using test::TTestRun;

TDiffInfoRecord Seg(const std::string& AUnit, const std::string& ASrc, const std::string& ATr,
                    const std::string& AFile = "/tmp/work/a.sdlxliff", const std::string& ATrg = "de-DE",
                    const std::string& AMatch = "") {
  TDiffInfoRecord R;
  R.FileName = AFile;
  R.UserPath = "before/" + AFile.substr(AFile.rfind('/') + 1);
  R.UnitID = AUnit;
  R.SegmentID = "1";
  R.Match = AMatch;
  R.SourceString = ASrc;
  R.ResultStr = ATr;
  R.SourceLang = "en-US";
  R.TargetLang = ATrg;
  return R;
}

struct TFixture {
  TRecordingObserver Observer;
  TDiffFileConstructorSettings Settings;
  std::unique_ptr<TTestRun> Run;

  explicit TFixture(bool AHide, std::vector<int> ABands = {}) {
    Settings.ResultFileName = "/r/P_";
    Settings.HideEquivalentString = AHide;
    Settings.EditBandBounds = std::move(ABands);
    Run = std::make_unique<TTestRun>(Settings, Observer);
  }
};

TEST(AnalysisConstruction, HiddenSegmentsCountInTheirBandAndDocument) {
  TFixture F(true);
  F.Run->MutableTranslatorFileData() = {
      Seg("1", "Two words", "zwei Wörter"),                         // unchanged, hidden: band 100
      Seg("2", "<x id=\"1\">b</x>Bold<y id=\"1\">/b</y>", "fett"),  // 1 step of 4: ED 75
      Seg("3", "Gone", "weg", "/tmp/work/b.sdlxliff"),              // no counterpart: ED 0, row 2
      Seg("4", "Matched", "x", "/tmp/work/b.sdlxliff"),             // stored match, changed
  };
  F.Run->MutableEditorFileData() = {Seg("1", "", "zwei Wörter"), Seg("2", "", "Fett"),
                                    Seg("4", "", "y", "/tmp/work/b.sdlxliff", "de-DE", "100"),
                                    Seg("9", "Extra", "Neu")};
  ASSERT_TRUE(F.Run->CreateDiffFile());
  ASSERT_EQ(F.Run->Analyses.size(), 1u);
  const auto& [A, Audit] = F.Run->Analyses[0];
  const auto& B = A.BandTotals();
  EXPECT_EQ(B[0].Segments, 1);
  EXPECT_EQ(B[0].Words, 2);
  EXPECT_EQ(B[0].Characters, 9);
  EXPECT_EQ(B[3].Segments, 1);  // 75-84
  EXPECT_EQ(B[3].Words, 1);     // the tags are left out
  EXPECT_EQ(B[3].Characters, 4);
  EXPECT_EQ(B[5].Segments, 2);  // "Gone" and the matched one (ED 0)
  EXPECT_EQ(B[5].NoMatchSegments, 1);
  EXPECT_EQ(A.Total().Segments, 4);

  ASSERT_EQ(A.Documents().size(), 2u);
  EXPECT_EQ(A.Documents()[0].Document, "before/a.sdlxliff");
  EXPECT_EQ(A.Documents()[0].Segments, 2);
  EXPECT_EQ(A.Documents()[0].Edited, 1);
  EXPECT_EQ(A.Documents()[0].EditDistanceText(), TotalEditDistanceText(1, 15));
  EXPECT_EQ(A.Documents()[1].Segments, 2);
  EXPECT_EQ(A.Documents()[1].EditDistanceText(), "0%");  // only "Gone" counts: 3 steps of 3

  // The label rows name the user's documents; the summary keeps the same analysis.
  EXPECT_EQ(F.Run->WriterLog[1], "Join before/a.sdlxliff (en-US > de-DE)");
  EXPECT_EQ(F.Run->PairSummaries()[0].Analysis.Total().Words, A.Total().Words);

  ASSERT_EQ(Audit.MissingInEdited.size(), 1u);
  EXPECT_EQ(Audit.MissingInEdited[0].UnitID, "3");
  EXPECT_EQ(Audit.MissingInEdited[0].Row, 2);
  EXPECT_EQ(Audit.MissingInEdited[0].Document, "before/b.sdlxliff");
  ASSERT_EQ(Audit.OnlyInEdited.size(), 1u);
  EXPECT_EQ(Audit.OnlyInEdited[0].Text, "Neu");
  EXPECT_EQ(F.Run->Audit().MissingInEdited[0].Row, 2);
}

TEST(AnalysisConstruction, EachPairGetsItsOwnAuditAndCustomBands) {
  TFixture F(false, {100, 50});
  F.Run->MutableTranslatorFileData() = {Seg("1", "a", "x"), Seg("1", "b", "y", "/tmp/work/f.sdlxliff", "fr-FR"),
                                        Seg("2", "c", "z", "/tmp/work/f.sdlxliff", "fr-FR")};
  F.Run->MutableEditorFileData() = {Seg("1", "", "x"), Seg("1", "", "y", "/tmp/work/f.sdlxliff", "FR-fr"),
                                    Seg("1", "ja", "ja", "/tmp/work/j.sdlxliff", "ja-JP")};
  ASSERT_TRUE(F.Run->CreateDiffFile());
  ASSERT_EQ(F.Run->Analyses.size(), 2u);
  const auto& [De, DeAudit] = F.Run->Analyses[0];
  const auto& [Fr, FrAudit] = F.Run->Analyses[1];
  EXPECT_EQ(De.BandTotals().size(), 2u);
  EXPECT_EQ(De.Total().Segments, 1);
  EXPECT_EQ(Fr.BandTotals()[1].Segments, 1);  // "c" has no counterpart: below 50
  EXPECT_TRUE(DeAudit.MissingInEdited.empty());
  ASSERT_EQ(FrAudit.MissingInEdited.size(), 1u);
  EXPECT_EQ(FrAudit.MissingInEdited[0].Row, 2);
  // The Japanese pair has no report, so both reports name it.
  ASSERT_EQ(DeAudit.OnlyInEdited.size(), 1u);
  ASSERT_EQ(FrAudit.OnlyInEdited.size(), 1u);
  EXPECT_EQ(DeAudit.OnlyInEdited[0].TargetLang, "ja-JP");
}

TEST(AnalysisConstruction, BadBandsEndTheConstruction) {
  TFixture F(false, {50, 60});
  F.Run->MutableTranslatorFileData() = {Seg("1", "a", "x")};
  F.Run->MutableEditorFileData() = {Seg("1", "", "x")};
  EXPECT_FALSE(F.Run->CreateDiffFile());
  EXPECT_TRUE(F.Run->Analyses.empty());
}

}  // namespace
}  // namespace lexmora
