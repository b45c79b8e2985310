#include <gtest/gtest.h>

#include "DataTypeUnit.h"

using namespace lexmora;

TEST(DataType, EnumOrdinalsAndOneByteStorage) {
  static_assert(sizeof(TFileTypeGroup) == 1 && sizeof(TExtractFilesResult) == 1 && sizeof(TTagType) == 1);
  EXPECT_EQ(static_cast<int>(TExtractFilesResult::efrOk), 7);
  EXPECT_EQ(static_cast<int>(TFileTypeGroup::ftg_05), 5);
  EXPECT_EQ(static_cast<int>(TShowTagsFlag::stfShowTagsContent), 3);
  EXPECT_EQ(static_cast<int>(TTagType::ttNotNeeded), 3);
}

TEST(DataType, RecordCopiedIntoArrayIsIndependent) {
  TDiffInfoRecord R;
  R.UnitID = "u1";
  R.ResultStr = "text";
  TArrayOfDiffInfoRecord A;
  A.push_back(R);
  A[0].ResultStr = "changed";
  A[0].IsLocked = true;
  EXPECT_EQ(R.ResultStr, "text");
  EXPECT_FALSE(R.IsLocked);
}

TEST(DataType, SplitLinesDropsEmptyLinesAndAcceptsBothEnds) {
  const auto L = SplitLines("a\r\nb\r\n\r\nc\nd");
  ASSERT_EQ(L.size(), 4u);
  EXPECT_EQ(L[0], "a");
  EXPECT_EQ(L[3], "d");
  EXPECT_TRUE(SplitLines("").empty());
}
