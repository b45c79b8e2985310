// Every real third-party SDL package, memoQ and Memsource file of the shared corpus, read the way
// the comparison run reads it.
#include <gtest/gtest.h>

#include <map>

#include "ImportFromFileGroup03Unit.h"
#include "ReaderRunUtil.h"
#include "TestPaths.h"

using namespace lexmora;
using namespace lexmora::testutil;

namespace {

fs::path Corpus() {
  const fs::path Dir(LEXMORA_CORPUS_DIR);
  if (!fs::is_directory(Dir)) ADD_FAILURE() << "The shared corpus is missing: " << Dir;
  return Dir;
}

struct TCorpusFile {
  const char* Path;         // relative to the corpus
  bool Readable;            // false: marked malformed in the corpus notes
  std::size_t Records;
  std::size_t Locked;
  const char* SrcLang;      // of the first record
  const char* TrgLang;
};

std::string RowName(const char* APath) {
  std::string N;
  for (const char* C = APath; *C; ++C) N += std::isalnum(static_cast<unsigned char>(*C)) ? *C : '_';
  return N;
}

class CorpusFile : public ::testing::TestWithParam<TCorpusFile> {};

TEST_P(CorpusFile, ReadsWithoutFailure) {
  const TCorpusFile& C = GetParam();
  const fs::path Input = Corpus() / C.Path;
  ASSERT_TRUE(fs::is_regular_file(Input)) << Input;
  TScratchDir D;
  // The memoQ sample published as .xlf goes to the plain XLIFF reader, which reads it as memoQ.
  const TReaderRun Run = RunReader(D.Dir() + "Temp/", Input.string());
  ASSERT_EQ(Run.Extract, TExtractFilesResult::efrOk);
  EXPECT_EQ(Run.AllRead, C.Readable);
  EXPECT_EQ(Run.Records.size(), C.Records);
  std::size_t Locked = 0;
  for (const TDiffInfoRecord& R : Run.Records) {
    Locked += R.IsLocked ? 1 : 0;
    EXPECT_FALSE(R.UnitID.empty());
  }
  EXPECT_EQ(Locked, C.Locked);
  if (!Run.Records.empty()) {
    EXPECT_EQ(Run.Records[0].SourceLang, C.SrcLang);
    EXPECT_EQ(Run.Records[0].TargetLang, C.TrgLang);
  }
  EXPECT_FALSE(fs::exists(D.Path() / "Temp"));
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, CorpusFile,
    ::testing::Values(
        TCorpusFile{"sdl-packages/ts2017-test01.sdlppx", true, 8, 0, "en-US", "fr-CA"},
        TCorpusFile{"mqxlz/git.html_jpn.mqxlz", true, 11, 0, "en", "ja"},
        TCorpusFile{"mqxliff/ChangeTracking_memoQ_1.mqxliff", true, 5, 0, "en", "ja"},
        TCorpusFile{"mqxliff/test_document (memoQ bilingual).mqxliff", true, 27, 0, "nl-nl", "en-gb"},
        TCorpusFile{"mqxliff/MQ-12-Test01.xlf", true, 119, 0, "en", "fr"},
        TCorpusFile{"mqxliff/locked.mqxliff", true, 3, 1, "en-us", "de"},
        TCorpusFile{"mqxliff/translate5-SegmentCommentRoundtripTest_02-memoq-de-en.mqxliff", true, 3, 1, "de", "en-us"},
        TCorpusFile{"mqxliff/translate5-SegmentCommentRoundtripTest_export-assert.mqxliff", true, 3, 1, "de", "en-us"},
        // Hand-trimmed: its unit has no segment guid, so it gives no record.
        TCorpusFile{"mqxliff/TRANSLATE-2282-de-en.mqxliff", true, 0, 0, "", ""},
        TCorpusFile{"mxliff/27789 - MSDN Library_4896451-en-lt_lt-T.mxliff", true, 2, 0, "en", "lt-lt"},
        TCorpusFile{"mxliff/28669_DMC_6029645-en_us-lt_lt-T.mxliff", true, 4, 0, "en-us", "lt-lt"},
        TCorpusFile{"mxliff/28669_DMC_6029651-en_us-et_ee-T.mxliff", true, 4, 0, "en-us", "et-ee"},
        TCorpusFile{"mxliff/Resources_5018336-en-lv_lv-T.mxliff", true, 0, 0, "", ""},
        TCorpusFile{"mxliff/contentful.mxliff", true, 25, 24, "en-us", "nl"},
        TCorpusFile{"mxliff/estimated.mxliff", true, 5, 0, "en", "uk"},
        TCorpusFile{"mxliff/original-for-download.mxliff", true, 6, 0, "en-us", "de"},
        TCorpusFile{"mxliff/Mr.Coffee Mug Warmer_en-US.html-en-nl-T.mxliff", true, 6, 0, "en", "nl"},
        TCorpusFile{"mxliff/3 random sentences-en-de-T.mxliff", true, 3, 0, "en", "de"},
        TCorpusFile{"mxliff/import.mxliff", false, 0, 0, "", ""}),
    [](const auto& I) { return RowName(I.param.Path); });

TEST(CorpusDetails, MemoQTrackedChangesAndOlderVersions) {
  TScratchDir D;
  const TReaderRun Run = RunReader(D.Dir() + "Temp/", (Corpus() / "mqxliff/ChangeTracking_memoQ_1.mqxliff").string());
  ASSERT_EQ(Run.Records.size(), 5u);
  EXPECT_EQ(Run.Records[0].ResultStr, "CHANGE TRACKING");  // not the empty target of the older version
  EXPECT_EQ(Run.Records[1].ResultStr, "#1.");  // "PARAGRAPH " is a pending deletion
  EXPECT_EQ(Run.Records[2].ResultStr, "PARAGRAPH #2 INSERTED.");
  EXPECT_EQ(Run.Records[3].ResultStr.rfind("WITH <x id=\"3\">&lt;i&gt;</x>TAGS", 0), 0u) << Run.Records[3].ResultStr;
  EXPECT_NE(Run.Records[4].ResultStr.find("ABRACADABRA"), std::string::npos);
  EXPECT_EQ(Run.Records[4].ResultStr.find("PARAGRAPH"), std::string::npos);
}

TEST(CorpusDetails, MemoQMatchRateAndTags) {
  TScratchDir D;
  const TReaderRun Run =
      RunReader(D.Dir() + "Temp/", (Corpus() / "mqxliff/translate5-SegmentCommentRoundtripTest_02-memoq-de-en.mqxliff").string());
  ASSERT_EQ(Run.Records.size(), 3u);
  EXPECT_EQ(Run.Records[0].Match, "100");
  std::size_t Tags = 0;
  for (const TDiffInfoRecord& R : Run.Records) Tags += CountOf(R.SourceString, "<x id=");
  EXPECT_GT(Tags, 0u);
}

TEST(CorpusDetails, MemsourceScoresAndPlaceholders) {
  TScratchDir D;
  const TReaderRun Fuzzy = RunReader(D.Dir() + "Temp/", (Corpus() / "mxliff/28669_DMC_6029645-en_us-lt_lt-T.mxliff").string());
  std::map<std::string, int> Matches;
  for (const TDiffInfoRecord& R : Fuzzy.Records) ++Matches[R.Match];
  EXPECT_EQ(Matches["67"], 1);  // m:score 0.666667
  const TReaderRun Mt = RunReader(D.Dir() + "Temp/", (Corpus() / "mxliff/3 random sentences-en-de-T.mxliff").string());
  for (const TDiffInfoRecord& R : Mt.Records) {
    EXPECT_GE(R.Match, "94");
    EXPECT_LE(R.Match, "96");
  }
  const TReaderRun Tags = RunReader(D.Dir() + "Temp/", (Corpus() / "mxliff/Mr.Coffee Mug Warmer_en-US.html-en-nl-T.mxliff").string());
  ASSERT_GE(Tags.Records.size(), 2u);
  EXPECT_EQ(Tags.Records[1].SourceString.rfind("<z id=\"1\">&#60;bpt&#62;&#38;lt;strong&#38;gt;&#60;/bpt&#62;</z>Are you ready", 0), 0u)
      << Tags.Records[1].SourceString;
}

TEST(CorpusDetails, StudioProjectFolderZippedIntoAPackage) {
  // The unpacked Studio project of the corpus, packed here as a return package.
  const fs::path Project = Corpus() / "sdl-packages/Supervertaler_DOCX_Advanced_Test_Document (Studio project folder)";
  TScratchDir D;
  std::vector<std::pair<std::string, std::string>> Entries;
  for (const auto& E : fs::recursive_directory_iterator(Project))
    if (E.is_regular_file()) Entries.emplace_back(fs::relative(E.path(), Project).generic_string(), ReadFile(E.path()));
  BuildZip(D.Path() / "studio.sdlrpx", Entries);
  const TReaderRun Run = RunReader(D.Dir() + "Temp/", (D.Path() / "studio.sdlrpx").string());
  ASSERT_EQ(Run.Extract, TExtractFilesResult::efrOk);
  EXPECT_EQ(Run.Pair.TrgLang, "nl-NL");
  ASSERT_EQ(Run.Files.size(), 1u);
  EXPECT_EQ(Run.Records.size(), 54u);
  for (const TDiffInfoRecord& R : Run.Records) EXPECT_EQ(R.TargetLang, "nl-NL");
}

}  // namespace
