#include <QtCore/QProcess>
#include <QtTest/QtTest>
#include <csignal>

#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "ProgramPathsUnit.h"
#include "SingleInstanceUnit.h"
#include "StartUpUnit.h"

using namespace lexmora;

namespace {

QByteArray ReadAll(const QString& APath) {
  QFile F(APath);
  return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

struct TNotice {
  TStartUpNoticeKind Kind;
  QString Caption;
  QString Text;
};

}  // namespace

class TStartUpTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    SetProgramDataDirOverride(FDir.filePath(QStringLiteral("self")).toStdString());
    SetStartUpNoticeHandler([this](TStartUpNoticeKind AKind, const QString& ACaption, const QString& AText) {
      FNotices.push_back({AKind, ACaption, AText});
    });
#ifndef _WIN32
    QVERIFY2(!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"), "the test runs with a private runtime folder");
#endif
  }
  void init() { FNotices.clear(); }

  void TheLockIsNamedByTheGuidInTheRuntimeFolder() {
    const QString Path = SingleInstanceLockPath();
#ifdef _WIN32
    QVERIFY2(Path.isEmpty(), "Windows names a mutex by the GUID, no file");
#else
    QCOMPARE(QFileInfo(Path).absolutePath(), QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).absolutePath());
    QCOMPARE(QFileInfo(Path).fileName(), kSingleInstanceGuid + QStringLiteral(".lock"));
#endif
    static const QRegularExpression kGuid(
        QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
    QVERIFY(kGuid.match(kSingleInstanceGuid).hasMatch());
    QCOMPARE(kSingleInstanceGuid.size(), 38);
  }

  void ASecondLockInTheSameSessionIsRefused() {
    TSingleInstanceLock First;
    QVERIFY(First.TryLock());
    QVERIFY(First.IsHeld());
    TSingleInstanceLock Second;
    QVERIFY(!Second.TryLock());
    QVERIFY(!Second.IsHeld());
    QVERIFY(First.TryLock());  // asking again while holding it is no refusal
  }

  void TheSecondStartNoticeIsInTheStoredLanguage() {
    ShowAlreadyRunningMessage(TLocalizationLanguare::llRU);
    QCOMPARE(FNotices.size(), std::size_t(1));
    QCOMPARE(FNotices[0].Kind, TStartUpNoticeKind::snInformation);
    QCOMPARE(FNotices[0].Caption, QString::fromStdString(GetLocalizedText(TMsg::CautionTitle, TLocalizationLanguare::llRU)));
    QCOMPARE(FNotices[0].Text, QString::fromStdString(GetLocalizedText(TMsg::AlreadyRunning, TLocalizationLanguare::llRU)));
  }

  void ABrokenMessageTableStopsTheStart() {
    QVERIFY(!CheckMessageTableAtStart([] { return false; }));
    QCOMPARE(FNotices.size(), std::size_t(1));
    QCOMPARE(FNotices[0].Text, QStringLiteral("Обнаружена проблема со строками локализаций! \nАх, как жаль... :("));
    QVERIFY(ReadAll(QString::fromStdString(Logger().LogFileName())).contains("The message table failed its self-test"));
    FNotices.clear();
    QVERIFY(CheckMessageTableAtStart());  // the real table passes
    QVERIFY(FNotices.empty());
    QVERIFY(RunStartUpChecks());
    QVERIFY(kExitStartUpCheckFailed != 0);
  }

  void MissingTlsIsAWarningOnly() {
    QVERIFY(!CheckTlsAtStart([] { return false; }));
    QVERIFY(FNotices.empty());
    QVERIFY(ReadAll(QString::fromStdString(Logger().LogFileName())).contains("[W] - TLS is not available"));
    QVERIFY2(CheckTlsAtStart(), "install-deps provides OpenSSL, so Qt's TLS backend loads");
  }

  // Two real processes: the second is refused with the notice and leaves the first one's log
  // alone; after the first is killed (its lock file stale, or on Windows its mutex dropped by the
  // system) a new start gets the lock.
  void TwoProcesses() {
    const QString Folder = FDir.filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(Folder));
    QFile Ini(Folder + QStringLiteral("/Settings.ini"));
    QVERIFY(Ini.open(QIODevice::WriteOnly));
    Ini.write("[Main]\nLangIndex=1\n");
    Ini.close();
    const QString Probe = QStringLiteral(LEXMORA_PROBE_BINARY);

    QProcess First;
    First.start(Probe, {QStringLiteral("hold"), Folder});
    QVERIFY(First.waitForStarted());
    QByteArray FirstOut;
    QDeadlineTimer Deadline(20000);
    while (!FirstOut.contains("LOCKED") && First.state() == QProcess::Running && !Deadline.hasExpired()) {
      First.waitForReadyRead(100);
      FirstOut += First.readAllStandardOutput();
    }
    QVERIFY2(FirstOut.contains("LOCKED"), FirstOut.constData());
    QCOMPARE(First.state(), QProcess::Running);
    const QString LogFile = Folder + QStringLiteral("/Logs/Logger.log");
    const QByteArray FirstLine = "probe " + QByteArray::number(First.processId()) + " holds the lock";
    QVERIFY(ReadAll(LogFile).contains(FirstLine));

    QProcess Second;
    Second.start(Probe, {QStringLiteral("try"), Folder});
    QVERIFY(Second.waitForFinished(20000));
    const QByteArray Out = Second.readAllStandardOutput();
    QCOMPARE(Second.exitCode(), kExitAlreadyRunning);
    QVERIFY2(!Out.contains("LOCKED"), Out.constData());
    const QByteArray Expected = "NOTICE " +
                                QByteArray::fromStdString(GetLocalizedText(TMsg::CautionTitle, TLocalizationLanguare::llRU)) + "|" +
                                QByteArray::fromStdString(GetLocalizedText(TMsg::AlreadyRunning, TLocalizationLanguare::llRU));
    QVERIFY2(Out.contains(Expected), Out.constData());
    QVERIFY2(ReadAll(LogFile).contains(FirstLine), "the second start emptied the running copy's log");
    QCOMPARE(First.state(), QProcess::Running);

    First.kill();  // SIGKILL: no clean-up runs
    QVERIFY(First.waitForFinished(20000));
#ifndef _WIN32
    QVERIFY2(QFile::exists(SingleInstanceLockPath()), "a killed copy leaves its lock file behind");
#endif

    QProcess Third;
    Third.start(Probe, {QStringLiteral("try"), Folder});
    QVERIFY(Third.waitForFinished(20000));
    QCOMPARE(Third.exitCode(), 3);
    QVERIFY(Third.readAllStandardOutput().contains("LOCKED"));
  }

 private:
  QTemporaryDir FDir;
  std::vector<TNotice> FNotices;
};

QTEST_MAIN(TStartUpTest)
#include "StartUpTest.moc"
