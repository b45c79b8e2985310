#include "CheckUpdateUnit.h"

#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cmath>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#endif

#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "Settings.h"

namespace lexmora {

namespace {

constexpr char kLogMethod[] = "TCheckUpdateWorker.Execute";

// Takes no cookie and offers none.
class TNoCookieJar : public QNetworkCookieJar {
 public:
  using QNetworkCookieJar::QNetworkCookieJar;
  bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
  QList<QNetworkCookie> cookiesForUrl(const QUrl&) const override { return {}; }
};

// Server text as a log can hold it: one line, printable, short.
std::string LogSafe(const QString& AText) {
  QString Text = AText.left(40);
  for (QChar& C : Text) {
    if (!C.isPrint()) C = QLatin1Char('?');
  }
  if (AText.size() > 40) Text += QStringLiteral("...");
  return Text.toStdString();
}

#ifdef _WIN32
// Qt for Windows is built without ICU, so its decoder knows only the Unicode forms and Latin-1;
// the system converts the single- and double-byte sets a server may still declare.
QString DecodeByCodePage(const QByteArray& ABody, const QString& ACharset) {
  static const std::pair<const char*, UINT> kCodePages[] = {
      {"windows-1250", 1250}, {"windows-1251", 1251}, {"windows-1252", 1252}, {"windows-1253", 1253},
      {"windows-1254", 1254}, {"windows-1255", 1255}, {"windows-1256", 1256}, {"windows-1257", 1257},
      {"windows-1258", 1258}, {"cp1251", 1251},       {"koi8-r", 20866},      {"koi8-u", 21866},
      {"ibm866", 866},        {"cp866", 866},         {"iso-8859-2", 28592},  {"iso-8859-5", 28595},
      {"iso-8859-15", 28605}, {"shift_jis", 932},     {"gbk", 936},           {"gb2312", 936},
      {"euc-kr", 949},        {"big5", 950}};
  const QString Name = ACharset.toLower();
  for (const auto& [Known, CodePage] : kCodePages) {
    if (Name != QLatin1String(Known)) continue;
    if (ABody.isEmpty()) return {};
    const int Size = MultiByteToWideChar(CodePage, 0, ABody.constData(), int(ABody.size()), nullptr, 0);
    if (Size <= 0) return QString::fromUtf8(ABody);
    QString Text(Size, Qt::Uninitialized);
    MultiByteToWideChar(CodePage, 0, ABody.constData(), int(ABody.size()), reinterpret_cast<wchar_t*>(Text.data()), Size);
    return Text;
  }
  return QString::fromUtf8(ABody);
}
#endif

}  // namespace

bool IsUpdateCheckDue(double ADaysSinceLastCheck) {
  // nearbyint rounds a half to the even neighbour in the default rounding mode: 5.5 gives 6.
  return std::nearbyint(std::fabs(ADaysSinceLastCheck)) > 5.0;
}

bool IsUpdateCheckDue(const TDateTime& ANow, const TDateTime& ALastCheck) {
  return IsUpdateCheckDue(DaysBetween(ALastCheck, ANow));
}

void ApplyNewVersionInfo(TSettings& ASettings, const QString& ANewVersion, const std::string& ARunningVersion,
                         const TDateTime& ANow) {
  if (ANewVersion.isEmpty()) return;
  const std::string Version = ANewVersion.toStdString();
  ASettings.LastUpdateCheckDT = ANow;
  ASettings.LastNewVersion = Version;
  // The user runs the announced version already: nothing to announce, now or later.
  if (Version == ARunningVersion) ASettings.LastNewVersionNotify = Version;
}

bool IsNewVersionToShow(const TSettings& ASettings, const std::string& ARunningVersion) {
  const std::string& Version = ASettings.LastNewVersion;
  // The stored version comes from a file the user can edit: the same pattern as a fresh answer.
  return IsAcceptableVersion(QString::fromStdString(Version)) && Version != ASettings.LastNewVersionNotify &&
         Version != ARunningVersion;
}

QString NewVersionInfoText(TLocalizationLanguare ALang, const std::string& AVersion) {
  return QString::fromStdString(GetLocalizedText(TMsg::UpdateAvailablePrefix, ALang)) +
         QString::fromStdString(AVersion).toHtmlEscaped() +
         QString::fromStdString(GetLocalizedText(TMsg::UpdateAvailableLink, ALang));
}

QString ParseUpdateAnswer(const QString& AText) {
  static const QRegularExpression LineBreak(QStringLiteral("\r\n|\n|\r"));
  const QStringList Lines = AText.split(LineBreak);
  if (Lines.size() < 2 || Lines.at(0) != QLatin1String("XXX")) return {};
  const QString& Second = Lines.at(1);
  if (Second.size() <= 5 || !Second.startsWith(QLatin1String("YYY: "))) return {};
  return Second.mid(5, 100500);
}

bool IsAcceptableVersion(const QString& AVersion) {
  static const QRegularExpression Pattern(QStringLiteral("^[0-9]{1,5}\\.[0-9]{1,5}$"));
  return Pattern.match(AVersion).hasMatch();
}

QString DecodeUpdateBody(const QByteArray& ABody, const QByteArray& AContentType) {
  static const QRegularExpression Charset(QStringLiteral("(?:^|;)\\s*charset\\s*=\\s*\"?([^\";\\s]+)\"?"),
                                          QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch Match = Charset.match(QString::fromLatin1(AContentType));
  if (Match.hasMatch()) {
    QStringDecoder Decoder(Match.captured(1).toLatin1().constData());
    if (Decoder.isValid()) return Decoder.decode(ABody);
#ifdef _WIN32
    return DecodeByCodePage(ABody, Match.captured(1));
#endif
  }
  return QString::fromUtf8(ABody);
}

TCheckUpdateWorker::TCheckUpdateWorker(TNewVersionInfoCallback ANewVersionInfoCallback, const QUrl& AServerAddress,
                                       TCheckUpdateLimits ALimits, QObject* AParent)
    : QObject(AParent),
      FNewVersionInfoCallback(std::move(ANewVersionInfoCallback)),
      FServerAddress(AServerAddress),
      FLimits(ALimits) {
  FIdleTimer.setSingleShot(true);
  FTotalTimer.setSingleShot(true);
  connect(&FIdleTimer, &QTimer::timeout, this, [this] {
    Fail(QStringLiteral("The update server sent nothing for %1 s.").arg(FLimits.IdleTimeoutMs / 1000.0));
  });
  connect(&FTotalTimer, &QTimer::timeout, this, [this] {
    Fail(QStringLiteral("The update server did not answer completely within %1 s.")
             .arg(FLimits.TotalTimeoutMs / 1000.0));
  });
}

TCheckUpdateWorker::~TCheckUpdateWorker() {
  FNewVersionInfoCallback = nullptr;
  StopReply();
}

QUrl TCheckUpdateWorker::RequestUrl() const {
  QUrl Url = FServerAddress;
  Url.setPath(QLatin1String(kUpdateCheckPath));
  Url.setQuery(QString());
  return Url;
}

void TCheckUpdateWorker::Start() {
  if (FStarted) return;
  FStarted = true;
  FNewVersionInfo.clear();
  const QUrl Url = RequestUrl();
  if (!Url.isValid() || (Url.scheme() != QLatin1String("http") && Url.scheme() != QLatin1String("https"))) {
    // Reported from the event loop, as every other outcome, never from inside Start().
    QMetaObject::invokeMethod(
        this,
        [this] { Fail(QStringLiteral("The update address is not an HTTP address: ") + FServerAddress.toString()); },
        Qt::QueuedConnection);
    return;
  }
  FManager = new QNetworkAccessManager(this);
  FManager->setCookieJar(new TNoCookieJar(FManager));
  // A cached answer would hide the server's current one.
  FManager->setCache(nullptr);

  QNetworkRequest Request(Url);
  Request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromLatin1(kUpdateUserAgent));
  Request.setRawHeader("Accept", "*/*");
  // Follows HTTP to HTTP and HTTP to HTTPS, never HTTPS back to HTTP.
  Request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  Request.setMaximumRedirectsAllowed(FLimits.MaxRedirects);
  Request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
  Request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
  Request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  Request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

  FReply = FManager->get(Request);
  // Redirect bodies count too, so a chain of large pages is cut as well.
  connect(FReply, &QNetworkReply::metaDataChanged, this, &TCheckUpdateWorker::OnMetaData);
  connect(FReply, &QNetworkReply::readyRead, this, &TCheckUpdateWorker::OnReadyRead);
  connect(FReply, &QNetworkReply::redirected, this, [this] { FIdleTimer.start(FLimits.IdleTimeoutMs); });
  connect(FReply, &QNetworkReply::finished, this, &TCheckUpdateWorker::OnFinished);
  FIdleTimer.start(FLimits.IdleTimeoutMs);
  FTotalTimer.start(FLimits.TotalTimeoutMs);
}

void TCheckUpdateWorker::Abort() {
  if (FDone) return;
  FDone = true;
  FNewVersionInfoCallback = nullptr;
  StopReply();
  if (FStarted) Logger().AddInfo("Update check stopped: the program is closing.");
  deleteLater();
}

void TCheckUpdateWorker::OnMetaData() {
  if (FDone || !FReply) return;
  FIdleTimer.start(FLimits.IdleTimeoutMs);
  const QVariant Length = FReply->header(QNetworkRequest::ContentLengthHeader);
  if (Length.isValid() && Length.toLongLong() > FLimits.MaxBodyBytes)
    Fail(QStringLiteral("The update server's answer is larger than %1 bytes.").arg(FLimits.MaxBodyBytes));
}

void TCheckUpdateWorker::OnReadyRead() {
  if (FDone || !FReply) return;
  FIdleTimer.start(FLimits.IdleTimeoutMs);
  // The body of a redirect is not the answer; only the last response's body is kept.
  const QVariant Status = FReply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  const bool IsRedirect = Status.isValid() && Status.toInt() >= 300 && Status.toInt() < 400;
  const QByteArray Chunk = FReply->read(FLimits.MaxBodyBytes + 1 - FBody.size());
  if (!IsRedirect) FBody += Chunk;
  if (FBody.size() > FLimits.MaxBodyBytes || FReply->bytesAvailable() > 0)
    Fail(QStringLiteral("The update server's answer is larger than %1 bytes.").arg(FLimits.MaxBodyBytes));
}

void TCheckUpdateWorker::OnFinished() {
  if (FDone || !FReply) return;
  if (FReply->error() != QNetworkReply::NoError) {
    Fail(RequestUrl().toString() + QStringLiteral(": ") + FReply->errorString());
    return;
  }
  OnReadyRead();
  if (FDone) return;
  const int Status = FReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (Status < 200 || Status > 299) {
    Fail(QStringLiteral("The update server answered with HTTP status %1.").arg(Status));
    return;
  }
  const QString Version =
      ParseUpdateAnswer(DecodeUpdateBody(FBody, FReply->header(QNetworkRequest::ContentTypeHeader).toByteArray()));
  if (IsAcceptableVersion(Version)) {
    FNewVersionInfo = Version;
    Logger().AddInfo("New Version: " + Version.toStdString());
  } else if (!Version.isEmpty()) {
    Logger().AddWarning("The update server named no valid version: " + LogSafe(Version));
  }
  Finish();
}

void TCheckUpdateWorker::Fail(const QString& AReason) {
  if (FDone) return;
  StopReply();
  FNewVersionInfo.clear();
  Logger().AddException(kLogMethod, std::runtime_error(AReason.toStdString()));
  Finish();
}

void TCheckUpdateWorker::Finish() {
  if (FDone) return;
  FDone = true;
  StopReply();
  // Moved out first: the callback may delete or abort this object's owner.
  const TNewVersionInfoCallback Callback = std::move(FNewVersionInfoCallback);
  const QString Version = FNewVersionInfo;
  FNewVersionInfoCallback = nullptr;
  deleteLater();
  if (Callback) Callback(Version);
}

void TCheckUpdateWorker::StopReply() {
  FIdleTimer.stop();
  FTotalTimer.stop();
  if (!FReply) return;
  QNetworkReply* Reply = FReply;
  FReply = nullptr;
  Reply->disconnect(this);
  Reply->abort();
  Reply->deleteLater();
}

}  // namespace lexmora
