// The main window's side of the update check (against a local server, with its own clock), the
// information bar, the credit footer and the dialog actions.
#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QToolButton>

#include <memory>

#include "AboutFormUnit.h"
#include "AppInfoUnit.h"
#include "LocalizationUnit.h"
#include "LogTestSupport.h"
#include "MainUnit.h"
#include "Settings.h"
#include "SettingsUnit.h"
#include "ShellTestMain.h"
#include "TestHttpServer.h"
#include "WindowTestSupport.h"

using namespace lexmora;
using namespace lexmora::test_support;

namespace {

const QByteArray kPath = kUpdateCheckPath;

std::string Running() {
  TAppVersion Version;
  GetAppVersion(Version);
  return Version.MajorAndMinor;
}

QByteArray Answer(const std::string& AVersion) {
  return HttpResponse(200, "XXX\r\nYYY: " + QByteArray::fromStdString(AVersion) + "\r\n");
}

TDateTime DaysAfter(const TDateTime& AFrom, double ADays) {
  return TDateTime::FromSeconds(AFrom.ToSeconds() + static_cast<std::int64_t>(ADays * 86400));
}

}  // namespace

class TMainWindowUpdateTest : public QObject {
  Q_OBJECT
 public:
  explicit TMainWindowUpdateTest(const TShellTestFolders&) {}

 private Q_SLOTS:
  void initTestCase() { QVERIFY(FServer.Listen()); }
  void init() {
    FFolders = std::make_unique<TWindowTestFolders>();
    ResetSettingsToDefaults();
    ProgrammSettings.LastUpdateCheckDT = TDateTime{2026, 6, 1, 12, 0, 0};
    FNow = DaysAfter(ProgrammSettings.LastUpdateCheckDT, 10);
    FServer.Routes.clear();
    FServer.Requests.clear();
    FCatcher.Urls.clear();
    FLogMark = LogText().size();
  }
  void cleanup() {
    FForm.reset();
    FFolders.reset();
  }

  void theRunningVersionShowsNoBar() {
    FServer.Routes[kPath] = {Answer(Running())};
    Open();
    QTRY_VERIFY_WITH_TIMEOUT(!FForm->CheckUpdateWorker(), 10000);
    QCOMPARE(FServer.Requests.size(), 1);
    QCOMPARE(ProgrammSettings.LastNewVersionNotify, Running());
    QCOMPARE(ProgrammSettings.LastNewVersion, Running());
    QCOMPARE(ProgrammSettings.LastUpdateCheckDT, FNow);
    QVERIFY(!BarShown());
  }

  // Another version: the bar; X dismisses it for good; a later version brings it back.
  void anotherVersionUntilDismissed() {
    FServer.Routes[kPath] = {Answer("9.9")};
    Open();
    QTRY_VERIFY_WITH_TIMEOUT(BarShown(), 10000);
    QVERIFY(!FForm->CheckUpdateWorker());
    QCOMPARE(FForm->MainInfoLinkLabel->text(), NewVersionInfoText(TLocalizationLanguare::llEN, "9.9"));
    QCOMPARE(FForm->HideMainInfoPanelAct->toolTip(),
             QString::fromStdString(GetLocalizedText(TMsg::HideInfoBarHint, TLocalizationLanguare::llEN)));
    // The language switch re-texts the visible bar.
    FForm->ApplyLanguage(TLocalizationLanguare::llRU);
    QCOMPARE(FForm->MainInfoLinkLabel->text(), NewVersionInfoText(TLocalizationLanguare::llRU, "9.9"));
    FForm->ApplyLanguage(TLocalizationLanguare::llEN);

    QTest::mouseClick(FForm->HideMainInfoPanelBtn, Qt::LeftButton);
    QVERIFY(!BarShown());
    QCOMPARE(ProgrammSettings.LastNewVersionNotify, std::string("9.9"));
    QVERIFY(FForm->close());
    FForm.reset();

    // A restart two days later: no request, no bar.
    ApplySettingsText(ProgrammSettings, "");
    QVERIFY(LoadSettings());
    QCOMPARE(ProgrammSettings.LastNewVersionNotify, std::string("9.9"));
    FNow = DaysAfter(FNow, 2);
    Open();
    QTest::qWait(100);
    QCOMPARE(FServer.Requests.size(), 1);
    QVERIFY(!BarShown());
    FForm.reset();

    // A week later the server names 10.0.
    FServer.Routes[kPath] = {Answer("10.0")};
    FNow = DaysAfter(FNow, 7);
    Open();
    QTRY_VERIFY_WITH_TIMEOUT(BarShown(), 10000);
    QCOMPARE(FServer.Requests.size(), 2);
    QVERIFY(FForm->MainInfoLinkLabel->text().contains(QStringLiteral("10.0")));
  }

  void sixDayRuleAtStart_data() {
    QTest::addColumn<double>("Days");
    QTest::addColumn<bool>("Asked");
    QTest::newRow("5 d 11 h") << 5.0 + 11.0 / 24 << false;
    QTest::newRow("5 d 12 h") << 5.5 << true;
    QTest::newRow("a week back") << -7.0 << true;
  }
  void sixDayRuleAtStart() {
    QFETCH(double, Days);
    QFETCH(bool, Asked);
    FServer.Routes[kPath] = {Answer("9.9")};
    // An announced, undismissed version shows from the record when no request is made.
    ProgrammSettings.LastNewVersion = "9.8";
    FNow = DaysAfter(ProgrammSettings.LastUpdateCheckDT, Days);
    Open();
    if (Asked) {
      QTRY_VERIFY_WITH_TIMEOUT(!FForm->CheckUpdateWorker(), 10000);
      QCOMPARE(ProgrammSettings.LastNewVersion, std::string("9.9"));
    } else {
      QVERIFY(!FForm->CheckUpdateWorker());
      QTest::qWait(100);
    }
    QCOMPARE(FServer.Requests.size(), Asked ? 1 : 0);
    QVERIFY(BarShown());
  }

  void silentServerGivesUp() {
    FServer.Routes[kPath] = {.Response = {}, .Silent = true};
    Open({.IdleTimeoutMs = 300, .TotalTimeoutMs = 1000});
    QVERIFY(FForm->CheckUpdateWorker());
    QTRY_VERIFY_WITH_TIMEOUT(!FForm->CheckUpdateWorker(), 5000);
    QCOMPARE(UpdateCheckErrorEntries(LogText().mid(FLogMark)), 1);
    QVERIFY(!BarShown());
    QCOMPARE(ProgrammSettings.LastUpdateCheckDT, (TDateTime{2026, 6, 1, 12, 0, 0}));
  }

  // A failed check changes nothing remembered; an undismissed version from before still shows.
  void failedCheckShowsTheStoredVersion() {
    FServer.Routes[kPath] = {HttpResponse(500, "down for maintenance")};
    ProgrammSettings.LastNewVersion = "9.8";
    Open();
    QTRY_VERIFY_WITH_TIMEOUT(!FForm->CheckUpdateWorker(), 10000);
    QCOMPARE(FServer.Requests.size(), 1);
    QCOMPARE(UpdateCheckErrorEntries(LogText().mid(FLogMark)), 1);
    QVERIFY(BarShown());
    QCOMPARE(FForm->MainInfoLinkLabel->text(), NewVersionInfoText(TLocalizationLanguare::llEN, "9.8"));
    QCOMPARE(ProgrammSettings.LastUpdateCheckDT, (TDateTime{2026, 6, 1, 12, 0, 0}));
    QCOMPARE(ProgrammSettings.LastNewVersion, std::string("9.8"));
  }

  // The user has installed the version announced earlier: no bar, with or without a check.
  void theAnnouncedVersionRunsNow() {
    ProgrammSettings.LastNewVersion = Running();
    FNow = DaysAfter(ProgrammSettings.LastUpdateCheckDT, 1);
    Open();
    QVERIFY(!FForm->CheckUpdateWorker());
    QVERIFY(!BarShown());
    FForm.reset();
    FServer.Routes[kPath] = {HttpResponse(500, "down")};
    FNow = DaysAfter(ProgrammSettings.LastUpdateCheckDT, 30);
    Open();
    QTRY_VERIFY_WITH_TIMEOUT(!FForm->CheckUpdateWorker(), 10000);
    QVERIFY(!BarShown());
  }

  // Closing during the wait: at once, the request ended, nothing applied after the save.
  void closeDuringTheWait() {
    FServer.Routes[kPath] = {.Response = {}, .Silent = true};
    Open({.IdleTimeoutMs = 60000, .TotalTimeoutMs = 60000});
    QTRY_COMPARE_WITH_TIMEOUT(FServer.Requests.size(), 1, 5000);
    QPointer<TCheckUpdateWorker> Worker = FForm->CheckUpdateWorker();
    QVERIFY(Worker);
    QVERIFY(FForm->close());
    QVERIFY(!FForm->isVisible());
    QVERIFY(!FForm->CheckUpdateWorker());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(Worker.isNull());
    QTRY_COMPARE_WITH_TIMEOUT(FServer.OpenConnections, 0, 5000);
    QVERIFY(QFile::exists(QString::fromStdString(ProgrammSettings.IniFileFullName)));
    QCOMPARE(UpdateCheckErrorEntries(LogText().mid(FLogMark)), 0);
  }

  // A version in the file that is not of the form 3.9 never reaches the bar.
  void storedMarkupIsNotShown() {
    ProgrammSettings.LastNewVersion = "<a href=\"http://evil.example\">9.9</a>";
    FNow = DaysAfter(ProgrammSettings.LastUpdateCheckDT, 1);
    Open();
    QVERIFY(!BarShown());
  }

  void barLinkOpensOnlyWebAddresses() {
    ProgrammSettings.LastNewVersion = "9.9";
    FNow = DaysAfter(ProgrammSettings.LastUpdateCheckDT, 1);
    Open();
    QVERIFY(BarShown());
    // The bar's one link leads to the download page.
    static const QRegularExpression Href(QStringLiteral("href=\"([^\"]*)\""));
    const QString Text = FForm->MainInfoLinkLabel->text();
    QCOMPARE(Text.count(QStringLiteral("href=")), 1);
    const QString Link = Href.match(Text).captured(1);
    QCOMPARE(Link, QStringLiteral("http://update.lexmora.example/update/update_click_Morvane.php"));
    Q_EMIT FForm->MainInfoLinkLabel->linkActivated(Link);
    Q_EMIT FForm->MainInfoLinkLabel->linkActivated(QStringLiteral("file:///etc/passwd"));
    QCOMPARE(FCatcher.Urls,
             (QList<QUrl>{QUrl(QStringLiteral("http://update.lexmora.example/update/update_click_Morvane.php"))}));
  }

  void creditFooter() {
    FNow = DaysAfter(ProgrammSettings.LastUpdateCheckDT, 1);
    Open();
    QCOMPARE(Footer().size(), 3);  // image, credit text, maker's link
    QPointer<QLabel> OldText = Footer().at(1);
    FForm->ApplyLanguage(TLocalizationLanguare::llRU);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(OldText.isNull());
    const QList<QLabel*> Row = Footer();
    QCOMPARE(Row.size(), 3);
    QCOMPARE(Row.at(1)->text(), QString::fromUtf8("Разработчик:"));
    QCOMPARE(Row.at(2)->text(), QStringLiteral("Lexmora"));
    // Kept at the strip's bottom right corner, 5 pixels in.
    const QWidget* Strip = FForm->StartTextRightPanel;
    QCOMPARE(Row.at(2)->geometry().right() + 1 + 4, Strip->width() - 5);
    QTest::mouseClick(Row.at(2), Qt::LeftButton);
    QCOMPARE(FCatcher.Urls, (QList<QUrl>{QUrl(QStringLiteral("https://lexmora.example"))}));
    FForm->ApplyLanguage(TLocalizationLanguare::llEN);
  }

  void settingsActionOpensTheDialog() {
    FNow = DaysAfter(ProgrammSettings.LastUpdateCheckDT, 1);
    Open();
    FForm->ApplyLanguage(TLocalizationLanguare::llRU);
    const std::string Before = BuildSettingsText(ProgrammSettings);
    FForm->SettingsAct->trigger();
    TSettingsForm* Dialog = FForm->SettingsForm();
    QVERIFY(Dialog);
    QVERIFY(Dialog->isVisible());
    QVERIFY(Dialog->isModal());
    QCOMPARE(Dialog->windowTitle(),
             QString::fromStdString(GetLocalizedText(TMsg::SettingsDialogTitle, TLocalizationLanguare::llRU)));
    Dialog->SaveFormPosCtrl->toggle();
    QTest::keyClick(Dialog, Qt::Key_Escape);
    QVERIFY(!Dialog->isVisible());
    QCOMPARE(BuildSettingsText(ProgrammSettings), Before);
    // Reused, not made again.
    FForm->SettingsAct->trigger();
    QCOMPARE(FForm->SettingsForm(), Dialog);
    Dialog->Def_ResultFileFormatXLSX->setChecked(true);
    QTest::mouseClick(Dialog->Button1, Qt::LeftButton);
    QCOMPARE(ProgrammSettings.Def_ResultFileFormat, TResultFileFormat::rffXLSX);
    FForm->ApplyLanguage(TLocalizationLanguare::llEN);
  }

  void aboutActionTwiceShowsTheCreditsOnce() {
    FNow = DaysAfter(ProgrammSettings.LastUpdateCheckDT, 1);
    Open();
    FForm->AboutAct->trigger();
    TAboutForm* About = FForm->AboutForm();
    QVERIFY(About && About->isVisible());
    QTest::keyClick(About, Qt::Key_Escape);
    FForm->ApplyLanguage(TLocalizationLanguare::llRU);
    FForm->AboutAct->trigger();
    QCOMPARE(FForm->AboutForm(), About);
    const QString Credits = About->AdditionalInfoMemo->toPlainText();
    const QString Title =
        QString::fromStdString(GetLocalizedText(TMsg::AboutComponentsTitle, TLocalizationLanguare::llRU));
    QCOMPARE(Credits.count(Title), 1);
    QCOMPARE(About->windowTitle(),
             QString::fromStdString(GetLocalizedText(TMsg::AboutBoxTitle, TLocalizationLanguare::llRU)));
    QTest::mouseClick(About->CloseButton, Qt::LeftButton);
    QVERIFY(!About->isVisible());
    FForm->ApplyLanguage(TLocalizationLanguare::llEN);
  }

 private:
  void Open(TCheckUpdateLimits ALimits = {.IdleTimeoutMs = 5000, .TotalTimeoutMs = 10000}) {
    TUpdateCheckConfig Config;
    Config.ServerAddress = QUrl(QString::fromLatin1(FServer.BaseUrl()));
    Config.Limits = ALimits;
    Config.Now = [this] { return FNow; };
    FForm = std::make_unique<TMainForm>(nullptr, Config);
    FForm->show();
  }
  bool BarShown() const { return FForm->MainInfoPanel->isVisibleTo(FForm->SettingsPanel); }
  QList<QLabel*> Footer() const {
    QList<QLabel*> Row = FForm->StartTextRightPanel->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    std::sort(Row.begin(), Row.end(), [](QLabel* A, QLabel* B) { return A->x() < B->x(); });
    return Row;
  }

  TTestHttpServer FServer;
  // Whatever the window hands to the desktop.
  TOpenedUrls FCatcher{{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"),
                        QStringLiteral("file")}};
  std::unique_ptr<TWindowTestFolders> FFolders;
  std::unique_ptr<TMainForm> FForm;
  TDateTime FNow;
  qsizetype FLogMark = 0;
};

LEXMORA_SHELL_TEST_MAIN(TMainWindowUpdateTest)
#include "MainWindowUpdateTest.moc"
