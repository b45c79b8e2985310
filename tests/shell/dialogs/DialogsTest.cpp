// The settings dialog and the about box: what is taken over and when, languages, credits, links.
#include <QCheckBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include "AboutFormUnit.h"
#include "AppInfoUnit.h"
#include "LocalizationUnit.h"
#include "LogoUnit.h"
#include "Settings.h"
#include "SettingsUnit.h"
#include "ShellTestMain.h"

using namespace lexmora;
using namespace lexmora::test_support;

namespace {

QString Msg(TMsg AId, TLocalizationLanguare ALang) { return QString::fromStdString(GetLocalizedText(AId, ALang)); }

// Every stored field of the record, as the settings file would hold it.
std::string Snapshot() { return BuildSettingsText(ProgrammSettings); }

QList<QAbstractButton*> AllToggles(TSettingsForm& AForm) {
  return {AForm.SaveFormPosCtrl,
          AForm.SaveFormSizeCtrl,
          AForm.SaveDiffSettingsCtrl,
          AForm.ClearFileListCtrl,
          AForm.Def_DoNotSeparateSpacesCtrl,
          AForm.Def_HideEquivalentStringCtrl,
          AForm.Def_FillDiffRowColoredCtrl,
          AForm.Def_ShowTagsCtrl};
}

}  // namespace

// Catches what the desktop is asked to open.
class TUrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> Opened;
 public Q_SLOTS:
  void Open(const QUrl& AUrl) { Opened.push_back(AUrl); }
};

class TDialogsTest : public QObject {
  Q_OBJECT
 public:
  explicit TDialogsTest(const TShellTestFolders&) {}

 private Q_SLOTS:
  void initTestCase() {
    for (const char* Scheme : {"http", "https", "mailto", "file", "javascript"})
      QDesktopServices::setUrlHandler(QLatin1String(Scheme), &FCatcher, "Open");
  }
  void cleanupTestCase() {
    for (const char* Scheme : {"http", "https", "mailto", "file", "javascript"})
      QDesktopServices::unsetUrlHandler(QLatin1String(Scheme));
  }
  void init() {
    ApplySettingsText(ProgrammSettings, "");  // every default
    ProgrammSettings.LangIndex = TLocalizationLanguare::llEN;
    FCatcher.Opened.clear();
  }

  void settingsShowTheRecord_data() {
    QTest::addColumn<int>("TagsFormat");
    QTest::addColumn<int>("ResultFormat");
    QTest::newRow("short, HTML") << int(TShowTagsFormat::stfShort) << int(TResultFileFormat::rffHTML);
    QTest::newRow("id, XLSX") << int(TShowTagsFormat::stfID) << int(TResultFileFormat::rffXLSX);
    QTest::newRow("full, HTML") << int(TShowTagsFormat::stfFull) << int(TResultFileFormat::rffHTML);
  }
  void settingsShowTheRecord() {
    QFETCH(int, TagsFormat);
    QFETCH(int, ResultFormat);
    ProgrammSettings.ShowTagsFormat = static_cast<TShowTagsFormat>(TagsFormat);
    ProgrammSettings.Def_ResultFileFormat = static_cast<TResultFileFormat>(ResultFormat);
    ProgrammSettings.SaveFormSize = true;
    ProgrammSettings.Def_ShowTags = false;
    TSettingsForm Form;
    Form.UpdateFormData();
    QCOMPARE(Form.TagsFormatSortCtrl->isChecked(), TagsFormat == int(TShowTagsFormat::stfShort));
    QCOMPARE(Form.TagsFormatIDCtrl->isChecked(), TagsFormat == int(TShowTagsFormat::stfID));
    QCOMPARE(Form.TagsFormatFullCtrl->isChecked(), TagsFormat == int(TShowTagsFormat::stfFull));
    QCOMPARE(Form.Def_ResultFileFormatXLSX->isChecked(), ResultFormat == int(TResultFileFormat::rffXLSX));
    QCOMPARE(Form.Def_ResultFileFormatHTML->isChecked(), ResultFormat == int(TResultFileFormat::rffHTML));
    QVERIFY(Form.SaveFormSizeCtrl->isChecked());
    QVERIFY(!Form.SaveFormPosCtrl->isChecked());
    QVERIFY(!Form.Def_ShowTagsCtrl->isChecked());
    QVERIFY(Form.Def_HideEquivalentStringCtrl->isChecked());  // default true
    // The two radio groups are independent of each other.
    Form.TagsFormatFullCtrl->setChecked(true);
    QCOMPARE(Form.Def_ResultFileFormatXLSX->isChecked(), ResultFormat == int(TResultFileFormat::rffXLSX));
  }

  void escapeKeepsTheRecord() {
    const std::string Before = Snapshot();
    TSettingsForm Form;
    Form.UpdateFormData();
    Form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Form));
    for (QAbstractButton* Toggle : AllToggles(Form)) Toggle->toggle();
    Form.TagsFormatFullCtrl->setChecked(true);
    Form.Def_ResultFileFormatXLSX->setChecked(true);
    Form.Def_ShowTagsCtrl->setFocus();
    QTest::keyClick(&Form, Qt::Key_Escape);
    QVERIFY(!Form.isVisible());
    QCOMPARE(Form.result(), int(QDialog::Rejected));
    QCOMPARE(Snapshot(), Before);
    // Reopened, it shows the old values again.
    Form.UpdateFormData();
    QVERIFY(Form.TagsFormatSortCtrl->isChecked());
    QVERIFY(Form.Def_ResultFileFormatHTML->isChecked());
    QVERIFY(Form.Def_ShowTagsCtrl->isChecked());
  }

  void titleBarCloseKeepsTheRecord() {
    const std::string Before = Snapshot();
    TSettingsForm Form;
    Form.UpdateFormData();
    Form.show();
    for (QAbstractButton* Toggle : AllToggles(Form)) Toggle->toggle();
    QVERIFY(Form.close());
    QCOMPARE(Snapshot(), Before);
  }

  void saveWritesTheRecord() {
    TSettingsForm Form;
    Form.UpdateFormData();
    Form.show();
    for (QAbstractButton* Toggle : AllToggles(Form)) Toggle->toggle();
    Form.TagsFormatIDCtrl->setChecked(true);
    Form.Def_ResultFileFormatXLSX->setChecked(true);
    QTest::mouseClick(Form.Button1, Qt::LeftButton);
    QVERIFY(!Form.isVisible());
    QCOMPARE(Form.result(), int(QDialog::Accepted));
    const TSettings& S = ProgrammSettings;
    QVERIFY(S.SaveFormPos && S.SaveFormSize && S.SaveDiffSettings && S.ClearFileList);
    QVERIFY(S.Def_DoNotSeparateSpaces);  // default false, toggled
    QVERIFY(!S.Def_HideEquivalentString && !S.Def_FillDiffRowColored && !S.Def_ShowTags);
    QCOMPARE(S.ShowTagsFormat, TShowTagsFormat::stfID);
    QCOMPARE(S.Def_ResultFileFormat, TResultFileFormat::rffXLSX);
    // Only the dialog's own fields: the last-used options stay.
    QCOMPARE(S.Curr_ResultFileFormat, TResultFileFormat::rffHTML);
    QVERIFY(S.Curr_ShowTags);
    Form.UpdateFormData();
    QVERIFY(Form.Def_ResultFileFormatXLSX->isChecked());
  }

  void saveTakesTheCostTermsOver() {
    TSettingsForm Form;
    Form.UpdateFormData();
    Form.show();
    QVERIFY(Form.RatesCtrl->text().isEmpty() && !Form.WriteCsvCtrl->isChecked());
    Form.RatesCtrl->setText(QStringLiteral(" 100:0,50:60,0:100 "));
    Form.WordPriceCtrl->setText(QStringLiteral("0.08"));
    Form.CurrencyCtrl->setText(QStringLiteral("USD"));
    Form.WriteCsvCtrl->setChecked(true);
    QTest::mouseClick(Form.Button1, Qt::LeftButton);
    QCOMPARE(Form.result(), int(QDialog::Accepted));
    const TSettings& S = ProgrammSettings;
    QCOMPARE(BandRatesText(S.Cost.Rates), std::string("100:0,50:60,0:100"));
    QVERIFY(S.Cost.WordPrice && *S.Cost.WordPrice == 0.08);
    QCOMPARE(S.Cost.Currency, std::string("USD"));
    QVERIFY(S.WriteCsv);
    // Emptied fields mean no cost table.
    Form.UpdateFormData();
    QCOMPARE(Form.WordPriceCtrl->text(), QStringLiteral("0.08"));
    Form.RatesCtrl->clear();
    Form.WordPriceCtrl->clear();
    QVERIFY(Form.FormDataToProgrammSettings());
    QVERIFY(!ProgrammSettings.Cost.HasRates() && !ProgrammSettings.Cost.WordPrice);
  }

  void badCostTermsKeepTheDialogOpen_data() {
    QTest::addColumn<QString>("Rates");
    QTest::addColumn<QString>("Price");
    QTest::addColumn<int>("Message");
    QTest::newRow("rates without a percent") << "100:0,95"
                                             << "" << int(TMsg::SettingsBadRates);
    QTest::newRow("bounds rising") << "50:10,100:0"
                                   << "" << int(TMsg::SettingsBadRates);
    QTest::newRow("decimal comma") << "0:100"
                                   << "0,12" << int(TMsg::SettingsBadWordPrice);
    QTest::newRow("negative price") << "0:100"
                                    << "-1" << int(TMsg::SettingsBadWordPrice);
  }
  void badCostTermsKeepTheDialogOpen() {
    QFETCH(QString, Rates);
    QFETCH(QString, Price);
    QFETCH(int, Message);
    const std::string Before = Snapshot();
    TSettingsForm Form;
    Form.UpdateFormData();
    Form.show();
    Form.SaveFormPosCtrl->toggle();
    Form.RatesCtrl->setText(Rates);
    Form.WordPriceCtrl->setText(Price);
    QTest::mouseClick(Form.Button1, Qt::LeftButton);
    QVERIFY(Form.isVisible());
    QCOMPARE(Form.MetricsErrorLabel->text(), Msg(static_cast<TMsg>(Message), TLocalizationLanguare::llEN));
    QCOMPARE(Snapshot(), Before);  // nothing taken over, the toggled box neither
    Form.reject();
  }

  void settingsFollowTheLanguage() {
    TSettingsForm Form;
    for (const TLocalizationLanguare Lang : {TLocalizationLanguare::llRU, TLocalizationLanguare::llEN}) {
      ProgrammSettings.LangIndex = Lang;
      Form.UpdateFormData();
      QCOMPARE(Form.windowTitle(), Msg(TMsg::SettingsDialogTitle, Lang));
      QCOMPARE(Form.GroupBox1->title(), Msg(TMsg::SettingsProgramOptions, Lang));
      QCOMPARE(Form.GroupBox2->title(), Msg(TMsg::SettingsDefaultCompareOptions, Lang));
      QCOMPARE(Form.GroupBox3->title(), Msg(TMsg::SettingsTagFormat, Lang));
      QCOMPARE(Form.ClearFileListCtrl->text(), Msg(TMsg::SettingsClearListsAfterCompare, Lang));
      QCOMPARE(Form.TagsFormatFullCtrl->text(), Msg(TMsg::SettingsTagFormatFull, Lang));
      QCOMPARE(Form.Def_ResultFileFormatXLSX->text(), Msg(TMsg::SettingsDefaultFormatXlsx, Lang));
      QCOMPARE(Form.Button1->text(), Msg(TMsg::SettingsSaveButton, Lang));
      QCOMPARE(Form.GroupBox4->title(), Msg(TMsg::SettingsCostAndExport, Lang));
      QCOMPARE(Form.WriteCsvCtrl->text(), Msg(TMsg::SettingsWriteCsv, Lang));
    }
  }

  void aboutShowsTheCreditsOnce() {
    TAboutForm Form;
    Form.LocalizeForm();
    Form.LocalizeForm();
    const QString Text = Form.AdditionalInfoMemo->toPlainText();
    QCOMPARE(Text.count(Msg(TMsg::AboutComponentsTitle, TLocalizationLanguare::llEN)), 1);
    QCOMPARE(Text.split(QLatin1Char('\n')), TAboutForm::CreditLines(0));
    // What this build ships and the licences that apply.
    for (const char* Needle : {"Lesser General Public License v3 (Qt 6", "MIT License (pugixml)",
                               "BSD 3-Clause License (libzip)", "Apache License v2 (OpenSSL)"})
      QVERIFY2(Text.contains(QLatin1String(Needle)), Needle);
    QVERIFY(Form.AdditionalInfoMemo->isReadOnly());
  }

  void aboutFollowsTheLanguage() {
    TAboutForm Form;
    const QString Title = Form.Label1->text();
    for (const TLocalizationLanguare Lang : {TLocalizationLanguare::llRU, TLocalizationLanguare::llEN}) {
      ProgrammSettings.LangIndex = Lang;
      Form.LocalizeForm();
      QCOMPARE(Form.windowTitle(), Msg(TMsg::AboutBoxTitle, Lang));
      QCOMPARE(Form.CloseButton->text(), Msg(TMsg::AboutCloseButton, Lang));
      QCOMPARE(Form.VersionCaptionLabel->text(), Msg(TMsg::AboutVersionLabel, Lang));
      QCOMPARE(Form.FeedbackCaptionLabel->text(), Msg(TMsg::AboutFeedbackLabel, Lang));
      QCOMPARE(Form.CopyrightValueLabel->toolTip(), Msg(TMsg::AboutSiteHint, Lang));
      QCOMPARE(Form.FeedbackValueLabel->toolTip(), Msg(TMsg::AboutFeedbackHint, Lang));
      QVERIFY(Form.AdditionalInfoMemo->toPlainText().startsWith(Msg(TMsg::AboutComponentsTitle, Lang)));
      QCOMPARE(Form.Label1->text(), Title);  // the title is no message
    }
    QCOMPARE(Title, QStringLiteral("Lexmora Comparison Tool"));
    QVERIFY(Form.Label1->font().bold());
    QCOMPARE(Form.Label1->palette().color(QPalette::WindowText), QColor(0x3E, 0x80, 0xB2));
    QVERIFY(Form.Label1->geometry().right() < Form.width());  // the whole title is seen
  }

  void aboutVersionAndItsHint() {
    TAboutForm Form;
    TAppVersion Version;
    GetAppVersion(Version);
    QCOMPARE(Form.VersionValueLabel->text(), QString::fromStdString(Version.MajorAndMinor));
    QVERIFY(Form.VersionValueLabel->toolTip().startsWith(Form.VersionValueLabel->text() + QLatin1Char('.')));
    static const QRegularExpression Four(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"));
    QVERIFY2(Four.match(Form.VersionValueLabel->toolTip()).hasMatch(), qPrintable(Form.VersionValueLabel->toolTip()));
  }

  void aboutClosesOnEscapeAndButton() {
    TAboutForm Form;
    Form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Form));
    QTest::keyClick(&Form, Qt::Key_Escape);
    QVERIFY(!Form.isVisible());
    Form.show();
    QTest::mouseClick(Form.CloseButton, Qt::LeftButton);
    QVERIFY(!Form.isVisible());
  }

  void aboutLinksOpenThroughTheDesktop() {
    TAboutForm Form;
    static const QRegularExpression Href(QStringLiteral("href=\"([^\"]+)\""));
    const QString Site = Href.match(Form.CopyrightValueLabel->text()).captured(1);
    const QString Mail = Href.match(Form.FeedbackValueLabel->text()).captured(1);
    QVERIFY(Site.startsWith(QLatin1String("https://")));
    QVERIFY(Mail.startsWith(QLatin1String("mailto:")));
    Q_EMIT Form.CopyrightValueLabel->linkActivated(Site);
    Q_EMIT Form.FeedbackValueLabel->linkActivated(Mail);
    // Anything but web and mail addresses is refused.
    Q_EMIT Form.FeedbackValueLabel->linkActivated(QStringLiteral("file:///etc/passwd"));
    Q_EMIT Form.FeedbackValueLabel->linkActivated(QStringLiteral("javascript:alert(1)"));
    Q_EMIT Form.FeedbackValueLabel->linkActivated(QStringLiteral("https://"));
    QCOMPARE(FCatcher.Opened, (QList<QUrl>{QUrl(Site), QUrl(Mail)}));
  }

  void logoIsOurOwn64By64() {
    TAboutForm Form;
    QCOMPARE(Form.Image1->size(), QSize(64, 64));
    const QImage Logo = LexmoraLogo(64).toImage();
    QCOMPARE(Logo.size(), QSize(64, 64));
    QCOMPARE(Logo.pixelColor(0, 0).alpha(), 0);            // rounded corner
    QCOMPARE(Logo.pixelColor(32, 62).alpha(), 255);        // the tile
    QCOMPARE(Logo.pixelColor(40, 50), QColor(Qt::white));  // the front page
  }

 private:
  TUrlCatcher FCatcher;
};

LEXMORA_SHELL_TEST_MAIN(TDialogsTest)
#include "DialogsTest.moc"
