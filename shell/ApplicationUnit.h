// Program-wide Qt settings of the desktop program.
#pragma once

#include <QtCore/QString>
#include <QtGui/QIcon>

class QApplication;

namespace lexmora {

// Name of the installed .desktop file without its extension; the desktop matches windows to it.
inline const QString kDesktopFileName = QStringLiteral("lexmora-ct");

// Sets the application name ("LexmoraCT"), version (the build's project version), desktop file name
// and window icon. main() calls it right after constructing the QApplication, before the
// single-instance lock, the settings and any window:
//   QApplication App(argc, argv);
//   ConfigureApplication(App);
void ConfigureApplication(QApplication& AApp);

// The program icon in all its sizes (also for the about box and tests).
QIcon ApplicationIcon();

}  // namespace lexmora
