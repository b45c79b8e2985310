// The program's plain-text log: start, end and every caught failure.
#pragma once

#include <atomic>
#include <exception>
#include <mutex>
#include <string>

namespace lexmora {

class TLogger {
 public:
  // Log AFileName in AProgramDir (or AProgramDir/Logs); the folder is created when missing. Nothing
  // is written until the first entry, which empties an old file when AClearLogOnStart is set. With
  // AOneDayOneLog the day is added to the name ("Logger_2021-04-01.log").
  TLogger(bool ASaveToLogFolder, bool AOneDayOneLog, bool AClearLogOnStart, const std::string& AProgramDir,
          const std::string& AFileName = kDefaultLogFileName);

  static constexpr const char* kDefaultLogFileName = "Logger.log";
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

  // The lines that open a program run: an empty line, "Hello!", "Logging started...", 47 '='.
  void AddRunStart();
  // The lines that close it: 47 '=', "Logging is complete.".
  void AddRunEnd();

  // The error lines of the current file, runs framed by "..." lines; empty on failure.
  std::string GetLogFileErrorText() const;

  const std::string& LogFileName() const { return FLogFileName; }
  bool IsErrorsInLog() const { return FIsErrorsInLog; }

 private:
  void AddToLog(int ALevel, const std::string& AMsgText);
  bool WriteEntry(const std::string& AEntry);

  // Atomic so that entries from other threads read a whole value; nesting is meant for one thread.
  std::atomic<int> FCurrentTabLevel{0};
  bool FIsItFirst = true;
  bool FSaveToLogFolder;
  bool FOneDayOneLog;
  bool FClearLogOnStart;
  std::string FLogFileName;
  std::recursive_mutex FLogCS;
  std::atomic<bool> FIsErrorsInLog{false};
  bool FInFailure = false;  // guards against recording a logging failure recursively
};

// The one program log (Logger.log in LogsDir()), created on first use, which writes the run's
// opening lines. Every thread may log through it.
TLogger& Logger();

// Names the program log's file in LogsDir() instead of Logger.log. A front end that may run beside
// another one (the command-line tool beside the desktop program) calls it before its first entry,
// so that its first entry never empties the other's log. Later calls do not move an open log.
void SetProgramLogFileName(const std::string& AFileName);

// Writes the run's closing lines once, if the log was used. Runs by itself when the program exits
// normally; a front end may call it earlier. Entries after it still reach the file.
void FinishLogging();

}  // namespace lexmora
