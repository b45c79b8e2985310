#include "ProgressatorUnit.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "LocalizationUnit.h"

namespace lexmora {

namespace {

constexpr int kOperationBarWidth = 30;
constexpr int kTotalBarWidth = 50;

// Note: the done part always has one "|" more than its share, so a full bar is one character
// longer than the padded width.
std::string Bar(int APercent, int AWidth) {
  const int Done = std::max(0, APercent) * AWidth / 100 + 1;
  std::string R(static_cast<std::size_t>(Done), '|');
  if (Done < AWidth) R.append(static_cast<std::size_t>(AWidth - Done), '.');
  return R;
}

}  // namespace

std::uint32_t GetTickCount32() {
  const auto Ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(Ms.count()));
}

TProgressRenderer::TProgressRenderer(TLocalizationLanguare ALang, int APeriodMs)
    : FProgressPeriod(APeriodMs), FLocalizationLanguare(ALang) {}

std::string TProgressRenderer::FinishLine() const {
  return FCurrentOperation + GetLocalizedText(TMsg::ProgressOperationCompleted, FLocalizationLanguare);
}

std::optional<std::string> TProgressRenderer::CloseOperation() {
  if (!FIsOperationSet) return std::nullopt;
  FIsOperationSet = false;
  return FinishLine();
}

std::optional<std::string> TProgressRenderer::StartNewOperation(const std::string& AOperationName, int APointCount,
                                                                int AMinPercent, int AMaxPercent) {
  std::optional<std::string> Previous = CloseOperation();
  FCurrentOperation = AOperationName;
  FCurrentPoint = 0;
  FCurrentPointCount = APointCount;
  FTotalPercentBegin = AMinPercent;
  FTotalPercentEnd = AMaxPercent;
  FTransRate = (AMaxPercent - AMinPercent) / 100.0;
  FIsOperationSet = true;
  return Previous;
}

void TProgressRenderer::SetCurrentPoint(int ACurrentPoint) {
  FCurrentPoint = std::min(ACurrentPoint, FCurrentPointCount);
}

std::optional<TProgressLines> TProgressRenderer::Render(bool AForce) { return Render(AForce, GetTickCount32()); }

std::optional<TProgressLines> TProgressRenderer::Render(bool AForce, std::uint32_t ATick) {
  if (!FIsOperationSet) return std::nullopt;
  // The signed difference keeps the throttle right across the tick's wrap-around.
  const std::int32_t Elapsed = static_cast<std::int32_t>(ATick - FLastSetProgressTick);
  if (!AForce && std::abs(static_cast<std::int64_t>(Elapsed)) <= FProgressPeriod) return std::nullopt;
  FLastSetProgressTick = ATick;

  FProgressFrameIndex = FProgressFrameIndex >= FProgressFrameCount ? 1 : FProgressFrameIndex + 1;
  const char Spinner = ProgressFrames[FProgressFrameIndex - 1];

  const bool Complete = FCurrentPoint >= FCurrentPointCount;
  // Note: the factor is 99, so a running operation never shows 100 before it completes.
  const int P = Complete ? 100 : static_cast<int>(std::max<long long>(0, 99LL * FCurrentPoint / FCurrentPointCount));
  const int T = P == 100 ? FTotalPercentEnd : FTotalPercentBegin + static_cast<int>(P * FTransRate);

  TProgressLines Lines;
  if (Complete) {
    FIsOperationSet = false;
    Lines.CurrProgressStr = FinishLine();
    Lines.IsFinished = true;
    return Lines;
  }
  Lines.CurrProgressStr =
      FCurrentOperation + ": " + Bar(P, kOperationBarWidth) + FloatToRoundedStr(2, P) + "% " + Spinner;
  Lines.TotalProgressStr = GetLocalizedText(TMsg::ProgressTotal, FLocalizationLanguare) + Bar(T, kTotalBarWidth) + " " +
                           FloatToRoundedStr(2, T) + "% ";
  return Lines;
}

}  // namespace lexmora
