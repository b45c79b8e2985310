// The comparison run on a worker thread. The run's observer calls become queued signals that carry
// copies of their arguments, so the window reads nothing the worker still owns and the GUI thread
// never waits for the worker.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "ComparisonRunUnit.h"

class QThread;

Q_DECLARE_METATYPE(lexmora::TRunOutcome)

namespace lexmora {

class TRunBridge : public QObject, private TRunObserver {
  Q_OBJECT
 public:
  // ARun has been prepared; the bridge runs it on a worker thread of its own.
  explicit TRunBridge(std::unique_ptr<TComparisonRun> ARun, QObject* AParent = nullptr);
  ~TRunBridge() override;
  TRunBridge(const TRunBridge&) = delete;
  TRunBridge& operator=(const TRunBridge&) = delete;

  // Starts the worker thread; call once.
  void Start();
  // Asks the run to stop; it answers with RunResult as usual.
  void Terminate();
  bool IsTerminateSet() const;
  // True from Start until RunEnded has been sent.
  bool IsRunning() const { return FRunning; }

 Q_SIGNALS:
  void NewOperation(const QString& AOperationName, int APointCount, int APercentBegin, int APercentEnd);
  void Progress(int ACurrentPoint);
  void RunResult(const lexmora::TRunOutcome& AOutcome);
  // The worker thread has ended and the run's working folder and reservation are gone.
  void RunEnded();

 private:
  void SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin, int APercentEnd) override;
  void SetProgress(int ACurrentPoint) override;
  void SetOutcome(const TRunOutcome& AOutcome) override;

  std::unique_ptr<TComparisonRun> FRun;
  QThread* FThread = nullptr;
  bool FRunning = false;
};

}  // namespace lexmora
