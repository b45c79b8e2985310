// Where the program keeps its files: settings, log, temp and results folders.
#pragma once

#include <string>

namespace lexmora {

// Folder of the running executable (from /proc/self/exe).
std::string ExecutableDir();

// Base folder for Settings.ini, Logs, Temp and Results: the executable's folder
// when it is writable (portable use), else the user's data folder.
std::string ProgramDataDir();

std::string SettingsFilePath();  // <base>/Settings.ini
std::string LogsDir();           // <base>/Logs
std::string TempDir();           // <base>/Temp, or the user's cache folder
std::string ResultsDir();        // <base>/Results, or ~/Documents/LexmoraCT Results

// Overrides the base folder (tests, portable installs); empty restores the default.
void SetProgramDataDirOverride(const std::string& ADir);

}  // namespace lexmora
