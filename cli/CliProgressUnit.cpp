#include "CliProgressUnit.h"

#include <chrono>

#include "LocalizationUnit.h"

namespace lexmora {

namespace {
// A plain (non-terminal) progress line at most this often.
constexpr std::uint32_t PlainLinePeriodMs = 2000;
// Erase the line the cursor is on.
const char* const ClearLine = "\r\x1b[K";
}  // namespace

TCliProgressPrinter::TCliProgressPrinter(std::ostream& AOut, TLocalizationLanguare ALang, bool AInPlace, bool AQuiet)
    : FOut(AOut), FLang(ALang), FInPlace(AInPlace), FQuiet(AQuiet), FRenderer(ALang) {}

void TCliProgressPrinter::SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin,
                                          int APercentEnd) {
  std::lock_guard<std::mutex> Lock(FLock);
  FOperation = AOperationName;
  FPlainLineShown = false;
  if (auto Previous = FRenderer.StartNewOperation(AOperationName, APointCount, APercentBegin, APercentEnd))
    ShowFinishLine(*Previous);
}

void TCliProgressPrinter::SetProgress(int ACurrentPoint) {
  std::lock_guard<std::mutex> Lock(FLock);
  FRenderer.SetCurrentPoint(ACurrentPoint);
}

void TCliProgressPrinter::SetOutcome(const TRunOutcome& /*AOutcome*/) {
  // The owner reads the outcome from the run once its thread has ended.
  std::lock_guard<std::mutex> Lock(FLock);
  FHasResult = true;
  FResultCame.notify_all();
}

bool TCliProgressPrinter::WaitForResult(int AMs) {
  std::unique_lock<std::mutex> Lock(FLock);
  return FResultCame.wait_for(Lock, std::chrono::milliseconds(AMs), [this] { return FHasResult; });
}

void TCliProgressPrinter::Tick() {
  std::lock_guard<std::mutex> Lock(FLock);
  if (auto Lines = FRenderer.Render(false)) {
    if (Lines->IsFinished)
      ShowFinishLine(Lines->CurrProgressStr);
    else
      ShowLines(*Lines);
  }
}

void TCliProgressPrinter::Finish() {
  std::lock_guard<std::mutex> Lock(FLock);
  FRenderer.CloseOperation();
  if (!FOperation.empty()) ShowFinishLine(FOperation + GetLocalizedText(TMsg::OperationCompleted, FLang));
  FOperation.clear();
}

void TCliProgressPrinter::ShowLines(const TProgressLines& ALines) {
  if (FQuiet) return;
  if (FInPlace) {
    // Both lines are drawn, then the cursor goes back to the start of the first one.
    FOut << ClearLine << ALines.CurrProgressStr << "\n" << ClearLine << ALines.TotalProgressStr << "\r\x1b[1A";
    FOut.flush();
    return;
  }
  // Pipes and log files get an occasional operation line, not a stream of redraws.
  const std::uint32_t Now = GetTickCount32();
  const std::size_t PercentPos = ALines.CurrProgressStr.rfind('%');
  if (FPlainLineShown && static_cast<std::uint32_t>(Now - FLastPlainTick) < PlainLinePeriodMs) return;
  FLastPlainTick = Now;
  FPlainLineShown = true;
  FOut << ALines.CurrProgressStr.substr(0, PercentPos == std::string::npos ? std::string::npos : PercentPos + 1)
       << "\n";
  FOut.flush();
}

void TCliProgressPrinter::ShowFinishLine(const std::string& ALine) {
  if (FQuiet) return;
  if (FInPlace) {
    FOut << ClearLine << ALine << "\n" << ClearLine;
  } else {
    FOut << ALine << "\n";
  }
  FOut.flush();
}

}  // namespace lexmora
