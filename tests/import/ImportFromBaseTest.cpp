#include <gtest/gtest.h>

#include <filesystem>

#include "ImportFromBaseUnit.h"
#include "ImportTestSupport.h"
#include "ImporterFactoryUnit.h"
#include "PlatformTestSupport.h"

using namespace lexmora;
using namespace lexmora::test;
namespace fs = std::filesystem;

TEST(ImportFromBase, DefineFileTypeByCaseSensitiveEnding) {
  struct Row {
    const char* Name;
    TFileTypeGroup Group;
  };
  using enum TFileTypeGroup;
  const Row Rows[] = {
      {"/a/b.sdlxliff", ftg_01},     {"b.sdlrpx", ftg_02},  {"b.sdlppx", ftg_02},
      {"b.mqxliff", ftg_03},         {"b.mqxlz", ftg_04},   {"b.mxliff", ftg_05},
      {"b.SDLXLIFF", ftg_undefined}, {"b.xliff", ftg_06},   {"b.sdlxliff.bak", ftg_undefined},
      {"", ftg_undefined},           {".sdlxliff", ftg_01}, {"b.Sdlppx", ftg_undefined},
  };
  for (const Row& R : Rows) EXPECT_EQ(TImporter::DefineFileType(R.Name), R.Group) << R.Name;
}

TEST(ImportFromBase, FactoryMakesTheSdlxliffReaderAndNothingForUndefined) {
  auto Reader = CreateImporter(TFileTypeGroup::ftg_01, "/t/", "/in/a.sdlxliff", true);
  ASSERT_NE(Reader, nullptr);
  EXPECT_NE(dynamic_cast<TImporterFromGroup01*>(Reader.get()), nullptr);
  EXPECT_TRUE(Reader->DoNotSeparateSpaces());
  EXPECT_TRUE(Reader->LangPair().SrcLang.empty() && Reader->LangPair().TrgLang.empty());
  EXPECT_TRUE(Reader->UnpackedFiles().empty());
  EXPECT_EQ(CreateImporter(TFileTypeGroup::ftg_undefined, "/t/", "/in/a.txt", false), nullptr);
}

TEST(ImportFromBase, ConstructorTouchesNoFileAndNamesTheWorkingCopy) {
  TScratchDir Dir("ctor");
  const std::string Temp = Dir / "Temp/";
  TImporterFromGroup01 Reader(Temp, "/somewhere/else/My file.sdlxliff", false);
  EXPECT_EQ(Reader.TempFileName(), Temp + "My file.sdlxliff");
  EXPECT_FALSE(fs::exists(Temp));
}

TEST(ImportFromBase, MissingInputGivesFileNotFoundAndLeavesTempAlone) {
  TScratchDir Dir("missing");
  const std::string Temp = Dir / "Temp/";
  WriteFile(Temp + "keep.txt", "earlier input");
  TImporterFromGroup01 Reader(Temp, Dir / "absent.sdlxliff", false);
  EXPECT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrFileNotFound);
  EXPECT_EQ(ReadFile(Temp + "keep.txt"), "earlier input");
}

TEST(ImportFromBase, StaleTempIsEmptiedBeforeTheCopyEvenWithTheSameName) {
  TScratchDir Dir("stale");
  const std::string Temp = Dir / "Temp/";
  WriteFile(Temp + "a.sdlxliff", "old copy");
  WriteFile(Temp + "sub/other.txt", "old");
  WriteFile(Dir / "in/a.sdlxliff", "new content");
  TImporterFromGroup01 Reader(Temp, Dir / "in/a.sdlxliff", false);
  ASSERT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrOk);
  EXPECT_EQ(ReadFile(Temp + "a.sdlxliff"), "new content");
  EXPECT_FALSE(fs::exists(Temp + "sub"));
  Reader.GetSrcFileNames();
  EXPECT_EQ(Reader.UnpackedFiles(), std::vector<std::string>{Temp + "a.sdlxliff"});
  Reader.DeleteTmpDir();
  EXPECT_FALSE(fs::exists(Temp));
  EXPECT_TRUE(fs::exists(Dir / "in/a.sdlxliff"));
}

// A read-only input (as Windows copies the flag) still gives a copy its folder can lose; an
// existing copy is never overwritten.
TEST(ImportFromBase, WorkingCopyOfAReadOnlyInputCanBeRemoved) {
  TScratchDir Dir("read-only");
  WriteFile(Dir / "in.sdlxliff", "content");
  fs::permissions(Dir / "in.sdlxliff", fs::perms::owner_read);
  std::error_code Ec;
  EXPECT_FALSE(CopyWorkingFile(Dir / "in.sdlxliff", Dir / "work/in.sdlxliff", Ec));  // no folder yet
  EXPECT_TRUE(Ec);
  fs::create_directories(Dir / "work");
  ASSERT_TRUE(CopyWorkingFile(Dir / "in.sdlxliff", Dir / "work/in.sdlxliff", Ec)) << Ec.message();
  EXPECT_EQ(ReadFile(Dir / "work/in.sdlxliff"), "content");
  EXPECT_NE(fs::status(Dir / "work/in.sdlxliff").permissions() & fs::perms::owner_write, fs::perms::none);
  WriteFile(Dir / "other.sdlxliff", "other");
  EXPECT_FALSE(CopyWorkingFile(Dir / "other.sdlxliff", Dir / "work/in.sdlxliff", Ec));
  EXPECT_EQ(ReadFile(Dir / "work/in.sdlxliff"), "content");
  fs::remove_all(Dir / "work");
  EXPECT_FALSE(fs::exists(Dir / "work"));
  fs::permissions(Dir / "in.sdlxliff", fs::perms::owner_all);
}

TEST(ImportFromBase, PrepareTempDirCreatesMissingParents) {
  TScratchDir Dir("parents");
  WriteFile(Dir / "a.sdlxliff", "x");
  TOpenGroup01 Reader(Dir / "one/two/Temp/", Dir / "a.sdlxliff", false);
  EXPECT_EQ(Reader.PrepareTempDir(), TExtractFilesResult::efrUnknown);
  EXPECT_TRUE(fs::is_directory(Dir / "one/two/Temp"));
}

TEST(ImportFromBase, TempBelowAFileCannotBeCreated) {
  TScratchDir Dir("blocked");
  WriteFile(Dir / "a.sdlxliff", "x");
  WriteFile(Dir / "plainfile", "x");
  TImporterFromGroup01 Reader(Dir / "plainfile/Temp/", Dir / "a.sdlxliff", false);
  EXPECT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrCreateTempDirError);
}

TEST(ImportFromBase, TempThatCannotBeDeletedIsReported) {
  LEXMORA_SKIP_UNLESS_MODES_LOCK();
  TScratchDir Dir("undeletable");
  WriteFile(Dir / "a.sdlxliff", "x");
  WriteFile(Dir / "Temp/locked/f.txt", "x");
  fs::permissions(Dir / "Temp/locked", fs::perms::owner_read | fs::perms::owner_exec);
  TImporterFromGroup01 Reader(Dir / "Temp/", Dir / "a.sdlxliff", false);
  EXPECT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrDeleteTempDirError);
  fs::permissions(Dir / "Temp/locked", fs::perms::owner_all);
}

TEST(ImportFromBase, AnEmptyOrRootWorkingFolderIsNeverWiped) {
  TScratchDir Dir("root");
  WriteFile(Dir / "a.sdlxliff", "x");
  for (const char* Temp : {"", "/", "//"}) {
    TImporterFromGroup01 Reader(Temp, Dir / "a.sdlxliff", false);
    EXPECT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrPrepareExtractOtherError) << Temp;
    EXPECT_THROW(Reader.DeleteTmpDir(), std::exception) << Temp;
  }
}

TEST(ImportFromBase, AnInputInsideTheWorkingFolderIsNotWipedWithIt) {
  TScratchDir Dir("inside");
  WriteFile(Dir / "Temp/sub/a.sdlxliff", "precious");
  for (const std::string& Temp : {Dir / "Temp/", Dir / "Temp", Dir / "Temp/sub/../"}) {
    TImporterFromGroup01 Reader(Temp, Dir / "Temp/sub/a.sdlxliff", false);
    EXPECT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrPrepareExtractOtherError) << Temp;
    EXPECT_EQ(ReadFile(Dir / "Temp/sub/a.sdlxliff"), "precious");
  }
  // A sibling folder whose name merely starts the same is no problem.
  WriteFile(Dir / "Temp2/a.sdlxliff", "x");
  TImporterFromGroup01 Reader(Dir / "Temp/", Dir / "Temp2/a.sdlxliff", false);
  EXPECT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrOk);
}

TEST(ImportFromBase, AnInputThatIsAFolderCannotBeCopied) {
  TScratchDir Dir("copyfail");
  fs::create_directories(Dir / "in/dir.sdlxliff");
  TImporterFromGroup01 Reader(Dir / "Temp/", Dir / "in/dir.sdlxliff", false);
  EXPECT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrFileCopyError);
}

TEST(ImportFromBase, DeleteTmpDirOfAMissingFolderThrows) {
  TScratchDir Dir("deletemissing");
  TImporterFromGroup01 Reader(Dir / "never/", Dir / "a.sdlxliff", false);
  EXPECT_THROW(Reader.DeleteTmpDir(), std::exception);
}

TEST(ImportFromBase, AppendSegmentRecordTrimsTheUnitIdAndStampsTheCurrentPair) {
  TOpenGroup01 Reader("/t/", "/in/a.sdlxliff", false);
  TArrayOfDiffInfoRecord Records(1);
  Records[0].UnitID = "earlier";
  Reader.AppendSegmentRecord("f", " \t12 \n", "3", "src", "res", "", true, Records);
  Reader.SetLangPair({"en-US", "de-DE"});
  Reader.AppendSegmentRecord("g", "u", " 4 ", "s", "r", "100", false, Records);
  ASSERT_EQ(Records.size(), 3u);
  EXPECT_EQ(Records[0].UnitID, "earlier");
  const TDiffInfoRecord& A = Records[1];
  EXPECT_EQ(A.UnitID, "12");
  EXPECT_EQ(A.SegmentID, "3");
  EXPECT_EQ(A.Match, "");
  EXPECT_TRUE(A.IsLocked);
  EXPECT_EQ(A.SourceLang, "");
  const TDiffInfoRecord& B = Records[2];
  EXPECT_EQ(B.FileName, "g");
  EXPECT_EQ(B.SegmentID, " 4 ");  // only the unit id is trimmed
  EXPECT_EQ(B.Match, "100");
  EXPECT_EQ(B.SourceLang, "en-US");
  EXPECT_EQ(B.TargetLang, "de-DE");
  EXPECT_EQ(B.SourceString, "s");
  EXPECT_EQ(B.ResultStr, "r");
}
