// One running copy of the desktop program per user session.
#pragma once

#include <QtCore/QLockFile>
#include <QtCore/QString>
#include <memory>

#include "DataTypeUnit.h"

namespace lexmora {

// The lock's name: one fixed GUID in registry form.
inline const QString kSingleInstanceGuid = QStringLiteral("{7C3E9A14-52B8-4F0D-A6E1-93D24B8C5F70}");

// The lock file: "<GUID>.lock" in the user's runtime folder ($XDG_RUNTIME_DIR), which lives as long
// as the user's session; empty when the system gives no runtime folder. Windows has no lock file:
// there the lock is a named mutex of the user's logon session, named by the GUID.
QString SingleInstanceLockPath();

// Holds the lock from TryLock until the object is destroyed (or the process ends, also by a crash:
// the system then drops the file lock, and the next start sees the lock file as stale).
class TSingleInstanceLock {
 public:
  TSingleInstanceLock() = default;
  ~TSingleInstanceLock();
  TSingleInstanceLock(const TSingleInstanceLock&) = delete;
  TSingleInstanceLock& operator=(const TSingleInstanceLock&) = delete;

  // False only when another running copy holds the lock. When no lock can be made at all (no
  // runtime folder, a folder that cannot be written) the start goes on: true, and IsHeld false.
  // Note: logs nothing, because it runs before the first log entry, which empties the log file that
  // the running copy writes to. Create the QApplication (and ConfigureApplication) first, so the
  // lock records the program's name.
  bool TryLock();

  bool IsHeld() const;
  // What kept TryLock from making a lock, for the log once the lock question is settled.
  const QString& Problem() const { return FProblem; }

 private:
  std::unique_ptr<QLockFile> FLock;
  void* FMutex = nullptr;  // Windows: the named mutex's handle while it is held
  QString FProblem;
};

// The notice of a second start: message 143 with caption 142 in ALang, information icon, OK.
void ShowAlreadyRunningMessage(TLocalizationLanguare ALang);

}  // namespace lexmora
