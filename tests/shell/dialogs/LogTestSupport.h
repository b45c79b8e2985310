// Reading the program log back in the shell's tests.
#pragma once

#include <QFile>
#include <QString>

#include "LoggerUnit.h"

namespace lexmora::test_support {

inline QString LogText() {
  QFile File(QString::fromStdString(Logger().LogFileName()));
  if (!File.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(File.readAll());
}

// Exception entries of the update check in ALog; each is framed by two lines of hyphens.
inline int UpdateCheckErrorEntries(const QString& ALog) {
  return ALog.count(QStringLiteral("TCheckUpdateWorker.Execute > ") + QString(47, QLatin1Char('-'))) / 2;
}

}  // namespace lexmora::test_support
