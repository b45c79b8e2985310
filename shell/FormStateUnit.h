// The main window's states and what each one shows, without widgets.
#pragma once

#include <cstdint>

namespace lexmora {

enum class TFormState : std::uint8_t { fsSetupToWork = 0, fsWorked = 1, fsWorkStopping = 2, fsWaitForRestart = 3 };

// Which control takes the keyboard focus in a state.
enum class TFormFocus : std::uint8_t { ffNone = 0, ffStopButton = 1, ffWorkView = 2, ffRestartButton = 3 };

// The controls a state shows; the setup view and the work view are never shown together.
struct TFormStateView {
  bool SetupView = false;
  bool WorkView = false;
  bool StopButton = false;
  bool RestartButton = false;
  TFormFocus Focus = TFormFocus::ffNone;
};

TFormStateView FormStateView(TFormState AState);

}  // namespace lexmora
