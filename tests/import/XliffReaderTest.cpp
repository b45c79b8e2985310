// The plain XLIFF reader (.xlf, .xliff): XLIFF 1.2 and 2.x rules, dialects saved as .xlf, and bad
// documents; the XLIFF 2 form of the Memsource reader.
#include <gtest/gtest.h>

#include "ImportFromFileGroup05Unit.h"
#include "ImportFromFileGroup06Unit.h"
#include "InternalTagParseUnit.h"
#include "ReaderRunUtil.h"
#include "TestPaths.h"
#include "XmlDomUnit.h"

using namespace lexmora;
using namespace lexmora::testutil;

namespace {

const std::string kV12Open = "<?xml version=\"1.0\"?><xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">";
const std::string kV2Open =
    "<xliff version=\"2.0\" xmlns=\"urn:oasis:names:tc:xliff:document:2.0\" srcLang=\"en\" trgLang=\"fr\"><file id=\"f\">";

std::string V12(const std::string& ABody, const std::string& ALangs = "source-language=\"en\" target-language=\"de\"") {
  return kV12Open + "<file original=\"a\" " + ALangs + "><body>" + ABody + "</body></file></xliff>";
}

std::string V12Unit(const std::string& AId, const std::string& ASource, const std::string& ATarget, const std::string& AAttrs = "") {
  return "<trans-unit id=\"" + AId + "\"" + AAttrs + "><source>" + ASource + "</source><target>" + ATarget + "</target></trans-unit>";
}

std::string V2(const std::string& AFileContent) { return kV2Open + AFileContent + "</file></xliff>"; }

std::string V2Seg(const std::string& ASource, const std::string& ATarget, const std::string& AAttrs = "") {
  return "<segment" + AAttrs + "><source>" + ASource + "</source><target>" + ATarget + "</target></segment>";
}

bool ReadXlf(const std::string& ADoc, TArrayOfDiffInfoRecord& ARecords, const TIsTerminateSetFunc& AStop = nullptr) {
  TImporterFromGroup06 Reader("/nonexistent/", "/nonexistent/doc.xlf", false);
  return Reader.GetDataFromText(ADoc, "doc.xlf", AStop, ARecords);
}

TArrayOfDiffInfoRecord ReadOk(const std::string& ADoc) {
  TArrayOfDiffInfoRecord R;
  EXPECT_TRUE(ReadXlf(ADoc, R));
  return R;
}

// The markup must convert to symbols as the report construction converts it.
void ExpectUsableMarkup(const TDiffInfoRecord& AR) {
  for (const std::string* Text : {&AR.SourceString, &AR.ResultStr}) {
    TTagDict Dict;
    TTagIDDict IDs;
    EXPECT_NO_THROW(ConvertTagsToSymbols(*Text, Dict, IDs)) << *Text;
  }
}

TEST(XliffReader, ExtensionsAndFactory) {
  using enum TFileTypeGroup;
  EXPECT_EQ(TImporter::DefineFileType("/a/b.xlf"), ftg_06);
  EXPECT_EQ(TImporter::DefineFileType("b.xliff"), ftg_06);
  EXPECT_EQ(TImporter::DefineFileType("b.XLF"), ftg_undefined);
  EXPECT_EQ(TImporter::DefineFileType("b.Xliff"), ftg_undefined);
  EXPECT_EQ(TImporter::DefineFileType("b.xlf.bak"), ftg_undefined);
  EXPECT_EQ(TImporter::DefineFileType("b.xlff"), ftg_undefined);
  // The dialects' own extensions still win although they end in "xliff".
  EXPECT_EQ(TImporter::DefineFileType("b.mqxliff"), ftg_03);
  EXPECT_EQ(TImporter::DefineFileType("b.sdlxliff"), ftg_01);
  EXPECT_EQ(TImporter::DefineFileType("b.mxliff"), ftg_05);
  EXPECT_NE(dynamic_cast<TImporterFromGroup06*>(CreateImporter(ftg_06, "/t/", "/in/a.xlf", false).get()), nullptr);
  TImporterFromGroup06 Reader("/t/", "/in/dir/a.xliff", false);
  EXPECT_EQ(Reader.TempFileName(), "/t/a.xliff");
}

struct TInlineCase {
  const char* Name;
  std::string Source;
  std::string Expected;
};

class Xliff12Inline : public ::testing::TestWithParam<TInlineCase> {};

TEST_P(Xliff12Inline, BecomesInternalMarkup) {
  const TArrayOfDiffInfoRecord R = ReadOk(V12(V12Unit("u", GetParam().Source, GetParam().Source)));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].SourceString, GetParam().Expected);
  EXPECT_EQ(R[0].ResultStr, GetParam().Expected);
  ExpectUsableMarkup(R[0]);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Xliff12Inline,
    ::testing::Values(
        TInlineCase{"Plain", "a &amp; b's &lt;c&gt;", "a &amp; b&apos;s &lt;c&gt;"},
        TInlineCase{"G", "<g id=\"1\" ctype=\"bold\">bold</g>!",
                    "<x id=\"1\">&lt;g id=&quot;1&quot; ctype=&quot;bold&quot;&gt;</x>bold<y id=\"1\">&lt;/g&gt;</y>!"},
        TInlineCase{"X", "a<x id=\"2\"/>b", "a<z id=\"2\">&lt;x id=&quot;2&quot;/&gt;</z>b"},
        TInlineCase{"BxExPairedByRid", "<bx id=\"3\"/>i<ex id=\"4\" rid=\"3\"/>",
                    "<x id=\"3\">&lt;bx id=&quot;3&quot;/&gt;</x>i<y id=\"3\">&lt;ex id=&quot;4&quot; rid=&quot;3&quot;/&gt;</y>"},
        TInlineCase{"Ph", "<ph id=\"5\">%s</ph> left", "<z id=\"5\">%s</z> left"},
        TInlineCase{"BptEpt", "<bpt id=\"6\">&lt;b&gt;</bpt>x<ept id=\"6\">&lt;/b&gt;</ept>",
                    "<x id=\"6\">&lt;b&gt;</x>x<y id=\"6\">&lt;/b&gt;</y>"},
        TInlineCase{"NativeCodeWithSub", "<ph id=\"7\">&lt;img alt=\"<sub>Logo</sub>\"&gt;</ph>",
                    "<z id=\"7\">&lt;img alt=&quot;Logo&quot;&gt;</z>"},
        TInlineCase{"ItOpenAndClose", "<it id=\"8\" pos=\"open\">&lt;i&gt;</it>a<it id=\"9\" pos=\"close\">&lt;/u&gt;</it>",
                    "<x id=\"8\">&lt;i&gt;</x>a<y id=\"9\">&lt;/u&gt;</y>"},
        TInlineCase{"MrkKeepsText", "<mrk mtype=\"term\">API</mrk> key", "API key"},
        TInlineCase{"NestedCodes", "<g id=\"1\"><g id=\"2\"><x id=\"3\"/></g></g>",
                    "<x id=\"1\">&lt;g id=&quot;1&quot;&gt;</x><x id=\"2\">&lt;g id=&quot;2&quot;&gt;</x>"
                    "<z id=\"3\">&lt;x id=&quot;3&quot;/&gt;</z><y id=\"2\">&lt;/g&gt;</y><y id=\"1\">&lt;/g&gt;</y>"},
        TInlineCase{"HostileId", "<ph id=\"&quot;&gt;&lt;x id='\">c</ph>", "<z id=\"&quot;&gt;&lt;x id=&apos;\">c</z>"},
        TInlineCase{"BlanksKept", " <x id=\"1\"/> ", " <z id=\"1\">&lt;x id=&quot;1&quot;/&gt;</z> "}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(XliffReader, V12UnitsLocksAndPerFileLanguages) {
  const std::string Doc = kV12Open +
                          "<file original=\"a\" source-language=\"en-US\" target-language=\"de-DE\"><header/><body>"
                          "<group id=\"g\"><group id=\"g2\">" + V12Unit(" u1 ", "a", "b") + "</group></group>" +
                          V12Unit("u2", "c", "d", " translate=\"no\"") +
                          "<trans-unit id=\"u3\"><source>only source</source>"
                          "<alt-trans><source>c</source><target>never the target</target></alt-trans></trans-unit>"
                          "<trans-unit id=\"\"><source>x</source><target>y</target></trans-unit>"
                          "<trans-unit id=\"u4\"><target>no source</target></trans-unit>"
                          "<bin-unit id=\"b1\"><bin-source/></bin-unit>"
                          "</body></file><file original=\"b\" source-language=\"en-US\" target-language=\"fr-FR\"><body>" +
                          V12Unit("u1", "e", "f") + "</body></file><file original=\"c\"><body>" + V12Unit("u9", "g", "h") +
                          "</body></file></xliff>";
  const TArrayOfDiffInfoRecord R = ReadOk(Doc);
  ASSERT_EQ(R.size(), 5u);
  EXPECT_EQ(R[0].UnitID, "u1");
  EXPECT_EQ(R[0].SegmentID, "");
  EXPECT_EQ(R[0].Match, "");
  EXPECT_FALSE(R[0].IsLocked);
  EXPECT_TRUE(R[1].IsLocked);
  EXPECT_EQ(R[2].UnitID, "u3");
  EXPECT_EQ(R[2].ResultStr, "");
  EXPECT_EQ(R[2].TargetLang, "de-DE");
  EXPECT_EQ(R[3].SourceLang + ">" + R[3].TargetLang, "en-US>fr-FR");
  EXPECT_EQ(R[3].FileName, "doc.xlf");
  EXPECT_EQ(R[4].SourceLang + ">" + R[4].TargetLang, ">");  // a file without languages names none
}

TEST(XliffReader, V12SegSourceGivesOneRecordPerSegmentMark) {
  const std::string Unit =
      "<trans-unit id=\"t1\"><source>A. B. C.</source><seg-source><mrk mtype=\"seg\" mid=\"1\">A.</mrk> "
      "<g id=\"1\"><mrk mtype=\"seg\" mid=\"2\">B<x id=\"2\"/>.</mrk></g> <mrk mtype=\"protected\"><mrk mtype=\"seg\" mid=\"3\">C.</mrk></mrk>"
      "<mrk mtype=\"seg\">no mid</mrk></seg-source>"
      "<target><mrk mtype=\"seg\" mid=\"2\">b.</mrk><mrk mtype=\"seg\" mid=\"1\">a.</mrk><mrk mtype=\"seg\" mid=\"1\">second a</mrk></target>"
      "</trans-unit>"
      "<trans-unit id=\"t2\"><source>Whole</source><seg-source>Whole</seg-source><target>Ganz</target></trans-unit>";
  const TArrayOfDiffInfoRecord R = ReadOk(V12(Unit, "source-language=\"en\" target-language=\"de\"") );
  ASSERT_EQ(R.size(), 4u);
  EXPECT_EQ(R[0].SegmentID, "1");
  EXPECT_EQ(R[0].SourceString, "A.");
  EXPECT_EQ(R[0].ResultStr, "a.");  // the first mark of a mid counts
  EXPECT_EQ(R[1].SegmentID, "2");
  EXPECT_EQ(R[1].SourceString, "B<z id=\"2\">&lt;x id=&quot;2&quot;/&gt;</z>.");
  EXPECT_EQ(R[1].ResultStr, "b.");
  EXPECT_EQ(R[2].SegmentID, "3");
  EXPECT_EQ(R[2].ResultStr, "");  // no target mark for it
  // A seg-source without segment marks: the unit is one segment.
  EXPECT_EQ(R[3].UnitID, "t2");
  EXPECT_EQ(R[3].SegmentID, "");
  EXPECT_EQ(R[3].ResultStr, "Ganz");
}

TEST(XliffReader, V2SegmentsIdentityAndLocks) {
  const std::string Doc = V2(
      "<notes><note>a note is no unit</note></notes>"
      "<unit id=\"u1\">" + V2Seg("A.", "a.", " id=\"s1\"") + "<ignorable><source> </source></ignorable>" + V2Seg("B.", "b.") +
      V2Seg("C.", "c.", " id=\"s3\" translate=\"no\"") + "</unit>"
      "<group id=\"g\" translate=\"no\"><group id=\"g2\"><unit id=\"u2\">" + V2Seg("D.", "d.") + "</unit>"
      "<unit id=\"u3\" translate=\"yes\">" + V2Seg("E.", "e.") + "</unit></group></group>"
      "<unit id=\"u4\" translate=\"no\">" + V2Seg("F.", "") + "<segment><target>no source</target></segment>" + V2Seg("G.", "g.") + "</unit>"
      "<unit id=\"u5\"><segment><source>H.</source></segment></unit>"
      "<unit>" + V2Seg("no unit id", "x") + "</unit>");
  const TArrayOfDiffInfoRecord R = ReadOk(Doc);
  ASSERT_EQ(R.size(), 8u);
  const std::pair<const char*, const char*> Ids[] = {{"u1", "s1"}, {"u1", "2"}, {"u1", "s3"}, {"u2", "1"},
                                                     {"u3", "1"},  {"u4", "1"}, {"u4", "3"},  {"u5", "1"}};
  const bool Locked[] = {false, false, true, true, false, true, true, false};
  for (std::size_t I = 0; I < R.size(); ++I) {
    EXPECT_EQ(R[I].UnitID, Ids[I].first) << I;
    EXPECT_EQ(R[I].SegmentID, Ids[I].second) << I;
    EXPECT_EQ(R[I].IsLocked, Locked[I]) << I;
    EXPECT_EQ(R[I].SourceLang + ">" + R[I].TargetLang, "en>fr");
    EXPECT_EQ(R[I].Match, "");
  }
  EXPECT_EQ(R[1].SourceString, "B.");
  EXPECT_EQ(R[7].ResultStr, "");
}

class Xliff2Inline : public ::testing::TestWithParam<TInlineCase> {};

TEST_P(Xliff2Inline, BecomesInternalMarkup) {
  const std::string Data =
      "<originalData><data id=\"d1\">&lt;b&gt;</data><data id=\"d2\">&lt;/b&gt;</data><data id=\"d3\">&lt;br/&gt;<cp hex=\"1\"/></data></originalData>";
  const TArrayOfDiffInfoRecord R = ReadOk(V2("<unit id=\"u\">" + Data + V2Seg(GetParam().Source, GetParam().Source) + "</unit>"));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].SourceString, GetParam().Expected);
  EXPECT_EQ(R[0].ResultStr, GetParam().Expected);
  ExpectUsableMarkup(R[0]);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Xliff2Inline,
    ::testing::Values(
        TInlineCase{"PhWithData", "a<ph id=\"1\" dataRef=\"d3\"/>b", "a<z id=\"1\">&lt;br/&gt;\xEF\xBF\xBD</z>b"},
        TInlineCase{"PhWithoutData", "<ph id=\"1\" disp=\"{0}\"/>", "<z id=\"1\">&lt;ph id=&quot;1&quot; disp=&quot;{0}&quot;/&gt;</z>"},
        TInlineCase{"PhWithUnknownData", "<ph id=\"1\" dataRef=\"nope\"/>",
                    "<z id=\"1\">&lt;ph id=&quot;1&quot; dataRef=&quot;nope&quot;/&gt;</z>"},
        TInlineCase{"PcPaired", "<pc id=\"2\" dataRefStart=\"d1\" dataRefEnd=\"d2\">bold</pc>",
                    "<x id=\"2\">&lt;b&gt;</x>bold<y id=\"2\">&lt;/b&gt;</y>"},
        TInlineCase{"PcWithoutData", "<pc id=\"2\">x</pc>", "<x id=\"2\">&lt;pc id=&quot;2&quot;&gt;</x>x<y id=\"2\">&lt;/pc&gt;</y>"},
        TInlineCase{"ScEcPairedByStartRef", "<sc id=\"3\" dataRef=\"d1\"/>a<ec startRef=\"3\" dataRef=\"d2\"/>",
                    "<x id=\"3\">&lt;b&gt;</x>a<y id=\"3\">&lt;/b&gt;</y>"},
        TInlineCase{"IsolatedEc", "<ec id=\"9\" isolated=\"yes\" dataRef=\"d2\"/>", "<y id=\"9\">&lt;/b&gt;</y>"},
        TInlineCase{"MrkKeepsText", "<mrk id=\"m\" type=\"term\">API</mrk> key", "API key"},
        TInlineCase{"SmEmGiveNothing", "a<sm id=\"s\" type=\"comment\"/>b<em startRef=\"s\"/>c", "abc"},
        TInlineCase{"CpIsItsCharacter", "a<cp hex=\"E9\"/><cp hex=\"1F600\"/><cp hex=\"0\"/><cp hex=\"D800\"/><cp hex=\"zz\"/>"
                    "<cp hex=\"1B\"/><cp hex=\"FFFE\"/><cp hex=\"110000\"/><cp hex=\"9\"/>",
                    "a\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\t"},
        TInlineCase{"Xliff12ElementIsNoText",
                    "a<alt-trans xmlns=\"urn:oasis:names:tc:xliff:document:1.2\"><target>old</target></alt-trans>b", "ab"},
        TInlineCase{"OtherNamespaceIsNoText", "a<q:x xmlns:q=\"urn:other\">q</q:x>b", "ab"},
        TInlineCase{"EscapedText", "&lt;&amp;&gt; \"'", "&lt;&amp;&gt; &quot;&apos;"}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(XliffReader, V2XliffOneElementsOfTheUnitAreNeverText) {
  const std::string Doc =
      V2("<unit id=\"u1\"><alt-trans xmlns=\"urn:oasis:names:tc:xliff:document:1.2\"><segment><source>old</source><target>alt</target>"
         "</segment></alt-trans><context-group xmlns=\"urn:oasis:names:tc:xliff:document:1.2\"><context>ctx</context></context-group>" +
         V2Seg("new", "neu") +
         "<segment xmlns=\"urn:oasis:names:tc:xliff:document:1.2\"><source>1.2 segment</source></segment></unit>");
  const TArrayOfDiffInfoRecord R = ReadOk(Doc);
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].SourceString, "new");
  EXPECT_EQ(R[0].ResultStr, "neu");
}

TEST(XliffReader, V2PrefixedAndUndeclaredNamespaces) {
  // The XLIFF 2 vocabulary under a prefix, with a default namespace of another vocabulary.
  const std::string Prefixed =
      "<x:xliff xmlns:x=\"urn:oasis:names:tc:xliff:document:2.1\" xmlns=\"urn:other\" srcLang=\"en\" trgLang=\"it\">"
      "<file id=\"f\"><x:unit id=\"u\"><x:segment><x:source>a<x:ph id=\"1\"/></x:source><x:target>b</x:target></x:segment></x:unit>"
      "<unit id=\"other\"><segment><source>not XLIFF</source></segment></unit></file></x:xliff>";
  TArrayOfDiffInfoRecord R;
  // Note: the shared walk looks for "file" by its written name, so this "file" is found.
  ASSERT_TRUE(ReadXlf(Prefixed, R));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].SourceString, "a<z id=\"1\">&lt;x:ph id=&quot;1&quot;/&gt;</z>");
  EXPECT_EQ(R[0].TargetLang, "it");
  // No namespace at all, version only.
  const TArrayOfDiffInfoRecord Bare =
      ReadOk("<xliff version=\"2.1\" srcLang=\"en\" trgLang=\"pl\"><file id=\"f\"><unit id=\"u\">" + V2Seg("a", "b") + "</unit></file></xliff>");
  ASSERT_EQ(Bare.size(), 1u);
  EXPECT_EQ(Bare[0].TargetLang, "pl");
}

TEST(XliffReader, V2WithoutVersionIsKnownByItsNamespace) {
  const std::string Doc = "<xliff xmlns=\"urn:oasis:names:tc:xliff:document:2.0\" srcLang=\"en\" trgLang=\"fr\"><file id=\"f\"><unit id=\"u\">" +
                          V2Seg("a", "b") + "</unit></file></xliff>";
  EXPECT_EQ(ReadOk(Doc).size(), 1u);
  pugi::xml_document D;
  D.load_string("<xliff xmlns:m=\"http://www.memsource.com/mxlf/2.0\" m:version=\"2.13\"/>");
  EXPECT_FALSE(IsXliff2Root(D.document_element()));  // a dialect's version is not the root's
}

TEST(XliffReader, DialectOfTheRoot) {
  const auto Of = [](const char* ARoot) {
    pugi::xml_document D;
    D.load_string(ARoot);
    return TImporterFromGroup06::DefineDialect(D.document_element());
  };
  EXPECT_EQ(Of("<xliff xmlns:sdl=\"http://sdl.com/FileTypes/SdlXliff/1.0\"/>"), TXliffDialect::xdSdl);
  EXPECT_EQ(Of("<xliff xmlns:q=\"MQXliff\"/>"), TXliffDialect::xdMemoQ);
  EXPECT_EQ(Of("<xliff xmlns=\"urn:oasis:names:tc:xliff:document:1.2\" xmlns:m=\"http://www.memsource.com/mxlf/2.0\"/>"),
            TXliffDialect::xdMemsource);
  EXPECT_EQ(Of("<xliff xmlns=\"urn:oasis:names:tc:xliff:document:1.2\" sdl=\"http://sdl.com/FileTypes/SdlXliff/1.0\"/>"),
            TXliffDialect::xdPlain);  // a plain attribute declares nothing
  EXPECT_EQ(Of("<xliff version=\"2.0\" xmlns:mq=\"urn:not-memoq\"/>"), TXliffDialect::xdPlain);
}

TEST(XliffReader, MemsourceDocumentSavedAsXlfReadsByMemsourceRules) {
  const std::string Doc =
      "<xliff xmlns=\"urn:oasis:names:tc:xliff:document:1.2\" xmlns:m=\"http://www.memsource.com/mxlf/2.0\" version=\"1.2\">"
      "<file source-language=\"en\" target-language=\"nl\"><body><trans-unit id=\"1\" m:score=\"0.5\" m:locked=\"true\">"
      "<source>{1}a</source><target>{1}b</target><m:tunit-metadata><m:mark id=\"1\"><m:content>br</m:content></m:mark></m:tunit-metadata>"
      "</trans-unit></body></file></xliff>";
  const TArrayOfDiffInfoRecord R = ReadOk(Doc);
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].Match, "50");
  EXPECT_TRUE(R[0].IsLocked);
  EXPECT_EQ(R[0].SourceString, "<z id=\"1\">br</z>a");
  EXPECT_EQ(R[0].ResultStr, "{1}b");
}

// A dialect reader's failure reaches the error line with its reason, as under its own extension.
TEST(XliffReader, DialectFailureKeepsItsReason) {
  const std::string Doc =
      "<xliff xmlns=\"urn:oasis:names:tc:xliff:document:1.2\" xmlns:m=\"http://www.memsource.com/mxlf/2.0\" version=\"1.2\">"
      "<file source-language=\"en\" target-language=\"nl\"><body><trans-unit id=\"7\"><source>a</source></trans-unit>"
      "</body></file></xliff>";
  TArrayOfDiffInfoRecord R;
  TImporterFromGroup06 AsXlf("/nonexistent/", "/nonexistent/doc.xlf", false);
  EXPECT_FALSE(AsXlf.GetDataFromText(Doc, "doc.xlf", nullptr, R));
  ASSERT_EQ(AsXlf.Failures().size(), 1u);
  EXPECT_NE(AsXlf.Failures()[0].Reason.find("\"7\" has no target"), std::string::npos) << AsXlf.Failures()[0].Reason;
  TImporterFromGroup05 AsMxliff("/nonexistent/", "/nonexistent/doc.mxliff", false);
  EXPECT_FALSE(AsMxliff.GetDataFromText(Doc, "doc.mxliff", nullptr, R));
  ASSERT_EQ(AsMxliff.Failures().size(), 1u);
  EXPECT_EQ(AsMxliff.Failures()[0].Reason, AsXlf.Failures()[0].Reason);
}

struct TBadXlf {
  const char* Name;
  std::string Doc;
  std::size_t RecordsKept;
};

class XliffBadDocument : public ::testing::TestWithParam<TBadXlf> {};

TEST_P(XliffBadDocument, EndsWithFalseAndALogLine) {
  TArrayOfDiffInfoRecord R(1);
  const std::size_t Before = CountOf(LogText(), "TImporterFromGroup06.GetDataFromFile");
  EXPECT_FALSE(ReadXlf(GetParam().Doc, R));
  EXPECT_EQ(R.size(), 1 + GetParam().RecordsKept);
  EXPECT_GT(CountOf(LogText(), "TImporterFromGroup06.GetDataFromFile"), Before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XliffBadDocument,
    ::testing::Values(TBadXlf{"NotWellFormed", V12(V12Unit("u1", "a", "b")).substr(0, 180), 0},
                      TBadXlf{"Empty", "", 0},
                      TBadXlf{"NotUtf8", V12(V12Unit("u1", "caf\xE9", "b")), 0},
                      TBadXlf{"Latin1Declared", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + V12(V12Unit("u1", "caf\xE9", "b")).substr(21), 0},
                      TBadXlf{"BadCharacterReference", V2("<unit id=\"u\">" + V2Seg("&#xD800;", "b") + "</unit>"), 0},
                      TBadXlf{"Truncated", "<xliff version=\"2.0\"><file", 0}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(XliffReader, DeepNestingHugeAttributesAndManyUnits) {
  // Nesting far past any recursion limit: groups, inline codes and marks.
  const int Depth = 100000;
  std::string Groups, Close, Pcs, PcsClose, Gs, GsClose;
  for (int I = 0; I < Depth; ++I) {
    Groups += "<group id=\"g\">";
    Close += "</group>";
    Pcs += "<pc id=\"p\">";
    PcsClose += "</pc>";
    Gs += "<g id=\"g\">";
    GsClose += "</g>";
  }
  TArrayOfDiffInfoRecord R = ReadOk(V2(Groups + "<unit id=\"deep\">" + V2Seg(Pcs + "t" + PcsClose, "u") + "</unit>" + Close));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(CountOf(R[0].SourceString, "<x id=\"p\">"), static_cast<std::size_t>(Depth));
  R = ReadOk(V12(Groups + V12Unit("deep", Gs + "t" + GsClose, "u") + Close));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(CountOf(R[0].SourceString, "</y>"), static_cast<std::size_t>(Depth));
  // An id of 8 MiB and a root with many namespace declarations.
  const std::string HugeId(8u << 20, 'i');
  std::string Decls;
  for (int I = 0; I < 20000; ++I) Decls += " xmlns:p" + std::to_string(I) + "=\"urn:p\"";
  std::string Units;
  for (int I = 0; I < 2000; ++I) Units += "<unit id=\"n" + std::to_string(I) + "\">" + V2Seg("a", "b") + "</unit>";
  R = ReadOk("<xliff version=\"2.0\" srcLang=\"en\" trgLang=\"fr\"" + Decls + "><file id=\"f\"><unit id=\"" + HugeId + "\">" +
             V2Seg("<ph id=\"" + HugeId + "\"/>", "b") + "</unit>" + Units + "</file></xliff>");
  ASSERT_EQ(R.size(), 2001u);
  EXPECT_EQ(R[0].UnitID.size(), HugeId.size());
}

TEST(XliffReader, ControlCharactersNeverReachTheMarkup) {
  std::string S = "a\x01" "b&#1;c&#x1F;d&#9;e&#x20;f&amp;#1;g&#0;&#;&#x;&#123456789012;\t\r\n";
  ReplaceForbiddenControls(S);
  EXPECT_EQ(S, "a\uFFFD" "b\uFFFD" "c\uFFFD" "d&#9;e&#x20;f&amp;#1;g\uFFFD&#;&#x;&#123456789012;\t\r\n");
  // Raw and referenced in documents of each form, and in the Memsource serialised form.
  const TArrayOfDiffInfoRecord V2R = ReadOk(V2("<unit id=\"u\">" + V2Seg("a\x02" "b&#x3;", "<ph id=\"1\" disp=\"\x04\"/>c\x04") + "</unit>"));
  const TArrayOfDiffInfoRecord V12R = ReadOk(V12(V12Unit("u", "a\x02" "b", "<ph id=\"1\">&#5;</ph>")));
  TImporterFromGroup05 Mx("/nonexistent/", "/nonexistent/doc.mxliff", false);
  TArrayOfDiffInfoRecord MxR;
  ASSERT_TRUE(Mx.GetDataFromText(V2("<unit id=\"u\">" + V2Seg("a&#x6;", "\x07") + "</unit>"), "doc.mxliff", nullptr, MxR));
  for (const TArrayOfDiffInfoRecord* Rs : std::initializer_list<const TArrayOfDiffInfoRecord*>{&V2R, &V12R, &MxR}) {
    ASSERT_EQ(Rs->size(), 1u);
    EXPECT_NE((*Rs)[0].SourceString.find("\uFFFD"), std::string::npos) << (*Rs)[0].SourceString;
    EXPECT_NE((*Rs)[0].ResultStr.find("\uFFFD"), std::string::npos) << (*Rs)[0].ResultStr;
    ExpectUsableMarkup((*Rs)[0]);
  }
}

TEST(XliffReader, StopRequestBeforeReading) {
  TArrayOfDiffInfoRecord R;
  EXPECT_TRUE(ReadXlf(V2("<unit id=\"u\">" + V2Seg("a", "b") + "</unit>"), R, [] { return true; }));
  EXPECT_TRUE(R.empty());
}

fs::path Data(const std::string& AName) { return fs::path(LEXMORA_TEST_DATA_DIR) / "xliff" / AName; }

TEST(XliffReader, WholeFilesThroughTheWorkingCopy) {
  TScratchDir D;
  const TReaderRun V12Run = RunReader(D.Dir() + "Temp/", Data("before/Help_Center_en-US_de-DE.xlf").string());
  ASSERT_EQ(V12Run.Extract, TExtractFilesResult::efrOk);
  EXPECT_EQ(V12Run.Pair.SrcLang + ">" + V12Run.Pair.TrgLang, "en-US>de-DE");  // the first file's
  ASSERT_EQ(V12Run.Records.size(), 9u);
  EXPECT_EQ(V12Run.Records[0].FileName, D.Dir() + "Temp/Help_Center_en-US_de-DE.xlf");
  EXPECT_EQ(V12Run.Records[8].TargetLang, "fr-FR");
  const TReaderRun V2Run = RunReader(D.Dir() + "Temp/", Data("before/Checkout_Flow_en_fr.xlf").string());
  EXPECT_EQ(V2Run.Pair.SrcLang + ">" + V2Run.Pair.TrgLang, "en>fr");
  ASSERT_EQ(V2Run.Records.size(), 9u);
  EXPECT_EQ(V2Run.Records[0].SourceString, "Your <x id=\"1\">&lt;b&gt;</x>cart<y id=\"1\">&lt;/b&gt;</y> is ready.");
  EXPECT_EQ(V2Run.Records[2].SourceString,
            "Pay with <x id=\"3\">&lt;span class=&quot;card&quot;&gt;</x>card<y id=\"3\">&lt;/span&gt;</y> or voucher.");
  EXPECT_EQ(V2Run.Records[3].SourceString, "Tab\tseparated totals.");
  EXPECT_FALSE(fs::exists(D.Path() / "Temp"));
  // A missing file and an unreadable working copy.
  EXPECT_EQ(RunReader(D.Dir() + "Temp/", D.Dir() + "missing.xlf").Extract, TExtractFilesResult::efrFileNotFound);
  TImporterFromGroup06 Reader(D.Dir() + "Temp/", D.Dir() + "missing.xlf", false);
  TArrayOfDiffInfoRecord R;
  EXPECT_FALSE(Reader.GetDataFromFile(D.Dir() + "missing.xlf", nullptr, R));
  EXPECT_TRUE(Reader.GetDataFromFile("", nullptr, R));
}

TEST(MemsourceXliff2, UnitsSegmentsScoresLocksAndPlaceholders) {
  TScratchDir D;
  const TReaderRun Run = RunReader(D.Dir() + "Temp/", Data("before/Product_Page-en-uk-T.mxliff").string());
  ASSERT_TRUE(Run.AllRead);
  EXPECT_EQ(Run.Pair.SrcLang + ">" + Run.Pair.TrgLang, "en>uk");
  ASSERT_EQ(Run.Records.size(), 4u);
  EXPECT_EQ(Run.Records[0].UnitID, "job7:0");
  EXPECT_EQ(Run.Records[0].SegmentID, "job7:0");
  EXPECT_EQ(Run.Records[0].Match, "100");
  EXPECT_TRUE(Run.Records[0].IsLocked);
  EXPECT_EQ(Run.Records[0].ResultStr, "Кавомолка для еспресо");  // not the alt-trans of the 1.2 namespace
  EXPECT_EQ(Run.Records[1].SegmentID, "job7:1a");
  EXPECT_EQ(Run.Records[1].Match, "75");
  EXPECT_FALSE(Run.Records[1].IsLocked);
  EXPECT_EQ(Run.Records[1].SourceString, "<x id=\"1\">&#60;b&#62;</x>Burrs<y id=\"1\">&#60;b&#62;</y> made of steel.");
  EXPECT_EQ(Run.Records[2].SegmentID, "job7:1b");
  EXPECT_EQ(Run.Records[2].SourceString, "Grinds in 12 seconds.");
  EXPECT_EQ(Run.Records[3].SegmentID, "1");  // its position
  EXPECT_EQ(Run.Records[3].Match, "");
  EXPECT_EQ(Run.Records[3].SourceString, "Free delivery<z id=\"1\">&#60;br/&#62;</z>in 2 days");
  for (const TDiffInfoRecord& R : Run.Records) ExpectUsableMarkup(R);
}

TEST(MemsourceXliff2, TextAsTheOneTwoFormWritesIt) {
  // An apostrophe and an ampersand as the serialised form of the 1.2 documents shows them.
  const std::string Doc =
      "<xliff version=\"2.2\" xmlns=\"urn:oasis:names:tc:xliff:document:2.2\" xmlns:m=\"http://www.memsource.com/mxlf/2.0\" "
      "srcLang=\"en\" trgLang=\"de\"><file id=\"f\"><unit id=\"u\" m:locked=\"TRUE\" m:score=\"0,5\">" +
      V2Seg("it's A&amp;B", "x") + "</unit><unit m:score=\"1\">" + V2Seg("no id", "y") + "</unit></file></xliff>";
  TImporterFromGroup05 Reader("/nonexistent/", "/nonexistent/doc.mxliff", false);
  TArrayOfDiffInfoRecord R;
  ASSERT_TRUE(Reader.GetDataFromText(Doc, "doc.mxliff", nullptr, R));
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].SourceString, "it&#39;s A&#38;B");
  EXPECT_TRUE(R[0].IsLocked);
  EXPECT_EQ(R[0].Match, "50");
}

}  // namespace
