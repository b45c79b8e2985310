#include <gtest/gtest.h>

#include "IniFileUnit.h"

using namespace lexmora;

TEST(IniDocument, ReadsLeniently) {
  const TIniDocument Doc = TIniDocument::Parse(
      "\xEF\xBB\xBF"
      "orphan=1\r\n"
      "; comment\r\n"
      "  [ Main ]  \r\n"
      "  SaveFormSize   =  true  \r\n"
      "# another comment\n"
      "no equals sign\n"
      "=empty key\n"
      "Key=first\n"
      "KEY=second\n"
      "[Broken\n"
      "Lost=1\n"
      "[main]\n"
      "Later=yes\n"
      "Tail=a=b");
  EXPECT_EQ(Doc.Value("MAIN", "saveformsize").value_or("?"), "true");
  EXPECT_EQ(Doc.Value("Main", "key").value_or("?"), "first");  // the first occurrence wins
  EXPECT_EQ(Doc.Value("Main", "Later").value_or("?"), "yes");  // a repeated header continues the section
  EXPECT_EQ(Doc.Value("Main", "Tail").value_or("?"), "a=b");   // a value may hold '='; no final line break
  EXPECT_FALSE(Doc.Value("Main", "orphan"));
  EXPECT_FALSE(Doc.Value("Main", "Lost"));
  EXPECT_FALSE(Doc.Value("Main", "no equals sign"));
  EXPECT_FALSE(Doc.Value("Other", "Key"));
  ASSERT_EQ(Doc.Sections().size(), 1u);
}

TEST(IniDocument, WritesInOrderAndKeepsPlaces) {
  TIniDocument Doc = TIniDocument::Parse("[A]\nx=1\ny=2\nX=3\n[B]\nz=4\n");
  Doc.SetValue("a", "X", "9");  // keeps its place and first spelling, drops the duplicate
  Doc.SetValue("C", "w", "");
  Doc.SetValue("B", "v", "5");
  Doc.RemoveKey("b", "Z");
  EXPECT_EQ(Doc.ToText(), "[A]\nx=9\ny=2\n\n[B]\nv=5\n\n[C]\nw=\n");
  EXPECT_EQ(Doc.ToText("\r\n"), "[A]\r\nx=9\r\ny=2\r\n\r\n[B]\r\nv=5\r\n\r\n[C]\r\nw=\r\n");
  EXPECT_EQ(TIniDocument::Parse(Doc.ToText("\r\n")).ToText(), Doc.ToText());
}

TEST(IniDocument, EmptyAndGarbageTextGiveNoSections) {
  EXPECT_TRUE(TIniDocument::Parse("").Sections().empty());
  EXPECT_TRUE(TIniDocument::Parse(std::string("\0\0\xff\xfe garbage", 14)).Sections().empty());
  EXPECT_EQ(TIniDocument::Parse("").ToText(), "");
}
