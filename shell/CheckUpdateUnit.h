// The background question to the update server: which version is current?
//
// One GET over Qt Network on the GUI thread's event loop (nothing blocks): the two headers, no
// cookies, redirects followed (also from HTTP to HTTPS, never back), the body decoded by its
// declared charset. The server is untrusted: the body is capped, the request has time limits, and
// only a version of the form 3.8 is ever passed on.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <string>

#include "DataTypeUnit.h"
#include "DateTimeUnit.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace lexmora {

// The production update server; tests give a local address instead.
inline constexpr char kUpdateServerAddress[] = "http://update.lexmora.example";
// Path of the question on the server.
inline constexpr char kUpdateCheckPath[] = "/update/update_Morvane.php";
inline constexpr char kUpdateUserAgent[] = "LexmoraCT WebClient";

// Receives the announced version, empty when the check brought none.
using TNewVersionInfoCallback = std::function<void(const QString& ANewVersion)>;

struct TCheckUpdateLimits {
  int IdleTimeoutMs = 15000;   // no byte from the server for this long: give up
  int TotalTimeoutMs = 30000;  // the whole exchange, redirects included
  qint64 MaxBodyBytes = 64 * 1024;
  int MaxRedirects = 5;
};

// Where and how the main window checks; tests point it at a local server and their own clock.
struct TUpdateCheckConfig {
  QUrl ServerAddress = QUrl(QString::fromLatin1(kUpdateServerAddress));  // empty: no check at all
  TCheckUpdateLimits Limits;
  std::function<TDateTime()> Now = NowLocalDateTime;
  // No check at all, only a stored announcement (tests, pictures, benchmarks).
  static TUpdateCheckConfig NoCheck() {
    TUpdateCheckConfig Config;
    Config.ServerAddress = QUrl();
    return Config;
  }
};

// Whole days between the last answered check and now, rounded half to even, is more than 5.
// Note: a clock set back counts as well (the distance is taken without sign).
bool IsUpdateCheckDue(double ADaysSinceLastCheck);
bool IsUpdateCheckDue(const TDateTime& ANow, const TDateTime& ALastCheck);

struct TSettings;

// An answer taken into the record: a version moves LastUpdateCheckDT and LastNewVersion, and one
// equal to the running version is marked as not to be announced. Empty changes nothing.
void ApplyNewVersionInfo(TSettings& ASettings, const QString& ANewVersion, const std::string& ARunningVersion,
                         const TDateTime& ANow);
// Whether the information bar announces LastNewVersion: a well-formed version that is neither
// dismissed nor the one running.
bool IsNewVersionToShow(const TSettings& ASettings, const std::string& ARunningVersion);
// The bar's rich text: messages 173 and 174 around the HTML-escaped version.
QString NewVersionInfoText(TLocalizationLanguare ALang, const std::string& AVersion);

// The version text of an answer ("XXX", then "YYY: " and the version, further lines ignored), or
// empty when the answer does not have that form. Lines end at CR LF, LF or CR.
QString ParseUpdateAnswer(const QString& AText);

// Digits, a full stop, digits, at most five digits each: the only version text accepted.
bool IsAcceptableVersion(const QString& AVersion);

// ABody decoded by the charset parameter of AContentType; UTF-8 when none or unknown.
QString DecodeUpdateBody(const QByteArray& ABody, const QByteArray& AContentType);

// One update check. Start() sends the request; the callback runs once on the GUI thread with the
// answer (empty after any failure, which is logged once), then the object deletes itself.
// Abort() ends it at once without calling back (the window is closing).
class TCheckUpdateWorker : public QObject {
  Q_OBJECT
 public:
  TCheckUpdateWorker(TNewVersionInfoCallback ANewVersionInfoCallback, const QUrl& AServerAddress,
                     TCheckUpdateLimits ALimits = {}, QObject* AParent = nullptr);
  ~TCheckUpdateWorker() override;

  void Start();
  void Abort();

  // The address asked: the server address with the check's path.
  QUrl RequestUrl() const;

 private:
  void OnMetaData();
  void OnReadyRead();
  void OnFinished();
  void Fail(const QString& AReason);
  void Finish();
  void StopReply();

  TNewVersionInfoCallback FNewVersionInfoCallback;
  QString FNewVersionInfo;
  QUrl FServerAddress;
  TCheckUpdateLimits FLimits;
  QNetworkAccessManager* FManager = nullptr;
  QPointer<QNetworkReply> FReply;
  QByteArray FBody;
  QTimer FIdleTimer;
  QTimer FTotalTimer;
  bool FStarted = false;
  bool FDone = false;
};

}  // namespace lexmora
