#include <gtest/gtest.h>

#include "ImportFromFileGroup01Unit.h"

using namespace lexmora;

TEST(SdlSmoke, ExampleOfTheTagConversion) {
  const std::string Doc = R"(<xliff><file source-language="en" target-language="de"><header><tag-defs>
<tag id="1"><bpt>&lt;cf bold="True"&gt;</bpt><ept>&lt;/cf&gt;</ept></tag><tag id="2"><ph>&lt;br/&gt;</ph></tag>
</tag-defs></header><body><trans-unit id=" 7 "><seg-source><mrk mtype="seg" mid="1">Press <g id="1">Start</g><x id="2"/> now</mrk></seg-source>
<target><mrk mtype="seg" mid="1"> Drücken </mrk></target><sdl:seg-defs><sdl:seg id="1" percent="0" locked="True"/></sdl:seg-defs></trans-unit></body></file></xliff>)";
  TImporterFromGroup01 R("/tmp/x/", "/in/a.sdlxliff", false);
  TArrayOfDiffInfoRecord Out;
  ASSERT_TRUE(R.GetDataFromText(Doc, "f", nullptr, Out));
  ASSERT_EQ(Out.size(), 1u);
  EXPECT_EQ(Out[0].SourceString,
            "Press <x id=\"1\">&lt;cf bold=&quot;True&quot;&gt;</x>Start<y id=\"1\">&lt;/cf&gt;</y><z id=\"2\">&lt;br/&gt;</z> now");
  EXPECT_EQ(Out[0].ResultStr, "Drücken");
  EXPECT_EQ(Out[0].UnitID, "7");
  EXPECT_EQ(Out[0].Match, "0");
  EXPECT_TRUE(Out[0].IsLocked);
}
