// The XLSX writer's rows built on a thread of its own: the same bytes as built by the caller,
// failures handed back to the caller, and no thread left behind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <random>
#include <stdexcept>
#include <thread>

#include "ExportToExcelUnit.h"

namespace lexmora {
namespace {

namespace fs = std::filesystem;

TDiffFileConstructorSettings Settings() {
  TDiffFileConstructorSettings S;
  S.TranslatorFiles = "/in/a.sdlxliff\r\n/in/b.sdlxliff\r\n";
  S.EditorFiles = "/out/a.sdlxliff\r\n";
  S.FillDiffRowColored = true;
  S.ResultFileName = "/nonexistent/Results/Result_20261209_080000_";
  S.ResultFileFormat = TResultFileFormat::rffXLSX;
  return S;
}

// A writer that builds its rows aside or not, as the test says, and can fail at one row.
class TTestWriter : public TExcelFileCreator {
 public:
  TTestWriter(bool AAside, std::int32_t AFailAt = -1)
      : TExcelFileCreator(Settings()), FAside(AAside), FFailAt(AFailAt) {}
  ~TTestWriter() override = default;

 protected:
  bool BuildRowsAside() const override { return FAside; }
  void BeforeRow(std::int32_t ARow) override {
    if (ARow == FFailAt) throw std::runtime_error("row " + std::to_string(ARow) + " failed");
  }

 private:
  bool FAside;
  std::int32_t FFailAt;
};

std::size_t ThreadCount(std::size_t AExpected = 0) {
  const auto Count = [] {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
  };
  std::size_t Result = Count();
  // An ended thread's entry may outlive its join a moment; a running thread's stays.
  for (int I = 0; AExpected != 0 && I < 200 && Result != AExpected; ++I) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Result = Count();
  }
  return Result;
}

// Cell texts of every kind the rows carry: plain, runs, characters to escape, over-long ones.
std::string CellText(std::mt19937& ARandom) {
  static const char* const kPieces[] = {"Milch ", "heiß ", "\xE2\x97\x84", "&amp;", "a & b", "_x0041_", "\x01",
                                        "\xF0\x9F\x98\x80", "\xFF", "\r\n", "word ", "Wortzusammensetzung"};
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
    if (Row == AMidway) {
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
      for (int Row = 1; Row <= 3000; ++Row) W.AddRow(false, false, std::to_string(Row), "    <t>a</t>", "",
                                                     "    <t>b</t>", "    <t>c</t>", "1");
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

}  // namespace
}  // namespace lexmora
