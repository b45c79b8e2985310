// The memoQ document reader on small documents, one named row per behaviour.
#include <gtest/gtest.h>

#include "ImportFromFileGroup03Unit.h"
#include "ReaderRunUtil.h"

using namespace lexmora;
using namespace lexmora::testutil;

namespace {

std::string MqDoc(const std::string& ABody) {
  return "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\" xmlns:mq=\"MQXliff\">\n"
         "<file original=\"a.docx\" source-language=\"en-US\" target-language=\"de-DE\" datatype=\"x-docx\">\n"
         "<header/>\n<body>\n" +
         ABody + "\n</body>\n</file>\n</xliff>\n";
}

std::string MqUnit(const std::string& AGuid, const std::string& ASource, const std::string& ATarget, const std::string& AAttrs = "") {
  return "<trans-unit id=\"1\" mq:segmentguid=\"" + AGuid + "\"" + AAttrs + ">\n<source xml:space=\"preserve\">" + ASource +
         "</source>\n<target xml:space=\"preserve\">" + ATarget + "</target>\n</trans-unit>\n";
}

bool ReadMq(const std::string& ADoc, TArrayOfDiffInfoRecord& ARecords, const TIsTerminateSetFunc& AStop = nullptr) {
  TImporterFromGroup03 Reader("/nonexistent/", "/nonexistent/doc.mqxliff", false);
  return Reader.GetDataFromText(ADoc, "doc.mqxliff", AStop, ARecords);
}

struct TConversion {
  const char* Name;
  std::string Target;    // content of the target element as written in the file
  std::string Expected;  // internal markup
};

class MemoQConversion : public ::testing::TestWithParam<TConversion> {};

TEST_P(MemoQConversion, TargetBecomesInternalMarkup) {
  TArrayOfDiffInfoRecord R;
  ASSERT_TRUE(ReadMq(MqDoc(MqUnit("g", "s", GetParam().Target)), R));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].ResultStr, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoQConversion,
    ::testing::Values(
        TConversion{"LinkTagsAndEmptyBraceTags",
                    "Click <bpt id=\"1\">&lt;a href=\"x\"&gt;</bpt>here<ept id=\"1\">&lt;/a&gt;</ept><bpt id=\"2\">{}</bpt>now<ept id=\"2\">{}</ept>",
                    "Click <x id=\"1\">&lt;a href=&quot;x&quot;&gt;</x>here<y id=\"1\">&lt;/a&gt;</y>now"},
        TConversion{"PlaceholderWithBracesLeavesNoTrace", "a<ph id=\"3\">{}</ph>b", "ab"},
        TConversion{"PlaceholderWithLineBreakCode", "a<ph id=\"3\">&lt;br/&gt;</ph>b", "a<z id=\"3\">&lt;br/&gt;</z>b"},
        TConversion{"OtherNamesAreStandalone", "<it id=\"4\">i</it><x id=\"5\">x</x>", "<z id=\"4\">i</z><z id=\"5\">x</z>"},
        TConversion{"EmptyTagElement", "a<ph id=\"6\"/>b", "a<z id=\"6\"></z>b"},
        TConversion{"WholeTargetIsBraces", "{}", ""},
        TConversion{"BracesBetweenCharactersStay", "a{}b", "a{}b"},
        TConversion{"BlankBetweenTagsIsKept", "<ph id=\"1\">x</ph> <ph id=\"2\">y</ph>", "<z id=\"1\">x</z> <z id=\"2\">y</z>"},
        TConversion{"ElementWithoutIdGivesItsText", "<mrk mtype=\"x-mq-range\">kept</mrk> text", "kept text"},
        TConversion{"TrackedDeletionLeftOut",
                    "<mrk mtype=\"x-mq-tc\" mq:tctype=\"del\" mq:tcuser=\"u\">PARAGRAPH </mrk>#1.", "#1."},
        TConversion{"TrackedInsertionKept", "A<mrk mtype=\"x-mq-tc\" mq:tctype=\"ins\">new</mrk>B", "AnewB"},
        TConversion{"TagInsideDeletionLeftOut",
                    "A<mrk mtype=\"x-mq-tc\" mq:tctype=\"del\"><ph id=\"1\">&lt;br/&gt;</ph>x</mrk>B", "AB"},
        TConversion{"SpecialCharactersEscaped", "a &amp; b &lt; c 'd' \"e\"", "a &amp; b &lt; c &apos;d&apos; &quot;e&quot;"},
        TConversion{"TagIdEscaped", "<ph id=\"a&quot;&lt;b\">c</ph>", "<z id=\"a&quot;&lt;b\">c</z>"},
        TConversion{"EmptyTarget", "", ""}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(MemoQReader, RecordFieldsFromUnitAttributes) {
  struct TRow {
    const char* Attrs;
    bool Locked;
    const char* Match;
  };
  const TRow Rows[] = {
      {" mq:locked=\"Locked\"", true, ""},
      {" mq:locked=\"locked\" mq:translatorcommitmatchrate=\"101\"", true, "101"},
      {" mq:locked=\"false\"", false, ""},
      {"", false, ""},
      {" mq:translatorcommitmatchrate=\"0\"", false, "0"},
  };
  for (const TRow& Row : Rows) {
    SCOPED_TRACE(Row.Attrs);
    TArrayOfDiffInfoRecord R;
    ASSERT_TRUE(ReadMq(MqDoc(MqUnit(" guid-1 ", " Source ", " Target ", Row.Attrs)), R));
    ASSERT_EQ(R.size(), 1u);
    EXPECT_EQ(R[0].UnitID, "guid-1");
    EXPECT_EQ(R[0].SegmentID, "");
    EXPECT_EQ(R[0].IsLocked, Row.Locked);
    EXPECT_EQ(R[0].Match, Row.Match);
    EXPECT_EQ(R[0].SourceString, " Source ");  // not trimmed
    EXPECT_EQ(R[0].ResultStr, " Target ");
    EXPECT_EQ(R[0].FileName, "doc.mqxliff");
  }
}

TEST(MemoQReader, UnitsWithoutGuidOrSourceAreSkippedAndDuplicatesKept) {
  const std::string Body = MqUnit("g1", "a", "A") + "<trans-unit id=\"2\"><source>b</source><target>B</target></trans-unit>" +
                           "<trans-unit id=\"3\" mq:segmentguid=\"g3\"><target>C</target></trans-unit>" +
                           "<group><group>" + MqUnit("g1", "d", "D") + "</group></group>";
  TArrayOfDiffInfoRecord R;
  ASSERT_TRUE(ReadMq(MqDoc(Body), R));
  ASSERT_EQ(R.size(), 2u);
  EXPECT_EQ(R[0].UnitID, "g1");
  EXPECT_EQ(R[1].UnitID, "g1");
  EXPECT_EQ(R[1].ResultStr, "D");
}

TEST(MemoQReader, OlderVersionsInsideTheUnitAreNotTheText) {
  const std::string Unit =
      "<trans-unit id=\"1\" mq:segmentguid=\"g\"><source>Now</source><target>Jetzt</target>"
      "<mq:minorversions><mq:historical-unit mq:segmentguid=\"g\"><source>Old</source><target>Alt</target>"
      "</mq:historical-unit></mq:minorversions></trans-unit>";
  TArrayOfDiffInfoRecord R;
  ASSERT_TRUE(ReadMq(MqDoc(Unit), R));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].SourceString, "Now");
  EXPECT_EQ(R[0].ResultStr, "Jetzt");
}

TEST(MemoQReader, LastSourceAndTargetOfAUnitCount) {
  TArrayOfDiffInfoRecord R;
  ASSERT_TRUE(ReadMq(MqDoc("<trans-unit mq:segmentguid=\"g\"><source>1</source><target>a</target><source>2</source><target>b</target></trans-unit>"), R));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].SourceString, "2");
  EXPECT_EQ(R[0].ResultStr, "b");
}

struct TBadDoc {
  const char* Name;
  std::string Doc;
  std::size_t RecordsKept;
};

class MemoQBadDocument : public ::testing::TestWithParam<TBadDoc> {};

TEST_P(MemoQBadDocument, EndsWithFalseAndALogLine) {
  TArrayOfDiffInfoRecord R(1);  // an earlier record must survive
  const std::size_t Before = CountOf(LogText(), "TImporterFromGroup03.GetDataFromFile");
  EXPECT_FALSE(ReadMq(GetParam().Doc, R));
  EXPECT_EQ(R.size(), 1 + GetParam().RecordsKept);
  EXPECT_GT(CountOf(LogText(), "TImporterFromGroup03.GetDataFromFile"), Before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoQBadDocument,
    ::testing::Values(
        TBadDoc{"UnitWithoutTarget", MqDoc(MqUnit("g1", "a", "A") + "<trans-unit mq:segmentguid=\"g2\"><source>b</source></trans-unit>" + MqUnit("g3", "c", "C")), 1},
        TBadDoc{"TagWithMixedContent", MqDoc(MqUnit("g1", "a", "A") + MqUnit("g2", "<bpt id=\"1\">x<sub>y</sub></bpt>", "B")), 1},
        TBadDoc{"NotWellFormed", MqDoc(MqUnit("g1", "a", "A")) + "<oops", 0},
        TBadDoc{"Empty", "", 0},
        TBadDoc{"Binary", std::string("\x00\x01\x02\xff", 4), 0}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(MemoQReader, StopRequestBeforeReadingGivesTrueAndNoRecords) {
  TArrayOfDiffInfoRecord R;
  EXPECT_TRUE(ReadMq(MqDoc(MqUnit("g", "a", "A")), R, [] { return true; }));
  EXPECT_TRUE(R.empty());
}

TEST(MemoQReader, DeepNestingIsNoDanger) {
  std::string Deep;
  for (int I = 0; I < 20000; ++I) Deep += "<mrk mtype=\"x-mq-range\">";
  Deep += "deep";
  for (int I = 0; I < 20000; ++I) Deep += "</mrk>";
  TArrayOfDiffInfoRecord R;
  ReadMq(MqDoc(MqUnit("g", "s", Deep)), R);  // may be refused by the parser; must not crash
  if (!R.empty()) {
    EXPECT_EQ(R[0].ResultStr, "deep");
  }
}

TEST(MemoQReader, WholeFileThroughTheWorkingCopy) {
  TScratchDir D;
  const std::string Input = D.Dir() + "in/My file.mqxliff";
  WriteFile(Input, MqDoc(MqUnit("g1", "a <ph id=\"1\">&lt;br/&gt;</ph>", "A") + MqUnit("g2", "b", "B", " mq:locked=\"locked\"")));
  const TReaderRun Run = RunReader(D.Dir() + "Temp/", Input);
  ASSERT_EQ(Run.Extract, TExtractFilesResult::efrOk);
  EXPECT_EQ(Run.Pair.SrcLang, "en-US");
  EXPECT_EQ(Run.Pair.TrgLang, "de-DE");
  ASSERT_EQ(Run.Files, (std::vector<std::string>{D.Dir() + "Temp/My file.mqxliff"}));
  ASSERT_EQ(Run.Records.size(), 2u);
  EXPECT_EQ(Run.Records[0].FileName, D.Dir() + "Temp/My file.mqxliff");
  EXPECT_EQ(Run.Records[0].SourceString, "a <z id=\"1\">&lt;br/&gt;</z>");
  EXPECT_EQ(Run.Records[1].TargetLang, "de-DE");
  EXPECT_TRUE(Run.Records[1].IsLocked);
  EXPECT_FALSE(fs::exists(D.Path() / "Temp"));
}

TEST(MemoQReader, MissingInputIsFileNotFound) {
  TScratchDir D;
  EXPECT_EQ(RunReader(D.Dir() + "Temp/", D.Dir() + "none.mqxliff").Extract, TExtractFilesResult::efrFileNotFound);
}

}  // namespace
