#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "DecimalNumberUnit.h"

using namespace lexmora;

TEST(DecimalNumberTest, EveryDoubleReadsBackFromItsShortestExactText) {
  std::mt19937_64 Random(20261210);
  for (int I = 0; I < 20000; ++I) {
    double Value = 0;
    do {
      const std::uint64_t Bits = Random();
      std::memcpy(&Value, &Bits, sizeof Value);
    } while (!std::isfinite(Value));
    char Text[64];
    std::snprintf(Text, sizeof Text, "%.17g", Value);
    double Read = 0;
    ASSERT_TRUE(ParseDecimalNumber(Text, Read)) << Text;
    EXPECT_EQ(Read, Value) << Text;
  }
}

TEST(DecimalNumberTest, PlainFormsAreRead) {
  const struct {
    const char* Text;
    double Value;
  } Rows[] = {{"0", 0.0},
              {"-0", -0.0},
              {"42", 42.0},
              {".5", 0.5},
              {"5.", 5.0},
              {"-.25", -0.25},
              {"1e3", 1000.0},
              {"1E+3", 1000.0},
              {"2.5e-3", 0.0025},
              {"0.1", 0.1},
              {"007.50", 7.5},
              {"4e-320", 4e-320},
              {"1.7976931348623157e308", 1.7976931348623157e308}};
  for (const auto& Row : Rows) {
    double Read = -1;
    EXPECT_TRUE(ParseDecimalNumber(Row.Text, Read)) << Row.Text;
    EXPECT_EQ(Read, Row.Value) << Row.Text;
    EXPECT_EQ(std::signbit(Read), std::signbit(Row.Value)) << Row.Text;
  }
}

TEST(DecimalNumberTest, AnythingButAPlainDecimalIsRefused) {
  for (const char* Text : {"",   "+1", " 1", "1 ",  "1,5",   "0x10",  "inf",    "-inf",   "nan", "1e", "1e+",
                           "e5", "-",  ".",  "--1", "1.2.3", "1e400", "-1e400", "1e-400", "1d",  "١"}) {
    double Read = 0;
    EXPECT_FALSE(ParseDecimalNumber(Text, Read)) << '"' << Text << '"';
  }
}
