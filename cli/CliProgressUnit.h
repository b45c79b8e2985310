// The command-line tool's observer of a run: progress lines on a stream and the run's result.
#pragma once

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>

#include "ComparisonRunUnit.h"
#include "ProgressatorUnit.h"

namespace lexmora {

class TCliProgressPrinter : public TRunObserver {
 public:
  // AInPlace: AOut is a terminal, so the two lines are rewritten in place; otherwise an
  // operation line is printed now and then. AQuiet: nothing is printed at all.
  TCliProgressPrinter(std::ostream& AOut, TLocalizationLanguare ALang, bool AInPlace, bool AQuiet);

  void SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin, int APercentEnd) override;
  void SetProgress(int ACurrentPoint) override;
  void SetOutcome(const TRunOutcome& AOutcome) override;

  // Redraws when due; called by the waiting thread every few tens of milliseconds.
  void Tick();
  // Waits up to AMs for the outcome; true once SetOutcome has come.
  bool WaitForResult(int AMs);
  // Ends the progress display: the current operation's name and " completed...".
  void Finish();

 private:
  void ShowLines(const TProgressLines& ALines);
  void ShowFinishLine(const std::string& ALine);

  std::ostream& FOut;
  TLocalizationLanguare FLang;
  bool FInPlace;
  bool FQuiet;
  std::mutex FLock;
  std::condition_variable FResultCame;
  bool FHasResult = false;
  TProgressRenderer FRenderer;
  std::string FOperation;
  std::uint32_t FLastPlainTick = 0;  // last plain line (pipe mode)
  bool FPlainLineShown = false;      // this operation has had its first plain line
};

}  // namespace lexmora
