// main() of the shell's QtTest programs: each process gets its own HOME, XDG folders and program
// folder before the application object exists, so tests running side by side never share a log,
// a settings file or a lock.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "ProgramPathsUnit.h"
#include "Settings.h"

namespace lexmora::test_support {

class TShellTestFolders {
 public:
  TShellTestFolders() {
    const QDir Root(FRoot.path());
    for (const char* Name : {"home", "runtime", "config", "data", "cache", "program"}) Root.mkpath(QLatin1String(Name));
    QFile::setPermissions(Root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", Root.filePath(QStringLiteral("home")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", Root.filePath(QStringLiteral("runtime")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", Root.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", Root.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", Root.filePath(QStringLiteral("cache")).toLocal8Bit());
    SetProgramDataDirOverride(Root.filePath(QStringLiteral("program")).toStdString());
    InitSettingsPaths();
  }
  QString Path() const { return FRoot.path(); }
  QString ProgramDir() const { return QDir(FRoot.path()).filePath(QStringLiteral("program")); }

 private:
  QTemporaryDir FRoot;
};

}  // namespace lexmora::test_support

#define LEXMORA_SHELL_TEST_MAIN(TestClass)            \
  int main(int argc, char** argv) {                   \
    lexmora::test_support::TShellTestFolders Folders; \
    QApplication App(argc, argv);                     \
    TestClass Test(Folders);                          \
    return QTest::qExec(&Test, argc, argv);           \
  }
