#include "GuiProgressatorUnit.h"

#include <QtCore/QMetaObject>

#include "LoggerUnit.h"

namespace lexmora {

TProgressator::TProgressator(TSetProgressCallBack ASetProgressCallBack,
                             TSetProgressFinishCallBack ASetProgressFinishCallback,
                             TSetResultCallBack ASetResultCallback, TLocalizationLanguare ALocalizationLanguare,
                             QObject* AParent)
    : QObject(AParent),
      FRenderer(ALocalizationLanguare),
      FSetProgressCallBack(std::move(ASetProgressCallBack)),
      FSetProgressFinishCallback(std::move(ASetProgressFinishCallback)),
      FSetResultCallback(std::move(ASetResultCallback)) {
  FTimer.setInterval(PollIntervalMs);
  connect(&FTimer, &QTimer::timeout, this, [this] { CheckProgressTimer(false); });
}

TProgressator::~TProgressator() {
  FSetProgressCallBack = nullptr;
  FSetProgressFinishCallback = nullptr;
  FSetResultCallback = nullptr;
}

void TProgressator::Start() {
  if (!FTerminated) FTimer.start();
}

void TProgressator::StartNewOperation(const std::string& AOperationName, int APointCount, int AMinPercent,
                                      int AMaxPercent) {
  if (FTerminated) return;
  try {
    const auto Previous = FRenderer.StartNewOperation(AOperationName, APointCount, AMinPercent, AMaxPercent);
    FCurrentOperation = AOperationName;
    if (Previous) SendOperationDone(*Previous);
  } catch (const std::exception& E) {
    Fail("TProgressator.StartNewOperation", &E);
  } catch (...) {
    Fail("TProgressator.StartNewOperation", nullptr);
  }
}

void TProgressator::SetCurrentPoint(int ACurrentPoint) {
  if (!FTerminated) FRenderer.SetCurrentPoint(ACurrentPoint);
}

void TProgressator::CheckProgressTimer(bool AForce) {
  if (FTerminated) return;
  try {
    const auto Lines = FRenderer.Render(AForce);
    if (!Lines) return;
    if (Lines->IsFinished) {
      SendOperationDone(Lines->CurrProgressStr);
    } else if (FSetProgressCallBack) {
      FSetProgressCallBack(Lines->CurrProgressStr, Lines->TotalProgressStr);
    }
  } catch (const std::exception& E) {
    Fail("TProgressator.CheckProgressTimer", &E);
  } catch (...) {
    Fail("TProgressator.CheckProgressTimer", nullptr);
  }
}

void TProgressator::SendOperationDone(const std::string& ALine) {
  if (!FTerminated && FSetProgressFinishCallback) FSetProgressFinishCallback(ALine);
}

// A failure ends the reporter quietly (a line in the log), but the owner still hears of its end.
void TProgressator::Fail(const char* AMethod, const std::exception* AE) {
  if (AE) {
    Logger().AddException(AMethod, *AE);
  } else {
    Logger().AddError(AMethod, "unknown exception");
  }
  Terminate();
}

void TProgressator::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  FTimer.stop();
  FRenderer.CloseOperation();  // its finish line is not shown: the owner writes its own
  if (!FFinishQueued) {
    FFinishQueued = true;
    QMetaObject::invokeMethod(this, &TProgressator::SendFinished, Qt::QueuedConnection);
  }
}

void TProgressator::SendFinished() {
  // The callback may delete this object (through deleteLater); nothing touches it afterwards.
  TSetResultCallBack Callback = std::move(FSetResultCallback);
  FSetResultCallback = nullptr;
  if (Callback) Callback();
}

}  // namespace lexmora
