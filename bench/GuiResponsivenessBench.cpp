// How the desktop window behaves during a long comparison: the longest time the GUI thread did
// not serve its event loop while the run went on, and the time from pressing stop while the first
// file is read to the outcome line. Runs the real main window (offscreen or on a display) on a
// generated pair; see bench/README or the README's benchmark section.
// Usage: gui_responsiveness_bench BEFORE_FILE AFTER_FILE [html|xlsx]
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <cstdio>

#include "LocalizationUnit.h"
#include "MainUnit.h"
#include "MainUnitShellDeps.h"
#include "ProgramPathsUnit.h"

using namespace lexmora;

namespace {

// Counts the gaps between timer events that should come every APeriod ms.
class THeartbeat : public QObject {
 public:
  // AProbe names what the window was doing; called on every beat.
  THeartbeat(int APeriodMs, std::function<QString()> AProbe) : FProbe(std::move(AProbe)) {
    FTimer.setTimerType(Qt::PreciseTimer);
    FTimer.setInterval(APeriodMs);
    connect(&FTimer, &QTimer::timeout, this, [this] {
      const qint64 Now = FClock.nsecsElapsed();
      const QString State = FProbe();
      if (FLast >= 0 && Now - FLast > FMaxGapNs) {
        FMaxGapNs = Now - FLast;
        FMaxAt = Now / 1e6;
        FMaxBefore = FLastState;
        FMaxAfter = State;
      }
      FLast = Now;
      FLastState = State;
    });
  }
  void Start() {
    FMaxGapNs = 0;
    FLast = -1;
    FClock.start();
    FTimer.start();
  }
  void Stop() { FTimer.stop(); }
  double MaxGapMs() const { return FMaxGapNs / 1e6; }
  QString Where() const {
    return QStringLiteral("at %1 ms, between [%2] and [%3]").arg(FMaxAt, 0, 'f', 0).arg(FMaxBefore, FMaxAfter);
  }

 private:
  QTimer FTimer;
  QElapsedTimer FClock;
  qint64 FLast = -1;
  qint64 FMaxGapNs = 0;
  double FMaxAt = 0;
  std::function<QString()> FProbe;
  QString FLastState, FMaxBefore, FMaxAfter;
};

class TUrlSink : public QObject {
  Q_OBJECT
 public Q_SLOTS:
  void Open(const QUrl&) {}
};

bool WaitUntil(const std::function<bool()>& ADone, int ATimeoutMs) {
  QElapsedTimer Clock;
  Clock.start();
  while (!ADone()) {
    if (Clock.elapsed() > ATimeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: gui_responsiveness_bench BEFORE_FILE AFTER_FILE [html|xlsx]\n");
    return 2;
  }
  const QString Home = QDir::temp().filePath(QStringLiteral("lexmora-gui-bench-%1").arg(QCoreApplication::applicationPid()));
  SetProgramDataDirOverride(Home.toStdString());
  InitSettingsPaths();
  QApplication App(argc, argv);
  TUrlSink Sink;
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &Sink, "Open");
  const QString Before = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  const QString After = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
  const bool Xlsx = argc > 3 && QString::fromLocal8Bit(argv[3]) == QStringLiteral("xlsx");

  // No update check: the figures never depend on a network.
  TMainForm Form(nullptr, TUpdateCheckConfig::NoCheck());
  Form.show();
  Form.AddFilesToList(Form.SrcFilesListBox, {Before.toStdString()}, true);
  Form.AddFilesToList(Form.TrgFilesListBox, {After.toStdString()}, true);
  (Xlsx ? Form.ExportToXLSXRadioButton : Form.ExportToHTMLRadioButton)->setChecked(true);
  if (Form.SrcFilesListBox->count() != 1 || Form.TrgFilesListBox->count() != 1) {
    std::fprintf(stderr, "the input files were not accepted\n");
    return 2;
  }

  // 1. A whole run: the longest stretch without event processing on the GUI thread.
  THeartbeat Beat(5, [&Form] {
    const QStringList Lines = Form.LogLines();
    return Lines.isEmpty() ? QString() : Lines.size() >= 2 ? Lines[Lines.size() - 2].left(40) : Lines.last().left(40);
  });
  QElapsedTimer RunClock;
  Beat.Start();
  RunClock.start();
  Form.GenerateDiffFileBtnClick();
  if (!WaitUntil([&Form] { return !Form.IsRunActive(); }, 30 * 60 * 1000)) return 1;
  Beat.Stop();
  const double RunSeconds = RunClock.elapsed() / 1000.0;
  const bool RunOk = Form.LogLines().contains(QString::fromStdString(GetLocalizedText(41, TLocalizationLanguare::llEN)));
  std::printf("run: %.2f s, report written: %s, longest GUI stall: %.1f ms %s\n", RunSeconds, RunOk ? "yes" : "no",
              Beat.MaxGapMs(), qPrintable(Beat.Where()));

  // 2. Stop while the first file is read: time from the press to the outcome line.
  Form.RestartButtonClick();
  Form.GenerateDiffFileBtnClick();
  if (!WaitUntil([&Form] { return Form.LogLines().size() >= 4; }, 60000)) return 1;
  WaitUntil([] { return false; }, 300);  // well inside the reading of the first file
  const QString Outcome = QString::fromStdString(GetLocalizedText(39, TLocalizationLanguare::llEN));
  const bool StillReading = Form.LogLines().size() == 4;
  QElapsedTimer StopClock;
  Beat.Start();
  StopClock.start();
  Form.StopGenerateDiffFileBtnClick();
  if (!WaitUntil([&Form, &Outcome] { return Form.LogLines().contains(Outcome); }, 60000)) return 1;
  const double StopMs = StopClock.nsecsElapsed() / 1e6;
  WaitUntil([&Form] { return !Form.IsRunActive(); }, 60000);
  Beat.Stop();
  std::printf("stop during reading of the first file%s: outcome line after %.1f ms, longest GUI stall: %.1f ms\n",
              StillReading ? "" : " (NOTE: reading had already passed the first file)", StopMs, Beat.MaxGapMs());
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  QDir(Home).removeRecursively();
  return RunOk ? 0 : 1;
}

#include "GuiResponsivenessBench.moc"
