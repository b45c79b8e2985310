// The update check: the six-day rule, the answer rules, and real requests against local servers
// (redirects, TLS, charsets, size cap, silence, abort).
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

#include "CheckUpdateUnit.h"
#include "LocalizationUnit.h"
#include "LogTestSupport.h"
#include "LoggerUnit.h"
#include "Settings.h"
#include "ShellTestMain.h"
#include "TestHttpServer.h"

using namespace lexmora;
using namespace lexmora::test_support;

namespace {

const QByteArray kPath = kUpdateCheckPath;


// Short limits so a silent server costs a test well under a second.
TCheckUpdateLimits FastLimits() { return {.IdleTimeoutMs = 400, .TotalTimeoutMs = 1500, .MaxBodyBytes = 64 * 1024}; }

}  // namespace

class TCheckUpdateTest : public QObject {
  Q_OBJECT
 public:
  explicit TCheckUpdateTest(const TShellTestFolders& AFolders) : FFolders(AFolders) {}

 private Q_SLOTS:
  void initTestCase() {
    Logger().AddInfo("update check tests");
    QVERIFY(FServer.Listen());
    QVERIFY(FSecond.Listen());
  }
  void init() {
    FServer.Routes.clear();
    FServer.Requests.clear();
    FSecond.Routes.clear();
    FSecond.Requests.clear();
    FLogMark = LogText().size();
    FAnswer.reset();
  }

  void sixDayRule_data() {
    QTest::addColumn<double>("Days");
    QTest::addColumn<bool>("Due");
    QTest::newRow("just now") << 0.0 << false;
    QTest::newRow("5 d 11 h") << 5.0 + 11.0 / 24 << false;
    QTest::newRow("5 d 12 h rounds to 6") << 5.5 << true;
    QTest::newRow("4 d 12 h rounds to the even 4") << 4.5 << false;
    QTest::newRow("6 d 12 h rounds to the even 6") << 6.5 << true;
    QTest::newRow("clock set back a week") << -7.0 << true;
    QTest::newRow("clock set back 5 d 11 h") << -(5.0 + 11.0 / 24) << false;
    QTest::newRow("first start, 2000-01-01") << 9800.0 << true;
  }
  void sixDayRule() {
    QFETCH(double, Days);
    QFETCH(bool, Due);
    QCOMPARE(IsUpdateCheckDue(Days), Due);
  }

  void sixDayRuleOverDates() {
    const TDateTime Last{2026, 3, 1, 12, 0, 0};
    QVERIFY(!IsUpdateCheckDue(TDateTime{2026, 3, 6, 23, 0, 0}, Last));        // 5 d 11 h
    QVERIFY(IsUpdateCheckDue(TDateTime{2026, 3, 7, 0, 0, 0}, Last));          // 5 d 12 h
    QVERIFY(IsUpdateCheckDue(TDateTime{2026, 2, 22, 12, 0, 0}, Last));        // clock a week back
    QVERIFY(IsUpdateCheckDue(TDateTime{2026, 3, 1, 12, 0, 0}, TDateTime{}));  // never checked
  }

  // What the answer does to the record and whether the bar announces it (running version 3.8).
  void noticeRules() {
    TSettings S;
    const TDateTime Now{2026, 5, 4, 10, 30, 0};
    ApplyNewVersionInfo(S, QString(), "3.8", Now);  // a failed check changes nothing
    QCOMPARE(S.LastUpdateCheckDT, TDateTime{});
    QVERIFY(!IsNewVersionToShow(S, "3.8"));

    ApplyNewVersionInfo(S, QStringLiteral("3.8"), "3.8", Now);  // the running one: no bar
    QCOMPARE(S.LastUpdateCheckDT, Now);
    QCOMPARE(S.LastNewVersion, std::string("3.8"));
    QCOMPARE(S.LastNewVersionNotify, std::string("3.8"));
    QVERIFY(!IsNewVersionToShow(S, "3.8"));

    ApplyNewVersionInfo(S, QStringLiteral("3.9"), "3.8", Now);
    QVERIFY(IsNewVersionToShow(S, "3.8"));
    S.LastNewVersionNotify = S.LastNewVersion;  // dismissed
    // ... and it stays dismissed in the file.
    TSettings Restarted;
    ApplySettingsText(Restarted, BuildSettingsText(S));
    QVERIFY(!IsNewVersionToShow(Restarted, "3.8"));
    ApplyNewVersionInfo(Restarted, QStringLiteral("4.0"), "3.8", Now);
    QVERIFY(IsNewVersionToShow(Restarted, "3.8"));
    // An older version differs too; the versions are compared as text.
    ApplyNewVersionInfo(Restarted, QStringLiteral("3.7"), "3.8", Now);
    QVERIFY(IsNewVersionToShow(Restarted, "3.8"));
    ApplyNewVersionInfo(Restarted, QStringLiteral("3.80"), "3.8", Now);
    QVERIFY(IsNewVersionToShow(Restarted, "3.8"));
    // The user has updated to the announced version meanwhile.
    Restarted.LastNewVersion = "4.0";
    Restarted.LastNewVersionNotify.clear();
    QVERIFY(!IsNewVersionToShow(Restarted, "4.0"));
    // A hand-edited file cannot bring markup into the bar.
    Restarted.LastNewVersion = "<b>4.1</b>";
    QVERIFY(!IsNewVersionToShow(Restarted, "3.8"));
  }

  void barTextIsEscaped() {
    const QString Text = NewVersionInfoText(TLocalizationLanguare::llEN, "<a href=\"http://evil.example\">4.1</a>");
    QCOMPARE(Text.count(QStringLiteral("<a ")), 1);  // only the message's own link
    QVERIFY(Text.contains(QStringLiteral("&lt;a href=&quot;http://evil.example&quot;&gt;")));
    QCOMPARE(NewVersionInfoText(TLocalizationLanguare::llEN, "3.9"),
             QString::fromStdString(GetLocalizedText(TMsg::UpdateAvailablePrefix, TLocalizationLanguare::llEN)) +
                 QStringLiteral("3.9") +
                 QString::fromStdString(GetLocalizedText(TMsg::UpdateAvailableLink, TLocalizationLanguare::llEN)));
  }

  void answerFormat_data() {
    QTest::addColumn<QString>("Body");
    QTest::addColumn<QString>("Version");
    QTest::newRow("CR LF") << "XXX\r\nYYY: 3.9"
                           << "3.9";
    QTest::newRow("LF, further lines ignored") << "XXX\nYYY: 4.0\nanything\n"
                                               << "4.0";
    QTest::newRow("CR") << "XXX\rYYY: 3.7"
                        << "3.7";
    QTest::newRow("nothing behind the prefix") << "XXX\nYYY: "
                                               << "";
    QTest::newRow("first line lower case") << "xxx\nYYY: 3.9"
                                           << "";
    QTest::newRow("second line lower case") << "XXX\nyyy: 3.9"
                                            << "";
    QTest::newRow("one line") << "XXX"
                              << "";
    QTest::newRow("no blank after the colon") << "XXX\nYYY:3.9x"
                                              << "";
    QTest::newRow("blank line first") << "\nXXX\nYYY: 3.9"
                                      << "";
    QTest::newRow("empty") << ""
                           << "";
  }
  void answerFormat() {
    QFETCH(QString, Body);
    QFETCH(QString, Version);
    QCOMPARE(ParseUpdateAnswer(Body), Version);
  }

  void versionPattern_data() {
    QTest::addColumn<QString>("Text");
    QTest::addColumn<bool>("Accepted");
    QTest::newRow("3.9") << "3.9" << true;
    QTest::newRow("five digits each") << "12345.12345" << true;
    QTest::newRow("six digits") << "123456.1" << false;
    QTest::newRow("no minor") << "3" << false;
    QTest::newRow("three parts") << "3.9.1" << false;
    QTest::newRow("markup") << "<a href=\"http://evil.example\">3.9</a>" << false;
    QTest::newRow("leading blank") << " 3.9" << false;
    QTest::newRow("trailing blank") << "3.9 " << false;
    QTest::newRow("other digits") << QString::fromUtf8("\u0663.\u0669") << false;
    QTest::newRow("200 characters of junk") << QString(200, QLatin1Char('j')) << false;
  }
  void versionPattern() {
    QFETCH(QString, Text);
    QFETCH(bool, Accepted);
    QCOMPARE(IsAcceptableVersion(Text), Accepted);
  }

  void charsetDecoding_data() {
    QTest::addColumn<QByteArray>("ContentType");
    QTest::addColumn<QByteArray>("Version");  // "Версия" as the declared set encodes it
    QTest::newRow("windows-1251") << QByteArray("text/plain; charset=windows-1251") << QByteArray("\xC2\xE5\xF0\xF1\xE8\xFF");
    QTest::newRow("quoted, upper case") << QByteArray("text/plain; CHARSET=\"KOI8-R\"") << QByteArray("\xF7\xC5\xD2\xD3\xC9\xD1");
    QTest::newRow("UTF-16LE") << QByteArray("text/plain;charset=utf-16le")
                              << QByteArray("\x12\x04\x35\x04\x40\x04\x41\x04\x38\x04\x4F\x04", 12);
    QTest::newRow("none") << QByteArray("text/plain") << QByteArray("\xD0\x92\xD0\xB5\xD1\x80\xD1\x81\xD0\xB8\xD1\x8F");
    QTest::newRow("unknown") << QByteArray("text/plain; charset=no-such-set")
                             << QByteArray("\xD0\x92\xD0\xB5\xD1\x80\xD1\x81\xD0\xB8\xD1\x8F");
  }
  void charsetDecoding() {
    QFETCH(QByteArray, ContentType);
    QFETCH(QByteArray, Version);
    QByteArray Body = "XXX\r\nYYY: ";
    // The ASCII part in the body's own code units.
    if (ContentType.contains("16le")) {
      QByteArray Wide;
      for (char C : Body) Wide.append(C).append('\0');
      Body = Wide;
    }
    QCOMPARE(DecodeUpdateBody(Body + Version, ContentType), QString::fromUtf8("XXX\r\nYYY: Версия"));
  }

  void answerNamesAVersion() {
    FServer.Routes[kPath] = {HttpResponse(200, "XXX\r\nYYY: 3.9\r\n", "Content-Type: text/plain\r\n")};
    QCOMPARE(Run(FServer.BaseUrl()), QStringLiteral("3.9"));
    QCOMPARE(FServer.Requests.size(), 1);
    const QByteArray Head = FServer.Requests.at(0);
    QVERIFY2(Head.startsWith("GET " + kPath + " HTTP/1.1\r\n"), Head.constData());
    QVERIFY(Head.contains("\r\nUser-Agent: LexmoraCT WebClient\r\n"));
    QVERIFY(Head.contains("\r\nAccept: */*\r\n"));
    QVERIFY(NewLog().contains(QStringLiteral("New Version: 3.9")));
    QCOMPARE(ErrorEntries(), 0);
  }

  // Markup or junk in the version is no version: logged once, never passed on.
  void untrustedVersionText_data() {
    QTest::addColumn<QByteArray>("Version");
    QTest::newRow("markup") << QByteArray("<a href=\"http://evil.example\">3.9</a>");
    QTest::newRow("200 characters of junk") << QByteArray(200, 'j');
  }
  void untrustedVersionText() {
    QFETCH(QByteArray, Version);
    FServer.Routes[kPath] = {HttpResponse(200, "XXX\r\nYYY: " + Version + "\r\n")};
    QCOMPARE(Run(FServer.BaseUrl()), QString());
    QCOMPARE(NewLog().count(QStringLiteral("The update server named no valid version")), 1);
    QVERIFY(!NewLog().contains(QStringLiteral("New Version")));
    if (Version.size() > 40) QVERIFY(!NewLog().contains(QString::fromLatin1(Version)));  // only a cut is logged
  }

  void otherFormatIsSilent() {
    FServer.Routes[kPath] = {HttpResponse(200, "xxx\r\nYYY: 3.9\r\n")};
    QCOMPARE(Run(FServer.BaseUrl()), QString());
    QCOMPARE(NewLog(), QString());
  }

  void windows1251Body() {
    const QByteArray Body = "XXX\r\nYYY: \xC2\xE5\xF0\xF1\xE8\xFF\r\n";  // "Версия" in windows-1251
    FServer.Routes[kPath] = {HttpResponse(200, Body, "Content-Type: text/plain; charset=windows-1251\r\n")};
    QCOMPARE(Run(FServer.BaseUrl()), QString());
    // The logged cut shows the decoded text.
    QVERIFY2(NewLog().contains(QString::fromUtf8("Версия")), qPrintable(NewLog()));
  }

  void utf16BodyBringsTheVersion() {
    QStringEncoder Encoder("UTF-16LE");
    const QByteArray Body = Encoder.encode(QStringLiteral("XXX\r\nYYY: 4.1\r\n"));
    FServer.Routes[kPath] = {HttpResponse(200, Body, "Content-Type: text/plain; charset=utf-16le\r\n")};
    QCOMPARE(Run(FServer.BaseUrl()), QStringLiteral("4.1"));
  }

  void redirectToAnotherPortRefusesCookies() {
    FServer.Routes[kPath] = {Redirect(FSecond.BaseUrl() + "/final", "Set-Cookie: track=1; Path=/\r\n")};
    FSecond.Routes["/final"] = {HttpResponse(200, "XXX\nYYY: 5.2\n", "Set-Cookie: more=2\r\n")};
    QCOMPARE(Run(FServer.BaseUrl()), QStringLiteral("5.2"));
    QCOMPARE(FSecond.Requests.size(), 1);
    QVERIFY(!FSecond.Requests.at(0).toLower().contains("\r\ncookie:"));
    QVERIFY(FSecond.Requests.at(0).contains("\r\nUser-Agent: LexmoraCT WebClient\r\n"));
  }

  void redirectFromHttpToHttps() {
    if (!QSslSocket::supportsSsl()) QSKIP("No TLS backend in this Qt build; the HTTPS redirect is not tested.");
    const TTestCertificate Certificate = MakeTestCertificate(FFolders.Path());
    if (Certificate.IsNull()) QSKIP("The openssl program could not make a test certificate; HTTPS is not tested.");
    // The test trusts its own certificate; the program's trust store is untouched otherwise.
    QSslConfiguration Config = QSslConfiguration::defaultConfiguration();
    Config.addCaCertificate(Certificate.Certificate);
    QSslConfiguration::setDefaultConfiguration(Config);
    TTestHttpServer Tls;
    Tls.UseTls(Certificate);
    QVERIFY(Tls.Listen());
    Tls.Routes["/secure"] = {HttpResponse(200, "XXX\r\nYYY: 6.0\r\n")};
    FServer.Routes[kPath] = {Redirect(Tls.BaseUrl() + "/secure")};
    QCOMPARE(Run(FServer.BaseUrl(), {.IdleTimeoutMs = 5000, .TotalTimeoutMs = 10000}), QStringLiteral("6.0"));
    QCOMPARE(Tls.Requests.size(), 1);
    QCOMPARE(ErrorEntries(), 0);

    // Never from HTTPS back to plain HTTP.
    Tls.Routes[kPath] = {Redirect(FServer.BaseUrl() + "/plain")};
    FServer.Routes["/plain"] = {HttpResponse(200, "XXX\r\nYYY: 6.1\r\n")};
    FLogMark = LogText().size();
    QCOMPARE(Run(Tls.BaseUrl(), {.IdleTimeoutMs = 5000, .TotalTimeoutMs = 10000}), QString());
    QCOMPARE(ErrorEntries(), 1);
  }

  void failuresAreLoggedOnce_data() {
    QTest::addColumn<QByteArray>("Response");
    QTest::newRow("HTTP error status") << HttpResponse(500, "XXX\r\nYYY: 3.9\r\n");
    QTest::newRow("missing page") << QByteArray();
    QTest::newRow("body over 64 KiB") << HttpResponse(200, "XXX\r\nYYY: 3.9\r\n" + QByteArray(70000, 'x'));
    QTest::newRow("over 64 KiB without a length")
        << QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nXXX\r\nYYY: 3.9\r\n" + QByteArray(70000, 'x'));
  }
  void failuresAreLoggedOnce() {
    QFETCH(QByteArray, Response);
    if (!Response.isEmpty()) FServer.Routes[kPath] = {Response};
    QCOMPARE(Run(FServer.BaseUrl()), QString());
    QCOMPARE(ErrorEntries(), 1);
  }

  void noServer() {
    QTcpServer Closed;
    QVERIFY(Closed.listen(QHostAddress::LocalHost, 0));
    const quint16 Port = Closed.serverPort();
    Closed.close();
    QCOMPARE(Run("http://127.0.0.1:" + QByteArray::number(Port)), QString());
    QCOMPARE(ErrorEntries(), 1);
  }

  void notAnHttpAddress() {
    QCOMPARE(Run("file:///etc"), QString());
    QCOMPARE(ErrorEntries(), 1);
  }

  void silentServerGivesUp() {
    FServer.Routes[kPath] = {.Response = {}, .Silent = true};
    QElapsedTimer Clock;
    Clock.start();
    QCOMPARE(Run(FServer.BaseUrl()), QString());
    QVERIFY2(Clock.elapsed() < 1500, "the idle limit, not the total one, ends a silent wait");
    QCOMPARE(ErrorEntries(), 1);
    QVERIFY(NewLog().contains(QStringLiteral("sent nothing")));
    QTRY_COMPARE_WITH_TIMEOUT(FServer.OpenConnections, 0, 5000);
  }

  // Never idle, never finished: the overall limit ends it.
  void tricklingServerHitsTheTotalLimit() {
    FServer.Routes[kPath] = {.Response = HttpResponse(200, QByteArray(2000, 'x')), .TrickleMs = 50};
    QCOMPARE(Run(FServer.BaseUrl()), QString());
    QCOMPARE(ErrorEntries(), 1);
    QVERIFY(NewLog().contains(QStringLiteral("did not answer completely")));
  }

  void abortDuringTheWait() {
    FServer.Routes[kPath] = {.Response = {}, .Silent = true};
    bool Called = false;
    QPointer<TCheckUpdateWorker> Worker =
        new TCheckUpdateWorker([&](const QString&) { Called = true; }, QUrl(QString::fromLatin1(FServer.BaseUrl())),
                               {.IdleTimeoutMs = 60000, .TotalTimeoutMs = 60000});
    Worker->Start();
    QTRY_COMPARE_WITH_TIMEOUT(FServer.Requests.size(), 1, 5000);
    Worker->Abort();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(Worker.isNull());
    QTRY_COMPARE_WITH_TIMEOUT(FServer.OpenConnections, 0, 5000);
    QTest::qWait(50);
    QVERIFY(!Called);
    QCOMPARE(ErrorEntries(), 0);
  }

  // The owner going away mid-request (its parent deleted) ends the request and never calls back.
  void parentDeletedDuringTheWait() {
    FServer.Routes[kPath] = {.Response = {}, .Silent = true};
    bool Called = false;
    auto* Owner = new QObject;
    auto* Worker = new TCheckUpdateWorker([&](const QString&) { Called = true; },
                                          QUrl(QString::fromLatin1(FServer.BaseUrl())), FastLimits(), Owner);
    Worker->Start();
    QTRY_COMPARE_WITH_TIMEOUT(FServer.Requests.size(), 1, 5000);
    delete Owner;
    QTRY_COMPARE_WITH_TIMEOUT(FServer.OpenConnections, 0, 5000);
    QTest::qWait(600);  // past the idle limit: no late callback
    QVERIFY(!Called);
  }

 private:
  // One check to completion; the worker must have deleted itself afterwards.
  QString Run(const QByteArray& ABaseUrl, TCheckUpdateLimits ALimits = FastLimits()) {
    std::optional<QString> Answer;
    int Calls = 0;
    QPointer<TCheckUpdateWorker> Worker = new TCheckUpdateWorker(
        [&](const QString& AVersion) {
          Answer = AVersion;
          ++Calls;
        },
        QUrl(QString::fromLatin1(ABaseUrl)), ALimits);
    Worker->Start();
    if (!QTest::qWaitFor([&] { return Answer.has_value(); }, 20000)) {
      QTest::qFail("no answer from the update check", __FILE__, __LINE__);
      return QStringLiteral("<none>");
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!Worker.isNull()) QTest::qFail("the worker did not delete itself", __FILE__, __LINE__);
    QTest::qWait(20);
    if (Calls != 1) QTest::qFail("the callback ran more than once", __FILE__, __LINE__);
    return *Answer;
  }
  QString NewLog() const { return LogText().mid(FLogMark); }
  // Each exception entry is framed by two lines of hyphens.
  int ErrorEntries() const {
    return UpdateCheckErrorEntries(NewLog());
  }

  const TShellTestFolders& FFolders;
  TTestHttpServer FServer;
  TTestHttpServer FSecond;
  qsizetype FLogMark = 0;
  std::optional<QString> FAnswer;
};

LEXMORA_SHELL_TEST_MAIN(TCheckUpdateTest)
#include "CheckUpdateTest.moc"
