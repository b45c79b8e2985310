#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "FileListRulesUnit.h"
#include "ShellTestSupport.h"

using namespace lexmora;
using namespace lexmora::test_support;
namespace fs = std::filesystem;

TEST(FileListRules, TheEightExtensionsCaseSensitively) {
  for (const char* Path : {"/a/b.sdlrpx", "/a/b.sdlppx", "/a/b.sdlxliff", "/a/b.mqxliff", "/a/b.mqxlz", "/a/b.mxliff",
                           "x.y.sdlxliff", "/a/b.xlf", "/a/b.xliff"})
    EXPECT_TRUE(HasAcceptedExtension(Path)) << Path;
  for (const char* Path : {"/a/A.SDLXLIFF", "/a/b.Sdlxliff", "/a/b.docx", "/a/b.XLF", "/a/b.Xliff", "/a/b.xlf.bak",
                           "/a/b.sdlxliff.bak", "/a/b.mqxlz ", "/a/sdlxliff", "/a/xliff", ".sdlxliff", ""})
    EXPECT_FALSE(HasAcceptedExtension(Path)) << Path;
}

// Pipes, links, line breaks in names and names differing only in case are things of POSIX file
// systems.
#ifndef _WIN32
TEST(FileListRules, OnlyRegularFilesAndNoLineBreaks) {
  TScratchDir Dir("filelist-kinds");
  WriteFile(Dir / "a.sdlxliff", "x");
  WriteFile(Dir / "A.SDLXLIFF", "x");
  WriteFile(Dir / "report.docx", "x");
  fs::create_directories(Dir / "folder.sdlxliff");
  fs::create_symlink(Dir / "a.sdlxliff", Dir / "link.sdlxliff");
  fs::create_symlink(Dir / "folder.sdlxliff", Dir / "dirlink.mxliff");
  ASSERT_EQ(::mkfifo((Dir / "pipe.mqxliff").c_str(), 0600), 0);
  WriteFile(Dir / "line\nbreak.sdlxliff", "x");

  EXPECT_EQ(CheckFileForList((Dir / "a.sdlxliff").string()), TFileRefusal::frAccepted);
  EXPECT_EQ(CheckFileForList((Dir / "link.sdlxliff").string()), TFileRefusal::frAccepted);  // a link to a file
  EXPECT_EQ(CheckFileForList((Dir / "A.SDLXLIFF").string()), TFileRefusal::frExtension);
  EXPECT_EQ(CheckFileForList((Dir / "report.docx").string()), TFileRefusal::frExtension);
  EXPECT_EQ(CheckFileForList((Dir / "folder.sdlxliff").string()), TFileRefusal::frNotRegularFile);
  EXPECT_EQ(CheckFileForList((Dir / "dirlink.mxliff").string()), TFileRefusal::frNotRegularFile);
  EXPECT_EQ(CheckFileForList((Dir / "pipe.mqxliff").string()), TFileRefusal::frNotRegularFile);
  EXPECT_EQ(CheckFileForList((Dir / "missing.sdlxliff").string()), TFileRefusal::frNotRegularFile);
  EXPECT_EQ(CheckFileForList((Dir / "line\nbreak.sdlxliff").string()), TFileRefusal::frLineBreak);
  EXPECT_EQ(CheckFileForList((Dir / "cr\r.sdlxliff").string()), TFileRefusal::frLineBreak);
  // From the file dialog the extension is not looked at, the kind of file is.
  EXPECT_EQ(CheckFileForList((Dir / "report.docx").string(), false), TFileRefusal::frAccepted);
  EXPECT_EQ(CheckFileForList((Dir / "folder.sdlxliff").string(), false), TFileRefusal::frNotRegularFile);
}

// A drop of a folder, a .docx, A.SDLXLIFF, the same file twice (once through a link and a ".."
// path), and a path with a line break: one file is added, the line break is reported.
TEST(FileListRules, ADropAddsEachFileOnce) {
  TScratchDir Dir("filelist-drop");
  WriteFile(Dir / "a.sdlxliff", "x");
  WriteFile(Dir / "A.SDLXLIFF", "x");
  WriteFile(Dir / "notes.docx", "x");
  fs::create_directories(Dir / "sub");
  fs::create_symlink(Dir / "a.sdlxliff", Dir / "alias.sdlxliff");
  WriteFile(Dir / "two\r\nlines.mxliff", "x");
  std::vector<std::string> List;
  const TAddFilesResult R = AddFilesToList(
      List, {(Dir / "sub").string(), (Dir / "notes.docx").string(), (Dir / "A.SDLXLIFF").string(),
             (Dir / "a.sdlxliff").string(), (Dir / "a.sdlxliff").string(), (Dir / "sub" / ".." / "a.sdlxliff").string(),
             (Dir / "alias.sdlxliff").string(), (Dir / "two\r\nlines.mxliff").string()});
  ASSERT_EQ(List, std::vector<std::string>{(Dir / "a.sdlxliff").string()});
  EXPECT_EQ(R.AddedCount, 1);
  EXPECT_EQ(R.SkippedCount, 6);
  EXPECT_EQ(R.LineBreakPaths, std::vector<std::string>{(Dir / "two\r\nlines.mxliff").string()});

  // Another drop later: what is already there stays once.
  const TAddFilesResult Again = AddFilesToList(List, {(Dir / "alias.sdlxliff").string()});
  EXPECT_EQ(Again.AddedCount, 0);
  EXPECT_EQ(List.size(), 1u);
}

// Two files whose names differ only in case are two files here; both stay.
TEST(FileListRules, NamesDifferingInCaseAreDistinctFiles) {
  TScratchDir Dir("filelist-case");
  WriteFile(Dir / "a.sdlxliff", "1");
  WriteFile(Dir / "A.sdlxliff", "2");
  std::vector<std::string> List;
  AddFilesToList(List, {(Dir / "a.sdlxliff").string(), (Dir / "A.sdlxliff").string()});
  EXPECT_EQ(List.size(), 2u);
}
#endif

TEST(FileListRules, SortedWithoutRegardToCase) {
  std::vector<std::string> List = {"/p/b.sdlxliff",  "/p/C.sdlxliff", "/p/a.sdlxliff", "/p/B.sdlxliff",
                                   "/p/Я.sdlxliff",  "/p/а.sdlxliff", "/p/Б.sdlxliff", "/p/Äpfel.sdlxliff",
                                   "/p/äb.sdlxliff", "/p/Z.sdlxliff"};
  SortFileList(List);
  const std::vector<std::string> Expected = {"/p/a.sdlxliff", "/p/B.sdlxliff",  "/p/b.sdlxliff",     "/p/C.sdlxliff",
                                             "/p/Z.sdlxliff", "/p/äb.sdlxliff", "/p/Äpfel.sdlxliff", "/p/а.sdlxliff",
                                             "/p/Б.sdlxliff", "/p/Я.sdlxliff"};
  EXPECT_EQ(List, Expected);
  EXPECT_FALSE(FileListLess("/p/x", "/p/x"));
  EXPECT_TRUE(FileListLess("/p/x", "/p/X.a"));
  EXPECT_TRUE(FileListLess("\xff", "\xff\xfe"));  // bytes that are no UTF-8 still order
}

// The order is a strict weak order (what std::sort needs) over mixed-case and invalid texts.
TEST(FileListRules, TheOrderIsTotalAndConsistent) {
  std::mt19937 Rng(99);
  const std::vector<std::string> Pieces = {"a", "A", "b", "B", "é", "É", "ж", "Ж", "\xc3", "\x80", "_", "1"};
  std::uniform_int_distribution<std::size_t> Pick(0, Pieces.size() - 1);
  std::uniform_int_distribution<int> Len(0, 4);
  std::vector<std::string> Texts;
  for (int I = 0; I < 200; ++I) {
    std::string T;
    for (int K = Len(Rng); K > 0; --K) T += Pieces[Pick(Rng)];
    Texts.push_back(T);
  }
  for (const std::string& A : Texts) {
    EXPECT_FALSE(FileListLess(A, A));
    for (const std::string& B : Texts) {
      if (A != B) {
        EXPECT_NE(FileListLess(A, B), FileListLess(B, A)) << A << " | " << B;
      }
    }
  }
  std::sort(Texts.begin(), Texts.end(), FileListLess);
  EXPECT_TRUE(std::is_sorted(Texts.begin(), Texts.end(), FileListLess));
}

// A thousand files at once, dropped onto a list of a thousand: each added once, the list sorted.
TEST(FileListRules, AThousandFilesAtOnce) {
  TScratchDir Dir("filelist-thousand");
  std::vector<std::string> First;
  std::vector<std::string> Second;
  for (int I = 0; I < 1000; ++I) {
    const std::string Name = (I % 2 ? "Doc_" : "doc_") + std::to_string(I) + ".sdlxliff";
    WriteFile(Dir / Name, "x");
    First.push_back((Dir / Name).string());
    const std::string Other = "other_" + std::to_string(I) + ".mqxliff";
    WriteFile(Dir / Other, "x");
    Second.push_back((Dir / Other).string());
  }
  std::vector<std::string> List;
  EXPECT_EQ(AddFilesToList(List, First).AddedCount, 1000);
  std::vector<std::string> Both = Second;
  Both.insert(Both.end(), First.begin(), First.end());
  const TAddFilesResult R = AddFilesToList(List, Both);
  EXPECT_EQ(R.AddedCount, 1000);
  EXPECT_EQ(R.SkippedCount, 1000);
  ASSERT_EQ(List.size(), 2000u);
  EXPECT_TRUE(std::is_sorted(List.begin(), List.end(), FileListLess));
  EXPECT_EQ(std::adjacent_find(List.begin(), List.end()), List.end());
}

TEST(FileListRules, RelativePathsBecomeAbsolute) {
  TScratchDir Dir("filelist-relative");
  WriteFile(Dir / "r.mxliff", "x");
  const fs::path Old = fs::current_path();
  fs::current_path(Dir.Path());
  std::vector<std::string> List;
  AddFilesToList(List, {"./r.mxliff"});
  fs::current_path(Old);
  EXPECT_EQ(List, std::vector<std::string>{(Dir / "r.mxliff").string()});
}
