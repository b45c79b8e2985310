#include "Settings.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "IniFileUnit.h"
#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "PlatformUnit.h"
#include "ProgramPathsUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

TSettings ProgrammSettings;

namespace {

// Runs InitSettingsPaths before main, after ProgrammSettings (same translation unit, later line).
const bool GPathsInitialised = [] {
  InitSettingsPaths();
  return true;
}();

constexpr const char* kMain = "Main";
constexpr const char* kDefault = "Default";
constexpr const char* kLast = "Last";
constexpr const char* kUpdateCheck = "UpdateCheck";
constexpr const char* kLastVersionNotify = "LastVersionNotify";
constexpr const char* kMetrics = "Metrics";

// Every key the program owns, in the order it is read and written.
struct TKey {
  const char* Section;
  const char* Name;
};
constexpr std::array kKeys = {
    TKey{kMain, "SaveFormSize"},
    TKey{kMain, "SaveFormPos"},
    TKey{kMain, "SaveDiffSettings"},
    TKey{kMain, "ClearFileList"},
    TKey{kMain, "LangIndex"},
    TKey{kMain, "FormPosX"},
    TKey{kMain, "FormPosY"},
    TKey{kMain, "FormPosW"},
    TKey{kMain, "FormPosH"},
    TKey{kMain, "FormIsMaximized"},
    TKey{kMain, "ShowTagsFormat"},
    TKey{kDefault, "HideEquivalentString"},
    TKey{kDefault, "DoNotSeparateSpaces"},
    TKey{kDefault, "FillDiffRowColored"},
    TKey{kDefault, "ShowTags"},
    TKey{kDefault, "ResFileFormat"},
    TKey{kLast, "HideEquivalentString"},
    TKey{kLast, "DoNotSeparateSpaces"},
    TKey{kLast, "FillDiffRowColored"},
    TKey{kLast, "ShowTags"},
    TKey{kLast, "ResFileFormat"},
    TKey{kUpdateCheck, "LastNewVersion"},
    TKey{kUpdateCheck, kLastVersionNotify},
    TKey{kUpdateCheck, "LastCheckDT"},
    TKey{kMetrics, "Rates"},
    TKey{kMetrics, "WordPrice"},
    TKey{kMetrics, "Currency"},
    TKey{kMetrics, "WriteCsv"},
};

bool IsOwnKey(const std::string& ASection, const std::string& AKey) {
  for (const TKey& K : kKeys) {
    if (SameTextAscii(ASection, K.Section) && SameTextAscii(AKey, K.Name)) return true;
  }
  return false;
}

// Reads a whole file; nothing when it does not exist, false in AOk when it exists but cannot be read.
std::string ReadWholeFile(const std::string& AFileName, bool& AOk) {
  AOk = true;
  std::string Text;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> File(std::fopen(AFileName.c_str(), "rb"), &std::fclose);
  if (!File) {
    AOk = errno == ENOENT;
    return Text;
  }
  char Buf[16384];
  std::size_t N = 0;
  while ((N = std::fread(Buf, 1, sizeof Buf, File.get())) > 0) Text.append(Buf, N);
  if (std::ferror(File.get())) {  // a folder of that name, an I/O error
    AOk = false;
    Text.clear();
  }
  return Text;
}

// Reading: the stored text or the default's, converted as the settings file's types require.
class TReader {
 public:
  explicit TReader(const TIniDocument& ADoc) : FDoc(ADoc) {}

  bool Bool(const char* ASection, const char* AKey, bool ADefault) const {
    const auto V = FDoc.Value(ASection, AKey);
    return V ? *V == "true" : ADefault;  // only the exact text "true" is true
  }
  int Int(const char* ASection, const char* AKey, int ADefault) const {
    const auto V = FDoc.Value(ASection, AKey);
    if (!V || V->empty()) return ADefault;
    const char* Begin = V->data();
    const char* End = Begin + V->size();
    if (*Begin == '+') ++Begin;  // from_chars takes a minus sign only
    int Result = 0;
    const auto [Ptr, Ec] = std::from_chars(Begin, End, Result);
    return Ec == std::errc() && Ptr == End && Begin != End ? Result : ADefault;
  }
  std::string String(const char* ASection, const char* AKey) const {
    return FDoc.Value(ASection, AKey).value_or(std::string());
  }
  TDateTime DateTime(const char* ASection, const char* AKey, const TDateTime& ADefault) const {
    const auto V = FDoc.Value(ASection, AKey);
    if (!V) return ADefault;
    return ParseIniDateTime(*V).value_or(ADefault);
  }

 private:
  const TIniDocument& FDoc;
};

const char* BoolText(bool AValue) { return AValue ? "true" : "false"; }

// A value is one line of the file; text after a line break (from a server answer, say) is dropped.
std::string OneLine(const std::string& AValue) { return AValue.substr(0, AValue.find_first_of("\r\n")); }

// Writes AText to AFileName through a temporary file in the same folder, flushed to disk and renamed
// into place. AError names what failed.
bool WriteFileAtomically(const std::string& AFileName, const std::string& AText, std::string& AError) {
  const fs::path Target = AFileName;
  std::error_code Ec;
  if (Target.has_parent_path()) fs::create_directories(Target.parent_path(), Ec);
  std::string Temp;
  if (const TFileOutcome Created = CreateUniqueFile(AFileName + ".", "", Temp); !Created) {
    AError = "cannot create a temporary file beside " + AFileName + ": " + Created.Reason();
    return false;
  }
  const TFileOutcome Written = WriteFilePieces(Temp, {AText}, true);
  if (!Written) {
    const char* Step = Written.Step == TFileStep::fsFlush   ? "flush "
                       : Written.Step == TFileStep::fsClose ? "close "
                                                            : "write ";
    AError = "cannot " + std::string(Step) + Temp + ": " + Written.Reason();
  } else {
    fs::rename(Temp, AFileName, Ec);
    if (!Ec) return true;
    AError = "cannot rename " + Temp + " to " + AFileName + ": " + Ec.message();
  }
  fs::remove(Temp, Ec);
  return false;
}

}  // namespace

void InitSettingsPaths() {
  const TProgramFolders F = ProgramFolders();
  const auto Folder = [](const std::string& ADir) { return ADir.empty() || ADir.back() == '/' ? ADir : ADir + "/"; };
  ProgrammSettings.PathToHomeDir = Folder(ExecutableDir());
  ProgrammSettings.PathToTempDir = Folder(F.TempDir);
  ProgrammSettings.PathToResDir = Folder(F.ResultsDir);
  ProgrammSettings.IniFileFullName = F.SettingsFile;
}

TShowTagsFormat IntToShowTagsFormat(int AValue) {
  switch (AValue) {
    case 2:
      return TShowTagsFormat::stfID;
    case 3:
      return TShowTagsFormat::stfFull;
    default:
      return TShowTagsFormat::stfShort;
  }
}

int ShowTagsFormatToInt(TShowTagsFormat AValue) {
  switch (AValue) {
    using enum TShowTagsFormat;
    case stfShort:
      return 1;
    case stfID:
      return 2;
    case stfFull:
      return 3;
  }
  return 1;
}

TResultFileFormat IntToResultFileFormat(int AValue) {
  return AValue == 2 ? TResultFileFormat::rffXLSX : TResultFileFormat::rffHTML;
}

int ResultFileFormatToInt(TResultFileFormat AValue) { return AValue == TResultFileFormat::rffXLSX ? 2 : 1; }

TShowTagsFlag GetShowTagsFlag(bool AShowTags, TShowTagsFormat AFormat) {
  if (!AShowTags) return TShowTagsFlag::stfDontShowTags;
  switch (AFormat) {
    using enum TShowTagsFormat;
    case stfShort:
      return TShowTagsFlag::stfShowTagsOnly;
    case stfID:
      return TShowTagsFlag::stfShowTagsID;
    case stfFull:
      return TShowTagsFlag::stfShowTagsContent;
  }
  return TShowTagsFlag::stfShowTagsOnly;
}

void ApplySettingsText(TSettings& S, const std::string& AIniText) {
  const TIniDocument Doc = TIniDocument::Parse(AIniText);
  const TReader R(Doc);
  S.SaveFormSize = R.Bool(kMain, "SaveFormSize", false);
  S.SaveFormPos = R.Bool(kMain, "SaveFormPos", false);
  S.SaveDiffSettings = R.Bool(kMain, "SaveDiffSettings", false);
  S.ClearFileList = R.Bool(kMain, "ClearFileList", false);
  S.LangIndex = R.Int(kMain, "LangIndex", 0) == 1 ? TLocalizationLanguare::llRU : TLocalizationLanguare::llEN;
  S.LastFormPosX = R.Int(kMain, "FormPosX", -1);
  S.LastFormPosY = R.Int(kMain, "FormPosY", -1);
  S.LastFormPosW = R.Int(kMain, "FormPosW", -1);
  S.LastFormPosH = R.Int(kMain, "FormPosH", -1);
  S.LastFormIsMaximized = R.Bool(kMain, "FormIsMaximized", false);
  S.ShowTagsFormat = IntToShowTagsFormat(R.Int(kMain, "ShowTagsFormat", 1));
  S.Def_HideEquivalentString = R.Bool(kDefault, "HideEquivalentString", true);
  S.Def_DoNotSeparateSpaces = R.Bool(kDefault, "DoNotSeparateSpaces", false);
  S.Def_FillDiffRowColored = R.Bool(kDefault, "FillDiffRowColored", true);
  S.Def_ShowTags = R.Bool(kDefault, "ShowTags", true);
  S.Def_ResultFileFormat = IntToResultFileFormat(R.Int(kDefault, "ResFileFormat", 1));
  S.Curr_HideEquivalentString = R.Bool(kLast, "HideEquivalentString", true);
  S.Curr_DoNotSeparateSpaces = R.Bool(kLast, "DoNotSeparateSpaces", false);
  S.Curr_FillDiffRowColored = R.Bool(kLast, "FillDiffRowColored", true);
  S.Curr_ShowTags = R.Bool(kLast, "ShowTags", true);
  S.Curr_ResultFileFormat = IntToResultFileFormat(R.Int(kLast, "ResFileFormat", 1));
  S.LastNewVersion = R.String(kUpdateCheck, "LastNewVersion");
  S.LastNewVersionNotify = R.String(kUpdateCheck, kLastVersionNotify);
  S.LastUpdateCheckDT = R.DateTime(kUpdateCheck, "LastCheckDT", TDateTime{});
  // A value the program would not accept from the dialog reads as none.
  S.Cost = TCostTerms();
  ParseBandRates(R.String(kMetrics, "Rates"), S.Cost.Rates);
  if (double Price = 0; ParseWordPrice(R.String(kMetrics, "WordPrice"), Price)) S.Cost.WordPrice = Price;
  if (const std::string Currency = R.String(kMetrics, "Currency"); IsValidCurrency(Currency))
    S.Cost.Currency = Currency;
  S.WriteCsv = R.Bool(kMetrics, "WriteCsv", false);
}

std::string BuildSettingsText(const TSettings& S, const std::string& AIniText) {
  TIniDocument Doc;
  const auto Put = [&Doc](const char* ASection, const char* AKey, const std::string& AValue) {
    Doc.SetValue(ASection, AKey, AValue);
  };
  Put(kMain, "SaveFormSize", BoolText(S.SaveFormSize));
  Put(kMain, "SaveFormPos", BoolText(S.SaveFormPos));
  Put(kMain, "SaveDiffSettings", BoolText(S.SaveDiffSettings));
  Put(kMain, "ClearFileList", BoolText(S.ClearFileList));
  Put(kMain, "LangIndex", S.LangIndex == TLocalizationLanguare::llRU ? "1" : "0");
  Put(kMain, "FormPosX", std::to_string(S.LastFormPosX));
  Put(kMain, "FormPosY", std::to_string(S.LastFormPosY));
  Put(kMain, "FormPosW", std::to_string(S.LastFormPosW));
  Put(kMain, "FormPosH", std::to_string(S.LastFormPosH));
  Put(kMain, "FormIsMaximized", BoolText(S.LastFormIsMaximized));
  Put(kMain, "ShowTagsFormat", std::to_string(ShowTagsFormatToInt(S.ShowTagsFormat)));
  Put(kDefault, "HideEquivalentString", BoolText(S.Def_HideEquivalentString));
  Put(kDefault, "DoNotSeparateSpaces", BoolText(S.Def_DoNotSeparateSpaces));
  Put(kDefault, "FillDiffRowColored", BoolText(S.Def_FillDiffRowColored));
  Put(kDefault, "ShowTags", BoolText(S.Def_ShowTags));
  Put(kDefault, "ResFileFormat", std::to_string(ResultFileFormatToInt(S.Def_ResultFileFormat)));
  Put(kLast, "HideEquivalentString", BoolText(S.Curr_HideEquivalentString));
  Put(kLast, "DoNotSeparateSpaces", BoolText(S.Curr_DoNotSeparateSpaces));
  Put(kLast, "FillDiffRowColored", BoolText(S.Curr_FillDiffRowColored));
  Put(kLast, "ShowTags", BoolText(S.Curr_ShowTags));
  Put(kLast, "ResFileFormat", std::to_string(ResultFileFormatToInt(S.Curr_ResultFileFormat)));
  Put(kUpdateCheck, "LastNewVersion", OneLine(S.LastNewVersion));  // always written, even empty
  if (!OneLine(S.LastNewVersionNotify).empty()) Put(kUpdateCheck, kLastVersionNotify, OneLine(S.LastNewVersionNotify));
  Put(kUpdateCheck, "LastCheckDT", FormatIniDateTime(S.LastUpdateCheckDT));
  Put(kMetrics, "Rates", BandRatesText(S.Cost.Rates));
  Put(kMetrics, "WordPrice", S.Cost.WordPrice ? FloatToRoundedStr(6, *S.Cost.WordPrice, ".") : std::string());
  Put(kMetrics, "Currency", OneLine(S.Cost.Currency));
  Put(kMetrics, "WriteCsv", BoolText(S.WriteCsv));

  // What another version of the program or the user put in the file stays, after the own keys;
  // SetValue finds an own section again without regard to case.
  const TIniDocument Old = TIniDocument::Parse(AIniText);
  for (const TIniDocument::TSection& Section : Old.Sections()) {
    for (const TIniDocument::TEntry& E : Section.Entries) {
      if (IsOwnKey(Section.Name, E.Key) || Doc.Value(Section.Name, E.Key)) continue;
      Doc.SetValue(Section.Name, E.Key, E.Value);
    }
  }
  return Doc.ToText();
}

bool LoadSettingsFrom(TSettings& ASettings, const std::string& AFileName) {
  bool Ok = true;
  const std::string Text = ReadWholeFile(AFileName, Ok);
  ApplySettingsText(ASettings, Text);
  return Ok;
}

bool SaveSettingsTo(const TSettings& ASettings, const std::string& AFileName) {
  try {
    bool ReadOk = true;
    const std::string Old = ReadWholeFile(AFileName, ReadOk);
    std::string Error;
    if (WriteFileAtomically(AFileName, BuildSettingsText(ASettings, Old), Error)) return true;
    Logger().AddWarning("The settings were not saved: " + Error);
  } catch (const std::exception& E) {
    Logger().AddWarning(std::string("The settings were not saved: ") + E.what());
  }
  return false;
}

bool LoadSettings() { return LoadSettingsFrom(ProgrammSettings, ProgrammSettings.IniFileFullName); }

bool SaveSettings() { return SaveSettingsTo(ProgrammSettings, ProgrammSettings.IniFileFullName); }

}  // namespace lexmora
