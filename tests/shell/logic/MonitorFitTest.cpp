#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "FormStateUnit.h"
#include "MonitorFitUnit.h"

using namespace lexmora;

namespace {

const TScreenRect kLaptop{0, 0, 1920, 1040};  // primary, a task bar of 40 at the bottom
const TScreenRect kRightMonitor{1920, 0, 2560, 1440};
const TScreenRect kLeftMonitor{-1280, 200, 1280, 1024};
const TScreenRect kAbove{0, -1080, 1920, 1080};

bool OnSomeMonitor(int AX, int AY, const std::vector<TScreenRect>& AMonitors) {
  for (const TScreenRect& M : AMonitors) {
    if (M.Contains(AX, AY)) return true;
  }
  return false;
}

}  // namespace

TEST(FitToMonitors, LayoutsAndWindows) {
  const struct {
    const char* Name;
    std::vector<TScreenRect> Monitors;
    TScreenRect Window;
    TScreenRect Expected;
  } Rows[] = {
      {"inside stays", {kLaptop}, {100, 100, 636, 340}, {100, 100, 636, 340}},
      {"off the left and top", {kLaptop}, {-500, -30, 636, 340}, {0, 0, 636, 340}},
      {"off the right and bottom", {kLaptop}, {1800, 1000, 636, 340}, {1920 - 636, 1040 - 340, 636, 340}},
      {"on the second monitor stays", {kLaptop, kRightMonitor}, {3000, 900, 800, 500}, {3000, 900, 800, 500}},
      {"second monitor removed", {kLaptop}, {3000, 900, 800, 500}, {1920 - 800, 1040 - 500, 800, 500}},
      {"spanning two side by side stays", {kLaptop, kRightMonitor}, {1500, 100, 800, 500}, {1500, 100, 800, 500}},
      // Bottom of the taller right monitor: the vertical fit follows the monitor under the left edge.
      {"low on the taller monitor stays", {kLaptop, kRightMonitor}, {2000, 1300, 400, 100}, {2000, 1300, 400, 100}},
      {"low on the shorter monitor moves up", {kLaptop, kRightMonitor}, {100, 1300, 400, 100}, {100, 940, 400, 100}},
      {"left monitor with a negative origin", {kLaptop, kLeftMonitor}, {-1000, 300, 600, 400}, {-1000, 300, 600, 400}},
      {"left monitor removed", {kLaptop}, {-1000, 300, 600, 400}, {0, 300, 600, 400}},
      // Above the left monitor's top (200) but beside the laptop's range: moved onto the left monitor.
      {"above the lower left monitor", {kLaptop, kLeftMonitor}, {-1000, 50, 600, 400}, {-1000, 200, 600, 400}},
      {"stacked: the monitor nearest the top governs", {kAbove, kLaptop}, {100, -500, 600, 400}, {100, -500, 600, 400}},
      {"stacked: the upper one removed", {kLaptop}, {100, -500, 600, 400}, {100, 0, 600, 400}},
      // Size first: a window taller and wider than everything is shrunk, and then its corner is on screen.
      {"larger than the screen", {kLaptop}, {-50, -50, 4000, 3000}, {0, 0, 1920, 1040}},
      {"taller than the monitor under it", {kLaptop, kRightMonitor}, {50, 300, 700, 1400}, {50, 0, 700, 1040}},
      {"below the end of the lower left monitor",
       {kLeftMonitor, kLaptop},
       {-600, 1100, 300, 200},
       {-600, 1024, 300, 200}},
      // The left edge over the 80 pixels between two monitors: onto the nearer one, whole.
      {"gap between monitors", {kLaptop, {2000, 0, 1920, 1040}}, {1950, 100, 300, 200}, {1620, 100, 300, 200}},
      {"gap, wider than the nearer monitor",
       {kLaptop, {2000, 0, 800, 1040}},
       {1960, 100, 840, 200},
       {2000, 100, 800, 200}},
      {"no monitors: unchanged", {}, {-5000, -5000, 10, 10}, {-5000, -5000, 10, 10}},
  };
  for (const auto& Row : Rows) {
    EXPECT_EQ(FitToMonitors(Row.Window, Row.Monitors), Row.Expected) << Row.Name;
  }
}

// Whatever the layout and the stored rectangle: the top-left corner lands on a monitor, the size is
// never larger than asked and fits the governing monitor's height, and fitting again changes nothing.
TEST(FitToMonitors, TheTitleBarIsAlwaysReachable) {
  std::mt19937 Rng(4711);
  std::uniform_int_distribution<int> Pos(-5000, 5000);
  std::uniform_int_distribution<int> Size(200, 3000);
  std::uniform_int_distribution<int> Count(1, 4);
  std::uniform_int_distribution<int> Gap(0, 300);
  for (int I = 0; I < 3000; ++I) {
    // Monitors never overlap: a row (or, every other case, a column) with random gaps and offsets.
    std::vector<TScreenRect> Monitors;
    const int N = Count(Rng);
    int Cursor = Pos(Rng);
    for (int K = 0; K < N; ++K) {
      TScreenRect M{Cursor + Gap(Rng), Pos(Rng) / 3, Size(Rng), Size(Rng)};
      Cursor = M.Right();
      if (I % 2) M = {M.Top, M.Left, M.Height, M.Width};
      Monitors.push_back(M);
    }
    const TScreenRect Window{Pos(Rng) * 2, Pos(Rng) * 2, Size(Rng) * 2, Size(Rng) * 2};
    const TScreenRect Fit = FitToMonitors(Window, Monitors);
    ASSERT_TRUE(OnSomeMonitor(Fit.Left, Fit.Top, Monitors)) << "case " << I;
    ASSERT_LE(Fit.Width, Window.Width);
    ASSERT_LE(Fit.Height, Window.Height);
    ASSERT_GT(Fit.Width, 0);
    ASSERT_GT(Fit.Height, 0);
    ASSERT_EQ(FitToMonitors(Fit, Monitors), Fit) << "case " << I;
  }
}

TEST(FormState, EachStateShowsOneViewAndItsButtons) {
  const struct {
    TFormState State;
    TFormStateView View;
  } Rows[] = {
      {TFormState::fsSetupToWork, {true, false, false, false, TFormFocus::ffNone}},
      {TFormState::fsWorked, {false, true, true, false, TFormFocus::ffStopButton}},
      {TFormState::fsWorkStopping, {false, true, false, false, TFormFocus::ffWorkView}},
      {TFormState::fsWaitForRestart, {false, true, false, true, TFormFocus::ffRestartButton}},
  };
  for (const auto& Row : Rows) {
    const TFormStateView V = FormStateView(Row.State);
    const int S = static_cast<int>(Row.State);
    EXPECT_EQ(V.SetupView, Row.View.SetupView) << S;
    EXPECT_EQ(V.WorkView, Row.View.WorkView) << S;
    EXPECT_NE(V.SetupView, V.WorkView) << S;
    EXPECT_EQ(V.StopButton, Row.View.StopButton) << S;
    EXPECT_EQ(V.RestartButton, Row.View.RestartButton) << S;
    EXPECT_EQ(V.Focus, Row.View.Focus) << S;
  }
  EXPECT_EQ(static_cast<int>(TFormState::fsWaitForRestart), 3);
}
