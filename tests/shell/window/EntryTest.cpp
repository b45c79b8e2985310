// The program's entry routine with real LexmoraCT processes: one copy per session, a second start
// refused in the stored language without touching the running copy's log, a killed copy never
// blocking the next start.
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "LocalizationUnit.h"

using namespace lexmora;

namespace {

// The entry routine's own first log line.
const QString StartLine = QStringLiteral("] - LexmoraCT ");

QString ReadAll(const QString& AFile) {
  QFile File(AFile);
  return File.open(QIODevice::ReadOnly) ? QString::fromUtf8(File.readAll()) : QString();
}

bool WaitFor(const std::function<bool()>& ADone, int ATimeoutMs) {
  QElapsedTimer Clock;
  Clock.start();
  while (!ADone()) {
    if (Clock.elapsed() > ATimeoutMs) return false;
    QTest::qWait(50);
  }
  return true;
}

}  // namespace

class TEntryTest : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;
  QString FProgram;
  QString FLog;

  // A copy of the program in a folder of its own: there it keeps its settings, log and results.
  void StartCopy(QProcess& AProcess) {
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    Env.insert(QStringLiteral("HOME"), FDir.filePath(QStringLiteral("home")));
    Env.insert(QStringLiteral("XDG_RUNTIME_DIR"), FDir.filePath(QStringLiteral("run")));
#ifdef _WIN32
    // The copy loads the Qt libraries and plugins deployed beside the original.
    const QString Runtime = QFileInfo(QStringLiteral(LEXMORA_PROGRAM_BINARY)).absolutePath();
    Env.insert(QStringLiteral("PATH"), QDir::toNativeSeparators(Runtime) + u';' + Env.value(QStringLiteral("PATH")));
    Env.insert(QStringLiteral("QT_PLUGIN_PATH"), Runtime);
#endif
    AProcess.setProcessEnvironment(Env);
    AProcess.start(FProgram, {});
    QVERIFY(AProcess.waitForStarted(10000));
  }
  // Ended at once, as a crash or the task manager would: no clean-up runs.
  static void Kill(QProcess& AProcess) {
    if (AProcess.state() == QProcess::NotRunning) return;
    AProcess.kill();
    AProcess.waitForFinished(10000);
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    QDir().mkpath(FDir.filePath(QStringLiteral("home")));
    const QString Run = FDir.filePath(QStringLiteral("run"));
    QDir().mkpath(Run);
    QFile::setPermissions(Run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString Bin = FDir.filePath(QStringLiteral("bin"));
    QDir().mkpath(Bin);
    FProgram = Bin + u'/' + QFileInfo(QStringLiteral(LEXMORA_PROGRAM_BINARY)).fileName();
    QVERIFY(QFile::copy(QStringLiteral(LEXMORA_PROGRAM_BINARY), FProgram));
    QFile::setPermissions(FProgram, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    FLog = Bin + QStringLiteral("/Logs/Logger.log");
    // The second start speaks the stored language.
    QFile Ini(Bin + QStringLiteral("/Settings.ini"));
    QVERIFY(Ini.open(QIODevice::WriteOnly));
    // Checked just now: the copies never ask the real update server.
    Ini.write("[Main]\nLangIndex=1\n[UpdateCheck]\nLastCheckDT=" +
              QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1() + "\n");
  }

  void oneCopyPerSession() {
    QProcess First;
    StartCopy(First);
    QVERIFY2(WaitFor([this] { return ReadAll(FLog).contains(StartLine); }, 30000),
             qPrintable(QString::fromUtf8(First.readAllStandardError())));
    QVERIFY(WaitFor([this] { return QDir(FDir.filePath(QStringLiteral("bin/Results"))).exists(); }, 10000));
    const QString LogOfFirst = ReadAll(FLog);
    QTest::qWait(1100);  // anything the second start logged would carry another time stamp

    QProcess Second;
    StartCopy(Second);
    const QString Notice = QString::fromStdString(GetLocalizedText(TMsg::AlreadyRunning, TLocalizationLanguare::llRU));
    QVERIFY(WaitFor([&Second, &Notice] {
      Second.waitForReadyRead(50);
      return QString::fromUtf8(Second.peek(1 << 16)).contains(Notice) ||
             QString::fromUtf8(Second.readAllStandardError()).contains(Notice);
    }, 30000));
    QCOMPARE(First.state(), QProcess::Running);
    // The second start left the running copy's log alone.
    QTest::qWait(300);
    QCOMPARE(ReadAll(FLog), LogOfFirst);
    Kill(Second);

    // A copy that was killed leaves a stale lock behind, which does not block the next start.
    Kill(First);
    QTest::qWait(1100);  // the next log's time stamps differ from the first's
    QProcess Third;
    StartCopy(Third);
    QVERIFY2(WaitFor([this, &LogOfFirst] {
      const QString Log = ReadAll(FLog);
      return Log != LogOfFirst && Log.contains(StartLine);
    }, 30000), qPrintable(QString::fromUtf8(Third.readAllStandardError())));
    QCOMPARE(ReadAll(FLog).count(StartLine), 1);  // its own log, emptied at its start
    QVERIFY(!QString::fromUtf8(Third.readAllStandardError()).contains(Notice));
    QCOMPARE(Third.state(), QProcess::Running);
    Kill(Third);
  }
};

QTEST_GUILESS_MAIN(TEntryTest)
#include "EntryTest.moc"
