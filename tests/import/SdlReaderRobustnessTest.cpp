// Bad input, stop requests and size: the reader answers clearly and never crashes or hangs.
#include <gtest/gtest.h>

#include <chrono>

#include "ImportTestSupport.h"
#include "LoggerUnit.h"

using namespace lexmora;
using namespace lexmora::test;

namespace {

const std::string kGoodUnit = "<trans-unit id=\"u\"><seg-source><mrk mtype=\"seg\" mid=\"1\">a</mrk></seg-source></trans-unit>";

// The log's error text grows by an entry naming AMethod while ARun runs.
template <typename F>
bool LogsErrorUnder(const std::string& AMethod, F ARun) {
  const std::size_t Before = Logger().GetLogFileErrorText().size();
  ARun();
  const std::string After = Logger().GetLogFileErrorText();
  return After.size() > Before && After.find(AMethod + " > ", Before) != std::string::npos;
}

struct TBadDoc {
  const char* Name;
  std::string Data;
};

std::vector<TBadDoc> BadDocs() {
  const std::string Good = SdlDoc(kGoodUnit);
  return {
      {"Empty", ""},
      {"OnlyBlanks", " \n\t "},
      {"OnlyABom", "\xEF\xBB\xBF"},
      {"Truncated", Good.substr(0, Good.size() / 2)},
      {"UnclosedElement", "<xliff><file><body>"},
      {"MismatchedEndTag", "<xliff><file></body></xliff>"},
      {"BadAttributeSyntax", "<xliff a=b/>"},
      {"NotUtf8Latin1", SdlDoc(kGoodUnit.substr(0, 50) + "caf\xE9" + kGoodUnit.substr(50))},
      {"NotUtf8Overlong", SdlDoc("<trans-unit id=\"\xC0\xAF\"/>")},
      {"NotUtf8Surrogate", SdlDoc("<trans-unit id=\"\xED\xA0\x80\"/>")},
      {"NotUtf8CutSequence", SdlDoc("") + "\xE2\x82"},
      {"BinaryGarbage", std::string("\x00\x01\x02\xFF\xFE\x00<x", 9)},
      {"ReferenceToASurrogate", SdlDoc("<trans-unit id=\"u\"><seg-source><mrk mtype=\"seg\" mid=\"1\">&#xD800;</mrk></seg-source></trans-unit>")},
      {"ReferencePastTheLastCharacter", SdlDoc("<trans-unit id=\"u\"><seg-source><mrk mtype=\"seg\" mid=\"1\">&#1366666666666;</mrk></seg-source></trans-unit>")},
      {"ReferenceInAnAttribute", SdlDoc("<trans-unit id=\"&#x110000;\"/>")},
  };
}

class SdlBadDocument : public testing::TestWithParam<TBadDoc> {};

TEST_P(SdlBadDocument, AnswersFalseLogsAndKeepsEarlierRecords) {
  TArrayOfDiffInfoRecord Records(2);
  Records[0].UnitID = "kept0";
  Records[1].UnitID = "kept1";
  bool Result = true;
  EXPECT_TRUE(LogsErrorUnder("TImporterFromGroup01.GetDataFromFile", [&] { Result = ReadSdl(GetParam().Data, Records); }));
  EXPECT_FALSE(Result);
  ASSERT_EQ(Records.size(), 2u);
  EXPECT_EQ(Records[0].UnitID, "kept0");
  EXPECT_EQ(Records[1].UnitID, "kept1");
}

INSTANTIATE_TEST_SUITE_P(Sdl, SdlBadDocument, testing::ValuesIn(BadDocs()),
                         [](const testing::TestParamInfo<TBadDoc>& AInfo) { return std::string(AInfo.param.Name); });

TEST(SdlReader, MissingFileAnswersFalseAndEmptyNameAnswersTrue) {
  TScratchDir Dir("missingdoc");
  TImporterFromGroup01 Reader(Dir / "Temp/", Dir / "a.sdlxliff", false);
  TArrayOfDiffInfoRecord Records;
  bool Result = true;
  EXPECT_TRUE(LogsErrorUnder("TImporterFromGroup01.GetDataFromFile",
                             [&] { Result = Reader.GetDataFromFile(Dir / "absent.sdlxliff", nullptr, Records); }));
  EXPECT_FALSE(Result);
  EXPECT_TRUE(Reader.GetDataFromFile("", nullptr, Records));
  EXPECT_TRUE(Records.empty());
}

TEST(SdlReader, UnreadableFileGivesNoLanguagesAndLogsUnderItsName) {
  TScratchDir Dir("badlang");
  WriteFile(Dir / "in/a.sdlxliff", "<xliff><file source-language=\"en\"");
  TImporterFromGroup01 Reader(Dir / "Temp/", Dir / "in/a.sdlxliff", false);
  ASSERT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrOk);
  EXPECT_TRUE(LogsErrorUnder("TImporterFromGroup01.DefineSrcAndTrgLanguages", [&] { Reader.DefineSrcAndTrgLanguages(); }));
  EXPECT_EQ(Reader.LangPair().SrcLang, "");
  EXPECT_EQ(Reader.LangPair().TrgLang, "");
  Reader.DeleteTmpDir();
}

TEST(SdlReader, StopBeforeTheWalkAppendsNothing) {
  TArrayOfDiffInfoRecord Records;
  int Queries = 0;
  EXPECT_TRUE(ReadSdl(SdlDoc(kGoodUnit), Records, [&] { return ++Queries > 0; }));
  EXPECT_TRUE(Records.empty());
  EXPECT_EQ(Queries, 1);
}

TEST(SdlReader, StopIsAskedBetweenFileChildrenNotInsideABody) {
  // Three files with two units each; stopping at the n-th query reads whole bodies only.
  std::string Doc = "<xliff>";
  for (int F = 0; F < 3; ++F) {
    Doc += "<file><header/><body>";
    for (int U = 0; U < 2; ++U)
      Doc += "<trans-unit id=\"f" + std::to_string(F) + "u" + std::to_string(U) +
             "\"><seg-source><mrk mtype=\"seg\" mid=\"1\">t</mrk></seg-source></trans-unit>";
    Doc += "</body></file>";
  }
  Doc += "</xliff>";
  // Queries: 1 before the root's children, then per file: 1 before the file, 1 before header, 1 before body.
  const std::size_t Expected[] = {0, 0, 0, 0, 2, 2, 2, 4, 4, 4, 6};
  for (int StopAt = 1; StopAt <= 11; ++StopAt) {
    TArrayOfDiffInfoRecord Records;
    int Queries = 0;
    EXPECT_TRUE(ReadSdl(Doc, Records, [&] { return ++Queries >= StopAt; }));
    EXPECT_EQ(Records.size(), Expected[StopAt - 1]) << "stop at query " << StopAt;
  }
}

TEST(SdlReader, WholeSequenceOnAFileWithBomAndCrLf) {
  TScratchDir Dir("sequence");
  WriteFile(Dir / "in/doc.sdlxliff",
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<xliff>\r\n<file source-language=\"fr-FR\" "
            "target-language=\"en-GB\">\r\n<body>\r\n" + kGoodUnit + "\r\n</body></file><file source-language=\"xx\"/></xliff>\r\n");
  TImporterFromGroup01 Reader(Dir / "Temp/", Dir / "in/doc.sdlxliff", false);
  ASSERT_EQ(Reader.ExtractFile(), TExtractFilesResult::efrOk);
  Reader.DefineSrcAndTrgLanguages();
  Reader.GetSrcFileNames();
  ASSERT_EQ(Reader.UnpackedFiles().size(), 1u);
  TArrayOfDiffInfoRecord Records;
  ASSERT_TRUE(Reader.GetDataFromFile(Reader.UnpackedFiles()[0], nullptr, Records));
  ASSERT_EQ(Records.size(), 1u);
  EXPECT_EQ(Records[0].FileName, Dir / "Temp/doc.sdlxliff");
  EXPECT_EQ(Records[0].SourceLang, "fr-FR");
  EXPECT_EQ(Records[0].TargetLang, "en-GB");
  Reader.DeleteTmpDir();
}

TEST(SdlReader, Utf16DocumentWithByteOrderMarkIsRead) {
  const std::string Utf8 = SdlDoc("<trans-unit id=\"u\"><seg-source><mrk mtype=\"seg\" mid=\"1\">\xC3\xA9</mrk></seg-source></trans-unit>");
  std::string Utf16 = "\xFF\xFE";
  for (const char C : Utf8) {  // the document is ASCII apart from the one e-acute
    if (static_cast<unsigned char>(C) == 0xC3) continue;
    Utf16 += static_cast<unsigned char>(C) == 0xA9 ? '\xE9' : C;
    Utf16 += '\0';
  }
  TArrayOfDiffInfoRecord Records;
  ASSERT_TRUE(ReadSdl(Utf16, Records));
  ASSERT_EQ(Records.size(), 1u);
  EXPECT_EQ(Records[0].SourceString, "\xC3\xA9");
}

// Nesting far deeper than any stack would take recursively, in every place the reader walks.
TEST(SdlReader, HundredThousandLevelsDeepAreWalkedWithoutRecursion) {
  constexpr int Depth = 100000;
  const auto Nest = [](const std::string& AOpen, const std::string& AClose, const std::string& AInner) {
    std::string S;
    S.reserve((AOpen.size() + AClose.size()) * Depth + AInner.size());
    for (int I = 0; I < Depth; ++I) S += AOpen;
    S += AInner;
    for (int I = 0; I < Depth; ++I) S += AClose;
    return S;
  };
  const std::string Defs = "<tag-defs><tag id=\"1\"><bpt>" + Nest("<i>", "</i>", "deep") + "</bpt><ept>e</ept></tag></tag-defs>";
  const std::string Body =
      Nest("<group>", "</group>",
           "<trans-unit id=\"u\"><seg-source>" + Nest("<g>", "</g>", "<mrk mtype=\"seg\" mid=\"1\">" + Nest("<g id=\"1\">", "</g>", "x") + "</mrk>") +
               "</seg-source><target>" + Nest("<q>", "</q>", "<mrk mtype=\"seg\" mid=\"1\">" + Nest("<mrk mtype=\"x-sdl-added\">", "</mrk>", "y") + "</mrk>") +
               "</target><sdl:seg-defs>" + Nest("<w>", "</w>", "<sdl:seg id=\"1\" percent=\"5\"/>") + "</sdl:seg-defs></trans-unit>");
  TArrayOfDiffInfoRecord Records;
  ASSERT_TRUE(ReadSdl(SdlDoc(Body, Defs), Records));
  ASSERT_EQ(Records.size(), 1u);
  EXPECT_EQ(Records[0].ResultStr, "y");
  EXPECT_EQ(Records[0].Match, "5");
  const std::string& Src = Records[0].SourceString;
  EXPECT_EQ(Src.substr(0, 20), "<x id=\"1\">deep</x><x");
  EXPECT_EQ(Src.size(), Depth * (std::string("<x id=\"1\">deep</x>").size() + std::string("<y id=\"1\">e</y>").size()) + 1);
  // And an unclosed deep document fails cleanly.
  TArrayOfDiffInfoRecord None;
  EXPECT_FALSE(ReadSdl("<xliff><file><body>" + Nest("<a>", "", "text"), None));
}

TEST(SdlReader, AttributesOfSeveralMegabytes) {
  const std::string HugeId(8 << 20, 'i');
  const std::string HugeText(4 << 20, 'b');
  std::string Entities;
  for (int I = 0; I < (1 << 20); ++I) Entities += "&amp;";
  const std::string Doc = SdlDoc("<trans-unit id=\"" + HugeId + "\" note=\"" + Entities +
                                     "\"><seg-source><mrk mtype=\"seg\" mid=\"1\"><x id=\"7\"/></mrk></seg-source></trans-unit>",
                                 "<tag-defs><tag id=\"7\"><ph>" + HugeText + "</ph></tag></tag-defs>");
  TArrayOfDiffInfoRecord Records;
  ASSERT_TRUE(ReadSdl(Doc, Records));
  ASSERT_EQ(Records.size(), 1u);
  EXPECT_EQ(Records[0].UnitID.size(), HugeId.size());
  EXPECT_EQ(Records[0].SourceString, "<z id=\"7\">" + HugeText + "</z>");
}

// A document of some 50 MB: many units, one unit with very many segments, and one tag definition
// per occurrence, as real files have. A quadratic lookup anywhere would not finish.
TEST(SdlReader, FiftyMegabyteDocumentIsReadInLinearTime) {
  constexpr int Units = 60000;
  constexpr int SegsInBigUnit = 40000;
  std::string Defs = "<tag-defs>";
  for (int I = 0; I < Units; ++I) Defs += "<tag id=\"" + std::to_string(I) + "\"><bpt>&lt;b&gt;</bpt><ept>&lt;/b&gt;</ept></tag>";
  Defs += "</tag-defs>";
  std::string Body;
  Body.reserve(52 << 20);
  const std::string Filler(500, 'w');
  for (int I = 0; I < Units; ++I) {
    const std::string Id = std::to_string(I);
    Body += "<trans-unit id=\"" + Id + "\"><seg-source><mrk mtype=\"seg\" mid=\"1\">Text <g id=\"" + Id + "\">" + Filler +
            "</g></mrk></seg-source><target><mrk mtype=\"seg\" mid=\"1\">Tekst</mrk></target><sdl:seg-defs><sdl:seg id=\"1\" "
            "percent=\"100\"/></sdl:seg-defs></trans-unit>";
  }
  std::string Src, Trg, SegDefs;
  for (int I = 0; I < SegsInBigUnit; ++I) {
    const std::string Mid = std::to_string(I);
    Src += "<mrk mtype=\"seg\" mid=\"" + Mid + "\">s</mrk>";
    Trg += "<mrk mtype=\"seg\" mid=\"" + Mid + "\">t" + Mid + "</mrk>";
    SegDefs += "<sdl:seg id=\"" + Mid + "\" percent=\"" + Mid + "\"/>";
  }
  Body += "<trans-unit id=\"big\"><seg-source>" + Src + "</seg-source><target>" + Trg + "</target><sdl:seg-defs>" + SegDefs +
          "</sdl:seg-defs></trans-unit>";
  const std::string Doc = SdlDoc(Body, Defs);
  ASSERT_GT(Doc.size(), 40u << 20);
  TArrayOfDiffInfoRecord Records;
  const auto Start = std::chrono::steady_clock::now();
  ASSERT_TRUE(ReadSdl(Doc, Records));
  const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  ASSERT_EQ(Records.size(), static_cast<std::size_t>(Units + SegsInBigUnit));
  EXPECT_EQ(Records[12345].SourceString, "Text <x id=\"12345\">&lt;b&gt;</x>" + Filler + "<y id=\"12345\">&lt;/b&gt;</y>");
  EXPECT_EQ(Records.back().ResultStr, "t" + std::to_string(SegsInBigUnit - 1));
  EXPECT_EQ(Records.back().Match, std::to_string(SegsInBigUnit - 1));
  // Generous bound: a linear read takes a second or two; a quadratic one would take hours.
  EXPECT_LT(Seconds, 60.0);
}

}  // namespace
