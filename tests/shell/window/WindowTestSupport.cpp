#include "WindowTestSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QWidget>

#include "MainUnitShellDeps.h"

namespace lexmora::test_support {

TWindowTestFolders::TWindowTestFolders() {
  ProgrammSettings.PathToResDir = FDir.filePath(QStringLiteral("Results")).toStdString() + "/";
  ProgrammSettings.PathToTempDir = FDir.filePath(QStringLiteral("Temp")).toStdString() + "/";
}

void ResetSettingsToDefaults() {
  // Reading an empty file gives every default; the paths stay.
  ApplySettingsText(ProgrammSettings, std::string());
  // Checked just now: window tests never ask the real update server (the update tests point the
  // window at a local one).
  ProgrammSettings.LastUpdateCheckDT = NowLocalDateTime();
}

QString WriteFile(const QString& AFile, const QByteArray& AContent) {
  QDir().mkpath(QFileInfo(AFile).absolutePath());
  QFile File(AFile);
  if (!File.open(QIODevice::WriteOnly)) return {};
  File.write(AContent);
  return QDir::toNativeSeparators(QFileInfo(AFile).absoluteFilePath());
}

bool DropFiles(QWidget* ATarget, const QStringList& AFiles) {
  QMimeData Data;
  QList<QUrl> Urls;
  for (const QString& F : AFiles) Urls << QUrl::fromLocalFile(F);
  Data.setUrls(Urls);
  const QPoint At = ATarget->rect().center();
  QDragEnterEvent Enter(At, Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(ATarget, &Enter);
  if (!Enter.isAccepted()) return false;
  QDropEvent Drop(QPointF(At), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(ATarget, &Drop);
  return Drop.isAccepted();
}

TOpenedUrls::TOpenedUrls(const QStringList& ASchemes) : Schemes(ASchemes) {
  for (const QString& Scheme : Schemes) QDesktopServices::setUrlHandler(Scheme, this, "Open");
}
TOpenedUrls::~TOpenedUrls() {
  for (const QString& Scheme : Schemes) QDesktopServices::unsetUrlHandler(Scheme);
}

QString ExamplesDir() { return QStringLiteral(LEXMORA_SOURCE_DIR "/examples"); }

QStringList GeneratedPair(const QString& AFolder, int ASegments) {
  const QString Name = QStringLiteral("synthetic_%1.sdlxliff").arg(ASegments);
  const QStringList Files{AFolder + QStringLiteral("/before/") + Name, AFolder + QStringLiteral("/after/") + Name};
  if (QFile::exists(Files[0]) && QFile::exists(Files[1])) return Files;
#ifdef LEXMORA_PREMADE_PAIR_DIR
  // Under wine there is no Python: the build host made the pair before the tests.
  for (const QString& Side : {QStringLiteral("before"), QStringLiteral("after")}) {
    QDir().mkpath(AFolder + u'/' + Side);
    QFile::copy(QStringLiteral(LEXMORA_PREMADE_PAIR_DIR "/") + Side + u'/' + Name, AFolder + u'/' + Side + u'/' + Name);
  }
  return Files;
#endif
  QProcess Maker;
  Maker.setStandardOutputFile(QProcess::nullDevice());
  Maker.start(QStringLiteral("python3"), {QStringLiteral(LEXMORA_SOURCE_DIR "/bench/make_sdlxliff_pair.py"), AFolder,
                                          QString::number(ASegments)});
  Maker.waitForFinished(120000);
  return Files;
}

}  // namespace lexmora::test_support
