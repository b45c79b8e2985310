// The Memsource document reader: scores, locks, placeholder tokens and bad documents.
#include <gtest/gtest.h>

#include <clocale>

#include "ImportFromFileGroup05Unit.h"
#include "ReaderRunUtil.h"

using namespace lexmora;
using namespace lexmora::testutil;

namespace {

std::string MxDoc(const std::string& ABody) {
  return "<?xml version='1.0' encoding='UTF-8'?><xliff xmlns=\"urn:oasis:names:tc:xliff:document:1.2\" "
         "xmlns:m=\"http://www.memsource.com/mxlf/2.0\" version=\"1.2\" m:version=\"2.13\">\n"
         "<file original=\"a.html\" source-language=\"en\" target-language=\"nl\">\n<body>\n" +
         ABody + "\n</body>\n</file>\n</xliff>\n";
}

std::string MxUnit(const std::string& AId, const std::string& ASource, const std::string& ATarget, const std::string& AAttrs = "",
                   const std::string& AExtra = "") {
  return "<group id=\"0\"><trans-unit id=\"" + AId + "\" xml:space=\"preserve\"" + AAttrs + ">\n<source>" + ASource +
         "</source>\n<target>" + ATarget + "</target>\n" + AExtra + "</trans-unit></group>\n";
}

std::string Mark(const std::string& AId, const std::string& AContent) {
  return "<m:mark id=\"" + AId + "\"><m:type>ph</m:type><m:content>" + AContent + "</m:content></m:mark>";
}

bool ReadMx(const std::string& ADoc, TArrayOfDiffInfoRecord& ARecords) {
  TImporterFromGroup05 Reader("/nonexistent/", "/nonexistent/doc.mxliff", false);
  return Reader.GetDataFromText(ADoc, "doc.mxliff", nullptr, ARecords);
}

TEST(MemsourceReader, ScoreToMatch) {
  const std::pair<const char*, const char*> Rows[] = {
      {"0.0011", "0"}, {"0.5", "50"},   {"1,0", "100"},     {"1", "100"},   {"1.0", "100"}, {"0.95", "95"},
      {"0.125", "12"}, {"0.375", "38"}, {"0.666667", "67"}, {"0.001", ""},  {"0", ""},      {"0.0", ""},
      {"-0.5", ""},    {"abc", ""},     {"", ""},           {"1.2.3", ""},  {" 0.5 ", "50"}, {"1e300", ""},
      {"nan", ""},     {"inf", ""},     {"1,", "100"},      {",5", "50"},
  };
  for (const auto& [Score, Match] : Rows) EXPECT_EQ(TImporterFromGroup05::ScoreToMatch(Score), Match) << "score " << Score;
}

TEST(MemsourceReader, ScoreIgnoresTheProcessLocale) {
  const char* Old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string Saved = Old ? Old : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "ru_RU.UTF-8")) GTEST_SKIP() << "no comma locale installed";
  EXPECT_EQ(TImporterFromGroup05::ScoreToMatch("0.95"), "95");
  EXPECT_EQ(TImporterFromGroup05::ScoreToMatch("0,95"), "95");
  std::setlocale(LC_NUMERIC, Saved.c_str());
}

TEST(MemsourceReader, LockAndScoreAttributes) {
  struct TRow {
    const char* Attrs;
    bool Locked;
    const char* Match;
  };
  const TRow Rows[] = {{" m:locked=\"TRUE\" m:score=\"0.5\"", true, "50"},
                       {" m:locked=\"true\"", true, ""},
                       {" m:locked=\"false\" m:score=\"0\"", false, ""},
                       {"", false, ""}};
  for (const TRow& Row : Rows) {
    SCOPED_TRACE(Row.Attrs);
    TArrayOfDiffInfoRecord R;
    ASSERT_TRUE(ReadMx(MxDoc(MxUnit(" u1 ", "a", "b", Row.Attrs)), R));
    ASSERT_EQ(R.size(), 1u);
    EXPECT_EQ(R[0].UnitID, "u1");
    EXPECT_EQ(R[0].SegmentID, "");
    EXPECT_EQ(R[0].IsLocked, Row.Locked);
    EXPECT_EQ(R[0].Match, Row.Match);
  }
}

struct TTokenCase {
  const char* Name;
  std::string Source, Target, Extra;
  std::string ExpectedSource, ExpectedTarget;
};

class MemsourceTokens : public ::testing::TestWithParam<TTokenCase> {};

TEST_P(MemsourceTokens, BecomeInternalMarkup) {
  const TTokenCase& C = GetParam();
  TArrayOfDiffInfoRecord R;
  ASSERT_TRUE(ReadMx(MxDoc(MxUnit("u", C.Source, C.Target, "", C.Extra)), R));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].SourceString, C.ExpectedSource);
  EXPECT_EQ(R[0].ResultStr, C.ExpectedTarget);
}

const std::string kBold = "&lt;b&gt;";
const std::string kBr = "&lt;br/&gt;";

INSTANTIATE_TEST_SUITE_P(
    Cases, MemsourceTokens,
    ::testing::Values(
        TTokenCase{"PairedAndStandaloneTokens", "Press {1&gt;here&lt;1}{2} now", "Druk {1&gt;hier&lt;1}{2} nu",
                   "<m:tunit-metadata>" + Mark("1", kBold) + Mark("2", kBr) + "</m:tunit-metadata>" +
                       "<m:tunit-target-metadata>" + Mark("1", kBold) + Mark("2", kBr) + "</m:tunit-target-metadata>",
                   "Press <x id=\"1\">&#60;b&#62;</x>here<y id=\"1\">&#60;b&#62;</y><z id=\"2\">&#60;br/&#62;</z> now",
                   "Druk <x id=\"1\">&#60;b&#62;</x>hier<y id=\"1\">&#60;b&#62;</y><z id=\"2\">&#60;br/&#62;</z> nu"},
        TTokenCase{"TextWithoutTokensIsSerialised", "It's A & B", "x > y", "", "It&#39;s A &#38; B", "x &#62; y"},
        TTokenCase{"TargetWithoutItsMetadataKeepsTokens", "{1}a", "{1}b",
                   "<m:tunit-metadata>" + Mark("1", kBr) + "</m:tunit-metadata>", "<z id=\"1\">&#60;br/&#62;</z>a", "{1}b"},
        TTokenCase{"IdsOneAndElevenApart", "{1}{11}", "",
                   "<m:tunit-metadata>" + Mark("1", "A") + Mark("11", "B") + "</m:tunit-metadata>", "<z id=\"1\">A</z><z id=\"11\">B</z>", ""},
        TTokenCase{"ElevenBeforeOne", "{11&gt;x&lt;11}{1}", "",
                   "<m:tunit-metadata>" + Mark("11", "B") + Mark("1", "A") + "</m:tunit-metadata>",
                   "<x id=\"11\">B</x>x<y id=\"11\">B</y><z id=\"1\">A</z>", ""},
        TTokenCase{"MarkWithoutContent", "{3}", "", "<m:tunit-metadata><m:mark id=\"3\"><m:type>ph</m:type></m:mark></m:tunit-metadata>",
                   "<z id=\"3\"></z>", ""},
        TTokenCase{"TokenWithoutMetadataStays", "{7}a{8&gt;", "", "<m:tunit-metadata>" + Mark("1", "A") + "</m:tunit-metadata>",
                   "{7}a{8&#62;", ""},
        TTokenCase{"MarkWithoutIdIgnored", "{1}", "", "<m:tunit-metadata><m:mark><m:content>A</m:content></m:mark></m:tunit-metadata>",
                   "{1}", ""},
        TTokenCase{"EmptyIdDoesNotEatLiteralBraces", "a{}b", "", "<m:tunit-metadata>" + Mark("", "A") + "</m:tunit-metadata>",
                   "a{}b", ""},
        TTokenCase{"IdWithSpecialCharactersEscaped", "{a&quot;b}", "", "<m:tunit-metadata>" + Mark("a&quot;b", "C") + "</m:tunit-metadata>",
                   "<z id=\"a&quot;b\">C</z>", ""},
        TTokenCase{"ElementsInTheSegmentAreSerialised", "a<g id=\"1\">b</g>", "", "", "a<g id=\"1\">b</g>", ""},
        TTokenCase{"TokensInMarkupStayUntouched", "<g title=\"{1}\">{1}</g><!--{1}-->", "",
                   "<m:tunit-metadata>" + Mark("1", "A") + "</m:tunit-metadata>", "<g title=\"{1}\"><z id=\"1\">A</z></g>", ""},
        TTokenCase{"TokenInsideInsertedContentMarkupStays", "{1}{2}", "",
                   "<m:tunit-metadata>" + Mark("1", "<q a=\"{2}\">{2}</q>") + Mark("2", "B") + "</m:tunit-metadata>",
                   "<z id=\"1\"><q a=\"{2}\"><z id=\"2\">B</z></q></z><z id=\"2\">B</z>", ""},
        TTokenCase{"LastMetadataElementCounts", "{1}", "",
                   "<m:tunit-metadata>" + Mark("1", "old") + "</m:tunit-metadata><m:tunit-metadata>" + Mark("1", "new") + "</m:tunit-metadata>",
                   "<z id=\"1\">new</z>", ""}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(MemsourceReader, UnitWithoutIdGivesNoRecord) {
  TArrayOfDiffInfoRecord R;
  ASSERT_TRUE(ReadMx(MxDoc("<trans-unit><source>a</source><target>b</target></trans-unit>" + MxUnit("u2", "c", "d")), R));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].UnitID, "u2");
}

// An id of blanks and control characters is not empty: the segment is kept, its id trimmed away.
TEST(MemsourceReader, UnitWithBlankIdKeepsItsSegment) {
  TArrayOfDiffInfoRecord R;
  ASSERT_TRUE(ReadMx(MxDoc(MxUnit(" \x10 ", "a", "b") + MxUnit("", "c", "d") + MxUnit(" u3 ", "e", "f")), R));
  ASSERT_EQ(R.size(), 2u);
  EXPECT_EQ(R[0].UnitID, "");
  EXPECT_EQ(R[0].SourceString, "a");
  EXPECT_EQ(R[1].UnitID, "u3");
}

struct TBadMx {
  const char* Name;
  std::string Doc;
  std::size_t RecordsKept;
};

class MemsourceBadDocument : public ::testing::TestWithParam<TBadMx> {};

TEST_P(MemsourceBadDocument, EndsWithFalseAndALogLine) {
  TArrayOfDiffInfoRecord R(1);
  const std::size_t Before = CountOf(LogText(), "TImporterFromGroup05.GetDataFromFile");
  EXPECT_FALSE(ReadMx(GetParam().Doc, R));
  EXPECT_EQ(R.size(), 1 + GetParam().RecordsKept);
  EXPECT_GT(CountOf(LogText(), "TImporterFromGroup05.GetDataFromFile"), Before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemsourceBadDocument,
    ::testing::Values(TBadMx{"UnitWithoutTarget", MxDoc(MxUnit("u1", "a", "b") + "<trans-unit id=\"u2\"><source>c</source></trans-unit>"), 1},
                      TBadMx{"UnitWithoutSource", MxDoc("<trans-unit id=\"u2\"><target>c</target></trans-unit>"), 0},
                      TBadMx{"NotWellFormed", MxDoc(MxUnit("u1", "a", "b")).substr(0, 300), 0},
                      TBadMx{"Empty", "", 0}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(MemsourceReader, WholeFileThroughTheWorkingCopy) {
  TScratchDir D;
  const std::string Input = D.Dir() + "job-en-nl-T.mxliff";
  WriteFile(Input, MxDoc(MxUnit("j:0", "{1}Hi", "{1}Hoi", " m:score=\"0.96\"",
                                "<m:tunit-metadata>" + Mark("1", kBr) + "</m:tunit-metadata><m:tunit-target-metadata>" + Mark("1", kBr) +
                                    "</m:tunit-target-metadata>")));
  const TReaderRun Run = RunReader(D.Dir() + "Temp/", Input);
  ASSERT_EQ(Run.Extract, TExtractFilesResult::efrOk);
  EXPECT_EQ(Run.Pair.SrcLang, "en");
  EXPECT_EQ(Run.Pair.TrgLang, "nl");
  ASSERT_EQ(Run.Records.size(), 1u);
  EXPECT_EQ(Run.Records[0].FileName, D.Dir() + "Temp/job-en-nl-T.mxliff");
  EXPECT_EQ(Run.Records[0].Match, "96");
  EXPECT_EQ(Run.Records[0].ResultStr, "<z id=\"1\">&#60;br/&#62;</z>Hoi");
  EXPECT_EQ(Run.Records[0].TargetLang, "nl");
}

}  // namespace
