#include <gtest/gtest.h>

#include "SevenZipHelper.h"
#include "Utf8PathUnit.h"
#include "WindowsEntryNamesUnit.h"
#include "ZipTestUtil.h"

using namespace lexmora;
using namespace lexmora::testutil;

namespace {

const std::string kLeaves = "entry name leaves the package";
const std::string kDrive = "entry name with a drive letter (it leaves the package)";
const std::string kPrefix = "entry name with a network or device prefix (it leaves the package)";
const std::string kAbsolute = "absolute entry name (it leaves the package)";
const std::string kDevice = "entry name with a device name of windows";
const std::string kTrailing = "entry name with a trailing dot or blank (windows drops it)";
const std::string kColon = "entry name with a colon (a data stream on windows)";
const std::string kForbidden = "entry name with a character windows forbids in file names";
const std::string kShortName = "entry name in the form of a windows short name";

struct TNameRow {
  const char* Label;
  std::string Name;
  std::string Reason;  // empty: accepted
};

const TNameRow kNameRows[] = {
    {"BackslashParent", "..\\x", kLeaves},
    {"BackslashParentInside", "a\\..\\..\\x", kLeaves},
    {"MixedSeparatorsParent", "a/b\\..\\..\\..\\x", kLeaves},
    {"DriveRelative", "C:x", kDrive},
    {"DriveBackslash", "C:\\x", kDrive},
    {"DriveLowerSlash", "c:/x", kDrive},
    {"UncPrefix", "\\\\server\\share\\x", kPrefix},
    {"DeviceNamespace", "\\\\?\\C:\\x", kPrefix},
    {"SlashUnc", "//server/x", kPrefix},
    {"AbsoluteBackslash", "\\x", kAbsolute},
    {"DeviceBlankBeforeDot", "nul .txt", kDevice},
    {"TrailingDot", "doc.sdlxliff.", kTrailing},
    {"TrailingDotsOnFolder", "folder../x", kTrailing},
    {"OnlyDots", "...", kTrailing},
    {"TrailingBlankOnFolder", "folder /x", kTrailing},
    {"TrailingBlank", "doc.sdlxliff ", kTrailing},
    {"Stream", "doc.sdlxliff:s", kColon},
    {"StreamWithType", "doc::$DATA", kColon},
    {"ColonInFolder", "a/C:x", kColon},
    {"Star", "de-DE/*.sdlxliff", kForbidden},
    {"ShortName", "VERYLO~1.SDL", kShortName},
    {"ShortNameFolder", "PROGR~12/x", kShortName},
    {"ShortNameNoExtension", "a~9", kShortName},
    {"TildeLongExtension", "notes~1.sdlxliff", ""},
    {"TildeStemTooLong", "PROGRA~12", ""},
    {"TildeWithoutDigits", "backup~.txt", ""},
    {"TildeFirst", "~1.txt", ""},
    {"Empty", "", "empty entry name"},
    {"Plain", "doc.sdlxliff", ""},
    {"DotsInside", "a.b.c.sdlxliff", ""},
    {"DeviceLikePrefix", "con-notes.sdlxliff", ""},
    {"ComTen", "COM10.txt", ""},
    {"LptZero", "LPT0", ""},
    {"ComZero", "com0.xml", ""},
    {"ComWithoutNumber", "COM", ""},
    {"ComSuperscriptFour", "COM\xE2\x81\xB4", ""},
    {"AuxiliaryFolder", "auxiliary/x", ""},
    {"HiddenFile", ".hidden", ""},
    {"DotComponents", "./a/./b", ""},
    {"DoubleSeparator", "a//b", ""},
    {"BackslashSeparator", "a\\b.sdlxliff", ""},
    {"LeadingBlank", " notes.txt", ""},
    {"FolderEntry", "de-DE/", ""},
    {"Cyrillic", "\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82\xD1\x8B/ru.sdlxliff", ""},
    {"Japanese", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E/ja-JP.mqxliff", ""},
    {"Emoji", "\xF0\x9F\x93\x84 notes.sdlxliff", ""},
};

}  // namespace

TEST(WindowsEntryNameProblem, Table) {
  for (const TNameRow& Row : kNameRows) {
    SCOPED_TRACE(Row.Label);
    EXPECT_EQ(WindowsEntryNameProblem(Row.Name), Row.Reason);
  }
  for (const char C : std::string("<>\"|?*\t\x01\x1f")) {
    SCOPED_TRACE(static_cast<int>(C));
    EXPECT_EQ(WindowsEntryNameProblem(std::string("de-DE/a") + C + "b.sdlxliff"), kForbidden);
  }
}

// Every device name is refused in any letter case, with any extension and at any depth; one more
// character on the name makes an ordinary name.
TEST(WindowsEntryNameProblem, DeviceNamesInEveryForm) {
  std::vector<std::string> Devices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* Port : {"COM", "LPT"}) {
    for (char Digit = '1'; Digit <= '9'; ++Digit) Devices.push_back(std::string(Port) + Digit);
    for (const char* Superscript : {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"})
      Devices.push_back(std::string(Port) + Superscript);
  }
  for (const std::string& Device : Devices) {
    std::string Lower = Device;
    for (char& C : Lower) C = static_cast<char>(C >= 'A' && C <= 'Z' ? C + 32 : C);
    std::string Mixed = Lower;
    Mixed[0] = Device[0];
    for (const std::string& Form : {Device, Lower, Mixed}) {
      for (const std::string& Name : {Form, Form + ".txt", Form + ".tar.gz", "de-DE/" + Form + ".sdlxliff",
                                      Form + "/doc.sdlxliff", "a\\" + Form}) {
        SCOPED_TRACE(Name);
        EXPECT_EQ(WindowsEntryNameProblem(Name), kDevice);
      }
      for (const std::string& Name : {Form + "1", Form + "x.txt", "x" + Form, Form + "_notes"}) {
        SCOPED_TRACE(Name);
        EXPECT_EQ(WindowsEntryNameProblem(Name), "");
      }
    }
  }
}

struct TClashRow {
  const char* Label;
  std::vector<std::string> Names;
  bool Clash;
};

TEST(WindowsNameClash, Table) {
  const TClashRow Rows[] = {
      {"FolderAndFileCase", {"de-DE/a.sdlxliff", "DE-de/A.SDLXLIFF"}, true},
      {"Cyrillic", {"\xD0\x94.txt", "\xD0\xB4.txt"}, true},
      {"Umlaut", {"\xC3\xA4.txt", "\xC3\x84.txt"}, true},
      {"GreekFinalSigma", {"\xCF\x82", "\xCE\xA3"}, true},
      {"SeparatorsMixed", {"a/b.txt", "a\\B.TXT"}, true},
      {"DotComponent", {"./a.txt", "A.txt"}, true},
      {"SameNameTwice", {"a.txt", "b.txt", "a.txt"}, true},
      {"FileAndFolderEntry", {"a/", "A"}, true},
      {"FoldersOnly", {"de-DE/", "DE-DE/", "de-de/"}, false},
      {"FilesInCaseVariantFolders", {"de-DE/a.sdlxliff", "de-de/b.sdlxliff"}, false},
      {"SharpSNotDoubled", {"\xC3\x9F.txt", "SS.txt"}, false},
      {"DecomposedIsAnotherName", {"\xC3\xA4.txt", "a\xCC\x88.txt"}, false},
      {"Different", {"a.txt", "b.txt", "a/b.txt"}, false},
      {"None", {}, false},
  };
  for (const TClashRow& Row : Rows) {
    SCOPED_TRACE(Row.Label);
    EXPECT_EQ(!WindowsNameClash(Row.Names).empty(), Row.Clash);
  }
}

TEST(WindowsNameClash, NamesTheFirstTwoNamesOfOneFile) {
  EXPECT_EQ(WindowsNameClash({"x.txt", "de-DE/a.sdlxliff", "y.txt", "DE-de/A.SDLXLIFF", "de-de/a.sdlxliff"}),
            "two entry names are one file when letter case is ignored: \"de-DE/a.sdlxliff\", \"DE-de/A.SDLXLIFF\"");
}

namespace {

struct TPackageRow {
  const char* Label;
  std::vector<TRawEntry> Entries;
  std::string WindowsReason;            // the reason given on Windows
  std::vector<std::string> LinuxFiles;  // what Linux unpacks, beside "ok.txt"
};

const std::uint16_t kUtf8 = 0x0800;

class WindowsHostilePackage : public ::testing::TestWithParam<TPackageRow> {};

// On Windows the package is refused whole and nothing is written; Linux keeps its own rules and
// unpacks the same package as before.
TEST_P(WindowsHostilePackage, RefusedOnWindowsUnpackedAsBeforeElsewhere) {
  const TPackageRow& Row = GetParam();
  TScratchDir D;
  const fs::path Dest = D.Path() / "work" / "dest";
  fs::create_directories(Dest);
  std::vector<TRawEntry> Entries = {{"ok.txt", "fine"}};
  Entries.insert(Entries.end(), Row.Entries.begin(), Row.Entries.end());
  WriteFile(D.Path() / "work" / "h.zip", BuildRawZip(Entries));
  std::string Reason;
  const bool Extracted = ExtractArchiveToDir((D.Path() / "work" / "h.zip").string(), Dest.string(), &Reason);
#ifdef _WIN32
  EXPECT_FALSE(Extracted);
  EXPECT_EQ(Reason.substr(0, Row.WindowsReason.size()), Row.WindowsReason);
  EXPECT_TRUE(fs::is_empty(Dest));
  EXPECT_EQ(ListTree(D.Path()), (std::vector<std::string>{"work/h.zip"}));
#else
  EXPECT_TRUE(Extracted) << Reason;
  std::vector<std::string> Expected = Row.LinuxFiles;
  Expected.push_back("ok.txt");
  std::sort(Expected.begin(), Expected.end());
  EXPECT_EQ(ListTree(Dest), Expected);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowsHostilePackage,
    ::testing::Values(TPackageRow{"DeviceInFolder", {{"de-DE/nul.txt", "x"}}, kDevice, {"de-DE/nul.txt"}},
                      TPackageRow{"TrailingBlankFolder", {{"folder /x", "x"}}, kTrailing, {"folder /x"}},
                      TPackageRow{"Stream", {{"doc.sdlxliff:s", "x"}}, kColon, {"doc.sdlxliff:s"}},
                      TPackageRow{"ShortNameOfAnother",
                                  {{"de-DE/verylongname.sdlxliff", "1"}, {"de-DE/VERYLO~1.SDL", "2"}},
                                  kShortName,
                                  {"de-DE/VERYLO~1.SDL", "de-DE/verylongname.sdlxliff"}},
                      TPackageRow{"CaseOnly",
                                  {{"de-DE/a.sdlxliff", "1"}, {"DE-de/A.SDLXLIFF", "2"}},
                                  "two entry names are one file when letter case is ignored",
                                  {"DE-de/A.SDLXLIFF", "de-DE/a.sdlxliff"}},
                      TPackageRow{"CaseOnlyCyrillic",
                                  {{"\xD0\x94.txt", "1", kUtf8}, {"\xD0\xB4.txt", "2", kUtf8}},
                                  "two entry names are one file when letter case is ignored",
                                  {"\xD0\x94.txt", "\xD0\xB4.txt"}}),
    [](const auto& I) { return std::string(I.param.Label); });

}  // namespace

// Names Windows accepts are unpacked there as on Linux, "\" separating folders on both.
TEST(ExtractArchiveToDir, NamesNearTheWindowsRulesAreUnpacked) {
  TScratchDir D;
  WriteFile(D.Path() / "p.zip", BuildRawZip({{"con-notes.sdlxliff", "1"},
                                             {"COM10.txt", "2"},
                                             {"LPT0", "3"},
                                             {"de-DE\\a.b.sdlxliff", "4"},
                                             {"de-de/b.sdlxliff", "5"},
                                             {"\xE6\x97\xA5\xE6\x9C\xAC/\xF0\x9F\x93\x84.txt", "6", kUtf8}}));
  std::string Reason;
  ASSERT_TRUE(ExtractArchiveToDir(D.Dir() + "p.zip", D.Dir() + "out", &Reason)) << Reason;
  EXPECT_EQ(ReadFile(D.Path() / "out" / "de-DE" / "a.b.sdlxliff"), "4");
  EXPECT_EQ(ReadFile(D.Path() / "out" / PathFromUtf8("\xE6\x97\xA5\xE6\x9C\xAC/\xF0\x9F\x93\x84.txt")), "6");
  EXPECT_EQ(ReadFile(D.Path() / "out" / "de-de" / "b.sdlxliff"), "5");
  EXPECT_EQ(ListTree(D.Path() / "out").size(), 6u);
}
