#include <gtest/gtest.h>

#include <random>
#include <string>

#include "XmlEscapeUnit.h"

using namespace lexmora;

TEST(EscapeXmlText, ReplacesTheFiveSpecialCharacters) {
  const struct {
    const char* In;
    const char* Out;
  } Rows[] = {
      {"a<b & \"c\"", "a&lt;b &amp; &quot;c&quot;"},
      {"&amp;", "&amp;amp;"},
      {"it's > 2", "it&apos;s &gt; 2"},
      {"", ""},
      {"<<&&>>", "&lt;&lt;&amp;&amp;&gt;&gt;"},
      {"plain text", "plain text"},
      // Multi-byte UTF-8, including a character outside the BMP, passes through unchanged.
      {"Привет \xF0\x9F\x98\x80 <ü>", "Привет \xF0\x9F\x98\x80 &lt;ü&gt;"},
  };
  for (const auto& R : Rows) EXPECT_EQ(EscapeXmlText(R.In), R.Out) << R.In;
}

// One pass, appended in pieces, gives what the five ordered replace-all passes give.
TEST(EscapeXmlText, AgreesWithTheOrderedReplacements) {
  const auto ReplaceAll = [](std::string AText, const std::string& AFrom, const std::string& ATo) {
    for (std::size_t P = AText.find(AFrom); P != std::string::npos; P = AText.find(AFrom, P + ATo.size()))
      AText.replace(P, AFrom.size(), ATo);
    return AText;
  };
  std::minstd_rand Rng(5);
  const std::string Alphabet = "ab&<>\"' \xC3\xA9;";
  for (int Round = 0; Round < 500; ++Round) {
    std::string Text;
    for (int I = static_cast<int>(Rng() % 30); I > 0; --I) Text += Alphabet[Rng() % Alphabet.size()];
    std::string Expected = ReplaceAll(Text, "&", "&amp;");
    Expected = ReplaceAll(Expected, "<", "&lt;");
    Expected = ReplaceAll(Expected, ">", "&gt;");
    Expected = ReplaceAll(Expected, "\"", "&quot;");
    Expected = ReplaceAll(Expected, "'", "&apos;");
    EXPECT_EQ(EscapeXmlText(Text), Expected);
    std::string Appended = "prefix";
    AppendEscapedXmlText(Appended, Text);
    EXPECT_EQ(Appended, "prefix" + Expected);
  }
}

// Each form over every byte value: the five reserved characters, then the C0 controls as the
// form says, and every other byte (UTF-8 included) copied.
TEST(AppendEscapedXmlText, EachFormReplacesExactlyItsCharacters) {
  using enum TXmlEscaping;
  const auto Numeric = [](int C) { return "&#" + std::to_string(C) + ";"; };
  for (int B = 0; B < 256; ++B) {
    const std::string In(1, static_cast<char>(B));
    const bool Reserved = In.find_first_of("&<>\"'") == 0;
    const bool Control = B < 0x20;
    const bool TabOrLineFeed = B == '\t' || B == '\n';
    const auto Escaped = [&](TXmlEscaping AEscaping) {
      std::string Out;
      AppendEscapedXmlText(Out, In, AEscaping);
      return Out;
    };
    EXPECT_EQ(Escaped(xeNumeric), Reserved ? Numeric(B) : In) << B;
    EXPECT_EQ(Escaped(xeNumericText), Reserved || (Control && !TabOrLineFeed) ? Numeric(B) : In) << B;
    EXPECT_EQ(Escaped(xeNumericAttribute), Reserved || Control ? Numeric(B) : In) << B;
    if (!Reserved) {
      EXPECT_EQ(Escaped(xeEntities), In) << B;
    }
  }
}

// The numeric form is the entity form with each entity spelled as its number, in any text.
TEST(AppendEscapedXmlText, NumericFormAgreesWithTheEntityForm) {
  const std::pair<std::string, std::string> kSpellings[] = {
      {"&amp;", "&#38;"}, {"&lt;", "&#60;"}, {"&gt;", "&#62;"}, {"&quot;", "&#34;"}, {"&apos;", "&#39;"}};
  std::minstd_rand Rng(11);
  const std::string Alphabet = "ab&<>\"' \xC3\xA9;#";
  for (int Round = 0; Round < 300; ++Round) {
    std::string Text;
    for (int I = static_cast<int>(Rng() % 30); I > 0; --I) Text += Alphabet[Rng() % Alphabet.size()];
    std::string Expected;
    const std::string Entities = EscapeXmlText(Text);
    for (std::size_t P = 0; P < Entities.size();) {
      bool Spelled = false;
      for (const auto& [Entity, Number] : kSpellings) {
        if (Entities.compare(P, Entity.size(), Entity) != 0) continue;
        Expected += Number;
        P += Entity.size();
        Spelled = true;
        break;
      }
      if (!Spelled) Expected += Entities[P++];
    }
    std::string Numeric = "prefix";
    AppendEscapedXmlText(Numeric, Text, TXmlEscaping::xeNumeric);
    EXPECT_EQ(Numeric, "prefix" + Expected) << Text;
  }
}
