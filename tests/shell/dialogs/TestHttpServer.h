// A small HTTP/1.1 server for tests: listens on 127.0.0.1, port chosen by the system, answers
// each path with a canned response, can stay silent or trickle, optionally speaks TLS.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

namespace lexmora::test_support {

// A whole response: status line, headers (Content-Length added), body.
inline QByteArray HttpResponse(int AStatus, const QByteArray& ABody, const QByteArray& AExtraHeaders = {}) {
  QByteArray Reason = AStatus == 200 ? "OK" : AStatus == 302 ? "Found" : AStatus == 404 ? "Not Found" : "Status";
  return "HTTP/1.1 " + QByteArray::number(AStatus) + " " + Reason + "\r\n" + AExtraHeaders +
         "Content-Length: " + QByteArray::number(ABody.size()) + "\r\nConnection: close\r\n\r\n" + ABody;
}

inline QByteArray Redirect(const QByteArray& ALocation, const QByteArray& AExtraHeaders = {}) {
  return HttpResponse(302, "moved", "Location: " + ALocation + "\r\n" + AExtraHeaders);
}

struct TRoute {
  QByteArray Response;  // sent whole, then the connection is closed
  bool Silent = false;  // accept, read, never answer
  int TrickleMs = 0;    // send the head at once, then the body one byte per period
};

// A self-signed certificate for 127.0.0.1 made with the openssl program; empty when it cannot be.
struct TTestCertificate {
  QSslCertificate Certificate;
  QSslKey Key;
  bool IsNull() const { return Certificate.isNull() || Key.isNull(); }
};

inline TTestCertificate MakeTestCertificate(const QString& AFolder) {
  TTestCertificate Result;
  QProcess OpenSsl;
  const QString KeyFile = QDir(AFolder).filePath(QStringLiteral("key.pem"));
  const QString CertFile = QDir(AFolder).filePath(QStringLiteral("cert.pem"));
  OpenSsl.start(QStringLiteral("openssl"),
                {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                 QStringLiteral("-nodes"), QStringLiteral("-keyout"), KeyFile, QStringLiteral("-out"), CertFile,
                 QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                 QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
  if (!OpenSsl.waitForFinished(60000) || OpenSsl.exitStatus() != QProcess::NormalExit || OpenSsl.exitCode() != 0)
    return Result;
  QFile Cert(CertFile);
  QFile Key(KeyFile);
  if (!Cert.open(QIODevice::ReadOnly) || !Key.open(QIODevice::ReadOnly)) return Result;
  Result.Certificate = QSslCertificate(Cert.readAll(), QSsl::Pem);
  Result.Key = QSslKey(Key.readAll(), QSsl::Rsa, QSsl::Pem);
  return Result;
}

class TTestHttpServer : public QTcpServer {
 public:
  explicit TTestHttpServer(QObject* AParent = nullptr) : QTcpServer(AParent) {}

  bool Listen() { return listen(QHostAddress::LocalHost, 0); }
  void UseTls(const TTestCertificate& ACertificate) { FTls = ACertificate; }
  QByteArray BaseUrl() const {
    return (FTls.IsNull() ? "http" : "https") + QByteArray("://127.0.0.1:") + QByteArray::number(serverPort());
  }

  QMap<QByteArray, TRoute> Routes;  // by path
  QList<QByteArray> Requests;       // request heads received, in order
  int OpenConnections = 0;
  int Connections = 0;

 protected:
  void incomingConnection(qintptr ADescriptor) override {
    QTcpSocket* Socket = FTls.IsNull() ? new QTcpSocket(this) : new QSslSocket(this);
    if (!Socket->setSocketDescriptor(ADescriptor)) {
      delete Socket;
      return;
    }
    ++Connections;
    ++OpenConnections;
    connect(Socket, &QTcpSocket::disconnected, this, [this, Socket] {
      --OpenConnections;
      Socket->deleteLater();
    });
    auto* Head = new QByteArray;
    connect(Socket, &QObject::destroyed, this, [Head] { delete Head; });
    connect(Socket, &QTcpSocket::readyRead, this, [this, Socket, Head] {
      *Head += Socket->readAll();
      const qsizetype End = Head->indexOf("\r\n\r\n");
      if (End < 0) return;
      const QByteArray Request = Head->left(End);
      Head->clear();
      Requests.push_back(Request);
      const QByteArray Path = Request.split(' ').value(1);
      Answer(Socket, Routes.value(Path, TRoute{HttpResponse(404, "no such page"), false, 0}));
    });
    if (auto* Ssl = qobject_cast<QSslSocket*>(Socket)) {
      Ssl->setLocalCertificate(FTls.Certificate);
      Ssl->setPrivateKey(FTls.Key);
      Ssl->startServerEncryption();
    }
  }

 private:
  void Answer(QTcpSocket* ASocket, const TRoute& ARoute) {
    if (ARoute.Silent) return;
    if (ARoute.TrickleMs <= 0) {
      ASocket->write(ARoute.Response);
      ASocket->disconnectFromHost();
      return;
    }
    const qsizetype BodyStart = ARoute.Response.indexOf("\r\n\r\n") + 4;
    ASocket->write(ARoute.Response.left(BodyStart));
    auto* Timer = new QTimer(ASocket);
    auto Position = std::make_shared<qsizetype>(BodyStart);
    connect(Timer, &QTimer::timeout, ASocket, [ASocket, Timer, Position, Data = ARoute.Response] {
      if (*Position >= Data.size()) {
        Timer->stop();
        ASocket->disconnectFromHost();
        return;
      }
      ASocket->write(Data.mid((*Position)++, 1));
    });
    Timer->start(ARoute.TrickleMs);
  }

  TTestCertificate FTls;
};

}  // namespace lexmora::test_support
