// Helpers of the main-window tests: private folders per test, files, synthetic drops, a recorder
// for the reports the window hands to the desktop.
#pragma once

#include <QDir>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

class QWidget;

namespace lexmora::test_support {

// A folder of its own for one test function; ProgrammSettings' results and temp folders inside it.
class TWindowTestFolders {
 public:
  TWindowTestFolders();
  QString Path(const QString& AName) const { return FDir.filePath(AName); }
  QString Root() const { return FDir.path(); }

 private:
  QTemporaryDir FDir;
};

// Resets ProgrammSettings to the file defaults, keeping the paths; the last update check is now.
void ResetSettingsToDefaults();

// Writes AContent into AFile (folders created); returns the absolute path as the system writes it,
// the way the window lists it.
QString WriteFile(const QString& AFile, const QByteArray& AContent = QByteArray("x"));

// Sends drag-enter and drop events with AFiles as file URLs to ATarget, as the system delivers a drop.
// True when the drop was accepted.
bool DropFiles(QWidget* ATarget, const QStringList& AFiles);

// Catches QDesktopServices::openUrl for the URLs of ASchemes while it lives.
class TOpenedUrls : public QObject {
  Q_OBJECT
 public:
  explicit TOpenedUrls(const QStringList& ASchemes = {QStringLiteral("file")});
  ~TOpenedUrls() override;
  QList<QUrl> Urls;
  const QStringList Schemes;
 public Q_SLOTS:
  void Open(const QUrl& AUrl) { Urls << AUrl; }
};

// The source tree's examples folder and a generated large pair (made once per test process).
QString ExamplesDir();
// before/after files of a generated SDLXLIFF pair with ASegments segments, in AFolder.
QStringList GeneratedPair(const QString& AFolder, int ASegments);

}  // namespace lexmora::test_support
