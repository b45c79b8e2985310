// LexmoraCT: the desktop program's entry routine.
#include <QApplication>

#include <cstdio>

#include "AllocatorTuningUnit.h"
#include "ApplicationUnit.h"
#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "MainUnit.h"
#include "Settings.h"
#include "SingleInstanceUnit.h"
#include "StartUpUnit.h"

using namespace lexmora;

int main(int argc, char* argv[]) {
  TuneAllocator();
  // The settings paths are set before main. The application comes first, so that the lock records
  // the program's name.
  QApplication App(argc, argv);
  ConfigureApplication(App);
  LoadSettings();

  // Nothing is logged before the lock is held: the first log entry empties the log, which is the
  // running copy's as long as it runs.
  TSingleInstanceLock Lock;
  if (!Lock.TryLock()) {
    // Also on stderr, for a start from a terminal.
    std::fprintf(stderr, "%s\n", GetLocalizedText(TMsg::AlreadyRunning, ProgrammSettings.LangIndex).c_str());
    ShowAlreadyRunningMessage(ProgrammSettings.LangIndex);
    return kExitAlreadyRunning;
  }
  Logger().AddInfo("LexmoraCT " + QApplication::applicationVersion().toStdString() + " started");
  if (!Lock.Problem().isEmpty())
    Logger().AddWarning("No single-instance lock: " + Lock.Problem().toStdString());

  // A failed check ends the program before any window exists.
  if (!RunStartUpChecks()) return kExitStartUpCheckFailed;

  int Status = 0;
  {
    TMainForm MainForm;
    MainForm.show();
    Status = App.exec();
  }
  FinishLogging();
  return Status;
}
