#include "MonitorFitUnit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace lexmora {

namespace {

// Distance from AValue to the range [ALow, AHigh), 0 inside it.
std::int64_t RangeDistance(int AValue, int ALow, int AHigh) {
  if (AValue < ALow) return static_cast<std::int64_t>(ALow) - AValue;
  if (AValue >= AHigh) return static_cast<std::int64_t>(AValue) - AHigh + 1;
  return 0;
}

// AValue moved into [ALow, AHigh - ASize], preferring ALow when the range is too small.
int ClampStart(int AValue, int ASize, int ALow, int AHigh) {
  if (AValue > AHigh - ASize) AValue = AHigh - ASize;
  if (AValue < ALow) AValue = ALow;
  return AValue;
}

}  // namespace

TScreenRect FitToMonitors(const TScreenRect& AWindow, const std::vector<TScreenRect>& AMonitors) {
  std::vector<TScreenRect> Monitors;
  for (const TScreenRect& M : AMonitors) {
    if (M.Width > 0 && M.Height > 0) Monitors.push_back(M);
  }
  if (Monitors.empty()) return AWindow;

  TScreenRect Box;  // starts as the point (0, 0)
  int BoxRight = 0;
  int BoxBottom = 0;
  for (const TScreenRect& M : Monitors) {
    Box.Left = std::min(Box.Left, M.Left);
    Box.Top = std::min(Box.Top, M.Top);
    BoxRight = std::max(BoxRight, M.Right());
    BoxBottom = std::max(BoxBottom, M.Bottom());
  }

  TScreenRect W = AWindow;
  W.Width = std::clamp(W.Width, 1, BoxRight - Box.Left);
  W.Left = ClampStart(W.Left, W.Width, Box.Left, BoxRight);

  const TScreenRect* Governing = nullptr;
  std::int64_t Best = std::numeric_limits<std::int64_t>::max();
  for (const TScreenRect& M : Monitors) {  // monitors under the left edge, nearest the top first
    if (W.Left < M.Left || W.Left >= M.Right()) continue;
    const std::int64_t D = RangeDistance(W.Top, M.Top, M.Bottom());
    if (D < Best) {
      Best = D;
      Governing = &M;
    }
  }
  if (!Governing) {  // the left edge is over a gap between monitors
    for (const TScreenRect& M : Monitors) {
      const std::int64_t Dx = RangeDistance(W.Left, M.Left, M.Right());
      const std::int64_t Dy = RangeDistance(W.Top, M.Top, M.Bottom());
      if (Dx * Dx + Dy * Dy < Best) {
        Best = Dx * Dx + Dy * Dy;
        Governing = &M;
      }
    }
    W.Width = std::min(W.Width, Governing->Width);
    W.Left = ClampStart(W.Left, W.Width, Governing->Left, Governing->Right());
  }
  W.Height = std::clamp(W.Height, 1, Governing->Height);
  W.Top = ClampStart(W.Top, W.Height, Governing->Top, Governing->Bottom());
  return W;
}

}  // namespace lexmora
