// The two progress lines of a comparison run: rendering and throttling, without threads or UI.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "DataTypeUnit.h"

namespace lexmora {

// Monotonic milliseconds, truncated to 32 bits; wraps about every 49.7 days.
std::uint32_t GetTickCount32();

// What one rendering produced.
struct TProgressLines {
  std::string CurrProgressStr;   // operation line, or the finish line when IsFinished
  std::string TotalProgressStr;  // total line; empty when IsFinished
  bool IsFinished = false;       // the operation completed: show CurrProgressStr in place of both lines
};

// Renders the operation line (bar of 30, percentage, spinner) and the total line (bar of 50).
// A front end calls it from its progress observer and a timer; it keeps no thread and takes no lock,
// so one owner must serialise the calls.
class TProgressRenderer {
 public:
  explicit TProgressRenderer(TLocalizationLanguare ALang, int APeriodMs = 100);

  // Closes a running operation (its finish line is returned) and starts a new one whose
  // completion moves the total from AMinPercent to AMaxPercent.
  std::optional<std::string> StartNewOperation(const std::string& AOperationName, int APointCount, int AMinPercent,
                                               int AMaxPercent);
  // Points done so far; held at the operation's point count.
  void SetCurrentPoint(int ACurrentPoint);
  // Renders when an operation is set and, unless forced, more than the period has passed since
  // the last rendering (wrap-safe on the 32-bit tick). Nothing when throttled or no operation is set.
  std::optional<TProgressLines> Render(bool AForce);
  std::optional<TProgressLines> Render(bool AForce, std::uint32_t ATick);
  // Ends a running operation; returns its finish line ("<name> is completed..."), or nothing.
  std::optional<std::string> CloseOperation();

  bool IsOperationSet() const { return FIsOperationSet; }

  // Spinner frames, in order.
  static constexpr const char* ProgressFrames = "|/-\\";

 private:
  std::string FinishLine() const;

  int FProgressFrameCount = 4;
  int FProgressPeriod = 100;
  std::uint32_t FLastSetProgressTick = 0;
  int FProgressFrameIndex = 1;  // 1 to FProgressFrameCount
  bool FIsOperationSet = false;
  double FTransRate = 0;  // share of the whole per operation percent
  std::string FCurrentOperation;
  int FCurrentPoint = 0;
  int FCurrentPointCount = 0;
  int FTotalPercentBegin = 0;
  int FTotalPercentEnd = 0;
  TLocalizationLanguare FLocalizationLanguare;
};

}  // namespace lexmora
