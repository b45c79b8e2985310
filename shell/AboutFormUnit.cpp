#include "AboutFormUnit.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "AppInfoUnit.h"
#include "LinkOpenUnit.h"
#include "LocalizationUnit.h"
#include "LogoUnit.h"
#include "Settings.h"

namespace lexmora {

namespace {

QString Msg(TMsg AId, TLocalizationLanguare ALang) { return QString::fromStdString(GetLocalizedText(AId, ALang)); }
QString Msg(TMsg AId) { return Msg(AId, ProgrammSettings.LangIndex); }

void SetBackground(QWidget* AWidget, const QColor& AColor) {
  QPalette Palette = AWidget->palette();
  Palette.setColor(QPalette::Window, AColor);
  Palette.setColor(QPalette::Base, AColor);
  AWidget->setPalette(Palette);
  AWidget->setAutoFillBackground(true);
}

QLabel* NewLabel(QWidget* AParent, const char* AName, int AX, int AY) {
  auto* Label = new QLabel(AParent);
  Label->setObjectName(QLatin1String(AName));
  Label->move(AX, AY);
  Label->setTextFormat(Qt::PlainText);
  return Label;
}

QLabel* NewLinkLabel(QWidget* AParent, const char* AName, int AX, int AY) {
  QLabel* Label = NewLabel(AParent, AName, AX, AY);
  // Only the message table's own a elements are rendered; links go through OpenExternalLink.
  Label->setTextFormat(Qt::RichText);
  Label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  Label->setOpenExternalLinks(false);
  return Label;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* AParent) : QDialog(AParent) {
  setObjectName(QStringLiteral("AboutForm"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  setFixedSize(534, 375);
  setModal(true);

  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 0);
  Layout->setSpacing(0);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameShape(QFrame::StyledPanel);
  Panel1->setFixedHeight(92);
  SetBackground(Panel1, Qt::white);
  Image1 = new QLabel(Panel1);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(14, 14, 64, 64);
  Image1->setPixmap(LexmoraLogo(64, devicePixelRatioF()));
  Label1 = NewLabel(Panel1, "Label1", 125, 27);
  QFont TitleFont = font();
  TitleFont.setPointSize(22);
  TitleFont.setBold(true);
  Label1->setFont(TitleFont);
  QPalette TitlePalette = Label1->palette();
  TitlePalette.setColor(QPalette::WindowText, QColor(0x3E, 0x80, 0xB2));
  Label1->setPalette(TitlePalette);
  // A fixed title, not a message: the same in every language.
  Label1->setText(QStringLiteral("Lexmora Comparison Tool"));
  // 22 points as designed; smaller only where the system's font would run past the box.
  const int Room = 534 - 125 - 12;
  while (TitleFont.pointSize() > 12 && QFontMetrics(TitleFont).horizontalAdvance(Label1->text()) > Room) {
    TitleFont.setPointSize(TitleFont.pointSize() - 1);
    Label1->setFont(TitleFont);
  }
  Label1->adjustSize();

  Panel2 = new QFrame(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFrameShape(QFrame::StyledPanel);
  SetBackground(Panel2, QColor(0xF6, 0xF6, 0xF6));
  VersionCaptionLabel = NewLabel(Panel2, "VersionCaptionLabel", 24, 24);
  VersionValueLabel = NewLabel(Panel2, "VersionValueLabel", 272, 24);
  QFont Bold = font();
  Bold.setBold(true);
  VersionValueLabel->setFont(Bold);
  CopyrightCaptionLabel = NewLabel(Panel2, "CopyrightCaptionLabel", 24, 40);
  CopyrightValueLabel = NewLinkLabel(Panel2, "CopyrightValueLabel", 272, 40);
  FeedbackCaptionLabel = NewLabel(Panel2, "FeedbackCaptionLabel", 24, 56);
  FeedbackValueLabel = NewLinkLabel(Panel2, "FeedbackValueLabel", 272, 56);
  connect(CopyrightValueLabel, &QLabel::linkActivated, this, &TAboutForm::CopyrightValueLabelLinkClick);
  connect(FeedbackValueLabel, &QLabel::linkActivated, this, &TAboutForm::FeedbackValueLabelLinkClick);

  AdditionalInfoMemo = new QPlainTextEdit(Panel2);
  AdditionalInfoMemo->setObjectName(QStringLiteral("AdditionalInfoMemo"));
  AdditionalInfoMemo->setReadOnly(true);
  AdditionalInfoMemo->setFrameShape(QFrame::NoFrame);
  AdditionalInfoMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SetBackground(AdditionalInfoMemo, QColor(0xF6, 0xF6, 0xF6));
  AdditionalInfoMemo->viewport()->setAutoFillBackground(false);
  auto* MemoLayout = new QVBoxLayout(Panel2);
  MemoLayout->setContentsMargins(18, 82, 18, 12);
  MemoLayout->addWidget(AdditionalInfoMemo);

  CloseButton = new QPushButton(this);
  CloseButton->setObjectName(QStringLiteral("CloseButton"));
  CloseButton->setFixedHeight(50);
  CloseButton->setFont(Bold);
  connect(CloseButton, &QPushButton::clicked, this, &TAboutForm::CloseButtonClick);

  Layout->addWidget(Panel1);
  Layout->addWidget(Panel2, 1);
  Layout->addWidget(CloseButton);
  // Escape ends in reject() and closes the box.
  LocalizeForm();
}

QStringList TAboutForm::CreditLines(int ALangIndex) {
  const auto Lang = static_cast<TLocalizationLanguare>(ALangIndex);
  const auto M = [Lang](TMsg AId) { return Msg(AId, Lang); };
  const QString Empty;
  return {M(TMsg::AboutComponentsTitle),
          Empty,
          M(TMsg::AboutComponentXml) + QLatin1Char(' ') + M(TMsg::AboutComponentXmlAuthors) + QLatin1Char(' ') +
              M(TMsg::AboutComponentXmlRights),
          Empty,
          M(TMsg::AboutComponentDiff),
          Empty,
          M(TMsg::AboutComponentArchive),
          Empty,
          Empty,
          Empty,
          M(TMsg::AboutLibrariesTitle),
          Empty,
          M(TMsg::AboutLibraryLibzip),
          M(TMsg::AboutLibraryOpenSsl),
          Empty,
          Empty,
          Empty,
          M(TMsg::AboutPicturesTitle),
          Empty,
          M(TMsg::AboutPictureIcons),
          M(TMsg::AboutPictureLogo),
          M(TMsg::AboutPictureTagMarkers),
          Empty,
          Empty,
          Empty,
          M(TMsg::AboutLicenseLinksTitle),
          Empty,
          M(TMsg::AboutLicenseLgpl),
          M(TMsg::AboutLicenseMit),
          M(TMsg::AboutLicenseBsd),
          M(TMsg::AboutLicenseApache)};
}

void TAboutForm::LocalizeForm() {
  setWindowTitle(Msg(TMsg::AboutBoxTitle));
  CloseButton->setText(Msg(TMsg::AboutCloseButton));
  VersionCaptionLabel->setText(Msg(TMsg::AboutVersionLabel));
  CopyrightCaptionLabel->setText(Msg(TMsg::AboutCopyrightLabel));
  CopyrightValueLabel->setText(Msg(TMsg::AboutCopyrightLink));
  CopyrightValueLabel->setToolTip(Msg(TMsg::AboutSiteHint));
  FeedbackCaptionLabel->setText(Msg(TMsg::AboutFeedbackLabel));
  FeedbackValueLabel->setText(Msg(TMsg::AboutFeedbackLink));
  FeedbackValueLabel->setToolTip(Msg(TMsg::AboutFeedbackHint));
  TAppVersion Version;
  GetAppVersion(Version);
  VersionValueLabel->setText(QString::fromStdString(Version.MajorAndMinor));
  TAppVersion Full;
  GetAppVersion(Full);
  VersionValueLabel->setToolTip(QString::fromStdString(Full.FullAppVersion));
  for (QLabel* Label : {VersionCaptionLabel, VersionValueLabel, CopyrightCaptionLabel, CopyrightValueLabel,
                        FeedbackCaptionLabel, FeedbackValueLabel})
    Label->adjustSize();
  AdditionalInfoMemo->setPlainText(CreditLines(static_cast<int>(ProgrammSettings.LangIndex)).join(QLatin1Char('\n')));
}

void TAboutForm::CopyrightValueLabelLinkClick(const QString& ALink) { OpenExternalLink(ALink); }

void TAboutForm::FeedbackValueLabelLinkClick(const QString& ALink) { OpenExternalLink(ALink); }

}  // namespace lexmora
