#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "AppInfoUnit.h"
#include "LoggerUnit.h"
#include "ProgramPathsUnit.h"
#include "Settings.h"
#include "ShellTestSupport.h"

using namespace lexmora;
using namespace lexmora::test_support;
namespace fs = std::filesystem;

namespace {

TSettings Loaded(const std::string& AIniText) {
  TSettings S;
  ApplySettingsText(S, AIniText);
  return S;
}

// Only the first line of the file that holds AKey.
std::string LineOf(const std::string& AText, const std::string& AKey) {
  const std::size_t P = AText.find("\n" + AKey + "=");
  if (P == std::string::npos) return {};
  return AText.substr(P + 1, AText.find('\n', P + 1) - P - 1);
}

}  // namespace

TEST(Settings, NoFileGivesEveryDefault) {
  TScratchDir Dir("settings-defaults");
  TSettings S;
  S.SaveFormSize = true;  // proves that loading overwrites it
  EXPECT_TRUE(LoadSettingsFrom(S, (Dir / "Settings.ini").string()));
  EXPECT_FALSE(S.SaveFormSize);
  EXPECT_FALSE(S.SaveFormPos);
  EXPECT_FALSE(S.SaveDiffSettings);
  EXPECT_FALSE(S.ClearFileList);
  EXPECT_EQ(S.LangIndex, TLocalizationLanguare::llEN);
  EXPECT_EQ(S.LastFormPosX, -1);
  EXPECT_EQ(S.LastFormPosY, -1);
  EXPECT_EQ(S.LastFormPosW, -1);
  EXPECT_EQ(S.LastFormPosH, -1);
  EXPECT_FALSE(S.LastFormIsMaximized);
  EXPECT_EQ(S.ShowTagsFormat, TShowTagsFormat::stfShort);
  EXPECT_TRUE(S.Def_HideEquivalentString);
  EXPECT_FALSE(S.Def_DoNotSeparateSpaces);
  EXPECT_TRUE(S.Def_FillDiffRowColored);
  EXPECT_TRUE(S.Def_ShowTags);
  EXPECT_EQ(S.Def_ResultFileFormat, TResultFileFormat::rffHTML);
  EXPECT_TRUE(S.Curr_HideEquivalentString);
  EXPECT_FALSE(S.Curr_DoNotSeparateSpaces);
  EXPECT_TRUE(S.Curr_FillDiffRowColored);
  EXPECT_TRUE(S.Curr_ShowTags);
  EXPECT_EQ(S.Curr_ResultFileFormat, TResultFileFormat::rffHTML);
  EXPECT_EQ(S.LastNewVersion, "");
  EXPECT_EQ(S.LastNewVersionNotify, "");
  EXPECT_EQ(FormatIniDateTime(S.LastUpdateCheckDT), "2000-01-01 12:00:00");
  EXPECT_FALSE(fs::exists(Dir / "Settings.ini"));  // loading never creates the file
}

TEST(Settings, DefaultsAreWrittenInTheFileLayout) {
  TScratchDir Dir("settings-golden-defaults");
  TSettings S;
  ASSERT_TRUE(LoadSettingsFrom(S, (Dir / "Settings.ini").string()));
  ASSERT_TRUE(SaveSettingsTo(S, (Dir / "Settings.ini").string()));
  EXPECT_EQ(ReadFile(Dir / "Settings.ini"), ReadFile(ShellDataDir() / "settings" / "defaults.ini"));
}

TEST(Settings, OnlyTheExactTextTrueIsTrue) {
  for (const char* Text : {"True", "TRUE", "1", "yes", "", "true "}) {
    // A blank after the value is trimmed; the others are other texts and read as false.
    const bool Expected = std::string(Text) == "true ";
    const TSettings S = Loaded(std::string("[Main]\nSaveFormSize=") + Text + "\n[Default]\nShowTags=" + Text + "\n");
    EXPECT_EQ(S.SaveFormSize, Expected) << Text;
    EXPECT_EQ(S.Def_ShowTags, Expected) << Text;  // default true, but a stored other text is false
  }
}

TEST(Settings, UnknownCodesReadAsDefaultsAndAreWrittenBackAsTheirCodes) {
  const TSettings S =
      Loaded("[Main]\nLangIndex=7\nShowTagsFormat=0\n[Default]\nResFileFormat=3\n[Last]\nResFileFormat=-2\n");
  EXPECT_EQ(S.LangIndex, TLocalizationLanguare::llEN);
  EXPECT_EQ(S.ShowTagsFormat, TShowTagsFormat::stfShort);
  EXPECT_EQ(S.Def_ResultFileFormat, TResultFileFormat::rffHTML);
  const std::string Saved = BuildSettingsText(S);
  EXPECT_EQ(LineOf(Saved, "LangIndex"), "LangIndex=0");
  EXPECT_EQ(LineOf(Saved, "ShowTagsFormat"), "ShowTagsFormat=1");
  EXPECT_NE(Saved.find("[Default]\nHideEquivalentString=true\nDoNotSeparateSpaces=false\nFillDiffRowColored=true\n"
                       "ShowTags=true\nResFileFormat=1\n"),
            std::string::npos)
      << Saved;
}

TEST(Settings, KnownCodesReadAsTheirValues) {
  const TSettings S =
      Loaded("[Main]\nLangIndex=1\nShowTagsFormat=3\n[Default]\nResFileFormat=2\n[Last]\nResFileFormat=2\n");
  EXPECT_EQ(S.LangIndex, TLocalizationLanguare::llRU);
  EXPECT_EQ(S.ShowTagsFormat, TShowTagsFormat::stfFull);
  EXPECT_EQ(S.Def_ResultFileFormat, TResultFileFormat::rffXLSX);
  EXPECT_EQ(S.Curr_ResultFileFormat, TResultFileFormat::rffXLSX);
  const std::string Saved = BuildSettingsText(S);
  EXPECT_EQ(LineOf(Saved, "LangIndex"), "LangIndex=1");
  EXPECT_EQ(LineOf(Saved, "ShowTagsFormat"), "ShowTagsFormat=3");
  EXPECT_EQ(LineOf(Saved, "ResFileFormat"), "ResFileFormat=2");
}

TEST(Settings, IntegersThatAreNoIntegersGiveTheDefault) {
  const struct {
    const char* Text;
    int Expected;
  } Rows[] = {{"abc", -1},
              {"", -1},
              {"12abc", -1},
              {"1.5", -1},
              {"99999999999", -1},
              {"-0x10", -1},
              {"0", 0},
              {"+5", 5},
              {"  -20 ", -20},
              {"2147483647", 2147483647},
              {"-2147483648", -2147483647 - 1}};
  for (const auto& Row : Rows) {
    const TSettings S = Loaded(std::string("[Main]\nFormPosX=") + Row.Text + "\n");
    EXPECT_EQ(S.LastFormPosX, Row.Expected) << "'" << Row.Text << "'";
  }
}

TEST(Settings, ABadDateGivesTheDefaultDate) {
  for (const char* Text : {"yesterday", "2021-02-29 10:00:00", "2021-4-01 09:05:00", "2021-04-01 24:00:00",
                           "2021-04-01T09:05:00", "2021-04-01 09:05", "2021/04/01 09:05:00", "2021-13-01 09:05:00"}) {
    const TSettings S = Loaded(std::string("[UpdateCheck]\nLastCheckDT=") + Text + "\n");
    EXPECT_EQ(FormatIniDateTime(S.LastUpdateCheckDT), "2000-01-01 12:00:00") << Text;
  }
  const TSettings Leap = Loaded("[UpdateCheck]\nLastCheckDT=2024-02-29 23:59:59\n");
  EXPECT_EQ(FormatIniDateTime(Leap.LastUpdateCheckDT), "2024-02-29 23:59:59");
}

TEST(Settings, AWrittenDateReadsBackToTheSecond) {
  std::mt19937 Rng(20260101);
  const TDateTime From{1970, 1, 1, 0, 0, 0};
  const TDateTime To{2100, 12, 31, 23, 59, 59};
  std::uniform_int_distribution<std::int64_t> Dist(From.ToSeconds(), To.ToSeconds());
  for (int I = 0; I < 500; ++I) {
    TSettings S;
    S.LastUpdateCheckDT = TDateTime::FromSeconds(Dist(Rng));
    const TSettings Back = Loaded(BuildSettingsText(S));
    ASSERT_EQ(Back.LastUpdateCheckDT, S.LastUpdateCheckDT) << FormatIniDateTime(S.LastUpdateCheckDT);
  }
  TSettings Now;
  Now.LastUpdateCheckDT = NowLocalDateTime();
  EXPECT_EQ(Loaded(BuildSettingsText(Now)).LastUpdateCheckDT, Now.LastUpdateCheckDT);
}

TEST(Settings, LastVersionNotifyIsWrittenOnlyWhenSet) {
  TSettings S = Loaded("");
  S.LastNewVersion = "";
  std::string Saved = BuildSettingsText(S);
  EXPECT_EQ(LineOf(Saved, "LastNewVersion"), "LastNewVersion=");  // always written, even empty
  EXPECT_EQ(Saved.find("LastVersionNotify"), std::string::npos);
  S.LastNewVersion = "3.9";
  S.LastNewVersionNotify = "3.9";
  Saved = BuildSettingsText(S);
  EXPECT_NE(Saved.find("[UpdateCheck]\nLastNewVersion=3.9\nLastVersionNotify=3.9\nLastCheckDT=2000-01-01 12:00:00\n"),
            std::string::npos)
      << Saved;
  EXPECT_EQ(Loaded(Saved).LastNewVersionNotify, "3.9");
}

TEST(Settings, AValueNeverBreaksTheFileLayout) {
  TSettings S = Loaded("");
  S.LastNewVersion = "3.9\r\n[Main]\nSaveFormSize=true";  // as a hostile server answer might give it
  const TSettings Back = Loaded(BuildSettingsText(S));
  EXPECT_EQ(Back.LastNewVersion, "3.9");
  EXPECT_FALSE(Back.SaveFormSize);
}

// A file written by hand or by another version: names in any case, blanks, CR LF, comments, keys of
// its own. Loading and saving it gives the golden file; loading and saving that gives it again.
TEST(Settings, LoadSaveRoundTripMatchesTheGoldenFile) {
  TScratchDir Dir("settings-roundtrip");
  const fs::path File = Dir / "Settings.ini";
  fs::copy_file(ShellDataDir() / "settings" / "hand_edited_crlf.ini", File);
  TSettings S;
  ASSERT_TRUE(LoadSettingsFrom(S, File.string()));
  EXPECT_TRUE(S.SaveFormSize);
  EXPECT_TRUE(S.SaveFormPos);
  EXPECT_FALSE(S.SaveDiffSettings);  // "True"
  EXPECT_EQ(S.LangIndex, TLocalizationLanguare::llRU);
  EXPECT_EQ(S.LastFormPosX, 120);
  EXPECT_EQ(S.LastFormPosW, 800);
  EXPECT_EQ(S.ShowTagsFormat, TShowTagsFormat::stfID);
  EXPECT_EQ(S.Curr_ResultFileFormat, TResultFileFormat::rffXLSX);
  EXPECT_EQ(S.LastNewVersion, "3.9");
  EXPECT_EQ(FormatIniDateTime(S.LastUpdateCheckDT), "2021-04-01 09:05:00");
  EXPECT_EQ(S.Cost.Rates, (std::vector<TBandRate>{{100, 0}, {90, 33.5}, {0, 100}}));
  EXPECT_EQ(S.Cost.WordPrice, 0.125);
  EXPECT_EQ(S.Cost.Currency, "\u20BD");
  EXPECT_TRUE(S.WriteCsv);
  ASSERT_TRUE(SaveSettingsTo(S, File.string()));
  const std::string Golden = ReadFile(ShellDataDir() / "settings" / "hand_edited_saved.ini");
  EXPECT_EQ(ReadFile(File), Golden);

  TSettings Again;
  ASSERT_TRUE(LoadSettingsFrom(Again, File.string()));
  ASSERT_TRUE(SaveSettingsTo(Again, File.string()));
  EXPECT_EQ(ReadFile(File), Golden);
}

TEST(Settings, MetricsValuesTheDialogWouldRefuseReadAsNone) {
  const TSettings S = Loaded("[Metrics]\nRates=100:0,95\nWordPrice=0,12\nCurrency=\x01\nWriteCsv=yes\n");
  EXPECT_FALSE(S.Cost.HasRates());
  EXPECT_FALSE(S.Cost.WordPrice);
  EXPECT_EQ(S.Cost.Currency, "");
  EXPECT_FALSE(S.WriteCsv);
}

TEST(Settings, AnUnwritableFileGivesFalseAndAWarning) {
  TScratchDir Dir("settings-unwritable");
  WriteFile(Dir / "not-a-folder", "x");
  TSettings S = Loaded("");
  // A regular file where the folder should be: refused even for the superuser.
  EXPECT_FALSE(SaveSettingsTo(S, (Dir / "not-a-folder" / "Settings.ini").string()));
  // A folder in place of the file: the temporary file is written, the rename fails, nothing stays.
  fs::create_directories(Dir / "Settings.ini" / "inside");
  EXPECT_FALSE(SaveSettingsTo(S, (Dir / "Settings.ini").string()));
  std::size_t Entries = 0;
  for ([[maybe_unused]] const auto& E : fs::directory_iterator(Dir.Path())) ++Entries;
  EXPECT_EQ(Entries, 2u) << "a temporary file was left behind";
  EXPECT_TRUE(fs::is_directory(Dir / "Settings.ini" / "inside"));
  const std::string Log = ReadFile(Logger().LogFileName());
  EXPECT_NE(Log.find("[W] - The settings were not saved: "), std::string::npos) << Log;
  // A folder of that name also cannot be loaded: false, and the defaults.
  S.SaveFormPos = true;
  EXPECT_FALSE(LoadSettingsFrom(S, (Dir / "Settings.ini").string()));
  EXPECT_FALSE(S.SaveFormPos);
  EXPECT_EQ(S.LastFormPosX, -1);
}

TEST(Settings, SavingReplacesTheFileWhole) {
  TScratchDir Dir("settings-replace");
  const fs::path File = Dir / "Settings.ini";
  WriteFile(File, std::string(100000, ';') + "\n[Main]\nSaveFormSize=true\n");  // long comment line
  TSettings S = Loaded(ReadFile(File));
  EXPECT_TRUE(S.SaveFormSize);
  S.SaveFormSize = false;
  ASSERT_TRUE(SaveSettingsTo(S, File.string()));
  EXPECT_EQ(ReadFile(File), ReadFile(ShellDataDir() / "settings" / "defaults.ini"));
  EXPECT_EQ(fs::status(File).permissions() & fs::perms::others_read, fs::perms::others_read);
}

TEST(Settings, TheGlobalRecordUsesTheProgramFolders) {
  TScratchDir Dir("settings-global");
  SetProgramDataDirOverride(Dir.Path().string());
  InitSettingsPaths();
  EXPECT_EQ(ProgrammSettings.IniFileFullName, (Dir / "Settings.ini").string());
  EXPECT_EQ(ProgrammSettings.PathToTempDir, (Dir / "Temp").string() + "/");
  EXPECT_EQ(ProgrammSettings.PathToResDir, (Dir / "Results").string() + "/");
  EXPECT_EQ(ProgrammSettings.PathToHomeDir, ExecutableDir() + "/");
  WriteFile(Dir / "Settings.ini", "[main]\nsaveformpos=true\n");
  EXPECT_TRUE(LoadSettings());
  EXPECT_TRUE(ProgrammSettings.SaveFormPos);
  ProgrammSettings.LangIndex = TLocalizationLanguare::llRU;
  EXPECT_TRUE(SaveSettings());
  EXPECT_EQ(LineOf(ReadFile(Dir / "Settings.ini"), "LangIndex"), "LangIndex=1");
  EXPECT_EQ(LineOf(ReadFile(Dir / "Settings.ini"), "SaveFormPos"), "SaveFormPos=true");
  SetProgramDataDirOverride("");
  InitSettingsPaths();
}

TEST(SettingsMapping, CodesAndFlags) {
  EXPECT_EQ(IntToShowTagsFormat(1), TShowTagsFormat::stfShort);
  EXPECT_EQ(IntToShowTagsFormat(2), TShowTagsFormat::stfID);
  EXPECT_EQ(IntToShowTagsFormat(3), TShowTagsFormat::stfFull);
  EXPECT_EQ(IntToShowTagsFormat(4), TShowTagsFormat::stfShort);
  EXPECT_EQ(IntToShowTagsFormat(-1), TShowTagsFormat::stfShort);
  for (TShowTagsFormat F : {TShowTagsFormat::stfShort, TShowTagsFormat::stfID, TShowTagsFormat::stfFull})
    EXPECT_EQ(IntToShowTagsFormat(ShowTagsFormatToInt(F)), F);
  EXPECT_EQ(ShowTagsFormatToInt(TShowTagsFormat::stfShort), 1);
  EXPECT_EQ(ShowTagsFormatToInt(TShowTagsFormat::stfFull), 3);
  EXPECT_EQ(IntToResultFileFormat(2), TResultFileFormat::rffXLSX);
  EXPECT_EQ(IntToResultFileFormat(1), TResultFileFormat::rffHTML);
  EXPECT_EQ(IntToResultFileFormat(0), TResultFileFormat::rffHTML);
  EXPECT_EQ(ResultFileFormatToInt(TResultFileFormat::rffHTML), 1);
  EXPECT_EQ(ResultFileFormatToInt(TResultFileFormat::rffXLSX), 2);

  EXPECT_EQ(GetShowTagsFlag(false, TShowTagsFormat::stfFull), TShowTagsFlag::stfDontShowTags);
  EXPECT_EQ(GetShowTagsFlag(true, TShowTagsFormat::stfShort), TShowTagsFlag::stfShowTagsOnly);
  EXPECT_EQ(GetShowTagsFlag(true, TShowTagsFormat::stfID), TShowTagsFlag::stfShowTagsID);
  EXPECT_EQ(GetShowTagsFlag(true, TShowTagsFormat::stfFull), TShowTagsFlag::stfShowTagsContent);
}

TEST(AppVersion, ComesFromTheProjectVersion) {
  TAppVersion V;
  GetAppVersion(V);
  TAppVersion Expected;
  ASSERT_TRUE(ParseAppVersion(LEXMORA_PROJECT_VERSION, Expected));
  EXPECT_EQ(V.FullAppVersion, Expected.FullAppVersion);
  EXPECT_EQ(V.MajorAndMinor, std::to_string(V.Major) + "." + std::to_string(V.Minor));
  EXPECT_EQ(std::string(LEXMORA_PROJECT_VERSION).rfind(V.MajorAndMinor, 0), 0u);

  TAppVersion P;
  ASSERT_TRUE(ParseAppVersion("3.8.1", P));
  EXPECT_EQ(P.MajorAndMinor, "3.8");
  EXPECT_EQ(P.FullAppVersion, "3.8.1.0");
  ASSERT_TRUE(ParseAppVersion("4.12.7.1234", P));
  EXPECT_EQ(P.Release, 7);
  EXPECT_EQ(P.Build, 1234);
  TAppVersion Untouched;
  EXPECT_FALSE(ParseAppVersion("v3", Untouched));
  EXPECT_EQ(Untouched.FullAppVersion, "");
}
