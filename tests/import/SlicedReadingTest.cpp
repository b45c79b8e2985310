// Reading bodies a slice at a time must give exactly what parsing documents whole gives: the same
// records, languages, outcome, failures and log lines, for the real documents and for every piece
// of markup that could mislead the cut; and whatever is malformed is left to the whole parse.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "ImportTestSupport.h"
#include "ReaderRunUtil.h"
#include "TestPaths.h"
#include "XmlSlicedDocumentUnit.h"

using namespace lexmora;
using lexmora::test::TScratchDir;
using lexmora::test::WriteFile;
using lexmora::testutil::LogText;
using lexmora::testutil::RunReader;
using lexmora::testutil::TReaderRun;
namespace fs = std::filesystem;

namespace {

struct TModeResult {
  TReaderRun Run;
  std::string Log;  // the lines the reading logged, without their time stamps
};

TModeResult ReadWith(const std::string& AInput, std::size_t ASliceBytes, const TScratchDir& ADir) {
  std::unique_ptr<TImporter> Reader =
      CreateImporter(TImporter::DefineFileType(AInput), ADir / "Temp/", AInput, false);
  Reader->SetBodySliceBytes(ASliceBytes);
  const std::size_t LogBefore = LogText().size();
  TModeResult R;
  R.Run = RunReader(ADir / "Temp/", AInput, std::move(Reader));
  static const std::regex kTimeStamp("^[^\\[\\n]*\\[", std::regex::multiline);
  R.Log = std::regex_replace(LogText().substr(LogBefore), kTimeStamp, "[");
  return R;
}

std::string Describe(const TDiffInfoRecord& R) {
  return R.FileName + "|" + R.UnitID + "|" + R.SegmentID + "|" + R.Match + "|" + (R.IsLocked ? "L" : "-") + "|" +
         R.SourceString + "|" + R.ResultStr + "|" + R.SourceLang + "|" + R.TargetLang;
}

// Reads AInput whole and in slices of several sizes (one child per slice, a few, the default)
// and expects the same of each; gives the whole reading.
TModeResult ExpectSameReading(const std::string& AInput, const TScratchDir& ADir) {
  const TModeResult Whole = ReadWith(AInput, 0, ADir);
  for (const std::size_t Bytes : {std::size_t{1}, std::size_t{700}, TSlicedDocument::kSliceBytes}) {
    SCOPED_TRACE(AInput + " in slices of " + std::to_string(Bytes) + " bytes");
    const TModeResult Sliced = ReadWith(AInput, Bytes, ADir);
    EXPECT_EQ(Sliced.Run.Extract, Whole.Run.Extract);
    EXPECT_EQ(Sliced.Run.Pair.SrcLang, Whole.Run.Pair.SrcLang);
    EXPECT_EQ(Sliced.Run.Pair.TrgLang, Whole.Run.Pair.TrgLang);
    EXPECT_EQ(Sliced.Run.AllRead, Whole.Run.AllRead);
    EXPECT_EQ(Sliced.Log, Whole.Log);
    EXPECT_EQ(Sliced.Run.Failures.size(), Whole.Run.Failures.size());
    for (std::size_t I = 0; I < std::min(Sliced.Run.Failures.size(), Whole.Run.Failures.size()); ++I)
      EXPECT_EQ(Sliced.Run.Failures[I].Reason, Whole.Run.Failures[I].Reason);
    EXPECT_EQ(Sliced.Run.Records.size(), Whole.Run.Records.size());
    std::size_t Differing = 0;
    for (std::size_t I = 0; I < std::min(Sliced.Run.Records.size(), Whole.Run.Records.size()); ++I)
      if (Describe(Sliced.Run.Records[I]) != Describe(Whole.Run.Records[I]) && Differing++ == 0)
        ADD_FAILURE() << "record " << I << " differs:\n" << Describe(Sliced.Run.Records[I]) << "\n"
                      << Describe(Whole.Run.Records[I]);
    EXPECT_EQ(Differing, 0u);
  }
  return Whole;
}

std::vector<fs::path> CorpusDocuments() {
  std::vector<fs::path> Files;
  for (const char* Folder : {"sdlxliff", "mqxliff", "mxliff"}) {
    const fs::path Dir = fs::path(LEXMORA_CORPUS_DIR) / Folder;
    if (!fs::is_directory(Dir)) ADD_FAILURE() << "the shared corpus is missing: " << Dir;
    std::error_code Ec;
    for (const auto& E : fs::directory_iterator(Dir, Ec))
      if (E.is_regular_file() && TImporter::DefineFileType(E.path().string()) != TFileTypeGroup::ftg_06)
        Files.push_back(E.path());
  }
  std::sort(Files.begin(), Files.end());
  return Files;
}

// An SDLXLIFF unit with one segment of source AText (target "T" + AText).
std::string Unit(const std::string& AID, const std::string& AText) {
  return "<trans-unit id=\"" + AID + "\"><source>" + AText + "</source><seg-source><mrk mtype=\"seg\" mid=\"1\">" +
         AText + "</mrk></seg-source><target><mrk mtype=\"seg\" mid=\"1\">T" + AText + "</mrk></target></trans-unit>\n";
}

const std::string kDocHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<xliff xmlns:sdl=\"http://sdl.com/FileTypes/SdlXliff/1.0\" "
    "version=\"1.2\">\n";
std::string File(const std::string& ABody, const std::string& ALangs = "en-US\" target-language=\"de-DE") {
  return "<file source-language=\"" + ALangs + "\"><header/><body>\n" + ABody + "</body></file>\n";
}

}  // namespace

TEST(SlicedReading, CorpusDocumentsReadAlike) {
  const std::vector<fs::path> Files = CorpusDocuments();
  ASSERT_GE(Files.size(), 40u);
  TScratchDir Dir("sliced-corpus");
  std::size_t Records = 0;
  for (const fs::path& F : Files) Records += ExpectSameReading(F.string(), Dir).Run.Records.size();
  EXPECT_GT(Records, 1000u);
}

// Markup the cut must step over or see through; each document is valid, so each must be cut.
TEST(SlicedReading, MisleadingMarkupReadsAlike) {
  const std::vector<std::pair<const char*, std::string>> Cases = {
      {"comment holding markup",
       kDocHead + File(Unit("a", "x") + "<!-- <trans-unit id=\"no\"> </body> -->" + Unit("b", "y")) + "</xliff>"},
      {"CDATA holding markup",
       kDocHead + File(Unit("a", "1<![CDATA[</body></file><trans-unit>]]>2") + Unit("b", "y")) + "</xliff>"},
      {"processing instruction", kDocHead + File("<?pi </body> ?>" + Unit("a", "x")) + "</xliff>"},
      {"quoted > and />", kDocHead +
                              File("<group note='a > b' x=\"/>\">" + Unit("a", "x") + "</group>" +
                                   "<trans-unit id=\"q\" extra=\"</body>\"><source>s</source><seg-source><mrk "
                                   "mtype=\"seg\" mid=\"1\">s</mrk></seg-source></trans-unit>") +
                              "</xliff>"},
      {"nested groups", kDocHead + File("<group><group>" + Unit("a", "x") + "</group>" + Unit("b", "y") + "</group>" +
                                        Unit("c", "z")) +
                            "</xliff>"},
      {"several files", kDocHead + File(Unit("a", "x")) + File(Unit("b", "y"), "fr-FR\" target-language=\"it-IT") +
                            "</xliff>"},
      {"empty and self-closing bodies",
       kDocHead + "<file source-language=\"en\" target-language=\"de\"><body/></file>" + File("") + File(Unit("a", "x")) +
           "</xliff>"},
      {"a body not under a file, a prefixed body",
       kDocHead + "<body>" + Unit("no", "n") + "</body><file source-language=\"en\" target-language=\"de\"><x:body>" +
           Unit("p", "p") + "</x:body><body>" + Unit("a", "x") + "</body></file></xliff>"},
      {"byte-order mark and CRLF", "\xEF\xBB\xBF" + kDocHead + File(Unit("a", "x\r\ny") + "\r\n" + Unit("b", "y")) +
                                       "</xliff>"},
      {"references and entities", kDocHead + File(Unit("a", "&#x4E2D;&amp;&lt;&#65;") + Unit("b", "&unknown;")) + "</xliff>"},
      {"tag definitions after the body",
       kDocHead + "<file source-language=\"en\" target-language=\"de\"><body>" +
           Unit("a", "<x id=\"t1\"/><g id=\"t2\">g</g>") +
           "</body><header><tag-defs><tag id=\"t1\"><ph>&lt;br/&gt;</ph></tag></tag-defs></header></file></xliff>"},
  };
  TScratchDir Dir("sliced-cases");
  for (const auto& [Name, Doc] : Cases) {
    SCOPED_TRACE(Name);
    WriteFile(Dir / "doc.sdlxliff", Doc);
    EXPECT_TRUE(TSlicedDocument::Open(Doc, 1) != nullptr) << "not cut";
    const TModeResult Whole = ExpectSameReading(Dir / "doc.sdlxliff", Dir);
    EXPECT_FALSE(Whole.Run.Records.empty());
  }
}

// Malformed documents are parsed whole, so the failure, its reason and its log lines are the
// whole parse's; a DOCTYPE, a NUL byte or another encoding is left to it too.
TEST(SlicedReading, MalformedOrUnusualDocumentsAreParsedWhole) {
  const std::string Good = Unit("a", "x") + Unit("b", "y");
  const std::vector<std::pair<const char*, std::string>> Cases = {
      {"unclosed unit", kDocHead + File(Unit("a", "x") + "<trans-unit id=\"b\"><source>y</source>") + "</xliff>"},
      {"mismatched tag in a unit", kDocHead + File(Unit("a", "x") + "<trans-unit id=\"b\"></target></trans-unit>") +
                                       "</xliff>"},
      {"stray < in a body", kDocHead + File(Good + "a < b") + "</xliff>"},
      {"bad reference in a body", kDocHead + File(Unit("a", "&#xD800;")) + "</xliff>"},
      {"unterminated comment", kDocHead + File(Good + "<!-- ") + "</xliff>"},
      {"unterminated attribute", kDocHead + File(Good + "<group a=\"x>") + "</xliff>"},
      {"body never closed", kDocHead + "<file source-language=\"en\" target-language=\"de\"><body>" + Good},
      {"error after the body", kDocHead + File(Good) + "</wrong>"},
      {"DOCTYPE", "<!DOCTYPE xliff [<!ENTITY e \"E\">]>\n" + kDocHead + File(Unit("a", "&e;")) + "</xliff>"},
      {"NUL in a body", kDocHead + File(Good + std::string(1, '\0')) + "</xliff>"},
      {"not UTF-8", kDocHead + File(Unit("a", "\xC3\x28")) + "</xliff>"},
  };
  TScratchDir Dir("sliced-malformed");
  for (const auto& [Name, Doc] : Cases) {
    SCOPED_TRACE(Name);
    EXPECT_TRUE(TSlicedDocument::Open(Doc, 1) == nullptr) << "cut although it must be parsed whole";
    WriteFile(Dir / "doc.sdlxliff", Doc);
    ExpectSameReading(Dir / "doc.sdlxliff", Dir);
  }
}

// The point of the cut: the skeleton holds no unit, each slice a bounded share of them.
TEST(SlicedReading, SkeletonHoldsNoUnitAndSlicesHoldTheRest) {
  std::string Body;
  for (int I = 0; I < 2000; ++I) Body += Unit("u" + std::to_string(I), "segment " + std::to_string(I));
  const std::string Doc = kDocHead + File(Body) + "</xliff>";
  const std::unique_ptr<TSlicedDocument> Sliced = TSlicedDocument::Open(Doc, 16 * 1024);
  ASSERT_TRUE(Sliced);
  const pugi::xml_node BodyNode = Sliced->Skeleton().document_element().child("file").child("body");
  ASSERT_TRUE(Sliced->IsCutOut(BodyNode));
  EXPECT_FALSE(BodyNode.first_child());
  std::size_t Slices = 0, Units = 0, MostInOne = 0;
  Sliced->ForEachSlice(BodyNode, [&](const pugi::xml_document& ASlice) {
    ++Slices;
    std::size_t InThis = 0;
    for (pugi::xml_node C = ASlice.first_child(); C; C = C.next_sibling()) InThis += IsElementNamed(C, "trans-unit");
    Units += InThis;
    MostInOne = std::max(MostInOne, InThis);
  });
  EXPECT_EQ(Units, 2000u);
  EXPECT_GT(Slices, 10u);
  EXPECT_LT(MostInOne, 200u);
  EXPECT_FALSE(Sliced->IsCutOut(Sliced->Skeleton().document_element()));
}
