// The reader on the real third-party documents of the shared corpus (see its SOURCES.md).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "ImportTestSupport.h"
#include "TestPaths.h"
#include "XmlDomUnit.h"

using namespace lexmora;
using namespace lexmora::test;
namespace fs = std::filesystem;

namespace {

fs::path CorpusDir() { return fs::path(LEXMORA_CORPUS_DIR) / "sdlxliff"; }

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> Files;
  std::error_code Ec;
  for (const auto& E : fs::directory_iterator(CorpusDir(), Ec))
    if (E.path().extension() == ".sdlxliff") Files.push_back(E.path());
  std::sort(Files.begin(), Files.end());
  return Files;
}

// Reads AFile the way the comparison run does: working copy, languages, file list, data.
struct TReadResult {
  TExtractFilesResult Extract = TExtractFilesResult::efrUnknown;
  bool Read = false;
  TLangPair Pair;
  TArrayOfDiffInfoRecord Records;
};

TReadResult ReadLikeTheRun(const fs::path& AFile, const TScratchDir& ADir) {
  TReadResult Result;
  TImporterFromGroup01 Reader(ADir / "Temp/", AFile.string(), false);
  Result.Extract = Reader.ExtractFile();
  if (Result.Extract != TExtractFilesResult::efrOk) return Result;
  Reader.DefineSrcAndTrgLanguages();
  Reader.GetSrcFileNames();
  Result.Read = true;
  for (const std::string& Doc : Reader.UnpackedFiles()) Result.Read = Result.Read && Reader.GetDataFromFile(Doc, nullptr, Result.Records);
  Result.Pair = Reader.LangPair();
  Reader.DeleteTmpDir();
  return Result;
}

TEST(SdlCorpus, CorpusIsThere) {
  ASSERT_TRUE(fs::is_directory(CorpusDir())) << "the shared corpus is missing: " << CorpusDir();
  EXPECT_GE(CorpusFiles().size(), 30u);
}

// Counts stated in the corpus description: segments, filled targets, segments with a match
// value, locked segments. Files without segment marks give no records.
TEST(SdlCorpus, DescribedDocumentsGiveTheDescribedCounts) {
  struct Row {
    const char* File;
    std::size_t Segments, Filled, WithMatch, Locked;
    const char *Src, *Trg;
  };
  const Row Rows[] = {
      {"ChangeTracking_Trados_1.sdlxliff", 5, 5, 0, 0, "en-us", "ja-JP"},
      {"Configuring_Spelling_Checker.doc.sdlxliff", 14, 14, 13, 0, "en-US", "fr-FR"},
      {"Language_Support.doc.sdlxliff", 3, 3, 1, 0, "en-US", "fr-FR"},
      {"New_features.ppt.sdlxliff", 7, 7, 4, 0, "en-US", "fr-FR"},
      {"QuotesSample.docx.sdlxliff", 8, 8, 0, 2, "en-US", "it-IT"},
      {"TTSExample.docx.sdlxliff", 4, 0, 0, 0, "en-us", "de-de"},
      {"#1 - quickplace.docx.sdlxliff", 8, 8, 0, 0, "en-US", "de-de"},
      {"SamplePhotoPrinter.doc.sdlxliff", 19, 1, 1, 0, "en-US", "de-DE"},
      {"Test stati sdlxliff.txt_it-IT_en-US.sdlxliff", 15, 7, 13, 0, "it-IT", "en-US"},
      {"piazza.sdlxliff", 5, 0, 0, 0, "en-US", "de-DE"},
      {"S9_Backlight.xls.ttx (3).sdlxliff", 2, 0, 0, 0, "en-US", "nl-NL"},
      {"file-with-notes-nobase64.po.sdlxliff", 0, 0, 0, 0, "en-us", "fr-FR"},
      {"inglese-con-newlines-e-doctype.po.sdlxliff", 456, 450, 0, 0, "it-IT", "en-US"},
      {"simpleTest15984.sdlxliff", 9, 2, 0, 0, "en-US", "es-ES"},
      {"TS09-12-Test01.sdlxliff", 19, 1, 1, 0, "en", "de"},
      {"no_mrk.sdlxliff", 0, 0, 0, 0, "en-US", "fr-FR"},
      {"okapi_intro_test15977.sdlxliff", 15, 0, 0, 0, "en-US", "es-ES"},
      {"32415989.sdlxliff", 68, 10, 8, 0, "en-US", "es-ES"},
      {"home_big15998.sdlxliff", 23, 0, 0, 0, "en-US", "es-ES"},
      {"quoted-code-type-values.sdlxliff", 0, 0, 0, 0, "en-US", "es-ES"},
      {"extended-code-type-support.docx_en-US_fr-FR.sdlxliff", 10, 0, 0, 0, "en-US", "fr-FR"},
      {"bad_textUnit15971.sdlxliff", 5, 1, 0, 0, "en-US", "es-ES"},
      {"BadTags_HTMLDog15975.sdlxliff", 145, 55, 1, 0, "en-US", "es-ES"},
  };
  TScratchDir Dir("corpus-counts");
  for (const Row& R : Rows) {
    SCOPED_TRACE(R.File);
    const TReadResult Got = ReadLikeTheRun(CorpusDir() / R.File, Dir);
    ASSERT_EQ(Got.Extract, TExtractFilesResult::efrOk);
    EXPECT_TRUE(Got.Read);
    EXPECT_EQ(Got.Pair.SrcLang, R.Src);
    EXPECT_EQ(Got.Pair.TrgLang, R.Trg);
    EXPECT_EQ(Got.Records.size(), R.Segments);
    const auto Count = [&](auto APred) { return static_cast<std::size_t>(std::count_if(Got.Records.begin(), Got.Records.end(), APred)); };
    EXPECT_EQ(Count([](const TDiffInfoRecord& D) { return !D.ResultStr.empty(); }), R.Filled);
    EXPECT_EQ(Count([](const TDiffInfoRecord& D) { return !D.Match.empty(); }), R.WithMatch);
    EXPECT_EQ(Count([](const TDiffInfoRecord& D) { return D.IsLocked; }), R.Locked);
  }
}

// Every document is read without failure; every record is sound.
TEST(SdlCorpus, EveryDocumentIsReadWithSoundRecords) {
  TScratchDir Dir("corpus-all");
  std::size_t Total = 0;
  for (const fs::path& File : CorpusFiles()) {
    SCOPED_TRACE(File.filename().string());
    const TReadResult Got = ReadLikeTheRun(File, Dir);
    ASSERT_EQ(Got.Extract, TExtractFilesResult::efrOk);
    EXPECT_TRUE(Got.Read);
    EXPECT_FALSE(Got.Pair.SrcLang.empty());
    for (const TDiffInfoRecord& R : Got.Records) {
      EXPECT_FALSE(R.UnitID.empty());
      EXPECT_FALSE(R.SegmentID.empty());
      EXPECT_EQ(R.FileName, Dir / ("Temp/" + File.filename().string()));
      EXPECT_EQ(R.SourceLang, Got.Pair.SrcLang);
      EXPECT_EQ(R.TargetLang, Got.Pair.TrgLang);
      EXPECT_EQ(R.ResultStr, TrimBlanks(R.ResultStr));
      EXPECT_EQ(R.SourceString.find("<g"), std::string::npos);
      EXPECT_EQ(R.SourceString.find("<mrk"), std::string::npos);
    }
    Total += Got.Records.size();
  }
  EXPECT_GT(Total, 1000u);
  EXPECT_FALSE(fs::exists(Dir / "Temp"));
}

// Damaged copies of the real documents fail cleanly: false, no crash, earlier records kept.
TEST(SdlCorpus, TruncatedDocumentsFailCleanly) {
  TScratchDir Dir("corpus-cut");
  for (const fs::path& File : CorpusFiles()) {
    SCOPED_TRACE(File.filename().string());
    const std::string Data = ReadFile(File.string());
    for (const double Cut : {0.3, 0.77}) {
      const std::string Copy = Dir / "cut.sdlxliff";
      WriteFile(Copy, Data.substr(0, static_cast<std::size_t>(Data.size() * Cut)));
      TImporterFromGroup01 Reader(Dir / "Temp/", Copy, false);
      TArrayOfDiffInfoRecord Records(1);
      EXPECT_FALSE(Reader.GetDataFromFile(Copy, nullptr, Records));
      EXPECT_EQ(Records.size(), 1u);
    }
  }
}

// Before/after pairs: the edited targets differ exactly where the corpus says they were edited.
std::map<std::string, std::string> TargetsByKey(const std::string& AFile) {
  TImporterFromGroup01 Reader("/nonexistent/", AFile, false);
  TArrayOfDiffInfoRecord Records;
  EXPECT_TRUE(Reader.GetDataFromFile((CorpusDir() / AFile).string(), nullptr, Records));
  std::map<std::string, std::string> Map;
  for (const TDiffInfoRecord& R : Records) Map[R.UnitID + "\n" + R.SegmentID] = R.ResultStr;
  return Map;
}

std::size_t ChangedTargets(const std::string& ABefore, const std::string& AAfter) {
  const auto Before = TargetsByKey(ABefore);
  const auto After = TargetsByKey(AAfter);
  std::size_t Changed = 0;
  for (const auto& [Key, Text] : Before) {
    const auto It = After.find(Key);
    EXPECT_NE(It, After.end()) << Key;
    Changed += It != After.end() && It->second != Text;
  }
  return Changed;
}

TEST(SdlCorpus, BeforeAfterPairsDifferWhereTheyWereEdited) {
  EXPECT_EQ(ChangedTargets("translate5-BasicSegmentEditingTest_install-unix.apache2.html.sdlxliff",
                           "translate5-BasicSegmentEditingTest_export-assert.sdlxliff"),
            4u);
  EXPECT_EQ(ChangedTargets("translate5-Translate1804Test_02-sdlxliff-en-de.sdlxliff",
                           "translate5-Translate1804Test_export-02-sdlxliff-en-de.sdlxliff"),
            2u);
  EXPECT_EQ(ChangedTargets("translate5-Translate682Test_testsamples.sdlxliff", "translate5-Translate682Test_expectedResult.sdlxliff"),
            1u);
}

// The "before" file still carries pending tracked changes; with deletions left out and additions
// kept its targets equal those of the "after" file, which has none.
TEST(SdlCorpus, ResolvedTrackedChangesMatchTheCleanExport) {
  const std::string Before = "translate5-SegmentCommentRoundtripTest_01-sdlxliff-en-de.sdlxliff";
  ASSERT_NE(ReadFile((CorpusDir() / Before).string()).find("x-sdl-deleted"), std::string::npos);
  EXPECT_EQ(ChangedTargets(Before, "translate5-SegmentCommentRoundtripTest_export-assert.sdlxliff"), 0u);
  EXPECT_FALSE(TargetsByKey(Before).empty());
}

}  // namespace
