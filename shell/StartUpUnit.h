// The checks of the program's start that come before any window.
#pragma once

#include <QtCore/QString>
#include <functional>

namespace lexmora {

// Exit statuses of the desktop program's start.
constexpr int kExitAlreadyRunning = 0;      // a second start in the session: the notice, then the end
constexpr int kExitStartUpCheckFailed = 1;  // the message table failed its self-test

enum class TStartUpNoticeKind { snInformation, snWarning };

// Shows a modal message box (no parent window) and returns when it is closed.
void ShowStartUpNotice(TStartUpNoticeKind AKind, const QString& ACaption, const QString& AText);

// Replaces the message boxes of the start (tests, which have nobody to press OK); an empty function
// restores them.
using TStartUpNoticeHandler = std::function<void(TStartUpNoticeKind, const QString& ACaption, const QString& AText)>;
void SetStartUpNoticeHandler(TStartUpNoticeHandler AHandler);

// The fixed notice of a broken message table (it cannot come from the table itself).
QString BrokenMessageTableNotice();

// The message table's self-test: on failure the fixed Russian notice and an error in the log;
// the caller then ends the program with kExitStartUpCheckFailed before creating any window.
bool CheckMessageTableAtStart(const std::function<bool()>& ASelfTest = {});

// Whether TLS is usable for the update check; when it is not, a warning in the log and the start
// goes on (only the update check's HTTPS would fail). ASupportsTls defaults to Qt's TLS backend.
bool CheckTlsAtStart(const std::function<bool()>& ASupportsTls = {});

// Both checks in order; true when the program may go on to create its windows. Call it after the
// single-instance lock is held. Nothing is written beside the program: the archive library is
// linked and TLS comes from the system through Qt.
bool RunStartUpChecks();

}  // namespace lexmora
