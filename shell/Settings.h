// The program's one settings record and its file Settings.ini.
#pragma once

#include <cstdint>
#include <string>

#include "DataTypeUnit.h"
#include "DateTimeUnit.h"

namespace lexmora {

// How tags are displayed when the show-tags option is on.
enum class TShowTagsFormat : std::uint8_t { stfShort = 0, stfID = 1, stfFull = 2 };

struct TSettings {
  bool SaveFormSize = false;      // restore the main window's width and height at start
  bool SaveFormPos = false;       // restore the main window's left and top at start
  bool SaveDiffSettings = false;  // restore the last-used comparison options instead of the defaults
  bool ClearFileList = false;     // empty both lists when another comparison is started
  TLocalizationLanguare LangIndex = TLocalizationLanguare::llEN;
  int LastFormPosX = 0;
  int LastFormPosY = 0;
  int LastFormPosW = 0;
  int LastFormPosH = 0;
  bool LastFormIsMaximized = false;  // recorded and stored, not applied at start
  TShowTagsFormat ShowTagsFormat = TShowTagsFormat::stfShort;
  bool Def_HideEquivalentString = false;
  bool Def_DoNotSeparateSpaces = false;
  bool Def_FillDiffRowColored = false;
  bool Def_ShowTags = false;
  TResultFileFormat Def_ResultFileFormat = TResultFileFormat::rffHTML;
  bool Curr_HideEquivalentString = false;
  bool Curr_DoNotSeparateSpaces = false;
  bool Curr_FillDiffRowColored = false;
  bool Curr_ShowTags = false;
  TResultFileFormat Curr_ResultFileFormat = TResultFileFormat::rffHTML;
  // The cost by band and the CSV export of every run ([Metrics]).
  TCostTerms Cost;  // no rates: no cost table
  bool WriteCsv = false;
  // Not stored: set by InitSettingsPaths. Folders end in '/'.
  std::string PathToHomeDir;         // folder of the executable
  std::string PathToTempDir;         // parent of each run's private working folder
  std::string PathToResDir;          // the reports
  std::string IniFileFullName;       // Settings.ini
  std::string LastNewVersion;        // "major.minor" the update server last announced; empty if none
  std::string LastNewVersionNotify;  // version whose information bar is no longer shown; empty if none
  TDateTime LastUpdateCheckDT;       // local time of the last answered update check
};

// The one process-wide record; touched on the GUI thread only. Starts zero-filled with the paths set.
extern TSettings ProgrammSettings;

// Sets the four paths of ProgrammSettings from the program's folders (ProgramFolders()). Runs once
// before main; call it again after changing the folder override (tests).
void InitSettingsPaths();

// Fills the stored fields of ProgrammSettings from IniFileFullName. A missing file or key gives the
// defaults and is no failure; false only when an existing file cannot be read (the fields then hold
// the defaults). Note: never logs, because it runs before the single-instance lock and the first
// log entry empties the running copy's log.
bool LoadSettings();
// Writes the stored fields of ProgrammSettings to IniFileFullName. The whole file is built in
// memory and written once through a temporary file renamed into place, so a crash or a full disk
// never leaves half a file. False, with a warning in the log, when it cannot be written.
bool SaveSettings();

// The same over any record and file (tests, other front ends).
bool LoadSettingsFrom(TSettings& ASettings, const std::string& AFileName);
bool SaveSettingsTo(const TSettings& ASettings, const std::string& AFileName);

// The stored fields of ASettings applied over AIniText: every key of the program is (re)written in
// its place (sections Main, Default, Last, UpdateCheck, Metrics in that order, keys in a fixed order); keys
// and sections the program does not know are kept after them. AIniText may be empty.
std::string BuildSettingsText(const TSettings& ASettings, const std::string& AIniText = {});
// The stored fields of ASettings read from AIniText; the paths are left as they are.
void ApplySettingsText(TSettings& ASettings, const std::string& AIniText);

// Integer codes of the settings file.
TShowTagsFormat IntToShowTagsFormat(int AValue);      // 2 stfID, 3 stfFull, else stfShort
int ShowTagsFormatToInt(TShowTagsFormat AValue);      // 1, 2, 3
TResultFileFormat IntToResultFileFormat(int AValue);  // 2 rffXLSX, else rffHTML
int ResultFileFormatToInt(TResultFileFormat AValue);  // 1, 2

// The report's tag display for the show-tags option and the chosen format.
TShowTagsFlag GetShowTagsFlag(bool AShowTags, TShowTagsFormat AFormat);

}  // namespace lexmora
