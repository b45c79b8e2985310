#include <gtest/gtest.h>

#include "RunErrorUnit.h"

using namespace lexmora;

TEST(RunError, LineNamesThePathTheDocumentAndTheReason) {
  TRunError E{TErrorSide::esSource, "Failed to read source file data!", "before/p.sdlppx", "de-de/a.sdlxliff",
              "not well-formed XML at line 12, column 5"};
  EXPECT_EQ(FormatErrorLine(E),
            "Failed to read source file data!: before/p.sdlppx (de-de/a.sdlxliff): not well-formed XML at line 12, "
            "column 5");
  EXPECT_EQ(ErrorPathText(E), "before/p.sdlppx (de-de/a.sdlxliff)");
  E.Document.clear();
  E.Reason.clear();
  EXPECT_EQ(FormatErrorLine(E), "Failed to read source file data!: before/p.sdlppx");
  EXPECT_EQ(ErrorPathText(E), "before/p.sdlppx");
}

TEST(RunError, SidesHaveTheirJsonNames) {
  EXPECT_STREQ(ErrorSideName(TErrorSide::esSource), "source");
  EXPECT_STREQ(ErrorSideName(TErrorSide::esEdited), "edited");
  EXPECT_STREQ(ErrorSideName(TErrorSide::esReport), "report");
}

TEST(RunError, ShortReasonKeepsTheFirstLineWithoutFullStop) {
  EXPECT_EQ(ShortReason("cannot write: No space left on device."), "cannot write: No space left on device");
  EXPECT_EQ(ShortReason("first line\r\nsecond line"), "first line");
  EXPECT_EQ(ShortReason("..."), "");
  EXPECT_EQ(ShortReason(""), "");
}
