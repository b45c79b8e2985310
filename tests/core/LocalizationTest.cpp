#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <vector>

#include "LocalizationUnit.h"

using namespace lexmora;

namespace {

constexpr auto EN = TLocalizationLanguare::llEN;
constexpr auto RU = TLocalizationLanguare::llRU;

std::vector<TMessageEntry> TableCopy() { return {MessageTable(), MessageTable() + MessageTableSize()}; }

std::size_t LeadingBlanks(const std::string& S) {
  return S.find_first_not_of(' ') == std::string::npos ? S.size() : S.find_first_not_of(' ');
}
std::size_t TrailingBlanks(const std::string& S) {
  const auto P = S.find_last_not_of(' ');
  return P == std::string::npos ? S.size() : S.size() - P - 1;
}

}  // namespace

TEST(Localization, TableHoldsEveryIdOnceAndIsSound) {
  ASSERT_EQ(MessageTableSize(), static_cast<std::size_t>(MessageCount));
  std::set<int> Ids;
  for (const TMessageEntry& E : TableCopy()) Ids.insert(E.Id);
  EXPECT_EQ(Ids.size(), static_cast<std::size_t>(MessageCount));
  EXPECT_EQ(*Ids.begin(), 0);
  EXPECT_EQ(*Ids.rbegin(), MessageCount - 1);
  EXPECT_TRUE(CheckLocalizationIds());
}

TEST(Localization, LookupsByIdAndLanguage) {
  EXPECT_EQ(GetLocalizedText(185, EN), "Memsource files");
  EXPECT_EQ(GetLocalizedText(TMsg::SourceNoSegments, RU), "В исходном файле не найдено ни одного сегмента!");
  EXPECT_EQ(GetLocalizedText(TMsg::EditedNoSegments, EN), "No segments found in the edited file!");
  EXPECT_EQ(GetLocalizedText(37, EN), " completed...");
  EXPECT_EQ(GetLocalizedText(120, EN), " is completed...");
  EXPECT_EQ(GetLocalizedText(121, EN), "Total progress: ");
  EXPECT_EQ(GetLocalizedText(0, RU), GetLocalizedText(0, EN));
  EXPECT_EQ(GetLocalizedText(0, EN), "Lexmora Comparison Tool v");
  for (const int Unknown : {-1, MessageCount, 1000}) {
    EXPECT_EQ(GetLocalizedText(Unknown, EN), "") << Unknown;
    EXPECT_EQ(GetLocalizedText(Unknown, RU), "") << Unknown;
  }
  EXPECT_EQ(GetLocalizedText(9, static_cast<TLocalizationLanguare>(7)), "");
}

TEST(Localization, RussianRowsThatFixTheRegister) {
  EXPECT_EQ(GetLocalizedText(9, RU), "Создать файл отличий");
  EXPECT_EQ(GetLocalizedText(38, RU), "Ошибка создания файла отличий!");
  EXPECT_EQ(GetLocalizedText(46, RU), "Чтение исходных файлов");
  EXPECT_EQ(GetLocalizedText(68, RU), "Построение отчета");
  EXPECT_EQ(GetLocalizedText(120, RU), " завершено...");
  EXPECT_EQ(GetLocalizedText(121, RU), "Общий прогресс: ");
}

// Exactly these rows read the same in both languages; every other row is translated.
TEST(Localization, RussianRepeatsEnglishOnlyWhereIntended) {
  const std::set<int> Same = {0,   70,  74,  86,  103, 107, 119, 150, 153, 156,
                              166, 167, 168, 170, 171, 172, 179, 194, 255, 256};
  for (const TMessageEntry& E : TableCopy()) {
    if (Same.count(E.Id)) {
      EXPECT_STREQ(E.Ru, E.En) << "id " << E.Id;
    } else {
      EXPECT_STRNE(E.Ru, E.En) << "id " << E.Id << " is not translated";
    }
  }
}

// Callers glue fragments together, so the blanks at both ends must match between columns.
TEST(Localization, LeadingAndTrailingBlanksMatchBetweenColumns) {
  for (const TMessageEntry& E : TableCopy()) {
    const std::string En = E.En, Ru = E.Ru;
    EXPECT_EQ(LeadingBlanks(En), LeadingBlanks(Ru)) << "id " << E.Id;
    EXPECT_EQ(TrailingBlanks(En), TrailingBlanks(Ru)) << "id " << E.Id;
    EXPECT_EQ(En.empty(), false) << "id " << E.Id;
    EXPECT_EQ(Ru.empty(), false) << "id " << E.Id;
  }
}

TEST(Localization, TypographicApostropheKept) {
  const std::string Apostrophe = "\u2019";
  EXPECT_EQ(GetLocalizedText(123, EN), " Program" + Apostrophe + "s options: ");
  EXPECT_EQ(GetLocalizedText(178, EN),
            "Close the infobar and don" + Apostrophe + "t remind me about this update version");
}

TEST(Localization, DescribedEntriesCarryTheirLinks) {
  for (const auto Lang : {EN, RU}) {
    // Credit footer: an image, a grey text and a link, in rich-label markup.
    EXPECT_TRUE(std::regex_match(
        GetLocalizedText(145, Lang),
        std::regex(R"(<i 7><t [^<>|]+\| c:\$999999><a Lexmora \| https://lexmora\.example \| c:\$cc9999>)")))
        << GetLocalizedText(145, Lang);
    EXPECT_EQ(GetLocalizedText(153, Lang), R"(<a href="https://lexmora.example">Lexmora</a>)");
    EXPECT_EQ(GetLocalizedText(156, Lang), R"(<a href="mailto:feedback@lexmora.example">feedback@lexmora.example</a>)");
    EXPECT_NE(GetLocalizedText(154, Lang).find("https://lexmora.example"), std::string::npos);
    EXPECT_NE(GetLocalizedText(157, Lang).find("feedback@lexmora.example"), std::string::npos);
    EXPECT_NE(
        GetLocalizedText(174, Lang).find(R"(<a href="http://update.lexmora.example/update/update_click_Morvane.php">)"),
        std::string::npos);
  }
  EXPECT_EQ(
      GetLocalizedText(174, EN),
      R"( is available for download via <a href="http://update.lexmora.example/update/update_click_Morvane.php">the link</a>.)");
}

TEST(Localization, SelfTestCatchesABrokenTable) {
  struct TCase {
    const char* Name;
    void (*Break)(std::vector<TMessageEntry>&);
  };
  const TCase Cases[] = {
      {"English emptied", [](std::vector<TMessageEntry>& T) { T[40].En = ""; }},
      {"Russian emptied", [](std::vector<TMessageEntry>& T) { T.back().Ru = ""; }},
      {"Russian missing", [](std::vector<TMessageEntry>& T) { T[3].Ru = nullptr; }},
      {"id duplicated", [](std::vector<TMessageEntry>& T) { T[100].Id = T[7].Id; }},
      {"entry repeated", [](std::vector<TMessageEntry>& T) { T.push_back(T.front()); }},
  };
  const std::vector<TMessageEntry> Sound = TableCopy();
  EXPECT_TRUE(CheckLocalizationTable(Sound.data(), Sound.size()));
  for (const TCase& C : Cases) {
    std::vector<TMessageEntry> T = Sound;
    C.Break(T);
    EXPECT_FALSE(CheckLocalizationTable(T.data(), T.size())) << C.Name;
  }
}

TEST(FloatToRoundedStr, RoundsHalvesToEvenAndTrimsZeros) {
  const struct {
    int Digits;
    double Value;
    const char* Expected;
  } Rows[] = {
      {1, 93.75, "93.8"},
      {2, 50, "50"},
      {2, 0.05, "0.05"},
      {0, -12.5, "-12"},
      {1, -0.04, "0"},
      {1, 0.25, "0.2"},
      {1, 0.75, "0.8"},
      {0, 2.5, "2"},
      {0, 3.5, "4"},
      {0, -2.5, "-2"},
      {0, -0.5, "0"},
      {2, 0.125, "0.12"},
      {2, 0.375, "0.38"},
      {1, -0.25, "-0.2"},
      {2, -0.05, "-0.05"},
      {1, 10.04, "10"},
      {2, 1234.5, "1234.5"},
      {3, 1, "1"},
      {2, 0, "0"},
      {2, 42, "42"},
      {2, 100, "100"},
      {0, 0, "0"},
      {2, -1234.567, "-1234.57"},
      {4, 0.0001, "0.0001"},
  };
  for (const auto& R : Rows) {
    EXPECT_EQ(FloatToRoundedStr(static_cast<std::uint8_t>(R.Digits), R.Value, "."), R.Expected)
        << R.Value << " with " << R.Digits << " digits";
  }
}

TEST(FloatToRoundedStr, UsesTheGivenSeparator) {
  EXPECT_EQ(FloatToRoundedStr(1, 93.75, ","), "93,8");
  EXPECT_EQ(FloatToRoundedStr(2, -0.5, ","), "-0,5");
  EXPECT_EQ(FloatToRoundedStr(2, 7, ","), "7");
}
