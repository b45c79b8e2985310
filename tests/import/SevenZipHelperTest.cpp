#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <iterator>
#include <memory>
#include <thread>

#include "LoggerUnit.h"
#include "ReaderRunUtil.h"
#include "SevenZipHelper.h"
#include "ThreadCountTestSupport.h"
#include "Utf8PathUnit.h"

using namespace lexmora;
using namespace lexmora::testutil;
using lexmora::test_support::ThreadCount;

namespace {

// ---- CreateZipFromParts ---------------------------------------------------------------------

// What an archive says of each entry besides its name and bytes.
struct TEntryHead {
  std::string Name;
  zip_uint16_t Method = 0;
  zip_uint64_t CompSize = 0;
  zip_uint8_t OpSys = 0;
  zip_uint32_t Attributes = 0;
  zip_uint32_t Crc = 0;
  bool operator==(const TEntryHead&) const = default;
};

std::vector<TEntryHead> EntryHeads(const std::string& AArchive) {
  std::vector<TEntryHead> Heads;
  int Err = 0;
  zip_t* Zip = zip_open(AArchive.c_str(), ZIP_RDONLY, &Err);
  if (!Zip) return Heads;
  for (zip_int64_t I = 0; I < zip_get_num_entries(Zip, 0); ++I) {
    zip_stat_t St;
    zip_stat_index(Zip, static_cast<zip_uint64_t>(I), 0, &St);
    TEntryHead H{St.name, St.comp_method, St.comp_size, 0, 0, St.crc};
    zip_file_get_external_attributes(Zip, static_cast<zip_uint64_t>(I), 0, &H.OpSys, &H.Attributes);
    Heads.push_back(H);
  }
  zip_discard(Zip);
  return Heads;
}

std::ostream& operator<<(std::ostream& AOut, const TEntryHead& AHead) {
  return AOut << AHead.Name << " method " << AHead.Method << " size " << AHead.CompSize << " os " << int(AHead.OpSys)
              << " attributes " << std::oct << AHead.Attributes << std::dec << " crc " << AHead.Crc;
}

// The heads without the compressed size: the parts' streams are their own, not the library's.
std::vector<TEntryHead> WithoutCompSize(std::vector<TEntryHead> AHeads) {
  for (TEntryHead& H : AHeads) H.CompSize = 0;
  return AHeads;
}

// The archive's bytes with every entry's time and date cleared (local and central headers),
// the only fields that depend on when a part was made.
std::string WithoutTimes(std::string AZip) {
  const auto U16 = [&](std::size_t AAt) {
    return static_cast<std::size_t>(static_cast<unsigned char>(AZip[AAt]) | static_cast<unsigned char>(AZip[AAt + 1])
                                                                                << 8);
  };
  const auto U32 = [&](std::size_t AAt) { return U16(AAt) | U16(AAt + 2) << 16; };
  std::size_t At = 0;
  while (At + 30 <= AZip.size() && AZip.compare(At, 4, "PK\x03\x04") == 0) {
    std::fill_n(AZip.begin() + static_cast<std::ptrdiff_t>(At + 10), 4, '\0');
    At += 30 + U16(At + 26) + U16(At + 28) + U32(At + 18);
  }
  while (At + 46 <= AZip.size() && AZip.compare(At, 4, "PK\x01\x02") == 0) {
    std::fill_n(AZip.begin() + static_cast<std::ptrdiff_t>(At + 12), 4, '\0');
    At += 46 + U16(At + 28) + U16(At + 30) + U16(At + 32);
  }
  EXPECT_EQ(AZip.compare(At, 4, "PK\x05\x06"), 0) << "end of the central directory not where expected";
  return AZip;
}

// The reference the parts are held to: every file of ANames below ABase packed by the archive
// library itself, as the workbook was once packed from its part files, deflated at level 7.
void PackFilesWithTheLibrary(const std::string& ABase, const std::vector<std::string>& ANames,
                             const std::string& AArchive) {
  int Err = 0;
  zip_t* Zip = zip_open(AArchive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &Err);
  ASSERT_NE(Zip, nullptr);
  for (const std::string& Name : ANames) {
    zip_source_t* Source = zip_source_file(Zip, (ABase + Name).c_str(), 0, 0);
    ASSERT_NE(Source, nullptr) << Name;
    const zip_int64_t Index = zip_file_add(Zip, Name.c_str(), Source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    ASSERT_GE(Index, 0) << Name;
    ASSERT_EQ(zip_set_file_compression(Zip, static_cast<zip_uint64_t>(Index), ZIP_CM_DEFLATE, 7), 0) << Name;
  }
  ASSERT_EQ(zip_close(Zip), 0) << zip_strerror(Zip);
}

TEST(CreateZipFromParts, EntriesSayOfThemselvesWhatTheLibraryWritesForTheSameBytesInFiles) {
  // The workbook's parts once came from files; packing them from memory keeps what an entry
  // holds and says of itself (method, attributes, checksum). Only the deflated stream is the
  // part's own, and with it the compressed size.
  TScratchDir D;
  const std::string Base = D.Dir() + "parts/";
  const std::vector<std::pair<std::string, std::string>> Contents = {
      {"xl/worksheets/sheet1.xml", std::string(70000, 'a') + "<row/>"},
      {"[Content_Types].xml", "<Types/>"},
      {"_rels/.rels", ""},
      {"xl/media/image1.png", std::string("\x89PNG\r\n\x1a\n\0\0\0", 12)},
      {"docProps/Grüße.xml", "ü"}};
  std::vector<std::string> Names;
  std::vector<TZipPart> Parts;
  for (const auto& [Name, Data] : Contents) {
    WriteFile(Base + Name, Data);
    Names.push_back(Name);
    Parts.push_back({Name, Data});
  }
  PackFilesWithTheLibrary(Base, Names, D.Dir() + "files.zip");
  ASSERT_TRUE(CreateZipFromParts(Parts, D.Dir() + "memory.zip"));
  const auto FromFiles = WithoutCompSize(EntryHeads(D.Dir() + "files.zip"));
  ASSERT_EQ(FromFiles.size(), Contents.size());
  EXPECT_EQ(WithoutCompSize(EntryHeads(D.Dir() + "memory.zip")), FromFiles);
  TScratchDir Out;
  ASSERT_TRUE(ExtractArchiveToDir(D.Dir() + "memory.zip", Out.Dir()));
  for (const auto& [Name, Data] : Contents) EXPECT_EQ(ReadFile(Out.Path() / PathFromUtf8(Name)), Data) << Name;
}

// Bytes of the kinds a workbook holds: repeated markup, text that hardly repeats, and data
// that does not shrink at all (a picture), which deflating makes a little longer.
std::string SampleBytes(std::size_t ASize, int AKind, unsigned ASeed) {
  std::string Result;
  Result.reserve(ASize);
  unsigned State = ASeed * 2654435761u + 1;
  const auto Next = [&] { return State = State * 1103515245u + 12345u; };
  while (Result.size() < ASize) {
    switch (AKind) {
      case 0:
        Result += "    <row r=\"" + std::to_string(Result.size() % 977) + "\" spans=\"1:7\">\r\n";
        break;
      case 1:
        Result.push_back(static_cast<char>('a' + (Next() >> 16) % 26));
        if ((Next() >> 20) % 7 == 0) Result += " ";
        break;
      default:
        Result.push_back(static_cast<char>(Next() >> 23));
    }
  }
  Result.resize(ASize);
  return Result;
}

TEST(CreateZipFromParts, PartsOfEverySizeKeepTheirBytesAndTheHeadsTheLibraryWrites) {
  // The reference is packed by the archive library deflating each file itself, one after the
  // other; the parts are deflated ahead on several threads. The entries' heads but the compressed
  // size must agree and every part come back whole, whatever the sizes: empty, one byte, around
  // the deflate window and the first guess of the output's room, large.
  const std::size_t kSizes[] = {0, 1, 2, 3, 257, 4095, 4096, 8193, 32767, 32768, 32769, 65536, 65537, 300000, 2500000};
  TScratchDir D;
  const std::string Base = D.Dir() + "parts/";
  std::vector<std::string> Data;
  std::vector<std::string> Names;
  unsigned Seed = 0;
  for (const std::size_t Size : kSizes)
    for (int Kind = 0; Kind < 3; ++Kind) {
      Names.push_back("xl/p" + std::to_string(Size) + "_" + std::to_string(Kind) + ".xml");
      Data.push_back(SampleBytes(Size, Kind, ++Seed));
      WriteFile(Base + Names.back(), Data.back());
    }
  std::vector<TZipPart> Parts;
  for (std::size_t I = 0; I < Data.size(); ++I) Parts.push_back({Names[I], Data[I]});
  PackFilesWithTheLibrary(Base, Names, D.Dir() + "files.zip");
  ASSERT_TRUE(CreateZipFromParts(Parts, D.Dir() + "memory.zip"));
  const auto FromFiles = WithoutCompSize(EntryHeads(D.Dir() + "files.zip"));
  ASSERT_EQ(FromFiles.size(), Data.size());
  EXPECT_EQ(WithoutCompSize(EntryHeads(D.Dir() + "memory.zip")), FromFiles);
  TScratchDir Out;
  ASSERT_TRUE(ExtractArchiveToDir(D.Dir() + "memory.zip", Out.Dir()));
  for (std::size_t I = 0; I < Data.size(); ++I) EXPECT_TRUE(ReadFile(Out.Path() / Names[I]) == Data[I]) << Names[I];
}

TEST(CreateZipFromParts, APartInPiecesIsPackedAsItsPiecesJoined) {
  const std::string Head = SampleBytes(150, 0, 1), Body = SampleBytes(400000, 1, 2), Tail = "\r\n</sst>\r\n";
  const std::string Joined = Head + Body + Tail;
  TScratchDir D;
  // Empty pieces, one at the start and one between, change nothing either.
  ASSERT_TRUE(CreateZipFromParts({TZipPart("a.xml", std::vector<std::string_view>{"", Head, Body, "", Tail})},
                                 D.Dir() + "pieces.zip"));
  ASSERT_TRUE(CreateZipFromParts({TZipPart("a.xml", Joined)}, D.Dir() + "joined.zip"));
  EXPECT_TRUE(WithoutTimes(ReadFile(D.Path() / "pieces.zip")) == WithoutTimes(ReadFile(D.Path() / "joined.zip")));
  TScratchDir Out;
  ASSERT_TRUE(ExtractArchiveToDir(D.Dir() + "pieces.zip", Out.Dir()));
  EXPECT_TRUE(ReadFile(Out.Path() / "a.xml") == Joined);
}

TEST(CreateZipFromParts, APartDeflatedAheadIsStoredAsDeflatingItThenWould) {
  const std::string Body = SampleBytes(700000, 0, 3), Other = SampleBytes(90000, 1, 4);
  const TZipPart Part("xl/sharedStrings.xml", std::vector<std::string_view>{"<sst>", Body, "</sst>"});
  auto Ahead = std::make_shared<const TDeflatedPart>(DeflateZipPart(Part));
  EXPECT_EQ(Ahead->Size, Body.size() + 11);
  // One whose size does not match the part's (made of other bytes) is not trusted.
  auto Stale = std::make_shared<const TDeflatedPart>(DeflateZipPart(TZipPart("x", Other)));
  TScratchDir D;
  ASSERT_TRUE(CreateZipFromParts({TZipPart(Part.Name, Part.Pieces), TZipPart("b.xml", Other)}, D.Dir() + "now.zip"));
  ASSERT_TRUE(CreateZipFromParts({TZipPart(Part.Name, Part.Pieces, Ahead), TZipPart("b.xml", {Other}, Stale)},
                                 D.Dir() + "ahead.zip"));
  EXPECT_TRUE(WithoutTimes(ReadFile(D.Path() / "ahead.zip")) == WithoutTimes(ReadFile(D.Path() / "now.zip")));
}

TEST(DeflateZipPart, CalledOffItThrowsAndOtherwiseGivesTheStreamOfItsBytes) {
  const std::string Data = SampleBytes(3000000, 1, 9);
  std::atomic<bool> Cancel{true};
  EXPECT_THROW(DeflateZipPart(TZipPart("a.xml", Data), &Cancel), std::runtime_error);
  Cancel = false;
  const TDeflatedPart Part = DeflateZipPart(TZipPart("a.xml", Data), &Cancel);
  EXPECT_EQ(Part.Size, Data.size());
  EXPECT_LT(Part.Stream.size(), Data.size());
  TScratchDir D;
  ASSERT_TRUE(CreateZipFromParts({TZipPart("a.xml", Data)}, D.Dir() + "a.zip"));
  EXPECT_EQ(EntryHeads(D.Dir() + "a.zip").at(0).Crc, Part.Crc);
  EXPECT_EQ(EntryHeads(D.Dir() + "a.zip").at(0).CompSize, Part.Stream.size());
}

TEST(CreateZipFromParts, AnUnwritableTargetFailsWithItsReasonAndNoThreadStays) {
  // Big parts keep the deflating threads busy while the archive turns out not to be writable:
  // the answer and the reason are those of writing, and every thread has ended.
  TScratchDir D;
  WriteFile(D.Dir() + "file", "x");
  const std::string Big1 = SampleBytes(3000000, 0, 5), Big2 = SampleBytes(2000000, 1, 6);
  const std::vector<TZipPart> Parts = {{"a.xml", Big1}, {"b.xml", Big2}, {"c.xml", ""}};
  const std::size_t Before = ThreadCount();
  const std::pair<std::string, std::string> kCases[] = {
      // Found when the written archive is to be moved into place, after deflating.
      {D.Dir() + "no/such/folder/a.zip",
       "cannot write the archive: failure to create temporary file: No such file or directory"},
      // Found when the archive is opened, before anything is deflated.
      {D.Dir() + "file/a.zip", "cannot create the archive: read error: Not a directory"}};
  for (const auto& [Archive, Expected] : kCases) {
    std::string Reason;
    EXPECT_FALSE(CreateZipFromParts(Parts, Archive, nullptr, &Reason)) << Archive;
    EXPECT_EQ(Reason, Expected);
    EXPECT_FALSE(fs::exists(Archive));
  }
  EXPECT_EQ(ThreadCount(Before), Before);
}

TEST(CreateZipFromParts, ProgressRisesToTheTotalOfThePartsBytes) {
  std::vector<std::string> Data;
  std::vector<TZipPart> Parts;
  std::int64_t Total = 0;
  for (int I = 0; I < 4; ++I) Data.push_back(std::string(300000 + I, static_cast<char>('a' + I)));
  for (int I = 0; I < 4; ++I) {
    Parts.push_back({"p" + std::to_string(I), Data[I]});
    Total += static_cast<std::int64_t>(Data[I].size());
  }
  TScratchDir D;
  std::int64_t Last = -1, Max = 0;
  ASSERT_TRUE(CreateZipFromParts(Parts, D.Dir() + "p.zip", [&](std::int64_t AValue, std::int64_t AMax) {
    EXPECT_GE(AValue, Last);
    Last = AValue;
    Max = AMax;
  }));
  EXPECT_EQ(Max, Total);
  EXPECT_EQ(Last, Total);
}

TEST(CreateZipFromParts, RefusesWithoutWriting) {
  TScratchDir D;
  const std::string Data = "x";
  const struct {
    const char* Case;
    std::vector<TZipPart> Parts;
    std::string Archive;
    bool Reason;
  } kCases[] = {
      {"no part", {}, D.Dir() + "a.zip", true},
      {"not a ZIP name", {{"a.xml", Data}}, D.Dir() + "a.xlsx", false},
      {"other archive name", {{"a.xml", Data}}, D.Dir() + "a.7z", false},
      {"no extension", {{"a.xml", Data}}, D.Dir() + "a", false},
      {"absolute name", {{"/etc/a.xml", Data}}, D.Dir() + "b.zip", true},
      {"backslash name", {{"xl\\a.xml", Data}}, D.Dir() + "c.zip", true},
      {"empty name", {{"", Data}}, D.Dir() + "d.zip", true},
      {"folder missing", {{"a.xml", Data}}, D.Dir() + "no/such/e.zip", true},
  };
  for (const auto& C : kCases) {
    std::string Reason;
    EXPECT_FALSE(CreateZipFromParts(C.Parts, C.Archive, nullptr, &Reason)) << C.Case;
    EXPECT_EQ(!Reason.empty(), C.Reason) << C.Case << ": " << Reason;
    EXPECT_FALSE(fs::exists(C.Archive)) << C.Case;
  }
}

TEST(CreateZipFromParts, AcceptsAnUpperCaseZipNameAndReplacesAnExistingFile) {
  TScratchDir D;
  WriteFile(D.Dir() + "OUT.ZIP", "left from an earlier run, not a ZIP");
  ASSERT_TRUE(CreateZipFromParts({TZipPart("new.xml", "n")}, D.Dir() + "OUT.ZIP"));
  EXPECT_EQ(ZipEntryNames(D.Path() / "OUT.ZIP"), (std::vector<std::string>{"new.xml"}));
}

TEST(CreateZipFromParts, AThrowingProgressHookDoesNotEscapeNorSpoilTheArchive) {
  TScratchDir D;
  const TOnProgressCallback Hook = [](std::int64_t, std::int64_t) { throw std::runtime_error("hook failed"); };
  bool Written = false;
  EXPECT_NO_THROW(Written = CreateZipFromParts({TZipPart("a.xml", "a")}, D.Dir() + "h.zip", Hook));
  EXPECT_TRUE(Written);
  EXPECT_EQ(ZipEntryNames(D.Path() / "h.zip"), (std::vector<std::string>{"a.xml"}));
}

// ---- ExtractArchiveToDir: ordinary and damaged archives -------------------------------------

TEST(ExtractArchiveToDir, RecreatesFoldersIncludingEmptyOnes) {
  TScratchDir D;
  BuildZip(D.Path() / "p.zip", {{"project.sdlproj", "<Project/>"},
                                {"de-DE/", ""},
                                {"de-DE/sub/doc.sdlxliff", "<xliff/>"},
                                {"empty/", ""},
                                {"Reports\\analysis.xml", "<r/>"}});
  const fs::path Dest = D.Path() / "out";
  ASSERT_TRUE(ExtractArchiveToDir((D.Path() / "p.zip").string(), Dest.string()));
  EXPECT_EQ(ListTree(Dest),
            (std::vector<std::string>{"Reports/analysis.xml", "de-DE/sub/doc.sdlxliff", "project.sdlproj"}));
  EXPECT_TRUE(fs::is_directory(Dest / "empty"));
  EXPECT_EQ(ReadFile(Dest / "de-DE/sub/doc.sdlxliff"), "<xliff/>");
}

TEST(ExtractArchiveToDir, EntryNamedLikeTheArchiveBesideItDoesNotSpoilTheRead) {
  // The package copy "tmp.zip" sits in the folder it is unpacked into.
  TScratchDir D;
  BuildZip(D.Path() / "tmp.zip", {{"tmp.zip", "inner"}, {"z.txt", std::string(100000, 'z')}});
  ASSERT_TRUE(ExtractArchiveToDir(D.Dir() + "tmp.zip", D.Dir()));
  EXPECT_EQ(ReadFile(D.Path() / "tmp.zip"), "inner");
  EXPECT_EQ(ReadFile(D.Path() / "z.txt"), std::string(100000, 'z'));
}

TEST(ExtractArchiveToDir, NamesFollowTheUtf8FlagElseCp437) {
  TScratchDir D;
  TRawEntry Cp437{"M\x81ller.txt", "cp437", 0};  // 0x81 is u-umlaut in CP437
  TRawEntry Utf8{
      "Gr\xC3\xBC\xC3\x9F"
      "e.txt",
      "utf8", 0x0800};
  WriteFile(D.Path() / "n.zip", BuildRawZip({Cp437, Utf8}));
  ASSERT_TRUE(ExtractArchiveToDir(D.Dir() + "n.zip", D.Dir() + "out"));
  EXPECT_EQ(ListTree(D.Path() / "out"), (std::vector<std::string>{"Grüße.txt", "Müller.txt"}));
}

TEST(ExtractArchiveToDir, UnixModesOfPlainFilesAndFoldersAreAccepted) {
  TScratchDir D;
  TRawEntry Folder{"dir/", "", 0, static_cast<std::uint32_t>(S_IFDIR | 0755) << 16, 3};
  TRawEntry File{"dir/a.txt", "a", 0, static_cast<std::uint32_t>(S_IFREG | 0644) << 16, 3};
  WriteFile(D.Path() / "m.zip", BuildRawZip({Folder, File}));
  ASSERT_TRUE(ExtractArchiveToDir(D.Dir() + "m.zip", D.Dir() + "out"));
  EXPECT_EQ(ReadFile(D.Path() / "out/dir/a.txt"), "a");
}

TEST(ExtractArchiveToDir, RefusesNamesOfOtherFormatsAndBrokenArchives) {
  TScratchDir D;
  BuildZip(D.Path() / "good.zip", {{"a.txt", std::string(20000, 'x') + "tail"}});
  const std::string Good = ReadFile(D.Path() / "good.zip");
  fs::copy_file(D.Path() / "good.zip", D.Path() / "good.7z");
  WriteFile(D.Path() / "text.zip", "this is not an archive at all");
  WriteFile(D.Path() / "empty.zip", "");
  WriteFile(D.Path() / "truncated.zip", Good.substr(0, Good.size() / 2));
  std::string Damaged = Good;
  Damaged[45] = static_cast<char>(Damaged[45] ^ 0x55);  // inside the deflated data: CRC or inflate error
  WriteFile(D.Path() / "damaged.zip", Damaged);
  for (const char* Name : {"good.7z", "text.zip", "empty.zip", "truncated.zip", "damaged.zip", "missing.zip"}) {
    SCOPED_TRACE(Name);
    bool Result = true;
    EXPECT_NO_THROW(Result = ExtractArchiveToDir(D.Dir() + Name, D.Dir() + "out_" + Name));
    EXPECT_FALSE(Result);
  }
  EXPECT_TRUE(ExtractArchiveToDir(D.Dir() + "good.zip", D.Dir() + "out_good"));
}

// ---- ExtractArchiveToDir: hostile archives --------------------------------------------------

struct THostile {
  const char* Name;
  std::vector<TRawEntry> Entries;
};

class HostileArchive : public ::testing::TestWithParam<THostile> {};

// Every hostile archive is refused whole: false, a log line, nothing in the destination and
// nothing beside it.
TEST_P(HostileArchive, RefusedBeforeAnythingIsWritten) {
  TScratchDir D;
  const fs::path Dest = D.Path() / "work" / "dest";
  fs::create_directories(Dest);
  WriteFile(D.Path() / "work" / "h.zip", BuildRawZip(GetParam().Entries));
  EXPECT_FALSE(ExtractArchiveToDir((D.Path() / "work" / "h.zip").string(), Dest.string()));
  EXPECT_TRUE(fs::is_empty(Dest));
  EXPECT_EQ(ListTree(D.Path()), (std::vector<std::string>{"work/h.zip"}));
  EXPECT_FALSE(fs::exists("/tmp/lexmora-evil.txt"));
  EXPECT_NE(LogText().find("SevenZipHelper.ExtractArchiveToDir > Refused"), std::string::npos);
}

const std::uint32_t kLinkMode = static_cast<std::uint32_t>(S_IFLNK | 0777) << 16;

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileArchive,
    ::testing::Values(THostile{"ParentFolder", {{"ok.txt", "fine"}, {"../evil.txt", "x"}}},
                      THostile{"ParentInside", {{"a/../../evil.txt", "x"}}},
                      THostile{"ParentBackslash", {{"ok.txt", "fine"}, {"..\\evil.txt", "x"}}},
                      THostile{"ParentBackslashInside", {{"a\\..\\..\\evil.txt", "x"}}},
                      THostile{"AbsolutePath", {{"/tmp/lexmora-evil.txt", "x"}}},
                      THostile{"AbsoluteBackslash", {{"\\tmp\\lexmora-evil.txt", "x"}}},
                      THostile{"DriveLetter", {{"C:/evil.txt", "x"}}},
                      THostile{"DriveLetterRelative", {{"c:evil.txt", "x"}}},
                      THostile{"Symlink", {{"ok.txt", "fine"}, {"link", "/etc", 0, kLinkMode, 3}}},
                      THostile{"SymlinkThenWriteThrough", {{"link", "..", 0, kLinkMode, 3}, {"link/evil.txt", "x"}}},
                      THostile{"FifoEntry", {{"pipe", "", 0, static_cast<std::uint32_t>(S_IFIFO | 0644) << 16, 3}}},
                      THostile{"RatioAboveLimit",
                               {{"ok.txt", "fine"}, {"bomb.txt", std::string(10, 'x'), 0, 0, 0, 10 * 1000 + 1000}}},
                      THostile{"EncryptedFlag", {{"secret.txt", "x", 0x0001}}},
                      THostile{"EmptyName", {{"ok.txt", "fine"}, {"", "x"}}},
                      THostile{"EmptyNameFirst", {{"", ""}, {"ok.txt", "fine"}}}),
    [](const auto& I) { return std::string(I.param.Name); });

// An entry whose name is empty (as the library reads it) is refused with its own reason; the check
// of a trailing separator must not look at the last character of an empty name.
TEST(ExtractArchiveToDir, EmptyEntryNameIsRefusedWithItsReason) {
  TScratchDir D;
  WriteFile(D.Path() / "e.zip", BuildRawZip({{"a/doc.txt", "fine"}, {"", "x"}}));
  EXPECT_FALSE(ExtractArchiveToDir(D.Dir() + "e.zip", D.Dir() + "out"));
  EXPECT_TRUE(ListTree(D.Path() / "out").empty());
  EXPECT_NE(LogText().find("Refused " + D.Dir() + "e.zip: empty entry name: \"\""), std::string::npos) << LogText();
}

TEST(ExtractArchiveToDir, RatioAtTheLimitIsAccepted) {
  TScratchDir D;
  // 10 stored bytes that declare 10,000: exactly 1000:1 (the stored data is then shorter than
  // declared, which the read itself reports, so only the refusal step is looked at here).
  WriteFile(D.Path() / "r.zip", BuildRawZip({{"a.txt", std::string(10, 'x'), 0, 0, 0, 10000}}));
  ExtractArchiveToDir(D.Dir() + "r.zip", D.Dir() + "out");
  EXPECT_EQ(LogText().find("Refused " + D.Dir() + "r.zip"), std::string::npos);
}

TEST(ExtractArchiveToDir, RefusesDeflateBomb) {
  // 40 MB of zeros deflate to ~40 KB (about 1030:1), beyond the ratio limit.
  TScratchDir D;
  BuildZip(D.Path() / "bomb.zip", {{"zeros.bin", std::string(40u << 20, '\0')}});
  EXPECT_FALSE(ExtractArchiveToDir(D.Dir() + "bomb.zip", D.Dir() + "out"));
  EXPECT_TRUE(ListTree(D.Path() / "out").empty());
}

TEST(ExtractArchiveToDir, RefusesDeclaredTotalAboveFourGiB) {
  // Two entries whose declared sizes stay within the ratio limit but together pass 4 GiB.
  TScratchDir D;
  const std::string Stored(5u << 20, 's');  // 5 MiB stored, declared as ~4 GiB
  TRawEntry Big{"big.bin", Stored, 0, 0, 0, 0xFFFFFF00LL};
  TRawEntry Small{"small.bin", std::string(1000, 't'), 0, 0, 0, 1000};
  WriteFile(D.Path() / "t.zip", BuildRawZip({Big, Small}));
  EXPECT_FALSE(ExtractArchiveToDir(D.Dir() + "t.zip", D.Dir() + "out"));
  EXPECT_TRUE(ListTree(D.Path() / "out").empty());
  EXPECT_NE(LogText().find("declared uncompressed size above"), std::string::npos);
}

TEST(ExtractArchiveToDir, LinkAlreadyInTheDestinationIsNotFollowed) {
  TScratchDir D;
  const fs::path Dest = D.Path() / "dest";
  const fs::path Outside = D.Path() / "outside";
  fs::create_directories(Dest);
  fs::create_directories(Outside);
  fs::create_directory_symlink(Outside, Dest / "lang");
  BuildZip(D.Path() / "p.zip", {{"lang/doc.sdlxliff", "x"}});
  EXPECT_FALSE(ExtractArchiveToDir(D.Dir() + "p.zip", Dest.string()));
  EXPECT_TRUE(fs::is_empty(Outside));
}

TEST(ExtractArchiveToDir, FileLinkInTheDestinationIsReplacedNotWrittenThrough) {
  TScratchDir D;
  const fs::path Dest = D.Path() / "dest";
  fs::create_directories(Dest);
  WriteFile(D.Path() / "victim.txt", "keep");
  fs::create_symlink(D.Path() / "victim.txt", Dest / "doc.txt");
  BuildZip(D.Path() / "p.zip", {{"doc.txt", "new"}});
  ASSERT_TRUE(ExtractArchiveToDir(D.Dir() + "p.zip", Dest.string()));
  EXPECT_EQ(ReadFile(D.Path() / "victim.txt"), "keep");
  EXPECT_FALSE(fs::is_symlink(Dest / "doc.txt"));
  EXPECT_EQ(ReadFile(Dest / "doc.txt"), "new");
}

TEST(ExtractArchiveToDir, FileWhereAFolderIsNeededFails) {
  TScratchDir D;
  BuildZip(D.Path() / "p.zip", {{"a", "file"}, {"a/b.txt", "x"}});
  EXPECT_FALSE(ExtractArchiveToDir(D.Dir() + "p.zip", D.Dir() + "out"));
}

}  // namespace
