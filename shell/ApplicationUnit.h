// Program-wide Qt settings of the desktop program.
#pragma once

#include <QtCore/QString>

class QApplication;

namespace lexmora {

// Name of the installed .desktop file without its extension; the desktop matches windows to it.
inline const QString kDesktopFileName = QStringLiteral("lexmora-ct");

// Sets the application name, version and desktop file name. main() calls it right after
// constructing the QApplication and before anything else (lock, settings, windows).
void ConfigureApplication(QApplication& AApp);

}  // namespace lexmora
