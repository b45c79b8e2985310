#include "LoggerUnit.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <algorithm>
#include <vector>

#include "ProgramPathsUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

const std::string kHyphens(47, '-');

std::vector<std::string> SplitLogLines(const std::string& AText) {
  std::vector<std::string> Lines;
  std::string Line;
  for (std::size_t I = 0; I < AText.size(); ++I) {
    const char C = AText[I];
    if (C == '\r' || C == '\n') {
      if (C == '\r' && I + 1 < AText.size() && AText[I + 1] == '\n') ++I;
      Lines.push_back(Line);
      Line.clear();
    } else {
      Line.push_back(C);
    }
  }
  Lines.push_back(Line);
  return Lines;
}

std::string TimeStamp() {
  const std::time_t Now = std::time(nullptr);
  std::tm Tm{};
  localtime_r(&Now, &Tm);
  char Buf[32];
  std::strftime(Buf, sizeof Buf, "%Y.%m.%d %H:%M:%S", &Tm);
  return Buf;
}

std::string Today() {
  const std::time_t Now = std::time(nullptr);
  std::tm Tm{};
  localtime_r(&Now, &Tm);
  char Buf[16];
  std::strftime(Buf, sizeof Buf, "%Y-%m-%d", &Tm);
  return Buf;
}

}  // namespace

TLogger::TLogger(bool ASaveToLogFolder, bool AOneDayOneLog, bool AClearLogOnStart, const std::string& AProgramDir)
    : FSaveToLogFolder(ASaveToLogFolder), FOneDayOneLog(AOneDayOneLog), FClearLogOnStart(AClearLogOnStart) {
  fs::path Folder = AProgramDir;
  if (FSaveToLogFolder) Folder /= "Logs";
  std::error_code Ec;
  fs::create_directories(Folder, Ec);  // a failure shows at the first entry
  const std::string Name = FOneDayOneLog ? "Logger_" + Today() + ".log" : std::string("Logger.log");
  FLogFileName = (Folder / Name).string();
}

bool TLogger::WriteEntry(const std::string& AEntry) {
  std::ios::openmode Mode = std::ios::binary | std::ios::app;
  std::error_code Ec;
  if (FIsItFirst && FClearLogOnStart && fs::exists(FLogFileName, Ec)) Mode = std::ios::binary | std::ios::trunc;
  std::ofstream File(FLogFileName, Mode);
  if (!File) return false;
  FIsItFirst = false;
  File << AEntry << "\r\n";
  File.close();
  return !File.fail();
}

void TLogger::AddToLog(int ALevel, const std::string& AMsgText) {
  std::string Entry;
  if (ALevel == 0) {
    Entry = AMsgText;
  } else {
    static const char kLetters[] = {'?', 'I', 'W', 'E'};
    const std::string Head = TimeStamp() + " [" + kLetters[ALevel] + "]";
    if (ALevel == 3) FIsErrorsInLog = true;
    if (AMsgText.empty()) {
      Entry = Head;
    } else {
      const std::string Indent(static_cast<std::size_t>(std::max(FCurrentTabLevel, 0)) * 2, ' ');
      const std::vector<std::string> Lines = SplitLogLines(AMsgText);
      for (std::size_t I = 0; I < Lines.size(); ++I) {
        if (I > 0) Entry += "\r\n";
        Entry += Head + " - " + Indent + Lines[I];
      }
    }
  }
  std::lock_guard<std::recursive_mutex> Lock(FLogCS);
  if (WriteEntry(Entry)) return;
  // Record the failure once; a failure while recording it is dropped.
  if (FInFailure) return;
  FInFailure = true;
  AddError("TLogger.AddToLog", "Cannot write the log file " + FLogFileName);
  FInFailure = false;
}

void TLogger::AddStartInfo(const std::string& AMsgText) { AddToLog(0, AMsgText); }
void TLogger::AddInfo(const std::string& AMsgText) { AddToLog(1, AMsgText); }
void TLogger::AddWarning(const std::string& AMsgText) { AddToLog(2, AMsgText); }

void TLogger::AddError(const std::string& AMethodName, const std::string& AMsgText) {
  const std::string Prefix = AMethodName + " > ";
  std::string Text = Prefix + kHyphens;
  if (!AMsgText.empty()) {
    for (const std::string& Line : SplitLogLines(AMsgText)) Text += "\n" + Prefix + Line;
  }
  Text += "\n" + Prefix + kHyphens;
  AddToLog(3, Text);
}

void TLogger::AddException(const std::string& AMethodName, const std::exception& AE) { AddError(AMethodName, AE.what()); }
void TLogger::AddDelimiter() { AddInfo(kHyphens); }
void TLogger::AddSmallDelimiter() { AddInfo(std::string(47, '.')); }
void TLogger::AddBigDelimiter() { AddToLog(0, std::string(47, '=')); }

void TLogger::EnterMethod(const std::string& AMethodName) {
  AddInfo(">>> " + AMethodName);
  ++FCurrentTabLevel;
}

void TLogger::ExitMethod(const std::string& AMethodName) {
  --FCurrentTabLevel;
  AddInfo("<<< " + AMethodName);
}

void TLogger::AddVarValue(const std::string& AVarName, bool AVar) { AddInfo(AVarName + (AVar ? " = true" : " = false")); }
void TLogger::AddVarValue(const std::string& AVarName, int AVar) { AddInfo(AVarName + " = " + std::to_string(AVar)); }
void TLogger::AddVarValue(const std::string& AVarName, const std::string& AVar) { AddInfo(AVarName + " = " + AVar); }

std::string TLogger::GetLogFileErrorText() const {
  try {
    std::ifstream File(FLogFileName, std::ios::binary);
    if (!File) return {};
    std::stringstream Buf;
    Buf << File.rdbuf();
    std::string Result;
    bool InRun = false;
    std::vector<std::string> Lines = SplitLogLines(Buf.str());
    if (!Lines.empty() && Lines.back().empty()) Lines.pop_back();  // the final CR LF ends a line, it does not start one
    for (const std::string& Line : Lines) {
      const bool IsError = Line.find(" [E] - ") != std::string::npos;
      if (IsError && !InRun) Result += "...\r\n";
      if (IsError) Result += Line + "\r\n";
      if (!IsError && InRun) Result += "...\r\n";
      InRun = IsError;
    }
    return Result;
  } catch (...) {
    return {};
  }
}

TLogger& Logger() {
  static TLogger* Instance = [] {
    auto* L = new TLogger(true, false, true, ProgramDataDir());
    L->AddStartInfo("");
    L->AddStartInfo("Hello!");
    L->AddStartInfo("Logging started...");
    L->AddBigDelimiter();
    return L;
  }();
  return *Instance;
}

}  // namespace lexmora
