// The package readers (.sdlppx/.sdlrpx and .mqxlz) on packages built here with libzip.
#include <gtest/gtest.h>

#include "ImportFromFileGroup02Unit.h"
#include "ImportFromFileGroup04Unit.h"
#include "ReaderRunUtil.h"

using namespace lexmora;
using namespace lexmora::testutil;

namespace {

using TEntries = std::vector<std::pair<std::string, std::string>>;

// An SDLXLIFF document with one segment: source ASource, target ATarget.
std::string SdlDoc(const std::string& ASrcLang, const std::string& ATrgLang, const std::string& ASource,
                   const std::string& ATarget) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><xliff xmlns:sdl=\"http://sdl.com/FileTypes/SdlXliff/1.0\" "
         "version=\"1.2\">"
         "<file original=\"a.docx\" source-language=\"" +
         ASrcLang + "\" target-language=\"" + ATrgLang + "\"><header/><body><trans-unit id=\"u1\"><source>" + ASource +
         "</source><seg-source><mrk mtype=\"seg\" mid=\"1\">" + ASource +
         "</mrk></seg-source><target><mrk mtype=\"seg\" mid=\"1\">" + ATarget +
         "</mrk></target><sdl:seg-defs><sdl:seg id=\"1\" "
         "percent=\"100\"/></sdl:seg-defs></trans-unit></body></file></xliff>";
}

std::string Project(const std::string& ADirections, const std::string& AParent = "LanguageDirections") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><Project Guid=\"p\" PackageType=\"ProjectPackage\"><" + AParent +
         ">" + ADirections + "</" + AParent + "><Files/></Project>";
}

std::string Direction(const std::string& ASrc, const std::string& ATrg,
                      const std::string& AName = "LanguageDirection") {
  std::string D = "<" + AName;
  if (!ASrc.empty()) D += " SourceLanguageCode=\"" + ASrc + "\"";
  if (!ATrg.empty()) D += " TargetLanguageCode=\"" + ATrg + "\"";
  return D + "/>";
}

std::string MqDoc(const std::string& ASrcLang, const std::string& ATrgLang, const std::string& AGuid,
                  const std::string& ATarget) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><xliff version=\"1.2\" xmlns:mq=\"MQXliff\"><file "
         "source-language=\"" +
         ASrcLang + "\" target-language=\"" + ATrgLang + "\"><body><trans-unit id=\"1\" mq:segmentguid=\"" + AGuid +
         "\"><source>s</source><target>" + ATarget + "</target></trans-unit></body></file></xliff>";
}

class PackageTest : public ::testing::Test {
 protected:
  // Builds the package AName from AEntries and reads it through the reader its extension picks.
  TReaderRun Read(const std::string& AName, const TEntries& AEntries) {
    BuildZip(D.Path() / "in" / AName, AEntries);
    return RunReader(TempDir(), (D.Path() / "in" / AName).string());
  }
  std::string TempDir() const { return D.Dir() + "Temp/"; }
  std::vector<std::string> Targets(const TReaderRun& ARun) const {
    std::vector<std::string> Result;
    for (const TDiffInfoRecord& R : ARun.Records)
      Result.push_back(R.ResultStr + "@" + R.SourceLang + ">" + R.TargetLang);
    return Result;
  }
  void SetUp() override { fs::create_directories(D.Path() / "in"); }

  TScratchDir D;
};

// ---- SDL packages ---------------------------------------------------------------------------

TEST_F(PackageTest, TwoTargetLanguagesInProjectOrderEachWithItsOwnPair) {
  const TReaderRun Run =
      Read("p.sdlppx", {{"Project 1.sdlproj", Project(Direction("en-US", "fr-FR") + Direction("en-US", "de-DE"))},
                        {"en-US/a.docx.sdlxliff", SdlDoc("en-US", "", "Hello", "")},
                        {"de-DE/a.docx.sdlxliff", SdlDoc("en-US", "de-DE", "Hello", "Hallo")},
                        {"fr-FR/a.docx.sdlxliff", SdlDoc("en-US", "fr-FR", "Hello", "Bonjour")},
                        {"Reports/x.xml", "<r/>"}});
  ASSERT_EQ(Run.Extract, TExtractFilesResult::efrOk);
  EXPECT_EQ(Run.Pair.SrcLang, "en-US;en-US");
  EXPECT_EQ(Run.Pair.TrgLang, "fr-FR;de-DE");
  EXPECT_EQ(Targets(Run), (std::vector<std::string>{"Bonjour@en-US>fr-FR", "Hallo@en-US>de-DE"}));
  // Both documents were read through the one working copy in "internal/".
  EXPECT_EQ(Run.Records[0].FileName, TempDir() + "internal/a.docx.sdlxliff");
  EXPECT_EQ(Run.Records[1].FileName, Run.Records[0].FileName);
  EXPECT_EQ(Run.Records[0].Match, "100");
  EXPECT_TRUE(Run.AllRead);
  EXPECT_FALSE(fs::exists(TempDir()));
}

TEST_F(PackageTest, DocumentsInSubfoldersDepthFirstAndMasksIgnoreCase) {
  const TReaderRun Run = Read("p.sdlrpx", {{"p.SDLPROJ", Project(Direction("en-US", "de-DE"))},
                                           {"de-DE/b.sdlxliff", SdlDoc("en-US", "de-DE", "s", "B")},
                                           {"de-DE/a/z.SdlXliff", SdlDoc("en-US", "de-DE", "s", "AZ")},
                                           {"de-DE/a/deeper/y.sdlxliff", SdlDoc("en-US", "de-DE", "s", "ADY")},
                                           {"de-DE/c.sdlxliff.bak", "not read"},
                                           {"de-DE/notes.txt", "not read"}});
  ASSERT_EQ(Run.Extract, TExtractFilesResult::efrOk);
  EXPECT_EQ(Targets(Run), (std::vector<std::string>{"ADY@en-US>de-DE", "AZ@en-US>de-DE", "B@en-US>de-DE"}));
}

TEST_F(PackageTest, DirectionNamesIgnoreCaseButTheirParentDoesNot) {
  const TEntries Docs = {{"de-DE/a.sdlxliff", SdlDoc("en-US", "de-DE", "s", "D")},
                         {"fr-FR/a.sdlxliff", SdlDoc("en-US", "fr-FR", "s", "F")}};
  TEntries A = Docs;
  A.push_back(
      {"p.sdlproj", Project(Direction("en-US", "de-DE", "languageDIRECTION") + Direction("en-US", "fr-FR", "Other") +
                            Direction("", "fr-FR", "LanguageDirection"))});
  const TReaderRun RunA = Read("a.sdlppx", A);
  EXPECT_EQ(RunA.Pair.SrcLang, "en-US");  // the direction with only a target code adds to the target list only
  EXPECT_EQ(RunA.Pair.TrgLang, "de-DE;fr-FR");
  EXPECT_EQ(Targets(RunA), (std::vector<std::string>{"D@en-US>de-DE", "F@en-US>fr-FR"}));

  TEntries B = Docs;
  B.push_back({"p.sdlproj", Project(Direction("en-US", "de-DE"), "languageDirections")});
  const TReaderRun RunB = Read("b.sdlppx", B);
  ASSERT_EQ(RunB.Extract, TExtractFilesResult::efrOk);
  EXPECT_EQ(RunB.Pair.TrgLang, "");
  EXPECT_TRUE(RunB.Records.empty());
}

TEST_F(PackageTest, LanguageFolderFoundWithoutRegardToCase) {
  const TReaderRun Run =
      Read("p.sdlppx", {{"p.sdlproj", Project(Direction("en-US", "de-DE") + Direction("en-US", "de-de"))},
                        {"de-de/a.sdlxliff", SdlDoc("en-US", "de-DE", "s", "lower")},
                        {"DE-DE/b.sdlxliff", SdlDoc("en-US", "de-DE", "s", "upper")}});
  // Both spellings are the one folder where the package was made; each is read once, in the order
  // of the unpacked folders (one folder, in name order, where letter case makes no two names).
#ifdef _WIN32
  EXPECT_EQ(Targets(Run), (std::vector<std::string>{"lower@en-US>de-DE", "upper@en-US>de-DE"}));
#else
  EXPECT_EQ(Targets(Run), (std::vector<std::string>{"upper@en-US>de-DE", "lower@en-US>de-DE"}));
#endif
}

TEST_F(PackageTest, EmptyTargetCodeIsSkippedNotTheWholeFolder) {
  // A direction without a target code adds nothing; one with an empty code leaves an empty piece.
  const TReaderRun Run = Read(
      "p.sdlppx", {{"p.sdlproj", Project(Direction("en-US", "") + Direction("en-US", "de-DE") +
                                         "<LanguageDirection SourceLanguageCode=\"en-US\" TargetLanguageCode=\"\"/>" +
                                         Direction("en-US", "fr-FR"))},
                   {"top.sdlxliff", SdlDoc("en-US", "", "s", "top")},
                   {"en-US/a.sdlxliff", SdlDoc("en-US", "", "s", "source copy")},
                   {"fr-FR/a.sdlxliff", SdlDoc("en-US", "fr-FR", "s", "F")}});
  EXPECT_EQ(Run.Pair.TrgLang, "de-DE;;fr-FR");
  EXPECT_EQ(Targets(Run), (std::vector<std::string>{"F@en-US>fr-FR"}));
}

TEST_F(PackageTest, CodesThatAreNoFolderNameNeverLeaveThePackage) {
  TScratchDir Outside;
  WriteFile(Outside.Path() / "victim.sdlxliff", SdlDoc("en-US", "xx", "s", "outside"));
  const std::string Escape = "../../../../../../../.." + Outside.Path().string();
  const TReaderRun Run =
      Read("p.sdlppx",
           {{"p.sdlproj", Project(Direction("en-US", Escape) + Direction("en-US", ".") + Direction("en-US", ".."))},
            {"a.sdlxliff", SdlDoc("en-US", "", "s", "top")}});
  EXPECT_TRUE(Run.Records.empty());
}

TEST_F(PackageTest, SplitLanguageListKeepsEmptyPiecesBeforeTheLastSeparator) {
  using V = std::vector<std::string>;
  EXPECT_EQ(TImporterFromGroup02::SplitLanguageList(""), V{});
  EXPECT_EQ(TImporterFromGroup02::SplitLanguageList("de-DE"), V{"de-DE"});
  EXPECT_EQ(TImporterFromGroup02::SplitLanguageList("de-DE;fr-FR"), (V{"de-DE", "fr-FR"}));
  EXPECT_EQ(TImporterFromGroup02::SplitLanguageList(";fr-FR"), (V{"", "fr-FR"}));
  EXPECT_EQ(TImporterFromGroup02::SplitLanguageList("de-DE;"), V{"de-DE"});
  EXPECT_EQ(TImporterFromGroup02::SplitLanguageList(";;"), (V{"", ""}));
}

TEST_F(PackageTest, IdenticalDocumentNamesInTwoFoldersShareTheWorkingCopyName) {
  const TReaderRun Run =
      Read("p.sdlppx", {{"p.sdlproj", Project(Direction("en-US", "de-DE") + Direction("en-US", "fr-FR"))},
                        {"de-DE/same.sdlxliff", SdlDoc("en-US", "de-DE", "s", "D")},
                        {"fr-FR/same.sdlxliff", SdlDoc("en-US", "fr-FR", "s", "F")}});
  ASSERT_EQ(Run.Records.size(), 2u);
  EXPECT_EQ(Run.Records[0].FileName, Run.Records[1].FileName);
  EXPECT_NE(Run.Records[0].TargetLang, Run.Records[1].TargetLang);
}

TEST_F(PackageTest, ProjectAndReturnPackageOfOneProjectReadIdentically) {
  const TEntries Entries = {{"p.sdlproj", Project(Direction("en-US", "de-DE"))},
                            {"de-DE/a.sdlxliff", SdlDoc("en-US", "de-DE", "s &amp; t", "<g id=\"1\">x</g>")}};
  const TReaderRun P = Read("job.sdlppx", Entries);
  const TReaderRun R = Read("job.sdlrpx", Entries);
  ASSERT_EQ(P.Records.size(), 1u);
  ASSERT_EQ(R.Records.size(), 1u);
  const TDiffInfoRecord &A = P.Records[0], &B = R.Records[0];
  EXPECT_EQ(std::tie(A.FileName, A.UnitID, A.SegmentID, A.Match, A.IsLocked, A.SourceString, A.ResultStr, A.SourceLang,
                     A.TargetLang),
            std::tie(B.FileName, B.UnitID, B.SegmentID, B.Match, B.IsLocked, B.SourceString, B.ResultStr, B.SourceLang,
                     B.TargetLang));
  EXPECT_EQ(P.Pair.TrgLang, R.Pair.TrgLang);
}

TEST_F(PackageTest, DocumentThatFailsToParseIsLoggedAndTheNextIsRead) {
  const std::size_t Before = CountOf(LogText(), "TImporterFromGroup01.GetDataFromFile");
  const TReaderRun Run = Read("p.sdlppx", {{"p.sdlproj", Project(Direction("en-US", "de-DE"))},
                                           {"de-DE/a.sdlxliff", "<xliff><file><body><trans-unit"},
                                           {"de-DE/b.sdlxliff", SdlDoc("en-US", "de-DE", "s", "B")}});
  EXPECT_TRUE(Run.AllRead);
  EXPECT_EQ(Targets(Run), (std::vector<std::string>{"B@en-US>de-DE"}));
  EXPECT_GT(CountOf(LogText(), "TImporterFromGroup01.GetDataFromFile"), Before);
  // The skipped document is noted with its place in the package and the parser's reason.
  ASSERT_EQ(Run.Failures.size(), 1u);
  EXPECT_EQ(Run.Failures[0].Document, "de-DE/a.sdlxliff");
  EXPECT_TRUE(Run.Failures[0].Reason.starts_with("not well-formed XML at line 1, column ")) << Run.Failures[0].Reason;
}

TEST_F(PackageTest, PackagesThatGiveNothingToReadSayWhy) {
  const auto ReasonOf = [](const TReaderRun& ARun) {
    return ARun.Failures.empty() ? std::string("(none)") : ARun.Failures.back().Reason;
  };
  const TReaderRun NoFolder = Read("a.sdlppx", {{"p.sdlproj", Project(Direction("en-US", "de-DE"))},
                                                {"fr-FR/a.sdlxliff", SdlDoc("en-US", "fr-FR", "s", "F")}});
  EXPECT_TRUE(NoFolder.Files.empty());
  EXPECT_EQ(ReasonOf(NoFolder), "no target-language folder (de-DE)");
  const TReaderRun EmptyFolder =
      Read("b.sdlppx", {{"p.sdlproj", Project(Direction("en-US", "de-DE"))}, {"de-DE/notes.txt", "x"}});
  EXPECT_EQ(ReasonOf(EmptyFolder), "no .sdlxliff document in the target-language folder");
  const TReaderRun NoProject = Read("c.sdlppx", {{"de-DE/a.sdlxliff", SdlDoc("en-US", "de-DE", "s", "D")}});
  EXPECT_EQ(ReasonOf(NoProject), "no target language in the project file");
  const TReaderRun NoMq = Read("d.mqxlz", {{"skeleton.xml", "<skeleton/>"}});
  EXPECT_EQ(ReasonOf(NoMq), "no .mqxliff document in the package");
  // A package with something to read notes nothing.
  const TReaderRun Good = Read("e.sdlppx", {{"p.sdlproj", Project(Direction("en-US", "de-DE"))},
                                            {"de-DE/a.sdlxliff", SdlDoc("en-US", "de-DE", "s", "D")}});
  EXPECT_TRUE(Good.Failures.empty());
}

TEST_F(PackageTest, PackageWithoutProjectOrDirectionsGivesNoDocuments) {
  const TReaderRun NoProject = Read("a.sdlppx", {{"de-DE/a.sdlxliff", SdlDoc("en-US", "de-DE", "s", "D")}});
  EXPECT_EQ(NoProject.Extract, TExtractFilesResult::efrOk);
  EXPECT_TRUE(NoProject.Files.empty());
  const TReaderRun ProjectInFolder = Read("b.sdlppx", {{"sub/p.sdlproj", Project(Direction("en-US", "de-DE"))},
                                                       {"de-DE/a.sdlxliff", SdlDoc("en-US", "de-DE", "s", "D")}});
  EXPECT_TRUE(ProjectInFolder.Files.empty());
  const TReaderRun NoDirections =
      Read("c.sdlppx", {{"p.sdlproj", Project("")}, {"de-DE/a.sdlxliff", SdlDoc("en-US", "de-DE", "s", "D")}});
  EXPECT_TRUE(NoDirections.Files.empty());
}

TEST_F(PackageTest, ProjectFileThatIsNotXmlIsLogged) {
  const std::size_t Before = CountOf(LogText(), "TImporterFromGroup02.DefineSrcAndTrgLanguages");
  const TReaderRun Run = Read(
      "p.sdlppx", {{"p.sdlproj", "PK\x03\x04 not xml <<"}, {"de-DE/a.sdlxliff", SdlDoc("en-US", "de-DE", "s", "D")}});
  EXPECT_EQ(Run.Extract, TExtractFilesResult::efrOk);
  EXPECT_TRUE(Run.Files.empty());
  EXPECT_GT(CountOf(LogText(), "TImporterFromGroup02.DefineSrcAndTrgLanguages"), Before);
}

// ---- Bad packages, for both package readers ---------------------------------------------------

struct TBadPackage {
  const char* Name;
  const char* Extension;
  std::string Bytes;
  TExtractFilesResult Expected;
  const char* Reason;  // part of the noted reason
};

class BadPackage : public ::testing::TestWithParam<TBadPackage> {};

std::string GoodZipBytes() {
  TScratchDir D;
  BuildZip(D.Path() / "g.zip",
           {{"p.sdlproj", Project(Direction("en-US", "de-DE"))}, {"de-DE/a.sdlxliff", std::string(3000, ' ')}});
  return ReadFile(D.Path() / "g.zip");
}

TEST_P(BadPackage, GivesItsResultCodeAndWritesNothingOutsideTemp) {
  const TBadPackage& P = GetParam();
  TScratchDir D;
  const fs::path Input = D.Path() / "in" / (std::string("p") + P.Extension);
  WriteFile(Input, P.Bytes);
  const std::string Temp = D.Dir() + "Temp/";
  const TReaderRun Run = RunReader(Temp, Input.string());
  EXPECT_EQ(Run.Extract, P.Expected);
  EXPECT_TRUE(Run.Records.empty());
  ASSERT_EQ(Run.Failures.size(), 1u);
  EXPECT_TRUE(Run.Failures[0].Reason.find(P.Reason) != std::string::npos) << Run.Failures[0].Reason;
  if (P.Expected == TExtractFilesResult::efrFileUnpackError) {
    EXPECT_TRUE(fs::exists(Temp + "tmp.zip"));  // the copy was made before the unpacking failed
  }
  for (const std::string& F : ListTree(D.Path())) EXPECT_TRUE(F.rfind("Temp/", 0) == 0 || F.rfind("in/", 0) == 0) << F;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadPackage,
    ::testing::Values(
        TBadPackage{"NotAZip", ".sdlppx", "<Project/> plain text", TExtractFilesResult::efrFileUnpackError,
                    "not a readable ZIP package"},
        TBadPackage{"EmptyFile", ".mqxlz", "", TExtractFilesResult::efrFileUnpackError, "not a readable ZIP package"},
        TBadPackage{"Truncated", ".sdlrpx", GoodZipBytes().substr(0, 200), TExtractFilesResult::efrFileUnpackError, ""},
        TBadPackage{"PathTraversal", ".sdlppx",
                    BuildRawZip({{"p.sdlproj", "<Project/>"}, {"../../evil.sdlxliff", "x"}}),
                    TExtractFilesResult::efrFileUnpackError, "entry name leaves the package: \"../../evil.sdlxliff\""},
        TBadPackage{"AbsolutePath", ".mqxlz", BuildRawZip({{"/tmp/lexmora-evil.mqxliff", "x"}}),
                    TExtractFilesResult::efrFileUnpackError, "leaves the package"},
        TBadPackage{"Symlink", ".mqxlz", BuildRawZip({{"l", "/", 0, static_cast<std::uint32_t>(0120777) << 16, 3}}),
                    TExtractFilesResult::efrFileUnpackError, "symbolic link entry"},
        TBadPackage{"RatioBomb", ".sdlppx", BuildRawZip({{"a.sdlxliff", "x", 0, 0, 0, 5000000}}),
                    TExtractFilesResult::efrFileUnpackError, "compression ratio"}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(PackageReader, MissingPackageIsFileNotFound) {
  TScratchDir D;
  EXPECT_EQ(RunReader(D.Dir() + "Temp/", D.Dir() + "none.sdlppx").Extract, TExtractFilesResult::efrFileNotFound);
  EXPECT_EQ(RunReader(D.Dir() + "Temp/", D.Dir() + "none.mqxlz").Extract, TExtractFilesResult::efrFileNotFound);
}

TEST(PackageReader, InnerCopyFailureAnswersFalse) {
  TScratchDir D;
  BuildZip(D.Path() / "p.mqxlz", {{"a.mqxliff", MqDoc("en", "de", "g", "t")}});
  TImporterFromGroup04 Reader(D.Dir() + "Temp/", D.Dir() + "p.mqxlz", false);
  ASSERT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrOk);
  TArrayOfDiffInfoRecord R;
  EXPECT_FALSE(Reader.GetDataFromFile(D.Dir() + "Temp/missing.mqxliff", nullptr, R));
  EXPECT_TRUE(Reader.GetDataFromFile(D.Dir() + "Temp/a.mqxliff", nullptr, R));
  EXPECT_EQ(R.size(), 1u);
  EXPECT_FALSE(fs::exists(D.Path() / "Temp" / "internal"));
}

TEST(PackageReader, StopRequestSkipsTheInnerDocumentsAndStillAnswersTrue) {
  TScratchDir D;
  BuildZip(D.Path() / "p.mqxlz", {{"a.mqxliff", MqDoc("en", "de", "g", "t")}});
  TImporterFromGroup04 Reader(D.Dir() + "Temp/", D.Dir() + "p.mqxlz", false);
  ASSERT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrOk);
  TArrayOfDiffInfoRecord R;
  EXPECT_TRUE(Reader.GetDataFromFile(
      D.Dir() + "Temp/a.mqxliff", [] { return true; }, R));
  EXPECT_TRUE(R.empty());
}

// ---- .mqxlz ---------------------------------------------------------------------------------

TEST_F(PackageTest, MqxlzDocumentsAtAnyDepthEachWithItsOwnPair) {
  const TReaderRun Run = Read("p.mqxlz", {{"skeleton.xml", "<s/>"},
                                          {"b/deep/two.mqxliff", MqDoc("en", "ja", "g2", "Two")},
                                          {"a/one.MQXLIFF", MqDoc("de", "fr", "g1", "One")},
                                          {"top.mqxliff", MqDoc("en-US", "pl", "g0", "Top")}});
  ASSERT_EQ(Run.Extract, TExtractFilesResult::efrOk);
  EXPECT_EQ(Run.Pair.SrcLang, "en-US");  // DefineFirstFileName: the top-level document
  EXPECT_EQ(Run.Pair.TrgLang, "pl");
  EXPECT_EQ(Targets(Run), (std::vector<std::string>{"One@de>fr", "Two@en>ja", "Top@en-US>pl"}));
  EXPECT_EQ(Run.Records[0].FileName, TempDir() + "internal/one.MQXLIFF");
}

TEST_F(PackageTest, MqxlzWithoutTopLevelDocumentHasNoPairButReadsItsDocuments) {
  const TReaderRun Run = Read("p.mqxlz", {{"sub/one.mqxliff", MqDoc("de", "fr", "g1", "One")}});
  EXPECT_EQ(Run.Pair.SrcLang, "");
  EXPECT_EQ(Targets(Run), (std::vector<std::string>{"One@de>fr"}));
}

TEST_F(PackageTest, MqxlzWithoutDocumentsGivesNothing) {
  const TReaderRun Run = Read("p.mqxlz", {{"skeleton.xml", "<s/>"}});
  EXPECT_EQ(Run.Extract, TExtractFilesResult::efrOk);
  EXPECT_TRUE(Run.Files.empty());
  EXPECT_TRUE(Run.Records.empty());
}

TEST_F(PackageTest, MqxlzDocumentThatFailsIsLoggedAndTheNextIsRead) {
  const std::size_t Before = CountOf(LogText(), "TImporterFromGroup03.GetDataFromFile");
  const TReaderRun Run =
      Read("p.mqxlz", {{"a.mqxliff",
                        "<xliff><file><body><trans-unit mq:segmentguid='g'><source>s</source></trans-unit>"
                        "</body></file></xliff>"},
                       {"b.mqxliff", MqDoc("en", "de", "g", "B")}});
  EXPECT_TRUE(Run.AllRead);
  EXPECT_EQ(Targets(Run), (std::vector<std::string>{"B@en>de"}));
  EXPECT_GT(CountOf(LogText(), "TImporterFromGroup03.GetDataFromFile"), Before);
}

}  // namespace
