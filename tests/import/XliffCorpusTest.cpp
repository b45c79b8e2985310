// Every single-document file of the shared corpus saved as .xlf: a document of a dialect with its
// own reader gives exactly the records of that reader; any other document reads as plain XLIFF.
#include <gtest/gtest.h>

#include "ImportFromFileGroup06Unit.h"
#include "ReaderRunUtil.h"
#include "TestPaths.h"

using namespace lexmora;
using namespace lexmora::testutil;

namespace {

bool SameRecord(const TDiffInfoRecord& A, const TDiffInfoRecord& B) {
  return A.UnitID == B.UnitID && A.SegmentID == B.SegmentID && A.Match == B.Match && A.IsLocked == B.IsLocked &&
         A.SourceString == B.SourceString && A.ResultStr == B.ResultStr && A.SourceLang == B.SourceLang &&
         A.TargetLang == B.TargetLang;
}

TXliffDialect DialectOfFile(const fs::path& AFile) {
  pugi::xml_document Doc;
  Doc.load_file(AFile.c_str());
  return TImporterFromGroup06::DefineDialect(Doc.document_element());
}

TEST(XliffCorpus, DocumentsSavedAsXlfReadByTheirDialect) {
  const fs::path Corpus(LEXMORA_CORPUS_DIR);
  ASSERT_TRUE(fs::is_directory(Corpus)) << "The shared corpus is missing: " << Corpus;
  std::size_t Dialect = 0, Plain = 0;
  for (const char* Folder : {"sdlxliff", "mqxliff", "mxliff"}) {
    for (const auto& E : fs::directory_iterator(Corpus / Folder)) {
      if (!E.is_regular_file()) continue;
      SCOPED_TRACE(E.path().string());
      TScratchDir D;
      const fs::path AsXlf = D.Path() / (E.path().stem().string() + ".xlf");
      fs::copy_file(E.path(), AsXlf);
      const TReaderRun Plainly = RunReader(D.Dir() + "Temp/", AsXlf.string());
      ASSERT_EQ(Plainly.Extract, TExtractFilesResult::efrOk);
      const TXliffDialect Kind = DialectOfFile(E.path());
      if (Kind == TXliffDialect::xdPlain) {
        ++Plain;
        continue;
      }
      ++Dialect;
      // The file's own reader, by the folder it lies in (the memoQ sample named .xlf included).
      const TFileTypeGroup Own = std::string(Folder) == "sdlxliff" ? TFileTypeGroup::ftg_01
                                 : std::string(Folder) == "mqxliff" ? TFileTypeGroup::ftg_03
                                                                    : TFileTypeGroup::ftg_05;
      const TReaderRun Native = RunReader(D.Dir() + "Temp/", E.path().string(), CreateImporter(Own, D.Dir() + "Temp/", E.path().string(), false));
      EXPECT_EQ(Plainly.AllRead, Native.AllRead);
      EXPECT_EQ(Plainly.Pair.SrcLang, Native.Pair.SrcLang);
      EXPECT_EQ(Plainly.Pair.TrgLang, Native.Pair.TrgLang);
      ASSERT_EQ(Plainly.Records.size(), Native.Records.size());
      for (std::size_t I = 0; I < Native.Records.size(); ++I)
        EXPECT_TRUE(SameRecord(Plainly.Records[I], Native.Records[I])) << "record " << I;
    }
  }
  EXPECT_GE(Dialect, 45u);  // 32 SDL, 7 memoQ, 7 Memsource documents declare their namespace
  EXPECT_GE(Plain, 3u);
}

TEST(XliffCorpus, PlainDocumentsOfTheCorpus) {
  const fs::path Corpus(LEXMORA_CORPUS_DIR);
  ASSERT_TRUE(fs::is_directory(Corpus)) << "The shared corpus is missing: " << Corpus;
  // Converter output saved as .sdlxliff: plain XLIFF 1.2 with segment marks in the target only.
  TScratchDir D;
  const fs::path AsXlf = D.Path() / "po.xlf";
  fs::copy_file(Corpus / "sdlxliff/file-with-notes-nobase64.po.sdlxliff", AsXlf);
  const TReaderRun Run = RunReader(D.Dir() + "Temp/", AsXlf.string());
  ASSERT_TRUE(Run.AllRead);
  EXPECT_EQ(Run.Pair.SrcLang + ">" + Run.Pair.TrgLang, "en-us>fr-FR");
  ASSERT_EQ(Run.Records.size(), 6u);
  for (const TDiffInfoRecord& R : Run.Records) {
    EXPECT_EQ(R.SegmentID, "");
    EXPECT_FALSE(R.SourceString.empty());
  }
}

}  // namespace
