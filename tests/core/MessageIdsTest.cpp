#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "LocalizationUnit.h"
#include "MessageIds.h"

using namespace lexmora;

namespace {

constexpr auto EN = TLocalizationLanguare::llEN;

std::string En(TMsg AId) { return GetLocalizedText(AId, EN); }

// Name -> id of every named message.
std::map<std::string, int> NamedIds() {
  std::map<std::string, int> R;
  for (const TMsgName& N : kMsgNames) R.emplace(N.Name, static_cast<int>(N.Id));
  return R;
}

}  // namespace

TEST(MessageIds, EveryTableIdHasExactlyOneNameAndEveryNameIsInTheTable) {
  std::set<int> TableIds;
  for (std::size_t I = 0; I < MessageTableSize(); ++I) TableIds.insert(MessageTable()[I].Id);
  std::multiset<int> NameIds;
  std::set<std::string> Names;
  for (const TMsgName& N : kMsgNames) {
    NameIds.insert(static_cast<int>(N.Id));
    EXPECT_TRUE(Names.insert(N.Name).second) << "name given twice: " << N.Name;
    EXPECT_EQ(TableIds.count(static_cast<int>(N.Id)), 1u) << N.Name << " names no table entry";
  }
  for (const int Id : TableIds) EXPECT_EQ(NameIds.count(Id), 1u) << "id " << Id << " has no name or several";
  EXPECT_EQ(std::size(kMsgNames), MessageTableSize());
}

TEST(MessageIds, NameAndNumberGiveTheSameText) {
  for (const TMsgName& N : kMsgNames)
    for (const auto Lang : {TLocalizationLanguare::llEN, TLocalizationLanguare::llRU})
      EXPECT_EQ(GetLocalizedText(N.Id, Lang), GetLocalizedText(static_cast<int>(N.Id), Lang)) << N.Name;
}

// The names say what the texts are: the source and edited families differ at most in that word,
// and the HTML and XLSX report captions of the same role carry the same text.
TEST(MessageIds, SourceAndEditedNamesOfOneRoleDifferOnlyInTheSide) {
  const auto Ids = NamedIds();
  int Pairs = 0;
  for (const auto& [Name, Id] : Ids) {
    if (Name.rfind("Source", 0) != 0 || Name == "SourceListCaption") continue;
    const auto Edited = Ids.find("Edited" + Name.substr(6));
    ASSERT_NE(Edited, Ids.end()) << Name << " has no edited counterpart";
    // The temporary-folder texts name no side and are the same on both.
    std::string Expected = GetLocalizedText(Id, EN);
    if (const std::size_t At = Expected.find("source"); At != std::string::npos)
      Expected.replace(At, 6, "edited");
    else if (const std::size_t Cap = Expected.find("Source"); Cap != std::string::npos)
      Expected.replace(Cap, 6, "Edited");
    EXPECT_EQ(GetLocalizedText(Edited->second, EN), Expected) << Name;
    ++Pairs;
  }
  EXPECT_EQ(Pairs, 11);
  EXPECT_EQ(En(TMsg::ReadSourceFilesOperation), "Read of the source files");
  EXPECT_EQ(En(TMsg::ReadEditedFilesOperation), "Read of the edited files");
}

TEST(MessageIds, HtmlAndXlsxCaptionsOfOneRoleHaveOneText) {
  const auto Ids = NamedIds();
  int Pairs = 0;
  for (const auto& [Name, Id] : Ids) {
    if (Name.rfind("Html", 0) != 0 || Name == "HtmlNoDifferences") continue;
    const auto Xlsx = Ids.find("Xlsx" + Name.substr(4));
    ASSERT_NE(Xlsx, Ids.end()) << Name << " has no XLSX counterpart";
    for (const auto Lang : {TLocalizationLanguare::llEN, TLocalizationLanguare::llRU})
      EXPECT_EQ(GetLocalizedText(Id, Lang), GetLocalizedText(Xlsx->second, Lang)) << Name;
    ++Pairs;
  }
  EXPECT_EQ(Pairs, 17);
}

TEST(MessageIds, SpotChecksOfWhatTheNamesSay) {
  EXPECT_EQ(En(TMsg::ReportCreated), "Comparison report has been successfully created:");
  EXPECT_EQ(En(TMsg::ReportFailed), "Comparison report failed!");
  EXPECT_EQ(En(TMsg::ComparisonHadErrors), "Comparison process contained errors:");
  EXPECT_EQ(En(TMsg::OperationCompleted), " completed...");
  EXPECT_EQ(En(TMsg::ProgressOperationCompleted), " is completed...");
  EXPECT_EQ(En(TMsg::XlsxPackFailed), "Error when packing the result in xlsx file!");
  EXPECT_EQ(En(TMsg::XlsxSheetFailed), "Create sheet1.xml failed!");
  EXPECT_EQ(En(TMsg::FilterMemsourceFiles), "Memsource files");
  EXPECT_EQ(En(TMsg::AlreadyRunning), "LexmoraCT is already running.");
  EXPECT_EQ(En(TMsg::SourceNoProcessor), "Processor of the indicated source file was not found!");
}
