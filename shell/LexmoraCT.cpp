// LexmoraCT: the desktop program's entry routine.
#include <QApplication>
#include <QMessageBox>

#include <cstdio>

#include "ApplicationUnit.h"
#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "MainUnit.h"
#include "MainUnitShellDeps.h"

using namespace lexmora;

namespace {

QString Text(int AId) { return QString::fromStdString(GetLocalizedText(AId, ProgrammSettings.LangIndex)); }

}  // namespace

int main(int argc, char* argv[]) {
  // Paths first; nothing is logged before the single-instance lock is held, because the first log
  // entry empties the log, which must stay the running copy's.
  InitSettingsPaths();
  LoadSettings();
  TSingleInstanceLock Lock;
  const bool IsFirst = Lock.TryLock();

  QApplication App(argc, argv);
  ConfigureApplication(App);

  if (!IsFirst) {
    // Also on stderr, for a start from a terminal.
    std::fprintf(stderr, "%s\n", GetLocalizedText(143, ProgrammSettings.LangIndex).c_str());
    QMessageBox::information(nullptr, Text(142), Text(143));
    return 0;
  }

  Logger().AddInfo("LexmoraCT " + QApplication::applicationVersion().toStdString() + " started");
  if (!CheckLocalizationIds()) {
    // The table itself is broken, so this notice cannot come from it.
    QMessageBox::critical(nullptr, QString(),
                          QStringLiteral("Обнаружена проблема со строками локализаций! \r\nАх, как жаль... :("));
    Logger().AddError("main", "The message table failed its self-test");
    return 1;
  }

  TMainForm MainForm;
  MainForm.show();
  const int Status = App.exec();
  FinishLogging();
  return Status;
}
