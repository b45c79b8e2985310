// The comparison run on a worker thread. The run's three observer calls become queued signals
// that carry copies of their arguments, so the window reads nothing the worker still owns and the
// GUI thread never waits for the worker.
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>

#include "DataTypeUnit.h"
#include "DiffFileConstructorUnit.h"

class QThread;

namespace lexmora {

class TRunBridge : public QObject, private TDiffFileConstructorObserver {
  Q_OBJECT
 public:
  // ASettings is copied into the run. The reservation of the report prefix APrefix is released and
  // AWorkDir (the run's private working folder) removed on the worker once the run is over.
  TRunBridge(const TDiffFileConstructorSettings& ASettings, std::string APrefix, std::string AWorkDir,
             QObject* AParent = nullptr);
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
  void RunResult(int AResultCode, const QString& AErrorLog, const QString& AResultFile);
  // The worker thread has ended and the run's working folder and reservation are gone.
  void RunEnded();

 private:
  void SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin,
                       int APercentEnd) override;
  void SetProgress(int ACurrentPoint) override;
  void SetResult(TExecuteResult AResultCode, const std::string& AErrorLog, const std::string& AResultFile) override;
  void RunBody();

  std::unique_ptr<TDiffFileConstructor> FRun;
  std::string FPrefix;
  std::string FWorkDir;
  QThread* FThread = nullptr;
  bool FRunning = false;
};

}  // namespace lexmora
