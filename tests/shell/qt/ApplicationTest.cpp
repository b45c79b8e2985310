#include <QtTest/QtTest>
#include <QtWidgets/QApplication>

#include "AppInfoUnit.h"
#include "ApplicationUnit.h"

using namespace lexmora;

class TApplicationTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void NameVersionAndDesktopFile() {
    ConfigureApplication(*qApp);
    TAppVersion V;
    GetAppVersion(V);
    QVERIFY(!V.FullAppVersion.empty());
    QCOMPARE(QCoreApplication::applicationVersion(), QString::fromStdString(V.FullAppVersion));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("LexmoraCT"));
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("lexmora-ct"));
  }
};

QTEST_MAIN(TApplicationTest)
#include "ApplicationTest.moc"
