// Keeps a stored window rectangle reachable on the monitors that are attached now.
#pragma once

#include <vector>

namespace lexmora {

// A rectangle in virtual-desktop pixels; Right and Bottom are one past the last pixel.
struct TScreenRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;

  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool Contains(int AX, int AY) const { return AX >= Left && AX < Right() && AY >= Top && AY < Bottom(); }
  friend bool operator==(const TScreenRect&, const TScreenRect&) = default;
};

// AWindow (its frame, title bar included) moved and, when too large, shrunk so that it fits the
// monitors' available areas AMonitors (empty: AWindow unchanged):
// 1. The bounding box of all monitors, which always includes the point (0, 0).
// 2. The width is clamped to the box, then the left edge into the box.
// 3. The monitor that governs the vertical fit is one whose horizontal extent holds the left edge
//    (of several stacked ones the one nearest the window's top); when none does, the monitor
//    nearest the window's top-left corner, to whose width the window is clamped and into which
//    its left edge is moved.
// 4. The height is clamped to that monitor, then the top into it.
// So the size is clamped first and the position last, and the top-left corner (the title bar)
// always lies on a monitor.
TScreenRect FitToMonitors(const TScreenRect& AWindow, const std::vector<TScreenRect>& AMonitors);

}  // namespace lexmora
