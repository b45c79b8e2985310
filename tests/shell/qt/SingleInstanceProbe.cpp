// A tiny program around the single-instance lock, started twice by the lock test:
//   single_instance_probe hold|try <program folder>
// It loads the settings of the folder, takes the lock and, when another copy holds it, shows the
// second-start notice (printed as "NOTICE <caption>|<text>") and ends with kExitAlreadyRunning.
// With the lock it logs a line, prints "LOCKED" and ends with 3 ("try") or waits to be killed ("hold").
#include <QtWidgets/QApplication>
#include <chrono>
#include <cstdio>
#include <thread>

#include "ApplicationUnit.h"
#include "LoggerUnit.h"
#include "ProgramPathsUnit.h"
#include "Settings.h"
#include "SingleInstanceUnit.h"
#include "StartUpUnit.h"

using namespace lexmora;

int main(int argc, char* argv[]) {
  if (argc != 3) return 64;
  const std::string Mode = argv[1];
  SetProgramDataDirOverride(argv[2]);
  InitSettingsPaths();
  QApplication App(argc, argv);
  ConfigureApplication(App);
  LoadSettings();
  TSingleInstanceLock Lock;
  if (!Lock.TryLock()) {
    SetStartUpNoticeHandler([](TStartUpNoticeKind, const QString& ACaption, const QString& AText) {
      std::printf("NOTICE %s|%s\n", ACaption.toUtf8().constData(), AText.toUtf8().constData());
    });
    ShowAlreadyRunningMessage(ProgrammSettings.LangIndex);
    return kExitAlreadyRunning;
  }
  Logger().AddInfo("probe " + std::to_string(QCoreApplication::applicationPid()) + " holds the lock");
  std::printf("LOCKED\n");
  std::fflush(stdout);
  if (Mode == "hold") {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  return 3;
}
