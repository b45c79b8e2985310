// Takes the README's pictures: the main window's setup view with the example files, its work view
// after comparing them, the settings dialog, the about box and the window announcing a new version.
// Run by scripts/screenshots.sh under Xvfb; not a test.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPixmap>
#include <QTest>
#include <QUrl>

#include <cstdio>

#include "AboutFormUnit.h"
#include "MainUnit.h"
#include "MainUnitShellDeps.h"
#include "ProgramPathsUnit.h"
#include "SettingsUnit.h"
#include "WindowTestSupport.h"

using namespace lexmora;

namespace {

bool Save(QWidget& AWindow, const QString& AFile) {
  QTest::qWait(400);  // let the window system draw everything once
  const bool Ok = AWindow.grab().save(AFile);
  std::fprintf(stderr, "%s %s\n", Ok ? "wrote" : "cannot write", qPrintable(AFile));
  return Ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: window_shots OUT_DIR EXAMPLES_DIR\n");
    return 2;
  }
  const QString OutDir = QString::fromLocal8Bit(argv[1]);
  const QString Examples = QString::fromLocal8Bit(argv[2]);
  // The program's folders in a scratch place, so the pictures show no private paths.
  const QString Home = QDir::temp().filePath(QStringLiteral("LexmoraCT"));
  QDir(Home).removeRecursively();
  SetProgramDataDirOverride(Home.toStdString());
  InitSettingsPaths();
  QApplication App(argc, argv);
  test_support::ResetSettingsToDefaults();
  // Reports are not handed to a desktop that is not there.
  test_support::TOpenedUrls Opened;

  // No update check: the pictures never depend on a network.
  TMainForm Form(nullptr, TUpdateCheckConfig::NoCheck());
  Form.resize(860, 400);  // wide enough for the example paths
  Form.show();
  // Copies of the examples in a neutral place, so the pictures show no build paths.
  QStringList Before, After;
  for (const QString& Side : {QStringLiteral("before"), QStringLiteral("after")}) {
    const QString To = Home + QStringLiteral("/Projects/") + Side;
    QDir().mkpath(To);
    for (const QString& F : QDir(Examples + QLatin1Char('/') + Side).entryList(QDir::Files)) {
      QFile::copy(Examples + QLatin1Char('/') + Side + QLatin1Char('/') + F, To + QLatin1Char('/') + F);
      (Side == QStringLiteral("before") ? Before : After) << To + QLatin1Char('/') + F;
    }
  }
  bool Ok = Save(Form, OutDir + QStringLiteral("/setup-view-empty.png"));
  test_support::DropFiles(Form.SrcFilesListBoxPanel, Before);
  test_support::DropFiles(Form.TrgFilesListBoxPanel, After);
  Ok = Save(Form, OutDir + QStringLiteral("/setup-view.png")) && Ok;
  Form.GenerateDiffFileBtnClick();
  if (!QTest::qWaitFor([&Form] { return !Form.IsRunActive(); }, 120000)) return 1;
  Ok = Save(Form, OutDir + QStringLiteral("/work-view.png")) && Ok;
  // The two dialogs, and a window that announces a new version (from the record).
  Form.SettingsAct->trigger();
  Ok = Save(*Form.SettingsForm(), OutDir + QStringLiteral("/settings-dialog.png")) && Ok;
  Form.SettingsForm()->reject();
  Form.AboutAct->trigger();
  Ok = Save(*Form.AboutForm(), OutDir + QStringLiteral("/about-box.png")) && Ok;
  Form.AboutForm()->reject();
  ProgrammSettings.LastNewVersion = "9.9";
  ProgrammSettings.LastNewVersionNotify.clear();
  TMainForm Announcing(nullptr, TUpdateCheckConfig::NoCheck());
  Announcing.resize(Form.size());
  Announcing.show();
  test_support::DropFiles(Announcing.SrcFilesListBoxPanel, Before);
  test_support::DropFiles(Announcing.TrgFilesListBoxPanel, After);
  Ok = Save(Announcing, OutDir + QStringLiteral("/update-bar.png")) && Ok;
  QDir(Home).removeRecursively();
  return Ok ? 0 : 1;
}
