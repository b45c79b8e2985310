// The two progress lines of a running comparison, kept alive by a timer on the GUI thread.
#pragma once

#include <QtCore/QObject>
#include <QtCore/QTimer>
#include <functional>
#include <string>

#include "DataTypeUnit.h"
#include "ProgressatorUnit.h"

namespace lexmora {

// Drives the Qt-free TProgressRenderer: every 50 ms the timer lets it render when its 100 ms period
// has passed. No thread of its own: everything, the callbacks included, runs on the thread that owns
// the object (the GUI thread), so nothing is shared between threads.
class TProgressator : public QObject {
  Q_OBJECT

 public:
  // Replace the two progress lines.
  using TSetProgressCallBack =
      std::function<void(const std::string& ACurrProgressStr, const std::string& ATotalProgressStr)>;
  // The current operation finished: show this line in place of the two.
  using TSetProgressFinishCallBack = std::function<void(const std::string& AResultString)>;
  // The reporter has ended; it renders nothing more. The owner may deleteLater() it here.
  using TSetResultCallBack = std::function<void()>;

  TProgressator(TSetProgressCallBack ASetProgressCallBack, TSetProgressFinishCallBack ASetProgressFinishCallback,
                TSetResultCallBack ASetResultCallback, TLocalizationLanguare ALocalizationLanguare,
                QObject* AParent = nullptr);
  // Forgets the callbacks: a reporter destroyed before it ended calls none of them.
  ~TProgressator() override;

  // Starts the timer.
  void Start();
  // Closes a running operation (its finish line is shown) and starts a new one, whose completion
  // moves the total from AMinPercent to AMaxPercent.
  void StartNewOperation(const std::string& AOperationName, int APointCount, int AMinPercent, int AMaxPercent);
  // The run's latest point; held at the operation's point count.
  void SetCurrentPoint(int ACurrentPoint);
  // Ends the reporter: from now on no line is sent; the result callback follows once, from the
  // event loop (never inside this call). Also a reporter that was never started ends this way.
  void Terminate();

  const std::string& CurrentOperation() const { return FCurrentOperation; }
  bool IsOperationSet() const { return !FTerminated && FRenderer.IsOperationSet(); }
  bool IsTerminated() const { return FTerminated; }

  // Timer interval (the renderer's own period throttles to one rendering per 100 ms).
  static constexpr int PollIntervalMs = 50;

 private:
  void CheckProgressTimer(bool AForce);
  void SendOperationDone(const std::string& ALine);
  void Fail(const char* AMethod, const std::exception* AE);
  void SendFinished();

  TProgressRenderer FRenderer;
  QTimer FTimer;
  std::string FCurrentOperation;
  bool FTerminated = false;
  bool FFinishQueued = false;
  TSetProgressCallBack FSetProgressCallBack;
  TSetProgressFinishCallBack FSetProgressFinishCallback;
  TSetResultCallBack FSetResultCallback;
};

}  // namespace lexmora
