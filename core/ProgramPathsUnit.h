// Where the program keeps its files: settings, log, temp and results folders.
#pragma once

#include <string>

namespace lexmora {

// Every place the program writes to, for one program folder.
struct TProgramFolders {
  bool IsPortable = false;   // everything lives beside the program
  std::string DataDir;       // base folder: the program's folder, or the user's data folder
  std::string SettingsFile;  // Settings.ini
  std::string LogsDir;       // holds Logger.log
  std::string TempDir;       // working copies and unpacked packages
  std::string ResultsDir;    // the reports
};

// Folder of the running executable.
std::string ExecutableDir();

// True when AProgramDir is an existing folder this process may create files in.
bool IsWritableDir(const std::string& ADir);

// True when AProgramDir is the bin folder of an installation (cmake --install): the menu entry
// lies in ../share/applications/lexmora-ct.desktop. On Windows: the installer's Uninstall.exe
// lies beside the program.
bool IsInstalledProgramDir(const std::string& AProgramDir);

// The layout for a program in AProgramDir: Settings.ini, Logs, Temp and Results beside it when
// that folder is writable and no installation (portable use); otherwise, for an installed
// program (also one that its user could write to, such as a superuser's), the user's
// standard locations: $XDG_CONFIG_HOME/LexmoraCT/Settings.ini, $XDG_DATA_HOME/LexmoraCT/Logs,
// $XDG_CACHE_HOME/LexmoraCT/Temp and ~/Documents/LexmoraCT Results (XDG defaults ~/.config,
// ~/.local/share, ~/.cache). On Windows the user's locations are %LOCALAPPDATA%\Lexmora
// (Settings.ini, Logs, Temp) and Documents\LexmoraCT Results in the user's profile.
TProgramFolders ResolveProgramFolders(const std::string& AProgramDir);

// The portable layout inside ADir, whether or not it is writable.
TProgramFolders PortableFolders(const std::string& ADir);

// The folders of this program run: the override when one is set, else those of ExecutableDir().
TProgramFolders ProgramFolders();

std::string ProgramDataDir();    // ProgramFolders().DataDir
std::string SettingsFilePath();  // ProgramFolders().SettingsFile
std::string LogsDir();           // ProgramFolders().LogsDir
std::string TempDir();           // ProgramFolders().TempDir
std::string ResultsDir();        // ProgramFolders().ResultsDir

// Puts every folder inside ADir (tests, portable installs); empty restores the default.
// Note: the global log fixes its file at its first entry, so set this before logging.
void SetProgramDataDirOverride(const std::string& ADir);

}  // namespace lexmora
