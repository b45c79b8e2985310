#include "SingleInstanceUnit.h"

#include <QtCore/QDir>
#include <QtCore/QStandardPaths>

#ifdef _WIN32
#include <windows.h>
#endif

#include "LocalizationUnit.h"
#include "StartUpUnit.h"

namespace lexmora {

bool TSingleInstanceLock::IsHeld() const { return FMutex || (FLock && FLock->isLocked()); }

#ifdef _WIN32

QString SingleInstanceLockPath() { return {}; }

// The named mutex without a namespace prefix is local to the logon session, as the lock must be.
// A crashed copy's handle is closed by the system, so nothing stale is ever left behind.
TSingleInstanceLock::~TSingleInstanceLock() {
  if (FMutex) ::CloseHandle(static_cast<HANDLE>(FMutex));
}

bool TSingleInstanceLock::TryLock() {
  if (IsHeld()) return true;
  const HANDLE Mutex = ::CreateMutexW(nullptr, TRUE, reinterpret_cast<const wchar_t*>(kSingleInstanceGuid.utf16()));
  const DWORD Error = ::GetLastError();
  if (Error == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(Mutex);
    return false;
  }
  if (!Mutex) {
    FProblem = QStringLiteral("the single-instance mutex cannot be made (error %1)").arg(Error);
    return true;
  }
  FMutex = Mutex;
  return true;
}

#else

TSingleInstanceLock::~TSingleInstanceLock() = default;

QString SingleInstanceLockPath() {
  const QString Dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (Dir.isEmpty()) return {};
  return QDir(Dir).filePath(kSingleInstanceGuid + QStringLiteral(".lock"));
}

bool TSingleInstanceLock::TryLock() {
  if (IsHeld()) return true;
  const QString Path = SingleInstanceLockPath();
  if (Path.isEmpty()) {
    FProblem = QStringLiteral("the system gives no runtime folder for the single-instance lock");
    return true;
  }
  FLock = std::make_unique<QLockFile>(Path);
  // Never stale by age: a copy may run for weeks. A lock whose process is gone (crashed, killed)
  // is stale at once, and a running holder keeps a file lock on it, so it is never taken away.
  FLock->setStaleLockTime(0);
  if (FLock->tryLock(0)) return true;
  const QLockFile::LockError Error = FLock->error();
  FLock.reset();
  if (Error == QLockFile::LockFailedError) return false;
  FProblem = QStringLiteral("the single-instance lock %1 cannot be made (error %2)").arg(Path).arg(int(Error));
  return true;
}

#endif

void ShowAlreadyRunningMessage(TLocalizationLanguare ALang) {
  ShowStartUpNotice(TStartUpNoticeKind::snInformation, QString::fromStdString(GetLocalizedText(TMsg::CautionTitle, ALang)),
                    QString::fromStdString(GetLocalizedText(TMsg::AlreadyRunning, ALang)));
}

}  // namespace lexmora
