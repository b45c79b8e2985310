// The per-segment CSV export.
#include <gtest/gtest.h>

#include "CsvSegmentsUnit.h"
#include "InternalTagParseUnit.h"

namespace lexmora {

TEST(CsvSegments, FieldsQuotedOnlyWhereTheyNeedIt) {
  TCsvSegmentTable Table;
  const std::string Header = Table.Text();
  ASSERT_TRUE(Header.starts_with("\xEF\xBB\xBFrow,document,"));
  ASSERT_TRUE(Header.ends_with(",edited_text\r\n"));
  TMetricSums M;
  M.Ter = {1, 3};
  M.WordEdit = {1, 4};
  TCsvSegment S;
  S.Row = 7;
  S.Document = "a,b.sdlxliff";
  S.Match = "100";
  S.Locked = true;
  S.EditSteps = 1;
  S.Length = 3;
  S.Metrics = &M;
  S.SourceWords = 3;
  S.SourceCharacters = 12;
  S.Band = "50-74";
  S.SourceText = "say \"hi\"";
  S.TranslatedText = "line\nbreak";
  S.EditedText = "\xC3\xBC";
  Table.Add(S);
  EXPECT_EQ(Table.Text().substr(Header.size()),
            "7,\"a,b.sdlxliff\",,,,,100,1,67,75,33.33,0,3,12,50-74,\"say \"\"hi\"\"\",\"line\nbreak\",\xC3\xBC\r\n");
  // A segment the report leaves out has no row number; one with empty texts no ED.
  TCsvSegment Hidden;
  Table.Add(Hidden);
  EXPECT_TRUE(Table.Text().ends_with("\r\n,,,,,,,0,,100,0,0,0,0,,,,\r\n"));
}

TEST(CsvSegments, TagsAsTheirDisplayText) {
  TTagDict Dict;
  TTagIDDict Ids;
  const std::u32string Symbols =
      ConvertTagsToSymbols("A <x id=\"1\">&lt;b a=&quot;1&quot;&gt;</x>B<z id=\"2\">{&amp;2}</z>&#38;", Dict, Ids);
  ASSERT_EQ(Dict.size(), 2u);
  EXPECT_EQ(TextWithTagDisplay(Symbols, Dict), "A <b a=\"1\">B{&2}&");
  // A text that merely looks like a reference, or a broken one, stays as it is.
  TTagDict One = {TTagDictRec{std::u32string(1, TagSymbolChars[0]), TTagType::ttFull, "&#x41;&nope;&#;&#1a;&"}};
  EXPECT_EQ(TextWithTagDisplay(std::u32string(1, TagSymbolChars[0]), One), "A&nope;&#;&#1a;&");
}

TEST(CsvSegments, NameBesideTheReport) {
  EXPECT_EQ(CsvFileNameFor("/out/Result_1_en_de.html"), "/out/Result_1_en_de.csv");
  EXPECT_EQ(CsvFileNameFor("/out.d/Result"), "/out.d/Result.csv");
  EXPECT_EQ(CsvFileNameFor("C:\\r.x\\Result_en.xlsx"), "C:\\r.x\\Result_en.csv");
}

}  // namespace lexmora
