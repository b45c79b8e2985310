#include <gtest/gtest.h>

#include "CostTermsUnit.h"

using namespace lexmora;

TEST(CostTerms, RatesReadWithTheBandsRules) {
  std::vector<TBandRate> Rates;
  ASSERT_TRUE(ParseBandRates(" 100:0, 95 : 25,85:50,75:70,50:100,0:100 ", Rates));
  EXPECT_EQ(Rates, (std::vector<TBandRate>{{100, 0}, {95, 25}, {85, 50}, {75, 70}, {50, 100}, {0, 100}}));
  ASSERT_TRUE(ParseBandRates("60:12.5", Rates));
  EXPECT_EQ(Rates, (std::vector<TBandRate>{{60, 12.5}}));
  // Written back, the text reads as the same rates.
  std::vector<TBandRate> Again;
  ASSERT_TRUE(ParseBandRates(BandRatesText({{100, 0}, {80, 33.25}, {0, 100}}), Again));
  EXPECT_EQ(Again, (std::vector<TBandRate>{{100, 0}, {80, 33.25}, {0, 100}}));
  EXPECT_EQ(BandRatesText({{100, 0}, {80, 33.25}, {0, 100}}), "100:0,80:33.25,0:100");
}

TEST(CostTerms, BadRatesLeaveTheRatesAsTheyWere) {
  const std::vector<TBandRate> Before = {{100, 5}};
  for (const char* Bad :
       {"",       "100",    "100:",    ":5",        "100:5,",  "100:5,,0:10", "95:10,100:20", "100:10,100:20",
        "101:10", "-5:10",  "100:-1",  "100:100.5", "100:1e2", "100:0x10",    "100:5%",       "100:5.",
        "100:.5", "1.5:10", "100:5:6", "100;5"}) {
    SCOPED_TRACE(Bad);
    std::vector<TBandRate> Rates = Before;
    EXPECT_FALSE(ParseBandRates(Bad, Rates));
    EXPECT_EQ(Rates, Before);
  }
}

TEST(CostTerms, WordPriceAndCurrency) {
  double Price = -1;
  ASSERT_TRUE(ParseWordPrice("0.12", Price));
  EXPECT_DOUBLE_EQ(Price, 0.12);
  ASSERT_TRUE(ParseWordPrice(" 3 ", Price));
  EXPECT_DOUBLE_EQ(Price, 3);
  ASSERT_TRUE(ParseWordPrice("1000000", Price));
  for (const char* Bad : {"", "-0.1", "0,12", "1e3", "inf", "nan", "0.1.2", "1000000.5", "12 EUR"}) {
    SCOPED_TRACE(Bad);
    Price = 7;
    EXPECT_FALSE(ParseWordPrice(Bad, Price));
    EXPECT_EQ(Price, 7);
  }
  EXPECT_TRUE(IsValidCurrency("EUR"));
  EXPECT_TRUE(IsValidCurrency("\u20BD"));
  EXPECT_TRUE(IsValidCurrency("sixteen letters!"));
  EXPECT_FALSE(IsValidCurrency("seventeen letters"));
  EXPECT_FALSE(IsValidCurrency(""));
  EXPECT_FALSE(IsValidCurrency("EU\nR"));
  EXPECT_FALSE(IsValidCurrency("\xC3"));
}
