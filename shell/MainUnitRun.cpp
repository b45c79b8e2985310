#include "MainUnitRun.h"

#include <QThread>

#include <filesystem>

#include "LoggerUnit.h"
#include "RunFoldersUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

TRunBridge::TRunBridge(const TDiffFileConstructorSettings& ASettings, std::string APrefix, std::string AWorkDir,
                       QObject* AParent)
    : QObject(AParent),
      FRun(std::make_unique<TDiffFileConstructor>(ASettings, static_cast<TDiffFileConstructorObserver&>(*this))),
      FPrefix(std::move(APrefix)),
      FWorkDir(std::move(AWorkDir)) {}

TRunBridge::~TRunBridge() {
  // Normally the thread has ended before the bridge goes (RunEnded); when the window is destroyed
  // during a run anyway, the run must not outlive the observer it calls.
  if (FThread) {
    FRun->Terminate();
    FThread->wait();
    delete FThread;
  }
}

void TRunBridge::Start() {
  FRunning = true;
  FThread = QThread::create([this] { RunBody(); });
  FThread->setObjectName(QStringLiteral("ComparisonRun"));
  // Delivered on the GUI thread after the worker's last instruction.
  connect(FThread, &QThread::finished, this, [this] {
    FThread->wait();
    delete FThread;
    FThread = nullptr;
    FRunning = false;
    Q_EMIT RunEnded();
  });
  FThread->start();
}

void TRunBridge::Terminate() { FRun->Terminate(); }

bool TRunBridge::IsTerminateSet() const { return FRun->IsTerminateSet(); }

void TRunBridge::RunBody() {
  FRun->Execute();
  // Clean-up stays on the worker: a working folder of unpacked packages can take a while to remove.
  std::error_code Ec;
  if (!FWorkDir.empty()) {
    fs::remove_all(FWorkDir, Ec);
    if (Ec) Logger().AddWarning("Cannot remove the working folder " + FWorkDir + ": " + Ec.message());
  }
  ReleaseResultPrefix(FPrefix);
}

void TRunBridge::SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin,
                                 int APercentEnd) {
  Q_EMIT NewOperation(QString::fromStdString(AOperationName), APointCount, APercentBegin, APercentEnd);
}

void TRunBridge::SetProgress(int ACurrentPoint) { Q_EMIT Progress(ACurrentPoint); }

void TRunBridge::SetResult(TExecuteResult AResultCode, const std::string& AErrorLog, const std::string& AResultFile) {
  Q_EMIT RunResult(static_cast<int>(AResultCode), QString::fromStdString(AErrorLog), QString::fromStdString(AResultFile));
}

}  // namespace lexmora
