#include "LoggerUnit.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "LocalTimeUnit.h"
#include "ProgramPathsUnit.h"
#include "Utf8PathUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

const std::string kHyphens(47, '-');
const std::string kEquals(47, '=');

// Lines split at CR LF, LF or CR. A final line break ends the last line; it does not start another.
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
  if (!Line.empty() || Lines.empty()) Lines.push_back(Line);
  return Lines;
}

std::string TimeStamp() { return FormatLocalTime("%Y.%m.%d %H:%M:%S"); }

std::string Today() { return FormatLocalTime("%Y-%m-%d"); }

}  // namespace

TLogger::TLogger(bool ASaveToLogFolder, bool AOneDayOneLog, bool AClearLogOnStart, const std::string& AProgramDir,
                 const std::string& AFileName)
    : FSaveToLogFolder(ASaveToLogFolder), FOneDayOneLog(AOneDayOneLog), FClearLogOnStart(AClearLogOnStart) {
  fs::path Folder = PathFromUtf8(AProgramDir);
  if (FSaveToLogFolder) Folder /= "Logs";
  std::error_code Ec;
  fs::create_directories(Folder, Ec);  // a failure shows at the first entry
  fs::path Name = AFileName.empty() ? fs::path(kDefaultLogFileName) : PathFromUtf8(AFileName).filename();
  if (FOneDayOneLog) Name = PathFromUtf8(Utf8FromPath(Name.stem()) + "_" + Today() + Utf8FromPath(Name.extension()));
  FLogFileName = Utf8FromPath(Folder / Name);
}

bool TLogger::WriteEntry(const std::string& AEntry) {
  std::ios::openmode Mode = std::ios::binary | std::ios::app;
  std::error_code Ec;
  if (FIsItFirst && FClearLogOnStart && fs::exists(PathFromUtf8(FLogFileName), Ec))
    Mode = std::ios::binary | std::ios::trunc;
  std::ofstream File(FLogFileName, Mode);
  if (!File) return false;
  FIsItFirst = false;
  File << AEntry << "\r\n";
  File.close();
  return !File.fail();
}

void TLogger::AddToLog(int ALevel, const std::string& AMsgText) {
  // Logging never throws into its caller: a failure is recorded once, or dropped.
  try {
    std::string Entry;
    if (ALevel == 0) {
      Entry = AMsgText;
    } else {
      static const char kLetters[] = {'?', 'I', 'W', 'E'};
      const std::string Head = TimeStamp() + " [" + kLetters[std::clamp(ALevel, 1, 3)] + "]";
      if (ALevel == 3) FIsErrorsInLog = true;
      if (AMsgText.empty()) {
        Entry = Head;
      } else {
        const std::string Indent(static_cast<std::size_t>(std::max(FCurrentTabLevel.load(), 0)) * 2, ' ');
        const std::vector<std::string> Lines = SplitLogLines(AMsgText);
        for (std::size_t I = 0; I < Lines.size(); ++I) {
          if (I > 0) Entry += "\r\n";
          Entry += Head + " - " + Indent + Lines[I];
        }
      }
    }
    std::lock_guard<std::recursive_mutex> Lock(FLogCS);
    bool Written = false;
    try {
      Written = WriteEntry(Entry);
    } catch (...) {
    }
    if (Written || FInFailure) return;
    // Note: recording the failure re-enters the lock on this thread; if that write fails too,
    // FInFailure drops it instead of recursing.
    FInFailure = true;
    try {
      AddError("TLogger.AddToLog", "Cannot write the log file " + FLogFileName);
    } catch (...) {
    }
    FInFailure = false;
  } catch (...) {
  }
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

void TLogger::AddException(const std::string& AMethodName, const std::exception& AE) {
  AddError(AMethodName, AE.what());
}
void TLogger::AddDelimiter() { AddInfo(kHyphens); }
void TLogger::AddSmallDelimiter() { AddInfo(std::string(47, '.')); }
void TLogger::AddBigDelimiter() { AddToLog(0, kEquals); }

void TLogger::AddRunStart() {
  AddStartInfo("");
  AddStartInfo("Hello!");
  AddStartInfo("Logging started...");
  AddBigDelimiter();
}

void TLogger::AddRunEnd() {
  AddBigDelimiter();
  AddStartInfo("Logging is complete.");
}

void TLogger::EnterMethod(const std::string& AMethodName) {
  AddInfo(">>> " + AMethodName);
  ++FCurrentTabLevel;
}

void TLogger::ExitMethod(const std::string& AMethodName) {
  --FCurrentTabLevel;
  AddInfo("<<< " + AMethodName);
}

void TLogger::AddVarValue(const std::string& AVarName, bool AVar) {
  AddInfo(AVarName + (AVar ? " = true" : " = false"));
}
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
    const std::string Text = Buf.str();
    const std::vector<std::string> Lines = Text.empty() ? std::vector<std::string>{} : SplitLogLines(Text);
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

namespace {

std::atomic<TLogger*> GLogger{nullptr};
std::atomic<bool> GLoggingFinished{false};
std::mutex GLogNameLock;

// A function-local static, so that a log opened during static initialisation finds it made.
std::string& LogFileNameSetting() {
  static std::string Name = TLogger::kDefaultLogFileName;
  return Name;
}

// Closes the log when the program's statics are destroyed, whichever front end ran.
struct TLogCloser {
  ~TLogCloser() { FinishLogging(); }
} GLogCloser;

}  // namespace

TLogger& Logger() {
  // Never destroyed: threads and static destructors may still log while the program ends.
  static TLogger* Instance = [] {
    std::string Name;
    {
      std::lock_guard<std::mutex> Lock(GLogNameLock);
      Name = LogFileNameSetting();
    }
    auto* L = new TLogger(true, false, true, ProgramDataDir(), Name);
    L->AddRunStart();
    GLogger = L;
    return L;
  }();
  return *Instance;
}

void SetProgramLogFileName(const std::string& AFileName) {
  std::lock_guard<std::mutex> Lock(GLogNameLock);
  LogFileNameSetting() = AFileName;
}

void FinishLogging() {
  TLogger* L = GLogger.load();
  if (L && !GLoggingFinished.exchange(true)) L->AddRunEnd();
}

}  // namespace lexmora
