// The XLSX writer's work on threads of its own (rows built aside, the big parts deflated ahead):
// the same bytes as made by the caller alone, failures handed back to the caller, no thread left.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <random>
#include <stdexcept>
#include <thread>

#include "ExportToExcelUnit.h"
#include "ThreadCountTestSupport.h"

namespace lexmora {
namespace {

namespace fs = std::filesystem;
using test_support::ThreadCount;

TDiffFileConstructorSettings Settings(const std::string& AResults = "/nonexistent/Results/") {
  TDiffFileConstructorSettings S;
  S.TranslatorFiles = {"/in/a.sdlxliff", "/in/b.sdlxliff"};
  S.EditorFiles = {"/out/a.sdlxliff"};
  S.FillDiffRowColored = true;
  S.ResultFileName = AResults + "Result_20261209_080000_";
  S.ResultFileFormat = TResultFileFormat::rffXLSX;
  return S;
}

// A writer that builds its rows aside or not, as the test says, and can fail at one row.
class TTestWriter : public TExcelFileCreator {
 public:
  TTestWriter(bool AAside, std::int32_t AFailAt = -1, const std::string& AResults = "/nonexistent/Results/")
      : TExcelFileCreator(Settings(AResults)), FAside(AAside), FFailAt(AFailAt) {}
  ~TTestWriter() override = default;

 protected:
  bool WorkAside() const override { return FAside; }
  void BeforeRow(std::int32_t ARow) override {
    if (ARow == FFailAt) throw std::runtime_error("row " + std::to_string(ARow) + " failed");
  }

 private:
  bool FAside;
  std::int32_t FFailAt;
};

// Cell texts of every kind the rows carry: plain, runs, characters to escape, over-long ones.
std::string CellText(std::mt19937& ARandom) {
  static const char* const kPieces[] = {"Milch ", "heiß ",   "\xE2\x97\x84", "&amp;",
                                        "a & b",  "_x0041_", "\x01",         "\xF0\x9F\x98\x80",
                                        "\xFF",   "\r\n",    "word ",        "Wortzusammensetzung"};
  std::string Text;
  const int Count = static_cast<int>(ARandom() % 12);
  for (int I = 0; I < Count; ++I) Text += kPieces[ARandom() % std::size(kPieces)];
  if (ARandom() % 500 == 0) Text += std::string(40000, 'x');  // beyond what a cell holds
  if (Text.empty()) return "    <t/>";
  if (ARandom() % 2) return TExcelFileCreator::WrapTextItem(Text);
  return "    <r>\r\n      <t xml:space=\"preserve\">" + Text + "</t>\r\n    </r>";
}

// Feeds both writers the same rows; after AMidway rows, and at the end, their parts must agree.
void FeedRows(TExcelFileCreator& AFirst, TExcelFileCreator& ASecond, int ARows, int AMidway) {
  std::mt19937 Random(20261209);
  for (TExcelFileCreator* W : {&AFirst, &ASecond}) W->AddCaption();
  for (int Row = 1; Row <= ARows; ++Row) {
    if (Row % 997 == 1) {
      const std::string Caption = "doc" + std::to_string(Row) + ".sdlxliff (en > de) <&>";
      for (TExcelFileCreator* W : {&AFirst, &ASecond}) W->AddJoinRow(Caption);
    }
    const bool Equ = Random() % 3 == 0, Locked = Random() % 7 == 0;
    const std::string Src = CellText(Random), Tr = CellText(Random), Ed = CellText(Random);
    const std::string Match = Random() % 4 ? "" : "9" + std::to_string(Row % 10);
    for (TExcelFileCreator* W : {&AFirst, &ASecond})
      W->AddRow(Equ, Locked, std::to_string(Row), Src, Match, Tr, Ed, std::to_string(Row % 101));
    if (Row == AMidway && AMidway > 0) {
      ASSERT_EQ(AFirst.BuildSharedStrings(), ASecond.BuildSharedStrings()) << "after row " << Row;
      ASSERT_EQ(AFirst.BuildSheet1(), ASecond.BuildSheet1()) << "after row " << Row;
    }
  }
}

TEST(ExcelRowBuilder, RowsBuiltAsideGiveTheBytesTheCallerBuilds) {
  // More rows than may wait for the builder, so the caller also waits for it now and then.
  TTestWriter Aside(true), Inline(false);
  FeedRows(Aside, Inline, 9000, 333);
  EXPECT_EQ(Aside.AddTotalInfo(9000, 4000, "12.5"), Inline.AddTotalInfo(9000, 4000, "12.5"));
  EXPECT_EQ(Aside.CurrentRow(), Inline.CurrentRow());
  const std::string Strings = Aside.BuildSharedStrings();
  EXPECT_TRUE(Strings == Inline.BuildSharedStrings());
  EXPECT_TRUE(Aside.BuildSheet1() == Inline.BuildSheet1());
  EXPECT_GT(Strings.size(), 1000000u);
}

TEST(ExcelRowBuilder, AFailedRowIsThrownToTheCallerAndNoThreadStays) {
  const std::size_t Before = ThreadCount();
  for (const bool Aside : {true, false}) {
    TTestWriter W(Aside, 500);
    std::string Failure;
    try {
      W.AddCaption();
      for (int Row = 1; Row <= 3000; ++Row)
        W.AddRow(false, false, std::to_string(Row), "    <t>a</t>", "", "    <t>b</t>", "    <t>c</t>", "1");
      W.AddTotalInfo(3000, 3000, "1");
    } catch (const std::runtime_error& E) {
      Failure = E.what();
    }
    // Row 500 is a segment row: the totals block and the caption take the first eleven.
    EXPECT_EQ(Failure, "row 500 failed") << (Aside ? "aside" : "inline");
  }
  EXPECT_EQ(ThreadCount(Before), Before);
}

TEST(ExcelRowBuilder, AWriterDroppedWithRowsWaitingEndsItsBuilder) {
  // A stopped comparison drops its writer halfway: the rows not built are left, nothing hangs.
  const std::size_t Before = ThreadCount();
  for (int Round = 0; Round < 5; ++Round) {
    TTestWriter W(true);
    W.AddCaption();
    for (int Row = 1; Row <= 4000; ++Row)
      W.AddRow(false, false, std::to_string(Row), "    <t>a b c</t>", "", "    <t>b</t>", "    <t>c</t>", "1");
  }
  EXPECT_EQ(ThreadCount(Before), Before);
}

// What an archive holds of each entry, the deflated bytes as stored; the core properties,
// which hold the time of writing, by name only.
struct TStoredEntry {
  std::string Name;
  zip_uint16_t Method = 0;
  zip_uint32_t Crc = 0;
  std::string Stored;
  bool operator==(const TStoredEntry&) const = default;
};

std::vector<TStoredEntry> StoredEntries(const fs::path& AArchive) {
  std::vector<TStoredEntry> Entries;
  int Err = 0;
  zip_t* Zip = zip_open(AArchive.string().c_str(), ZIP_RDONLY, &Err);
  if (!Zip) return Entries;
  for (zip_int64_t I = 0; I < zip_get_num_entries(Zip, 0); ++I) {
    zip_stat_t St;
    zip_stat_index(Zip, static_cast<zip_uint64_t>(I), 0, &St);
    TStoredEntry E{St.name, St.comp_method, St.crc, std::string(St.comp_size, '\0')};
    if (zip_file_t* F = zip_fopen_index(Zip, static_cast<zip_uint64_t>(I), ZIP_FL_COMPRESSED)) {
      zip_fread(F, E.Stored.data(), E.Stored.size());
      zip_fclose(F);
    }
    if (E.Name == "docProps/core.xml") E = {E.Name, E.Method, 0, {}};
    Entries.push_back(std::move(E));
  }
  zip_discard(Zip);
  return Entries;
}

class ExcelWorkAsidePackage : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("lexmora_aside_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    for (const char* Sub : {"aside", "inline"}) fs::create_directories(Dir / Sub);
  }
  void TearDown() override { fs::remove_all(Dir); }
  std::string Results(const char* ASub) const { return (Dir / ASub).string() + "/"; }
  fs::path Dir;
};

TEST_F(ExcelWorkAsidePackage, TheWorkbookMadeAsideHoldsTheBytesTheCallerAloneStores) {
  TTestWriter Aside(true, -1, Results("aside")), Inline(false, -1, Results("inline"));
  FeedRows(Aside, Inline, 5000, 0);
  for (TTestWriter* W : {&Aside, &Inline}) {
    W->AddTotalInfo(5000, 2000, "7.5");
    ASSERT_EQ(W->ExecuteFileCreation("en_de", nullptr), "");
  }
  const auto Stored = StoredEntries(Aside.ResultFileFor("en_de"));
  ASSERT_EQ(Stored.size(), 13u);
  EXPECT_TRUE(Stored == StoredEntries(Inline.ResultFileFor("en_de")));
  EXPECT_GT(Stored[5].Stored.size(), 100000u);  // the shared strings: a big part indeed
}

TEST_F(ExcelWorkAsidePackage, RowsAfterTheTotalsAreNotLostToTheHeadStart) {
  // The big parts are deflated as soon as the totals are in; anything added after that makes
  // the head start worthless and must show in the workbook.
  TTestWriter Aside(true, -1, Results("aside")), Inline(false, -1, Results("inline"));
  FeedRows(Aside, Inline, 2000, 0);
  for (TTestWriter* W : {&Aside, &Inline}) {
    W->AddTotalInfo(2000, 100, "1");
    W->AddJoinRow("late.sdlxliff (en > de)");
    W->AddRow(false, false, "2001", "    <t>late</t>", "", "    <t>row</t>", "    <t>rows</t>", "25");
    W->AddTotalInfo(2001, 101, "2");
    ASSERT_EQ(W->ExecuteFileCreation("en_de", nullptr), "");
  }
  const auto Stored = StoredEntries(Aside.ResultFileFor("en_de"));
  EXPECT_TRUE(Stored == StoredEntries(Inline.ResultFileFor("en_de")));
  EXPECT_NE(Aside.BuildSheet1().find("<row r=\"" + std::to_string(Aside.CurrentRow()) + "\""), std::string::npos);
}

}  // namespace
}  // namespace lexmora
