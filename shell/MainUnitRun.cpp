#include "MainUnitRun.h"

#include <QThread>

namespace lexmora {

TRunBridge::TRunBridge(std::unique_ptr<TComparisonRun> ARun, QObject* AParent)
    : QObject(AParent), FRun(std::move(ARun)) {
  qRegisterMetaType<TRunOutcome>();
}

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
  // The clean-up after the run (working folder, reservation) stays on the worker as well.
  FThread = QThread::create([this] { FRun->Execute(*this); });
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

void TRunBridge::SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin,
                                 int APercentEnd) {
  Q_EMIT NewOperation(QString::fromStdString(AOperationName), APointCount, APercentBegin, APercentEnd);
}

void TRunBridge::SetProgress(int ACurrentPoint) { Q_EMIT Progress(ACurrentPoint); }

void TRunBridge::SetOutcome(const TRunOutcome& AOutcome) { Q_EMIT RunResult(AOutcome); }

}  // namespace lexmora
