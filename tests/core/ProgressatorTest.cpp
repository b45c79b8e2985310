#include <gtest/gtest.h>

#include <string>

#include "ProgressatorUnit.h"

using namespace lexmora;

namespace {

std::string Bar(int ADone, int AWidth) {
  return std::string(static_cast<std::size_t>(ADone), '|') +
         std::string(static_cast<std::size_t>(std::max(0, AWidth - ADone)), '.');
}

}  // namespace

TEST(ProgressRenderer, NothingBeforeAnOperation) {
  TProgressRenderer R(TLocalizationLanguare::llEN);
  EXPECT_FALSE(R.Render(true, 1000).has_value());
  EXPECT_FALSE(R.CloseOperation().has_value());
}

// Rows: points done of ten, the operation's share of the whole, and the lines expected.
TEST(ProgressRenderer, LinesAtZeroHalfAndNearlyDone) {
  const struct {
    const char* Name;
    int Point, Count, Min, Max;
    int OpDone, Percent, TotalDone, Total;
  } Rows[] = {
      {"zero", 0, 10, 0, 30, 1, 0, 1, 0},
      {"half", 5, 10, 30, 60, 15, 49, 23, 44},            // 5*99/10 = 49; 30 + trunc(49*0.3) = 44
      {"example", 3, 7, 0, 30, 13, 42, 7, 12},            // the worked example: 13 and 7 "|"
      {"nearly done", 99, 100, 60, 100, 30, 98, 50, 99},  // 98 shows, never 100 before completion
  };
  for (const auto& Row : Rows) {
    TProgressRenderer R(TLocalizationLanguare::llEN);
    EXPECT_FALSE(R.StartNewOperation("Read", Row.Count, Row.Min, Row.Max).has_value());
    R.SetCurrentPoint(Row.Point);
    const auto L = R.Render(true, 0);
    ASSERT_TRUE(L.has_value()) << Row.Name;
    EXPECT_FALSE(L->IsFinished);
    EXPECT_EQ(L->CurrProgressStr, "Read: " + Bar(Row.OpDone, 30) + std::to_string(Row.Percent) + "% /") << Row.Name;
    EXPECT_EQ(L->TotalProgressStr, "Total progress: " + Bar(Row.TotalDone, 50) + " " + std::to_string(Row.Total) + "% ")
        << Row.Name;
  }
}

TEST(ProgressRenderer, CompletionGivesTheFinishLineOnce) {
  TProgressRenderer R(TLocalizationLanguare::llEN);
  R.StartNewOperation("Read of the source files", 4, 0, 30);
  R.SetCurrentPoint(9);  // held at the point count
  const auto L = R.Render(true, 0);
  ASSERT_TRUE(L.has_value());
  EXPECT_TRUE(L->IsFinished);
  EXPECT_EQ(L->CurrProgressStr, "Read of the source files is completed...");
  EXPECT_EQ(L->TotalProgressStr, "");
  EXPECT_FALSE(R.IsOperationSet());
  EXPECT_FALSE(R.Render(true, 500).has_value());
  EXPECT_FALSE(R.CloseOperation().has_value());
}

TEST(ProgressRenderer, OperationWithoutPointsCompletesAtFirstRendering) {
  TProgressRenderer R(TLocalizationLanguare::llRU);
  R.StartNewOperation("Построение отчета", 0, 60, 100);
  const auto L = R.Render(true, 0);
  ASSERT_TRUE(L.has_value());
  EXPECT_TRUE(L->IsFinished);
  EXPECT_EQ(L->CurrProgressStr, "Построение отчета завершено...");
}

TEST(ProgressRenderer, NewOperationClosesTheRunningOne) {
  TProgressRenderer R(TLocalizationLanguare::llEN);
  R.StartNewOperation("First", 3, 0, 30);
  R.SetCurrentPoint(1);
  EXPECT_EQ(R.StartNewOperation("Second", 3, 30, 60), std::optional<std::string>("First is completed..."));
  const auto L = R.Render(true, 0);
  ASSERT_TRUE(L.has_value());
  EXPECT_EQ(L->CurrProgressStr.rfind("Second: |....", 0), 0u) << "points restart at zero";
  EXPECT_EQ(R.CloseOperation(), std::optional<std::string>("Second is completed..."));
  EXPECT_FALSE(R.CloseOperation().has_value());
}

TEST(ProgressRenderer, FullBarIsOneCharacterLonger) {
  // Total of 100 while the operation still runs: the total bar holds 51 "|".
  TProgressRenderer R(TLocalizationLanguare::llEN);
  R.StartNewOperation("X", 1000, 100, 100);
  R.SetCurrentPoint(1);
  const auto L = R.Render(true, 0);
  ASSERT_TRUE(L.has_value());
  EXPECT_EQ(L->TotalProgressStr, "Total progress: " + std::string(51, '|') + " 100% ");
}

TEST(ProgressRenderer, SpinnerTurnsThroughFourFrames) {
  TProgressRenderer R(TLocalizationLanguare::llEN);
  R.StartNewOperation("X", 10, 0, 100);
  std::string Seen;
  for (int I = 0; I < 6; ++I) Seen += R.Render(true, 0)->CurrProgressStr.back();
  EXPECT_EQ(Seen, "/-\\|/-");
}

TEST(ProgressRenderer, ThrottledToThePeriodAcrossTheTickWrap) {
  const struct {
    const char* Name;
    std::uint32_t First, Second;
    bool SecondRenders;
  } Rows[] = {
      {"within the period", 1000, 1100, false},
      {"just past the period", 1000, 1101, true},
      {"across the wrap, short", 0xFFFFFFF0u, 0x00000040u, false},  // 80 ms later
      {"across the wrap, long", 0xFFFFFFF0u, 0x00000060u, true},    // 112 ms later
      {"clock went back a little", 5000, 4950, false},
  };
  for (const auto& Row : Rows) {
    TProgressRenderer R(TLocalizationLanguare::llEN);
    R.StartNewOperation("X", 10, 0, 100);
    ASSERT_TRUE(R.Render(true, Row.First).has_value()) << Row.Name;
    EXPECT_EQ(R.Render(false, Row.Second).has_value(), Row.SecondRenders) << Row.Name;
    EXPECT_TRUE(R.Render(true, Row.Second).has_value()) << Row.Name << ": forcing ignores the period";
  }
}

TEST(ProgressRenderer, TickCounterIsMonotonic) {
  const std::uint32_t A = GetTickCount32();
  const std::uint32_t B = GetTickCount32();
  EXPECT_GE(static_cast<std::int32_t>(B - A), 0);
}
