#include <gtest/gtest.h>

#include "EditBandUnit.h"
#include "LocalizationUnit.h"

using namespace lexmora;

namespace {

struct TBandRow {
  const char* Name;
  std::int64_t Steps;
  std::int64_t Length;
  int Shown;         // the whole number the report row shows
  const char* Band;  // label of the default band it falls into
};

const TBandRow kBandRows[] = {
    {"Unchanged", 0, 10, 100, "100"},
    {"BothEmptyCountsAsHundred", 0, 0, 100, "100"},
    {"AlmostUnchangedRoundsToHundred", 2, 500, 100, "100"},  // 99.6
    {"NinetyNine", 1, 100, 99, "95-99"},
    {"NinetyFiveExactly", 1, 20, 95, "95-99"},
    {"NinetyFourAndAHalfRoundsToEvenBelow", 11, 200, 94, "85-94"},  // 94.5
    {"NinetyFiveAndAHalfRoundsToEvenAbove", 9, 200, 96, "95-99"},   // 95.5
    {"EightyFourAndAHalf", 31, 200, 84, "75-84"},                   // 84.5
    {"FortyNineAndAHalfRoundsUpToFifty", 101, 200, 50, "50-74"},    // 49.5
    {"Fifty", 1, 2, 50, "50-74"},
    {"FortyNine", 51, 100, 49, "0-49"},
    {"Zero", 1, 1, 0, "0-49"},
    {"MinusTwenty", 6, 5, -20, "0-49"},
    {"MinusHundred", 2, 1, -100, "0-49"},
};

}  // namespace

TEST(EditBand, DefaultBoundaries) {
  const TEditBands Bands;
  for (const auto& Row : kBandRows) {
    SCOPED_TRACE(Row.Name);
    EXPECT_EQ(RoundedEditDistance(Row.Steps, Row.Length), Row.Shown);
    EXPECT_EQ(Bands.Label(Bands.BandOf(Row.Shown)), Row.Band);
    // The row text shows the same number the band is chosen by.
    if (Row.Length != 0) {
      EXPECT_EQ(FloatToRoundedStr(0, SegmentEditDistance(Row.Steps, Row.Length), "."), std::to_string(Row.Shown));
    }
  }
}

TEST(EditBand, BandAlwaysAgreesWithTheRowText) {
  // Property: for every steps/length combination a segment can have, the band follows the
  // number printed in the row, never the unrounded value.
  const TEditBands Bands;
  for (std::int64_t Length = 1; Length <= 240; ++Length)
    for (std::int64_t Steps = 0; Steps <= 2 * Length; ++Steps) {
      const int Shown = std::stoi(FloatToRoundedStr(0, SegmentEditDistance(Steps, Length), "."));
      ASSERT_EQ(RoundedEditDistance(Steps, Length), Shown) << Steps << "/" << Length;
      const std::size_t Band = Bands.BandOf(Shown);
      ASSERT_TRUE(Shown >= Bands.Bounds()[Band] || Band + 1 == Bands.Count());
      ASSERT_TRUE(Band == 0 || Shown < Bands.Bounds()[Band - 1]);
    }
}

TEST(EditBand, DefaultLabels) {
  const TEditBands Bands;
  std::vector<std::string> Labels;
  for (std::size_t I = 0; I < Bands.Count(); ++I) Labels.push_back(Bands.Label(I));
  EXPECT_EQ(Labels, (std::vector<std::string>{"100", "95-99", "85-94", "75-84", "50-74", "0-49"}));
}

TEST(EditBand, CustomBounds) {
  struct TRow {
    const char* Text;
    std::vector<std::string> Labels;
    std::vector<std::pair<int, std::size_t>> Placed;  // rounded ED -> band
  };
  const TRow Rows[] = {
      // Without a band from 0 the lowest band reaches down to anything below it.
      {"100,95,85,75,50", {"100", "95-99", "85-94", "75-84", "\u226474"}, {{100, 0}, {50, 4}, {49, 4}, {-20, 4}}},
      {" 90 , 10,0 ", {"90-100", "10-89", "0-9"}, {{100, 0}, {90, 0}, {89, 1}, {10, 1}, {9, 2}, {-5, 2}}},
      {"100,99,0", {"100", "99", "0-98"}, {{100, 0}, {99, 1}, {98, 2}}},
      {"0", {"0-100"}, {{100, 0}, {-100, 0}}},
      {"100", {"\u2264100"}, {{100, 0}, {3, 0}}},
      {"050,0", {"50-100", "0-49"}, {{50, 0}, {49, 1}}},
  };
  for (const auto& Row : Rows) {
    SCOPED_TRACE(Row.Text);
    TEditBands Bands;
    ASSERT_TRUE(Bands.ParseBounds(Row.Text));
    std::vector<std::string> Labels;
    for (std::size_t I = 0; I < Bands.Count(); ++I) Labels.push_back(Bands.Label(I));
    EXPECT_EQ(Labels, Row.Labels);
    for (const auto& [Ed, Band] : Row.Placed) EXPECT_EQ(Bands.BandOf(Ed), Band) << Ed;
  }
}

TEST(EditBand, BadBoundsAreRefusedAndLeaveTheBands) {
  const char* Bad[] = {"",     ",",    "100,", ",100",   "100,,50", "100,100", "50,60",  "101",   "-1",      "1e2",
                       "0x10", "95.5", "abc",  "100;50", "+5",      "1000",    "100 50", "95,-5", "100,0,0", "\t"};
  for (const char* Text : Bad) {
    SCOPED_TRACE(Text);
    TEditBands Bands;
    EXPECT_FALSE(Bands.ParseBounds(Text));
    EXPECT_EQ(Bands.Bounds(), (std::vector<int>{100, 95, 85, 75, 50, 0}));
  }
  TEditBands Bands;
  EXPECT_FALSE(Bands.SetBounds({}));
  EXPECT_FALSE(Bands.SetBounds({100, 200}));
  EXPECT_TRUE(Bands.SetBounds({80, 20}));
  EXPECT_EQ(Bands.Bounds(), (std::vector<int>{80, 20}));
}

TEST(EditBand, TotalEditDistanceText) {
  EXPECT_EQ(TotalEditDistanceText(0, 0), "");
  EXPECT_EQ(TotalEditDistanceText(0, 7), "100%");
  const std::string Half = FloatToRoundedStr(1, 0.5);  // "0.5" with the user's separator
  EXPECT_EQ(TotalEditDistanceText(1, 3), "66" + Half.substr(1, Half.size() - 2) + "7%");
  EXPECT_EQ(TotalEditDistanceText(12, 10), "-20%");
}
