#include <gtest/gtest.h>

#include <string>

#include "AsciiTextUnit.h"

using namespace lexmora;

namespace {

// Every byte value once, so the properties below cover UTF-8 lead and continuation bytes too.
std::string AllBytes() {
  std::string Bytes;
  for (int B = 0; B < 256; ++B) Bytes += static_cast<char>(B);
  return Bytes;
}

}  // namespace

TEST(AsciiTextTest, CaseFoldingChangesOnlyAsciiLettersByteForByte) {
  const std::string Bytes = AllBytes();
  const std::string Lower = AsciiLowerCase(Bytes);
  const std::string Upper = AsciiUpperCase(Bytes);
  ASSERT_EQ(Lower.size(), Bytes.size());
  ASSERT_EQ(Upper.size(), Bytes.size());
  for (int B = 0; B < 256; ++B) {
    const char C = Bytes[B];
    const bool Capital = C >= 'A' && C <= 'Z', Small = C >= 'a' && C <= 'z';
    EXPECT_EQ(Lower[B], Capital ? static_cast<char>(C + ('a' - 'A')) : C) << "byte " << B;
    EXPECT_EQ(Upper[B], Small ? static_cast<char>(C - ('a' - 'A')) : C) << "byte " << B;
    EXPECT_EQ(AsciiLower(C), Lower[B]) << "byte " << B;
  }
  EXPECT_EQ(AsciiLowerCase(Upper), Lower);
}

TEST(AsciiTextTest, LowerFirstTouchesOnlyALeadingCapital) {
  EXPECT_EQ(LowerFirst(""), "");
  EXPECT_EQ(LowerFirst("No Such File"), "no Such File");
  EXPECT_EQ(LowerFirst("already lower"), "already lower");
  EXPECT_EQ(LowerFirst("1 Error"), "1 Error");
  EXPECT_EQ(LowerFirst("\xC3\x89tat"), "\xC3\x89tat");  // a UTF-8 capital is not ASCII
}
