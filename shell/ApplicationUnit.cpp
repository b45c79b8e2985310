#include "ApplicationUnit.h"

#include <QtWidgets/QApplication>

#include "AppInfoUnit.h"

namespace lexmora {

void ConfigureApplication(QApplication& AApp) {
  TAppVersion Version;
  GetAppVersion(Version);
  AApp.setApplicationName(QStringLiteral("LexmoraCT"));
  AApp.setApplicationVersion(QString::fromStdString(Version.FullAppVersion));
  QGuiApplication::setDesktopFileName(kDesktopFileName);
}

}  // namespace lexmora
