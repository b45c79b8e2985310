// Report construction: pairing, counting, edit distances and the order of writer calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "LocalizationUnit.h"
#include "RunTestSupport.h"

namespace lexmora {
namespace {

using test::TRecordingObserver;
using test::TTestRun;
using Lines = std::vector<std::string>;

TDiffInfoRecord Seg(const std::string& AUnit, const std::string& ASrc, const std::string& ATr,
                    const std::string& ASrcLang = "en-US", const std::string& ATrgLang = "de-DE",
                    const std::string& AFile = "/t/a.sdlxliff", const std::string& AMatch = "", bool ALocked = false) {
  TDiffInfoRecord R;
  R.FileName = AFile;
  R.UnitID = AUnit;
  R.SegmentID = "1";
  R.Match = AMatch;
  R.IsLocked = ALocked;
  R.SourceString = ASrc;
  R.ResultStr = ATr;
  R.SourceLang = ASrcLang;
  R.TargetLang = ATrgLang;
  return R;
}

struct TCase {
  const char* Name;
  bool Hide = false;
  bool NoBreakAsSpace = false;
  TArrayOfDiffInfoRecord Source;
  TArrayOfDiffInfoRecord Edited;
  Lines Expected;
  bool ExpectedResult = true;
  std::string ExpectedFiles;
};

void PrintTo(const TCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

const std::string Join = "Join /t/a.sdlxliff (en-US > de-DE)";

std::vector<TCase> Cases() {
  std::vector<TCase> C;
  const auto Add = [&C](const char* AName, bool AHide, bool ANbsp, TArrayOfDiffInfoRecord ASource,
                        TArrayOfDiffInfoRecord AEdited, Lines AExpected, bool AResult = true, std::string AFiles = "") {
    C.push_back({AName, AHide, ANbsp, std::move(ASource), std::move(AEdited), std::move(AExpected), AResult,
                 std::move(AFiles)});
  };
  Add("AllEqualShown", false, false, {Seg("1", "a", "x"), Seg("2", "b", "y")}, {Seg("1", "", "x"), Seg("2", "", "y")},
      {"Caption", Join, "Row 1 eq src=a match= tr=x ed=x ED=100", "Row 2 eq src=b match= tr=y ed=y ED=100",
       "Total 2 0 100%", "Save en-US_de-DE"},
      true, "/r/P_en-US_de-DE.rec");
  Add("AllEqualHiddenStillCountsAndSaves", true, false, {Seg("1", "a", "x"), Seg("2", "b", "y")},
      {Seg("1", "", "x"), Seg("2", "", "y")}, {"Total 2 0 100%", "Save en-US_de-DE"}, true, "/r/P_en-US_de-DE.rec");
  Add("OneModificationGivesED67AndTotal66_7", false, false, {Seg("1", "s", "abc")}, {Seg("1", "", "abd")},
      {"Caption", Join, "Row 1 ne src=s match= tr=ab[c] ed=ab{d} ED=67", "Total 1 1 66.7%", "Save en-US_de-DE"});
  Add("NoBreakSpaceIsASpaceWithOption", true, true, {Seg("1", "s", "a\u00a0b")}, {Seg("1", "", "a b")},
      {"Total 1 0 100%", "Save en-US_de-DE"});
  Add("NoBreakSpaceDiffersWithoutOption", true, false, {Seg("1", "s", "a\u00a0b")}, {Seg("1", "", "a b")},
      {"Caption", Join, "Row 1 ne src=s match= tr=a[\u00a0]b ed=a{ }b ED=67", "Total 1 1 66.7%", "Save en-US_de-DE"});
  Add("TwoDocumentsOnePairTwoCaptions", false, false,
      {Seg("1", "a", "x"), Seg("2", "b", "y", "en-US", "de-DE", "/t/b.sdlxliff")},
      {Seg("1", "", "x"), Seg("2", "", "y", "en-US", "de-DE", "/t/b.sdlxliff")},
      {"Caption", Join, "Row 1 eq src=a match= tr=x ed=x ED=100", "Join /t/b.sdlxliff (en-US > de-DE)",
       "Row 2 eq src=b match= tr=y ed=y ED=100", "Total 2 0 100%", "Save en-US_de-DE"});
  Add("TwoPairsInOrderOfAppearance", true, false,
      {Seg("1", "a", "x", "en-US", "fr-FR"), Seg("1", "a", "x"), Seg("2", "b", "y", "en-US", "fr-FR")},
      {Seg("1", "", "x", "en-US", "fr-FR"), Seg("1", "", "x"), Seg("2", "", "y", "en-US", "fr-FR")},
      {"Total 2 0 100%", "Save en-US_fr-FR", "Total 1 0 100%", "Save en-US_de-DE"}, true,
      "/r/P_en-US_fr-FR.rec\r\n/r/P_en-US_de-DE.rec");
  Add("LanguageCaseIgnoredEverywhere", false, false, {Seg("1", "a", "x"), Seg("2", "b", "y", "EN-us", "DE-de")},
      {Seg("1", "", "x"), Seg("2", "", "z", "en-us", "de-de")},
      {"Caption", Join, "Row 1 eq src=a match= tr=x ed=x ED=100", "Join /t/a.sdlxliff (EN-us > DE-de)",
       "Row 2 ne src=b match= tr=[y] ed={z} ED=0", "Total 2 1 50%", "Save en-US_de-DE"});
  Add("LockedSegmentNotCounted", false, false, {Seg("1", "s", "abc", "en-US", "de-DE", "/t/a.sdlxliff", "", true)},
      {Seg("1", "", "abd")},
      {"Caption", Join, "Row 1 ne locked src=s match= tr=ab[c] ed=ab{d} ED=67", "Total 1 1 ", "Save en-US_de-DE"});
  Add("MatchValueNotCountedButShown", false, false, {Seg("1", "s", "abc"), Seg("2", "t", "xy")},
      {Seg("1", "", "abd", "en-US", "de-DE", "/t/a.sdlxliff", "100"), Seg("2", "", "xy")},
      {"Caption", Join, "Row 1 ne src=s match=100 tr=ab[c] ed=ab{d} ED=67", "Row 2 eq src=t match= tr=xy ed=xy ED=100",
       "Total 2 1 100%", "Save en-US_de-DE"});
  Add("MissingCounterpartIsAllDeleted", false, false, {Seg("1", "s", "ab")}, {Seg("9", "", "ab")},
      {"Caption", Join, "Row 1 ne src=s match= tr=[ab] ed={} ED=0", "Total 1 1 0%", "Save en-US_de-DE"});
  Add("FirstEditedSegmentOfAnIdentityWins", false, false, {Seg("1", "s", "ab")},
      {Seg("1", "", "ab"), Seg("1", "", "zz")},
      {"Caption", Join, "Row 1 eq src=s match= tr=ab ed=ab ED=100", "Total 1 0 100%", "Save en-US_de-DE"});
  Add("EmptySourceTextIsSkipped", false, false, {Seg("1", "", "ab"), Seg("2", "s", "c")},
      {Seg("1", "", "zz"), Seg("2", "", "c")},
      {"Caption", Join, "Row 1 eq src=s match= tr=c ed=c ED=100", "Total 1 0 100%", "Save en-US_de-DE"});
  Add("CodePointsNotUnits", false, false, {Seg("1", "s", "a\U0001F600")}, {Seg("1", "", "a\U0001F601")},
      {"Caption", Join, "Row 1 ne src=s match= tr=a[\U0001F600] ed=a{\U0001F601} ED=50", "Total 1 1 50%",
       "Save en-US_de-DE"});
  Add("TagsAreOneSymbolWithTheirIds", false, false,
      {Seg("1", "<x id=\"1\">b</x>S<y id=\"1\">/b</y>", "<x id=\"7\">b</x>ab<y id=\"7\">/b</y>")},
      {Seg("1", "", "<x id=\"8\">i</x>ab")},
      {"Caption", Join, "Row 1 ne src=<1>S<1> match= tr=<7>ab[<7>] ed=<8>ab{} ED=75", "Total 1 1 75%",
       "Save en-US_de-DE"});
  Add("UnsafeCodesGiveSafeFileNames", true, false, {Seg("1", "a", "x", "../..", "de/DE")},
      {Seg("1", "", "x", "../..", "de/DE")}, {"Total 1 0 100%", "Save .._.._de_DE"}, true, "/r/P_.._.._de_DE.rec");
  Add("CodesThatCollideWhenMadeSafeGetTwoFiles", true, false,
      {Seg("1", "a", "x", "en US", "de"), Seg("1", "a", "x", "en_US", "de")},
      {Seg("1", "", "x", "en US", "de"), Seg("1", "", "x", "en_US", "de")},
      {"Total 1 0 100%", "Save en_US_de", "Total 1 0 100%", "Save en_US_de_2"}, true,
      "/r/P_en_US_de.rec\r\n/r/P_en_US_de_2.rec");
  Add("NonAsciiCodeCharacterGivesOneUnderscore", true, false, {Seg("1", "a", "x", "en-US", "de-\u00c4\u20ac")},
      {Seg("1", "", "x", "en-US", "de-\u00c4\u20ac")}, {"Total 1 0 100%", "Save en-US_de-__"}, true,
      "/r/P_en-US_de-__.rec");
  Add("NoSourceSegmentsNoPair", false, false, {}, {Seg("1", "", "x")}, {}, false, "");
  return C;
}

class ReportConstruction : public testing::TestWithParam<TCase> {};

TEST_P(ReportConstruction, WriterProtocol) {
  const TCase& C = GetParam();
  TDiffFileConstructorSettings S;
  S.HideEquivalentString = C.Hide;
  S.DoNotSeparateSpaces = C.NoBreakAsSpace;
  S.ResultFileName = "/r/P_";
  TRecordingObserver Observer;
  TTestRun Run(S, Observer);
  Run.MutableTranslatorFileData() = C.Source;
  Run.MutableEditorFileData() = C.Edited;
  EXPECT_EQ(Run.CreateDiffFile(), C.ExpectedResult);
  EXPECT_EQ(Run.WriterLog, C.Expected);
  if (!C.ExpectedFiles.empty() || !C.ExpectedResult) {
    EXPECT_EQ(Run.ResultFiles(), C.ExpectedFiles);
  }
  // The operation covers every source segment, and its last point is always delivered.
  ASSERT_FALSE(Observer.Calls.empty());
  EXPECT_EQ(Observer.Calls.front(), "Op " + GetLocalizedText(TMsg::CreateReportOperation, TLocalizationLanguare::llEN) +
                                        " " + std::to_string(C.Source.size()) + " 60-100");
  EXPECT_EQ(Observer.Calls.back(), "Point " + std::to_string(C.Source.size()));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportConstruction, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<TCase>& AInfo) { return std::string(AInfo.param.Name); });

TEST(ReportConstructionPairs, SafeSuffixReplacesEachCharacterOnce) {
  const std::vector<std::pair<std::string, std::string>> Rows = {
      {"en-US_de.DE", "en-US_de.DE"},
      {"sr-Latn_\u0161", "sr-Latn__"},
      {"x/\U0001F600_y z", "x___y_z"},
      {"\xFF\xFE_\xC3", "____"},  // bytes that are not UTF-8: one "_" each
  };
  for (const auto& [In, Expected] : Rows) {
    const std::size_t Cut = In.find('_');
    EXPECT_EQ(TDiffFileConstructor::SafeLangPairSuffix(In.substr(0, Cut), In.substr(Cut + 1)), Expected) << In;
  }
}

TEST(ReportConstructionStop, StopDuringReportStillSavesEveryPairShortened) {
  TDiffFileConstructorSettings S;
  S.ResultFileName = "/r/P_";
  TRecordingObserver Observer;
  TTestRun Run(S, Observer);
  Run.MutableTranslatorFileData() = {Seg("1", "a", "x"), Seg("1", "a", "x", "en-US", "fr-FR")};
  Run.MutableEditorFileData() = {Seg("1", "", "y")};
  Run.Terminate();
  EXPECT_TRUE(Run.CreateDiffFile());
  EXPECT_EQ(Run.WriterLog, (Lines{"Total 0 0 ", "Save en-US_de-DE", "Total 0 0 ", "Save en-US_fr-FR"}));
  EXPECT_EQ(Run.ResultFiles(), "/r/P_en-US_de-DE.rec\r\n/r/P_en-US_fr-FR.rec");
}

TEST(ReportConstructionFailures, EveryPairIsAttemptedAndAnyFailedPairFailsTheResult) {
  TDiffFileConstructorSettings S;
  S.ResultFileName = "/r/P_";
  TRecordingObserver Observer;
  const TArrayOfDiffInfoRecord Source = {Seg("1", "a", "x"), Seg("1", "a", "x", "en-US", "fr-FR")};
  for (const int Failing : {0, 1}) {
    SCOPED_TRACE(Failing);
    TTestRun Run(S, Observer);
    Run.MutableTranslatorFileData() = Source;
    Run.FailSaveOfWriter = Failing;
    EXPECT_FALSE(Run.CreateDiffFile());
    EXPECT_EQ(std::count_if(Run.WriterLog.begin(), Run.WriterLog.end(),
                            [](const std::string& L) { return L.starts_with("Save "); }),
              2);  // both pairs saved
    ASSERT_EQ(Run.PairSummaries().size(), 2u);
    EXPECT_EQ(Run.PairSummaries()[0].Written, Failing != 0);
    EXPECT_EQ(Run.PairSummaries()[1].Written, Failing != 1);
    const std::string Failed = Failing == 0 ? "/r/P_en-US_de-DE.rec" : "/r/P_en-US_fr-FR.rec";
    const std::string Written = Failing == 0 ? "/r/P_en-US_fr-FR.rec" : "/r/P_en-US_de-DE.rec";
    // Only the file that was written is a result; the other one is an error line.
    EXPECT_EQ(Run.ResultFiles(), Written);
    ASSERT_EQ(Run.Errors().size(), 1u);
    EXPECT_EQ(Run.Errors()[0].Side, TErrorSide::esReport);
    EXPECT_EQ(Run.Errors()[0].Path, Failed);
    EXPECT_EQ(Run.ErrorLog(), "cannot save: " + Failed + "\r\n");
  }
  // Every pair written: true, no error line.
  TTestRun Run(S, Observer);
  Run.MutableTranslatorFileData() = Source;
  EXPECT_TRUE(Run.CreateDiffFile());
  EXPECT_TRUE(Run.Errors().empty());
}

// An export that cannot be written (its folder is missing) is an error line and fails the run,
// though the report beside it was written.
TEST(ReportConstructionFailures, AnUnwritableCsvExportFailsTheResult) {
  TDiffFileConstructorSettings S;
  S.ResultFileName = "/nonexistent-folder/P_";
  S.WriteCsv = true;
  TRecordingObserver Observer;
  TTestRun Run(S, Observer);
  Run.MutableTranslatorFileData() = {Seg("1", "a", "x")};
  EXPECT_FALSE(Run.CreateDiffFile());
  ASSERT_EQ(Run.PairSummaries().size(), 1u);
  EXPECT_TRUE(Run.PairSummaries()[0].Written);
  EXPECT_EQ(Run.PairSummaries()[0].CsvFile, "");
  ASSERT_EQ(Run.Errors().size(), 1u);
  EXPECT_EQ(Run.Errors()[0].Side, TErrorSide::esReport);
  EXPECT_EQ(Run.Errors()[0].Path, "/nonexistent-folder/P_en-US_de-DE.csv");
}

TEST(ReportConstructionFailures, AnExceptionOfTheWriterIsOneErrorLineAndTheNextPairIsWritten) {
  TDiffFileConstructorSettings S;
  S.ResultFileName = "/r/P_";
  TRecordingObserver Observer;
  TTestRun Run(S, Observer);
  Run.MutableTranslatorFileData() = {Seg("1", "a", "x"), Seg("1", "a", "x", "en-US", "fr-FR")};
  Run.ThrowSaveOfWriter = 0;
  EXPECT_FALSE(Run.CreateDiffFile());
  EXPECT_EQ(Run.ResultFiles(), "/r/P_en-US_fr-FR.rec");
  ASSERT_EQ(Run.Errors().size(), 1u);
  EXPECT_EQ(Run.Errors()[0].Message, GetLocalizedText(TMsg::ReportFailed, TLocalizationLanguare::llEN));
  EXPECT_EQ(Run.Errors()[0].Reason, "disk full");
  EXPECT_EQ(Run.ErrorLog(), "Comparison report failed!: /r/P_en-US_de-DE.rec: disk full\r\n");
}

TEST(ReportConstructionFailures, MalformedMarkupEndsTheWholeConstruction) {
  TDiffFileConstructorSettings S;
  S.ResultFileName = "/r/P_";
  TRecordingObserver Observer;
  {
    // Broken in the first pair: nothing finished, false, no file, no later pair.
    TTestRun Run(S, Observer);
    Run.MutableTranslatorFileData() = {Seg("1", "a", "x < y"), Seg("1", "a", "x", "en-US", "fr-FR")};
    EXPECT_FALSE(Run.CreateDiffFile());
    EXPECT_TRUE(Run.WriterLog.empty());
    EXPECT_EQ(Run.ResultFiles(), "");
  }
  {
    // Broken in the second pair: the first pair's report stands, the result does not, and the
    // error line names the report that was not written.
    TTestRun Run(S, Observer);
    Run.MutableTranslatorFileData() = {Seg("1", "a", "x"), Seg("1", "a", "x &", "en-US", "fr-FR")};
    Run.MutableEditorFileData() = {Seg("1", "", "x")};
    EXPECT_FALSE(Run.CreateDiffFile());
    EXPECT_EQ(Run.ResultFiles(), "/r/P_en-US_de-DE.rec");
    ASSERT_EQ(Run.Errors().size(), 1u);
    EXPECT_EQ(Run.Errors()[0].Path, "/r/P_en-US_fr-FR.rec");
    EXPECT_FALSE(Run.Errors()[0].Reason.empty());
  }
}

TEST(ReportConstructionPairs, SummariesMatchTheTotals) {
  TDiffFileConstructorSettings S;
  S.ResultFileName = "/r/P_";
  TRecordingObserver Observer;
  TTestRun Run(S, Observer);
  Run.MutableTranslatorFileData() = {Seg("1", "s", "abc"), Seg("2", "t", "x")};
  Run.MutableEditorFileData() = {Seg("1", "", "abd"), Seg("2", "", "x")};
  EXPECT_TRUE(Run.CreateDiffFile());
  ASSERT_EQ(Run.PairSummaries().size(), 1u);
  const TPairSummary& P = Run.PairSummaries()[0];
  EXPECT_EQ(P.LangPair.SrcLang, "en-US");
  EXPECT_EQ(P.TotalSegCount, 2);
  EXPECT_EQ(P.ChangedSegCount, 1);
  EXPECT_EQ(P.EdDist, "75%");
  EXPECT_EQ(P.ReportFile, "/r/P_en-US_de-DE.rec");
  EXPECT_TRUE(P.Written);
}

// Many segments are compared on two threads, a batch at a time: the rows must come in source
// order, numbered per pair, each exactly as the comparison of that segment alone gives it.
TEST(ReportConstructionBatches, ManySegmentsComeOutAsEachAlone) {
  for (const bool Hide : {false, true}) {
    SCOPED_TRACE(Hide ? "unchanged hidden" : "all shown");
    TDiffFileConstructorSettings S;
    S.ResultFileName = "/r/P_";
    S.HideEquivalentString = Hide;
    TArrayOfDiffInfoRecord Source, Edited;
    for (int I = 0; I < 1600; ++I) {
      const std::string N = std::to_string(I);
      const std::string Trg = I % 3 == 0 ? "fr-FR" : "de-DE";
      const std::string File = I < 700 ? "/t/a.sdlxliff" : "/t/b.sdlxliff";
      Source.push_back(Seg("u" + N, "source <x id=\"1\"/>" + N, "tr " + N + " a b", "en-US", Trg, File, "",
                           I % 7 == 0));
      if (I % 11 == 0) continue;  // no edited counterpart
      Edited.push_back(Seg("u" + N, "source", I % 2 ? "tr " + N + " a b" : "ed " + N + " b c", "en-US", Trg, File,
                           I % 5 == 0 ? "100" : ""));
    }
    TRecordingObserver Observer;
    TTestRun Run(S, Observer);
    Run.MutableTranslatorFileData() = Source;
    Run.MutableEditorFileData() = Edited;
    ASSERT_TRUE(Run.CreateDiffFile());

    // What each segment gives alone, without its number.
    const auto WithoutNumber = [](const std::string& ARow) { return ARow.substr(ARow.find(' ', 4)); };
    std::map<std::string, std::vector<std::string>> ExpectedRows;  // per target language, in order
    std::map<std::string, TDiffInfoRecord> EditedOf;
    for (const TDiffInfoRecord& E : Edited) EditedOf.emplace(E.UnitID, E);
    for (std::size_t I = 0; I < Source.size(); ++I) {
      TTestRun Alone(S, Observer);
      Alone.MutableTranslatorFileData() = {Source[I]};
      if (const auto It = EditedOf.find(Source[I].UnitID); It != EditedOf.end())
        Alone.MutableEditorFileData() = {It->second};
      ASSERT_TRUE(Alone.CreateDiffFile());
      for (const std::string& L : Alone.WriterLog)
        if (L.starts_with("Row ")) ExpectedRows[Source[I].TargetLang].push_back(WithoutNumber(L));
    }
    std::map<std::string, std::vector<std::string>> Rows;
    std::string Pair;
    for (const std::string& L : Run.WriterLog) {
      if (L.starts_with("Join ")) Pair = L.find("fr-FR") != std::string::npos ? "fr-FR" : "de-DE";
      if (!L.starts_with("Row ")) continue;
      std::vector<std::string>& Of = Rows[Pair];
      EXPECT_EQ(L.substr(4, L.find(' ', 4) - 4), std::to_string(Of.size() + 1));
      Of.push_back(WithoutNumber(L));
    }
    EXPECT_EQ(Rows, ExpectedRows);
    EXPECT_GT(ExpectedRows["de-DE"].size(), Hide ? 300u : 1000u);
    // Document labels where the document changes, once per pair and document.
    EXPECT_EQ(std::count_if(Run.WriterLog.begin(), Run.WriterLog.end(), [](const std::string& L) { return L.starts_with("Join "); }),
              4);
  }
}

}  // namespace
}  // namespace lexmora
