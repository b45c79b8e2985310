#include "SingleInstanceUnit.h"

#include <QtCore/QDir>
#include <QtCore/QStandardPaths>

#include "LocalizationUnit.h"
#include "StartUpUnit.h"

namespace lexmora {

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

void ShowAlreadyRunningMessage(TLocalizationLanguare ALang) {
  ShowStartUpNotice(TStartUpNoticeKind::snInformation, QString::fromStdString(GetLocalizedText(TMsg::CautionTitle, ALang)),
                    QString::fromStdString(GetLocalizedText(TMsg::AlreadyRunning, ALang)));
}

}  // namespace lexmora
