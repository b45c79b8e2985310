#include "FormStateUnit.h"

namespace lexmora {

TFormStateView FormStateView(TFormState AState) {
  switch (AState) {
    using enum TFormState;
    case fsSetupToWork:
      return {true, false, false, false, TFormFocus::ffNone};
    case fsWorked:
      return {false, true, true, false, TFormFocus::ffStopButton};
    case fsWorkStopping:
      return {false, true, false, false, TFormFocus::ffWorkView};
    case fsWaitForRestart:
      return {false, true, false, true, TFormFocus::ffRestartButton};
  }
  return {true, false, false, false, TFormFocus::ffNone};
}

}  // namespace lexmora
