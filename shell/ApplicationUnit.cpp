#include "ApplicationUnit.h"

#include <QtWidgets/QApplication>

#include "AppInfoUnit.h"

// The icon's resources live in this static library; nothing else refers to them, so the linker
// would drop their registration without this call (it must stand outside any namespace).
static void InitApplicationIconResource() { Q_INIT_RESOURCE(lexmora_app_icon); }

namespace lexmora {

QIcon ApplicationIcon() {
  InitApplicationIconResource();
  QIcon Icon;
  for (const int Size : {48, 64, 128, 256})
    Icon.addFile(QStringLiteral(":/lexmora/lexmora-ct-%1.png").arg(Size), QSize(Size, Size));
  return Icon;
}

void ConfigureApplication(QApplication& AApp) {
  TAppVersion Version;
  GetAppVersion(Version);
  AApp.setApplicationName(QStringLiteral("LexmoraCT"));
  AApp.setApplicationVersion(QString::fromStdString(Version.FullAppVersion));
  QGuiApplication::setDesktopFileName(kDesktopFileName);
  QApplication::setWindowIcon(ApplicationIcon());
}

}  // namespace lexmora
