// The program's plain-text log: start, end and every caught failure.
#pragma once

#include <exception>
#include <mutex>
#include <string>

namespace lexmora {

class TLogger {
 public:
  // Log in AProgramDir (or AProgramDir/Logs); the folder is created when missing.
  TLogger(bool ASaveToLogFolder, bool AOneDayOneLog, bool AClearLogOnStart, const std::string& AProgramDir);
  TLogger(const TLogger&) = delete;
  TLogger& operator=(const TLogger&) = delete;

  void AddStartInfo(const std::string& AMsgText);  // raw line, no stamp
  void AddInfo(const std::string& AMsgText);
  void AddWarning(const std::string& AMsgText);
  void AddError(const std::string& AMethodName, const std::string& AMsgText);
  void AddException(const std::string& AMethodName, const std::exception& AE);
  void AddDelimiter();
  void AddSmallDelimiter();
  void AddBigDelimiter();  // raw line of 47 '='
  void EnterMethod(const std::string& AMethodName);
  void ExitMethod(const std::string& AMethodName);
  void AddVarValue(const std::string& AVarName, bool AVar);
  void AddVarValue(const std::string& AVarName, int AVar);
  void AddVarValue(const std::string& AVarName, const std::string& AVar);
  void AddVarValue(const std::string& AVarName, const char* AVar) { AddVarValue(AVarName, std::string(AVar)); }

  // The error lines of the current file, runs framed by "..." lines; empty on failure.
  std::string GetLogFileErrorText() const;

  const std::string& LogFileName() const { return FLogFileName; }
  bool IsErrorsInLog() const { return FIsErrorsInLog; }

 private:
  void AddToLog(int ALevel, const std::string& AMsgText);
  bool WriteEntry(const std::string& AEntry);

  int FCurrentTabLevel = 0;
  bool FIsItFirst = true;
  bool FSaveToLogFolder;
  bool FOneDayOneLog;
  bool FClearLogOnStart;
  std::string FLogFileName;
  std::recursive_mutex FLogCS;
  bool FIsErrorsInLog = false;
  bool FInFailure = false;  // guards against recording a logging failure recursively
};

// The one program log ("Logs/Logger.log" in the program's folder), created on first use.
TLogger& Logger();

}  // namespace lexmora
